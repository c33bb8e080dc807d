// NestLexer.g - nested comments, a string with a wildcard loop and words, for input that tries to
// break a lexer: comments nested deeper than the stack allows, and zero bytes. Exports its
// vocabulary for NestParser.
unit NestLexer;

lexer TNestLexer;

options {
   k = 1;
   exportVocab = Nest;
}

public WS
   : ( ' ' | '\t' | '\n' { newLine; } )+
     { _ttype := TT_SKIP; }
   ;

// { ... { ... } ... }: a rule that calls itself once per level.
public COMMENT
   : '{' ( COMMENT | '\n' { newLine; } | ~( '{' | '}' | '\n' ) )* '}'
     { _ttype := TT_SKIP; }
   ;

// Anything up to the closing quote, the wildcard included.
public STRING
   : '"' ( options { greedy = false; } : . )* '"'
   ;

public WORD     : ( 'a'..'z' )+ ;
public LPAREN   : '(' ;
public RPAREN   : ')' ;
public SEMI     : ';' ;
