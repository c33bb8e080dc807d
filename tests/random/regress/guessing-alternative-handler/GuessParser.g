// An alternative with an exception handler, inside a loop, tried by a syntactic predicate. While
// guessing, the handler does not run and the failure must reach the predicate: swallowed, the
// loop in "list" went round for ever on "a c" without consuming anything.
unit GuessParser;
parser TGuessParser;
options { importVocab = Guess; }

memberdecl {
   public
      Handled: Integer;
}

start : ( ( list )=> list | A )* EOF ;
list : ( item except { Inc(Handled); raise; } )* C ;
// Fails on "a" unless a "b" or a "c" follows: no alternative applies, before anything is consumed.
item : { LA(2) = TT_B }? A B | { LA(2) = TT_C }? A C ;
