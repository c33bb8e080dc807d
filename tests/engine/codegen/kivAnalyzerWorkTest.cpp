// kivAnalyzerWorkTest.cpp - the analyzer's work stays bounded: the lookahead memo reuses answers
// computed through a loop's end, and a grammar whose analysis would still need too much work ends
// it with a panic instead of running for hours or exhausting memory.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/codegen/kivLookaheadDump.h"
#include "tests/engine/codegen/kivAnalyzerTestSupport.h"

using namespace kivanalyzertest;

namespace {

// A rule made of Depth loops nested in one another around one atom, then a second atom.
std::string NestedLoops(const std::string& Name, int Depth, const std::string& Inner, const std::string& After) {
  std::string Closing;
  for (int I = 0; I < Depth; ++I) Closing += ")*";
  return Name + " : " + std::string(static_cast<std::size_t>(Depth), '(') + " " + Inner + " " + Closing + " " + After +
         " ;\n";
}

// The lookahead listing and every diagnostic line, with the memo on or off.
std::string Analysis(const std::string& Text, bool Memo) {
  Analyzed G(Text);
  if (!G.Grammar) return "<no grammar>";
  G.Analyzer.EnableLookaheadMemo(Memo);
  std::string Out = kiv::DumpLookahead(*G.Grammar);
  for (const std::string& Line : G.TakeLines()) Out += Line + "\n";
  return Out;
}

} // namespace

// Eight nested (...)* loops took seconds and every further level eight times
// as long, because an answer computed through a loop's end recorded its own lock as both free and
// held and so was never reused. Small nests analyse as without the memo; deep ones now finish.
TEST(AnalyzerWork, NestedLoopsAnalyseAsWithoutTheMemo) {
  for (int K = 1; K <= 3; ++K) {
    const std::string Parser = ParserFile(NestedLoops("r", 4, "A", "B"), K);
    EXPECT_EQ(Analysis(Parser, true), Analysis(Parser, false)) << Parser;
    const std::string Lexer = LexerFile(NestedLoops("R", 4, "'a'", "'b'"), K);
    EXPECT_EQ(Analysis(Lexer, true), Analysis(Lexer, false)) << Lexer;
  }
}

TEST(AnalyzerWork, DeeplyNestedLoopsAreAnalysedWithinTheBudget) {
  Analyzed P(ParserFile(NestedLoops("r", 40, "A", "B"), 2));
  const std::string Dump = kiv::DumpLookahead(*P.Grammar);
  for (const std::string& Line : P.TakeLines()) EXPECT_EQ(Line.rfind("M:", 0), std::string::npos) << Line;
  EXPECT_NE(Dump.find("rule r"), std::string::npos);

  Analyzed L(LexerFile(NestedLoops("R", 40, "'a'", "'b'"), 1));
  (void)kiv::DumpLookahead(*L.Grammar);
  for (const std::string& Line : L.TakeLines()) EXPECT_EQ(Line.rfind("M:", 0), std::string::npos) << Line;
}

// Loops nested 120 deep (or 20 deep with k = 100) still need billions of steps or gigabytes of
// remembered answers. The analysis stops with a panic that names the rule, and leaves no lock
// behind.
namespace {

void ExpectWorkLimitPanic(int Depth, int K) {
  Analyzed G(ParserFile(NestedLoops("r", Depth, "A", "B"), K));
  EXPECT_THROW(kiv::DumpLookahead(*G.Grammar), EkivPanic);
  const std::vector<std::string> Lines = G.TakeLines();
  ASSERT_FALSE(Lines.empty());
  EXPECT_EQ(Lines.back(), "M:Lookahead analysis of rule \"r\" needs too much work; lower k or nest fewer loops");
  IkivAlternativeBlock& Outer = G.Subrule("r", 0, 0);
  IkivBlockEndElem* End = nullptr;
  for (IkivAlternativeElem* E = Outer.GetAlternative(0)->GetHead(); E != nullptr && End == nullptr; E = E->GetNext())
    End = dynamic_cast<IkivBlockEndElem*>(E);
  ASSERT_NE(End, nullptr);
  for (int D = 1; D <= K; ++D) EXPECT_FALSE(End->GetLock(D)) << "depth " << D;
}

} // namespace

TEST(AnalyzerWork, ManyStepsEndTheAnalysisWithAPanic) { ExpectWorkLimitPanic(120, 1); }

TEST(AnalyzerWork, ManyRememberedDependenciesEndTheAnalysisWithAPanic) { ExpectWorkLimitPanic(20, 100); }
