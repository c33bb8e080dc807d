// Brackets around a name.
unit NestLexer;
lexer TNestLexer;
options { exportVocab = Nest; }

LP : '(' ;
RP : ')' ;
X : 'x' ;
