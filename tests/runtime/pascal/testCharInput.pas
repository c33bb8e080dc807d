{ ==========================================================================
  testCharInput
  Character queue and character buffer: range errors, the 4096-character
  chunk boundary, block reading, end of input, marks and deferred consumes.
  ========================================================================== }
program testCharInput;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

uses
  Classes, SysUtils, kivTestCheck, kivTypes, kivCharQueue, kivCharBuffer;

type
  // Counts Read calls, to tell block reads from byte-per-Read input.
  TCountingStream = class(TMemoryStream)
  public
    Reads: Integer;
    function Read(var Buffer; Count: Longint): Longint; override;
  end;

function TCountingStream.Read(var Buffer; Count: Longint): Longint;
begin
  Inc(Reads);
  Result := inherited Read(Buffer, Count);
end;

function PatternChar(I: Integer): AnsiChar;
begin
  // Never zero, so the pattern never ends the input.
  Result := AnsiChar(I mod 251 + 1);
end;

function QueueRangeError(const Q: IkivCharQueue; I: Integer): string;
begin
  Result := '';
  try
    Q.GetChar(I);
  except
    on E: ERangeError do
      Result := E.Message;
  end;
end;

procedure TestQueue;
var
  Queue: TkivCharQueue;
  Q: IkivCharQueue;
  I, Chunks: Integer;
  Intact: Boolean;
