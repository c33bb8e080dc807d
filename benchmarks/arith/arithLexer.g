// arithLexer.g - the tokens of arithmetic expressions written one per line.
// Exports its vocabulary as "Arith" for the evaluator grammar.
unit arithLexer;

lexer TArithLexer;

options {
   k = 1;
   exportVocab = Arith;
}

public WS
   : ( ' ' | '\t' )+ { _ttype := TT_SKIP; }
   ;

public NEWLINE
   : ( '\r' ( options { greedy = true; } : '\n' )? | '\n' ) { newLine; }
   ;

public NUMBER   : ( '0'..'9' )+ ;

public PLUS     : '+' ;
public MINUS    : '-' ;
public STAR     : '*' ;
public SLASH    : '/' ;
public LPAREN   : '(' ;
public RPAREN   : ')' ;
