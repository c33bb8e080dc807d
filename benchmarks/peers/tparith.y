%{
(* tparith.y - TP Yacc evaluator of arithmetic expressions, one a line, on 64-bit integers ("/"
  truncates toward zero); prints the number of lines and the sum of their values. The tokens come
  from tparithlex.l, which benchmarks/run.sh turns into tparithlex.pas with TP Lex.

    tparith FILE           evaluate and print the sum
    tparith --tokens FILE  only run the TP Lex scanner and print the token count *)
program tparith;
uses SysUtils, Classes, StreamIO, LexLib, YaccLib;

const
  LineLimit = 128;

type
  { TP Lex reads its input a line at a time into a 255-character string, and the arithmetic file
    has lines of thousands of characters. This stream hands the file over in lines of at most
    about LineLimit characters: once a line is that long, its next blank becomes a line break,
    and every real line end becomes ';', which the lexer turns into the NEWLINE token. The lexer
    reads every byte of the file once, as it would without the limit. }
  TShortLines = class(TStream)
  private
    FSource: TStream;
    FColumn: LongInt;
  public
    constructor Create(Source: TStream);
    function Read(var Buffer; Count: LongInt): LongInt; override;
  end;

constructor TShortLines.Create(Source: TStream);
begin
  inherited Create;
  FSource := Source;
end;

function TShortLines.Read(var Buffer; Count: LongInt): LongInt;
var
  P: PChar;
  I: LongInt;
begin
  Result := FSource.Read(Buffer, Count);
  P := @Buffer;
  for I := 0 to Result - 1 do
  begin
    case P[I] of
      #10:
        begin
          P[I] := ';';
          Inc(FColumn);
        end;
      ' ':
        if FColumn >= LineLimit then
        begin
          P[I] := #10;
          FColumn := 0;
        end
        else
          Inc(FColumn);
    else
      Inc(FColumn);
    end;
  end;
end;

var
  Sum: Int64;
  Lines: Int64;
%}
%token <Int64> NUMBER
%token NEWLINE PLUS MINUS STAR SLASH LPAREN RPAREN BAD
%type <Int64> expr
%left PLUS MINUS
%left STAR SLASH
%%
input : /* empty */
      | input line
      ;
line  : NEWLINE
      | expr NEWLINE           { Sum := Sum + $1; Inc(Lines); }
      ;
expr  : NUMBER                 { $$ := $1; }
      | expr PLUS expr         { $$ := $1 + $3; }
      | expr MINUS expr        { $$ := $1 - $3; }
      | expr STAR expr         { $$ := $1 * $3; }
      | expr SLASH expr        { $$ := $1 div $3; }
      | LPAREN expr RPAREN     { $$ := $2; }
      ;
%%
{$I tparithlex.pas}

var
  Source: TFileStream;
  Reader: TShortLines;
  TextBuffer: array[0..65535] of Char;
  Tokens: Int64;
  Token: Integer;
begin
  if (ParamCount < 1) or (ParamCount > 2) or ((ParamCount = 2) and (ParamStr(1) <> '--tokens')) then
  begin
    writeln(ErrOutput, 'usage: tparith [--tokens] FILE');
    halt(2);
  end;
  Source := TFileStream.Create(ParamStr(ParamCount), fmOpenRead or fmShareDenyWrite);
  Reader := TShortLines.Create(Source);
  AssignStream(yyinput, Reader);
  Reset(yyinput);
  SetTextBuf(yyinput, TextBuffer, SizeOf(TextBuffer));
  if ParamCount = 2 then
  begin
    Tokens := 0;
    repeat
      Token := yylex;
      if Token = BAD then
      begin
        writeln(ErrOutput, 'bad character');
        halt(1);
      end;
      if Token <> 0 then Inc(Tokens);
    until Token = 0;
    writeln('tokens: ', Tokens);
  end
  else
  begin
    if yyparse <> 0 then halt(1);
    writeln('lines: ', Lines);
    writeln('sum: ', Sum);
  end;
end.
