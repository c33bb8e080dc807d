// A lexer of the optimized form whose loops are runs and whose string rule tests few branches
// against many labels: white space with tabs as one run, an optional run of digits, a string
// body chosen through a class table of the rule. White space is skipped by the dispatch itself;
// a run of semicolons, skipped only under a condition of its own, is left to its rule.
unit WsRunLexer;
lexer TWsRunLexer;
options { optimize = true; }

WS : ( ' ' | '\t' )+ { _ttype := TT_SKIP; } ;
NL : '\n' { newLine; } ;
NUM : '1'..'9' ( '0'..'9' )* ;
STR : '"' ( ESC | ~( '"' | '\\' | '\r' | '\n' ) )* '"' ;
protected ESC : '\\' ( '"' | '\\' | 'n' | 't' ) ;
SEMIS : ( ';' )+ { if _textLength > 1 then _ttype := TT_SKIP; } ;
