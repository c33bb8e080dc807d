{ ==========================================================================
  drive - runs the generated calculator lexer and parser over scripts and
  checks their output, including recovery by the default error handler.
  ========================================================================== }
program drive;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

uses
  Classes, SysUtils, kivTypes, CalcLexer, CalcParser;

var
  Failures: Integer = 0;

function Run(const Text: AnsiString): string;
var
  Stream: TStringStream;
  Parser: TCalcParser;
begin
  Stream := TStringStream.Create(Text);
  Parser := TCalcParser.Create(TCalcLexer.Create(Stream));
  try
    Parser.script;
    Result := StringReplace(Trim(Parser.Output.Text), sLineBreak, ' ', [rfReplaceAll]);
  finally
    Parser.Free;
    Stream.Free;
  end;
end;

procedure Check(const Text: AnsiString; const Expected: string);
var
  Actual: string;
begin
  Actual := Run(Text);
  if Actual <> Expected then
  begin
    Inc(Failures);
    WriteLn('FAILED: ', Text);
    WriteLn('  expected: ', Expected);
    WriteLn('  actual:   ', Actual);
  end;
end;

begin
  Check('print 1 + 2 * 3;', '7');
  Check('let x = 4; let y; print x * (x - -1) + y;', '20');
  Check('print 2 * 3 * 4 - 5 - 6;', '13');
  // A missing name: the statement reports the error, drops the offending
  // token, skips to what may follow a statement, and the script goes on.
  Check('let = 3; print 2;', 'error EkivMismatchedToken 2');
  if Failures > 0 then
    Halt(1);
  WriteLn('calc: all checks passed');
end.
