// kivGraphTestSupport.h - fixtures of the element graph tests: a tool that records every report with
// its position, an analyzer and a generator that record which operation an element called, token
// construction, and grammars built from grammar text through the real front end.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/frontend/kivKivTokenTypes.h"
#include "engine/graph/kivGrammarMaker.h"
#include "engine/kivAnalysis.h"
#include "engine/kivModel.h"

namespace kivgraphtest {

using kiv::kivgrammar::TT_ACTION;
using kiv::kivgrammar::TT_ARGUMENT;
using kiv::kivgrammar::TT_CHAR;
using kiv::kivgrammar::TT_DOT;
using kiv::kivgrammar::TT_LOWER_ID;
using kiv::kivgrammar::TT_STRING;
using kiv::kivgrammar::TT_UPPER_ID;

IkivTokenPtr Tok(int Type, const std::string& Text, int Line = 1, int Column = 1);

// Every report as one line: "error t.g 3:7 text", "warning ...", "panic text".
class RecordingTool : public IkivTool {
public:
  std::vector<std::string> Lines;
  int Errors = 0;

  int GetWarningCount() const override { return 0; }
  int GetErrorCount() const override { return Errors; }
  void Run() override {}
  void Message(const std::string& Text) override { Lines.push_back("message " + Text); }
  void Error(const std::string& Msg, const std::string& FileName, int Line, int Column) override;
  void Warning(const std::string& Msg, const std::string& FileName, int Line, int Column) override;
  [[noreturn]] void Panic(const std::string& Msg) override;
  void AltsNondeterminism(const IkivGrammar&, IkivAlternativeBlock&, bool, int, const TkivLookaheadList&, int,
                          int) override {}
  void ExitBranchNondeterminism(const IkivGrammar&, IkivAlternativeBlock&, bool, int, const TkivLookaheadList&,
                                int) override {}
};

// Records the name of every operation called; lookahead operations answer an empty set, and
// CanInvertSubrule answers the graph's own test.
class RecordingAnalyzer : public IkivLLkAnalyzer {
public:
  std::vector<std::string> Calls;

  void SetGrammar(IkivGrammar*) override {}
  bool CheckBlock(IkivAlternativeBlock&) override { return Record("CheckBlock"), true; }
  bool CheckOneOrMore(IkivOneOrMoreBlock&) override { return Record("CheckOneOrMore"), true; }
  bool CheckZeroOrMore(IkivZeroOrMoreBlock&) override { return Record("CheckZeroOrMore"), true; }
  IkivLookaheadPtr LookAction(int, IkivActionElem&) override { return Record("LookAction"); }
  IkivLookaheadPtr LookBlock(int, IkivAlternativeBlock&) override { return Record("LookBlock"); }
  IkivLookaheadPtr LookBlockEnd(int, IkivBlockEndElem&) override { return Record("LookBlockEnd"); }
  IkivLookaheadPtr LookCharLiteral(int, IkivCharLiteralElem&) override { return Record("LookCharLiteral"); }
  IkivLookaheadPtr LookCharRange(int, IkivCharRangeElem&) override { return Record("LookCharRange"); }
  IkivLookaheadPtr LookTokenRef(int, IkivGrammarAtom&) override { return Record("LookTokenRef"); }
  IkivLookaheadPtr LookOneOrMore(int, IkivOneOrMoreBlock&) override { return Record("LookOneOrMore"); }
  IkivLookaheadPtr LookRuleBlock(int, IkivRuleBlock&) override { return Record("LookRuleBlock"); }
  IkivLookaheadPtr LookRuleEnd(int, IkivRuleEndElem&) override { return Record("LookRuleEnd"); }
  IkivLookaheadPtr LookRuleRef(int, IkivRuleRefElem&) override { return Record("LookRuleRef"); }
  IkivLookaheadPtr LookStringLiteral(int, IkivStringLiteralElem&) override { return Record("LookStringLiteral"); }
  IkivLookaheadPtr LookSynPred(int, IkivSynPredBlock&) override { return Record("LookSynPred"); }
  IkivLookaheadPtr LookTokenRange(int, IkivTokenRangeElem&) override { return Record("LookTokenRange"); }
  IkivLookaheadPtr LookTreeElement(int, IkivAlternativeElem&) override { return Record("LookTreeElement"); }
  IkivLookaheadPtr LookWildcard(int, IkivWildcardElem&) override { return Record("LookWildcard"); }
  IkivLookaheadPtr LookZeroOrMore(int, IkivZeroOrMoreBlock&) override { return Record("LookZeroOrMore"); }
  IkivLookaheadPtr LookRule(int, const std::string&) override { return Record("LookRule"); }
  IkivLookaheadPtr Follow(int, IkivRuleEndElem&) override { return Record("Follow"); }
  bool CanInvertSubrule(IkivAlternativeBlock& Block, bool ForLexer) override;

private:
  IkivLookaheadPtr Record(const char* Name);
};

class RecordingGenerator : public IkivCodeGenerator {
public:
  std::vector<std::string> Calls;

