// kivRandomDriver.h - the Pascal program that runs the recognizers of many random grammars over
// their cases, and the cases file it reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/random/kivRandomGrammar.h"

namespace kiv::rnd {

// One grammar pair as the driver sees it.
struct DriverGrammar {
  std::uint64_t Seed = 0;
  std::string LexerUnit;
  std::string LexerClass;
  std::string ParserUnit;   // empty when the parser did not build
  std::string ParserClass;
  int ParserK = 1;
  std::vector<std::string> Entries;  // parser rules the driver can start with
};

enum class CaseKind : char {
  LexerText = 'L',   // the lexer alone over a text, to the end of input
  ParserTokens = 'P',  // the parser over a token sequence given directly
  Combined = 'C',    // the parser over the lexer over a text
};

struct Case {
  CaseKind Kind = CaseKind::LexerText;
  int Grammar = 0;    // index into the driver's grammars
  int Entry = 0;      // index into the grammar's entries
  int Seed = 0;       // the recognizers' KrSeed (predicates and handlers depend on it)
  std::string Text;   // LexerText and Combined
  std::vector<int> Types;  // ParserTokens
  std::string Origin;      // how the input was made: "sentence", "mutated", "random"
};

// The type declarations both drivers share: TKrCase (a line of the cases file) and TKrTokens
// (a token stream over a case's token types).
const char* CaseTypesText();

// The Pascal text both drivers read their cases with: TKrTokens, KrOnAlarm (the run's time
// limit), KrHexText and KrParse (a line of the cases file into a TKrCase).
const char* CaseReaderText();

// The driver's source text. Per case it prints "RUN <index>" before and "END <index> <outcome>"
// after, with what the run did in between (tokens "T type line:column hex-text", the notes of
// its actions "N ...", the recognition exception "E class kind line:column"), where the outcome is "ok" or "budget" (see KrSwallow), followed by the class of the
// recognition exception that ended the run, or "FAIL <what>".
std::string DriverSource(const std::vector<DriverGrammar>& Grammars);

// One line of the cases file.
std::string CaseLine(const Case& C);

// A readable form of a case for failure reports.
std::string CaseDescription(const Case& C, const std::vector<DriverGrammar>& Grammars);

}  // namespace kiv::rnd
