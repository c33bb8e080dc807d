{ ==========================================================================
  KIV recognizer runtime - kivCharQueue
  The window of characters read ahead, numbered from 1. Characters live in
  4096-character chunks, so growing the window never moves characters
  already held; chunks that fall off the front are recycled at the back.
  ========================================================================== }
unit kivCharQueue;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

uses
  kivTypes;

const
  KIV_CHUNK_SHIFT = 12;
  KIV_CHUNK_SIZE = 1 shl KIV_CHUNK_SHIFT;
  KIV_CHUNK_MASK = KIV_CHUNK_SIZE - 1;

type
  TkivCharChunk = array of AnsiChar;
  TkivCharMatrix = array of TkivCharChunk;

  TkivCharQueue = class(TInterfacedObject, IkivCharQueue)
  private
    // Offset of character 1 inside the first chunk, 0..4095.
    FHead: Integer;
    FCount: Integer;
    FChunks: TkivCharMatrix;
    procedure EnsureCapacity(I: Integer);
    // Zero-fills the first chunk and moves it to the back.
    procedure RecycleFirstChunk;
  public
    // Character I; raises ERangeError outside 1..Count.
    function GetChar(I: Integer): AnsiChar;
    // Stores C as character I, growing the window when I is past its end.
    procedure SetChar(I: Integer; C: AnsiChar);
    procedure Append(C: AnsiChar);
    // Drops the first N characters (all of them when N >= Count).
    procedure RemoveFirst(N: Integer);
    // Zero-fills the held characters and empties the window; the chunks
    // stay allocated.
    procedure Clear;
    function Count: Integer;
    // Number of chunks allocated; they are never freed while the queue lives.
    function ChunkCount: Integer;
  end;

implementation

uses
  SysUtils;

// Raising lives outside the accessors so that their common path stays lean.
procedure RaiseIndexTooBig(I: Integer);
begin
  raise ERangeError.CreateFmt(SkivCharIndexTooBig, [I]);
end;

procedure RaiseIndexBelowOne;
begin
  raise ERangeError.Create(SkivIndexBelowOne);
end;

function TkivCharQueue.GetChar(I: Integer): AnsiChar;
var
  P: Integer;
begin
  if I > FCount then
    RaiseIndexTooBig(I);
  if I < 1 then
    RaiseIndexBelowOne;
  P := I + FHead - 1;
  Result := FChunks[P shr KIV_CHUNK_SHIFT][P and KIV_CHUNK_MASK];
end;

procedure TkivCharQueue.SetChar(I: Integer; C: AnsiChar);
var
  P: Integer;
begin
  if I < 1 then
    RaiseIndexBelowOne;
  if I > FCount then
  begin
    EnsureCapacity(I);
    FCount := I;
  end;
  P := I + FHead - 1;
  FChunks[P shr KIV_CHUNK_SHIFT][P and KIV_CHUNK_MASK] := C;
end;

procedure TkivCharQueue.Append(C: AnsiChar);
var
  P: Integer;
begin
  P := FCount + FHead;
  if P >= Length(FChunks) shl KIV_CHUNK_SHIFT then
    EnsureCapacity(FCount + 1);
  FChunks[P shr KIV_CHUNK_SHIFT][P and KIV_CHUNK_MASK] := C;
  Inc(FCount);
end;

procedure TkivCharQueue.EnsureCapacity(I: Integer);
var
  P, Old, K: Integer;
begin
  P := I + FHead - 1;
  if P < Length(FChunks) shl KIV_CHUNK_SHIFT then
    Exit;
  Old := Length(FChunks);
  SetLength(FChunks, (P shr KIV_CHUNK_SHIFT) + 1);
  // New chunks come zero-filled.
  for K := Old to High(FChunks) do
    SetLength(FChunks[K], KIV_CHUNK_SIZE);
end;

procedure TkivCharQueue.RemoveFirst(N: Integer);
begin
  if N <= 0 then
    Exit;
  if N > FCount then
  begin
    Clear;
    Exit;
  end;
  Inc(FHead, N);
  Dec(FCount, N);
  while FHead > KIV_CHUNK_MASK do
  begin
    RecycleFirstChunk;
    Dec(FHead, KIV_CHUNK_SIZE);
  end;
end;

// Kept apart from RemoveFirst: its managed local would otherwise cost
// RemoveFirst an implicit exception frame on every call.
procedure TkivCharQueue.RecycleFirstChunk;
var
  First: TkivCharChunk;
  K: Integer;
begin
  First := FChunks[0];
  FillChar(First[0], KIV_CHUNK_SIZE, 0);
  for K := 0 to High(FChunks) - 1 do
    FChunks[K] := FChunks[K + 1];
  FChunks[High(FChunks)] := First;
end;

procedure TkivCharQueue.Clear;
var
  P, Last: Integer;
begin
  if FCount > 0 then
  begin
    P := FHead;
    Last := FHead + FCount - 1;
    while P <= Last do
    begin
      FChunks[P shr KIV_CHUNK_SHIFT][P and KIV_CHUNK_MASK] := EOF_CHAR;
      Inc(P);
    end;
  end;
  FHead := 0;
  FCount := 0;
end;

function TkivCharQueue.Count: Integer;
begin
  Result := FCount;
end;

function TkivCharQueue.ChunkCount: Integer;
begin
  Result := Length(FChunks);
end;

end.
