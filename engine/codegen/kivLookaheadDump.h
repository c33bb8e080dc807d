// kivLookaheadDump.h - a plain-text listing of what the LL(k) analyzer decides for every block of a
// grammar, for golden tests of the analyzer and for looking at a grammar's conflicts.
#pragma once

#include <string>

#include "engine/kivModel.h"

namespace kiv {

// Note [lookahead dump format]: the dump checks every block with the grammar's analyzer in the
// order the code generator reaches them (each rule in definition order: the rule block, then the
// blocks inside each alternative, a syntactic predicate before its alternative's elements, outer
// before inner; for a lexer grammar the token-dispatch rule "NextToken" last) and lists, per rule:
//
//   rule expr
//     rule line 4 nondeterministic
//       alt 1 depth nondeterministic
//         k=1 TT_ID
//         k=2 TT_PLUS,TT_MINUS
//       alt 2 depth 2
//         ...
//     loop* line 5
//       alt 1 depth 1
//         k=1 TT_PLUS
//       exit depth 1
//         k=1 TT_RPAREN
//     FIRST k=1 TT_ID
//     FOLLOW k=1 TT_EOF
//
// A block line gives its kind ("rule", "block", "loop+", "loop*", "synpred"), "inverted" for ~(...),
// its line and "nondeterministic" when its check failed. Every filled cache entry is listed
// with its depth; sets print in the diagnostic text form of lookahead sets (token names in parser
// grammars, characters in lexer grammars, "+ <epsilon>", the cycle and the epsilon depths), and an
// empty member set with nothing else prints "<empty>". FIRST lists the rule's filled FIRST cache
// entries; FOLLOW is computed for every depth 1..k after all blocks were checked. Block numbers are
// not printed: they grow across runs, the dump must not.
//
// The grammar's analyzer does the work, so the grammar must have one. The dump fills the graph's
// caches and, in a lexer grammar, builds the token-dispatch rule, as generation would: run it
// instead of generation, once per parsed grammar. Diagnostics go to the grammar's tool.
std::string DumpLookahead(IkivGrammar& Grammar);

// Checks every block as the dump does, without the listing; answers how many blocks were found
// nondeterministic (-1 when the grammar has no analyzer). Conflicts are reported to the grammar's
// tool as usual.
int AnalyzeGrammar(IkivGrammar& Grammar);

} // namespace kiv
