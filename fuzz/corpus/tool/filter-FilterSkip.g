// A filtering lexer without a filter rule: characters no rule starts with are dropped one by one.
unit FilterSkip;
lexer TFilterSkip;
options { filter = true; }

WORD : ( 'a'..'z' )+ ;
PAIR : "<>" ;
