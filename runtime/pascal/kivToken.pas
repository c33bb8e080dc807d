{ ==========================================================================
  KIV recognizer runtime - kivToken
  The reference-counted token: text, type, line and column (1-based).
  ========================================================================== }
unit kivToken;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

uses
  kivTypes;

type
  TkivToken = class(TInterfacedObject, IkivToken)
  private
    FTokenText: AnsiString;
    FTokenType: Integer;
    FLine: Integer;
    FColumn: Integer;
  protected
    function GetTokenText: AnsiString;
    function GetTokenType: Integer;
    function GetLine: Integer;
    function GetColumn: Integer;
    procedure SetTokenText(const AValue: AnsiString);
    procedure SetTokenType(AValue: Integer);
    procedure SetLine(AValue: Integer);
    procedure SetColumn(AValue: Integer);
  public
    // Virtual so that a lexer can be told to instantiate a descendant
    // through a TkivTokenClass value.
    constructor Create(AType: Integer = 0; const AText: AnsiString = ''); virtual;
    // A new base-class token with the same text, type, line and column.
    function Clone: IkivToken;
    property TokenText: AnsiString read FTokenText write FTokenText;
    property TokenType: Integer read FTokenType write FTokenType;
    property Line: Integer read FLine write FLine;
    property Column: Integer read FColumn write FColumn;
  end;

  TkivTokenClass = class of TkivToken;

implementation

constructor TkivToken.Create(AType: Integer; const AText: AnsiString);
begin
  inherited Create;
  FTokenType := AType;
  FTokenText := AText;
  FLine := 1;
  FColumn := 1;
end;

function TkivToken.Clone: IkivToken;
var
  Copy: TkivToken;
begin
  Copy := TkivToken.Create(FTokenType, FTokenText);
  Copy.FLine := FLine;
  Copy.FColumn := FColumn;
  Result := Copy;
end;

function TkivToken.GetTokenText: AnsiString;
begin
  Result := FTokenText;
end;

function TkivToken.GetTokenType: Integer;
begin
  Result := FTokenType;
end;

function TkivToken.GetLine: Integer;
begin
  Result := FLine;
end;

function TkivToken.GetColumn: Integer;
begin
  Result := FColumn;
end;

procedure TkivToken.SetTokenText(const AValue: AnsiString);
begin
  FTokenText := AValue;
end;

procedure TkivToken.SetTokenType(AValue: Integer);
begin
  FTokenType := AValue;
end;

procedure TkivToken.SetLine(AValue: Integer);
begin
  FLine := AValue;
end;

procedure TkivToken.SetColumn(AValue: Integer);
begin
  FColumn := AValue;
end;

end.
