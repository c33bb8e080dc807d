// kivLLkAnalyzerTest.cpp - the LL(k) analyzer on grammars read from grammar text: the depth each
// alternative and loop exit gets, FIRST and FOLLOW with their caches and cycles, the conditions that
// keep a conflict silent, and the analyzer's errors and panics.
#include <gtest/gtest.h>

#if defined(__unix__)
#include <pthread.h>
#endif

#include "engine/codegen/kivLookahead.h"
#include "engine/graph/kivGrammarAtom.h"
#include "engine/graph/kivGraphArena.h"
#include "runtime/cpp/kivToken.h"
#include "tests/engine/codegen/kivAnalyzerTestSupport.h"

using namespace kivanalyzertest;
using kiv::NondeterministicDepth;

namespace {

int Depth(IkivAlternativeBlock& Block, int Alt) { return Block.GetAlternative(Alt)->GetLookaheadDepth(); }

IkivZeroOrMoreBlock& Star(IkivAlternativeBlock& Block) { return *kiv::Supports<IkivZeroOrMoreBlock>(&Block); }
IkivOneOrMoreBlock& Plus(IkivAlternativeBlock& Block) { return *kiv::Supports<IkivOneOrMoreBlock>(&Block); }

const std::string Headline4 = "W:t.g(4): nondeterminism between alts 1 and 2 of block in rule \"r\"";

} // namespace

// --- depths of alternatives ---

TEST(AnalyzerDepths, OneAlternativeIsDeterministicAtDepthOneWithoutComparison) {
  Analyzed G(ParserFile("r : A B ;\n", 3));
  IkivRuleBlock& R = G.Rule("r");
  EXPECT_TRUE(G.Analyzer.CheckBlock(R));
  EXPECT_EQ(Depth(R, 0), 1);
  EXPECT_EQ(G.AltSet(R, 0, 1), "TT_A");
  EXPECT_EQ(G.AltSet(R, 0, 2), "<none>");
  EXPECT_EQ(G.TakeLines(), std::vector<std::string>{});
}

TEST(AnalyzerDepths, CommonPrefixIsSeparatedAtDepthTwo) {
  Analyzed G(ParserFile("r : A B | A C ;\n", 2));
  IkivRuleBlock& R = G.Rule("r");
  EXPECT_TRUE(G.Analyzer.CheckBlock(R));
  EXPECT_EQ(Depth(R, 0), 2);
  EXPECT_EQ(Depth(R, 1), 2);
  EXPECT_EQ(G.AltSet(R, 0, 2), "TT_B");
  EXPECT_EQ(G.AltSet(R, 1, 2), "TT_C");
  EXPECT_EQ(G.TakeLines(), std::vector<std::string>{});
}

TEST(AnalyzerDepths, CommonPrefixWithKOneIsReportedAndNondeterministic) {
  Analyzed G(ParserFile("r : A B | A C ;\n", 1));
  IkivRuleBlock& R = G.Rule("r");
  EXPECT_FALSE(G.Analyzer.CheckBlock(R));
  EXPECT_EQ(Depth(R, 0), NondeterministicDepth);
  EXPECT_EQ(Depth(R, 1), NondeterministicDepth);
  EXPECT_EQ(G.TakeLines(), (std::vector<std::string>{"W:", Headline4, "W:         k=1 TT_004"}));
  EXPECT_EQ(G.Tool.GetWarningCount(), 0);
}

TEST(AnalyzerDepths, EachAlternativeKeepsTheDeepestDepthItNeeded) {
  Analyzed G(ParserFile("r : A B | A C | D | A B ;\n", 2));
  IkivRuleBlock& R = G.Rule("r");
  EXPECT_FALSE(G.Analyzer.CheckBlock(R));
  EXPECT_EQ(Depth(R, 0), NondeterministicDepth);
  EXPECT_EQ(Depth(R, 1), 2);
  EXPECT_EQ(Depth(R, 2), 1);
  EXPECT_EQ(Depth(R, 3), NondeterministicDepth);
  // Only the pair 1/4 conflicts; the report holds both depths.
  EXPECT_EQ(G.TakeLines(), (std::vector<std::string>{
                               "W:", "W:t.g(4): nondeterminism between alts 1 and 4 of block in rule \"r\"",
                               "W:         k=1 TT_004", "W:         k=2 TT_005"}));
}

