// pasLexer.g - the tokens of an Object Pascal subset: identifiers with keywords from the literal
// table (letter case ignored; "&" makes a keyword an identifier), numbers, hexadecimal numbers, quoted strings with control
// characters (#13), the three comment forms and the operators. k = 2 tells ":=" from ":", ".."
// from ".", "(*" from "(", "//" from "/" and a doubled quote inside a string from its end.
unit pasLexer;

lexer TPasLexer;

options {
   k = 2;
   caseSensitive = false;
   exportVocab = Pas;
}

tokens {
   "and"; "array"; "as"; "asm"; "begin"; "case"; "class"; "const"; "constructor";
   "destructor"; "div"; "do"; "downto"; "else"; "end"; "except"; "file"; "finalization";
   "finally"; "for"; "function"; "goto"; "if"; "implementation"; "in"; "inherited";
   "initialization"; "interface"; "is"; "label"; "library"; "mod"; "nil"; "not"; "object"; "of";
   "on"; "or"; "out"; "packed"; "procedure"; "program"; "property"; "raise"; "record";
   "repeat"; "resourcestring"; "set"; "shl"; "shr"; "string"; "then"; "threadvar"; "to"; "try";
   "type"; "unit"; "until"; "uses"; "var"; "while"; "with"; "xor";
   "private"; "protected"; "public"; "published"; "strict";
   "abstract"; "assembler"; "cdecl"; "dynamic"; "external"; "forward"; "inline"; "overload";
   "override"; "register"; "reintroduce"; "static"; "stdcall"; "virtual";
   "absolute"; "at"; "default"; "index"; "message"; "name"; "nodefault"; "read"; "stored"; "write";
}

public WS
   : ( ' '
     | '\t'
     | '\r' ( options { greedy = true; } : '\n' )? { newLine; }
     | '\n' { newLine; }
     )+
     { _ttype := TT_SKIP; }
   ;

public BRACE_COMMENT
   : '{' ( '\r' ( options { greedy = true; } : '\n' )? { newLine; } | '\n' { newLine; } | ~( '}' | '\r' | '\n' ) )* '}'
     { _ttype := TT_SKIP; }
   ;

public PAREN_COMMENT
   : "(*"
     ( options { greedy = false; }
     : '\r' ( options { greedy = true; } : '\n' )? { newLine; }
     | '\n' { newLine; }
     | ~( '\r' | '\n' )
     )*
     "*)"
     { _ttype := TT_SKIP; }
   ;

public LINE_COMMENT
   : "//" ( ~( '\r' | '\n' ) )* { _ttype := TT_SKIP; }
   ;

public IDENT
   options {
      testLiterals = true;
   }
   : ( '&' )? ( 'a'..'z' | '_' ) ( 'a'..'z' | '_' | '0'..'9' )*
   ;

// "1..9" is a subrange: a fraction needs a digit after its point.
public NUMBER
   : DIGITS ( ( '.' '0'..'9' ) => '.' DIGITS )? ( 'e' ( '+' | '-' )? DIGITS )?
   ;

protected DIGITS : ( '0'..'9' )+ ;

public HEX_NUMBER
   : '$' ( '0'..'9' | 'a'..'f' )+
   ;

public STRING
   : ( QUOTED | CONTROL_CHAR )+
   ;

protected QUOTED
   : '\'' ( "''" | ~( '\'' | '\r' | '\n' ) )* '\''
   ;

protected CONTROL_CHAR
   : '#' ( DIGITS | '$' ( '0'..'9' | 'a'..'f' )+ )
   ;

public ASSIGN    : ":=" ;
public COLON     : ':' ;
public DOTDOT    : ".." ;
public DOT       : '.' ;
public LE        : "<=" ;
public NOT_EQUAL : "<>" ;
public LT        : '<' ;
public GE        : ">=" ;
public GT        : '>' ;
public EQUAL     : '=' ;
public PLUS      : '+' ;
public MINUS     : '-' ;
public STAR      : '*' ;
public SLASH     : '/' ;
public LPAREN    : '(' ;
public RPAREN    : ')' ;
public LBRACK    : '[' ;
public RBRACK    : ']' ;
public CARET     : '^' ;
public AT        : '@' ;
public COMMA     : ',' ;
public SEMI      : ';' ;
