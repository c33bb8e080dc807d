{ drive - rules with a result that call themselves. }
program drive;

{$MODE DELPHI}

uses
  Classes, SysUtils, kivTypes, regressCheck, NestLexer, NestParser;

function Parse(const Text: AnsiString; Skipping: Boolean): Integer;
var
  Input: TStringStream;
  P: TNestParser;
begin
  Input := TStringStream.Create(Text);
  P := TNestParser.Create(TNestLexer.Create(Input), 1);
  try
    if Skipping then
      Result := P.skip
    else
      Result := P.depth;
  finally
    P.Free;
    Input.Free;
  end;
end;

begin
  Check(Parse('x', False) = 0, 'depth of x');
  Check(Parse('(((x)))', False) = 3, 'depth of (((x)))');
  Check(Parse('((x))', True) = 7, 'skip of ((x))');
  Finish;
end.