begin
  Section('char queue');
  Queue := TkivCharQueue.Create;
  Q := Queue;
  CheckEquals('index less than 1', QueueRangeError(Q, 0), 'get 0 on empty queue');
  Q.Append('a');
  Q.Append('b');
  CheckEquals('index "3" is too  big', QueueRangeError(Q, 3), 'get count + 1');
  CheckEquals('index less than 1', QueueRangeError(Q, -1), 'get -1');
  Q.SetChar(5, 'e');
  CheckEquals(5, Q.Count, 'set past the end grows the window');
  CheckChar(#0, Q[4], 'gap left by set is zero');
  CheckChar('e', Q[5], 'set stores the character');
  try
    Q.SetChar(0, 'x');
    NotRaised('set 0');
  except
    on E: ERangeError do
      CheckEquals('index less than 1', AnsiString(E.Message), 'set 0');
  end;

  Section('char queue across chunks');
  Q.Clear;
  CheckEquals(0, Q.Count, 'clear empties');
  for I := 1 to 10000 do
    Q.Append(PatternChar(I));
  Chunks := Queue.ChunkCount;
  CheckEquals(3, Chunks, 'chunks for 10000 characters');
  Q.RemoveFirst(4100);
  CheckEquals(5900, Q.Count, 'count after removing 4100');
  Intact := True;
  for I := 1 to Q.Count do
    if Q[I] <> PatternChar(I + 4100) then
      Intact := False;
  Check(Intact, 'characters behind a removed chunk read back unchanged');
  for I := 1 to 4000 do
    Q.Append(PatternChar(I));
  CheckEquals(Chunks, Queue.ChunkCount, 'recycled chunk is reused, no new one');
  CheckChar(PatternChar(4000), Q[Q.Count], 'appended into the recycled chunk');
  Q.RemoveFirst(Q.Count + 1);
  CheckEquals(0, Q.Count, 'removing more than count clears');
  CheckEquals(Chunks, Queue.ChunkCount, 'chunks stay allocated after clear');
end;

procedure TestEndOfInput;
var
  Stream: TMemoryStream;
  Buffer: TkivCharBuffer;
  B: IkivCharBuffer;
begin
  Section('end of input');
  Stream := StreamOf('');
  try
    Buffer := TkivCharBuffer.Create(Stream);
    B := Buffer;
    CheckChar(EOF_CHAR, B.LA(1), 'empty stream LA(1)');
    CheckChar(EOF_CHAR, B.LA(3), 'empty stream LA(3)');
    CheckEquals(3, Buffer.Queue.Count, 'one queue slot per position asked for');
  finally
    B := nil;
    Stream.Free;
  end;

  Stream := StreamOf('xy');
  try
    B := TkivCharBuffer.Create(Stream);
    CheckChar('y', B.LA(2), 'last character');
    CheckChar(EOF_CHAR, B.LA(5), 'look-ahead past the end');
    B.consume;
    B.consume;
    CheckChar(EOF_CHAR, B.LA(1), 'consumed to the end');
  finally
    B := nil;
    Stream.Free;
  end;

  Stream := StreamOf('ab'#0'cd');
  try
    B := TkivCharBuffer.Create(Stream);
    CheckChar('b', B.LA(2), 'before the zero byte');
    CheckChar(EOF_CHAR, B.LA(3), 'a zero byte reads as EOF_CHAR');
    CheckChar('c', B.LA(4), 'the bytes after a zero byte are read');
    CheckChar(EOF_CHAR, B.LA(9), 'past the end');
  finally
    B := nil;
    Stream.Free;
  end;

  B := TkivCharBuffer.Create(nil);
  CheckChar(EOF_CHAR, B.LA(1), 'nil stream reads as empty input');
end;

procedure TestBlockReading;
var
  Stream: TCountingStream;
  B: IkivCharBuffer;
  I: Integer;
  Intact: Boolean;
  C: AnsiChar;
begin
  Section('block reading');
  Stream := TCountingStream.Create;
  try
    for I := 1 to 10000 do
    begin
      C := PatternChar(I);
      Stream.WriteBuffer(C, 1);
    end;
    Stream.Position := 0;
    B := TkivCharBuffer.Create(Stream);
    Intact := True;
    for I := 1 to 10000 do
    begin
      if B.LA(1) <> PatternChar(I) then
        Intact := False;
      B.consume;
    end;
    Check(Intact, 'every character read in order across block boundaries');
    CheckChar(EOF_CHAR, B.LA(1), 'end after the last block');
    CheckEquals(4, Stream.Reads, 'three 4096-byte blocks and one empty read');
  finally
    B := nil;
    Stream.Free;
  end;
end;

procedure TestMarksAndConsumes;
var
  Stream: TMemoryStream;
  Buffer: TkivCharBuffer;
  B: IkivCharBuffer;
  M, M2, I: Integer;
  Text: AnsiString;
begin
  Section('marks');
  Stream := StreamOf('abcdefgh');
  try
    Buffer := TkivCharBuffer.Create(Stream);
    B := Buffer;
    B.commit;
    CheckEquals(0, Buffer.Markers, 'commit without a mark');
    B.rewind(0);
    CheckEquals(0, Buffer.Markers, 'rewind without a mark does not go below 0');
    Check(not B.IsMarked, 'not marked');

    CheckChar('a', B.LA(1), 'before mark');
    M := B.mark;
    Check(B.IsMarked, 'marked');
    B.consume;
    B.consume;
    B.consume;
    CheckChar('d', B.LA(1), 'after three consumes');
    M2 := B.mark;
    B.consume;
    CheckChar('e', B.LA(1), 'inside nested mark');
    B.rewind(M2);
    CheckChar('d', B.LA(1), 'inner rewind');
    B.rewind(M);
    CheckChar('a', B.LA(1), 'outer rewind returns to the marked character');
    Check(not B.IsMarked, 'all marks closed');

    M := B.mark;
    B.consume;
    B.consume;
    B.commit;
    CheckChar('c', B.LA(1), 'commit keeps the position');
    CheckEquals(0, Buffer.MarkerOffset, 'commit of the last mark drops consumed characters');
    CheckChar('c', Buffer.Queue[1], 'front of the queue is the current character');

    Section('deferred consumes');
    B.consume;
    B.consume;
    CheckEquals(2, Buffer.PendingConsumes, 'consumes are only counted');
    CheckChar('c', Buffer.Queue[1], 'queue untouched by consume');
    CheckChar('e', B.LA(1), 'look-ahead applies pending consumes');
    CheckEquals(0, Buffer.PendingConsumes, 'nothing pending after look-ahead');
    B.consume;
    M := B.mark;
    CheckEquals(0, M, 'mark applies pending consumes before marking');
    CheckChar('f', B.LA(1), 'position after mark');
    B.consume;
    B.consume;
    B.rewind(M);
    CheckChar('f', B.LA(1), 'rewind applies pending consumes, then returns');
  finally
    B := nil;
    Stream.Free;
  end;

  Stream := StreamOf('abcd');
  try
    B := TkivCharBuffer.Create(Stream);
    B.consume;
    B.consume;
    CheckChar('c', B.LA(1), 'consumes before any look-ahead are not lost');
  finally
    B := nil;
    Stream.Free;
  end;

  Section('mark and commit every token');
  SetLength(Text, 20000);
  for I := 1 to Length(Text) do
    Text[I] := PatternChar(I);
  Stream := StreamOf(Text);
  try
    Buffer := TkivCharBuffer.Create(Stream);
    B := Buffer;
    for I := 1 to 5000 do
    begin
      B.mark;
      B.consume;
      B.consume;
      B.LA(1);
      B.commit;
    end;
    CheckChar(PatternChar(10001), B.LA(1), 'position after 5000 committed guesses');
    Check(Buffer.Queue.Count < 16, 'committed characters are not kept');
  finally
    B := nil;
    Stream.Free;
  end;
end;

begin
  TestQueue;
  TestEndOfInput;
  TestBlockReading;
  TestMarksAndConsumes;
  Finish;
end.
