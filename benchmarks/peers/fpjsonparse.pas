{ fpjsonparse.pas - parses a JSON file with fpjson's TJSONParser (fcl-json) into its document
  tree and counts the values in it the way examples/json does (member names are not values). }
program fpjsonparse;

{$MODE DELPHI}

uses
  SysUtils, Classes, fpjson, jsonscanner, jsonparser;

function CountValues(Data: TJSONData): Int64;
var
  I: Integer;
begin
  Result := 1;
  if Data.JSONType in [jtArray, jtObject] then
    for I := 0 to Data.Count - 1 do
      Inc(Result, CountValues(Data.Items[I]));
end;

var
  Input: TFileStream;
  Parser: TJSONParser;
  Document: TJSONData;
begin
  if ParamCount <> 1 then
  begin
    WriteLn(ErrOutput, 'usage: fpjsonparse FILE');
    Halt(2);
  end;
  Input := TFileStream.Create(ParamStr(1), fmOpenRead or fmShareDenyWrite);
  try
    Parser := TJSONParser.Create(Input, [joUTF8]);
    try
      Document := Parser.Parse;
      try
        WriteLn('values: ', CountValues(Document));
      finally
        Document.Free;
      end;
    finally
      Parser.Free;
    end;
  finally
    Input.Free;
  end;
end.
