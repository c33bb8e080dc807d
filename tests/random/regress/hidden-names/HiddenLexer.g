// Rule methods and labels of a lexer that would hide what the generated code calls: "mArk" is the
// runtime's mark, a label "pCreate" the rule's parameter.
unit HiddenLexer;
lexer THiddenLexer;
options { exportVocab = HiddenBad; }

Ark : 'a' ;
B : pCreate:'b' ;
ID : 'i' ;
