{ drive - a syntactic predicate over a loop whose alternative has a handler. }
program drive;

{$MODE DELPHI}

uses
  Classes, SysUtils, kivTypes, regressCheck, GuessLexer, GuessParser;

var
  LastHandled: Integer;

procedure Start(Input: TStream);
var
  P: TGuessParser;
begin
  P := TGuessParser.Create(TGuessLexer.Create(Input), 2);
  try
    try
      P.start;
    finally
      LastHandled := P.Handled;
    end;
  finally
    P.Free;
  end;
end;

begin
  Expect('start', Start, 'a a c', '');
  Check(LastHandled = 0, 'no handler ran while guessing');
  Expect('start', Start, 'a b c', '');
  Expect('start', Start, 'a a a', '');
  Expect('start', Start, 'b', 'EkivMismatchedToken');
  Finish;
end.
