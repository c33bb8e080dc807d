{ ==========================================================================
  KIV recognizer runtime - kivTokenBuffer
  Token input for parsers: k-token look-ahead over a token stream, with the
  marks and deferred consumes of the input-buffer base. Tokens are fetched
  lazily, so the lexer runs only as far as the parser looks ahead.
  ========================================================================== }
unit kivTokenBuffer;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

uses
  kivTypes, kivInputBuffer, kivTokenQueue, kivLexer, kivToken;

type
  // A token the buffer holds by its parts (see TkivTokenBuffer).
  TkivTokenSlot = record
    TokenType: Integer;
    // The position, kept like the text once the lexer has moved on.
    Line: Integer;
    Column: Integer;
    // The token object once made (or as a lexer without the integer path
    // handed it over); nil before.
    Token: IkivToken;
    // The token object of a token this slot held before, kept after its
    // consume so that a later token of the slot can reuse it once nobody
    // else holds it (TkivToken._Reusable).
    Spare: IkivToken;
    // The text's first TextLength characters, once the lexer has moved on
    // (-1 while the text is still the lexer's). The string only grows, so
    // it keeps its memory from token to token.
    TextLength: Integer;
    Text: AnsiString;
  end;
  PkivTokenSlot = ^TkivTokenSlot;

  // Token slots. When the source is a TkivLexer that offers its token
  // types (TkivLexer._offersTokenTypes), the buffer holds tokens in a ring
  // of slots instead of the queue: the lexer answers the type of each
  // token, the slot keeps the position, and the token object is made only
  // when LT (or HeldToken) asks for it, with the text, type, line and
  // column NextToken would have given it. The text of the token fetched
  // last stays in the lexer until the next token is fetched; only a token
  // that is still held then copies its text into its slot. Marks, rewinds
  // and deferred consumes work on the ring as they do on the queue, which
  // stays empty.
  TkivTokenBuffer = class(TkivInputBuffer, IkivTokenBuffer)
  private
    FSource: IkivTokenStream;
    // The queue is reached through its class (static calls); the interface
    // reference keeps it alive.
    FQueue: TkivTokenQueue;
    FQueueRef: IkivTokenQueue;
    // The ring: token I sits in FRing[(FRingHead + I) and FRingMask].
    // FLexer is nil when the queue is used.
    FLexer: TkivLexer;
    FRing: array of TkivTokenSlot;
    FRingMask: Integer;
    FRingHead: Integer;
    FRingCount: Integer;
    // Whether the last slot fetched (FRingCount - 1) has its text in the
    // lexer still.
    FTextInLexer: Boolean;
    procedure GrowRing;
    // Fetches one token from the lexer into the ring.
    procedure FetchSlot; inline;
    // The slot of ring token I, 0 <= I < FRingCount.
    function Slot(I: Integer): PkivTokenSlot; inline;
    // The token object of a slot, made when it has none.
    function SlotToken(I: Integer): IkivToken;
    // Gives slot S (ring token I) its token object: the slot's spare
    // refilled in place when nobody else holds it, else a new one.
    procedure FillSlotToken(S: PkivTokenSlot; I: Integer);
    // FillSlotToken's new token, out of it so that it needs no exception
    // frame.
    procedure MakeSlotToken(S: PkivTokenSlot; I: Integer);
    // The text (its length the result), line and column of slot S, ring
    // token I: the lexer's while it still holds them, else the slot's.
    function SlotContents(S: PkivTokenSlot; I: Integer; out AText: PAnsiChar;
      out ALine, AColumn: Integer): Integer; inline;
    procedure RemoveRingFirst(N: Integer);
    // Lets go of a consumed slot's token object, keeping it as the slot's
    // spare when the slot has none.
    procedure DropSlotToken(S: PkivTokenSlot); inline;
    // Out of FetchSlot, which then needs no exception frame.
    procedure MakeEagerToken(ASlot: PkivTokenSlot);
    procedure Fill(Amount: Integer);
    // LA's general path: applies pending consumes and fetches tokens.
    function FillLA(I: Integer): Integer;
    // FillLA's ring cases other than the next token after a match, out of
    // line so that the common case needs few registers.
    function FillRingLA(I: Integer): Integer;
    // The queue's error for an index below 0.
    procedure RaiseIndexBelowZero;
    // Fetches N tokens from the source and drops them.
    procedure SkipUnread(N: Integer);
  protected
    procedure RemoveFirst(N: Integer); override;
  public
    // Holds the source for the buffer's lifetime.
    constructor Create(const ASource: IkivTokenStream);
    // The type of the token I positions ahead (1 = current). Answered from
    // the queue when no consume is pending and the token is there.
    function LA(I: Integer): Integer; inline;
    // LA for I >= 1 with the ring tested first: the optimized form's
    // parsers read their look-ahead through it.
    function _LA(I: Integer): Integer; inline;
    // The token I positions ahead (1 = current).
    function LT(I: Integer): IkivToken;
    // LT(1), answered from the ring when no consume is pending and the
    // token is there.
    function _LT1: IkivToken;
    // The current token when it has been fetched (pending consumes
    // counted), else the last one fetched; nil before the first. Never asks
    // the source.
    function HeldToken: IkivToken;
    property Queue: IkivTokenQueue read FQueueRef;
    property Source: IkivTokenStream read FSource;
  end;

