(* bytecount.pas - a hand-written token counter: one loop over the bytes of a file read in large
  blocks, no token objects, no text. It is the practical upper limit for a Pascal scanner of the
  same token sets, and checks the token counts of the other programs.

    bytecount json FILE    JSON tokens: { } [ ] : , strings (with escapes), numbers, words
    bytecount arith FILE   arithmetic tokens: numbers, + - * / ( ), one line end token a line *)
program bytecount;

{$MODE DELPHI}

uses
  SysUtils, Classes;

const
  BlockSize = 1 shl 16;

type
  TKind = (kJson, kArith);

var
  Input: TFileStream;
  Block: array of Byte;
  Len, Pos: Integer;
  AtEnd: Boolean;

// The byte at Pos, refilling the block when it is used up; 0 at the end of the file.
function Peek: Byte; inline;
begin
  if Pos >= Len then
  begin
    Len := Input.Read(Block[0], BlockSize);
    Pos := 0;
    if Len <= 0 then
    begin
      Len := 0;
      AtEnd := True;
      Result := 0;
      Exit;
    end;
  end;
  Result := Block[Pos];
end;

function Fail(const Message: string): Int64;
begin
  WriteLn(ErrOutput, 'bytecount: ', Message);
  Halt(1);
  Result := 0;
end;

function CountJson: Int64;
var
  C: Byte;
begin
  Result := 0;
  while True do
  begin
    C := Peek;
    if AtEnd then
      Exit;
    case C of
      9, 10, 13, 32:
        Inc(Pos);
      Ord('{'), Ord('}'), Ord('['), Ord(']'), Ord(':'), Ord(','):
        begin
          Inc(Pos);
          Inc(Result);
        end;
      Ord('"'):
        begin
          Inc(Pos);
          while True do
          begin
            C := Peek;
            if AtEnd then
              Exit(Fail('unterminated string'));
            Inc(Pos);
            if C = Ord('"') then
              Break;
            if C = Ord('\') then
            begin
              Peek;
              Inc(Pos);
            end;
          end;
          Inc(Result);
        end;
      Ord('-'), Ord('0')..Ord('9'):
        begin
          Inc(Pos);
          while Peek in [Ord('0')..Ord('9'), Ord('.'), Ord('e'), Ord('E'), Ord('+'), Ord('-')] do
            Inc(Pos);
          Inc(Result);
        end;
      Ord('a')..Ord('z'):
        begin
          while Peek in [Ord('a')..Ord('z')] do
            Inc(Pos);
          Inc(Result);
        end;
    else
      Exit(Fail('unexpected byte ' + IntToStr(C)));
    end;
  end;
end;

function CountArith: Int64;
var
  C: Byte;
begin
  Result := 0;
  while True do
  begin
    C := Peek;
    if AtEnd then
      Exit;
    case C of
      9, 13, 32:
        Inc(Pos);
      10, Ord('+'), Ord('-'), Ord('*'), Ord('/'), Ord('('), Ord(')'):
        begin
          Inc(Pos);
          Inc(Result);
        end;
      Ord('0')..Ord('9'):
        begin
          while Peek in [Ord('0')..Ord('9')] do
            Inc(Pos);
          Inc(Result);
        end;
    else
      Exit(Fail('unexpected byte ' + IntToStr(C)));
    end;
  end;
end;

var
  Kind: TKind;
  Count: Int64;
begin
  if (ParamCount <> 2) or ((ParamStr(1) <> 'json') and (ParamStr(1) <> 'arith')) then
  begin
    WriteLn(ErrOutput, 'usage: bytecount json|arith FILE');
    Halt(2);
  end;
  if ParamStr(1) = 'json' then
    Kind := kJson
  else
    Kind := kArith;
  SetLength(Block, BlockSize);
  Input := TFileStream.Create(ParamStr(2), fmOpenRead or fmShareDenyWrite);
  try
    if Kind = kJson then
      Count := CountJson
    else
      Count := CountArith;
    WriteLn('tokens: ', Count);
  finally
    Input.Free;
  end;
end.
