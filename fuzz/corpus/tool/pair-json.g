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

%%
// jsonParser.g - recognises one JSON value and counts the values of each kind it contains.
unit jsonParser;

parser TJsonParser;

options {
   k = 1;
   importVocab = Json;
}

memberdecl {
   public
      Objects, Arrays, Strings, Numbers, Literals, Members: integer;
      function Values: integer;
}

public document
   : value EOF
   ;

value
   : object
   | array
   | STRING   { Inc( Strings); }
   | NUMBER   { Inc( Numbers); }
   | ( "true" | "false" | "null" ) { Inc( Literals); }
   ;

object
   : LBRACE { Inc( Objects); }
     ( member ( COMMA member )* )?
     RBRACE
   ;

member
   : STRING COLON value { Inc( Members); }
   ;

array
   : LBRACKET { Inc( Arrays); }
     ( value ( COMMA value )* )?
     RBRACKET
   ;

memberdef {
function TJsonParser.Values: integer;
begin
   result := Objects + Arrays + Strings + Numbers + Literals;
end;
}
