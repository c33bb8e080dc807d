{ ==========================================================================
  drive - runs the generated filtering lexers over sample texts: what a
  filter rule or plain filtering drops, and a token rule that fails half
  way through.
  ========================================================================== }
program drive;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

uses
  Classes, SysUtils, kivTypes, kivLexer, FilterRule, FilterSkip;

var
  Failures: Integer = 0;

// The texts of all tokens up to the end of the input, joined by "|".
function Scan(Lexer: TkivLexer; Stream: TStream): string;
var
  Tokens: IkivTokenStream;
  T: IkivToken;
begin
  Result := '';
  Tokens := Lexer;
  try
    repeat
      T := Tokens.NextToken;
      if T.TokenType <> TT_EOF then
        Result := Result + T.TokenText + '|';
    until T.TokenType = TT_EOF;
  finally
    Tokens := nil;
    Stream.Free;
  end;
end;

procedure Check(const What, Expected, Actual: string);
begin
  if Actual <> Expected then
  begin
    Inc(Failures);
    WriteLn('FAILED: ', What);
    WriteLn('  expected: ', Expected);
    WriteLn('  actual:   ', Actual);
  end;
end;

function WithRule(const Text: AnsiString; out Runs: Integer): string;
var
  Stream: TStringStream;
  Lexer: TFilterRule;
  Keep: IkivTokenStream;
begin
  Stream := TStringStream.Create(Text);
  Lexer := TFilterRule.Create(Stream);
  Keep := Lexer;
  Result := Scan(Lexer, TStringStream.Create(''));
  Runs := Lexer.JunkRuns;
  Keep := nil;
  Stream.Free;
end;

function Skipping(const Text: AnsiString): string;
var
  Stream: TStringStream;
begin
  Stream := TStringStream.Create(Text);
  Result := Scan(TFilterSkip.Create(Stream), Stream);
end;

var
  Runs: Integer;
begin
  Check('filter rule', 'ab|cd|3.25|', WithRule('ab, ?cd 3.25!', Runs));
  Check('junk runs', '3', IntToStr(Runs));
  // "7." starts a number that does not finish: the input goes back to the
  // mark at the "7", where the filter rule cannot start either, so the "7" is
  // reported and consumed; the "." is a junk run of its own.
  Check('failed token rule', 'x|y|', WithRule('x 7.y', Runs));
  Check('junk runs after a failed rule', '2', IntToStr(Runs));
  Check('plain filtering', 'ab|<>|c|', Skipping('ab <!<> c<'));
  if Failures > 0 then
    Halt(1);
  WriteLn('filter: all checks passed');
end.
