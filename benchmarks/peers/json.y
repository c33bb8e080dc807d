/* json.y - bison parser of one JSON value that counts the values it holds, as the KIV example
 * examples/json does (member names are not values).
 *
 *   json FILE           parse and print the value count
 *   json --tokens FILE  only run the flex scanner and print the token count */
%{
#include <stdio.h>
#include <string.h>
int yylex(void);
extern FILE *yyin;
extern int yylineno;
static void yyerror(const char *Message) { fprintf(stderr, "line %d: %s\n", yylineno, Message); }
static long Objects, Arrays, Strings, Numbers, Literals, Members;
%}
%token STRING NUMBER TRUE_ FALSE_ NULL_ BAD
%%
document : value ;
value    : object
         | array
         | STRING                 { ++Strings; }
         | NUMBER                 { ++Numbers; }
         | TRUE_                  { ++Literals; }
         | FALSE_                 { ++Literals; }
         | NULL_                  { ++Literals; }
         ;
object   : '{' '}'                { ++Objects; }
         | '{' members '}'        { ++Objects; }
         ;
members  : member
         | members ',' member
         ;
member   : STRING ':' value       { ++Members; }
         ;
array    : '[' ']'                { ++Arrays; }
         | '[' elements ']'       { ++Arrays; }
         ;
elements : value
         | elements ',' value
         ;
%%
int main(int argc, char **argv) {
  int Tokens = argc == 3 && strcmp(argv[1], "--tokens") == 0;
  if (argc != 2 + Tokens) {
    fprintf(stderr, "usage: json [--tokens] FILE\n");
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
  printf("values: %ld\n", Objects + Arrays + Strings + Numbers + Literals);
  return 0;
}
