{ ==========================================================================
  KIV recognizer runtime - kivCharBuffer
  Character input for lexers: reads a borrowed stream in blocks and keeps
  the characters read ahead in a character queue.
  ========================================================================== }
unit kivCharBuffer;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

uses
  Classes, kivTypes, kivInputBuffer, kivCharQueue;

const
  KIV_READ_BLOCK_SIZE = 4096;

type
  // Direct reading. While the queue is empty, no mark is open and no
  // consume is pending, the current character is simply the next unread
  // byte of the block, and consuming it is skipping that byte: exactly what
  // LA(1) and consume would do through the queue, without the queue. In that
  // state FDirectEnd is the end of the block's input, so one comparison of
  // the read position against it tells a lexer that it may read and skip
  // bytes directly (CanReadDirect, DirectChar, SkipDirect). Any other
  // operation ends direct reading (FDirectEnd := nil) until LA(1) finds it
  // applies again. Queue.Count therefore counts the characters held for look-ahead
  // beyond the current one, marks and rewinds; while reading directly, the
  // current character is not copied into the queue.
  TkivCharBuffer = class(TkivInputBuffer, IkivCharBuffer)
  private
    FStream: TStream;
    // The queue is reached through its class (static calls); the interface
    // reference keeps it alive.
    FQueue: TkivCharQueue;
    FQueueRef: IkivCharQueue;
    FBlock: array[0..KIV_READ_BLOCK_SIZE - 1] of Byte;
    // The next unread byte of the block, and the end of the bytes read into
    // it. A zero byte is a byte like any other.
    FCur: PAnsiChar;
    FEnd: PAnsiChar;
    // The stream has no more bytes.
    FAtEnd: Boolean;
    // How many characters at the back of the queue lie past the end of the
    // stream: the EOF_CHAR slots that look-ahead beyond the end appends.
    // They always come after every character read from the stream, so the
    // queue's characters 1 .. Count - FPadCount are the stream's own bytes
    // (zero bytes among them) and the rest is the end.
    FPadCount: Integer;
    // Skips the next byte of the stream; false when there is none.
    function SkipNext: Boolean;
    // Appends the next byte of the stream to the queue, or an end slot.
    procedure AppendNext;
    // Reads the next block; false at the end of the stream.
    function ReadBlock: Boolean;
  protected
    procedure RemoveFirst(N: Integer); override;
  public
    // The stream is borrowed: it must outlive the buffer and is not freed.
    // A nil stream reads as empty input.
    constructor Create(AStream: TStream);
    // The character I positions ahead of the current one (1 = current).
    // Past the end of input every position reads as EOF_CHAR; so does a
    // zero byte of the stream, which AtEndOfInput tells apart.
    function LA(I: Integer): AnsiChar;
    // True when the current position, LA(1), lies at or past the end of the
    // stream; false on every byte of the stream, a zero byte included.
    // Marks, rewinds and consumes move the answer with the position.
    function AtEndOfInput: Boolean;
    // Whether the current character may be read with DirectChar and
    // consumed with SkipDirect (see above).
    function CanReadDirect: Boolean; inline;
    function DirectChar: AnsiChar; inline;
    procedure SkipDirect; inline;
    // While CanReadDirect: the current character's place in the block and
    // the end of the characters that may be read directly from there;
    // SkipDirectBy(N) consumes N of them (at most DirectLimit - DirectPos).
    function DirectPos: PAnsiChar; inline;
    function DirectLimit: PAnsiChar; inline;
    procedure SkipDirectBy(N: Integer); inline;
    property Queue: IkivCharQueue read FQueueRef;
  end;

implementation

constructor TkivCharBuffer.Create(AStream: TStream);
begin
  inherited Create;
  FStream := AStream;
  FQueue := TkivCharQueue.Create;
  FQueueRef := FQueue;
  FAtEnd := AStream = nil;
  FCur := PAnsiChar(@FBlock[0]);
  FEnd := FCur;
end;

function TkivCharBuffer.CanReadDirect: Boolean;
begin
  Result := FCur < PAnsiChar(FDirectEnd);
end;

function TkivCharBuffer.DirectChar: AnsiChar;
begin
  Result := FCur^;
end;

procedure TkivCharBuffer.SkipDirect;
begin
  Inc(FCur);
end;

function TkivCharBuffer.DirectPos: PAnsiChar;
begin
  Result := FCur;
end;

function TkivCharBuffer.DirectLimit: PAnsiChar;
begin
  Result := PAnsiChar(FDirectEnd);
end;

procedure TkivCharBuffer.SkipDirectBy(N: Integer);
begin
  Inc(FCur, N);
end;

function TkivCharBuffer.ReadBlock: Boolean;
var
  N: Integer;
begin
  FCur := PAnsiChar(@FBlock[0]);
  FEnd := FCur;
  N := FStream.Read(FBlock, SizeOf(FBlock));
  if N > 0 then
    FEnd := FCur + N;
  Result := N > 0;
  if not Result then
    FAtEnd := True;
end;

function TkivCharBuffer.SkipNext: Boolean;
begin
  Result := (FCur < FEnd) or not FAtEnd and ReadBlock;
  if Result then
    Inc(FCur);
end;

procedure TkivCharBuffer.AppendNext;
begin
  if (FCur < FEnd) or not FAtEnd and ReadBlock then
  begin
    FQueue.Append(FCur^);
    Inc(FCur);
  end
  else
  begin
    FQueue.Append(EOF_CHAR);
    Inc(FPadCount);
  end;
end;

function TkivCharBuffer.LA(I: Integer): AnsiChar;
var
  Needed: Integer;
begin
  SyncConsume;
  if (I = 1) and (FMarkers = 0) and (FMarkerOffset = 0) and (FQueue.Count = 0) then
  begin
    // The current character is the next unread byte: no need to queue it.
    if (FCur < FEnd) or not FAtEnd and ReadBlock then
    begin
      FDirectEnd := FEnd;
      Result := FCur^;
      Exit;
    end;
  end;
  FDirectEnd := nil;
  Needed := I + FMarkerOffset;
  while FQueue.Count < Needed do
    AppendNext;
  Result := FQueue.GetChar(Needed);
end;

function TkivCharBuffer.AtEndOfInput: Boolean;
begin
  // Asked when LA(1) is EOF_CHAR, at the end or on a zero byte: rarely.
  if LA(1) <> EOF_CHAR then
    Result := False
  else if CanReadDirect then
    // LA(1) came straight from the block: a byte of the stream.
    Result := False
  else
    // LA(1) is queue character FMarkerOffset + 1.
    Result := FMarkerOffset + 1 > FQueue.Count - FPadCount;
end;

procedure TkivCharBuffer.RemoveFirst(N: Integer);
var
  Held, Unread: Integer;
begin
  // End slots sit at the back: they go only once every character read from
  // the stream has gone.
  Held := FQueue.Count;
  if N >= Held then
    FPadCount := 0
  else if N > Held - FPadCount then
    Dec(FPadCount, N - (Held - FPadCount));
  // Characters consumed before anyone looked at them have not been read
  // yet; they are read and dropped, so such a consume is not lost.
  Unread := N - Held;
  FQueue.RemoveFirst(N);
  // Within the block, reading and dropping is moving the read position.
  if (Unread > 0) and (Unread <= FEnd - FCur) then
  begin
    Inc(FCur, Unread);
    Exit;
  end;
  while (Unread > 0) and SkipNext do
    Dec(Unread);
end;

end.
