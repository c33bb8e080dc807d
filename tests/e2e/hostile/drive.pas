{ drive - runs the example JSON and calculator parsers and the Nest grammars
  over hostile input. The case input may spell bytes a text file cannot
  carry: "<NUL>" is a zero byte, and "<N*text>" is text repeated N times.
  A recognition failure is followed by the character at its position in the
  input, and a mismatched character by what was found and expected. }
program drive;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

uses
  Classes, SysUtils, kivTypes, kivUtils, kivException, kivExceptionMismatchedChar,
  kivExceptionNestingTooDeep, kivStackGuard, e2eCases,
  jsonLexer, jsonParser, calcLexer, calcParser, NestLexer, NestParser, NestFilter,
  NestTokens, NestFilterTokens;

// The input with its markup spelled out.
function Expand(const Text: AnsiString): AnsiString;
var
  I, Close, Star, Count: Integer;
  Inner, Part: AnsiString;
begin
  Result := '';
  I := 1;
  while I <= Length(Text) do
  begin
    Close := 0;
    if Text[I] = '<' then
      Close := Pos('>', Copy(Text, I + 1, MaxInt));
    if Close = 0 then
    begin
      Result := Result + Text[I];
      Inc(I);
      Continue;
    end;
    Inner := Copy(Text, I + 1, Close - 1);
    Star := Pos('*', Inner);
    if Inner = 'NUL' then
      Result := Result + #0
    else if (Star > 1) and TryStrToInt(string(Copy(Inner, 1, Star - 1)), Count) then
    begin
      Part := Copy(Inner, Star + 1, MaxInt);
      SetLength(Result, Length(Result) + Count * Length(Part));
      while Count > 0 do
      begin
        Move(Part[1], Result[Length(Result) - Count * Length(Part) + 1], Length(Part));
        Dec(Count);
      end;
    end
    else
      raise Exception.Create('bad markup <' + string(Inner) + '>');
    Inc(I, Close + 1);
  end;
end;

// The character at Line:Column of Text, as CharText prints it.
function CharAt(const Text: AnsiString; Line, Column: Integer): string;
var
  I, L, C: Integer;
begin
  L := 1;
  C := 1;
  for I := 1 to Length(Text) do
  begin
    if (L = Line) and (C = Column) then
      Exit(string(CharText(Text[I])));
    if Text[I] = #10 then
    begin
      Inc(L);
      C := 1;
    end
    else
      Inc(C);
  end;
  Result := 'the end';
end;

function NestName(TokenType: Integer): string;
begin
  case TokenType of
    TT_EOF: Result := 'EOF';
    NestTokens.TT_WORD: Result := 'WORD';
    NestTokens.TT_STRING: Result := 'STRING';
    NestTokens.TT_LPAREN: Result := 'LPAREN';
    NestTokens.TT_RPAREN: Result := 'RPAREN';
    NestTokens.TT_SEMI: Result := 'SEMI';
    NestTokens.TT_COMMENT: Result := 'COMMENT';
  else
    Result := IntToStr(TokenType);
  end;
end;

function FilterName(TokenType: Integer): string;
begin
  if TokenType = NestFilterTokens.TT_WORD then
    Result := 'WORD'
  else if TokenType = NestFilterTokens.TT_COMMENT then
    Result := 'COMMENT'
  else
    Result := NestName(TokenType);
end;

// Consecutive equal reports in a log are kept once, with their number
// when there is more than one.
procedure Collapse(Log: TStrings);
var
  I, J: Integer;
begin
  I := 0;
  while I < Log.Count do
  begin
    J := I + 1;
    while (J < Log.Count) and (Log[J] = Log[I]) and (Copy(Log[I], 1, 9) = 'reported ') do
      Inc(J);
    if J - I > 1 then
    begin
      Log[I] := Format('%s (%d times)', [Log[I], J - I]);
      while J - 1 > I do
      begin
        Log.Delete(I + 1);
        Dec(J);
      end;
    end;
    Inc(I);
  end;
