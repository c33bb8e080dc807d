// kivPascalTextTest.cpp - the text forms of generated Pascal: string literals, re-indented actions,
// output paths, literal labels, templates, the writer's line ends and the lookahead tests.
#include "engine/codegen/kivPascalText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <stdexcept>

#include "engine/codegen/kivDelphiTemplates.h"
#include "engine/codegen/kivLLkAnalyzer.h"
#include "engine/codegen/kivLookahead.h"
#include "engine/codegen/kivLookaheadTests.h"
#include "engine/codegen/kivPascalWriter.h"
#include "engine/graph/kivAlternative.h"

namespace {

using kiv::MemberSet;

TEST(PascalStringLiteral, EveryTextBecomesAValidLiteral) {
  EXPECT_EQ(kiv::PascalStringLiteral(""), "''");
  EXPECT_EQ(kiv::PascalStringLiteral("begin"), "'begin'");
  EXPECT_EQ(kiv::PascalStringLiteral("don't"), "'don''t'");
  EXPECT_EQ(kiv::PascalStringLiteral("'"), "''''");
  EXPECT_EQ(kiv::PascalStringLiteral("\r\n"), "#13#10");
  EXPECT_EQ(kiv::PascalStringLiteral("a\tb"), "'a'#9'b'");
  EXPECT_EQ(kiv::PascalStringLiteral(std::string("x\0y", 3)), "'x'#0'y'");
  EXPECT_EQ(kiv::PascalStringLiteral("\xC8"), "#200");
}

TEST(PascalIdentifier, EscapesReservedWordsInAnyLetterCase) {
  EXPECT_EQ(kiv::PascalIdentifier("file"), "&file");
  EXPECT_EQ(kiv::PascalIdentifier("Type"), "&Type");
  EXPECT_EQ(kiv::PascalIdentifier("end"), "&end");
  EXPECT_EQ(kiv::PascalIdentifier("expr"), "expr");
  EXPECT_EQ(kiv::PascalIdentifier("result"), "result");
  EXPECT_EQ(kiv::PascalIdentifier("mFILE"), "mFILE");
}

TEST(ReindentAction, RemovesTheCommonIndentationAndBlankEdgeLines) {
  const std::string action = "{\n\n        a := 1;\n          if a > 0 then\n\n        b := 2;   \n   \n}";
  EXPECT_EQ(kiv::ReindentAction(action), (std::vector<std::string>{"a := 1;", "  if a > 0 then", "", "b := 2;"}));
  // One line is trimmed on both sides; braces and surrounding blanks go.
  EXPECT_EQ(kiv::ReindentAction("  {   x := y;   }  "), (std::vector<std::string>{"x := y;"}));
  EXPECT_TRUE(kiv::ReindentAction("{}").empty());
  EXPECT_TRUE(kiv::ReindentAction("{ \r\n \r\n }").empty());
  EXPECT_TRUE(kiv::ReindentAction("").empty());
}

TEST(ReindentAction, ExpandsTabsToTheNextMultipleOfThreeAndSplitsEveryLineBreak) {
  // "\tx" -> 3 spaces; "ab\ty" -> "ab" + 1 space; "abc\tz" -> "abc" + 3 spaces.
  EXPECT_EQ(kiv::ReindentAction("{\n\tx\r\nab\ty\rabc\tz\n}"),
            (std::vector<std::string>{"   x", "ab y", "abc   z"}));
}

TEST(ActionBody, DropsBracesAndBlanks) {
  EXPECT_EQ(kiv::ActionBody("{ LA(1) = 'x' }"), "LA(1) = 'x'");
  EXPECT_EQ(kiv::ActionBody("{}"), "");
}

TEST(LiteralLabel, KeepsIdentifiersAndEncodesEverythingElse) {
  EXPECT_EQ(kiv::LiteralLabel("begin"), "LT_begin");
  EXPECT_EQ(kiv::LiteralLabel("end_if"), "LT_end_if");
  EXPECT_EQ(kiv::LiteralLabel(":="), "LT__3A_3D");
  EXPECT_EQ(kiv::LiteralLabel("a-b"), "LT_a_2Db");
  EXPECT_NE(kiv::LiteralLabel("a:b"), kiv::LiteralLabel("a;b"));
}

TEST(JoinOutputPath, DirectoriesWithAndWithoutSeparatorNameTheSameFile) {
  namespace fs = std::filesystem;
  const std::string expected = (fs::path("out") / "calc.pas").string();
  EXPECT_EQ(kiv::JoinOutputPath("out", "calc.pas"), expected);
  EXPECT_EQ(kiv::JoinOutputPath("out/", "calc.pas"), expected);
  EXPECT_EQ(kiv::JoinOutputPath("out\\", "calc.pas"), expected);
  EXPECT_EQ(kiv::JoinOutputPath("", "calc.pas"), "calc.pas");
  EXPECT_EQ(kiv::JoinOutputPath("/", "calc.pas"), (fs::path("/") / "calc.pas").string());
}

TEST(PascalWriter, OwnsIndentationLineEndsAndTheLineCount) {
  kiv::PascalWriter out;
  out.Indent();
  out.Indent();
  out.Line("");
  out.Dedent();
  out.Line("a\nb");
  out.Dedent();
  out.Dedent();
  out.Line("c\r\nd\re");
  EXPECT_EQ(out.Text(), "      \r\n   a\r\nb\r\nc\r\nd\r\ne\r\n");
  EXPECT_EQ(out.LineCount(), 6);
  EXPECT_EQ(out.Level(), 0);
}

TEST(ExpandTemplate, FillsHolesAndSplitsLines) {
  EXPECT_EQ(kiv::ExpandTemplate("\nm${Rule}(false);\n\n${Tail}", {{"Rule", "WS"}, {"Tail", "a\n   b"}}),
            (std::vector<std::string>{"mWS(false);", "", "a", "   b"}));
  EXPECT_THROW(kiv::ExpandTemplate("${Missing}"), std::logic_error);
}

IkivLookaheadPtr Set(std::initializer_list<int> Members, bool Epsilon = false) {
  MemberSet members;
  for (int m : Members) members.set(static_cast<std::size_t>(m));
  auto set = std::make_shared<TkivLookahead>(members);
  set->SetEpsilon(Epsilon);
  return set;
}

std::string Chars(const MemberSet& Members) { return kiv::CharSetForm(Members); }

TEST(LookaheadTests, ConjunctionSkipsEpsilonSetsAndStaysValid) {
  EXPECT_EQ(kiv::Conjunction({Set({'a'}), Set({'b', 'c', 'd'})}, Chars), "( LA(1) in ['a']) and (LA(2) in ['b'..'d'])");
  // A first set with epsilon leaves no dangling "and".
  EXPECT_EQ(kiv::Conjunction({Set({'a'}, true), Set({'b'})}, Chars), "( LA(2) in ['b'])");
  EXPECT_EQ(kiv::Conjunction({Set({'a'}, true)}, Chars), "( true)");
  EXPECT_EQ(kiv::Conjunction({}, Chars), "( true)");
}

TEST(LookaheadTests, AlternativeTestsUseDepthsUpToTheFirstEmptySet) {
  TkivAlternative alt;
  alt.SetCacheLength(3);
  alt.SetCache(1, Set({'a'}));
  alt.SetCache(2, Set({'b', 'c', 'd'}));
  alt.SetLookaheadDepth(2);
  EXPECT_EQ(kiv::AlternativeTest(alt, 2, Chars), "(( LA(1) in ['a']) and (LA(2) in ['b'..'d']))");
  EXPECT_EQ(kiv::AlternativeTest(alt, 0, Chars), "true");
  EXPECT_EQ(kiv::EffectiveDepth(alt, 2), 2);

  alt.SetCache(2, Set({}));
  EXPECT_EQ(kiv::AlternativeTest(alt, 2, Chars), "(( LA(1) in ['a']))");
  EXPECT_EQ(kiv::EffectiveDepth(alt, 2), 1);
  EXPECT_FALSE(kiv::LookaheadIsEmpty(alt, 2));

  // Nondeterministic: tested with all k sets; a set with epsilon lowers the effective depth.
  alt.SetLookaheadDepth(kiv::NondeterministicDepth);
  alt.SetCache(2, Set({'x'}, true));
  EXPECT_EQ(kiv::AlternativeDepthLimit(alt, 2), 2);
  EXPECT_EQ(kiv::EffectiveDepth(alt, 2), 1);

  TkivAlternative none;
  none.SetCacheLength(2);
  none.SetCache(1, Set({}, true));
  none.SetLookaheadDepth(1);
  EXPECT_TRUE(kiv::LookaheadIsEmpty(none, 1));
  EXPECT_EQ(kiv::EffectiveDepth(none, 1), 0);
}

} // namespace
