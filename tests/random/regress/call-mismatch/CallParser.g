// A value taken from a rule without a result and arguments passed to a rule without parameters:
// kiv warns, and the call leaves out what the rule cannot take.
unit CallParser;
parser TCallParser;
options { importVocab = Call; }

memberdecl {
   public
      Calls: Integer;
}

start local { x: Integer; } : x=first second[3] EOF ;
first : A { Inc(Calls); } ;
second : NUM { Inc(Calls); } ;
