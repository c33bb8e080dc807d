// Tokens for the call parsers; NUM calls a protected rule the wrong ways, which kiv warns about
// and leaves out of the call.
unit CallLexer;
lexer TCallLexer;
options { exportVocab = Call; }

WS : ' ' { _ttype := TT_SKIP; } ;
A : 'a' ;
NUM local { n: Integer; } : n=DIGIT ( DIGIT[7] )* ;
protected DIGIT : '0'..'9' ;