implementation

uses
  SysUtils;

constructor TkivTokenBuffer.Create(const ASource: IkivTokenStream);
begin
  inherited Create;
  FSource := ASource;
  FQueue := TkivTokenQueue.Create;
  FQueueRef := FQueue;
  if (ASource <> nil) and ((ASource as TObject) is TkivLexer) and
    TkivLexer(ASource as TObject)._offersTokenTypes then
  begin
    FLexer := TkivLexer(ASource as TObject);
    SetLength(FRing, 4);
    FRingMask := 3;
  end;
end;

function TkivTokenBuffer.Slot(I: Integer): PkivTokenSlot;
begin
  Result := @FRing[(FRingHead + I) and FRingMask];
end;

procedure TkivTokenBuffer.GrowRing;
var
  Ring: array of TkivTokenSlot;
  I: Integer;
begin
  SetLength(Ring, 2 * Length(FRing));
  for I := 0 to FRingCount - 1 do
  begin
    // Copied with their strings and tokens; the old ring lets go of them.
    Ring[I] := FRing[(FRingHead + I) and FRingMask];
  end;
  FRing := Ring;
  FRingMask := Length(FRing) - 1;
  FRingHead := 0;
end;

procedure TkivTokenBuffer.FetchSlot;
var
  Last: PkivTokenSlot;
  Text, Target: PAnsiChar;
  Len, I: Integer;
  T: Integer;
begin
  if FTextInLexer then
  begin
    // The lexer is about to start its next token.
    FTextInLexer := False;
    Last := Slot(FRingCount - 1);
    if Last.Token = nil then
    begin
      Last.Line := FLexer._tokenLine;
      Last.Column := FLexer._tokenColumn;
      Len := FLexer._tokenText(Text);
      if Length(Last.Text) < Len then
        SetLength(Last.Text, Len + 16);
      Target := PAnsiChar(Pointer(Last.Text));
      for I := 0 to Len - 1 do
        Target[I] := Text[I];
      Last.TextLength := Len;
    end;
  end;
  if FRingCount = Length(FRing) then
    GrowRing;
  T := FLexer._nextTokenType;
  Last := Slot(FRingCount);
  Last.TokenType := T;
  if FLexer._eagerTokens then
    MakeEagerToken(Last)
  else
    FTextInLexer := True;
  Inc(FRingCount);
end;

procedure TkivTokenBuffer.MakeEagerToken(ASlot: PkivTokenSlot);
begin
  ASlot.Token := FLexer._tokenOfType(ASlot.TokenType);
end;

function TkivTokenBuffer.SlotToken(I: Integer): IkivToken;
var
  S: PkivTokenSlot;
begin
  S := Slot(I);
  if S.Token = nil then
    FillSlotToken(S, I);
  Result := S.Token;
end;

function TkivTokenBuffer.SlotContents(S: PkivTokenSlot; I: Integer; out AText: PAnsiChar;
  out ALine, AColumn: Integer): Integer;
begin
  if FTextInLexer and (I = FRingCount - 1) then
  begin
    Result := FLexer._tokenText(AText);
    ALine := FLexer._tokenLine;
    AColumn := FLexer._tokenColumn;
  end
  else
  begin
    AText := PAnsiChar(Pointer(S.Text));
    Result := S.TextLength;
    ALine := S.Line;
    AColumn := S.Column;
  end;
