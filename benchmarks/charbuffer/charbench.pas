{ ==========================================================================
  charbench
  Throughput of TkivCharBuffer: reads a file through LA(1) + consume, the
  way a lexer does, and reports MB/s.

  Usage: charbench FILE [--byte-per-read] [--memory]
    --byte-per-read  wrap the stream so that every Read delivers one byte,
                     to compare block reading with byte-per-Read input
    --memory         load the file into memory first, so that only the
                     buffer and the Read calls are measured
  ========================================================================== }
program charbench;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

uses
  Classes, SysUtils, kivTypes, kivCharBuffer;

type
  // Delivers at most one byte per Read call.
  TBytePerReadStream = class(TStream)
  private
    FInner: TStream;
  public
    constructor Create(AInner: TStream);
    function Read(var Buffer; Count: Longint): Longint; override;
    function Write(const Buffer; Count: Longint): Longint; override;
    function Seek(const Offset: Int64; Origin: TSeekOrigin): Int64; override;
  end;

constructor TBytePerReadStream.Create(AInner: TStream);
begin
  inherited Create;
  FInner := AInner;
end;

function TBytePerReadStream.Read(var Buffer; Count: Longint): Longint;
begin
  if Count > 1 then
    Count := 1;
  Result := FInner.Read(Buffer, Count);
end;

function TBytePerReadStream.Write(const Buffer; Count: Longint): Longint;
begin
  Result := 0;
end;

function TBytePerReadStream.Seek(const Offset: Int64; Origin: TSeekOrigin): Int64;
begin
  Result := FInner.Seek(Offset, Origin);
end;

procedure Run(const FileName: string; BytePerRead, InMemory: Boolean);
var
  Source: TStream;
  Input: TStream;
  Buffer: IkivCharBuffer;
  Count: Int64;
  Started: TDateTime;
  Seconds: Double;
begin
  if InMemory then
  begin
    Source := TMemoryStream.Create;
    TMemoryStream(Source).LoadFromFile(FileName);
  end
  else
    Source := TFileStream.Create(FileName, fmOpenRead or fmShareDenyWrite);
  try
    if BytePerRead then
      Input := TBytePerReadStream.Create(Source)
    else
      Input := Source;
    try
      Started := Now;
      Count := 0;
      Buffer := TkivCharBuffer.Create(Input);
      while Buffer.LA(1) <> EOF_CHAR do
      begin
        Buffer.consume;
        Inc(Count);
      end;
      Buffer := nil;
      Seconds := (Now - Started) * SecsPerDay;
    finally
      if Input <> Source then
        Input.Free;
    end;
  finally
    Source.Free;
  end;
  if Seconds <= 0 then
    Seconds := 0.001;
  WriteLn(Format('%s, %s: %d characters in %.3f s, %.1f MB/s',
    [BoolToStr(BytePerRead, 'byte per Read', 'block reads'),
     BoolToStr(InMemory, 'memory', 'file'),
     Count, Seconds, Count / Seconds / (1024 * 1024)]));
end;

var
  I: Integer;
  FileName: string;
  BytePerRead, InMemory: Boolean;
begin
  FileName := '';
  BytePerRead := False;
  InMemory := False;
  for I := 1 to ParamCount do
    if ParamStr(I) = '--byte-per-read' then
      BytePerRead := True
    else if ParamStr(I) = '--memory' then
      InMemory := True
    else
      FileName := ParamStr(I);
  if FileName = '' then
  begin
    WriteLn('usage: charbench FILE [--byte-per-read] [--memory]');
    Halt(2);
  end;
  Run(FileName, BytePerRead, InMemory);
end.
