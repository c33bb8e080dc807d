{ ==========================================================================
  testHostileInput
  Input meant to break a recognizer: zero bytes, which read as EOF_CHAR but
  end nothing (the character buffer's end query across marks, rewinds,
  front removal and the 4096-byte block boundary, and the lexer operations
  that treat EOF_CHAR as the end); token texts that grow across many rule
  starts; and nesting deeper than the stack, in a lexer and a parser, on
  the main thread and on a thread with a small stack, with handlers that
  recover from it.
  ========================================================================== }
program testHostileInput;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

uses
  {$IFDEF UNIX}cthreads,{$ENDIF}
  Classes, SysUtils, kivTestCheck, kivTypes, kivToken, kivCharBuffer,
  kivLexer, kivLLkParser, kivStackGuard, kivException,
  kivExceptionMismatchedChar, kivExceptionNestingTooDeep;

type
  // Its tokens are single characters; mNEST is shaped like a generated
  // rule: '(' ( NEST )* ')', with the start of its text and a token-typed
  // local as generated rules have.
  TNestLexer = class(TkivLexer)
  public
    Depth, MaxDepth: Integer;
    function NextToken: IkivToken; override;
    procedure mNEST(pCreate: Boolean);
  end;

  // nest : LPAREN ( nest )* RPAREN over the lexer's one-character tokens
  // (the type is the character code). With Recover set every level has a
  // default error handler: report, consume, resynchronise on the follow
  // set, as generated parsers do.
  TNestParser = class(TkivLLkParser)
  public
    Recover: Boolean;
    Depth, MaxDepth, Reports, DeepReports: Integer;
    procedure nest;
    procedure reportError(E: Exception); override;
  end;

  // Runs one nesting on a thread of its own.
  TNestThread = class(TThread)
  private
    FInput: TStream;
    FLexer: TNestLexer;
  protected
    procedure Execute; override;
  public
    // Short strings: the thread leaves nothing on the heap.
    Failure: ShortString;
    FailedAt: Integer;
    constructor Create(AInput: TStream; ALexer: TNestLexer; AStackSize: Integer);
  end;

function TNestLexer.NextToken: IkivToken;
begin
  ResetText;
  if LA(1) = EOF_CHAR then
    Result := makeToken(TT_EOF)
  else
  begin
    Result := makeToken(Ord(LA(1)));
    consume;
  end;
end;

procedure TNestLexer.mNEST(pCreate: Boolean);
var
  _begin: Integer;
  _token: IkivToken;
begin
  _begin := Length(TokenText) + 1;
  _token := nil;
  Inc(Depth);
  if Depth > MaxDepth then
    MaxDepth := Depth;
  match('(');
  while LA(1) = '(' do
    mNEST(False);
  match(')');
  if pCreate then
  begin
    _token := makeToken(4);
    _token.TokenText := Copy(TokenText, _begin, Length(TokenText) - _begin + 1);
  end;
  ReturnToken := _token;
  Dec(Depth);
end;

procedure TNestParser.nest;
begin
  Inc(Depth);
  if Depth > MaxDepth then
    MaxDepth := Depth;
  try
    try
      match(Ord('('));
      while LA(1) = Ord('(') do
        nest;
      match(Ord(')'));
    except
      on e: Exception do
      begin
        if not Recover then
          raise;
        reportError(e);
        Consume;
        ConsumeUntil([TT_EOF, Ord('('), Ord(')')]);
      end;
    end;
  finally
    Dec(Depth);
  end;
end;

procedure TNestParser.reportError(E: Exception);
begin
  Inc(Reports);
  if E is EkivNestingTooDeep then
    Inc(DeepReports);
end;

constructor TNestThread.Create(AInput: TStream; ALexer: TNestLexer; AStackSize: Integer);
begin
  FInput := AInput;
  FLexer := ALexer;
  inherited Create(True, AStackSize);
end;

procedure TNestThread.Execute;
begin
  try
    FLexer.mNEST(False);
    Failure := 'nothing raised';
  except
    on E: EkivNestingTooDeep do
    begin
      Failure := E.ClassName;
      FailedAt := E.Column;
    end;
    on E: Exception do
      Failure := E.ClassName + ': ' + E.Message;
  end;
end;

function Repeated(C: AnsiChar; N: Integer): AnsiString;
begin
  SetLength(Result, N);
  if N > 0 then
    FillChar(Result[1], N, Ord(C));
end;

// 4095 letters, a zero byte as the last byte of the first block, letters,
// a zero byte as the first byte of the third block, 'z', and a zero byte
// as the stream's last byte.
function ZeroText: AnsiString;
var
  I: Integer;
