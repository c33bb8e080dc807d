// A lexer of the optimized form whose loops are runs and whose string rule tests few branches
// against many labels: white space with tabs as one run, an optional run of digits, a string
// body chosen through a class table of the rule.
unit WsRunLexer;
lexer TWsRunLexer;
options { optimize = true; }

WS : ( ' ' | '\t' )+ { _ttype := TT_SKIP; } ;
NL : '\n' { newLine; } ;
NUM : '1'..'9' ( '0'..'9' )* ;
STR : '"' ( ESC | ~( '"' | '\\' | '\r' | '\n' ) )* '"' ;
protected ESC : '\\' ( '"' | '\\' | 'n' | 't' ) ;
