// The lexer feature's grammar in the optimized form.
// A case-insensitive lexer with keywords from its tokens section, literals that need escaping in
// Pascal, labels on characters and on rule references, suppressed characters and a non-greedy
// comment loop.
unit WordLexer;
lexer TWordLexer;
options { k = 2; caseSensitive = false; testLiterals = true; optimize = true; }
tokens { "begin"; "end"; KW_IF = "if"; }

WS : ( ' ' | '\t' | '\r' | '\n' { newLine; } )+ { _ttype := TT_SKIP; } ;
COMMENT : "(*" ( options { greedy = false; } : ( '\n' { newLine; } | ~'\n' ) )* "*)" { _ttype := TT_SKIP; } ;
ID : first:LETTER ( LETTER | DIGIT | '_' )* ;
NUM : ( d:DIGIT )+ ;
STR : '\''! ( ~( '\'' | '\n' | '\r' ) )* '\''! ;
TICK : "`'`" ;
TAB_BAR : "\t|" ;
NE : "<>" ;
LESS : l:'<' ;
PLUS : '+' ;
protected LETTER : 'a'..'z' ;
protected DIGIT : d:'0'..'9' ;