end;

procedure TkivTokenBuffer.FillSlotToken(S: PkivTokenSlot; I: Integer);
var
  Text: PAnsiChar;
  Len, Line, Column: Integer;
  Token: TkivToken;
begin
  Token := TkivToken._Reusable(S.Spare);
  if (Token = nil) or (S.TokenType = TT_EOF) or FLexer._eagerTokens then
  begin
    MakeSlotToken(S, I);
    Exit;
  end;
  // What the lexer would make, given to the slot's spare in place.
  Len := SlotContents(S, I, Text, Line, Column);
  Token._Refill(S.TokenType, Line, Column, Text, Len);
  // A move: the spare's one reference passes to Token, and DropSlotToken
  // moves it back, so no count changes on the way.
  Pointer(S.Token) := Pointer(S.Spare);
  Pointer(S.Spare) := nil;
end;

procedure TkivTokenBuffer.MakeSlotToken(S: PkivTokenSlot; I: Integer);
var
  Text: PAnsiChar;
  Len, Line, Column: Integer;
begin
  // The end-of-input token the lexer still holds is makeToken's own. The
  // others are made from their text without becoming the lexer's
  // ReturnToken, which the lexer's rounds for the buffer leave nil.
  if (S.TokenType = TT_EOF) and FTextInLexer and (I = FRingCount - 1) then
    S.Token := FLexer._tokenOfType(S.TokenType)
  else
  begin
    Len := SlotContents(S, I, Text, Line, Column);
    S.Token := FLexer._makeToken(S.TokenType, Line, Column, Text, Len);
  end;
end;

procedure TkivTokenBuffer.DropSlotToken(S: PkivTokenSlot);
begin
  if S.Spare = nil then
  begin
    // A move: the reference passes from Token to Spare.
    Pointer(S.Spare) := Pointer(S.Token);
    Pointer(S.Token) := nil;
  end
  else
    S.Token := nil;
end;

procedure TkivTokenBuffer.RemoveRingFirst(N: Integer);
var
  S: PkivTokenSlot;
begin
  while (N > 0) and (FRingCount > 0) do
  begin
    S := @FRing[FRingHead];
    if S.Token <> nil then
      DropSlotToken(S);
    FRingHead := (FRingHead + 1) and FRingMask;
    Dec(FRingCount);
    Dec(N);
  end;
  if FRingCount = 0 then
    FTextInLexer := False;
  // Tokens consumed before anyone looked at them are fetched and dropped.
  while N > 0 do
  begin
    FLexer._nextTokenType;
    Dec(N);
  end;
end;

procedure TkivTokenBuffer.Fill(Amount: Integer);
begin
  SyncConsume;
  // The end-of-input token is not special here: asking beyond it asks the
  // source again, which answers with another end-of-input token.
  if FLexer <> nil then
  begin
    while FRingCount < Amount + FMarkerOffset do
      FetchSlot;
    Exit;
  end;
  while FQueue.Size < Amount + FMarkerOffset do
    FQueue.AddNext(FSource);
end;

function TkivTokenBuffer.LA(I: Integer): Integer;
var
  Index: Integer;
begin
  Index := I + FMarkerOffset - 1;
  if (FPendingConsumes = 0) and (Index >= 0) and (Index < FQueue.Size) then
    Result := FQueue.TypeAt(Index)
  else if (FPendingConsumes = 0) and (Index >= 0) and (Index < FRingCount) then
    Result := FRing[(FRingHead + Index) and FRingMask].TokenType
  else
    Result := FillLA(I);
end;

function TkivTokenBuffer._LA(I: Integer): Integer;
var
  Index: Integer;
begin
  Index := I + FMarkerOffset - 1;
  if (FPendingConsumes = 0) and (Index < FRingCount) then
    Result := FRing[(FRingHead + Index) and FRingMask].TokenType
  else if (FPendingConsumes = 0) and (Index < FQueue.Size) then
    Result := FQueue.TypeAt(Index)
  else
    Result := FillLA(I);
end;

function TkivTokenBuffer.FillLA(I: Integer): Integer;
var
  S: PkivTokenSlot;
  Head, Index: Integer;