TEST(AnalyzerDepths, SubruleDepthsLookPastTheBlockAndTheIndicesNameTheLastPair) {
  Analyzed G(ParserFile("r : ( A | B | ) A C ;\n", 2));
  IkivAlternativeBlock& Sub = G.Subrule("r", 0, 0);
  EXPECT_TRUE(G.Analyzer.CheckBlock(Sub));
  EXPECT_EQ(Depth(Sub, 0), 2);
  EXPECT_EQ(Depth(Sub, 1), 1);
  EXPECT_EQ(Depth(Sub, 2), 2);
  EXPECT_EQ(G.AltSet(Sub, 2, 1), "TT_A");
  EXPECT_EQ(G.AltSet(Sub, 2, 2), "TT_C");
  EXPECT_EQ(Sub.GetComparedAlt(), 1);
  EXPECT_EQ(Sub.GetAgainstAlt(), 2);
  EXPECT_EQ(Sub.GetAnalysisAlt(), 2);
}

TEST(AnalyzerDepths, LexerAlternativesThatBothReachTheirRuleEndConflictThere) {
  // At depth 2 both alternatives have ended: the rule end yields epsilon in a lexer.
  Analyzed G(LexerFile("A : 'a' | 'a' ;\nB : 'b' 'c' | 'b' ;\n", 2));
  IkivRuleBlock& A = G.Rule("mA");
  EXPECT_FALSE(G.Analyzer.CheckBlock(A));
  EXPECT_EQ(G.AltSet(A, 0, 2), "+ <epsilon>; depths=1");
  EXPECT_EQ(G.TakeLines(), (std::vector<std::string>{
                               "W:", "W:t.g(4): lexical nondeterminism between alts 1 and 2 of block in rule \"A\"",
                               "W:         k=1 'a'", "W:         k=2 <EPS>"}));
  // One alternative ending while the other goes on is told apart.
  IkivRuleBlock& B = G.Rule("mB");
  EXPECT_TRUE(G.Analyzer.CheckBlock(B));
  EXPECT_EQ(Depth(B, 0), 2);
}

TEST(AnalyzerDepths, LexerStringLiteralsAreMeasuredCharacterByCharacter) {
  Analyzed G(LexerFile("A : \"ab\" 'c' | \"ab\" 'd' | \"x\" ;\n", 3));
  IkivRuleBlock& A = G.Rule("mA");
  EXPECT_TRUE(G.Analyzer.CheckBlock(A));
  EXPECT_EQ(G.AltSet(A, 0, 2), "'b'");
  EXPECT_EQ(G.AltSet(A, 0, 3), "'c'");
  EXPECT_EQ(G.AltSet(A, 1, 3), "'d'");
  EXPECT_EQ(Depth(A, 0), 3);
  EXPECT_EQ(Depth(A, 2), 1);
}

TEST(AnalyzerDepths, AtomsRangesLiteralsAndActions) {
  Analyzed G(ParserFile("r : {x} A..C | \"begin\" | \"end\" {y} D ;\n", 2));
  IkivRuleBlock& R = G.Rule("r");
  EXPECT_TRUE(G.Analyzer.CheckBlock(R));
  EXPECT_EQ(G.AltSet(R, 0, 1), "TT_A..TT_C");
  EXPECT_EQ(G.AltSet(R, 1, 1), "LT_begin");
  EXPECT_EQ(G.AltSet(R, 2, 1), "LT_end");

  Analyzed L(LexerFile("A : 'a'..'c' | 'x' ;\n"));
  IkivRuleBlock& A = L.Rule("mA");
  EXPECT_TRUE(L.Analyzer.CheckBlock(A));
  EXPECT_EQ(L.AltSet(A, 0, 1), "'a'..'c'");
}

// --- inverted sets, wildcards and the competing sets of earlier alternatives ---

