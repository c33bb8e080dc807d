// A reference to a missing rule inside a loop that needs deep lookahead: every depth and every
// path through the loop passes the reference again, yet it is reported once (with the
// generator's own reports of the rule and the reference).
unit DeepUndefined;
lexer TDeepUndefined;
options { k = 10; }

WS : ( ' ' | '\r' ( '\n' )? | '\n' MISSING )+ ;
SEMI : ';' ;
