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
  Classes, SysUtils, kivTypes, kivToken, kivStringMap, kivCharBuffer,
  kivLexerState, kivStackGuard;

type
  TkivMarkedPosition = record
    Line: Integer;
    Column: Integer;
  end;

  // Reference-counted: hand it to a parser (or keep an IkivTokenStream
  // reference) and it lives as long as it is referenced. The input stream
  // is borrowed.
  //
  // The per-character operations (LA, consume, the character and set
  // matches) are inlined into generated rules. They reach the input state
  // and the character buffer through their classes, read the current
  // character straight from the buffer's block while the buffer allows it
  // (TkivCharBuffer.CanReadDirect) and collect the token text in a growing
  // character array; everything else takes the general path through the
  // interfaces.
  //
  // EOF_CHAR is both the end of input and what LA answers for a zero byte.
  // Where the lexer itself treats EOF_CHAR as the end (makeToken of
  // TT_EOF, matchNot, ConsumeUntil) it asks AtEndOfInput, so a zero byte
  // before the end is a character like any other there.
  //
  // Reading TokenText, which every generated rule does first, compares the
  // stack pointer with the limit of kivStackGuard and raises
  // EkivNestingTooDeep below it (a hand-written rule that calls itself
  // should read it too).
  TkivLexer = class(TInterfacedObject, IkivTokenStream)
  private
    // TokenText is FText[0 .. FTextLen - 1]. FTextCache holds its first
    // FTextCacheLen characters as a string: the text only grows between
    // resets (which mark the cache stale with -1) and assignments (which
    // renew it), so the cache is current when the lengths match and a
    // prefix of the text when FTextCacheLen is smaller. Generated rules ask
    // for the text's length at every rule start, so bringing the cache up to
    // date copies only the characters added since (see MaterializeText).
    //
    // While characters are read straight from the character buffer's block
    // they are not copied: FSpanStart, when not nil, is where in the block
    // the text's last characters begin, and they run up to the current
    // position (FBuffer.DirectPos). Whatever may move or refill the block
    // outside direct reading (LA beyond it, marks, rewinds, commits), and
    // everything that reads or changes the text as characters, first copies
    // the span to FText (FlushSpan). A token's text is taken from the span
    // when it lies there whole.
    FText: array of AnsiChar;
    FTextLen: Integer;
    FSpanStart: PAnsiChar;
    FTextCapacity: Integer;
    FTextCache: AnsiString;
    FTextCacheLen: Integer;
    // The length FTextCache was last given room for, so that a growing
    // text reallocates the string once per half again its length, not per
    // rule. Only a hint: SetLength keeps the string valid whatever it is.
    FTextCacheRoom: Integer;
    FStackGuard: TkivStackGuard;
    FTokenClass: TkivTokenClass;
    // Whether FTokenClass is a class other than TkivToken (_eagerTokens),
    // kept by SetTokenClass so that the lexer and the token buffer test one
    // flag a token. (Writing TkivToken over nil, as makeToken does, keeps it.)
    FEagerTokens: Boolean;
    FInputState: IkivLexerState;
    // The same object as FInputState, reached without interface calls, and
    // its character buffer (kept current by the state).
    FState: TkivLexerState;
    FBuffer: TkivCharBuffer;
    FSaveConsumedInput: Boolean;
    FReturnToken: IkivToken;
    // Line and column at every open mark, innermost last. The characters
    // after a mark are consumed again after a rewind, so the position goes
    // back with them (a filtering lexer rewinds after a failed token rule).
    FMarkedPositions: array of TkivMarkedPosition;
    FMarkCount: Integer;
    // What the last _finishRule (or _eofType) left for the integer token
    // path: the type and where the token's text starts in TokenText (1 on;
    // -1 for the end-of-input token, made by makeToken).
    FRuleType: Integer;
    FRuleBegin: Integer;
    function GetTokenText: AnsiString; inline;
    function MaterializeText: AnsiString;
    procedure SetTokenText(const AValue: AnsiString);
    procedure GrowText;
    procedure FlushSpan;
    // Length(TokenText), span included.
    function FullTextLength: Integer; inline;
    // The general paths of LA and consume, through the buffer's queue or a
    // foreign input.
    function InputLA(I: Integer): AnsiChar;
    procedure InputConsume;
    // Consumes the current character C = LA(1): text, column, input.
    procedure Advance(C: AnsiChar); inline;
    procedure RaiseMismatch(C: AnsiChar; Negated: Boolean); overload;
    procedure RaiseMismatch(const ASet: TkivCharSet); overload;
    procedure RaiseMismatch(const S: AnsiString; Index: Integer; Found: AnsiChar); overload;
    // _match(C) and _match(ASet) for what is not read straight from the
    // block, not kept, guessed or a tab.
    procedure MatchGeneral(C: AnsiChar);
    procedure MatchSetGeneral(const ASet: TkivCharSet);
    // The common case of _match: the character read straight from the block,
    // kept and counted, joins the span or starts one.
    procedure TakeDirectChar; inline;
    // matchNot's rare case: LA(1) is C or EOF_CHAR.
    procedure MatchNotSpecial(C, Found: AnsiChar);
    // Re-arms the stack guard for the stack pointer; raises
    // EkivNestingTooDeep when it lies below the limit.
    procedure CheckStack;
    procedure RaiseEndExpected;
    // _finishRule for a token class other than TkivToken.
    procedure FinishOtherToken(AType, ABegin: Integer);
    // _finishRule's token-making case (ACreate true).
    procedure FinishRuleToken(AType, ABegin: Integer);
    // Drops ReturnToken (out of line: releasing an interface).
    procedure ClearReturnToken;
    // _scanRun's general path: folded characters, tabs, guessing, the end
    // of the read block and what is not read directly.
    function ScanRunGeneral(const ASet: TkivCharSet): Integer;
    // The end of _scanRun and _scanRunBits: takes the run from Start to P
    // found in the read block (Stop its end), or scans from Start through
    // ScanRunGeneral.
    function TakeRun(Start, P, Stop: PAnsiChar; const ASet: TkivCharSet): Integer; inline;
    // _makeToken for a token class other than TkivToken.
    function MakeOtherToken(AType, ALine, AColumn: Integer; AText: PAnsiChar; ALength: Integer): IkivToken;
    // _ruleType for a rule that left TT_EOF: raises on a zero byte as
    // makeToken does.
    procedure CheckEndToken;
    // Appends the N characters at P to the text.
    procedure AppendText(P: PAnsiChar; N: Integer);
    procedure SetTokenClass(AValue: TkivTokenClass);
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

    // Generated lexers of the default form override it. The optimized
    // form's lexers (without a filter) implement _nextTokenType instead and
    // inherit this one, which makes the token of the type it answers.
    function NextToken: IkivToken; virtual;
    // Called by consume for a tab character: advances the column by 1.
    // Override to use another tab width.
    procedure tab; virtual;
    // Called by generated NextToken when LA(1) is EOF_CHAR.
    procedure uponEof; virtual;
    // Called by generated exception handlers with the caught exception.
    procedure reportError(E: Exception); virtual;

    function LA(I: Integer): AnsiChar; inline;
    procedure consume; inline;
    procedure match(C: AnsiChar); overload; inline;
    procedure match(const S: AnsiString); overload;
    procedure match(const ASet: TkivCharSet); overload; inline;
    // Consumes any character but C; raises at the end of input too. A zero
    // byte before the end is consumed even by matchNot(EOF_CHAR), the
    // wildcard.
    procedure matchNot(C: AnsiChar); inline;
    // Consumes characters until LA(1) is in the set or the input ends.
    procedure ConsumeUntil(const ASet: TkivCharSet);
    // True when LA(1) is the end of the input, false on every character of
    // it, a zero byte (which LA reads as EOF_CHAR too) included. With an
    // input that is not a TkivCharBuffer, EOF_CHAR is the end.
    function AtEndOfInput: Boolean;
    procedure newLine; inline;
    // Starts a new token: empty text, saving on, start position here.
    procedure ResetText; inline;
    // The end-of-input token (TT_EOF) is made only at the end of input: on a
    // zero byte before it makeToken raises EkivMismatchedChar (KIND_CHAR,
    // found and expected EOF_CHAR, negated) at the current position, as for
    // any character that no token starts with.
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
    property TokenText: AnsiString read GetTokenText write SetTokenText;

    // Entry points of the optimized form of generated lexers. Their names
    // begin with "_", which no grammar identifier can, so no rule method or
    // label hides them. Each does what the default form writes out in the
    // rule, without a string or interface temporary there.

    // Length(TokenText) + 1, with the stack check of reading TokenText.
    function _textStart: Integer; inline;
    // Length(TokenText).
    function _textLength: Integer; inline;
    // TokenText := Copy(TokenText, 1, ALength).
    procedure _truncateText(ALength: Integer);
    // The end of a rule: ReturnToken becomes a token of type AType with
    // the text from ABegin on (made by makeToken), or nil when AType is
    // TT_SKIP or ACreate is false.
    procedure _finishRule(AType, ABegin: Integer; ACreate: Boolean); inline;
    // TestLiteral(Copy(TokenText, ABegin, ...), AType).
    function _testLiteralFrom(ABegin, AType: Integer): Integer;
    // Consumes characters while LA(1) is in ASet, as that many match(ASet)
    // would; answers how many. ASet must not hold EOF_CHAR.
    function _scanRun(const ASet: TkivCharSet): Integer; inline;
    // _scanRun for a set of many ranges: the test reads the set's bits
    // instead of comparing range after range.
    function _scanRunBits(const ASet: TkivCharSet): Integer; inline;
    // Raise EkivMismatchedChar (LA(1) against ASet) and EkivSemantic at the
    // current position, as the default form's raise statements do.
    procedure _raiseNoViableChar(const ASet: TkivCharSet); {$IFDEF FPC}noreturn;{$ENDIF}
    // LA(1), match(C) and match(ASet) without folding case: the optimized
    // form of a case-sensitive grammar reads its characters through them.
    function _LA1: AnsiChar; inline;
    procedure _match(C: AnsiChar); overload; inline;
    procedure _match(const ASet: TkivCharSet); overload; inline;
    procedure _raiseSemantic(const APredicate: AnsiString); {$IFDEF FPC}noreturn;{$ENDIF}

    // The integer token path. _nextTokenType runs one round of NextToken
    // and answers the token's type without making the token: its text
    // (_tokenText) and start position (InputState.TokenStartLine and
    // TokenStartColumn) stay in the lexer until the next round starts, and
    // _tokenOfType makes the token NextToken would have returned. A
    // parser's token buffer takes this path when _offersTokenTypes says the
    // lexer's NextToken is that of the base class and _nextTokenType is
    // implemented; it makes token objects only when they are asked for.
    function _nextTokenType: Integer; virtual;
    function _offersTokenTypes: Boolean;
    // The type the last rule left in _finishRule (its dispatch calls
    // rules with ACreate false).
    function _ruleType: Integer; inline;
    // The end of input where NextToken would make its TT_EOF token: raises
    // on a zero byte as makeToken does; the token's text is empty.
    function _eofType: Integer;
    // The current token's text: its first character (nil when empty) and
    // its length.
    function _tokenText(out AText: PAnsiChar): Integer; inline;
    // _tokenText's cases other than a text still in the read block.
    function TokenTextGeneral(out AText: PAnsiChar): Integer;
    // The token of type AType (what _nextTokenType answered) as NextToken
    // makes it; it becomes ReturnToken unless it ends the input.
    function _tokenOfType(AType: Integer): IkivToken;
    // A token of the lexer's token class with the given type, position and
    // text, made the way _tokenOfType makes it.
    function _makeToken(AType, ALine, AColumn: Integer; AText: PAnsiChar; ALength: Integer): IkivToken;
    // Whether tokens are of a class other than TkivToken: a token buffer
    // then makes each one as soon as it fetches it, as NextToken would.
    function _eagerTokens: Boolean; inline;
    // InputState.TokenStartLine and TokenStartColumn, read in place.
    function _tokenLine: Integer; inline;
    function _tokenColumn: Integer; inline;

    // Class instantiated by makeToken; TkivToken unless set otherwise.
    property TokenClass: TkivTokenClass read FTokenClass write SetTokenClass;
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
  kivUtils, kivExceptionMismatchedChar, kivExceptionNestingTooDeep, kivExceptionSemantic;

