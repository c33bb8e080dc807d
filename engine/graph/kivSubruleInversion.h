// kivSubruleInversion.h - whether an inverted subrule ~(...) can be built as one set match.
// The LL(k) analyzer answers CanInvertSubrule with this test; the grammar maker asks the analyzer.
#pragma once

#include "engine/kivGraph.h"

namespace kiv {

// False for loops, predicate blocks and blocks without alternatives. Otherwise true when the
// block's AST mode is the default and every alternative is a single element directly followed by
// the block end, with no predicate and no handler, and that element is a character literal,
// character range, token reference or token range - or a string literal when ForLexer is true.
bool CanInvertSubrule(IkivAlternativeBlock& Block, bool ForLexer);

} // namespace kiv