TEST(AnalyzerSets, InvertedAtomsAndWildcardsLeaveOutWhatEarlierAlternativesSee) {
  Analyzed G(ParserFile("r : B | ~A ;\ns : A B | . ;\n"));
  IkivRuleBlock& R = G.Rule("r");
  EXPECT_TRUE(G.Analyzer.CheckBlock(R));
  EXPECT_EQ(G.AltSet(R, 1, 1), "TT_C..LT_end");
  IkivRuleBlock& S = G.Rule("s");
  EXPECT_TRUE(G.Analyzer.CheckBlock(S));
  EXPECT_EQ(G.AltSet(S, 1, 1), "TT_B..LT_end");
  // Asked for outside a check, a wildcard sees the whole token universe 4..highest type.
  IkivAlternativeElem* Wildcard = S.GetAlternative(1)->GetHead();
  EXPECT_EQ(G.SetText(Wildcard->Look(1)), "TT_A..LT_end");

  Analyzed L(LexerFile("A : 'a' | ~'b' ;\nB : 'b' | . ;\n"));
  IkivRuleBlock& A = L.Rule("mA");
  EXPECT_TRUE(L.Analyzer.CheckBlock(A));
  EXPECT_EQ(L.AltSet(A, 1, 1), "#1..'`','c'..#255");
  IkivRuleBlock& B = L.Rule("mB");
  EXPECT_TRUE(L.Analyzer.CheckBlock(B));
  EXPECT_EQ(L.AltSet(B, 1, 1), "#1..'a','c'..#255");
}

TEST(AnalyzerSets, InvertedSubruleIsTheComplementAtDepthOne) {
  Analyzed G(ParserFile("r : ~( A | C ) B ;\n", 2));
  IkivAlternativeBlock& Sub = G.Subrule("r", 0, 0);
  EXPECT_EQ(G.SetText(Sub.Look(1)), "TT_B,TT_D..LT_end");
  EXPECT_EQ(G.SetText(Sub.Look(2)), "TT_B");

  Analyzed L(LexerFile("A : ~( 'a' | 'c'..'z' ) ;\n"));
  IkivAlternativeBlock& LSub = L.Subrule("mA", 0, 0);
  EXPECT_EQ(L.SetText(LSub.Look(1)), "#1..'`','b','{'..#255");
}

TEST(AnalyzerSets, ZeroOrMoreIncludesWhatFollowsAndSynPredBlocksEndInEpsilon) {
  Analyzed G(ParserFile("r : ( A )* B | ( C )+ D ;\ns : ( A B )=> A | C ;\n"));
  EXPECT_EQ(G.SetText(G.Subrule("r", 0, 0).Look(1)), "TT_A..TT_B");
  EXPECT_EQ(G.SetText(G.Subrule("r", 1, 0).Look(1)), "TT_C");
  IkivSynPredBlock* Predicate = G.Rule("s").GetAlternative(0)->GetSynPred();
  ASSERT_NE(Predicate, nullptr);
  EXPECT_TRUE(G.Analyzer.CheckBlock(*Predicate));
  EXPECT_EQ(G.SetText(Predicate->GetAlternative(0)->GetCache(1)), "TT_A");
  // What follows the predicate's contents is the end of the guess, not the alternative.
  EXPECT_EQ(G.SetText(G.Analyzer.LookBlock(2, *Predicate)), "TT_B");
  EXPECT_EQ(G.SetText(G.Analyzer.LookBlock(3, *Predicate)), "+ <epsilon>");
}

TEST(AnalyzerSets, InvertibleSubrulesAndTheElementsThatAnswerForTheirSuccessor) {
  Analyzed G(ParserFile("r : ( A | B..C ) ( A )* ( A | \"begin\" ) ( A B ) {act} D ;\n", 2));
  EXPECT_TRUE(G.Analyzer.CanInvertSubrule(G.Subrule("r", 0, 0), false));
  EXPECT_FALSE(G.Analyzer.CanInvertSubrule(G.Subrule("r", 0, 1), false));
  // A string literal only in a lexer, and only single-element alternatives.
  EXPECT_FALSE(G.Analyzer.CanInvertSubrule(G.Subrule("r", 0, 2), false));
  EXPECT_TRUE(G.Analyzer.CanInvertSubrule(G.Subrule("r", 0, 2), true));
  EXPECT_FALSE(G.Analyzer.CanInvertSubrule(G.Subrule("r", 0, 3), false));
  // The tree operation has no set at depth 1 and looks one element on otherwise; an action is
  // transparent.
  IkivAlternativeElem& Block = G.Subrule("r", 0, 3);
  EXPECT_EQ(G.Analyzer.LookTreeElement(1, Block), nullptr);
  EXPECT_EQ(G.SetText(G.Analyzer.LookTreeElement(2, Block)), "TT_D");
  EXPECT_EQ(G.SetText(Block.GetNext()->Look(1)), "TT_D");
}