const
  KIV_INITIAL_TEXT_CAPACITY = 64;
  // Texts longer than this get room to grow in (see MaterializeText).
  KIV_TEXT_ROOM_FROM = 256;

constructor TkivLexer.Create(AStream: TStream);
begin
  inherited Create;
  FState := TkivLexerState.Create(AStream);
  FInputState := FState;
  FState.BindCharBuffer(@FBuffer);
  SetLength(FText, KIV_INITIAL_TEXT_CAPACITY);
  FTextCapacity := KIV_INITIAL_TEXT_CAPACITY;
  fLiterals := TkivStringMap.Create;
  fLiterals.CaseSensitive := True;
  fCaseSensitive := True;
  FSaveConsumedInput := True;
  initialize;
end;

destructor TkivLexer.Destroy;
begin
  // The state may outlive the lexer.
  if FState <> nil then
    FState.BindCharBuffer(nil);
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

function TkivLexer.GetTokenText: AnsiString;
begin
  // Every generated rule asks for the length of the text when it starts:
  // the one place that every rule call, however deep, passes through. The
  // result's address is an address in the caller's frame, as a rule reads
  // it (a temporary); CheckStack looks at the stack pointer itself.
  if KivOutsideStack(FStackGuard, @Result) then
    CheckStack;
  if FSpanStart <> nil then
    FlushSpan;
  // Mostly at the start of a token; the cache string is left alone for the
  // next.
  if FTextLen = 0 then
    Result := ''
  else if FTextCacheLen = FTextLen then
    Result := FTextCache
  else
    Result := MaterializeText;
