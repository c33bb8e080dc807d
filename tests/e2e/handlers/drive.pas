{ drive - runs the recovering parser over scripts and prints its log: what
  the statements did, what the handlers caught and what the default handler
  reported, and the lexer's note on unterminated strings. }
program drive;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

uses
  Classes, SysUtils, kivTypes, e2eCases, HandlerLexer, HandlerParser;

procedure Run(const Entry: string; Input: TStream; Output: TStrings);
var
  Lexer: THandlerLexer;
  Parser: THandlerParser;
begin
  if Entry <> 'script' then
    raise Exception.Create('unknown entry ' + Entry);
  Lexer := THandlerLexer.Create(Input);
  Lexer.Log := Output;
  Parser := THandlerParser.Create(Lexer, 1);
  try
    Parser.Log := Output;
    Parser.script;
  finally
    Parser.Free;
  end;
end;

begin
  ExitCode := RunCases('handlers', Run);
end.
