{ ==========================================================================
  testFastPaths
  The short cuts the lexer and parser take on their hot paths give the same
  results as the general paths: reading straight from the block across
  block ends, marks and a second look-ahead; a replaced or foreign
  character input; long token texts and texts set by hand; reused token
  memory; token types read in place, and tokens of other classes.
  ========================================================================== }
program testFastPaths;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

uses
  Classes, SysUtils, kivTestCheck, kivTypes, kivToken, kivCharBuffer,
  kivLexer, kivLLkParser;

type
  TProbeLexer = class(TkivLexer)
  public
    function NextToken: IkivToken; override;
  end;

  // A character input that is not a TkivCharBuffer: it forwards to one.
  TForeignInput = class(TInterfacedObject, IkivCharBuffer)
  private
    FInner: IkivCharBuffer;
  public
    Calls: Integer;
    constructor Create(AStream: TStream);
    function IsMarked: Boolean;
    procedure consume;
    procedure commit;
    function mark: Integer;
    procedure rewind(AMark: Integer);
    function LA(I: Integer): AnsiChar;
  end;

  // A token class of its own, not derived from TkivToken.
  TOtherToken = class(TInterfacedObject, IkivToken)
  private
    FType: Integer;
  public
    constructor Create(AType: Integer);
    function GetTokenText: AnsiString;
    function GetTokenType: Integer;
    function GetLine: Integer;
    function GetColumn: Integer;
    procedure SetTokenText(const AValue: AnsiString);
    procedure SetTokenType(AValue: Integer);
    procedure SetLine(AValue: Integer);
    procedure SetColumn(AValue: Integer);
    function Clone: IkivToken;
  end;

  // A descendant that implements the interface's type getter anew.
  TShiftedToken = class(TkivToken, IkivToken)
  protected
    function GetTokenType: Integer;
  end;

  // Hands out tokens of types 5, 6, 7, ... made by a given maker, then
  // end-of-input tokens.
  TTokenMaker = function(AType: Integer): IkivToken;

  TMadeStream = class(TInterfacedObject, IkivTokenStream)
  private
    FMaker: TTokenMaker;
    FNext: Integer;
    FCount: Integer;
  public
    constructor Create(AMaker: TTokenMaker; ACount: Integer);
    function NextToken: IkivToken;
  end;

function TProbeLexer.NextToken: IkivToken;
begin
  Result := TkivToken.Create(TT_EOF);
end;

constructor TForeignInput.Create(AStream: TStream);
begin
  inherited Create;
  FInner := TkivCharBuffer.Create(AStream);
end;

function TForeignInput.IsMarked: Boolean;
begin
  Result := FInner.IsMarked;
end;

procedure TForeignInput.consume;
begin
  Inc(Calls);
  FInner.consume;
end;

procedure TForeignInput.commit;
begin
  FInner.commit;
end;

function TForeignInput.mark: Integer;
begin
  Result := FInner.mark;
end;

procedure TForeignInput.rewind(AMark: Integer);
begin
  FInner.rewind(AMark);
end;

function TForeignInput.LA(I: Integer): AnsiChar;
begin
  Inc(Calls);
  Result := FInner.LA(I);
end;

constructor TOtherToken.Create(AType: Integer);
begin
  inherited Create;
  FType := AType;
end;

function TOtherToken.GetTokenText: AnsiString;
begin
  Result := 'other';
end;

function TOtherToken.GetTokenType: Integer;
begin
  Result := FType;
end;

function TOtherToken.GetLine: Integer;
begin
  Result := 1;
end;

function TOtherToken.GetColumn: Integer;
begin
  Result := 1;
end;

procedure TOtherToken.SetTokenText(const AValue: AnsiString);
begin
end;

procedure TOtherToken.SetTokenType(AValue: Integer);
begin
  FType := AValue;
end;

procedure TOtherToken.SetLine(AValue: Integer);
begin
end;

procedure TOtherToken.SetColumn(AValue: Integer);
begin
end;

function TOtherToken.Clone: IkivToken;
begin
  Result := TOtherToken.Create(FType);
end;

function TShiftedToken.GetTokenType: Integer;
begin
  Result := TokenType + 100;
end;

constructor TMadeStream.Create(AMaker: TTokenMaker; ACount: Integer);
begin
  inherited Create;
  FMaker := AMaker;
  FNext := 5;
  FCount := ACount;
end;

function TMadeStream.NextToken: IkivToken;
begin
  if FCount = 0 then
  begin
    Result := FMaker(TT_EOF);
    Exit;
  end;
  Dec(FCount);
  Result := FMaker(FNext);
  Inc(FNext);
end;

function MakeBase(AType: Integer): IkivToken;
begin
  Result := TkivToken.Make(AType, 1, 1);
end;

function MakeOther(AType: Integer): IkivToken;
begin
  Result := TOtherToken.Create(AType);
end;

function MakeShifted(AType: Integer): IkivToken;
begin
  Result := TShiftedToken.Create(AType);
