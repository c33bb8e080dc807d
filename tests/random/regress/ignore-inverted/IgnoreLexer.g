// A rule with an ignore rule and an inverted subrule: blanks may follow every literal of the rule,
// but not the members of the "~( ... )" set, which stays a set of single characters.
unit IgnoreLexer;
lexer TIgnoreLexer;

protected BLANKS : ( ' ' )+ ;

WORD
   options { ignore = BLANKS; }
   : 'w' ~( 'x' | '0'..'9' | "y" ) 'z'
   ;
