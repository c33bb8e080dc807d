{ drive - runs the predicate parser over scripts and prints its log: the
  paths it read, the types and variables declared, assignments and values. }
program drive;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

uses
  Classes, SysUtils, kivTypes, e2eCases, PredLexer, PredParser;

procedure Run(const Entry: string; Input: TStream; Output: TStrings);
var
  Parser: TPredParser;
begin
  if Entry <> 'script' then
    raise Exception.Create('unknown entry ' + Entry);
  Parser := TPredParser.Create(TPredLexer.Create(Input), Output);
  try
    Parser.script;
  finally
    Parser.Free;
  end;
end;

begin
  ExitCode := RunCases('predicates', Run);
end.
