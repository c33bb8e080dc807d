// kivDiagnostic.h - a diagnostic as its parts (kind, file, line, column, text), for front ends
// that print a form of their own beside the positioned line of the error handler.
#pragma once

#include <string>

class IkivGrammar;
class IkivAlternativeBlock;

namespace kiv {

enum class DiagnosticKind {
  Error,
  Warning,
  // A line that belongs to the diagnostic before it (the lookahead lines of a nondeterminism
  // report); its text is printed as it stands.
  Continuation,
};

struct Diagnostic {
  DiagnosticKind Kind = DiagnosticKind::Error;
  std::string FileName;  // the name the tool was given; empty for a line without a position
  int Line = 0;          // 0 without a position
  int Column = 0;        // 0 when not known
  std::string Text;
};

// Told every diagnostic of a run as it is reported, in the order of the handler's lines (the empty
// line before a nondeterminism report has no counterpart here).
class DiagnosticListener {
public:
  virtual ~DiagnosticListener() = default;
  virtual void OnDiagnostic(const Diagnostic& D) = 0;
};

// Told the decision of every nondeterminism report right after the report's lines: the grammar being
// built, the block, and its two alternatives (0-based; AltB is -1 for the loop's exit), so that a
// front end can explain it (engine/explain) while the graph is there.
class NondeterminismListener {
public:
  virtual ~NondeterminismListener() = default;
  virtual void OnNondeterminism(IkivGrammar& Grammar, IkivAlternativeBlock& Block, int AltA, int AltB) = 0;
};

} // namespace kiv