end;

function PatternChar(I: Integer): AnsiChar;
begin
  Result := AnsiChar(Ord('a') + I mod 26);
end;

function PatternText(N: Integer): AnsiString;
var
  I: Integer;
begin
  SetLength(Result, N);
  for I := 1 to N do
    Result[I] := PatternChar(I);
end;

procedure TestBlocksAndMarks;
var
  Stream: TMemoryStream;
  Lexer: TProbeLexer;
  Ref: IkivTokenStream;
  I, M: Integer;
  Intact: Boolean;
begin
  Section('direct reading across blocks, marks and look-ahead');
  Stream := StreamOf(PatternText(10000));
  try
    Lexer := TProbeLexer.Create(Stream);
    Ref := Lexer;
    Intact := True;
    for I := 1 to 4090 do
    begin
      if Lexer.LA(1) <> PatternChar(I) then
        Intact := False;
      Lexer.consume;
    end;
    Check(Intact, 'characters up to the end of the first block');
    // A mark across the block end, then back.
    M := Lexer.mark;
    for I := 4091 to 4200 do
      Lexer.consume;
    CheckChar(PatternChar(4201), Lexer.LA(1), 'after the block end while marked');
    Lexer.rewind(M);
    CheckChar(PatternChar(4091), Lexer.LA(1), 'rewound to the mark');
    // The characters consumed under the mark are in the text twice now.
    Lexer.ResetText;
    CheckChar(PatternChar(4093), Lexer.LA(3), 'look-ahead of three');
    Intact := True;
    for I := 4091 to 9999 do
    begin
      if Lexer.LA(1) <> PatternChar(I) then
        Intact := False;
      if Lexer.LA(2) <> PatternChar(I + 1) then
        Intact := False;
      Lexer.consume;
    end;
    Check(Intact, 'LA(1) and LA(2) to the end');
    CheckChar(PatternChar(10000), Lexer.LA(1), 'last character');
    Lexer.consume;
    CheckChar(EOF_CHAR, Lexer.LA(1), 'end of input');
    CheckEquals(10001, Lexer.InputState.Column, 'every character counted in the column');
    CheckEquals(Copy(PatternText(10000), 4091, MaxInt), Lexer.TokenText, 'text in order since the reset');
    Ref := nil;
  finally
    Stream.Free;
  end;

  Section('a zero byte inside a block');
  Stream := StreamOf('ab'#0'cd');
  try
    Lexer := TProbeLexer.Create(Stream);
    Ref := Lexer;
    Lexer.match('a');
    Lexer.match('b');
    CheckChar(EOF_CHAR, Lexer.LA(1), 'a zero byte reads as EOF_CHAR');
    Check(not Lexer.AtEndOfInput, 'but is not the end');
    Lexer.consume;
    CheckChar('c', Lexer.LA(1), 'the bytes after it are read');
    Ref := nil;
  finally
    Stream.Free;
  end;
end;

procedure TestReplacedInput;
var
  First, Second, Third: TMemoryStream;
  Lexer: TProbeLexer;
  Ref: IkivTokenStream;
  Foreign: TForeignInput;
begin
  Section('replaced and foreign character input');
  First := StreamOf('abc');
  Second := StreamOf('xyz');
  Third := StreamOf('pq');
  try
    Lexer := TProbeLexer.Create(First);
    Ref := Lexer;
    Lexer.match('a');
    Lexer.InputState.Input := TkivCharBuffer.Create(Second);
    CheckChar('x', Lexer.LA(1), 'a new buffer is read from its first character');
    Lexer.match('x');
    CheckChar('y', Lexer.LA(1), 'and consumed');
    Foreign := TForeignInput.Create(Third);
    Lexer.InputState.Input := Foreign;
    CheckChar('p', Lexer.LA(1), 'a foreign input is read');
    Lexer.match('p');
    CheckChar('q', Lexer.LA(1), 'and consumed through its interface');
    Check(Foreign.Calls >= 3, 'every access went through the foreign input');
    CheckEquals('axp', Lexer.TokenText, 'text from all three inputs');
    Lexer.InputState.Input := TkivCharBuffer.Create(Second);
    CheckChar(EOF_CHAR, Lexer.LA(1), 'back to a buffer: the second stream was read to its end');
    Ref := nil;
  finally
    First.Free;
    Second.Free;
    Third.Free;
  end;
end;

procedure TestText;
var
  Stream: TMemoryStream;
  Lexer: TProbeLexer;
  Ref: IkivTokenStream;
  Held: AnsiString;
  I: Integer;
begin
  Section('token text');
  Stream := StreamOf(PatternText(300));
  try
    Lexer := TProbeLexer.Create(Stream);
    Ref := Lexer;
    for I := 1 to 200 do
      Lexer.consume;
    CheckEquals(PatternText(200), Lexer.TokenText, 'a text longer than the first capacity');
    Held := Lexer.TokenText;
    Lexer.consume;
    CheckEquals(PatternText(200), Held, 'a text someone holds does not change');
    CheckEquals(PatternText(201), Lexer.TokenText, 'the lexer''s text grew');
    Lexer.TokenText := 'set';
    Lexer.consume;
    CheckEquals('set' + PatternChar(202), Lexer.TokenText, 'text set by hand, then one more');
    Lexer.ResetText;
    CheckEquals('', Lexer.TokenText, 'reset');
    Lexer.consume;
    CheckEquals(PatternChar(203), Lexer.TokenText, 'one character after the reset');
    CheckEquals(PatternText(200), Held, 'still unchanged');
    Ref := nil;
  finally
    Stream.Free;
  end;
end;

procedure TestTokenReuse;
var
  T, U: IkivToken;
  Held: AnsiString;
  I: Integer;
begin
  Section('reused tokens');
  for I := 1 to 3000 do
  begin
    T := TkivToken.Make(7, 3, 4);
    T.TokenText := 'abc';
    T := nil;
  end;
  T := TkivToken.Make(9, 5, 6);
  CheckEquals('', T.TokenText, 'a reused token has empty text');
  CheckEquals(9, T.TokenType, 'type');
  CheckEquals(5, T.Line, 'line');
  CheckEquals(6, T.Column, 'column');
  U := TkivToken.Create;
  CheckEquals(0, U.TokenType, 'a created token after reuse has type 0');
  CheckEquals(1, U.Line, 'line 1');
  CheckEquals('', U.TokenText, 'and no text');
  U := T.Clone;
  T := nil;
  CheckEquals(9, U.TokenType, 'a clone outlives its original');

  // A token buffer gives a consumed token object nobody holds the next
  // token's contents in place; text read from it before stays as it was.
  T := TkivToken.Make(3, 1, 1);
  TkivToken(T as TObject).SetTextFrom('hello', 5);
  Held := T.TokenText;
  U := T;
  Check(TkivToken._Reusable(T) = nil, 'a token held twice is not reused');
  U := nil;
  Check(TkivToken._Reusable(T) <> nil, 'a token held once is');
  TkivToken._Reusable(T)._Refill(4, 2, 3, 'ab', 2);
  CheckEquals('hello', Held, 'a text read before the refill is kept');
  CheckEquals('ab', T.TokenText, 'the new text');
  CheckEquals(2, T.Line, 'the new line');
  Held := '';
  TkivToken._Reusable(T)._Refill(5, 4, 5, 'abcdefghijklmnopqrstu', 21);
  CheckEquals('abcdefghijklmnopqrstu', T.TokenText, 'a longer text');
  TkivToken._Reusable(T)._Refill(5, 4, 5, 'x', 1);
  CheckEquals('x', T.TokenText, 'a shorter text in the same string');
  CheckEquals(1, Length(T.TokenText), 'of its own length');
  // Longer again: in the string's memory while it fits, in a grown one
  // when it does not (heaptrc finds a write past the memory).
  TkivToken._Reusable(T)._Refill(5, 4, 5, 'abcdefghijklmnopqrs', 19);
  CheckEquals('abcdefghijklmnopqrs', T.TokenText, 'a longer text in the same string');
  TkivToken._Reusable(T)._Refill(5, 4, 5, PAnsiChar(StringOfChar('z', 300)), 300);
  CheckEquals(StringOfChar('z', 300), T.TokenText, 'a text longer than its memory');
  TkivToken._Reusable(T)._Refill(6, 4, 5, nil, 0);
  CheckEquals('', T.TokenText, 'no text');
  T := nil;
end;

procedure CheckTypes(AMaker: TTokenMaker; Shift: Integer; const What: string);
var
  Parser: TkivLLkParser;
begin
  Parser := TkivLLkParser.Create(TMadeStream.Create(AMaker, 3), 2);
  try
    CheckEquals(5 + Shift, Parser.LA(1), What + ': LA(1)');
    CheckEquals(6 + Shift, Parser.LA(2), What + ': LA(2)');
    Parser.consume;
    CheckEquals(6 + Shift, Parser.LA(1), What + ': after consume');
    Parser.LT(1).TokenType := 42;
    CheckEquals(42 + Shift, Parser.LA(1), What + ': a type changed in the queue');
    Parser.consume;
    Parser.consume;
    CheckEquals(TT_EOF + Shift, Parser.LA(1), What + ': end of input');
  finally
    Parser.Free;
  end;
end;

procedure TestTokenTypes;
begin
  Section('token types in the parser''s queue');
  CheckTypes(MakeBase, 0, 'base tokens');
  CheckTypes(MakeOther, 0, 'tokens of another class');
  CheckTypes(MakeShifted, 100, 'a descendant with its own getter');
end;

begin
  TestBlocksAndMarks;
  TestReplacedInput;
  TestText;
  TestTokenReuse;
  TestTokenTypes;
  Finish;
end.
