{ ==========================================================================
  KIV recognizer runtime - kivLexer
  Base class of every lexer: one-character look-ahead with optional case
  folding, consumption with line and column tracking, the text of the token
  being built, matching, the literal table and token creation.
  ========================================================================== }
unit kivLexer;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

uses
  Classes, SysUtils, kivTypes, kivToken, kivStringMap;

type
  TkivMarkedPosition = record
    Line: Integer;
    Column: Integer;
  end;

  // Reference-counted: hand it to a parser (or keep an IkivTokenStream
  // reference) and it lives as long as it is referenced. The input stream
  // is borrowed.
  TkivLexer = class(TInterfacedObject, IkivTokenStream)
  private
    FTokenText: AnsiString;
    FTokenClass: TkivTokenClass;
    FInputState: IkivLexerState;
    FSaveConsumedInput: Boolean;
    FReturnToken: IkivToken;
    // Line and column at every open mark, innermost last. The characters
    // after a mark are consumed again after a rewind, so the position goes
    // back with them (a filtering lexer rewinds after a failed token rule).
    FMarkedPositions: array of TkivMarkedPosition;
    FMarkCount: Integer;
  protected
    // Literal table: keyword text to token type. Generated lexers fill it
    // in initialize.
    fLiterals: TkivStringMap;
    // When false, look-ahead folds A..Z to a..z.
    fCaseSensitive: Boolean;
    // Called at the end of the constructor; generated lexers set the case
    // flags and fill the literal table here.
    procedure initialize; virtual;
  public
    constructor Create(AStream: TStream);
    destructor Destroy; override;

    function NextToken: IkivToken; virtual; abstract;
    // Called by consume for a tab character: advances the column by 1.
    // Override to use another tab width.
    procedure tab; virtual;
    // Called by generated NextToken when LA(1) is EOF_CHAR.
    procedure uponEof; virtual;
    // Called by generated exception handlers with the caught exception.
    procedure reportError(E: Exception); virtual;

    function LA(I: Integer): AnsiChar;
    procedure consume;
    procedure match(C: AnsiChar); overload;
    procedure match(const S: AnsiString); overload;
    procedure match(const ASet: TkivCharSet); overload;
    // Consumes any character but C; raises at the end of input too.
    procedure matchNot(C: AnsiChar);
    // Consumes characters until LA(1) is in the set or the input ends.
    procedure ConsumeUntil(const ASet: TkivCharSet);
    procedure newLine;
    // Starts a new token: empty text, saving on, start position here.
    procedure ResetText;
    function makeToken(AType: Integer; const AText: AnsiString = ''): IkivToken;
    // The literal table's value for the whole TokenText, else AType.
    function TestLiteral(AType: Integer): Integer; overload;
    // The literal table's value for AText, else AType.
    function TestLiteral(const AText: AnsiString; AType: Integer): Integer; overload;

    // Marks nest: each mark is ended by one rewind, which also restores
    // the line and column of the mark, or by one commit.
    function mark: Integer;
    procedure rewind(AMark: Integer);
    procedure commit;

    // Text consumed since the last ResetText.
    property TokenText: AnsiString read FTokenText write FTokenText;
    // Class instantiated by makeToken; TkivToken unless set otherwise.
    property TokenClass: TkivTokenClass read FTokenClass write FTokenClass;
    property InputState: IkivLexerState read FInputState;
    // Whether consumed characters are appended to TokenText.
    property SaveConsumedInput: Boolean read FSaveConsumedInput write FSaveConsumedInput;
    // The token made by the last rule method that ran.
    property ReturnToken: IkivToken read FReturnToken write FReturnToken;
    property Literals: TkivStringMap read fLiterals;
    property CaseSensitive: Boolean read fCaseSensitive write fCaseSensitive;
  end;

implementation

uses
  kivLexerState, kivUtils, kivExceptionMismatchedChar;

constructor TkivLexer.Create(AStream: TStream);
begin
  inherited Create;
  FInputState := TkivLexerState.Create(AStream);
  fLiterals := TkivStringMap.Create;
  fLiterals.CaseSensitive := True;
  fCaseSensitive := True;
  FSaveConsumedInput := True;
  initialize;
end;

destructor TkivLexer.Destroy;
begin
  fLiterals.Free;
  inherited Destroy;
end;

procedure TkivLexer.initialize;
begin
end;

procedure TkivLexer.tab;
begin
  FInputState.Column := FInputState.Column + 1;
end;

procedure TkivLexer.uponEof;
begin
end;

procedure TkivLexer.reportError(E: Exception);
begin
end;

function TkivLexer.LA(I: Integer): AnsiChar;
begin
  Result := FInputState.Input.LA(I);
  if not fCaseSensitive then
    Result := FoldChar(Result);