end;

function TkivLexer.MaterializeText: AnsiString;
var
  Target: PAnsiChar;
  From, I: Integer;
begin
  if FTextCacheLen <> FTextLen then
  begin
    // The characters before FTextCacheLen are in the cache already.
    From := FTextCacheLen;
    if (From <= 0) or (From > FTextLen) then
    begin
      // The cache string is kept from token to token: one of the right
      // length that nobody else holds is written over; otherwise SetLength
      // gives one (reusing the memory when it can).
      From := 0;
      if (Length(FTextCache) <> FTextLen) or (StringRefCount(FTextCache) <> 1) then
        KivSetTextLength(FTextCache, FTextLen);
      FTextCacheRoom := FTextLen;
    end
    else
    begin
      // The text grew since the cache was made: a rule started inside a
      // token. A string held elsewhere is never written to (SetLength
      // copies it, prefix included). A long one is given room for half
      // again its length, so a long token reallocates it a logarithmic
      // number of times; cutting it back to the text's length keeps the
      // memory (the run-time library reallocates a string only when that
      // saves at least half of it). A short one grows within its memory
      // block as it is.
      if StringRefCount(FTextCache) <> 1 then
        FTextCacheRoom := 0;
      if (FTextLen > FTextCacheRoom) and (FTextLen > KIV_TEXT_ROOM_FROM) then
      begin
        FTextCacheRoom := FTextLen + FTextLen shr 1;
        SetLength(FTextCache, FTextCacheRoom);
      end;
      KivSetTextLength(FTextCache, FTextLen);
    end;
    // Most token texts are a few characters: a loop beats Move's set-up.
    if FTextLen - From <= 16 then
    begin
      Target := Pointer(FTextCache);
      for I := From to FTextLen - 1 do
        Target[I] := FText[I];
    end
    else
      Move(FText[From], PAnsiChar(Pointer(FTextCache))[From], FTextLen - From);
    FTextCacheLen := FTextLen;
  end;
  Result := FTextCache;
