// Filter rules the lexer cannot use: one that does not exist, reported without a position.
unit BadFilter;
lexer TBadFilter;
options { filter = MISSING; }

WORD : ( 'a'..'z' )+ ;
