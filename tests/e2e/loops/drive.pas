{ drive - runs the k=2 loop parser over scripts and prints how it read each
  statement. }
program drive;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

uses
  Classes, SysUtils, kivTypes, e2eCases, LoopLexer, LoopParser;

procedure Run(const Entry: string; Input: TStream; Output: TStrings);
var
  Parser: TLoopParser;
begin
  if Entry <> 'script' then
    raise Exception.Create('unknown entry ' + Entry);
  Parser := TLoopParser.Create(TLoopLexer.Create(Input), 2);
  try
    Parser.Log := Output;
    Parser.script;
  finally
    Parser.Free;
  end;
end;

begin
  ExitCode := RunCases('loops', Run);
end.
