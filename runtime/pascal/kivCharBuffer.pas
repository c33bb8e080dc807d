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
    // The next unread byte of the block, and the end of the block's input:
    // a zero byte and everything after it are cut off (FZeroInBlock tells
    // that one was there).
    FCur: PAnsiChar;
    FEnd: PAnsiChar;
    FZeroInBlock: Boolean;
    FAtEnd: Boolean;
    function NextChar: AnsiChar;
    // Reads the next block; false at the end of input (the zero byte that
    // ends the input included).
    function ReadBlock: Boolean;
  protected
    procedure RemoveFirst(N: Integer); override;
  public
    // The stream is borrowed: it must outlive the buffer and is not freed.
    // A nil stream reads as empty input.
    constructor Create(AStream: TStream);
    // The character I positions ahead of the current one (1 = current).
    // Past the end of input, and from a zero byte on, every position reads
    // as EOF_CHAR.
    function LA(I: Integer): AnsiChar;
    // Whether the current character may be read with DirectChar and
    // consumed with SkipDirect (see above).
    function CanReadDirect: Boolean; inline;
    function DirectChar: AnsiChar; inline;
    procedure SkipDirect; inline;
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

function TkivCharBuffer.ReadBlock: Boolean;
var
  N, Zero: Integer;
begin
  FCur := PAnsiChar(@FBlock[0]);
  FEnd := FCur;
  N := FStream.Read(FBlock, SizeOf(FBlock));
  if N > 0 then
  begin
    // A zero byte ends the input for good: nothing after it is ever read.
    {$IFDEF FPC}
    Zero := IndexByte(FBlock, N, 0);
    {$ELSE}
    Zero := 0;
    while (Zero < N) and (FBlock[Zero] <> 0) do
      Inc(Zero);
    if Zero = N then
      Zero := -1;
    {$ENDIF}
    if Zero >= 0 then
    begin
      N := Zero;
      FZeroInBlock := True;
    end;
    FEnd := FCur + N;
  end;
  Result := N > 0;
  if not Result then
    FAtEnd := True;
end;

function TkivCharBuffer.NextChar: AnsiChar;
begin
  if FCur >= FEnd then
    if FAtEnd or FZeroInBlock or not ReadBlock then
    begin
      FAtEnd := True;
      Result := EOF_CHAR;
      Exit;
    end;
  Result := FCur^;
  Inc(FCur);
end;

function TkivCharBuffer.LA(I: Integer): AnsiChar;
var
  Needed: Integer;
begin
  SyncConsume;
  if (I = 1) and (FMarkers = 0) and (FMarkerOffset = 0) and (FQueue.Count = 0) then
  begin
    // The current character is the next unread byte: no need to queue it.
    if (FCur < FEnd) or not (FAtEnd or FZeroInBlock) and ReadBlock then
    begin
      FDirectEnd := FEnd;
      Result := FCur^;
      Exit;
    end;
  end;
  FDirectEnd := nil;
  Needed := I + FMarkerOffset;
  while FQueue.Count < Needed do
    FQueue.Append(NextChar);
  Result := FQueue.GetChar(Needed);
end;

procedure TkivCharBuffer.RemoveFirst(N: Integer);
var
  Unread: Integer;
begin
  // Characters consumed before anyone looked at them have not been read
  // yet; they are read and dropped, so such a consume is not lost.
  Unread := N - FQueue.Count;
  FQueue.RemoveFirst(N);
  // Within the block, reading and dropping is moving the read position.
  if (Unread > 0) and (Unread <= FEnd - FCur) then
  begin
    Inc(FCur, Unread);
    Exit;
  end;
  while Unread > 0 do
  begin
    NextChar;
    Dec(Unread);
  end;
end;

end.
