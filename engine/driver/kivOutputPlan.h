// kivOutputPlan.h - which files a grammar's build would write, found without writing anything, so
// that a build of several grammars can refuse two that would write the same file.
#pragma once

#include <string>
#include <vector>

namespace kiv {

struct GrammarOutputs {
  std::string Name;       // the grammar's name as the build reports it (its file name's stem)
  std::string InputPath;  // the grammar file
  std::vector<std::string> Files;  // vocabulary file, token-types unit, recognizer unit
};

// Reads the grammar's header and options (unit name, export vocabulary) and names the three
// files a build into OutputDir and ExchangeDir would write. A text too broken to name them gives
// no files: its own build reports why.
GrammarOutputs PlanOutputs(const std::string& Text, const std::string& Name, const std::string& InputPath,
                           const std::string& OutputDir, const std::string& ExchangeDir);

// One file that a grammar would write although an earlier grammar writes it too, or although it
// is the file of a grammar being built.
struct OutputClash {
  std::size_t Grammar;  // index of the later grammar
  std::size_t Other;    // index of the earlier grammar, or of the grammar whose file it is
  std::string File;
  bool IsGrammarFile;
};

std::vector<OutputClash> FindOutputClashes(const std::vector<GrammarOutputs>& Grammars);

// The error text of a clash, reported at line 1 of the later grammar.
std::string ClashText(const std::vector<GrammarOutputs>& Grammars, const OutputClash& Clash);

} // namespace kiv
