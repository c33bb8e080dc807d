// Shapes whose generated text must still compile: const and type sections, a rule with arguments
// and a result, handlers of a rule and of a lone alternative, a default branch that comes first in
// the grammar, a predicate on a branch without lookahead, and a token rule that can match nothing.
unit EdgeLexer;
const { MaxCount = 3; }
type { TCount = 0..MaxCount; }
lexer TEdgeLexer;
options { k = 2; }

OPT : ( 'a' )* ;
MARK : 'm' ( { newLine; } | 'n' ) ;
PICK : 'p' ( { InputState.Column > 5 }? { newLine; } | 'z' ) ;
protected COUNT [Limit: TCount] returns [Integer] : '0'..'9' { result := Limit; } ;
USE local { n: Integer; } : '$' n=COUNT[2] ;
CAREFUL : 'c' 'd' except { reportError(e); } ;
GUARD : 'g' ;
except { reportError(e); }
