// kivGraphDump.h - a readable text form of the element graph, one element per line, for tests and
// for looking at what the grammar maker built.
#pragma once

#include <string>

#include "engine/kivGraph.h"
#include "engine/kivModel.h"

namespace kiv {

// Note [graph dump format]: a rule reads
//
//   rule expr #12 args=[int x] labels=a,b loops=#14
//     alt 1
//       INT <5>
//       ( #13 label=op
//         alt 1
//           "+" <6>
//           a=op:expr[x]
//           [BlkEnd #13]
//         alt 2 noast
//           [BlkEnd #13]
//       )
//       [RuleEnd expr]
//
// Each element is its diagnostic text form (without the leading blank), followed by the token
// type for atoms and by "!" or "^" for a non-default AST mode. A block opens with "(" and its
// number and closes with ")" and its kind ("+", "*", "=>"); every end marker names the block or
// rule it ends, so shared ends are visible. Alternatives show their predicates ("sempred=",
// "synpred" followed by the predicate block), handlers and a disabled tree flag. Only values that
// differ from their defaults are printed, and no source positions: dumps stay stable when a
// grammar's layout changes.
//
// Block numbers are process-wide (they name the generated loop counters), so the same grammar gets
// other numbers in another run. RelativeToRule prints every number as its distance from the rule
// block's own, which is the same in every run.
enum class DumpIdKind { Absolute, RelativeToRule };

std::string DumpRule(IkivRuleBlock& Rule, DumpIdKind Ids = DumpIdKind::Absolute);

// Every rule of the grammar that has a block, in definition order, separated by empty lines.
std::string DumpGrammar(IkivGrammar& Grammar, DumpIdKind Ids = DumpIdKind::Absolute);

} // namespace kiv
