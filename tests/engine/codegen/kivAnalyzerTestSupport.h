// kivAnalyzerTestSupport.h - fixtures of the analyzer tests: grammars read from grammar text through
// the real front end and grammar maker, analysed by the real analyzer, reporting through a real tool
// whose handler records every line it receives.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/codegen/kivLLkAnalyzer.h"
#include "engine/driver/kivTool.h"
#include "engine/graph/kivGrammarMaker.h"
#include "engine/kivGraph.h"
#include "engine/kivModel.h"

namespace kivanalyzertest {

// Every line in the order received: "W:text" for warnings, "E:text" for errors, "M:text" for
// messages.
class RecordingHandler : public IkivToolErrorHandler {
public:
  std::vector<std::string> Lines;

  void HandleWarning(const std::string& Text) override { Lines.push_back("W:" + Text); }
  void HandleError(const std::string& Text) override { Lines.push_back("E:" + Text); }
  void HandleMessage(const std::string& Text) override { Lines.push_back("M:" + Text); }
};

// A grammar file "t.g" read into a grammar maker whose analyzer is a TkivLLkAnalyzer; the parse
// must succeed without diagnostics (the constructor fails the running test otherwise).
class Analyzed {
public:
  explicit Analyzed(const std::string& Text);

  RecordingHandler Handler;
  TkivTool Tool{nullptr, "t.g", "", "", &Handler};
  TkivLLkAnalyzer Analyzer{Tool};
  std::shared_ptr<TkivGrammarMaker> Maker;
  IkivGrammarPtr Grammar;

  // The rule block of the rule with the given symbol id (lexer rules as "mX"); fails when absent.
  IkivRuleBlock& Rule(const std::string& Id) const;
  // The block that is element Position (0-based) of alternative Alt of the rule; fails when that
  // element is not a block.
  IkivAlternativeBlock& Subrule(const std::string& Id, int Alt, int Position) const;
  // The lines received since the last call.
  std::vector<std::string> TakeLines();
  // The member set of alternative Alt's cache entry at depth K, as token or character text.
  std::string AltSet(IkivAlternativeBlock& Block, int Alt, int K) const;
  // The text form of a lookahead set (token names for parser grammars, characters for lexers).
  std::string SetText(const IkivLookaheadPtr& Set) const;
  // FIRST of a rule at depth K as a reference sees it, and FOLLOW of a rule at depth K.
  std::string First(const std::string& Id, int K);
  std::string Follow(const std::string& Id, int K);
};

// A lexer file, or a parser file importing the tokens A..F (types 4..9), ID (10), NUM (11) and the
// literals "begin" (12) and "end" (13); in both the rules start on line 4. K is the grammar's
// lookahead depth.
std::string LexerFile(const std::string& Rules, int K = 1);
std::string ParserFile(const std::string& Rules, int K = 1);

} // namespace kivanalyzertest
