{ ==========================================================================
  kivTestCheck
  Minimal assertions for the runtime's test programs: each failed check is
  printed with its section, and Finish sets a non-zero exit code when any
  check failed.
  ========================================================================== }
unit kivTestCheck;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

uses
  Classes, SysUtils;

procedure Section(const AName: string);
procedure Check(ACondition: Boolean; const AWhat: string);
procedure CheckEquals(AExpected, AActual: Integer; const AWhat: string); overload;
procedure CheckEquals(const AExpected, AActual: AnsiString; const AWhat: string); overload;
procedure CheckChar(AExpected, AActual: AnsiChar; const AWhat: string);
// Records a failure for a statement that should have raised.
procedure NotRaised(const AWhat: string);
// A memory stream holding the bytes of S, positioned at its start.
function StreamOf(const S: AnsiString): TMemoryStream;
procedure Finish;

implementation

var
  CurrentSection: string = '';
  Checks: Integer = 0;
  Failures: Integer = 0;

procedure Section(const AName: string);
begin
  CurrentSection := AName;
end;

procedure Fail(const AText: string);
begin
  Inc(Failures);
  WriteLn('FAIL [', CurrentSection, '] ', AText);
end;

procedure Check(ACondition: Boolean; const AWhat: string);
begin
  Inc(Checks);
  if not ACondition then
    Fail(AWhat);
end;

procedure CheckEquals(AExpected, AActual: Integer; const AWhat: string);
begin
  Inc(Checks);
  if AExpected <> AActual then
    Fail(Format('%s: expected %d, got %d', [AWhat, AExpected, AActual]));
end;

procedure CheckEquals(const AExpected, AActual: AnsiString; const AWhat: string);
begin
  Inc(Checks);
  if AExpected <> AActual then
    Fail(Format('%s: expected <%s>, got <%s>', [AWhat, string(AExpected), string(AActual)]));
end;

procedure CheckChar(AExpected, AActual: AnsiChar; const AWhat: string);
begin
  Inc(Checks);
  if AExpected <> AActual then
    Fail(Format('%s: expected #%d, got #%d', [AWhat, Ord(AExpected), Ord(AActual)]));
end;

procedure NotRaised(const AWhat: string);
begin
  Inc(Checks);
  Fail(AWhat + ': no exception raised');
end;

function StreamOf(const S: AnsiString): TMemoryStream;
begin
  Result := TMemoryStream.Create;
  if S <> '' then
    Result.WriteBuffer(S[1], Length(S));
  Result.Position := 0;
end;

procedure Finish;
begin
  WriteLn(Format('%d checks, %d failed', [Checks, Failures]));
  if Failures > 0 then
    ExitCode := 1;
end;

end.
