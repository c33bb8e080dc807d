{ ==========================================================================
  drive - runs the generated WordLexer over sample texts and checks every
  token's type, text and position, the keyword table, escaped literals and
  the position of the end-of-input token.
  ========================================================================== }
program drive;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

uses
  Classes, SysUtils, kivTypes, kivException, WordLexerTokens, WordLexer;

var
  Failures: Integer = 0;

function TypeName(T: Integer): string;
begin
  case T of
    TT_EOF: Result := 'EOF';
    LT_begin: Result := 'begin';
    LT_end: Result := 'end';
    KW_IF: Result := 'if';
    TT_ID: Result := 'ID';
    TT_NUM: Result := 'NUM';
    TT_STR: Result := 'STR';
    TT_TICK: Result := 'TICK';
    TT_TAB_BAR: Result := 'TAB_BAR';
    TT_NE: Result := 'NE';
    TT_LESS: Result := 'LESS';
    TT_PLUS: Result := 'PLUS';
  else
    Result := IntToStr(T);
  end;
end;

// Every token of Text as "type[text]line:column", separated by blanks; a
// recognition error ends the list with "!" and the exception's class.
function Scan(const Text: AnsiString): string;
var
  Stream: TStringStream;
  Lexer: TWordLexer;
  Tokens: IkivTokenStream;
  T: IkivToken;
begin
  Result := '';
  Stream := TStringStream.Create(Text);
  try
    Lexer := TWordLexer.Create(Stream);
    Tokens := Lexer;
    try
      repeat
        T := Tokens.NextToken;
        if Result <> '' then
          Result := Result + ' ';
        Result := Result + Format('%s[%s]%d:%d', [TypeName(T.TokenType), T.TokenText, T.Line, T.Column]);
      until T.TokenType = TT_EOF;
    except
      on E: EkivException do
        Result := Result + ' !' + E.ClassName;
    end;
  finally
    Tokens := nil;
    Stream.Free;
  end;
end;

procedure Check(const Text: AnsiString; const Expected: string);
var
  Actual: string;
begin
  Actual := Scan(Text);
  if Actual <> Expected then
  begin
    Inc(Failures);
    WriteLn('FAILED: ', Text);
    WriteLn('  expected: ', Expected);
    WriteLn('  actual:   ', Actual);
  end;
end;

begin
  // Keywords in any letter case; a case-insensitive lexer collects lower-case text.
  Check('BEGIN x_1 If end', 'begin[begin]1:1 ID[x_1]1:7 if[if]1:11 end[end]1:14 EOF[]1:17');
  // The comment spans a line; quotes are dropped from strings.
  Check('(* one' + #10 + ' two *) ''it''' + #10 + '42',
    'STR[it]2:9 NUM[42]3:1 EOF[]3:3');
  // Literals with an apostrophe, a tab and two characters decided at depth 2.
  Check('`''`' + #9 + '|<><+', 'TICK[`''`]1:1 TAB_BAR[' + #9 + '|]1:4 NE[<>]1:6 LESS[<]1:8 PLUS[+]1:9 EOF[]1:10');
  // The end-of-input token stands where the input ended.
  Check('a' + #10 + #10 + '  ', 'ID[a]1:1 EOF[]3:3');
  Check('', 'EOF[]1:1');
  // A character no rule starts with.
  Check('a ?', 'ID[a]1:1 !EkivMismatchedChar');
  if Failures > 0 then
    Halt(1);
  WriteLn('lexer: all checks passed');
end.