  void Generate(IkivGrammar&) override { Calls.push_back("Generate"); }
  void GenAction(IkivActionElem&) override { Calls.push_back("GenAction"); }
  void GenBlock(IkivAlternativeBlock&) override { Calls.push_back("GenBlock"); }
  void GenBlockEnd(IkivBlockEndElem&) override { Calls.push_back("GenBlockEnd"); }
  void GenCharLiteral(IkivCharLiteralElem&) override { Calls.push_back("GenCharLiteral"); }
  void GenCharRange(IkivCharRangeElem&) override { Calls.push_back("GenCharRange"); }
  void GenAtom(IkivGrammarAtom&) override { Calls.push_back("GenAtom"); }
  void GenOneOrMore(IkivOneOrMoreBlock&) override { Calls.push_back("GenOneOrMore"); }
  void GenRuleBlock(IkivRuleBlock&) override { Calls.push_back("GenRuleBlock"); }
  void GenRuleEnd(IkivRuleEndElem&) override { Calls.push_back("GenRuleEnd"); }
  void GenRuleRef(IkivRuleRefElem&) override { Calls.push_back("GenRuleRef"); }
  void GenStringLiteral(IkivStringLiteralElem&) override { Calls.push_back("GenStringLiteral"); }
  void GenSynPred(IkivSynPredBlock&) override { Calls.push_back("GenSynPred"); }
  void GenTokenRange(IkivTokenRangeElem&) override { Calls.push_back("GenTokenRange"); }
  void GenTreeElement(IkivAlternativeElem&) override { Calls.push_back("GenTreeElement"); }
  void GenWildcard(IkivWildcardElem&) override { Calls.push_back("GenWildcard"); }
  void GenZeroOrMore(IkivZeroOrMoreBlock&) override { Calls.push_back("GenZeroOrMore"); }
};

// A grammar with a recording tool, analyzer and generator, made directly (Lexer chooses the kind)
// with the tokens A, B, C (types 4, 5, 6) and the literal "begin" (7) in its token manager.
struct DirectGrammar {
  explicit DirectGrammar(bool Lexer = false, int K = 1);

  RecordingTool Tool;
  RecordingAnalyzer Analyzer;
  RecordingGenerator Generator;
  IkivGrammarPtr Grammar;
};

// A grammar file read by the grammar-file lexer and parser into a grammar maker; the file name is
// "t.g". A recognition exception is kept as a "syntax ..." line in the tool's lines.
struct ParsedGrammar {
  explicit ParsedGrammar(const std::string& Text);

  RecordingTool Tool;
  RecordingAnalyzer Analyzer;
  std::shared_ptr<TkivGrammarMaker> Maker;
  IkivGrammarPtr Grammar;

  // The rule block of the rule with the given id (lexer rules encoded); null when there is none.
  IkivRuleBlock* Rule(const std::string& Id) const;
  // The dump of one rule ("" when there is no such rule).
  std::string Dump(const std::string& Id) const;
};

// The header of a lexer file (rules start on line 3), or of a parser file that imports the tokens
// A..F (types 4..9), ID (10), NUM (11) and the literals "begin" (12) and "end" (13) (rules start on
// line 4), followed by the rest.
std::string LexerFile(const std::string& Rest);
std::string ParserFile(const std::string& Rest);

} // namespace kivgraphtest
