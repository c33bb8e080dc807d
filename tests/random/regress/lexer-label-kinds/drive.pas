{ drive - a label used twice for elements of one kind. }
program drive;

{$MODE DELPHI}

uses
  Classes, SysUtils, kivTypes, regressCheck, LabelReuse;

var
  Input: TStringStream;
  Lexer: TLabelReuse;
  Tokens: IkivTokenStream;
begin
  Input := TStringStream.Create('aboo');
  try
    Lexer := TLabelReuse.Create(Input);
    Tokens := Lexer;
    TokenTypes(Tokens);
    Check(Lexer.Seen = 'bo', 'the labels hold the last character and the last token: ' + Lexer.Seen);
    Tokens := nil;
  finally
    Input.Free;
  end;
  Finish;
end.
