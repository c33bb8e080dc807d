{ ==========================================================================
  testParser
  Token queue, token buffer and the LL(k) parser base: lazy fetching,
  marks, matching and its exceptions, resynchronisation and ownership.
  ========================================================================== }
program testParser;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

uses
  Classes, SysUtils, kivTestCheck, kivTypes, kivToken, kivTokenQueue,
  kivLLkParser, kivException, kivExceptionMismatchedToken;

type
  // Hands out the types of a script, one token per type at line 1 + index,
  // column 2 * index + 1, then end-of-input tokens for ever. Counts its
  // NextToken calls and reports its own destruction.
  TScriptStream = class(TInterfacedObject, IkivTokenStream)
  private
    FTypes: array of Integer;
    FNext: Integer;
    FDestroyed: PBoolean;
  public
    Calls: Integer;
    constructor Create(const ATypes: array of Integer; ADestroyed: PBoolean = nil);
    destructor Destroy; override;
    function NextToken: IkivToken;
  end;

  TProbeParser = class(TkivLLkParser);

constructor TScriptStream.Create(const ATypes: array of Integer; ADestroyed: PBoolean);
var
  I: Integer;
begin
  inherited Create;
  SetLength(FTypes, Length(ATypes));
  for I := 0 to High(ATypes) do
    FTypes[I] := ATypes[I];
  FDestroyed := ADestroyed;
end;

destructor TScriptStream.Destroy;
begin
  if FDestroyed <> nil then
    FDestroyed^ := True;
  inherited Destroy;
end;

function TScriptStream.NextToken: IkivToken;
begin
  Inc(Calls);
  if FNext > High(FTypes) then
    Result := TkivToken.Create(TT_EOF)
  else
  begin
    Result := TkivToken.Create(FTypes[FNext], AnsiString('t' + IntToStr(FNext)));
    Result.Line := 1 + FNext;
    Result.Column := 2 * FNext + 1;
    Inc(FNext);
  end;
end;

procedure TestTokenQueue;
var
  Q: IkivTokenQueue;
  I: Integer;
  Intact: Boolean;
  Message: string;
begin
  Section('token queue');
  Q := TkivTokenQueue.Create;
  Message := '';
  try
    Q.GetItem(0);
  except
    on E: ERangeError do
      Message := E.Message;
  end;
  CheckEquals('index "0" is too big', AnsiString(Message), 'index 0 on an empty queue');
  Q.Add(TkivToken.Create(4));
  try
    Q.GetItem(-1);
    NotRaised('index -1');
  except
    on E: ERangeError do
      CheckEquals('index less than 0', AnsiString(E.Message), 'index -1');
  end;
  try
    Q.GetItem(1);
    NotRaised('index count');
  except
    on E: ERangeError do
      CheckEquals('index "1" is too big', AnsiString(E.Message), 'index count');
  end;
  Q.Clear;
  for I := 0 to 999 do
  begin
    Q.Add(TkivToken.Create(I));
    if I mod 3 = 2 then
      Q.RemoveFirst(2);
  end;
  CheckEquals(1000 - 2 * 333, Q.Count, 'count after interleaved adds and removes');
  Intact := True;
  for I := 0 to Q.Count - 1 do
    if Q[I].TokenType <> 666 + I then
      Intact := False;
  Check(Intact, 'order kept across compaction');
  Q.RemoveFirst(Q.Count);
  CheckEquals(0, Q.Count, 'removing all');
end;

procedure TestLookahead;
var
  Script: TScriptStream;
  Parser: TProbeParser;
  Current: IkivToken;
  M: Integer;
begin
  Section('lazy fetching and marks');
  Script := TScriptStream.Create([4, 5, 6, 7, 8]);
  Parser := TProbeParser.Create(Script, 3);
  try
    CheckEquals(3, Parser.LookaheadDepth, 'k');
    CheckEquals(0, Script.Calls, 'nothing fetched on creation');
    CheckEquals(6, Parser.LA(3), 'LA(3)');
    CheckEquals(3, Script.Calls, 'LA(3) makes exactly three tokens');
    CheckEquals(4, Parser.LA(1), 'LA(1)');
    CheckEquals(3, Script.Calls, 'LA(1) after LA(3) fetches nothing');
    Current := Parser.LT(1);
    M := Parser.mark;
    Parser.consume;
    Parser.consume;
    CheckEquals(6, Parser.LA(1), 'two tokens consumed');
    Parser.rewind(M);
    Check(Parser.LT(1) = Current, 'rewind returns to the marked token');
    CheckEquals(3, Script.Calls, 'rewound tokens are not asked for again');
    Parser.consume;
    Parser.consume;
    Parser.consume;
    Parser.consume;
    CheckEquals(8, Parser.LA(1), 'consumes past the fetched tokens are not lost');
    Parser.consume;
    CheckEquals(TT_EOF, Parser.LA(1), 'end of input');
    CheckEquals(TT_EOF, Parser.LA(3), 'asking beyond the end asks the stream again');
  finally
    Parser.Free;
  end;
