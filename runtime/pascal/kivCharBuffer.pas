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
  TkivCharBuffer = class(TkivInputBuffer, IkivCharBuffer)
  private
    FStream: TStream;
    // The queue is reached through its class on the hot path (static
    // calls); the interface reference keeps it alive.
    FQueue: TkivCharQueue;
    FQueueRef: IkivCharQueue;
    FBlock: array[0..KIV_READ_BLOCK_SIZE - 1] of Byte;
    FBlockPos: Integer;
    FBlockLen: Integer;
    FAtEnd: Boolean;
    function NextChar: AnsiChar;
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
end;

function TkivCharBuffer.NextChar: AnsiChar;
begin
  if FAtEnd then
  begin
    Result := EOF_CHAR;
    Exit;
  end;
  if FBlockPos >= FBlockLen then
  begin
    FBlockLen := FStream.Read(FBlock, SizeOf(FBlock));
    FBlockPos := 0;
    if FBlockLen <= 0 then
    begin
      FBlockLen := 0;
      FAtEnd := True;
      Result := EOF_CHAR;
      Exit;
    end;
  end;
  Result := AnsiChar(FBlock[FBlockPos]);
  Inc(FBlockPos);
  // A zero byte ends the input for good: nothing after it is ever read.
  if Result = EOF_CHAR then
    FAtEnd := True;
end;

function TkivCharBuffer.LA(I: Integer): AnsiChar;
var
  Needed: Integer;
begin
  SyncConsume;
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
  while Unread > 0 do
  begin
    NextChar;
    Dec(Unread);
  end;
end;

end.
