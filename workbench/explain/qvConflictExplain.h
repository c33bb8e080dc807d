// qvConflictExplain.h
// Explaining one listed nondeterminism report on a grammar's current text: the analysis is run
// on a copy of the text (nothing is written), the report is found again among the ones it makes,
// and the explainer (engine/explain) answers while the element graph is there. Besides the
// explanation the outcome holds where the two branches stand in the text and the witness as text
// to type. Thread-safe: it touches nothing but its arguments (and the engine's run lock).
#pragma once

#include <QString>
#include <cstddef>
#include <string>

#include "engine/explain/kivExplanation.h"

namespace kiv {

// A stretch of the explained text, as byte offsets; empty when unknown.
struct ByteSpan {
  std::size_t begin = 0;
  std::size_t end = 0;
  bool IsEmpty() const { return end <= begin; }
};

// The report to explain and the grammar it is about.
struct ExplainRequest {
  std::string text;  // the grammar file's bytes (the editor's text, unsaved changes included)
  QString name;      // the module's name, as builds give it to the generator
  QString exchangeDir;
  QString caption;   // the report as the message list shows it: name "(" line "):" text
  int column = 0;    // the column the build gave it (0 when unknown)
};

enum class ExplainOutcomeKind {
  Explained,
  NotReported,    // the text as it stands no longer makes this report
  GrammarErrors,  // the text has errors, so there is nothing to analyse
  Failed,         // the generator threw
};

struct ExplainOutcome {
  ExplainOutcomeKind kind = ExplainOutcomeKind::Failed;
  QString message;  // why there is no explanation; the first error for GrammarErrors
  Explanation explanation;
  // Where the report stands in the text explained (the line may differ from the caption's after
  // edits above it).
  int line = 0;
  // The first and the second branch in the text: an alternative's elements, or for an empty
  // alternative and a loop's exit the block's closing bracket with its operator.
  ByteSpan first;
  ByteSpan second;
  // The input prefix and the witness as text to type: characters of a lexer; in a parser the
  // literals' spelling and the names of the other tokens.
  QString sample;
};

ExplainOutcome ExplainReport(const ExplainRequest& request);

// The end of the alternative that starts at `from` in grammar text: the offset of the `|`, `)`
// or `;` that closes it at its own nesting level, skipping strings, character literals, actions,
// arguments and comments; the text's size when none does.
std::size_t AlternativeEnd(const std::string& text, std::size_t from);

// The byte offset of a 1-based line and column in `text` (CR LF, CR and LF end lines); the
// text's size past its end.
std::size_t OffsetOf(const std::string& text, int line, int column);

}  // namespace kiv
