%{
(* tpjson.y - TP Yacc parser of one JSON value that counts the values it holds, as the bison peer
  (json.y) and examples/json do (member names are not values). The tokens come from tpjsonlex.l,
  which benchmarks/run.sh turns into tpjsonlex.pas with TP Lex.

    tpjson FILE           parse and print the value count
    tpjson --tokens FILE  only run the TP Lex scanner and print the token count *)
program tpjson;
uses SysUtils, LexLib, YaccLib;
var
  Values: Int64;
%}
%token LBRACE RBRACE LBRACKET RBRACKET COLON COMMA TSTRING TNUMBER TTRUE TFALSE TNULL BAD
%%
document : value ;
value    : object                   { Inc(Values); }
         | array                    { Inc(Values); }
         | TSTRING                  { Inc(Values); }
         | TNUMBER                  { Inc(Values); }
         | TTRUE                    { Inc(Values); }
         | TFALSE                   { Inc(Values); }
         | TNULL                    { Inc(Values); }
         ;
object   : LBRACE RBRACE
         | LBRACE members RBRACE
         ;
members  : member
         | members COMMA member
         ;
member   : TSTRING COLON value
         ;
array    : LBRACKET RBRACKET
         | LBRACKET elements RBRACKET
         ;
elements : value
         | elements COMMA value
         ;
%%
{$I tpjsonlex.pas}

var
  TextBuffer: array[0..65535] of Char;
  Tokens: Int64;
  Token: Integer;
begin
  if (ParamCount < 1) or (ParamCount > 2) or ((ParamCount = 2) and (ParamStr(1) <> '--tokens')) then
  begin
    writeln(ErrOutput, 'usage: tpjson [--tokens] FILE');
    halt(2);
  end;
  assign(yyinput, ParamStr(ParamCount));
  reset(yyinput);
  SetTextBuf(yyinput, TextBuffer, SizeOf(TextBuffer));
  if ParamCount = 2 then
  begin
    Tokens := 0;
    repeat
      Token := yylex;
      if Token = BAD then
      begin
        writeln(ErrOutput, 'line ', yylineno, ': bad character');
        halt(1);
      end;
      if Token <> 0 then Inc(Tokens);
    until Token = 0;
    writeln('tokens: ', Tokens);
  end
  else
  begin
    if yyparse <> 0 then halt(1);
    writeln('values: ', Values);
  end;
end.
