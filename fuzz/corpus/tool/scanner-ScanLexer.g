// ScanLexer.g - a k=2 lexer whose token rules share prefixes.
// The dispatch tests the two-character operators before the one-character ones;
// a syntactic predicate keeps "1..5" apart from "1.5"; "!" drops quotes and
// ignored characters from token texts; a protected rule takes a base and
// returns the value it read.
unit ScanLexer;

lexer TScanLexer;

options {
   k = 2;
}

tokens {
   "if";
   "then";
}

public WS
   : ( ' ' | '\t' | '\r' '\n' { newLine; } | '\n' { newLine; } )+
     { _ttype := TT_SKIP; }
   ;

public COMMENT
   : "/*" ( options { greedy = false; } : '\n' { newLine; } | . )* "*/"
     { _ttype := TT_SKIP; }
   ;

public SLASH : '/' ;
public LT    : '<' ;
public LE    : "<=" ;
public NE    : "<>" ;
public SHL   : "<<" ;
public DOT   : '.' ;
public RANGE : ".." ;

public NUMBER
   local { v: Integer; }
   : ( '0'..'9' )+ ( ( '.' '0'..'9' )=> '.' ( '0'..'9' )+ )?
   | '$'! v=HEXVAL[16] { TokenText := IntToStr( v); }
   ;

protected HEXVAL [pBase: Integer] returns [Integer]
   { result := 0; }
   : ( d:HEXDIGIT { result := result * pBase + Pos( UpCase( d.TokenText[1]), '0123456789ABCDEF') - 1; } )+
   ;

protected HEXDIGIT : '0'..'9' | 'a'..'f' | 'A'..'F' ;

public ID
   options { testLiterals = true; }
   : ( 'a'..'z' | 'A'..'Z' | '_' ) ( 'a'..'z' | 'A'..'Z' | '_' | '0'..'9' )*
   ;

public STRING
   : '"'! ( ESC | ~( '"' | '\\' | '\n' ) )* '"'!
   ;

protected ESC
   : '\\'! ( 'n'! { TokenText := TokenText + #10; } | '"' | '\\' )
   ;

public CHAR : '\''! ~'\'' '\''! ;

public TAG : '@' DASHES! ID ;

protected DASHES : ( '-' )* ;
