// A lexer whose loops hold an empty alternative: the empty alternative is the way out of the loop.
unit LoopGapLexer;
lexer TLoopGapLexer;
options { exportVocab = LoopGap; }

WS : ' ' { _ttype := TT_SKIP; } ;
A : 'a' ;
B : 'b' ;
// "x", any number of "y", any number of "z" (the empty alternative makes the (...)+ optional), ";".
T : 'x' ( 'y' | )* ( 'z' | )+ ( )* ';' ;