begin
  SetLength(Result, 8195);
  for I := 1 to Length(Result) do
    Result[I] := AnsiChar(Ord('a') + I mod 26);
  Result[4096] := #0;
  Result[8193] := #0;
  Result[8194] := 'z';
  Result[8195] := #0;
end;

// The positions 1..N + 3 read through B: a zero byte where Text has one,
// the end from N + 1 on. With LookFar the current character is read
// behind a look-ahead of three, so the queue serves it.
procedure CheckWalk(const B: TkivCharBuffer; const Text: AnsiString; LookFar: Boolean; const What: string);
var
  I: Integer;
  Right: Boolean;
begin
  Right := True;
  for I := 1 to Length(Text) + 3 do
  begin
    if LookFar then
      B.LA(3);
    if I <= Length(Text) then
      Right := Right and (B.LA(1) = Text[I]) and not B.AtEndOfInput
    else
      Right := Right and (B.LA(1) = EOF_CHAR) and B.AtEndOfInput;
    B.consume;
  end;
  Check(Right, What);
end;

procedure TestZeroBytesInTheBuffer;
var
  Text: AnsiString;
  Stream: TMemoryStream;
  Buffer: TkivCharBuffer;
  Ref: IkivCharBuffer;
  M, I: Integer;
begin
  Section('zero bytes: the end of input across blocks, marks and rewinds');
  Text := ZeroText;
  Stream := StreamOf(Text);
  try
    Buffer := TkivCharBuffer.Create(Stream);
    Ref := Buffer;
    CheckWalk(Buffer, Text, False, 'read straight from the blocks');
    Stream.Position := 0;
    Buffer := TkivCharBuffer.Create(Stream);
    Ref := Buffer;
    CheckWalk(Buffer, Text, True, 'read through the queue');

    Stream.Position := 0;
    Buffer := TkivCharBuffer.Create(Stream);
    Ref := Buffer;
    for I := 1 to 4090 do
      Buffer.consume;
    M := Buffer.mark;
    // Under the mark, to the end and three positions past it.
    for I := 4091 to Length(Text) + 3 do
      Buffer.consume;
    Check(Buffer.AtEndOfInput, 'past the end under a mark');
    Buffer.rewind(M);
    CheckChar(Text[4091], Buffer.LA(1), 'rewound across the block boundary');
    for I := 4091 to 4095 do
      Buffer.consume;
    CheckChar(EOF_CHAR, Buffer.LA(1), 'the zero byte at the block end, after the rewind');
    Check(not Buffer.AtEndOfInput, 'is not the end after the rewind');
    // Committing drops the characters before the position from the queue.
    M := Buffer.mark;
    for I := 4096 to 8192 do
      Buffer.consume;
    Buffer.commit;
    CheckEquals(0, Buffer.MarkerOffset, 'nothing before the position is kept');
    Check(not Buffer.AtEndOfInput, 'the zero byte that starts the third block');
    Buffer.consume;
    Buffer.consume;
    Check(not Buffer.AtEndOfInput, 'the last byte, a zero byte');
    M := Buffer.mark;
    Buffer.consume;
    Check(Buffer.AtEndOfInput, 'the end, marked');
    Buffer.LA(5);
    Buffer.rewind(M);
    Check(not Buffer.AtEndOfInput, 'rewound from the end to the last byte');
    Buffer.consume;
    Buffer.consume;
    Buffer.consume;
    Check(Buffer.AtEndOfInput, 'consumed past the end slots the look-ahead made');
  finally
    Ref := nil;
    Stream.Free;
  end;

  Stream := StreamOf('');
  try
    Buffer := TkivCharBuffer.Create(Stream);
    Ref := Buffer;
    Check(Buffer.AtEndOfInput, 'an empty stream is at its end');
  finally
    Ref := nil;
    Stream.Free;
  end;
end;

procedure TestZeroBytesInTheLexer;
var
  Stream: TMemoryStream;
  Lexer: TNestLexer;
  Ref: IkivTokenStream;
  T: IkivToken;
