{ ==========================================================================
  KIV recognizer runtime - kivParserState
  A parser's shared input state: its token buffer, the file name and how
  deep the parser is guessing.
  ========================================================================== }
unit kivParserState;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

uses
  kivTypes;

type
  TkivParserState = class(TInterfacedObject, IkivParserState)
  private
    FFileName: string;
    FGuessing: Integer;
    FInput: IkivTokenBuffer;
  protected
    function GetInput: IkivTokenBuffer;
    function GetFileName: string;
    function GetGuessing: Integer;
    procedure SetFileName(const AValue: string);
    procedure SetGuessing(AValue: Integer);
    // Line and column of the current token, LT(1); reading them may make
    // the lexer produce that token.
    function GetLine: Integer;
    function GetColumn: Integer;
  public
    constructor Create(const AInput: IkivTokenBuffer);
  end;

implementation

constructor TkivParserState.Create(const AInput: IkivTokenBuffer);
begin
  inherited Create;
  FInput := AInput;
end;

function TkivParserState.GetInput: IkivTokenBuffer;
begin
  Result := FInput;
end;

function TkivParserState.GetFileName: string;
begin
  Result := FFileName;
end;

function TkivParserState.GetGuessing: Integer;
begin
  Result := FGuessing;
end;

procedure TkivParserState.SetFileName(const AValue: string);
begin
  FFileName := AValue;
end;

procedure TkivParserState.SetGuessing(AValue: Integer);
begin
  FGuessing := AValue;
end;

function TkivParserState.GetLine: Integer;
begin
  Result := FInput.LT(1).Line;
end;

function TkivParserState.GetColumn: Integer;
begin
  Result := FInput.LT(1).Column;
end;

end.
