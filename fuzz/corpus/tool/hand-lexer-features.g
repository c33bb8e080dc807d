unit FeatLexer;
uses { SysUtils; Classes; }
const { cMax = 10; }
type { TPair = record a, b: integer; end; }
lexer TFeatLexer;
options {
   k = 3;
   caseSensitive = false;
   testLiterals = true;
   exportVocab = Feat;
}
tokens {
   BEGIN_KW = "begin";
   END_KW = "end";
   "while";
   IMAGINARY;
}
memberdecl { private fCount: integer; }
public WS : ( ' ' | '\t' | '\r' '\n' { newLine; } | '\n' { newLine; } )+ { _ttype := TT_SKIP; } ;
public ID options { testLiterals = true; } : ( 'a'..'z' | '_' ) ( 'a'..'z' | '0'..'9' | '_' )* ;
public NUM : ( DIGIT )+ ( '.' ( DIGIT )+ )? | '$' ( HEX )+ ;
protected DIGIT : '0'..'9' ;
protected HEX : DIGIT | 'a'..'f' ;
public STR : '\'' ( ~( '\'' | '\n' ) | '\'' '\'' )* '\'' ;
public OP : ":=" | ':' | ( '<' '>' )=> "<>" | '<' ( '=' )? | '>' ( '=' )? | '\x41' | '\\' | '\"' ;
public CMT : "(*" ( options { greedy = false; } : '\r' '\n' { newLine; } | . )* "*)" { _ttype := TT_SKIP; } ;
private SEMPRED : { fCount > 0 }? 'x' | 'y' ;
memberdef { }
