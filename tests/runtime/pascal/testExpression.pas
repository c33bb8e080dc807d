{ ==========================================================================
  testExpression
  The hand-written expression lexer and parser on the runtime: inputs that
  are accepted (with their computed output) and inputs that are rejected
  (with the exception class, kind, position and detail).
  ========================================================================== }
program testExpression;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

uses
  Classes, SysUtils, kivTestCheck, kivTypes, kivException,
  kivExceptionMismatchedChar, kivExceptionMismatchedToken, kivExceptionSemantic,
  ExprTokens, ExprLexer, ExprParser;

type
  TRun = record
    Stream: TMemoryStream;
    Parser: TExprParser;
  end;

procedure Open(var R: TRun; const Text: AnsiString);
var
  Lexer: TExprLexer;
begin
  R.Stream := StreamOf(Text);
  Lexer := TExprLexer.Create(R.Stream);
  Lexer.InputState.FileName := 'test.expr';
  // The parser holds the lexer from here on and releases it when freed.
  R.Parser := TExprParser.Create(Lexer);
  R.Parser.InputState.FileName := 'test.expr';
end;

procedure Close(var R: TRun);
begin
  R.Parser.Free;
  R.Stream.Free;
end;

// Parses Text with the strict start rule. Answers the printed output, or
// the failure as "Class kind K at line:column detail".
function Parse(const Text: AnsiString): AnsiString;
var
  R: TRun;
begin
  Open(R, Text);
  try
    try
      R.Parser.prog;
      Result := AnsiString(StringReplace(Trim(R.Parser.Output.Text), sLineBreak, ' ', [rfReplaceAll]));
    except
      on E: EkivException do
      begin
        Result := AnsiString(Format('%s kind %d at %d:%d', [E.ClassName, E.Kind, E.Line, E.Column]));
        if E.FileName <> 'test.expr' then
          Result := Result + ' in ' + AnsiString(E.FileName);
        if E is EkivMismatchedToken then
          Result := Result + ' ' + EkivMismatchedToken(E).TokenText
        else if E is EkivMismatchedChar then
          Result := Result + ' ' + EkivMismatchedChar(E).FoundChar
        else if E is EkivSemantic then
          Result := Result + ' ' + EkivSemantic(E).Predicate;
      end;
    end;
  finally
    Close(R);
  end;
end;

procedure TestTokens;
var
  Stream: TMemoryStream;
  Lexer: TExprLexer;
  Ref: IkivTokenStream;
  T: IkivToken;
begin
  Section('tokens');
  Stream := StreamOf('let letter'#10'  print1 print // all of this'#10'42');
  try
    Lexer := TExprLexer.Create(Stream);
    Ref := Lexer;
    T := Ref.NextToken;
    CheckEquals(LT_let, T.TokenType, 'keyword from the literal table');
    T := Ref.NextToken;
    CheckEquals(TT_ID, T.TokenType, 'identifier with a keyword prefix');
    CheckEquals('letter', T.TokenText, 'identifier text');
    T := Ref.NextToken;
    CheckEquals(TT_ID, T.TokenType, 'keyword followed by a digit');
    CheckEquals(2, T.Line, 'line after newLine');
    CheckEquals(3, T.Column, 'column of the token start');
    T := Ref.NextToken;
    CheckEquals(LT_print, T.TokenType, 'print');
    T := Ref.NextToken;
    CheckEquals(TT_NUM, T.TokenType, 'comment skipped');
    CheckEquals('42', T.TokenText, 'number text without the skipped input');
    CheckEquals(3, T.Line, 'number line');
    CheckEquals(TT_EOF, Ref.NextToken.TokenType, 'end of input');
    CheckEquals(TT_EOF, Ref.NextToken.TokenType, 'end of input again');
  finally
    Ref := nil;
    Stream.Free;
  end;
end;

procedure TestAccepted;
begin
  Section('accepted');
  CheckEquals('7 3 4', Parse(
    'let x = 1 + 2 * 3;'#10 +
    'print x;'#10 +
    'x = (x - 1) / 2;   // assignment needs two tokens of look-ahead'#10 +
    'print x;'#10 +
    'print -(-4);'), 'let, assignment, print');
  CheckEquals('5 3 3 7', Parse('print (5); print (1, 2, 3); print ((1, 2), 3); print ((7));'),
    'sequence chosen by the syntactic predicate, nested guesses');
  CheckEquals('2', Parse('let y = 8 / 4 / 1; y; print (y, 8 / 4);'),
    'division inside a guess and an expression statement');
  CheckEquals('', Parse(''), 'empty input');
end;

procedure TestRejected;
begin
  Section('rejected');
  CheckEquals('EkivMismatchedToken kind 7 at 1:12 ;', Parse('let x = 1 +;'),
    'no viable factor');
  CheckEquals('EkivMismatchedToken kind 5 at 1:9 2', Parse('print 1 2;'),
    'missing semicolon');
  CheckEquals('EkivMismatchedToken kind 7 at 4:4 *', Parse(
    'let a = 1;'#10#10 + 'print a +'#10 + '   * 2;'), 'position on a later line');
  CheckEquals('EkivMismatchedChar kind 3 at 1:11 $', Parse('let x = 5 $'),
    'lexical error passes through the parser');
  CheckEquals('EkivSemantic kind 8 at 1:7 IsDeclared(LT(1).TokenText)', Parse('print y;'),
    'undeclared variable');
  CheckEquals('EkivSemantic kind 8 at 2:18 (InputState.Guessing > 0) or (d <> 0)',
    Parse('let z = 4;'#10'print z / (2 - 2);'), 'division by zero');
  // A generated NextToken answers the end of input with a fresh token,
  // which sits at line 1, column 1.
  CheckEquals('EkivMismatchedToken kind 5 at 1:1 ', Parse('let x = 1'),
    'end of input where a semicolon is due');
  CheckEquals('EkivMismatchedToken kind 7 at 1:5 ,', Parse('(1, , 2);'),
    'a failed guess falls back to the plain alternative');
end;

procedure TestRecovery;
var
  R: TRun;
begin
  Section('recovery');
  Open(R, 'let = 5; print 1; print 2 2; print 3;');
  try
    R.Parser.script;
    CheckEquals(2, R.Parser.Errors.Count, 'one report per broken statement');
    CheckEquals('EkivMismatchedToken 1:5', AnsiString(R.Parser.Errors[0]), 'first error');
    CheckEquals('EkivMismatchedToken 1:27', AnsiString(R.Parser.Errors[1]), 'second error');
    CheckEquals('1,3', AnsiString(R.Parser.Output.CommaText), 'statements after each error still run');
    CheckEquals(5, R.Parser.LastValue, 'resynchronised on the number after the error');
  finally
    Close(R);
  end;
end;

begin
  TestTokens;
  TestAccepted;
  TestRejected;
  TestRecovery;
  Finish;
end.
