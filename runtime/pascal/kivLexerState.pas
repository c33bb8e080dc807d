{ ==========================================================================
  KIV recognizer runtime - kivLexerState
  A lexer's shared input state: its character buffer, the file name, the
  current line and column, where the current token began and how deep the
  lexer is guessing.
  ========================================================================== }
unit kivLexerState;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

uses
  Classes, kivTypes;

type
  TkivLexerState = class(TInterfacedObject, IkivLexerState)
  private
    FFileName: string;
    FColumn: Integer;
    FLine: Integer;
    FGuessing: Integer;
    FInput: IkivCharBuffer;
    FTokenStartColumn: Integer;
    FTokenStartLine: Integer;
  protected
    function GetFileName: string;
    function GetLine: Integer;
    function GetColumn: Integer;
    function GetGuessing: Integer;
    function GetInput: IkivCharBuffer;
    function GetTokenStartLine: Integer;
    function GetTokenStartColumn: Integer;
    procedure SetFileName(const AValue: string);
    procedure SetLine(AValue: Integer);
    procedure SetColumn(AValue: Integer);
    procedure SetGuessing(AValue: Integer);
    procedure SetInput(const AValue: IkivCharBuffer);
    procedure SetTokenStartLine(AValue: Integer);
    procedure SetTokenStartColumn(AValue: Integer);
  public
    // Creates a character buffer over the stream; the stream is borrowed.
    constructor Create(AStream: TStream);
  end;

implementation

uses
  kivCharBuffer;

constructor TkivLexerState.Create(AStream: TStream);
begin
  inherited Create;
  FColumn := 1;
  FLine := 1;
  FTokenStartColumn := 1;
  FTokenStartLine := 1;
  FInput := TkivCharBuffer.Create(AStream);
end;

function TkivLexerState.GetFileName: string;
begin
  Result := FFileName;
end;

function TkivLexerState.GetLine: Integer;
begin
  Result := FLine;
end;

function TkivLexerState.GetColumn: Integer;
begin
  Result := FColumn;
end;

function TkivLexerState.GetGuessing: Integer;
begin
  Result := FGuessing;
end;

function TkivLexerState.GetInput: IkivCharBuffer;
begin
  Result := FInput;
end;

function TkivLexerState.GetTokenStartLine: Integer;
begin
  Result := FTokenStartLine;
end;

function TkivLexerState.GetTokenStartColumn: Integer;
begin
  Result := FTokenStartColumn;
end;

procedure TkivLexerState.SetFileName(const AValue: string);
begin
  FFileName := AValue;
end;

procedure TkivLexerState.SetLine(AValue: Integer);
begin
  FLine := AValue;
end;

procedure TkivLexerState.SetColumn(AValue: Integer);
begin
  FColumn := AValue;
end;

procedure TkivLexerState.SetGuessing(AValue: Integer);
begin
  FGuessing := AValue;
end;

procedure TkivLexerState.SetInput(const AValue: IkivCharBuffer);
begin
  FInput := AValue;
end;

procedure TkivLexerState.SetTokenStartLine(AValue: Integer);
begin
  FTokenStartLine := AValue;
end;

procedure TkivLexerState.SetTokenStartColumn(AValue: Integer);
begin
  FTokenStartColumn := AValue;
end;

end.
