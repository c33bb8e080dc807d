// References to a rule that is not defined, a value taken from a rule without a result and
// arguments passed to a rule without parameters. The unit is still written.
unit Undefined;
lexer TUndefined;

WORD local { n: Integer; } : n=LETTER ( LETTER )* MISSING ;
NUM : DIGIT["x"] ;
protected LETTER : 'a'..'z' ;
protected DIGIT : '0'..'9' ;
