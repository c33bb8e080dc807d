// Rules whose FOLLOW sets include each other in a cycle of three: r ends in a reference to i, i
// in one to p, p in ones to i and r. The exit of (i)? asks for FOLLOW(r) first, which passes
// through FOLLOW(p) to FOLLOW(i) while both are under way. All three FOLLOW sets are {A}, and
// the alternative F of i is chosen on the token after F being in FOLLOW(i).
unit CycleParser;
parser TCycleParser;
options { importVocab = Cycle; k = 2; }

s : r A EOF ;
p : C i | D r ;
r : B ( i )? ;
i : E p | F | F G ;
