// jsonLexer.g - the tokens of JSON text (RFC 8259), with the three keyword literals in the literal table.
unit jsonLexer;

lexer TJsonLexer;

options {
   k = 2;
   exportVocab = Json;
}

tokens {
   "true";
   "false";
   "null";
}

public WS
   : ( ' '
     | '\t'
     | '\r' ( options { greedy = true; } : '\n' )? { newLine; }
     | '\n' { newLine; }
     )+
     { _ttype := TT_SKIP; }
   ;

public LBRACE   : '{' ;
public RBRACE   : '}' ;
public LBRACKET : '[' ;
public RBRACKET : ']' ;
public COLON    : ':' ;
public COMMA    : ',' ;

public WORD
   options {
      testLiterals = true;
   }
   : ( 'a'..'z' )+
   ;

public STRING
   : '"' ( ESCAPE | ~( '"' | '\\' | '\r' | '\n' ) )* '"'
   ;

protected ESCAPE
   : '\\'
     ( '"' | '\\' | '/' | 'b' | 'f' | 'n' | 'r' | 't'
     | 'u' HEX HEX HEX HEX
     )
   ;

protected HEX : '0'..'9' | 'a'..'f' | 'A'..'F' ;

public NUMBER
   : ( '-' )? ( '0' | '1'..'9' ( '0'..'9' )* )
     ( '.' ( '0'..'9' )+ )?
     ( ( 'e' | 'E' ) ( '+' | '-' )? ( '0'..'9' )+ )?
   ;