end;

procedure TkivLexer.SetTokenText(const AValue: AnsiString);
begin
  FSpanStart := nil;
  FTextLen := 0;
  while FTextCapacity < Length(AValue) do
    GrowText;
  FTextLen := Length(AValue);
  if FTextLen > 0 then
    Move(AValue[1], FText[0], FTextLen);
  FTextCache := AValue;
  FTextCacheLen := FTextLen;
  FTextCacheRoom := FTextLen;
end;

procedure TkivLexer.FlushSpan;
var
  Start: PAnsiChar;
begin
  Start := FSpanStart;
  FSpanStart := nil;
  AppendText(Start, FBuffer.DirectPos - Start);
end;

function TkivLexer.FullTextLength: Integer;
begin
  Result := FTextLen;
  if FSpanStart <> nil then
    Inc(Result, FBuffer.DirectPos - FSpanStart);
end;

procedure TkivLexer.GrowText;
begin
  SetLength(FText, 2 * Length(FText) + KIV_INITIAL_TEXT_CAPACITY);
  FTextCapacity := Length(FText);
end;

function TkivLexer.InputLA(I: Integer): AnsiChar;
begin
  if FSpanStart <> nil then
    FlushSpan;
  if FState.ForeignInput then
    Result := FInputState.Input.LA(I)
  else
    Result := FBuffer.LA(I);
end;

procedure TkivLexer.InputConsume;
begin
  if FSpanStart <> nil then
    FlushSpan;
  if FState.ForeignInput then
    FInputState.Input.consume
  else
    FBuffer.consume;
end;

function TkivLexer.LA(I: Integer): AnsiChar;
var
  B: TkivCharBuffer;
begin
  B := FBuffer;
  if (I = 1) and B.CanReadDirect then
    Result := B.DirectChar
  else
    Result := InputLA(I);
  if not fCaseSensitive and (Result >= 'A') and (Result <= 'Z') then
    Result := AnsiChar(Ord(Result) + 32);
end;

function TkivLexer._LA1: AnsiChar;
var
  B: TkivCharBuffer;
begin
  B := FBuffer;
  if B.CanReadDirect then
    Result := B.DirectChar
  else
    Result := InputLA(1);
end;

procedure TkivLexer.Advance(C: AnsiChar);
var
  B: TkivCharBuffer;
begin
  // A span (left by _scanRun) ends here.
  if FSpanStart <> nil then
    FlushSpan;
  if FState.Guessing = 0 then
  begin
    if FSaveConsumedInput then
    begin
      if FTextLen >= FTextCapacity then
        GrowText;
      FText[FTextLen] := C;
      Inc(FTextLen);
    end;
    if C = #9 then
      tab
    else
      FState.Column := FState.Column + 1;
  end;
  B := FBuffer;
  if B.CanReadDirect then
    B.SkipDirect
  else
    InputConsume;
end;

procedure TkivLexer.consume;
begin
  Advance(LA(1));
end;

procedure TkivLexer.CheckStack;
begin
  if not KivArmStackGuard(FStackGuard, KivStackPointer) then
    raise EkivNestingTooDeep.Create(FInputState.FileName, FState.Line, FState.Column);
end;

function TkivLexer.AtEndOfInput: Boolean;
begin
  if FSpanStart <> nil then
    FlushSpan;
  if FState.ForeignInput then
    Result := FInputState.Input.LA(1) = EOF_CHAR
  else
    Result := FBuffer.AtEndOfInput;
end;

procedure TkivLexer.RaiseMismatch(C: AnsiChar; Negated: Boolean);
begin
  raise EkivMismatchedChar.Create(LA(1), C, FInputState.FileName,
    FInputState.Line, FInputState.Column, Negated);
end;

procedure TkivLexer.RaiseMismatch(const ASet: TkivCharSet);
begin
  raise EkivMismatchedChar.Create(LA(1), ASet, FInputState.FileName,
    FInputState.Line, FInputState.Column, False);
end;

procedure TkivLexer.match(C: AnsiChar);
var
  Expected, Found: AnsiChar;
