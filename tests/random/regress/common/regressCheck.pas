{ regressCheck - what the drivers of the random grammar regressions share:
  running a parser entry or a lexer over a text and checking how it ended. }
unit regressCheck;

{$MODE DELPHI}

interface

uses
  Classes, SysUtils, kivTypes, kivException;

type
  // Runs a recognizer over a text; raises what the recognizer raises.
  TRegressRun = procedure(Input: TStream);

// Runs Run over Text and checks the ending: Expected is '' for a normal end,
// otherwise the class name of the recognition exception that must end it.
procedure Expect(const Name: string; Run: TRegressRun; const Text: AnsiString; const Expected: string);
// Reads the tokens of a lexer to the end of input and answers their types. Hand it a lexer held
// by an interface variable: a new object passed straight to a const parameter is never freed.
function TokenTypes(const Lexer: IkivTokenStream): string;
procedure Check(Condition: Boolean; const What: string);
// Exit code 1 after a failed check.
procedure Finish;

implementation

var
  Failures: Integer = 0;

procedure Check(Condition: Boolean; const What: string);
begin
  if not Condition then
  begin
    Inc(Failures);
    WriteLn('FAILED: ', What);
  end;
end;

procedure Expect(const Name: string; Run: TRegressRun; const Text: AnsiString; const Expected: string);
var
  Input: TStringStream;
  Ended: string;
begin
  Input := TStringStream.Create(Text);
  try
    Ended := '';
    try
      Run(Input);
    except
      on E: EkivException do
        Ended := E.ClassName;
    end;
    Check(Ended = Expected, Name + ' on "' + Text + '": expected "' + Expected + '", ended with "' + Ended + '"');
  finally
    Input.Free;
  end;
end;

function TokenTypes(const Lexer: IkivTokenStream): string;
var
  T: IkivToken;
begin
  Result := '';
  repeat
    T := Lexer.NextToken;
    if Result <> '' then
      Result := Result + ' ';
    Result := Result + IntToStr(T.TokenType);
  until T.TokenType = TT_EOF;
end;

procedure Finish;
begin
  if Failures > 0 then
  begin
    WriteLn(Failures, ' checks failed');
    Halt(1);
  end;
  WriteLn('all checks passed');
end;

end.
