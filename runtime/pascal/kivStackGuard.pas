{ ==========================================================================
  KIV recognizer runtime - kivStackGuard
  How deep a recognizer may go on the stack of the thread it runs on.
  Generated rules call each other as deep as the input nests; where every
  rule call passes (the lexer when TokenText is read, the parser when it
  consumes) they compare the stack pointer with a limit and raise
  EkivNestingTooDeep instead of running off the end of the stack.
  ========================================================================== }
unit kivStackGuard;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}
// Addresses are compared by unsigned subtraction, which wraps on purpose
// (KivOutsideStack, also where it is inlined); nothing else here can
// overflow.
{$Q-}{$R-}

interface

type
  TkivStackAddress = {$IFDEF FPC}PtrUInt{$ELSE}NativeUInt{$ENDIF};

const
  // The smallest reserve the automatic choice leaves.
  KIV_MIN_STACK_RESERVE = 64 * 1024;

var
  // Bytes at the bottom of a thread's stack that recognizers leave unused,
  // for the exception that reports the nesting, the handlers that catch it
  // and whatever the program does after it. 0 (the default) leaves one
  // eighth of the thread's stack, at least 64 KB (at most half of a smaller
  // stack). A larger value gives a lower limit. A recognizer reads it the
  // first time it checks its stack and whenever it finds itself on another
  // thread's stack: set it before the recognizer starts.
  KivStackReserve: TkivStackAddress = 0;

type
  // The part of the stack a recognizer may use: addresses Low .. Low + Span.
  // An all-zero guard holds no address, so the first check arms it.
  TkivStackGuard = record
    Low: TkivStackAddress;
    Span: TkivStackAddress;
  end;

// True when AProbe lies outside the part of the stack that AGuard allows:
// below the limit, or on another stack. One subtraction and one
// comparison, so it is tested inline before KivArmStackGuard is called.
function KivOutsideStack(const AGuard: TkivStackGuard; AProbe: Pointer): Boolean; inline;

// The stack pointer of the caller, roughly: an address in its frame.
function KivStackPointer: Pointer; {$IFDEF FPC}inline;{$ENDIF}

// The lowest and highest address of the running thread's stack as the
// run-time library knows them; false when it does not.
function KivThreadStack(out ABottom, ATop: TkivStackAddress): Boolean;

// Arms AGuard for the stack of the running thread and tells whether AProbe
// (KivStackPointer of the caller) lies inside the usable part. When the
// library knows nothing about the stack the guard is opened wide and never
// fires.
function KivArmStackGuard(var AGuard: TkivStackGuard; AProbe: Pointer): Boolean;

implementation

{$IFNDEF FPC}
{$IFDEF MSWINDOWS}
uses
  Windows;
{$ENDIF}
{$ENDIF}

function KivOutsideStack(const AGuard: TkivStackGuard; AProbe: Pointer): Boolean;
begin
  // Below Low the difference wraps round to a huge number.
  Result := TkivStackAddress(AProbe) - AGuard.Low > AGuard.Span;
end;

function KivStackPointer: Pointer;
{$IFDEF FPC}
begin
  Result := Sptr;
end;
{$ELSE}
var
  Probe: Byte;
begin
  Result := @Probe;
end;
{$ENDIF}

function KivThreadStack(out ABottom, ATop: TkivStackAddress): Boolean;
{$IFDEF FPC}
begin
  // Thread variables of the run-time library, set for the main thread at
  // start-up (the smaller of the linked stack size and the resource limit)
  // and for every thread it starts.
  ABottom := TkivStackAddress(StackBottom);
  ATop := TkivStackAddress(StackTop);
  Result := (StackLength > 0) and (ATop > ABottom);
end;
{$ELSE}
{$IFDEF MSWINDOWS}
var
  Probe: Byte;
  Info: TMemoryBasicInformation;
begin
  // The stack is one reservation; its committed part, in which the stack
  // pointer lies, reaches up to the top.
  Result := VirtualQuery(@Probe, Info, SizeOf(Info)) = SizeOf(Info);
  if Result then
  begin
    ABottom := TkivStackAddress(Info.AllocationBase);
    ATop := TkivStackAddress(Info.BaseAddress) + Info.RegionSize;
    Result := ATop > ABottom;
  end;
end;
{$ELSE}
begin
  ABottom := 0;
  ATop := 0;
  Result := False;
end;
{$ENDIF}
{$ENDIF}

function KivArmStackGuard(var AGuard: TkivStackGuard; AProbe: Pointer): Boolean;
var
  Bottom, Top, Size, Reserve, Probe: TkivStackAddress;
begin
  Probe := TkivStackAddress(AProbe);
  if not KivThreadStack(Bottom, Top) or (Probe < Bottom) or (Probe > Top) then
  begin
    // A stack the library does not describe (a fibre, a foreign thread):
    // nothing to compare with.
    AGuard.Low := 0;
    AGuard.Span := High(TkivStackAddress);
    Result := True;
    Exit;
  end;
  Size := Top - Bottom;
  Reserve := KivStackReserve;
  if Reserve = 0 then
  begin
    Reserve := Size div 8;
    if Reserve < KIV_MIN_STACK_RESERVE then
      Reserve := KIV_MIN_STACK_RESERVE;
    if Reserve > Size div 2 then
      Reserve := Size div 2;
  end
  else if Reserve > Size then
    Reserve := Size;
  AGuard.Low := Bottom + Reserve;
  AGuard.Span := Top - AGuard.Low;
  Result := Probe >= AGuard.Low;
end;

end.
