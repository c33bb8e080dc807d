// calcLexer.g - the tokens of a small calculator language.
// Exports its vocabulary as "Calc" so that the parser grammar can import the token types.
unit calcLexer;

lexer TCalcLexer;

options {
   k = 2;
   exportVocab = Calc;
}

public WS
   : ( ' '
     | '\t'
     | '\r' ( options { greedy = true; } : '\n' )? { newLine; }
     | '\n' { newLine; }
     )+
     { _ttype := TT_SKIP; }
   ;

public COMMENT
   : "//" ( ~( '\n' | '\r' ) )* { _ttype := TT_SKIP; }
   ;

public NUMBER   : ( DIGIT )+ ;

protected DIGIT : '0'..'9' ;

public ID
   : ( 'a'..'z' | 'A'..'Z' | '_' ) ( 'a'..'z' | 'A'..'Z' | '_' | '0'..'9' )*
   ;

public PLUS     : '+' ;
public MINUS    : '-' ;
public STAR     : '*' ;
public SLASH    : '/' ;
public PERCENT  : '%' ;
public LPAREN   : '(' ;
public RPAREN   : ')' ;
public ASSIGN   : '=' ;
public SEMI     : ';' ;
