{ drive - calls that kiv warned about still run. }
program drive;

{$MODE DELPHI}

uses
  Classes, SysUtils, kivTypes, regressCheck, CallLexer, CallParser;

var
  Input: TStringStream;
  P: TCallParser;
begin
  Input := TStringStream.Create('a 123');
  P := TCallParser.Create(TCallLexer.Create(Input), 1);
  try
    P.start;
    Check(P.Calls = 2, 'both rules ran');
  finally
    P.Free;
    Input.Free;
  end;
  Finish;
end.