// --- loops ---

TEST(AnalyzerLoops, ExitDepthsOfSeparatedLoops) {
  Analyzed G(ParserFile("r : ( A )* B ;\ns : ( A B )+ A C ;\n", 2));
  IkivZeroOrMoreBlock& Loop = Star(G.Subrule("r", 0, 0));
  EXPECT_TRUE(G.Analyzer.CheckZeroOrMore(Loop));
  EXPECT_EQ(Loop.GetExitLookaheadDepth(), 1);
  EXPECT_EQ(Depth(Loop, 0), 1);
  EXPECT_EQ(G.SetText(Loop.GetExitCache(1)), "TT_B");
  EXPECT_EQ(Loop.GetAgainstAlt(), -1);

  IkivOneOrMoreBlock& Plus2 = Plus(G.Subrule("s", 0, 0));
  EXPECT_TRUE(G.Analyzer.CheckOneOrMore(Plus2));
  EXPECT_EQ(Plus2.GetExitLookaheadDepth(), 2);
  EXPECT_EQ(Depth(Plus2, 0), 2);
  EXPECT_EQ(G.SetText(Plus2.GetExitCache(2)), "TT_C");
  // After the last A B of the loop another iteration or the exit follows.
  EXPECT_EQ(G.AltSet(Plus2, 0, 2), "TT_B");
  EXPECT_EQ(G.TakeLines(), std::vector<std::string>{});
}

TEST(AnalyzerLoops, ExitConflictIsReportedOnlyWhenGreedyWasNotGiven) {
  const std::string Rules = "r : ( A B )* A C ;\n"
                            "s : ( options { greedy = true; } : A B )* A C ;\n"
                            "t : ( options { greedy = false; } : A B )+ A C ;\n";
  Analyzed G(ParserFile(Rules, 1));
  IkivZeroOrMoreBlock& R = Star(G.Subrule("r", 0, 0));
  EXPECT_FALSE(G.Analyzer.CheckZeroOrMore(R));
  EXPECT_EQ(R.GetExitLookaheadDepth(), NondeterministicDepth);
  EXPECT_EQ(Depth(R, 0), NondeterministicDepth);
  EXPECT_EQ(G.TakeLines(),
            (std::vector<std::string>{"W:", "W:t.g(4): nondeterminism between alt 0 and exit branch of block in rule r.",
                                      "W:         k=1 TT_004"}));
  IkivZeroOrMoreBlock& S = Star(G.Subrule("s", 0, 0));
  EXPECT_FALSE(G.Analyzer.CheckZeroOrMore(S));
  EXPECT_EQ(S.GetExitLookaheadDepth(), NondeterministicDepth);
  IkivOneOrMoreBlock& T = Plus(G.Subrule("t", 0, 0));
  EXPECT_FALSE(G.Analyzer.CheckOneOrMore(T));
  EXPECT_EQ(T.GetExitLookaheadDepth(), NondeterministicDepth);
  EXPECT_EQ(G.TakeLines(), std::vector<std::string>{});
  EXPECT_EQ(G.Tool.GetWarningCount(), 0);
}

TEST(AnalyzerLoops, ExitConflictStaysSilentWithoutFollowOrAmbiguityWarnings) {
  const std::string Rules = "r : ( options { warnWhenFollowAmbig = false; } : A B )* A C ;\n"
                            "s : ( options { generateAmbigWarnings = false; } : A B )* A C ;\n";
  Analyzed G(ParserFile(Rules, 1));
  EXPECT_FALSE(G.Analyzer.CheckZeroOrMore(Star(G.Subrule("r", 0, 0))));
  EXPECT_FALSE(G.Analyzer.CheckZeroOrMore(Star(G.Subrule("s", 0, 0))));
  EXPECT_EQ(G.TakeLines(), std::vector<std::string>{});
}

