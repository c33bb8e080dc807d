// The lexer for the predicate parser.
unit PredLexer;
lexer TPredLexer;

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
