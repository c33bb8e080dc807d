// kivNondeterminismReportTest.cpp - the tool's two nondeterminism reports: the empty line, the
// headline in its forms, one line per depth, and that they count nothing.
#include <gtest/gtest.h>

#include "engine/codegen/kivLookahead.h"
#include "engine/graph/kivGrammarMaker.h"
#include "tests/engine/codegen/kivAnalyzerTestSupport.h"

using namespace kivanalyzertest;

namespace {

IkivLookaheadPtr Set(std::initializer_list<int> Members) {
  IkivLookahead::MemberSet Bits;
  for (int M : Members) Bits.set(static_cast<std::size_t>(M));
  return std::make_shared<TkivLookahead>(Bits);
}

} // namespace

TEST(NondeterminismReport, BlockFormWithOneLinePerDepthCountingNothing) {
  Analyzed G(ParserFile("r : A | ( B | C ) ;\n"));
  TkivLookaheadList Sets{Set({4, 5, 6}), Set({})};
  G.Tool.AltsNondeterminism(*G.Grammar, G.Subrule("r", 1, 0), false, 2, Sets, 0, 1);
  EXPECT_EQ(G.TakeLines(), (std::vector<std::string>{"W:", "W:t.g(4): nondeterminism between alts 1 and 2 of block in rule \"r\"",
                                                     "W:         k=1 TT_004..TT_006", "W:         k=2 <EPS>"}));
  EXPECT_EQ(G.Tool.GetWarningCount(), 0);
  EXPECT_EQ(G.Tool.GetErrorCount(), 0);

  // Epsilon without members prints as "<EPS>", and so does a depth the list has no set for.
  Analyzed L(LexerFile("A : 'a' | 'b' ;\n"));
  auto Epsilon = std::make_shared<TkivLookahead>();
  Epsilon->SetEpsilon(true);
  TkivLookaheadList Chars{Set({'a', 'b', 'c', 'x'}), Epsilon};
  L.Tool.AltsNondeterminism(*L.Grammar, L.Rule("mA"), true, 3, Chars, 0, 1);
  EXPECT_EQ(L.TakeLines(), (std::vector<std::string>{"W:", "W:t.g(4): lexical nondeterminism between alts 1 and 2 of block in rule \"A\"",
                                                     "W:         k=1 'a'..'c','x'", "W:         k=2 <EPS>",
                                                     "W:         k=3 <EPS>"}));
}

TEST(NondeterminismReport, TokenDispatchRuleNamesTheTwoLexerRules) {
  Analyzed G(LexerFile("A : 'a' ;\nB : 'a' ;\n", 2));
  IkivRuleBlock* Dispatch = TkivGrammarMaker::CreateNextTokenRule(*G.Grammar, G.Grammar->getRules(), "NextToken");
  ASSERT_NE(Dispatch, nullptr);
  EXPECT_FALSE(G.Analyzer.CheckBlock(*Dispatch));
  EXPECT_EQ(G.TakeLines(), (std::vector<std::string>{"W:", "W:t.g(1): Lexical nondeterminism between rules \"A\" and \"B\"",
                                                     "W:         k=1 'a'", "W:         k=2 <EPS>"}));
  // Not the dispatch form: the report is about a parser, or the block builds no trees.
  TkivLookaheadList Sets{Set({'a'})};
  G.Tool.AltsNondeterminism(*G.Grammar, *Dispatch, false, 1, Sets, 0, 1);
  Dispatch->SetAstEnabled(false);
  G.Tool.AltsNondeterminism(*G.Grammar, *Dispatch, true, 1, Sets, 0, 1);
  EXPECT_EQ(G.TakeLines(), (std::vector<std::string>{"W:", "W:t.g(0): nondeterminism between alts 1 and 2 of block in rule \"NextToken\"",
                                                     "W:         k=1 TT_097", "W:",
                                                     "W:t.g(0): lexical nondeterminism between alts 1 and 2 of block in rule \"NextToken\"",
                                                     "W:         k=1 'a'"}));
}

TEST(NondeterminismReport, ExitBranchFormKeepsTheIndexAndLeavesTheNameUnquoted) {
  Analyzed G(ParserFile("r : A\n  ( B )* C ;\n"));
  IkivAlternativeBlock& Loop = G.Subrule("r", 0, 1);
  TkivLookaheadList Sets{Set({5})};
  G.Tool.ExitBranchNondeterminism(*G.Grammar, Loop, false, 1, Sets, 0);
  G.Tool.ExitBranchNondeterminism(*G.Grammar, Loop, true, 1, Sets, 2);
  EXPECT_EQ(G.TakeLines(), (std::vector<std::string>{"W:", "W:t.g(5): nondeterminism between alt 0 and exit branch of block in rule r.",
                                                     "W:         k=1 TT_005", "W:",
                                                     "W:t.g(5):lexical nondeterminism between alt 2 and exit branch of block in rule r.",
                                                     "W:         k=1 #5"}));
  EXPECT_EQ(G.Tool.GetWarningCount(), 0);
}

TEST(NondeterminismReport, WithoutHandlerNothingHappens) {
  Analyzed G(ParserFile("r : A | B ;\n"));
  TkivTool Silent(nullptr, "t.g", "", "", nullptr);
  TkivLookaheadList Sets{Set({4})};
  Silent.AltsNondeterminism(*G.Grammar, G.Rule("r"), false, 1, Sets, 0, 1);
  Silent.ExitBranchNondeterminism(*G.Grammar, G.Rule("r"), false, 1, Sets, 0);
  EXPECT_EQ(Silent.GetWarningCount(), 0);
  EXPECT_EQ(G.TakeLines(), std::vector<std::string>{});
}
