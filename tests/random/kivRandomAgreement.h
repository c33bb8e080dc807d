// kivRandomAgreement.h - the test rig against the compiled recognizers: every case of a batch is
// run by a second Pascal driver that records the tokens, the exception and its position, and by
// the test rig in process on the same grammar text; both must give the same.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/random/kivRandomDriver.h"
#include "tests/random/kivRandomGrammar.h"

namespace kiv::rnd {

// One grammar pair of the batch, by its index among the driver's grammars.
struct AgreementGrammar {
  std::uint64_t Seed = 0;
  const Grammar* Lexer = nullptr;   // null: the pair is not compared
  const Grammar* Parser = nullptr;  // null when the parser did not build
  std::string LexerFile;            // grammar files in the batch directory
  std::string ParserFile;
};

struct AgreementTotals {
  int Lexers = 0;   // compared
  int Parsers = 0;
  std::map<std::string, int> Excluded;  // why a grammar was left out -> grammars
  int Runs = 0;                         // compared
  std::map<std::string, int> Skipped;   // why a run was not compared -> runs
  int Disagreements = 0;

  void Add(const AgreementTotals& Other);
  std::string Summary() const;
};

struct AgreementFailure {
  std::size_t Grammar = 0;  // index into the driver's grammars
  std::string What;
};

struct AgreementSetup {
  std::string Dir;      // the batch directory: grammars, vocabularies, compiled units in units/
  std::string Fpc;
  std::string Runtime;
};

// Compares the compiled recognizers of the batch with the test rig over the cases of the grammars
// that can be compared (note [what the rig must agree on] in kivRandomAgreement.cpp).
std::vector<AgreementFailure> CheckAgreement(const AgreementSetup& Setup, const std::vector<DriverGrammar>& Drivers,
                                             const std::vector<AgreementGrammar>& Grammars,
                                             const std::vector<Case>& Cases, AgreementTotals& Totals);

}  // namespace kiv::rnd
