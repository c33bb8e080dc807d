// In a lexer a label of a character holds the character and a label of a rule reference holds
// the rule's token: one label cannot stand for both.
unit LabelClash;
lexer TLabelClash;

A : x:'a' x:B ( x:'c' )? ;
protected B : 'b' ;
