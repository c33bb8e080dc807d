{ drive - loops with an empty alternative end when nothing else applies. }
program drive;

{$MODE DELPHI}

uses
  Classes, SysUtils, kivTypes, regressCheck, LoopGapLexer, LoopGapParser;

procedure Lex(Input: TStream);
var
  Lexer: IkivTokenStream;
begin
  Lexer := TLoopGapLexer.Create(Input);
  TokenTypes(Lexer);
end;

procedure Star(Input: TStream);
var
  P: TLoopGapParser;
begin
  P := TLoopGapParser.Create(TLoopGapLexer.Create(Input), 1);
  try
    P.star;
  finally
    P.Free;
  end;
end;

procedure Plus(Input: TStream);
var
  P: TLoopGapParser;
begin
  P := TLoopGapParser.Create(TLoopGapLexer.Create(Input), 1);
  try
    P.plus;
  finally
    P.Free;
  end;
end;

procedure Empty(Input: TStream);
var
  P: TLoopGapParser;
begin
  P := TLoopGapParser.Create(TLoopGapLexer.Create(Input), 1);
  try
    P.empty;
  finally
    P.Free;
  end;
end;

begin
  Expect('lexer', Lex, 'xyyzz;', '');
  Expect('lexer', Lex, 'x;', '');
  Expect('lexer', Lex, 'xq', 'EkivMismatchedChar');
  Expect('star', Star, 'a a b', '');
  Expect('star', Star, 'b', '');
  Expect('star', Star, 'a', 'EkivMismatchedToken');
  Expect('plus', Plus, 'a b', '');
  Expect('plus', Plus, 'b', '');
  Expect('plus', Plus, 'a a', 'EkivMismatchedToken');
  Expect('empty', Empty, 'b', '');
  Expect('empty', Empty, 'a', 'EkivMismatchedToken');
  Finish;
end.