end;

procedure TestMatching;
var
  Script: TScriptStream;
  Parser: TProbeParser;
  Released: Boolean;
begin
  Section('match');
  Released := False;
  Script := TScriptStream.Create([4, 5, 6, 7, 8, 9, 10, 300, 11], @Released);
  Parser := TProbeParser.Create(Script, 2);
  try
    Parser.InputState.FileName := 'tokens.txt';
    CheckEquals('tokens.txt', AnsiString(Parser.FileName), 'file name accessor');
    Parser.match(4);
    CheckEquals(5, Parser.LA(1), 'match consumes');
    Parser.LA(2);
    try
      Parser.match(9);
      NotRaised('match 9 on 5');
    except
      on E: EkivMismatchedToken do
      begin
        CheckEquals(KIND_TOKEN, E.Kind, 'kind');
        CheckEquals('t1', E.TokenText, 'found text');
        CheckEquals(5, E.TokenType, 'found type');
        CheckEquals(2, E.Line, 'line of the token, not of the lexer');
        CheckEquals(3, E.Column, 'column of the token');
        CheckEquals('tokens.txt', AnsiString(E.FileName), 'file name');
        Check(not E.Negated, 'not negated');
      end;
    end;
    try
      Parser.matchNot(5);
      NotRaised('matchNot 5 on 5');
    except
      on E: EkivMismatchedToken do
      begin
        CheckEquals(KIND_TOKEN, E.Kind, 'negated kind');
        Check(E.Negated, 'negated');
      end;
    end;
    Parser.matchNot(TT_000);
    CheckEquals(6, Parser.LA(1), 'wildcard matchNot(TT_000) accepts a token');
    Parser.match([5..6]);
    try
      Parser.match([4, 8]);
      NotRaised('set without 7');
    except
      on E: EkivMismatchedToken do
      begin
        CheckEquals(KIND_TOKEN_SET, E.Kind, 'set kind');
        CheckEquals(7, E.TokenType, 'found type');
        Check(not E.Negated, 'set mismatch not negated');
      end;
    end;

    Section('parser position');
    CheckEquals(4, Parser.InputState.Line, 'line of LT(1)');
    CheckEquals(7, Parser.InputState.Column, 'column of LT(1)');

    Section('ConsumeUntil');
    Parser.ConsumeUntil([9, 10]);
    CheckEquals(9, Parser.LA(1), 'stops at a member');
    Parser.consume;
    Parser.consume;
    Parser.ConsumeUntil([44]);
    CheckEquals(TT_EOF, Parser.LA(1), 'type 300 is no member; stops at the end');
    Parser.ConsumeUntil([44]);
    CheckEquals(TT_EOF, Parser.LA(1), 'at the end it returns at once');

    Section('matchNot at the end of input');
    // The wildcard (matchNot(TT_000)) and "~A" match tokens of the
    // vocabulary; the end-of-input token, handed out for ever, is none.
    try
      Parser.matchNot(TT_000);
      NotRaised('wildcard at the end of input');
    except
      on E: EkivMismatchedToken do
      begin
        CheckEquals(TT_EOF, E.TokenType, 'found the end of input');
        Check(E.Negated, 'negated at the end');
      end;
    end;
    try
      Parser.matchNot(5);
      NotRaised('matchNot 5 at the end of input');
    except
      on E: EkivMismatchedToken do
        CheckEquals(TT_EOF, E.TokenType, 'found the end of input');
    end;
  finally
    Parser.Free;
  end;
  Check(Released, 'freeing the parser releases the token stream');
end;

begin
  TestTokenQueue;
  TestLookahead;
  TestMatching;
  Finish;
end.
