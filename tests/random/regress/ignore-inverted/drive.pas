{ drive - an ignore rule next to an inverted subrule. }
program drive;

{$MODE DELPHI}

uses
  Classes, SysUtils, kivTypes, regressCheck, IgnoreLexer;

procedure Lex(Input: TStream);
var
  Lexer: IkivTokenStream;
begin
  Lexer := TIgnoreLexer.Create(Input);
  TokenTypes(Lexer);
end;

begin
  Expect('blanks after literals', Lex, 'w  qz  ', '');
  Expect('no blanks', Lex, 'wqz', '');
  Expect('a member of the set', Lex, 'w  9z', 'EkivMismatchedChar');
  Expect('blanks do not follow the set', Lex, 'w q z', 'EkivMismatchedChar');
  Finish;
end.
