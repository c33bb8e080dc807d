{ drive - the case-insensitive keyword lexer on its own ("tokens") and
  under the k=1 parser ("program"), which logs what each statement did. }
program drive;

{$IFDEF FPC}{$MODE DELPHI}{$ENDIF}

uses
  Classes, SysUtils, kivTypes, kivToken, kivLLkParser, e2eCases, KeyLexer, KeyParser, KeyTokens;

type
  // A token class of the program's own, which the lexer is told to make. It
  // counts its objects: a lexer makes one as it reads the token, as NextToken
  // would, whoever asks for the token.
  TMarkedToken = class(TkivToken)
  public
    constructor Create(AType: Integer = 0; const AText: AnsiString = ''); override;
  end;

var
  MarkedMade: Integer;

constructor TMarkedToken.Create(AType: Integer; const AText: AnsiString);
begin
  inherited Create(AType, AText);
  Inc(MarkedMade);
end;

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

// The tokens as a parser's look-ahead hands them out, from a lexer that
// makes TMarkedToken objects: each LT(1) names its class and how many
// objects were made once LA(1) had read it.
procedure ListMarked(Input: TStream; Output: TStrings);
var
  Lexer: TKeyLexer;
  Parser: TkivLLkParser;
  T: IkivToken;
  TokenType, Made: Integer;
begin
  Lexer := TKeyLexer.Create(Input);
  Lexer.TokenClass := TMarkedToken;
  MarkedMade := 0;
  Parser := TkivLLkParser.Create(Lexer, 1);
  try
    repeat
      TokenType := Parser.LA(1);
      Made := MarkedMade;
      T := Parser.LT(1);
      Output.Add(Format('%s "%s" %d:%d %s %d', [NameOf(TokenType), T.TokenText, T.Line, T.Column,
        (T as TObject).ClassName, Made]));
      Parser.consume;
    until T.TokenType = TT_EOF;
  finally
    Parser.Free;
  end;
end;

procedure Run(const Entry: string; Input: TStream; Output: TStrings);
var
  Parser: TKeyParser;
begin
  if Entry = 'tokens' then
    ListTokens(TKeyLexer.Create(Input), NameOf, Output)
  else if Entry = 'marked' then
    ListMarked(Input, Output)
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