TEST(AnalyzerLoops, EmptyAlternativeIsWarnedAboutAndItsExitConflictAlwaysReported) {
  Analyzed G(ParserFile("r : ( options { greedy = true; } : A | )* B ;\n", 1));
  IkivZeroOrMoreBlock& Loop = Star(G.Subrule("r", 0, 0));
  EXPECT_FALSE(G.Analyzer.CheckZeroOrMore(Loop));
  // The alternatives against each other: the greedy option keeps the empty-alternative conflict
  // silent; against the exit, the empty alternative is reported all the same.
  EXPECT_EQ(G.TakeLines(),
            (std::vector<std::string>{"W:t.g(4): Empty alternative makes no sense in (...)* or (...)+", "W:",
                                      "W:t.g(4): nondeterminism between alt 1 and exit branch of block in rule r.",
                                      "W:         k=1 TT_005"}));
  EXPECT_EQ(G.Tool.GetWarningCount(), 1);
  EXPECT_EQ(Depth(Loop, 0), NondeterministicDepth);
  EXPECT_EQ(Depth(Loop, 1), NondeterministicDepth);
  EXPECT_EQ(G.AltSet(Loop, 1, 1), "TT_A..TT_B");
}

TEST(AnalyzerLoops, LexerLoopExitConflict) {
  Analyzed G(LexerFile("A : 'x' ( 'a' )* 'a' ;\nB : ( 'b' )+ ;\n"));
  EXPECT_FALSE(G.Analyzer.CheckZeroOrMore(Star(G.Subrule("mA", 0, 1))));
  EXPECT_EQ(G.TakeLines(),
            (std::vector<std::string>{"W:", "W:t.g(4):lexical nondeterminism between alt 0 and exit branch of block in rule A.",
                                      "W:         k=1 'a'"}));
  // At a rule's end the exit is epsilon: told apart from any character.
  IkivOneOrMoreBlock& B = Plus(G.Subrule("mB", 0, 0));
  EXPECT_TRUE(G.Analyzer.CheckOneOrMore(B));
  EXPECT_EQ(G.SetText(B.GetExitCache(1)), "+ <epsilon>; depths=1");
}

TEST(AnalyzerLoops, ExitLookaheadIsComputedOnceAndReused) {
  Analyzed G(ParserFile("r : ( A | B | C )* D ;\n", 2));
  IkivZeroOrMoreBlock& Loop = Star(G.Subrule("r", 0, 0));
  EXPECT_TRUE(G.Analyzer.CheckZeroOrMore(Loop));
  IkivLookaheadPtr Exit = Loop.GetExitCache(1);
  ASSERT_TRUE(Exit);
  EXPECT_TRUE(G.Analyzer.CheckZeroOrMore(Loop));
  EXPECT_EQ(Loop.GetExitCache(1), Exit);
}

// --- warning conditions of block checks ---

TEST(AnalyzerSilence, PredicatesOnTheEarlierAlternativeKeepTheConflictSilent) {
  Analyzed G(ParserFile("r : ( A )=> A B | A C ;\ns : {ok}? A B | A C ;\nt : A C | ( A )=> A B ;\n", 1));
  EXPECT_FALSE(G.Analyzer.CheckBlock(G.Rule("r")));
  EXPECT_FALSE(G.Analyzer.CheckBlock(G.Rule("s")));
  EXPECT_EQ(G.TakeLines(), std::vector<std::string>{});
  EXPECT_EQ(Depth(G.Rule("r"), 0), NondeterministicDepth);
  // A predicate on the later alternative does not.
  EXPECT_FALSE(G.Analyzer.CheckBlock(G.Rule("t")));
  EXPECT_EQ(G.TakeLines().size(), 3u);
}

TEST(AnalyzerSilence, LoneWildcardAlternativeIsNeverReported) {
  Analyzed G(ParserFile("r : A | . ;\n", 1));
  IkivRuleBlock& R = G.Rule("r");
  // Pretend the wildcard alternative's set still holds A (it never does after competing sets).
  R.GetAlternative(1)->SetCache(1, std::make_shared<TkivLookahead>(4));
  EXPECT_FALSE(G.Analyzer.CheckBlock(R));
  EXPECT_EQ(G.TakeLines(), std::vector<std::string>{});
}