end;

// Like ListTokens, but a comment is given by its length.
procedure ListFiltered(Tokens: IkivTokenStream; Output: TStrings);
var
  T: IkivToken;
  Text: string;
begin
  repeat
    T := Tokens.NextToken;
    if T.TokenType = NestFilterTokens.TT_COMMENT then
      Text := Format('(%d characters)', [Length(T.TokenText)])
    else
      Text := Shown(T.TokenText);
    Output.Add(Format('%s %s %d:%d', [FilterName(T.TokenType), Text, T.Line, T.Column]));
  until T.TokenType = TT_EOF;
end;

procedure RunJson(Input: TStream; Output: TStrings);
var
  Parser: TJsonParser;
begin
  Parser := TJsonParser.Create(TJsonLexer.Create(Input), 1);
  try
    Parser.document;
    Output.Add(Format('values %d, arrays %d', [Parser.Values, Parser.Arrays]));
  finally
    Parser.Free;
  end;
end;

procedure RunCalc(Input: TStream; Output: TStrings);
var
  Parser: TCalcParser;
begin
  Parser := TCalcParser.Create(TCalcLexer.Create(Input), 2);
  try
    Parser.calculation;
    Output.Add(Format('%d statement(s)', [Parser.Statements]));
  finally
    Parser.Free;
  end;
end;

procedure RunRecover(Input: TStream; Output: TStrings);
var
  Parser: TNestParser;
  Log: TStringList;
begin
  Log := TStringList.Create;
  Parser := TNestParser.Create(TNestLexer.Create(Input), 1);
  try
    Parser.Log := Log;
    try
      Parser.script;
    finally
      Collapse(Log);
      Output.AddStrings(Log);
    end;
    Output.Add(Format('%d lists', [Parser.Lists]));
  finally
    Parser.Free;
    Log.Free;
  end;
end;

procedure RunEntry(const Entry: string; Input: TStream; Output: TStrings);
begin
  if Entry = 'json' then
    RunJson(Input, Output)
  else if Entry = 'calc' then
    RunCalc(Input, Output)
  else if Entry = 'tokens' then
    ListTokens(TNestLexer.Create(Input), NestName, Output)
  else if Entry = 'filter' then
    ListFiltered(TNestFilter.Create(Input), Output)
  else if Entry = 'recover' then
    RunRecover(Input, Output)
  else
    raise Exception.Create('unknown entry ' + Entry);
end;

// Entries ending in "-small" run with all but 256 KB of the stack
// reserved, so that a few thousand levels are too deep.
procedure Run(const Entry: string; Input: TStream; Output: TStrings);
var
  Text: AnsiString;
  Expanded: TStringStream;
  Name: string;
  Bottom, Top: TkivStackAddress;
begin
  SetLength(Text, Input.Size);
  if Text <> '' then
    Input.ReadBuffer(Text[1], Length(Text));
  Text := Expand(Text);
  Expanded := TStringStream.Create(Text);
  Name := Entry;
  try
    if Copy(Name, Length(Name) - 5, 6) = '-small' then
    begin
      SetLength(Name, Length(Name) - 6);
      if KivThreadStack(Bottom, Top) then
        KivStackReserve := Top - Bottom - 256 * 1024;
    end;
    try
      RunEntry(Name, Expanded, Output);
    except
      on E: EkivException do
      begin
        if E is EkivMismatchedChar then
          with EkivMismatchedChar(E) do
            Output.Add(Format('kind %d, found %s, expected %s%s',
              [Kind, CharText(FoundChar), CharSetText(ExpectedSet), BoolToStr(Negated, ', negated', '')]))
        else if (E is EkivNestingTooDeep) and (E.Column > 1000) then
          Output.Add('more than 1000 levels');
        Output.Add('at ' + CharAt(Text, E.Line, E.Column));
        raise;
      end;
    end;
  finally
    KivStackReserve := 0;
    Expanded.Free;
  end;
end;

begin
  ExitCode := RunCases('hostile', Run);
end.
