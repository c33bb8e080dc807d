{ ==========================================================================
  KIV recognizer runtime - kivTokenQueue
  The ordered list of tokens a parser has read ahead, numbered from 0.
  ========================================================================== }
unit kivTokenQueue;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

uses
  kivTypes;

type
  // Tokens sit in FItems[FHead .. FHead + FCount - 1]; removing from the
  // front only moves FHead, and Add compacts the array when it runs out of
  // room at the back.
  TkivTokenQueue = class(TInterfacedObject, IkivTokenQueue)
  private
    FItems: array of IkivToken;
    FHead: Integer;
    FCount: Integer;
  public
    // Token I; raises ERangeError outside 0..Count - 1.
    function GetItem(I: Integer): IkivToken;
    procedure Add(const AToken: IkivToken);
    // Drops the first N tokens (all of them when N >= Count).
    procedure RemoveFirst(N: Integer);
    procedure Clear;
    function Count: Integer;
  end;

implementation

uses
  SysUtils;

function TkivTokenQueue.GetItem(I: Integer): IkivToken;
begin
  if I >= FCount then
    raise ERangeError.CreateFmt(SkivTokenIndexTooBig, [I]);
  if I < 0 then
    raise ERangeError.Create(SkivIndexBelowZero);
  Result := FItems[FHead + I];
end;

procedure TkivTokenQueue.Add(const AToken: IkivToken);
var
  I: Integer;
begin
  if FHead + FCount = Length(FItems) then
  begin
    if FHead > 0 then
    begin
      for I := 0 to FCount - 1 do
        FItems[I] := FItems[FHead + I];
      for I := FCount to FHead + FCount - 1 do
        FItems[I] := nil;
      FHead := 0;
    end;
    if FCount = Length(FItems) then
      SetLength(FItems, 2 * FCount + 16);
  end;
  FItems[FHead + FCount] := AToken;
  Inc(FCount);
end;

procedure TkivTokenQueue.RemoveFirst(N: Integer);
var
  I: Integer;
begin
  if N <= 0 then
    Exit;
  if N >= FCount then
  begin
    Clear;
    Exit;
  end;
  for I := FHead to FHead + N - 1 do
    FItems[I] := nil;
  Inc(FHead, N);
  Dec(FCount, N);
end;

procedure TkivTokenQueue.Clear;
var
  I: Integer;
begin
  for I := FHead to FHead + FCount - 1 do
    FItems[I] := nil;
  FHead := 0;
  FCount := 0;
end;

function TkivTokenQueue.Count: Integer;
begin
  Result := FCount;
end;

end.
