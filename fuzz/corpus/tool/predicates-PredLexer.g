// PredLexer.g - the tokens of a small statement language; "type" is a keyword.
unit PredLexer;

lexer TPredLexer;

options {
   exportVocab = Pred;
}

tokens {
   "type";
}

public WS : ( ' ' | '\n' { newLine; } )+ { _ttype := TT_SKIP; } ;

public ID
   options { testLiterals = true; }
   : ( 'a'..'z' | 'A'..'Z' ) ( 'a'..'z' | 'A'..'Z' | '0'..'9' )*
   ;

public NUMBER : ( '0'..'9' )+ ;

public DOT    : '.' ;
public ASSIGN : '=' ;
public SEMI   : ';' ;
public PLUS   : '+' ;
public MINUS  : '-' ;
public SLASH  : '/' ;
public LPAREN : '(' ;
public RPAREN : ')' ;