TEST(AnalyzerSilence, EmptyAlternativeAndWhatFollowsTheBlock) {
  const std::string Rules = "r : ( A | ) A ;\n"
                            "s : ( options { warnWhenFollowAmbig = false; } : A | ) A ;\n"
                            "t : ( options { greedy = true; } : A | ) A ;\n"
                            "u : ( options { greedy = true; } : A | A ) ;\n"
                            "v : ( options { generateAmbigWarnings = false; } : A | A ) ;\n";
  Analyzed G(ParserFile(Rules, 1));
  EXPECT_FALSE(G.Analyzer.CheckBlock(G.Subrule("r", 0, 0)));
  EXPECT_EQ(G.TakeLines(), (std::vector<std::string>{"W:", Headline4, "W:         k=1 TT_004"}));
  EXPECT_FALSE(G.Analyzer.CheckBlock(G.Subrule("s", 0, 0)));
  EXPECT_FALSE(G.Analyzer.CheckBlock(G.Subrule("t", 0, 0)));
  EXPECT_FALSE(G.Analyzer.CheckBlock(G.Subrule("v", 0, 0)));
  EXPECT_EQ(G.TakeLines(), std::vector<std::string>{});
  // greedy=true silences only an empty alternative against a non-empty one.
  EXPECT_FALSE(G.Analyzer.CheckBlock(G.Subrule("u", 0, 0)));
  EXPECT_EQ(G.TakeLines().size(), 3u);
}

TEST(AnalyzerSilence, NongreedyOnAPlainBlockIsWarnedAboutAndStillExamined) {
  Analyzed G(ParserFile("r : ( options { greedy = false; } : A | A B ) ;\n", 1));
  EXPECT_FALSE(G.Analyzer.CheckBlock(G.Subrule("r", 0, 0)));
  EXPECT_EQ(G.TakeLines(), (std::vector<std::string>{"W:t.g(4): Being nongreedy only makes sense for (...)+ and (...)*",
                                                     "W:", Headline4, "W:         k=1 TT_004"}));
  EXPECT_EQ(G.Tool.GetWarningCount(), 1);
}

// --- FIRST and FOLLOW ---

TEST(AnalyzerFirstFollow, RecursiveRulesAtDepthsOneToThree) {
  Analyzed G(ParserFile("s : a B ;\na : A a | C ;\n", 3));
  EXPECT_EQ(G.First("a", 1), "TT_A,TT_C");
  EXPECT_EQ(G.First("a", 2), "TT_A,TT_C+ <epsilon>; depths=1");
  EXPECT_EQ(G.First("a", 3), "TT_A,TT_C+ <epsilon>; depths=1,2");
  EXPECT_EQ(G.First("s", 2), "TT_A..TT_C");
  EXPECT_EQ(G.Follow("a", 1), "TT_B");
  EXPECT_EQ(G.Follow("a", 2), "TT_EOF");
  EXPECT_EQ(G.Follow("a", 3), "TT_EOF");
  // The start rule, referenced nowhere, is followed by the end of input at every depth.
  EXPECT_EQ(G.Follow("s", 1), "TT_EOF");
  EXPECT_EQ(G.Follow("s", 3), "TT_EOF");
  // FIRST and FOLLOW are memoised in the graph.
  EXPECT_EQ(G.SetText(G.Rule("a").GetCache(2)), "TT_A,TT_C+ <epsilon>; depths=1");
  EXPECT_EQ(G.SetText(G.Rule("a").GetEndNode()->GetCache(1)), "TT_B");
  EXPECT_EQ(G.TakeLines(), std::vector<std::string>{});
}

TEST(AnalyzerFirstFollow, AlternativesSeeFirstThroughNullableRulesAndFollowAtTheRuleEnd) {
  Analyzed G(ParserFile("s : a b C | a D E ;\na : A | ;\nb : B | ;\n", 2));
  IkivRuleBlock& S = G.Rule("s");
  EXPECT_TRUE(G.Analyzer.CheckBlock(S));
  EXPECT_EQ(G.AltSet(S, 0, 1), "TT_A..TT_C");
  EXPECT_EQ(G.AltSet(S, 1, 1), "TT_A,TT_D");
  EXPECT_EQ(G.AltSet(S, 0, 2), "TT_EOF,TT_B..TT_C");
  EXPECT_EQ(G.AltSet(S, 1, 2), "TT_D..TT_E");
  IkivRuleBlock& A = G.Rule("a");
  EXPECT_TRUE(G.Analyzer.CheckBlock(A));
  EXPECT_EQ(G.AltSet(A, 1, 1), "TT_B..TT_D");
}