begin
  Section('zero bytes: the lexer takes the end only at the end');
  Stream := StreamOf('a'#0'b;'#0);
  try
    Lexer := TNestLexer.Create(Stream);
    Ref := Lexer;
    Lexer.InputState.FileName := 'nul.txt';
    Lexer.match('a');
    try
      Lexer.makeToken(TT_EOF);
      NotRaised('the end-of-input token on a zero byte');
    except
      on E: EkivMismatchedChar do
      begin
        CheckEquals(KIND_CHAR, E.Kind, 'kind');
        CheckChar(EOF_CHAR, E.FoundChar, 'found');
        CheckChar(EOF_CHAR, E.ExpectedChar, 'expected');
        Check(E.Negated, 'negated');
        CheckEquals('1:2 nul.txt', AnsiString(Format('%d:%d %s', [E.Line, E.Column, E.FileName])),
          'at the zero byte');
      end;
    end;
    CheckEquals(5, Lexer.makeToken(5).TokenType, 'other tokens are made on a zero byte');
    Lexer.matchNot(EOF_CHAR);
    CheckChar('b', Lexer.LA(1), 'the wildcard consumes a zero byte');
    Lexer.ConsumeUntil([';']);
    Lexer.consume;
    Lexer.matchNot('x');
    CheckEquals(AnsiString('a'#0'b;'#0), Lexer.TokenText, 'matchNot consumes a zero byte');
    try
      Lexer.matchNot(EOF_CHAR);
      NotRaised('the wildcard at the end');
    except
      on E: EkivMismatchedChar do
        Check(E.Negated and (E.Column = 6), 'the wildcard stops at the end');
    end;
    T := Lexer.makeToken(TT_EOF);
    CheckEquals(TT_EOF, T.TokenType, 'the end-of-input token at the end');
  finally
    Ref := nil;
    Stream.Free;
  end;

  Stream := StreamOf('ab'#0#0'cd'#0);
  try
    Lexer := TNestLexer.Create(Stream);
    Ref := Lexer;
    Lexer.ConsumeUntil(['d']);
    CheckEquals(AnsiString('ab'#0#0'c'), Lexer.TokenText, 'ConsumeUntil goes past zero bytes');
    Lexer.ConsumeUntil([]);
    Check(Lexer.AtEndOfInput, 'and stops at the end');
    CheckEquals(8, Lexer.InputState.Column, 'every byte counted');
  finally
    Ref := nil;
    Stream.Free;
  end;
end;

procedure TestLongTokenText;
var
  Stream: TMemoryStream;
  Lexer: TNestLexer;
  Ref: IkivTokenStream;
  Text, Held, Expected: AnsiString;
  I, Start: Integer;
  Right: Boolean;
begin
  Section('long token texts grow in place');
  SetLength(Text, 200000);
  for I := 1 to Length(Text) do
    Text[I] := AnsiChar(Ord('a') + I mod 26);
  Stream := StreamOf(Text);
  try
    Lexer := TNestLexer.Create(Stream);
    Ref := Lexer;
    // What a generated rule does at every protected-rule start inside one
    // token: ask for the length, consume, take its part of the text.
    Right := True;
    for I := 1 to 50000 do
    begin
      Start := Length(Lexer.TokenText) + 1;
      Lexer.consume;
      Lexer.consume;
      if Copy(Lexer.TokenText, Start, 2) <> Copy(Text, Start, 2) then
        Right := False;
    end;
    Check(Right, 'each rule''s part of the growing text');
    CheckEquals(Copy(Text, 1, 100000), Lexer.TokenText, 'the whole text');
    Held := Lexer.TokenText;
    for I := 1 to 1000 do
    begin
      Lexer.consume;
      Lexer.TokenText;
    end;
    CheckEquals(Copy(Text, 1, 100000), Held, 'a text somebody holds stays as it was');
    CheckEquals(Copy(Text, 1, 101000), Lexer.TokenText, 'while the lexer''s grows');
    // A rule reference marked "!" cuts its characters off again.
    Lexer.TokenText := Copy(Lexer.TokenText, 1, 99990);
    Lexer.consume;
    Expected := Copy(Text, 1, 99990) + Text[101001];
    CheckEquals(Expected, Lexer.TokenText, 'cut, then grown');
    Lexer.ResetText;
    Lexer.consume;
    CheckEquals(AnsiString(Text[101002]), Lexer.TokenText, 'a short text after a long one');
  finally
    Ref := nil;
    Stream.Free;
  end;
end;

type
  TFailure = record
    Raised: Boolean;
    Kind, Line, Column: Integer;
    Message: string;
  end;

// Runs the lexer's nesting rule over Stream from its start with a new
// lexer; answers how it failed.
function LexNest(Stream: TMemoryStream; out Lexer: TNestLexer; out Ref: IkivTokenStream): TFailure;
begin
  Stream.Position := 0;
  Lexer := TNestLexer.Create(Stream);
  Ref := Lexer;
  Result.Raised := False;
  try
    Lexer.mNEST(False);
  except
    on E: EkivNestingTooDeep do
    begin
      Result.Raised := True;
      Result.Kind := E.Kind;
      Result.Line := E.Line;
      Result.Column := E.Column;
      Result.Message := E.Message;
    end;
  end;
end;

procedure TestNestingTooDeep;
const
  Levels = 1000000;
var
  Stream: TMemoryStream;
  Lexer: TNestLexer;
  Parser: TNestParser;
  Ref: IkivTokenStream;
  Worker: TNestThread;
  F: TFailure;
  MainDepth: Integer;
  Bottom, Top: TkivStackAddress;
begin
  Section('nesting too deep: the stack guard');
  Check(KivThreadStack(Bottom, Top) and (Top - Bottom >= 256 * 1024), 'the main thread''s stack is known');
  Stream := StreamOf(Repeated('(', Levels) + Repeated(')', Levels));
  try
    F := LexNest(Stream, Lexer, Ref);
    Check(F.Raised, 'a lexer rule a million deep raises');
    CheckEquals(KIND_NESTING, F.Kind, 'kind');
    CheckEquals('nesting too deep', AnsiString(F.Message), 'message');
    Check((F.Line = 1) and (F.Column > 1000) and (F.Column = Lexer.MaxDepth + 1),
      Format('at the ''('' it could not enter: %d:%d, %d levels', [F.Line, F.Column, Lexer.MaxDepth]));
    MainDepth := Lexer.MaxDepth;
    // Recognizers created afterwards use the new reserve.
    KivStackReserve := (Top - Bottom) div 2;
    F := LexNest(Stream, Lexer, Ref);
    KivStackReserve := 0;
    Check(F.Raised, 'raised with half the stack reserved');
    Check((Lexer.MaxDepth < MainDepth * 3 div 4) and (Lexer.MaxDepth > MainDepth div 4),
      Format('the program sets the limit: %d levels, %d with the default', [Lexer.MaxDepth, MainDepth]));

    Section('nesting too deep: another thread, another stack');
    Stream.Position := 0;
    Lexer := TNestLexer.Create(Stream);
    Ref := Lexer;
    // Armed here, run there: the guard follows the stack it runs on.
    Lexer.match('(');
    Lexer.TokenText;
    Worker := TNestThread.Create(Stream, Lexer, 512 * 1024);
    try
      Worker.Start;
      Worker.WaitFor;
      CheckEquals('EkivNestingTooDeep', AnsiString(Worker.Failure), 'raised on the worker''s stack');
      Check((Lexer.MaxDepth > 100) and (Lexer.MaxDepth < MainDepth div 4),
        Format('%d levels on 512 KB, %d on the main thread', [Lexer.MaxDepth, MainDepth]));
      CheckEquals(Lexer.MaxDepth + 2, Worker.FailedAt, 'at the ''('' it could not enter');
    finally
      Worker.Free;
    end;

    Section('nesting too deep: parsers');
    Stream.Position := 0;
    Parser := TNestParser.Create(TNestLexer.Create(Stream), 1);
    try
      try
        Parser.nest;
        NotRaised('a parser rule a million deep');
      except
        on E: EkivNestingTooDeep do
          // The parser's consume or the lexer's, fetching the next token.
          Check((E.Line = 1) and (E.Column >= Parser.MaxDepth) and (E.Column <= Parser.MaxDepth + 1)
            and (E.Column > 1000), Format('at the token it could not consume: %d:%d, %d levels',
            [E.Line, E.Column, Parser.MaxDepth]));
      end;
      CheckEquals(0, Parser.Depth, 'every level left');
    finally
      Parser.Free;
    end;

    // Handlers near the limit report and resynchronise: the too-deep
    // levels are reported one by one and the parse ends.
    Stream.Free;
    Stream := StreamOf(Repeated('(', Levels div 5) + Repeated(')', Levels div 5));
    Parser := TNestParser.Create(TNestLexer.Create(Stream), 1);
    try
      Parser.Recover := True;
      Parser.nest;
      Check(Parser.DeepReports > (Levels div 5 - Parser.MaxDepth) div 4, Format('%d reports of %d levels too deep',
        [Parser.DeepReports, Levels div 5 - Parser.MaxDepth]));
      CheckEquals(0, Parser.Depth, 'every level left');
    finally
      Parser.Free;
    end;
  finally
    Ref := nil;
    Stream.Free;
  end;
end;

begin
  TestZeroBytesInTheBuffer;
  TestZeroBytesInTheLexer;
  TestLongTokenText;
  TestNestingTooDeep;
  Finish;
end.
