// Rule methods and labels of a parser that would hide what the generated code calls: a rule
// "break" would be called where a loop should end, a label "tt_id" would stand for the token type,
// and a label named like a rule that its own rule calls would stand for the method.
unit HiddenParser;
parser THiddenParser;
options { importVocab = Hidden; }

list : ( break )* EOF ;
break : ID ;
match : tt_id:ID ;
item : item2:ID item2 ;
item2 : ID ;
// Also when the rule calls it only inside a syntactic predicate.
guess : item3:ID ( ( item3 ID )=> ID ID | ID ) ;
item3 : ID ;
// A label named like a rule that its rule does not call hides nothing.
other : item:ID ;
