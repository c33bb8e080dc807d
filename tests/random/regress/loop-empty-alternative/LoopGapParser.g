// A parser whose loops hold an empty alternative. Each loop ends when its other alternatives do
// not apply; a (...)+ with an empty alternative may match nothing at all.
unit LoopGapParser;
parser TLoopGapParser;
options { importVocab = LoopGap; }

star : ( A | )* B EOF ;
plus : ( | A )+ B EOF ;
empty : ( | )+ ( )* B EOF ;
