{ ==========================================================================
  KIV recognizer runtime - kivTokenQueue
  The ordered list of tokens a parser has read ahead, numbered from 0.
  ========================================================================== }
unit kivTokenQueue;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

uses
  kivTypes, kivToken;

type
  // A ring: token I sits in FItems[(FHead + I) and FMask], the capacity
  // being a power of two. Adding and removing never move other tokens; the
  // ring only grows (and is then laid out anew) when it is full.
  TkivTokenQueue = class(TInterfacedObject, IkivTokenQueue)
  private
    FItems: array of IkivToken;
    FMask: Integer;
    FHead: Integer;
    FCount: Integer;
    procedure Grow;
    // Empties slot I, letting go of its token.
    procedure DropItem(I: Integer); inline;
  public
    // Token I; raises ERangeError outside 0..Count - 1.
    function GetItem(I: Integer): IkivToken;
    procedure Add(const AToken: IkivToken);
    // Adds the token and takes over the reference: AToken is nil after.
    procedure AddMoved(var AToken: IkivToken);
    // Adds the source's next token, moved into its slot (no temporary
    // reference, so neither this method nor its caller needs an exception
    // frame).
    procedure AddNext(const ASource: IkivTokenStream);
    // Drops the first N tokens (all of them when N >= Count).
    procedure RemoveFirst(N: Integer);
    procedure Clear;
    function Count: Integer;
    // The type of token I, 0 <= I < Count, without a range check and
    // without copying the reference (for the token buffer's look-ahead).
    function TypeAt(I: Integer): Integer; inline;
    property Size: Integer read FCount;
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
  Result := FItems[(FHead + I) and FMask];
end;

function TkivTokenQueue.TypeAt(I: Integer): Integer;
var
  Token: Pointer;
begin
  // The type field read in place for TkivToken's own implementation (see
  // KivTokenInterfaceTable); the parser's look-ahead inlines this method.
  Token := Pointer(FItems[(FHead + I) and FMask]);
  if PPointer(Token)^ = KivTokenInterfaceTable then
    Result := PInteger(PAnsiChar(Token) + KivTokenTypeOffset)^
  else
    Result := KivInterfaceTokenType(Token);
end;

procedure TkivTokenQueue.Grow;
var
  Items: array of IkivToken;
  I: Integer;
begin
  if Length(FItems) = 0 then
    SetLength(Items, 16)
  else
    SetLength(Items, 2 * Length(FItems));
  for I := 0 to FCount - 1 do
    Items[I] := FItems[(FHead + I) and FMask];
  FItems := Items;
  FMask := Length(FItems) - 1;
  FHead := 0;
end;

procedure TkivTokenQueue.Add(const AToken: IkivToken);
begin
  if FCount = Length(FItems) then
    Grow;
  FItems[(FHead + FCount) and FMask] := AToken;
  Inc(FCount);
end;

procedure TkivTokenQueue.AddMoved(var AToken: IkivToken);
var
  Slot: Integer;
begin
  if FCount = Length(FItems) then
    Grow;
  Slot := (FHead + FCount) and FMask;
  // The slot is empty (nil): the reference moves without counting.
  Pointer(FItems[Slot]) := Pointer(AToken);
  Pointer(AToken) := nil;
  Inc(FCount);
end;

// Without an exception frame (one per token otherwise): when NextToken
// raises, Token holds nothing yet, as a token stream gives its result only
// on a normal return, so there is nothing to let go of.
{$IFDEF FPC}{$IMPLICITEXCEPTIONS OFF}{$ENDIF}
procedure TkivTokenQueue.AddNext(const ASource: IkivTokenStream);
var
  Slot: Integer;
  Token: IkivToken;
begin
  if FCount = Length(FItems) then
    Grow;
  Slot := (FHead + FCount) and FMask;
  Token := ASource.NextToken;
  // The slot is empty (nil): the reference moves without counting.
  Pointer(FItems[Slot]) := Pointer(Token);
  Pointer(Token) := nil;
  Inc(FCount);
end;
{$IFDEF FPC}{$IMPLICITEXCEPTIONS ON}{$ENDIF}

procedure TkivTokenQueue.DropItem(I: Integer);
var
  Token: Pointer;
begin
  // What assigning nil does, without the call around it.
  Token := Pointer(FItems[I]);
  if Token <> nil then
  begin
    Pointer(FItems[I]) := nil;
    IkivToken(Token)._Release;
  end;
end;

procedure TkivTokenQueue.RemoveFirst(N: Integer);
begin
  if N <= 0 then
    Exit;
  if N >= FCount then
  begin
    Clear;
    Exit;
  end;
  while N > 0 do
  begin
    DropItem(FHead);
    FHead := (FHead + 1) and FMask;
    Dec(FCount);
    Dec(N);
  end;
end;

procedure TkivTokenQueue.Clear;
begin
  while FCount > 0 do
  begin
    DropItem(FHead);
    FHead := (FHead + 1) and FMask;
    Dec(FCount);
  end;
  FHead := 0;
end;

function TkivTokenQueue.Count: Integer;
begin
  Result := FCount;
end;

end.
