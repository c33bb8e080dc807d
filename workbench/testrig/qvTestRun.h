// qvTestRun.h
// One run of the Test panel, as a worker thread does it: the project's grammars read from their
// current text (nothing is written beside them), a parser paired with the lexer whose vocabulary
// it imports, and the test rig run over the sample. Loaded grammars are kept between runs, so
// that typing in the sample loads nothing again.
#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/interp/kivInterpreter.h"

namespace kiv::testrig {

// A grammar of the project as the run reads it.
struct GrammarSource {
  QString name;      // the module's name, which its diagnostics start with
  std::string text;  // the bytes a save would write (unsaved changes included)
};

struct RunRequest {
  std::vector<GrammarSource> grammars;  // the project's grammars, in project order
  int tested = 0;                       // the index of the grammar under test
  QString exchangeDir;                  // where vocabularies built earlier are found
  QString stagingDir;                   // a private folder for the vocabularies of this run
  std::string sample;                   // the sample's bytes
  QString sampleName;                   // the file name errors carry
  std::string startRule;                // any rule of the parser; else its first public rule
  std::uint64_t stepBudget = 0;
  std::shared_ptr<std::atomic<bool>> cancel;
  std::size_t traceLimit = 5000;
};

struct RunOutcome {
  bool lexerOnly = false;
  QString lexerName;  // the paired lexer of a parser run
  // The grammars the result's names come from; they stay alive as long as the outcome.
  std::shared_ptr<const interp::Grammar> lexer;
  std::shared_ptr<const interp::Grammar> parser;
  std::vector<interp::RuleInfo> rules;  // of the grammar under test
  std::optional<interp::RunResult> result;  // none when nothing could run
  QString problem;          // why nothing ran
  QStringList diagnostics;  // the errors and warnings of the grammars read
  std::string startRule;    // the rule the run started with
};

// Grammars loaded before, by name and by the vocabularies they could import.
class GrammarCache {
public:
  struct Entry {
    std::string text;
    std::string vocabularies;  // what the staging folder held when it was loaded
    interp::LoadResult loaded;
    QStringList diagnostics;
  };

  // The grammar loaded from `source` with `stagingDir` holding `vocabularies`: taken from the
  // cache or loaded now (under the engine's run lock).
  std::shared_ptr<const Entry> Load(const GrammarSource& source, const std::string& vocabularies,
                                    const QString& stagingDir);
  // Whether `source` was seen before as a lexer (true) or not (false); none when never loaded.
  std::optional<bool> KnownLexer(const GrammarSource& source) const;

private:
  mutable std::mutex FMutex;
  std::map<std::pair<QString, std::string>, std::shared_ptr<const Entry>> FEntries;
  std::map<QString, std::pair<std::string, bool>> FKinds;
};

// Reads the grammars, pairs them and runs the sample. Thread-safe as long as one run at a time
// uses a staging folder.
RunOutcome RunTest(const RunRequest& request, GrammarCache& cache);

// Where the error of `result` is in `sample`: the span of the token it names, or else the byte
// its line and column point at, counted from the last token before it. [begin, end) in bytes.
std::pair<std::size_t, std::size_t> ErrorSpan(const interp::RunResult& result, const std::string& sample);

}  // namespace kiv::testrig
