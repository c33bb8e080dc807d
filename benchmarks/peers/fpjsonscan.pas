{ fpjsonscan.pas - counts the tokens of a JSON file with fpjson's TJSONScanner (fcl-json), the
  token scan a Free Pascal user would reach for; white space and line ends are not counted. }
program fpjsonscan;

{$MODE DELPHI}

uses
  SysUtils, Classes, jsonscanner;

var
  Input: TFileStream;
  Scanner: TJSONScanner;
  Token: TJSONToken;
  Count: Int64;
begin
  if ParamCount <> 1 then
  begin
    WriteLn(ErrOutput, 'usage: fpjsonscan FILE');
    Halt(2);
  end;
  Input := TFileStream.Create(ParamStr(1), fmOpenRead or fmShareDenyWrite);
  try
    Scanner := TJSONScanner.Create(Input, [joUTF8]);
    try
      Count := 0;
      repeat
        Token := Scanner.FetchToken;
        if not (Token in [tkEOF, tkWhitespace]) then
          Inc(Count);
      until Token = tkEOF;
      WriteLn('tokens: ', Count);
    finally
      Scanner.Free;
    end;
  finally
    Input.Free;
  end;
end.