TEST(AnalyzerFirstFollow, FollowCutShortByACycleIsReplacedOnceTheOtherRuleIsComplete) {
  Analyzed G(ParserFile("s : a E | b A ;\na : B b | C ;\nb : D a | F ;\n"));
  // FOLLOW(b) needs FOLLOW(a), which needs FOLLOW(b) again: a's set, cut short by b's lock, is
  // used for b but not kept as a's.
  EXPECT_EQ(G.Follow("b", 1), "TT_A,TT_E");
  IkivRuleEndElem& EndA = *G.Rule("a").GetEndNode();
  EXPECT_EQ(G.SetText(EndA.GetCache(1)), "<none>");
  // Asked again, with nothing in progress, a's set is complete and kept.
  EXPECT_EQ(G.Follow("a", 1), "TT_A,TT_E");
  EXPECT_EQ(G.SetText(EndA.GetCache(1)), "TT_A,TT_E");
}

TEST(AnalyzerFirstFollow, FollowOfALexerRuleReferencedNowhereIsEpsilon) {
  Analyzed G(LexerFile("A : 'a' B ;\nprotected B : 'b' ;\n"));
  EXPECT_EQ(G.Follow("mA", 1), "+ <epsilon>");
  // A lexer rule end is epsilon at its depth whatever follows the reference.
  EXPECT_EQ(G.First("mA", 3), "+ <epsilon>; depths=1");
}

// --- errors and panics ---

TEST(AnalyzerErrors, UndefinedRuleIsAnErrorAndLooksEmpty) {
  Analyzed G(ParserFile("r : x A | B ;\n"));
  EXPECT_TRUE(G.Analyzer.CheckBlock(G.Rule("r")));
  EXPECT_EQ(G.TakeLines(), std::vector<std::string>{"E:t.g(4): Rule \"x\" is not defined."});
  EXPECT_EQ(G.Tool.GetErrorCount(), 1);
  EXPECT_EQ(G.AltSet(G.Rule("r"), 0, 1), "");

  Analyzed L(LexerFile("A : B 'a' | 'b' ;\n"));
  EXPECT_TRUE(L.Analyzer.CheckBlock(L.Rule("mA")));
  EXPECT_EQ(L.TakeLines(), std::vector<std::string>{"E:t.g(4): Rule \"B\" is not defined."});
}

TEST(AnalyzerErrors, LeftRecursionIsReportedAndTheCycleStaysInFirst) {
  Analyzed G(ParserFile("e : e A | B ;\n"));
  EXPECT_FALSE(G.Analyzer.CheckBlock(G.Rule("e")));
  const std::string Recursion = "E:t.g(4): Infinite recursion to rule \"e\" from rule \"e\".";
  EXPECT_EQ(G.TakeLines(), (std::vector<std::string>{Recursion, "W:",
                                                     "W:t.g(4): nondeterminism between alts 1 and 2 of block in rule \"e\"",
                                                     "W:         k=1 TT_005"}));
  EXPECT_EQ(G.SetText(G.Rule("e").GetCache(1)), "TT_B; FOLLOW( e)");

  // Through another rule: the cycle names the rule whose FIRST was asked for again, and every
  // reference on the way back reports it, once.
  Analyzed L(LexerFile("A : B 'a' | 'x' ;\nprotected B : A 'b' ;\n"));
  EXPECT_FALSE(L.Analyzer.CheckBlock(L.Rule("mA")));
  const std::string ViaB = "E:t.g(4): Infinite recursion to rule \"B\" from rule \"B\".";
  EXPECT_EQ(L.TakeLines(),
            (std::vector<std::string>{ViaB, "E:t.g(5): Infinite recursion to rule \"B\" from rule \"A\".", "W:",
                                      "W:t.g(4): lexical nondeterminism between alts 1 and 2 of block in rule \"A\"",
                                      "W:         k=1 'x'"}));
  EXPECT_EQ(L.Tool.GetErrorCount(), 2);
}

TEST(AnalyzerErrors, CharacterLiteralInParserAndTokenReferenceInLexerPanic) {
  Analyzed G(ParserFile("r : A ;\n"));
  auto Char = std::make_shared<TkivToken>(0, "a");
  auto* Literal = kiv::MakeNode<TkivCharLiteralElem>(*G.Grammar, 1, false, Char);
  EXPECT_THROW(G.Analyzer.LookCharLiteral(2, *Literal), EkivPanic);
  EXPECT_EQ(G.TakeLines(), std::vector<std::string>{"M:Character literal reference found in parser"});

  Analyzed L(LexerFile("A : 'a' ;\n"));
  auto Name = std::make_shared<TkivToken>(0, "A");
  auto* Ref = kiv::MakeNode<TkivTokenRefElem>(*L.Grammar, 1, false, Name);
  EXPECT_THROW(L.Analyzer.LookTokenRef(1, *Ref), EkivPanic);
  const std::vector<std::string> Lines = L.TakeLines();
  ASSERT_FALSE(Lines.empty());
  EXPECT_EQ(Lines.back(), "M:Token reference found in lexer.");
}

