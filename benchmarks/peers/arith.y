/* arith.y - bison evaluator of arithmetic expressions, one a line, on 64-bit integers ("/"
 * truncates toward zero); prints the number of lines and the sum of their values.
 *
 *   arith FILE           evaluate and print the sum
 *   arith --tokens FILE  only run the flex scanner and print the token count */
%{
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#define YYSTYPE long long
int yylex(void);
extern FILE *yyin;
extern int yylineno;
static void yyerror(const char *Message) { fprintf(stderr, "line %d: %s\n", yylineno, Message); }
static long long Sum;
static long Lines;
%}
%token NUMBER BAD
%left '+' '-'
%left '*' '/'
%%
input : %empty
      | input line
      ;
line  : '\n'
      | expr '\n'           { Sum += $1; ++Lines; }
      ;
expr  : NUMBER
      | expr '+' expr       { $$ = $1 + $3; }
      | expr '-' expr       { $$ = $1 - $3; }
      | expr '*' expr       { $$ = $1 * $3; }
      | expr '/' expr       { if ($3 == 0) { yyerror("division by zero"); YYABORT; } $$ = $1 / $3; }
      | '(' expr ')'        { $$ = $2; }
      ;
%%
int main(int argc, char **argv) {
  int Tokens = argc == 3 && strcmp(argv[1], "--tokens") == 0;
  if (argc != 2 + Tokens) {
    fprintf(stderr, "usage: arith [--tokens] FILE\n");
    return 2;
  }
  yyin = fopen(argv[argc - 1], "rb");
  if (!yyin) { perror(argv[argc - 1]); return 2; }
  if (Tokens) {
    long Count = 0;
    int T;
    while ((T = yylex()) != 0) {
      if (T == BAD) { fprintf(stderr, "line %d: bad character\n", yylineno); return 1; }
      ++Count;
    }
    printf("tokens: %ld\n", Count);
    return 0;
  }
  if (yyparse() != 0) return 1;
  printf("lines: %ld\nsum: %lld\n", Lines, Sum);
  return 0;
}
