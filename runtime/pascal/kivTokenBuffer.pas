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
  kivTypes, kivInputBuffer, kivTokenQueue;

type
  TkivTokenBuffer = class(TkivInputBuffer, IkivTokenBuffer)
  private
    FSource: IkivTokenStream;
    // The queue is reached through its class (static calls); the interface
    // reference keeps it alive.
    FQueue: TkivTokenQueue;
    FQueueRef: IkivTokenQueue;
    procedure Fill(Amount: Integer);
    // LA's general path: applies pending consumes and fetches tokens.
    function FillLA(I: Integer): Integer;
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
    // The token I positions ahead (1 = current).
    function LT(I: Integer): IkivToken;
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
end;

procedure TkivTokenBuffer.Fill(Amount: Integer);
var
  Token: IkivToken;
begin
  SyncConsume;
  // The end-of-input token is not special here: asking beyond it asks the
  // source again, which answers with another end-of-input token.
  while FQueue.Size < Amount + FMarkerOffset do
  begin
    Token := FSource.NextToken;
    FQueue.AddMoved(Token);
  end;
end;

function TkivTokenBuffer.LA(I: Integer): Integer;
var
  Index: Integer;
begin
  Index := I + FMarkerOffset - 1;
  if (FPendingConsumes = 0) and (Index >= 0) and (Index < FQueue.Size) then
    Result := FQueue.TypeAt(Index)
  else
    Result := FillLA(I);
end;

function TkivTokenBuffer.FillLA(I: Integer): Integer;
var
  Index: Integer;
begin
  // The common case after a match: the one token looked at is consumed and
  // the next is wanted. Dropping it is what applying the consume does.
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

procedure TkivTokenBuffer.RaiseIndexBelowZero;
begin
  raise ERangeError.Create(SkivIndexBelowZero);
end;

function TkivTokenBuffer.LT(I: Integer): IkivToken;
begin
  Fill(I);
  Result := FQueue.GetItem(I + FMarkerOffset - 1);
end;

function TkivTokenBuffer.HeldToken: IkivToken;
var
  Index: Integer;
begin
  Index := FMarkerOffset + FPendingConsumes;
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
  // Tokens consumed before anyone looked at them have not been fetched
  // yet; they are fetched and dropped, so such a consume is not lost.
  Unread := N - FQueue.Size;
  FQueue.RemoveFirst(N);
  if Unread > 0 then
    SkipUnread(Unread);
end;

end.