TEST(AnalyzerErrors, APanicLeavesNoLockOrFlagBehind) {
  Analyzed G(ParserFile("r : s ;\ns : A ;\n", 2));
  auto Char = std::make_shared<TkivToken>(0, "a");
  auto* Literal = kiv::MakeNode<TkivCharLiteralElem>(*G.Grammar, 1, false, Char);
  // Splice the literal in as s's first element, then ask for r through it.
  IkivAlternative& Alt = *G.Rule("s").GetAlternative(0);
  Literal->SetNext(Alt.GetHead());
  Alt.SetHead(Literal);
  EXPECT_THROW(G.Analyzer.CheckBlock(G.Rule("r")), EkivPanic);
  EXPECT_FALSE(G.Rule("s").GetLock(1));
  EXPECT_FALSE(G.Rule("s").GetEndNode()->GetNoFollow());
}

TEST(AnalyzerErrors, RulesChainedTooDeeplyEndTheAnalysisWithAPanicNotACrash) {
  // Each rule ends in a reference to the next: the FOLLOW of the last passes through all of them.
  std::string Rules;
  const int Count = 20000;
  for (int I = 0; I < Count; ++I) Rules += "r" + std::to_string(I) + " : A r" + std::to_string(I + 1) + " ;\n";
  Rules += "r" + std::to_string(Count) + " : ( B )? ;\n";
  Analyzed G(ParserFile(Rules));
  IkivAlternativeBlock& Last = G.Subrule("r" + std::to_string(Count), 0, 0);
  EXPECT_THROW(G.Analyzer.CheckBlock(Last), EkivPanic);
  const std::vector<std::string> Lines = G.TakeLines();
  ASSERT_EQ(Lines.size(), 1u);
  EXPECT_EQ(Lines[0].rfind("M:Lookahead analysis nested too deeply in rule \"r", 0), 0u);
  // A chain of a few hundred rules is analysed as usual.
  std::string Short;
  for (int I = 0; I < 300; ++I) Short += "r" + std::to_string(I) + " : A r" + std::to_string(I + 1) + " ;\n";
  Short += "r300 : ( B )? ;\n";
  Analyzed S(ParserFile(Short));
  EXPECT_TRUE(S.Analyzer.CheckBlock(S.Subrule("r300", 0, 0)));
  EXPECT_EQ(S.AltSet(S.Subrule("r300", 0, 0), 1, 1), "TT_EOF");
}

#if defined(__unix__)
// The guard reads the limit of the thread it runs on: a worker thread with a small stack ends a
// long chain with the panic too, where a budget taken from the process's stack setting would let
// the recursion run off the thread's stack.
TEST(AnalyzerErrors, TheStackGuardFollowsTheStackOfTheRunningThread) {
  std::string Rules;
  const int Count = 2000;
  for (int I = 0; I < Count; ++I) Rules += "r" + std::to_string(I) + " : A r" + std::to_string(I + 1) + " ;\n";
  Rules += "r" + std::to_string(Count) + " : ( B )? ;\n";
  Analyzed G(ParserFile(Rules));
  struct Job {
    Analyzed* G;
    std::string Last;
    bool Panicked = false;
  } job{&G, "r" + std::to_string(Count)};
  pthread_attr_t Attributes;
  pthread_attr_init(&Attributes);
  pthread_attr_setstacksize(&Attributes, std::size_t{256} << 10);
  pthread_t Thread;
  ASSERT_EQ(pthread_create(
                &Thread, &Attributes,
                [](void* Arg) -> void* {
                  auto* J = static_cast<Job*>(Arg);
                  try {
                    J->G->Analyzer.CheckBlock(J->G->Subrule(J->Last, 0, 0));
                  } catch (const EkivPanic&) {
                    J->Panicked = true;
                  }
                  return nullptr;
                },
                &job),
            0);
  pthread_join(Thread, nullptr);
  pthread_attr_destroy(&Attributes);
  EXPECT_TRUE(job.Panicked);
}
#endif
