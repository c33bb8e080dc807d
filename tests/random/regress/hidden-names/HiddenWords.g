// The tokens the parser imports, from a lexer that builds (a lexer with errors writes nothing).
unit HiddenWords;
lexer THiddenWords;
options { exportVocab = Hidden; }

Ark2 : 'a' ;
B : 'b' ;
ID : 'i' ;
