{ ==========================================================================
  drive - runs the generated k=2 predicate parser: which alternative each
  syntactic and semantic predicate chooses, validating predicates, rules
  with arguments and results, handlers, inverted tokens, ranges and the
  wildcard. Each check names the start rule and the log it expects.
  ========================================================================== }
program drive;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

uses
  Classes, SysUtils, kivTypes, kivException, PredLexer, PredParser;

type
  TStartRule = (srScript, srPairs, srNested, srGuarded, srLogged, srChoice, srSkipper, srRanges);

var
  Failures: Integer = 0;

function Run(Rule: TStartRule; const Text: AnsiString; StrictMode: Boolean = False): string;
var
  Stream: TStringStream;
  Parser: TPredParser;
begin
  Stream := TStringStream.Create(Text);
  Parser := TPredParser.Create(TPredLexer.Create(Stream));
  try
    Parser.StrictMode := StrictMode;
    try
      case Rule of
        srScript: Parser.script;
        srPairs: Parser.pairs;
        srNested: Parser.nested;
        srGuarded: Parser.guarded;
        srLogged: Parser.logged;
        srChoice: Parser.choice;
        srSkipper: Parser.skipper;
        srRanges: Parser.ranges;
      end;
    except
      on E: EkivException do
        Parser.Lines.Add('!' + E.ClassName);
    end;
    Result := StringReplace(Trim(Parser.Lines.Text), sLineBreak, ' | ', [rfReplaceAll]);
  finally
    Parser.Free;
    Stream.Free;
  end;
end;

procedure Check(Rule: TStartRule; const Text: AnsiString; const Expected: string; StrictMode: Boolean = False);
var
  Actual: string;
begin
  Actual := Run(Rule, Text, StrictMode);
  if Actual <> Expected then
  begin
    Inc(Failures);
    WriteLn('FAILED: ', Text);
    WriteLn('  expected: ', Expected);
    WriteLn('  actual:   ', Actual);
  end;
end;

begin
  // Syntactic predicates pick assignment and call; the rest is a value.
  Check(srScript, 'a = 1 + 2; f(1, 2 * 3); g(); 4 * 5;',
    'assign a=3 | arg 1 | arg 6 | call f | call g | value 20');
  // The semantic predicate chooses between two alternatives of equal look-ahead.
  Check(srScript, '4;', 'strict 40', True);
  // A validating predicate fails.
  Check(srScript, '3 * 0;', '!EkivSemantic');
  Check(srScript, 'a = ;', '!EkivMismatchedToken');
  // A loop whose alternatives use a predicate runs for every element and ends.
  Check(srPairs, 'a : b c : 5 d : e', 'a is b | number 5 | d is e');
  // A predicated alternative holding a predicate group of its own.
  Check(srNested, 'x 1 2;', 'two numbers');
  Check(srNested, 'x 1;', 'one number');
  Check(srNested, '7;', 'just a number');
  // Rule and alternative handlers.
  Check(srGuarded, 'x;', 'guarded');
  Check(srGuarded, '5', 'rule handler EkivMismatchedToken');
  Check(srLogged, 'x;', 'finally');
  Check(srLogged, '5', 'finally | !EkivMismatchedToken');
  Check(srChoice, 'x :', 'choice');
  Check(srChoice, 'x 1', 'alternative handler');
  Check(srChoice, '1', '');
  Check(srChoice, ';', '!EkivMismatchedToken');
  // Inverted tokens, a token range and the wildcard.
  Check(srSkipper, 'a 1 ( ;', 'skipped from a');
  Check(srSkipper, ';', '!EkivMismatchedToken');
  Check(srRanges, 'x ;', 'range x then ;');
  Check(srRanges, '7 y', 'range 7 then y');
  Check(srRanges, '( y', '!EkivMismatchedToken');
  if Failures > 0 then
    Halt(1);
  WriteLn('predicates: all checks passed');
end.
