// LoopLexer.g - the tokens of a small statement language; its keywords are literals.
unit LoopLexer;

lexer TLoopLexer;

options {
   k = 1;
   exportVocab = Loop;
}

tokens {
   "if"; "then"; "else"; "return"; "import"; "use"; "note"; "end"; "raw"; "level";
   "low"; "mid"; "high";
}

public WS : ( ' ' | '\n' { newLine; } )+ { _ttype := TT_SKIP; } ;

public ID
   options { testLiterals = true; }
   : ( 'a'..'z' | 'A'..'Z' ) ( 'a'..'z' | 'A'..'Z' | '0'..'9' )*
   ;

public NUMBER : ( '0'..'9' )+ ;
public DOT    : '.' ;
public STAR   : '*' ;
public COMMA  : ',' ;
public SEMI   : ';' ;
public PLUS   : '+' ;
