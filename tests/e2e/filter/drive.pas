{ drive - the two filtering lexers: "words" lists what the filter without a
  rule keeps, "tags" lists what the filter with the rule JUNK keeps, what
  it reported, and how many runs of junk JUNK took. }
program drive;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

uses
  Classes, SysUtils, kivTypes, e2eCases, WordFilter, WordFilterTokens, TagFilter, TagFilterTokens;

function WordName(TokenType: Integer): string;
begin
  case TokenType of
    WordFilterTokens.TT_EOF: Result := 'EOF';
    WordFilterTokens.TT_HASHTAG: Result := 'HASHTAG';
    WordFilterTokens.TT_MENTION: Result := 'MENTION';
    WordFilterTokens.TT_NUMBER: Result := 'NUMBER';
  else
    Result := 'type ' + IntToStr(TokenType);
  end;
end;

function TagName(TokenType: Integer): string;
begin
  case TokenType of
    TagFilterTokens.TT_EOF: Result := 'EOF';
    TagFilterTokens.TT_OPEN: Result := 'OPEN';
    TagFilterTokens.TT_CLOSE: Result := 'CLOSE';
    TagFilterTokens.TT_ENTITY: Result := 'ENTITY';
  else
    Result := 'type ' + IntToStr(TokenType);
  end;
end;

procedure Run(const Entry: string; Input: TStream; Output: TStrings);
var
  Lexer: TTagFilter;
  Keep: IkivTokenStream;
begin
  if Entry = 'words' then
    ListTokens(TWordFilter.Create(Input), WordName, Output)
  else if Entry = 'tags' then
  begin
    Lexer := TTagFilter.Create(Input);
    Keep := Lexer;
    Lexer.Reported := Output;
    ListTokens(Lexer, TagName, Output);
    Output.Add(Format('junk runs: %d', [Lexer.JunkRuns]));
  end
  else
    raise Exception.Create('unknown entry ' + Entry);
end;

begin
  ExitCode := RunCases('filter', Run);
end.
