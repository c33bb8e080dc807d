{ ==========================================================================
  e2eCases - runs the cases of one end-to-end suite through a driver.

  A cases file holds any number of cases:

    === accept ENTRY: title
    input lines
    ---
    expected output lines

  The verdict is "accept" or "reject"; ENTRY tells the driver what to run
  (a start rule, or which lexer), and the title only names the case. The
  input is the lines up to "---", each ended by a line feed. A case runs
  over a fresh stream; what the driver adds to its output, followed for a
  recognition failure by "rejected: " + class + " at " + line:column (and
  the exception's message in parentheses when it has one), must equal the
  expected lines. An accept case must not be rejected, a reject case must
  be. In an expected line "<n>" stands for any decimal number (a position
  that depends on the stack, for example). Lines before the first case
  that start with "#" are comments.
  ========================================================================== }
unit e2eCases;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

interface

uses
  Classes, SysUtils, kivTypes;

type
  // Runs one case: recognises Input, starting from what Entry names, and
  // adds what was recognised to Output. Raises for an unknown entry.
  TE2ERunner = procedure(const Entry: string; Input: TStream; Output: TStrings);
  // The token type's name as the driver wants it printed.
  TE2ETokenName = function(TokenType: Integer): string;

// Runs every case of the file named by the first program argument and
// prints one line per failed case with the difference. Returns the exit
// code: 0 when every case passed, 1 otherwise.
function RunCases(const Suite: string; Runner: TE2ERunner): Integer;

// Text with quotes around it; characters below 32 are written as #nn.
function Shown(const Text: AnsiString): string;

// Adds one line per token up to and including the end-of-input token:
// name, shown text, line:column.
procedure ListTokens(Tokens: IkivTokenStream; NameOf: TE2ETokenName; Output: TStrings);

implementation

uses
  kivException;

type
  TE2ECase = record
    Line: Integer;
    Accept: Boolean;
    Entry: string;
    Title: string;
    Input: AnsiString;
    Expected: TStringList;
  end;

function Shown(const Text: AnsiString): string;
var
  I: Integer;
begin
  Result := '"';
  for I := 1 to Length(Text) do
    if Ord(Text[I]) < 32 then
      Result := Result + '#' + IntToStr(Ord(Text[I]))
    else
      Result := Result + string(Text[I]);
  Result := Result + '"';
end;

procedure ListTokens(Tokens: IkivTokenStream; NameOf: TE2ETokenName; Output: TStrings);
var
  T: IkivToken;
begin
  repeat
    T := Tokens.NextToken;
    Output.Add(Format('%s %s %d:%d', [NameOf(T.TokenType), Shown(T.TokenText), T.Line, T.Column]));
  until T.TokenType = TT_EOF;
end;

function Fail(const Msg: string): Integer;
begin
  WriteLn('e2e: ', Msg);
  Result := 1;
end;

// Reads the header "=== accept ENTRY: title". False when it is malformed.
function ReadHeader(const Line: string; var C: TE2ECase): Boolean;
var
  Rest, Verdict: string;
  Split: Integer;
begin
  Result := False;
  Rest := Trim(Copy(Line, 4, MaxInt));
  Split := Pos(' ', Rest);
  if Split = 0 then
    Exit;
  Verdict := Copy(Rest, 1, Split - 1);
  if Verdict = 'accept' then
    C.Accept := True
  else if Verdict = 'reject' then
    C.Accept := False
  else
    Exit;
  Rest := Trim(Copy(Rest, Split + 1, MaxInt));
  Split := Pos(':', Rest);
  if Split < 2 then
    Exit;
  C.Entry := Trim(Copy(Rest, 1, Split - 1));
  C.Title := Trim(Copy(Rest, Split + 1, MaxInt));
  Result := (C.Entry <> '') and (Pos(' ', C.Entry) = 0) and (C.Title <> '');
end;

// Expected equals Actual, each "<n>" of Expected matching one or more digits.
function LineMatches(const Expected, Actual: string): Boolean;
var
  E, A: Integer;
begin
  E := 1;
  A := 1;
  while E <= Length(Expected) do
  begin
    if Copy(Expected, E, 3) = '<n>' then
    begin
      if (A > Length(Actual)) or not CharInSet(Actual[A], ['0'..'9']) then
        Exit(False);
      while (A <= Length(Actual)) and CharInSet(Actual[A], ['0'..'9']) do
        Inc(A);
      Inc(E, 3);
    end
    else
    begin
      if (A > Length(Actual)) or (Actual[A] <> Expected[E]) then
        Exit(False);
      Inc(A);
      Inc(E);
    end;
  end;
  Result := A > Length(Actual);
end;

function OutputMatches(Expected, Actual: TStrings): Boolean;
var
  I: Integer;
begin
  Result := Expected.Count = Actual.Count;
  I := 0;
  while Result and (I < Expected.Count) do
  begin
    Result := LineMatches(Expected[I], Actual[I]);
    Inc(I);
  end;
end;

function RunOne(const C: TE2ECase; Runner: TE2ERunner): Boolean;
var
  Input: TStringStream;
  Output: TStringList;
  Rejected: Boolean;
  Msg: string;
  I: Integer;
begin
  Output := TStringList.Create;
  Input := TStringStream.Create(C.Input);
  Rejected := False;
  try
    try
      Runner(C.Entry, Input, Output);
    except
      on E: EkivException do
      begin
        Rejected := True;
        Msg := Format('rejected: %s at %d:%d', [E.ClassName, E.Line, E.Column]);
        if E.Message <> '' then
          Msg := Msg + ' (' + E.Message + ')';
        Output.Add(Msg);
      end;
      on E: Exception do
        Output.Add(Format('crashed: %s: %s', [E.ClassName, E.Message]));
    end;
    Result := (Rejected = not C.Accept) and OutputMatches(C.Expected, Output);
    if not Result then
    begin
      WriteLn(Format('FAILED line %d: %s %s: %s', [C.Line, BoolToStr(C.Accept, 'accept', 'reject'),
        C.Entry, C.Title]));
      WriteLn('  expected:');
      for I := 0 to C.Expected.Count - 1 do
        WriteLn('    ', C.Expected[I]);
      WriteLn('  actual:');
      for I := 0 to Output.Count - 1 do
        WriteLn('    ', Output[I]);
    end;
  finally
    Input.Free;
    Output.Free;
  end;
end;

function RunCases(const Suite: string; Runner: TE2ERunner): Integer;
var
  Lines: TStringList;
  C: TE2ECase;
  I, Count, Failed: Integer;
  InExpected: Boolean;
begin
  if ParamCount <> 1 then
  begin
    Result := Fail('usage: drive CASES_FILE');
    Exit;
  end;
  Lines := TStringList.Create;
  C.Expected := TStringList.Create;
  try
    Lines.LoadFromFile(ParamStr(1));
    Count := 0;
    Failed := 0;
    I := 0;
    while (I < Lines.Count) and (Copy(Lines[I], 1, 3) <> '===') do
    begin
      if (Trim(Lines[I]) <> '') and (Copy(Lines[I], 1, 1) <> '#') then
      begin
        Result := Fail(Format('line %d: text before the first case', [I + 1]));
        Exit;
      end;
      Inc(I);
    end;
    while I < Lines.Count do
    begin
      C.Line := I + 1;
      if not ReadHeader(Lines[I], C) then
      begin
        Result := Fail(Format('line %d: malformed case header "%s"', [I + 1, Lines[I]]));
        Exit;
      end;
      Inc(I);
      C.Input := '';
      C.Expected.Clear;
      InExpected := False;
      while (I < Lines.Count) and (Copy(Lines[I], 1, 3) <> '===') do
      begin
        if not InExpected and (Lines[I] = '---') then
          InExpected := True
        else if InExpected then
          C.Expected.Add(Lines[I])
        else
          C.Input := C.Input + AnsiString(Lines[I]) + #10;
        Inc(I);
      end;
      if not InExpected then
      begin
        Result := Fail(Format('line %d: case without "---"', [C.Line]));
        Exit;
      end;
      // Blank lines between cases belong to no expected output.
      while (C.Expected.Count > 0) and (Trim(C.Expected[C.Expected.Count - 1]) = '') do
        C.Expected.Delete(C.Expected.Count - 1);
      Inc(Count);
      if not RunOne(C, Runner) then
        Inc(Failed);
    end;
    WriteLn(Format('%s: %d cases, %d failed', [Suite, Count, Failed]));
    if (Failed > 0) or (Count = 0) then
      Result := 1
    else
      Result := 0;
  finally
    C.Expected.Free;
    Lines.Free;
  end;
end;

end.
