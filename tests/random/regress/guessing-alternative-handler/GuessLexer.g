// Tokens for the guessing parser.
unit GuessLexer;
lexer TGuessLexer;
options { exportVocab = Guess; }

WS : ' ' { _ttype := TT_SKIP; } ;
A : 'a' ;
B : 'b' ;
C : 'c' ;
