// The lexer of a small calculator. Its keywords come from the tokens section, one of them under
// a name of its own that the parser uses.
unit CalcLexer;
lexer TCalcLexer;
tokens { KW_PRINT = "print"; "let"; }

WS : ( ' ' | '\t' | '\r' | '\n' { newLine; } )+ { _ttype := TT_SKIP; } ;
ID options { testLiterals = true; } : ( 'a'..'z' | 'A'..'Z' ) ( 'a'..'z' | 'A'..'Z' | '0'..'9' )* ;
NUM : ( '0'..'9' )+ ;
PLUS : '+' ;
MINUS : '-' ;
STAR : '*' ;
LPAREN : '(' ;
RPAREN : ')' ;
SEMI : ';' ;
ASSIGN : '=' ;
