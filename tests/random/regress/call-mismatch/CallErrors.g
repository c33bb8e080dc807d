// Calls that cannot be written: a rule that needs arguments is called without them, and a label
// takes the name of the results.
unit CallErrors;
parser TCallErrors;
options { importVocab = Call; }

start : needs result:A EOF ;
needs [p: Integer] : NUM ;
