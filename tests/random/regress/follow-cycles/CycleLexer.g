// The tokens of CycleParser.g.
unit CycleLexer;
lexer TCycleLexer;
options { exportVocab = Cycle; }

WS : ' ' { _ttype := TT_SKIP; } ;
A : 'a' ;
B : 'b' ;
C : 'c' ;
D : 'd' ;
E : 'e' ;
F : 'f' ;
G : 'g' ;
