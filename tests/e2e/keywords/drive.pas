{ drive - the case-insensitive keyword lexer on its own ("tokens") and
  under the k=1 parser ("program"), which logs what each statement did. }
program drive;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

uses
  Classes, SysUtils, kivTypes, e2eCases, KeyLexer, KeyParser, KeyTokens;

function NameOf(TokenType: Integer): string;
begin
  case TokenType of
    TT_EOF: Result := 'EOF';
    BEGIN_KW: Result := 'BEGIN_KW';
    END_KW: Result := 'END_KW';
    LT_print: Result := 'print';
    LT_var: Result := 'var';
    TT_ID: Result := 'ID';
    TT_NUMBER: Result := 'NUMBER';
    TT_ASSIGN: Result := 'ASSIGN';
    TT_SEMI: Result := 'SEMI';
    TT_COMMA: Result := 'COMMA';
    TT_PLUS: Result := 'PLUS';
  else
    Result := 'type ' + IntToStr(TokenType);
  end;
end;

procedure Run(const Entry: string; Input: TStream; Output: TStrings);
var
  Parser: TKeyParser;
begin
  if Entry = 'tokens' then
    ListTokens(TKeyLexer.Create(Input), NameOf, Output)
  else if Entry = 'program' then
  begin
    Parser := TKeyParser.Create(TKeyLexer.Create(Input), Output);
    try
      // "program" is a reserved word: the generated method is named &program.
      Parser.&program;
    finally
      Parser.Free;
    end;
  end
  else
    raise Exception.Create('unknown entry ' + Entry);
end;

begin
  ExitCode := RunCases('keywords', Run);
end.