begin
  Expected := C;
  if not fCaseSensitive and (C >= 'A') and (C <= 'Z') then
    Expected := AnsiChar(Ord(C) + 32);
  Found := LA(1);
  if Expected <> Found then
    RaiseMismatch(C, False);
  Advance(Found);
end;

procedure TkivLexer.matchNot(C: AnsiChar);
var
  Expected, Found: AnsiChar;
begin
  Expected := C;
  if not fCaseSensitive and (C >= 'A') and (C <= 'Z') then
    Expected := AnsiChar(Ord(C) + 32);
  Found := LA(1);
  if (Expected = Found) or (Found = EOF_CHAR) then
    MatchNotSpecial(C, Found);
  Advance(Found);
end;

procedure TkivLexer.MatchNotSpecial(C, Found: AnsiChar);
begin
  // The end of input is no character: "~'c'" and the wildcard stop there
  // like the lookahead sets do, instead of consuming the end for ever. A
  // zero byte before the end is a character: only "~'c'" for that very
  // character rejects it, and EOF_CHAR stands for the end, not for it.
  if Found = EOF_CHAR then
  begin
    if AtEndOfInput then
      RaiseMismatch(C, True);
  end
  else
    RaiseMismatch(C, True);
end;

procedure TkivLexer.match(const ASet: TkivCharSet);
var
  Found: AnsiChar;
begin
  Found := LA(1);
  if not (Found in ASet) then
    RaiseMismatch(ASet);
  Advance(Found);
end;

procedure TkivLexer.TakeDirectChar;
begin
  if FSpanStart = nil then
    FSpanStart := FBuffer.DirectPos;
  FState.Column := FState.Column + 1;
  FBuffer.SkipDirect;
end;