end;

procedure TkivLexer.consume;
var
  C: AnsiChar;
begin
  if FInputState.Guessing = 0 then
  begin
    C := LA(1);
    if FSaveConsumedInput then
      FTokenText := FTokenText + C;
    if C = #9 then
      tab
    else
      FInputState.Column := FInputState.Column + 1;
  end;
  FInputState.Input.consume;
end;

procedure TkivLexer.match(C: AnsiChar);
var
  Expected: AnsiChar;
begin
  Expected := C;
  if not fCaseSensitive then
    Expected := FoldChar(C);
  if Expected <> LA(1) then
    raise EkivMismatchedChar.Create(LA(1), C, FInputState.FileName,
      FInputState.Line, FInputState.Column, False);
  consume;
end;

procedure TkivLexer.matchNot(C: AnsiChar);
var
  Expected: AnsiChar;
begin
  Expected := C;
  if not fCaseSensitive then
    Expected := FoldChar(C);
  // The end of input is no character: "~'c'" and the wildcard stop there
  // like the lookahead sets do, instead of consuming the end for ever.
  if (Expected = LA(1)) or (LA(1) = EOF_CHAR) then
    raise EkivMismatchedChar.Create(LA(1), C, FInputState.FileName,
      FInputState.Line, FInputState.Column, True);
  consume;
end;

procedure TkivLexer.match(const ASet: TkivCharSet);
begin
  if not (LA(1) in ASet) then
    raise EkivMismatchedChar.Create(LA(1), ASet, FInputState.FileName,
      FInputState.Line, FInputState.Column, False);
  consume;
end;

procedure TkivLexer.match(const S: AnsiString);
var
  Expected, Matched: AnsiString;
  I: Integer;
  C: AnsiChar;
begin
  if fCaseSensitive then
    Expected := S
  else
    Expected := FoldText(S);
  Matched := '';
  for I := 1 to Length(Expected) do
  begin
    C := LA(1);
    Matched := Matched + C;
    if C <> Expected[I] then
      raise EkivMismatchedChar.Create(Matched, S, FInputState.FileName,
        FInputState.Line, FInputState.Column);
    consume;
  end;
end;

procedure TkivLexer.ConsumeUntil(const ASet: TkivCharSet);
var
  C: AnsiChar;
begin
  C := LA(1);
  while (C <> EOF_CHAR) and not (C in ASet) do
  begin
    consume;
    C := LA(1);
  end;
end;

procedure TkivLexer.newLine;
begin
  FInputState.Column := 1;
  FInputState.Line := FInputState.Line + 1;
end;

procedure TkivLexer.ResetText;
begin
  FTokenText := '';
  // Generated code turns saving off around an atom marked "!" and on again
  // after it; when the atom fails and a handler or a filter carries on, the
  // next token must not inherit the switch.
  FSaveConsumedInput := True;
  FInputState.TokenStartColumn := FInputState.Column;
  FInputState.TokenStartLine := FInputState.Line;
end;

function TkivLexer.makeToken(AType: Integer; const AText: AnsiString): IkivToken;
begin
  if FTokenClass = nil then
    FTokenClass := TkivToken;
  Result := FTokenClass.Create(AType, AText);
  Result.Line := FInputState.TokenStartLine;
  Result.Column := FInputState.TokenStartColumn;
end;

function TkivLexer.TestLiteral(AType: Integer): Integer;
begin
  Result := TestLiteral(FTokenText, AType);
end;

function TkivLexer.TestLiteral(const AText: AnsiString; AType: Integer): Integer;
var
  Value: Integer;
begin
  Value := fLiterals.ValueOf(AText);
  if Value >= 0 then
    Result := Value
  else
    Result := AType;
end;

function TkivLexer.mark: Integer;
begin
  if FMarkCount = Length(FMarkedPositions) then
    SetLength(FMarkedPositions, 2 * FMarkCount + 4);
  FMarkedPositions[FMarkCount].Line := FInputState.Line;
  FMarkedPositions[FMarkCount].Column := FInputState.Column;
  Inc(FMarkCount);
  Result := FInputState.Input.mark;
end;

procedure TkivLexer.rewind(AMark: Integer);
begin
  FInputState.Input.rewind(AMark);
  if FMarkCount > 0 then
  begin
    Dec(FMarkCount);
    FInputState.Line := FMarkedPositions[FMarkCount].Line;
    FInputState.Column := FMarkedPositions[FMarkCount].Column;
  end;
end;

procedure TkivLexer.commit;
begin
  FInputState.Input.commit;
  if FMarkCount > 0 then
    Dec(FMarkCount);
end;

end.
