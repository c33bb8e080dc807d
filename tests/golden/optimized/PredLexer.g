// The lexer of the predicates feature in the optimized form: case dispatch on LA(1), runs of
// characters scanned at once.
unit PredLexer;
lexer TPredLexer;
options { optimize = true; }

WS : ( ' ' | '\n' { newLine; } )+ { _ttype := TT_SKIP; } ;
ID : ( 'a'..'z' )+ ;
NUM : ( '0'..'9' )+ ;
ASSIGN : '=' ;
LPAREN : '(' ;
RPAREN : ')' ;
COMMA : ',' ;
COLON : ':' ;
SEMI : ';' ;
PLUS : '+' ;
STAR : '*' ;