procedure TkivLexer._match(C: AnsiChar);
begin
  // A character read straight from the block that is kept and counted (no
  // tab, nothing guessed) joins the span, or starts one: its text is not
  // copied. MatchGeneral takes the rest, the mismatch included.
  if FBuffer.CanReadDirect then
    if (FBuffer.DirectChar = C) and (C <> #9) and FSaveConsumedInput and (FState.Guessing = 0) then
    begin
      TakeDirectChar;
      Exit;
    end;
  MatchGeneral(C);
end;

procedure TkivLexer.MatchGeneral(C: AnsiChar);
begin
  if _LA1 <> C then
    RaiseMismatch(C, False);
  Advance(C);
end;

procedure TkivLexer._match(const ASet: TkivCharSet);
begin
  // As _match(C); the tab test folds away for a constant set without one.
  if FBuffer.CanReadDirect then
    if (FBuffer.DirectChar in ASet) and (not (#9 in ASet) or (FBuffer.DirectChar <> #9)) and FSaveConsumedInput
      and (FState.Guessing = 0) then
    begin
      TakeDirectChar;
      Exit;
    end;
  MatchSetGeneral(ASet);
end;

procedure TkivLexer.MatchSetGeneral(const ASet: TkivCharSet);
var
  Found: AnsiChar;
begin
  Found := _LA1;
  if not (Found in ASet) then
    RaiseMismatch(ASet);
  Advance(Found);
end;

procedure TkivLexer.RaiseMismatch(const S: AnsiString; Index: Integer; Found: AnsiChar);
var
  Matched: AnsiString;
begin
  // The characters before the offending one matched, so they are the
  // expected ones (folded like the look-ahead).
  if fCaseSensitive then
    Matched := Copy(S, 1, Index - 1)
  else
    Matched := FoldText(Copy(S, 1, Index - 1));
  raise EkivMismatchedChar.Create(Matched + Found, S, FInputState.FileName,
    FInputState.Line, FInputState.Column);
end;

procedure TkivLexer.match(const S: AnsiString);
var
  I: Integer;
  C, Expected: AnsiChar;
begin
  for I := 1 to Length(S) do
  begin
    Expected := S[I];
    if not fCaseSensitive and (Expected >= 'A') and (Expected <= 'Z') then
      Expected := AnsiChar(Ord(Expected) + 32);
    C := LA(1);
    if C <> Expected then
      RaiseMismatch(S, I, C);
    Advance(C);
  end;
end;

procedure TkivLexer.ConsumeUntil(const ASet: TkivCharSet);
var
  C: AnsiChar;
begin
  while True do
  begin
    C := LA(1);
    if (C in ASet) or (C = EOF_CHAR) and AtEndOfInput then
      Break;
    Advance(C);
  end;
end;

procedure TkivLexer.newLine;
begin
  FState.Column := 1;
  FState.Line := FState.Line + 1;
end;

procedure TkivLexer.ResetText;
var
  S: TkivLexerState;
begin
  FTextLen := 0;
  FSpanStart := nil;
  // The cache keeps its string (see GetTokenText) and is marked stale.
  FTextCacheLen := -1;
  // Generated code turns saving off around an atom marked "!" and on again
  // after it; when the atom fails and a handler or a filter carries on, the
  // next token must not inherit the switch.
  FSaveConsumedInput := True;
  S := FState;
  S.TokenStartColumn := S.Column;
  S.TokenStartLine := S.Line;
end;

function TkivLexer.makeToken(AType: Integer; const AText: AnsiString): IkivToken;
var
  Token: TkivToken;
begin
  if (AType = TT_EOF) and (LA(1) = EOF_CHAR) and not AtEndOfInput then
    RaiseEndExpected;
  if FTokenClass = nil then
    FTokenClass := TkivToken;
  if FTokenClass = TkivToken then
  begin
    Token := TkivToken.Make(AType, FState.TokenStartLine, FState.TokenStartColumn);
    if AText <> '' then
      Token.TokenText := AText;
    Result := Token;
  end
  else
  begin
    // A descendant may implement the interface's setters its own way.
    Result := FTokenClass.Create(AType, AText);
    Result.Line := FState.TokenStartLine;
    Result.Column := FState.TokenStartColumn;
  end;
end;

procedure TkivLexer.RaiseEndExpected;
begin
  // A zero byte where a token should start: no token rule takes it.
  raise EkivMismatchedChar.Create(EOF_CHAR, EOF_CHAR, FInputState.FileName,
    FInputState.Line, FInputState.Column, True);
end;

function TkivLexer.TestLiteral(AType: Integer): Integer;
var
  Value: Integer;
begin
  // The literal table's value for TokenText, read where the text lies.
  if (FSpanStart <> nil) and (FTextLen = 0) then
    Value := fLiterals.ValueOfText(FSpanStart, FBuffer.DirectPos - FSpanStart)
  else
  begin
    if FSpanStart <> nil then
      FlushSpan;
    Value := fLiterals.ValueOfText(PAnsiChar(Pointer(FText)), FTextLen);
  end;
  if Value >= 0 then
    Result := Value
  else
    Result := AType;
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

function TkivLexer._textStart: Integer;
var
  Probe: Byte;
begin
  if KivOutsideStack(FStackGuard, @Probe) then
    CheckStack;
  Result := FullTextLength + 1;
end;

function TkivLexer._textLength: Integer;
begin
  Result := FullTextLength;
end;

procedure TkivLexer._truncateText(ALength: Integer);
begin
  if FSpanStart <> nil then
    FlushSpan;
  if ALength < 0 then
    ALength := 0;
  if ALength >= FTextLen then
    Exit;
  FTextLen := ALength;
  // A cache up to ALength characters is still a prefix of the text.
  if FTextCacheLen > FTextLen then
    FTextCacheLen := -1;
end;

procedure TkivLexer._finishRule(AType, ABegin: Integer; ACreate: Boolean);
begin
  // The rules of a dispatch (ACreate false) only leave type and text start.
  if ACreate and (AType <> TT_SKIP) then
    FinishRuleToken(AType, ABegin)
  else
  begin
    FRuleType := AType;
    FRuleBegin := ABegin;
    if FReturnToken <> nil then
      ClearReturnToken;
  end;
end;

procedure TkivLexer.ClearReturnToken;
begin
  FReturnToken := nil;
end;

procedure TkivLexer.FinishRuleToken(AType, ABegin: Integer);
var
  Token: TkivToken;
begin
  FRuleType := AType;
  FRuleBegin := ABegin;
  if FEagerTokens then
  begin
    FinishOtherToken(AType, ABegin);
    Exit;
  end;
  // makeToken for the base class, without a reference-counted temporary.
  if (AType = TT_EOF) and (LA(1) = EOF_CHAR) and not AtEndOfInput then
    RaiseEndExpected;
  FTokenClass := TkivToken;
  Token := TkivToken.Make(AType, FState.TokenStartLine, FState.TokenStartColumn);
  // Copy(TokenText, ABegin, Length(TokenText) - ABegin + 1), straight from
  // the characters.
  if ABegin < 1 then
    ABegin := 1;
  if (FSpanStart <> nil) and (FTextLen = 0) then
  begin
    if ABegin <= FBuffer.DirectPos - FSpanStart then
      Token.SetTextFrom(FSpanStart + ABegin - 1, FBuffer.DirectPos - FSpanStart - ABegin + 1);
  end
  else
  begin
    if FSpanStart <> nil then
      FlushSpan;
    if ABegin <= FTextLen then
      Token.SetTextFrom(@FText[ABegin - 1], FTextLen - ABegin + 1);
  end;
  FReturnToken := Token;
end;

procedure TkivLexer.FinishOtherToken(AType, ABegin: Integer);
var
  Token: IkivToken;
begin
  if FSpanStart <> nil then
    FlushSpan;
  Token := makeToken(AType);
  if ABegin < 1 then
    ABegin := 1;
  Token.TokenText := Copy(GetTokenText, ABegin, FTextLen - ABegin + 1);
  FReturnToken := Token;
end;

function TkivLexer._testLiteralFrom(ABegin, AType: Integer): Integer;
var
  Value: Integer;
begin
  // TestLiteral(Copy(TokenText, ABegin, ...), AType) without the copy.
  if FSpanStart <> nil then
    FlushSpan;
  if ABegin < 1 then
    ABegin := 1;
  if ABegin <= FTextLen then
    Value := fLiterals.ValueOfText(@FText[ABegin - 1], FTextLen - ABegin + 1)
  else
    Value := fLiterals.ValueOfText(nil, 0);
  if Value >= 0 then
    Result := Value
  else
    Result := AType;
end;

function TkivLexer.TakeRun(Start, P, Stop: PAnsiChar; const ASet: TkivCharSet): Integer;
begin
  // The run found from Start to P is taken as it is when it ended inside
  // the block (P < Stop: the block was read directly) at a character other
  // than a tab, with its characters kept, nothing guessed or folded.
  if (P < Stop) and (P > Start) and (not (#9 in ASet) or (P^ <> #9)) and FSaveConsumedInput and fCaseSensitive
    and (FState.Guessing = 0) then
  begin
    if FSpanStart = nil then
      FSpanStart := Start;
    Result := P - Start;
    FState.Column := FState.Column + Result;
    FBuffer.SkipDirectBy(Result);
  end
  else
    Result := ScanRunGeneral(ASet);
end;

function TkivLexer._scanRun(const ASet: TkivCharSet): Integer;
var
  Start, P, Stop: PAnsiChar;
begin
  // The common case inline: the run lies in the read block before its end
  // and holds no tab, its characters are kept and counted, nothing is
  // guessed or folded. The rest takes the general path from the start.
  Start := FBuffer.DirectPos;
  Stop := FBuffer.DirectLimit;
  P := Start;
  // The tab tests fold away for a constant set without a tab.
  while (P < Stop) and (P^ in ASet) and (not (#9 in ASet) or (P^ <> #9)) do
    Inc(P);
  Result := TakeRun(Start, P, Stop, ASet);
end;

function TkivLexer._scanRunBits(const ASet: TkivCharSet): Integer;
var
  Start, P, Stop: PAnsiChar;
  Bits: ^TkivCharSet;
begin
  // As _scanRun. Through the pointer the compiler tests the set in memory,
  // one bit test per character.
  Bits := @ASet;
  Start := FBuffer.DirectPos;
  Stop := FBuffer.DirectLimit;
  P := Start;
  while (P < Stop) and (P^ in Bits^) and (not (#9 in ASet) or (P^ <> #9)) do
    Inc(P);
  Result := TakeRun(Start, P, Stop, ASet);
end;

function TkivLexer.ScanRunGeneral(const ASet: TkivCharSet): Integer;
var
  C: AnsiChar;
  Start, P, Stop: PAnsiChar;
  N: Integer;
  B: TkivCharBuffer;
begin
  Result := 0;
  B := FBuffer;
  while True do
  begin
    if fCaseSensitive and B.CanReadDirect then
    begin
      // Straight from the block: the run up to a tab (consume calls tab
      // for each) is found first, then its characters are kept and counted
      // at once.
      Start := B.DirectPos;
      Stop := B.DirectLimit;
      P := Start;
      while (P < Stop) and (P^ in ASet) and (P^ <> #9) do
        Inc(P);
      N := P - Start;
      if N > 0 then
      begin
        if FState.Guessing = 0 then
        begin
          if not FSaveConsumedInput then
          begin
            if FSpanStart <> nil then
              FlushSpan;
          end
          else if FSpanStart = nil then
            FSpanStart := Start;
          FState.Column := FState.Column + N;
        end
        else if FSpanStart <> nil then
          FlushSpan;
        B.SkipDirectBy(N);
        Inc(Result, N);
      end;
      if P < Stop then
      begin
        if P^ <> #9 then
          Exit;
        C := #9;
      end
      else
        // The block ended: LA reads on and opens direct reading again.
        C := LA(1);
    end
    else
      C := LA(1);
    // Folded characters, tabs and what is not read directly.
    if not (C in ASet) then
      Exit;
    Advance(C);
    Inc(Result);
  end;
end;

procedure TkivLexer.AppendText(P: PAnsiChar; N: Integer);
var
  Target: PAnsiChar;
  I: Integer;
begin
  while FTextLen + N > FTextCapacity do
    GrowText;
  Target := @FText[FTextLen];
  if N <= 16 then
    for I := 0 to N - 1 do
      Target[I] := P[I]
  else
    Move(P^, Target^, N);
  Inc(FTextLen, N);
end;

function TkivLexer.NextToken: IkivToken;
begin
  Result := _tokenOfType(_nextTokenType);
end;

function TkivLexer._nextTokenType: Integer;
begin
  // A lexer must implement one of NextToken and _nextTokenType.
  AbstractError;
  Result := TT_EOF;
end;

function TkivLexer._offersTokenTypes: Boolean;
var
  Next: function: IkivToken of object;
  NextType: function: Integer of object;
begin
  Next := NextToken;
  NextType := _nextTokenType;
  Result := (TMethod(Next).Code = Pointer(@TkivLexer.NextToken)) and
    (TMethod(NextType).Code <> Pointer(@TkivLexer._nextTokenType));
end;

function TkivLexer._ruleType: Integer;
begin
  Result := FRuleType;
  if Result = TT_EOF then
    CheckEndToken;
end;

procedure TkivLexer.CheckEndToken;
begin
  if (LA(1) = EOF_CHAR) and not AtEndOfInput then
    RaiseEndExpected;
end;

function TkivLexer._eofType: Integer;
begin
  CheckEndToken;
  FRuleType := TT_EOF;
  FRuleBegin := -1;
  Result := TT_EOF;
end;

function TkivLexer._tokenText(out AText: PAnsiChar): Integer;
begin
  // The common case inline: a rule's text is the span still in the block.
  if (FSpanStart <> nil) and (FTextLen = 0) and (FRuleBegin >= 1) then
  begin
    Result := FBuffer.DirectPos - FSpanStart - FRuleBegin + 1;
    if Result > 0 then
    begin
      AText := FSpanStart + FRuleBegin - 1;
      Exit;
    end;
  end;
  Result := TokenTextGeneral(AText);
end;

function TkivLexer.TokenTextGeneral(out AText: PAnsiChar): Integer;
var
  First: Integer;
begin
  First := FRuleBegin;
  if First < 1 then
    First := 1;
  if (FSpanStart <> nil) and (FTextLen = 0) then
  begin
    Result := FBuffer.DirectPos - FSpanStart - First + 1;
    if (Result <= 0) or (FRuleBegin < 0) then
    begin
      Result := 0;
      AText := nil;
    end
    else
      AText := FSpanStart + First - 1;
    Exit;
  end;
  if FSpanStart <> nil then
    FlushSpan;
  Result := FTextLen - First + 1;
  if (Result <= 0) or (FRuleBegin < 0) then
  begin
    Result := 0;
    AText := nil;
  end
  else
    AText := @FText[First - 1];
end;

function TkivLexer._eagerTokens: Boolean;
begin
  Result := FEagerTokens;
end;

procedure TkivLexer.SetTokenClass(AValue: TkivTokenClass);
begin
  FTokenClass := AValue;
  FEagerTokens := (AValue <> nil) and (AValue <> TkivToken);
end;

function TkivLexer._tokenLine: Integer;
begin
  Result := FState.TokenStartLine;
end;

function TkivLexer._tokenColumn: Integer;
begin
  Result := FState.TokenStartColumn;
end;

function TkivLexer._makeToken(AType, ALine, AColumn: Integer; AText: PAnsiChar; ALength: Integer): IkivToken;
var
  Token: TkivToken;
begin
  // The descendant's case out of line: its string temporary would give
  // this common path an exception frame.
  if FEagerTokens then
  begin
    Result := MakeOtherToken(AType, ALine, AColumn, AText, ALength);
    Exit;
  end;
  Token := TkivToken.Make(AType, ALine, AColumn);
  if ALength > 0 then
    Token.SetTextFrom(AText, ALength);
  Result := Token;
end;

function TkivLexer.MakeOtherToken(AType, ALine, AColumn: Integer; AText: PAnsiChar; ALength: Integer): IkivToken;
var
  Text: AnsiString;
begin
  // As makeToken and the rule's end do it for a descendant.
  Result := FTokenClass.Create(AType, '');
  Result.Line := ALine;
  Result.Column := AColumn;
  SetString(Text, AText, ALength);
  Result.TokenText := Text;
end;

function TkivLexer._tokenOfType(AType: Integer): IkivToken;
var
  Text: PAnsiChar;
  Len: Integer;
begin
  if FRuleBegin < 0 then
  begin
    Result := makeToken(TT_EOF);
    Exit;
  end;
  Len := _tokenText(Text);
  Result := _makeToken(AType, FState.TokenStartLine, FState.TokenStartColumn, Text, Len);
  FReturnToken := Result;
end;

procedure TkivLexer._raiseNoViableChar(const ASet: TkivCharSet);
begin
  RaiseMismatch(ASet);
end;

procedure TkivLexer._raiseSemantic(const APredicate: AnsiString);
begin
  raise EkivSemantic.Create(APredicate, FInputState.FileName, FInputState.Line, FInputState.Column);
end;

function TkivLexer.mark: Integer;
begin
  if FSpanStart <> nil then
    FlushSpan;
  if FMarkCount = Length(FMarkedPositions) then
    SetLength(FMarkedPositions, 2 * FMarkCount + 4);
  FMarkedPositions[FMarkCount].Line := FState.Line;
  FMarkedPositions[FMarkCount].Column := FState.Column;
  Inc(FMarkCount);
  Result := FInputState.Input.mark;
end;

procedure TkivLexer.rewind(AMark: Integer);
begin
  if FSpanStart <> nil then
    FlushSpan;
  FInputState.Input.rewind(AMark);
  if FMarkCount > 0 then
  begin
    Dec(FMarkCount);
    FState.Line := FMarkedPositions[FMarkCount].Line;
    FState.Column := FMarkedPositions[FMarkCount].Column;
  end;
end;

procedure TkivLexer.commit;
begin
  if FSpanStart <> nil then
    FlushSpan;
  FInputState.Input.commit;
  if FMarkCount > 0 then
    Dec(FMarkCount);
end;

end.
