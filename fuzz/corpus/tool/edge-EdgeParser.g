// Parser shapes whose generated text must still compile: predicates on lone alternatives, an
// inverted subrule, an empty alternative between others, a block made only of predicated
// alternatives, an alternative with a finally handler, and rule names and labels that are reserved
// words in Pascal.
unit EdgeParser;
parser TEdgeParser;
options { k = 2; importVocab = EdgeLexer; }

single : ( MARK )=> MARK ;
superfluous : ( ( OPT )=> OPT ) GUARD ;
inverted : ~( OPT | MARK ) GUARD ;
gaps : ( OPT | | MARK ) GUARD ;
allpred : ( OPT MARK )=> OPT MARK | ( OPT GUARD )=> OPT GUARD ;
handled : OPT finally { WriteLn('done'); } | MARK ;
file : end:GUARD set ;
set : MARK ;