begin
  // The common case after a match: the one token looked at is consumed and
  // the next is wanted. Dropping it is what applying the consume does. A
  // ring holds tokens only when the lexer fills it, so FRingCount = 1 says
  // FLexer <> nil.
  if (FRingCount = 1) and (I = 1) and (FPendingConsumes = 1) and (FMarkers = 0) and
    (FMarkerOffset = 0) then
  begin
    // RemoveRingFirst(1) for the one token held.
    S := @FRing[FRingHead];
    if S.Token <> nil then
      DropSlotToken(S);
    Head := (FRingHead + 1) and FRingMask;
    FRingHead := Head;
    FRingCount := 0;
    FTextInLexer := False;
    FPendingConsumes := 0;
    // FetchSlot into the empty ring: no text to keep, no room to make.
    // Written out, as FetchSlot inline would bring its text copy along.
    Result := FLexer._nextTokenType;
    S := @FRing[Head];
    S.TokenType := Result;
    FRingCount := 1;
    if FLexer._eagerTokens then
      MakeEagerToken(S)
    else
      FTextInLexer := True;
    Exit;
  end;
  if FLexer <> nil then
  begin
    Result := FillRingLA(I);
    Exit;
  end;
  if (FPendingConsumes = 1) and (FMarkers = 0) and (FMarkerOffset = 0) and (FQueue.Size = 1) then
  begin
    FQueue.RemoveFirst(1);
    FPendingConsumes := 0;
  end;
  Fill(I);
  Index := I + FMarkerOffset - 1;
  if Index < 0 then
    RaiseIndexBelowZero;
  Result := FQueue.TypeAt(Index);
end;

function TkivTokenBuffer.FillRingLA(I: Integer): Integer;
var
  Index: Integer;
begin
  Fill(I);
  Index := I + FMarkerOffset - 1;
  if Index < 0 then
    RaiseIndexBelowZero;
  Result := Slot(Index).TokenType;
end;

procedure TkivTokenBuffer.RaiseIndexBelowZero;
begin
  raise ERangeError.Create(SkivIndexBelowZero);
end;

function TkivTokenBuffer.LT(I: Integer): IkivToken;
var
  Index: Integer;
begin
  Fill(I);
  if FLexer = nil then
  begin
    Result := FQueue.GetItem(I + FMarkerOffset - 1);
    Exit;
  end;
  // The queue's errors for an index out of range.
  Index := I + FMarkerOffset - 1;
  if Index >= FRingCount then
    raise ERangeError.CreateFmt(SkivTokenIndexTooBig, [Index]);
  if Index < 0 then
    RaiseIndexBelowZero;
  Result := SlotToken(Index);
end;

function TkivTokenBuffer._LT1: IkivToken;
var
  S: PkivTokenSlot;
begin
  if (FPendingConsumes = 0) and (FMarkerOffset < FRingCount) and (FMarkerOffset >= 0) then
  begin
    S := Slot(FMarkerOffset);
    if S.Token = nil then
      FillSlotToken(S, FMarkerOffset);
    Result := S.Token;
  end
  else
    Result := LT(1);
end;

function TkivTokenBuffer.HeldToken: IkivToken;
var
  Index: Integer;
begin
  Index := FMarkerOffset + FPendingConsumes;
  if FLexer <> nil then
  begin
    if Index >= FRingCount then
      Index := FRingCount - 1;
    if Index >= 0 then
      Result := SlotToken(Index)
    else
      Result := nil;
    Exit;
  end;
  if Index >= FQueue.Size then
    Index := FQueue.Size - 1;
  if Index >= 0 then
    Result := FQueue.GetItem(Index)
  else
    Result := nil;
end;

procedure TkivTokenBuffer.SkipUnread(N: Integer);
begin
  while N > 0 do
  begin
    FSource.NextToken;
    Dec(N);
  end;
end;

procedure TkivTokenBuffer.RemoveFirst(N: Integer);
var
  Unread: Integer;
begin
  if FLexer <> nil then
  begin
    RemoveRingFirst(N);
    Exit;
  end;
  // Tokens consumed before anyone looked at them have not been fetched
  // yet; they are fetched and dropped, so such a consume is not lost.
  Unread := N - FQueue.Size;
  FQueue.RemoveFirst(N);
  if Unread > 0 then
    SkipUnread(Unread);
end;

end.
