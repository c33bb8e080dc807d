// kivGrammarMakerTest.cpp - the graphs the grammar maker builds from grammar files (as dumps, block
// numbers relative to the rule's), the records it keeps, and its diagnostics.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/codegen/kivLookahead.h"
#include "engine/graph/kivGraphArena.h"
#include "engine/graph/kivGraphDump.h"
#include "tests/engine/graph/kivGraphTestSupport.h"

using namespace kivgraphtest;
using kiv::Supports;

namespace {

using Lines = std::vector<std::string>;

bool References(const ParsedGrammar& P, const std::string& Rule, const IkivRuleRefElem* Ref) {
  auto& Refs = P.Grammar->getRuleSymbol(Rule)->getReferences();
  return std::find(Refs.begin(), Refs.end(), Ref) != Refs.end();
}

} // namespace

// --- shapes ---

TEST(GrammarMakerShapes, RuleAlternativesShareTheRuleEnd) {
  ParsedGrammar P(ParserFile("r : A B | C ;\n"));
  EXPECT_EQ(P.Tool.Lines, Lines{});
  EXPECT_EQ(P.Dump("r"), "rule r #0\n"
                         "  alt 1\n"
                         "    A <4>\n"
                         "    B <5>\n"
                         "    [RuleEnd r]\n"
                         "  alt 2\n"
                         "    C <6>\n"
                         "    [RuleEnd r]\n");
  IkivRuleBlock* Rule = P.Rule("r");
  IkivRuleEndElem* End = Rule->GetEndNode();
  ASSERT_NE(End, nullptr);
  EXPECT_EQ(End->GetBlock(), Rule);
  EXPECT_EQ(Rule->GetAlternative(0)->GetTail(), End);
  EXPECT_EQ(Rule->GetAlternative(1)->GetTail(), End);
  EXPECT_EQ(End->GetNext(), nullptr);
  EXPECT_EQ(Rule->GetLine(), 4);
  // Prepared for analysis: caches for depths 0..k, depths not yet computed.
  EXPECT_EQ(Rule->GetAlternative(0)->GetCacheHigh(), 1);
  EXPECT_EQ(Rule->GetAlternative(0)->GetLookaheadDepth(), -1);
}

TEST(GrammarMakerShapes, SubruleIsOneElementWhoseNextFollowsIt) {
  ParsedGrammar P(ParserFile("r : A ( B | C D ) E ;\n"));
  EXPECT_EQ(P.Tool.Lines, Lines{});
  EXPECT_EQ(P.Dump("r"), "rule r #0\n"
                         "  alt 1\n"
                         "    A <4>\n"
                         "    ( #1\n"
                         "      alt 1\n"
                         "        B <5>\n"
                         "        [BlkEnd #1]\n"
                         "      alt 2\n"
                         "        C <6>\n"
                         "        D <7>\n"
                         "        [BlkEnd #1]\n"
                         "    )\n"
                         "    E <8>\n"
                         "    [RuleEnd r]\n");
  IkivAlternativeElem* Block = P.Rule("r")->GetAlternative(0)->GetHead()->GetNext();
  auto* Sub = Supports<IkivAlternativeBlock>(Block);
  ASSERT_NE(Sub, nullptr);
  EXPECT_EQ(Sub->GetNext()->ToText(), "E");
  EXPECT_EQ(Sub->GetLine(), 4);
  EXPECT_EQ(Sub->GetColumn(), 7);
  EXPECT_EQ(Sub->GetAlternative(0)->GetCacheHigh(), 1);
}

TEST(GrammarMakerShapes, EmptyAlternativesHoldOnlyTheirEnd) {
  ParsedGrammar P(ParserFile("r : ( | A ) ( B )? | ;\n"));
  EXPECT_EQ(P.Tool.Lines, Lines{});
  EXPECT_EQ(P.Dump("r"), "rule r #0\n"
                         "  alt 1\n"
                         "    ( #1\n"
                         "      alt 1\n"
                         "        [BlkEnd #1]\n"
                         "      alt 2\n"
                         "        A <4>\n"
                         "        [BlkEnd #1]\n"
                         "    )\n"
                         "    ( #2\n"
                         "      alt 1\n"
                         "        B <5>\n"
                         "        [BlkEnd #2]\n"
                         "      alt 2 noast\n"
                         "        [BlkEnd #2]\n"
                         "    )\n"
                         "    [RuleEnd r]\n"
                         "  alt 2\n"
                         "    [RuleEnd r]\n");
}

// The plain block's number is used up by the loop that replaces it; only (...)+ blocks are loop
// counters.
TEST(GrammarMakerShapes, LoopsOwnTheAlternativesOfTheirPlainBlock) {
  ParsedGrammar P(ParserFile("r : ( A | B )+ ( C )* ;\n"));
  EXPECT_EQ(P.Tool.Lines, Lines{});
  EXPECT_EQ(P.Dump("r"), "rule r #0 loops=#2\n"
                         "  alt 1\n"
                         "    ( #2\n"
                         "      alt 1\n"
                         "        A <4>\n"
                         "        [BlkEnd #2]\n"
                         "      alt 2\n"
                         "        B <5>\n"
                         "        [BlkEnd #2]\n"
                         "    )+\n"
                         "    ( #4\n"
                         "      alt 1\n"
                         "        C <6>\n"
                         "        [BlkEnd #4]\n"
                         "    )*\n"
                         "    [RuleEnd r]\n");
  auto* Loop = Supports<IkivOneOrMoreBlock>(P.Rule("r")->GetAlternative(0)->GetHead());
  ASSERT_NE(Loop, nullptr);
  EXPECT_EQ(Loop->GetLine(), 4);
  EXPECT_EQ(Loop->GetAlternative(1)->GetCacheHigh(), 1);
  EXPECT_NE(Supports<IkivZeroOrMoreBlock>(Loop->GetNext()), nullptr);
}

TEST(GrammarMakerShapes, LoopKeepsTheSettingsOfItsSource) {
  ParsedGrammar P(ParserFile("r : l:( options { greedy = false; warnWhenFollowAmbig = false; } {init} : A )* ;\n"));
  EXPECT_EQ(P.Tool.Lines, Lines{});
  auto* Loop = Supports<IkivZeroOrMoreBlock>(P.Rule("r")->GetAlternative(0)->GetHead());
  ASSERT_NE(Loop, nullptr);
  EXPECT_EQ(Loop->GetLabel(), "l");
  EXPECT_EQ(Loop->GetInitAction(), "{init}");
  EXPECT_FALSE(Loop->GetGreedy());
  EXPECT_TRUE(Loop->GetGreedyGiven());
  EXPECT_FALSE(Loop->GetWarnWhenFollowAmbig());
  EXPECT_TRUE(Loop->GetGenerateAmbigWarnings());
}

TEST(GrammarMakerShapes, SyntacticPredicateGuardsItsAlternative) {
  ParsedGrammar P(ParserFile("r : ( A s )=> A B | C s ;\ns : D ;\n"));
  EXPECT_EQ(P.Tool.Lines, Lines{});
  EXPECT_EQ(P.Dump("r"), "rule r #0 hassynpred synpreds=#2\n"
                         "  alt 1 synpred\n"
                         "    ( #2\n"
                         "      alt 1\n"
                         "        A <4>\n"
                         "        s\n"
                         "        [BlkEnd #2]\n"
                         "    )=>\n"
                         "    A <4>\n"
                         "    B <5>\n"
                         "    [RuleEnd r]\n"
                         "  alt 2\n"
                         "    C <6>\n"
                         "    s\n"
                         "    [RuleEnd r]\n");
  EXPECT_TRUE(P.Grammar->hasSyntacticPredicates());
  IkivRuleBlock* Rule = P.Rule("r");
  IkivSynPredBlock* Pred = Rule->GetAlternative(0)->GetSynPred();
  ASSERT_NE(Pred, nullptr);
  EXPECT_EQ(Rule->GetAlternative(0)->GetHead()->ToText(), "A");
  // Only the reference after the predicate counts as a use of s.
  auto* InPred = Supports<IkivRuleRefElem>(Pred->GetAlternative(0)->GetHead()->GetNext());
  auto* After = Supports<IkivRuleRefElem>(Rule->GetAlternative(1)->GetHead()->GetNext());
  EXPECT_FALSE(References(P, "s", InPred));
  EXPECT_TRUE(References(P, "s", After));
  EXPECT_EQ(P.Grammar->getRuleSymbol("s")->numReferences(), 1);
}

TEST(GrammarMakerShapes, NestedSubruleCarriesThePredicateFlagOfItsAlternative) {
  ParsedGrammar P(ParserFile("r : ( ( A )=> A | B ) ;\n"));
  EXPECT_EQ(P.Tool.Lines, Lines{});
  auto* Sub = Supports<IkivAlternativeBlock>(P.Rule("r")->GetAlternative(0)->GetHead());
  ASSERT_NE(Sub, nullptr);
  EXPECT_TRUE(Sub->GetHasSynPred());
  EXPECT_NE(Sub->GetAlternative(0)->GetSynPred(), nullptr);
  EXPECT_EQ(Sub->GetAlternative(0)->GetSynPred()->GetEnclosingRuleName(), "r");
}

TEST(GrammarMakerShapes, LabelsEnclosingRuleNamesAndReferences) {
  ParsedGrammar P(ParserFile("r : x:A v=y:s[1] x:( B ) t! ;\ns : C ;\nt : D ;\n"));
  EXPECT_EQ(P.Tool.Lines, Lines{});
  EXPECT_EQ(P.Dump("r"), "rule r #0 labels=x,y,x\n"
                         "  alt 1\n"
                         "    x:A <4>\n"
                         "    v=y:s[1]\n"
                         "    ( #1 label=x\n"
                         "      alt 1\n"
                         "        B <5>\n"
                         "        [BlkEnd #1]\n"
                         "    )\n"
                         "    t !\n"
                         "    [RuleEnd r]\n");
  IkivRuleBlock* Rule = P.Rule("r");
  for (IkivAlternativeElem* E = Rule->GetAlternative(0)->GetHead(); E != nullptr; E = E->GetNext())
    EXPECT_EQ(E->GetEnclosingRuleName(), "r") << E->ToText();
  EXPECT_EQ(Rule->GetEnclosingRuleName(), "r");
  EXPECT_EQ(P.Grammar->getRuleSymbol("s")->numReferences(), 1);
  EXPECT_EQ(P.Grammar->getRuleSymbol("t")->numReferences(), 1);
  EXPECT_EQ(P.Grammar->getRuleSymbol("r")->numReferences(), 0);
}

TEST(GrammarMakerShapes, RuleDeclarationsHandlersAndActions) {
  ParsedGrammar P(ParserFile("r [a: integer] returns [integer] local {var x: integer;} {start}\n"
                             "  : {one} A {p1}? {p2}? except {h1}\n"
                             "  | {p3}? B\n"
                             "  ;\n"
                             "  finally {h2}\n"));
  EXPECT_EQ(P.Tool.Lines, Lines{});
  EXPECT_EQ(P.Dump("r"), "rule r #0 args=[a: integer] returns=[integer] locals={var x: integer;} init={start}"
                         " finally={h2}\n"
                         "  alt 1 except={h1}\n"
                         "    {{one}\n"
                         "    A <4>\n"
                         "    {{p1}}?\n"
                         "    {{p2}}?\n"
                         "    [RuleEnd r]\n"
                         "  alt 2 sempred={p3}\n"
                         "    B <5>\n"
                         "    [RuleEnd r]\n");
  EXPECT_TRUE(P.Rule("r")->GetHasAction());
}

TEST(GrammarMakerShapes, RuleBlockTakesTheGrammarsDefaultErrorHandler) {
  ParsedGrammar P("unit U;\nparser P;\noptions { importVocab = V; defaultErrorHandler = true; }\n"
                  "r : A ;\ns options { defaultErrorHandler = false; } : B ;\n");
  EXPECT_EQ(P.Tool.Lines, Lines{});
  EXPECT_TRUE(P.Rule("r")->GetDefaultErrorHandler());
  EXPECT_FALSE(P.Rule("s")->GetDefaultErrorHandler());
}

TEST(GrammarMakerShapes, LexerRuleReferencesAndLiterals) {
  ParsedGrammar P(LexerFile("ID : ('a'..'z')+ DIGIT \"ab\" . ;\nprotected DIGIT : '0'..'9' ;\n"));
  EXPECT_EQ(P.Tool.Lines, Lines{});
  EXPECT_EQ(P.Dump("mID"), "rule ID #0 loops=#2\n"
                           "  alt 1\n"
                           "    ( #2\n"
                           "      alt 1\n"
                           "        a..z\n"
                           "        [BlkEnd #2]\n"
                           "    )+\n"
                           "    mDIGIT\n"
                           "    \"ab\" <0>\n"
                           "    . <0>\n"
                           "    [RuleEnd ID]\n");
  EXPECT_EQ(P.Grammar->getRuleSymbol("mDIGIT")->numReferences(), 1);
}

// Every literal of a rule with an ignore rule is followed by an optional reference to it, the
// last one included; those references do not count as uses of the ignore rule.
TEST(GrammarMakerShapes, IgnoreRuleFollowsEveryLiteral) {
  ParsedGrammar P(LexerFile("R options { ignore = WS; } : 'a' \"bc\" 'd'..'e' X ;\n"
                            "protected X : 'x' ;\nprotected WS : ' ' ;\n"));
  EXPECT_EQ(P.Tool.Lines, Lines{});
  const std::string Ignore = "    ( #%\n"
                             "      alt 1 noast\n"
                             "        mWS\n"
                             "        [BlkEnd #%]\n"
                             "      alt 2 noast\n"
                             "        [BlkEnd #%]\n"
                             "    )\n";
  auto IgnoreBlock = [&](int Id) {
    std::string Text = Ignore;
    for (std::size_t At = Text.find('%'); At != std::string::npos; At = Text.find('%'))
      Text.replace(At, 1, std::to_string(Id));
    return Text;
  };
  EXPECT_EQ(P.Dump("mR"), "rule R #0 ignore=WS\n"
                          "  alt 1\n"
                          "    a <97>\n" +
                              IgnoreBlock(1) + "    \"bc\" <0>\n" + IgnoreBlock(2) + "    d..e\n" + IgnoreBlock(3) +
                              "    mX\n" + IgnoreBlock(4) + "    [RuleEnd R]\n");
  EXPECT_EQ(P.Grammar->getRuleSymbol("mWS")->numReferences(), 0);
  EXPECT_EQ(P.Grammar->getRuleSymbol("mX")->numReferences(), 1);
}

TEST(GrammarMakerShapes, IgnoreRuleThatIsNeverDefinedGetsASymbol) {
  ParsedGrammar P(LexerFile("R options { ignore = SPACE; } : 'a' ;\n"));
  EXPECT_EQ(P.Tool.Lines, Lines{});
  IkivRuleSymbolPtr Space = P.Grammar->getRuleSymbol("mSPACE");
  ASSERT_TRUE(Space);
  EXPECT_FALSE(Space->isDefined());
}

TEST(GrammarMakerShapes, ParaphraseReachesTheRulesToken) {
  ParsedGrammar P(LexerFile("ID options { paraphrase = \"an identifier\"; } : 'a' ;\n"));
  EXPECT_EQ(P.Tool.Lines, Lines{});
  EXPECT_EQ(P.Grammar->getTokenManager()->getTokenSymbol("ID")->getParaphrase(), "\"an identifier\"");
}

TEST(GrammarMakerShapes, InvertedSetsInLexerAndParser) {
  ParsedGrammar Lexer(LexerFile("R : ~('a' | 'b'..'c' | \"d\") ~'e' ;\n"));
  EXPECT_EQ(Lexer.Tool.Lines, Lines{});
  EXPECT_EQ(Lexer.Analyzer.Calls, Lines{"CanInvertSubrule lexer"});
  EXPECT_EQ(Lexer.Dump("mR"), "rule R #0\n"
                              "  alt 1\n"
                              "    (~ #1\n"
                              "      alt 1\n"
                              "        a <97>\n"
                              "        [BlkEnd #1]\n"
                              "      alt 2\n"
                              "        b..c\n"
                              "        [BlkEnd #1]\n"
                              "      alt 3\n"
                              "        \"d\" <0>\n"
                              "        [BlkEnd #1]\n"
                              "    )\n"
                              "    ~e <101>\n"
                              "    [RuleEnd R]\n");

  ParsedGrammar Parser(ParserFile("r : ~(A | B) ~C ;\n"));
  EXPECT_EQ(Parser.Tool.Lines, Lines{});
  EXPECT_EQ(Parser.Analyzer.Calls, Lines{"CanInvertSubrule parser"});
}

// --- records that no element of the graph holds ---

TEST(GrammarMakerRecords, ExceptionSpecificationsAreBuiltWithTrimmedLabels) {
  ParsedGrammar P(ParserFile("r : A ;\n"));
  TkivGrammarMaker& M = *P.Maker;
  M.openExceptionSpec(Tok(TT_LOWER_ID, " \t lbl \r\n"));
  M.addExceptionHandler(Tok(TT_ARGUMENT, "E: EFoo"), Tok(TT_ACTION, "{x}"));
  M.addExceptionHandler(Tok(TT_ARGUMENT, "E: EBar"), Tok(TT_ACTION, "{y}"));
  M.closeExceptionSpec();
  ASSERT_TRUE(M.CurrentExceptionSpec());
  EXPECT_EQ(M.CurrentExceptionSpec()->GetLabel()->TokenText(), "lbl");
  ASSERT_EQ(M.CurrentExceptionSpec()->GetHandlers().size(), 2u);
  EXPECT_EQ(M.CurrentExceptionSpec()->GetHandlers()[1]->GetAction()->TokenText(), "{y}");
  EXPECT_EQ(M.CurrentExceptionSpec()->GetHandlers()[0]->GetExceptionTypeAndName()->TokenText(), "E: EFoo");
}

TEST(GrammarMakerRecords, ElementOptionsAndElementText) {
  ParsedGrammar P(ParserFile(""));
  TkivGrammarMaker& M = *P.Maker;
  M.defineRule(Tok(TT_LOWER_ID, "r", 9, 1), "public", true, "");
  M.beginAlternative(true);
  M.addTokenRef(nullptr, Tok(TT_UPPER_ID, "A"), nullptr, nullptr, 0, 1, false);
  M.setElementOption(Tok(TT_UPPER_ID, "AST"), Tok(TT_UPPER_ID, "TNode"));
  M.addRuleRef(nullptr, Tok(TT_LOWER_ID, "s"), nullptr, nullptr, 1);
  M.setElementText(Tok(TT_ARGUMENT, "x, y"));
  M.setElementOption(Tok(TT_UPPER_ID, "AST", 9, 14), Tok(TT_UPPER_ID, "TNode"));
  M.endAlternative();
  M.endRule("");
  EXPECT_EQ(P.Dump("r"), "rule r #0\n"
                         "  alt 1\n"
                         "    A <4> AST=TNode\n"
                         "    s[x, y]\n"
                         "    [RuleEnd r]\n");
  EXPECT_EQ(P.Tool.Lines, Lines{"error t.g 9:14 Cannot use element option \"AST\" for this kind of element."});
}

TEST(GrammarMakerRecords, TokensEntryOptions) {
  ParsedGrammar P(LexerFile("tokens { KW = \"kw\"; }\nR : 'a' ;\n"));
  TkivGrammarMaker& M = *P.Maker;
  M.setTokensEntryOption(Tok(TT_UPPER_ID, "KW"), Tok(TT_UPPER_ID, "AST"), Tok(TT_UPPER_ID, "TKw"));
  EXPECT_EQ(P.Grammar->getTokenManager()->getTokenSymbol("KW")->getAstNodeType(), "TKw");
  M.setTokensEntryOption(Tok(TT_UPPER_ID, "KW"), Tok(TT_LOWER_ID, "color", 7, 3), Tok(TT_UPPER_ID, "red"));
  EXPECT_EQ(P.Tool.Lines, Lines{"error t.g 7:3 Invalid tokens {...} element option: \"color\"."});
  EXPECT_THROW(M.setTokensEntryOption(Tok(TT_UPPER_ID, "NONE"), Tok(TT_UPPER_ID, "AST"), Tok(TT_UPPER_ID, "T")),
               EkivPanic);
  EXPECT_EQ(P.Tool.Lines.back(), "panic Cannot find \"NONE\" in tokens {...}.");
}

TEST(GrammarMakerRecords, NextTokenRuleDispatchesToThePublicRules) {
  ParsedGrammar P(LexerFile("A : 'a' ;\nprotected B : 'b' ;\nC : X ;\nprivate D : 'd' ;\n"));
  EXPECT_EQ(P.Tool.Lines, Lines{});
  IkivRuleBlock* Next =
      TkivGrammarMaker::CreateNextTokenRule(*P.Grammar, P.Grammar->getRules(), "NextToken");
  EXPECT_EQ(kiv::DumpRule(*Next, kiv::DumpIdKind::RelativeToRule), "rule NextToken #0\n"
                                                                     "  alt 1\n"
                                                                     "    result:mA\n"
                                                                     "    [RuleEnd NextToken]\n"
                                                                     "  alt 2\n"
                                                                     "    result:mC\n"
                                                                     "    [RuleEnd NextToken]\n");
  EXPECT_EQ(P.Tool.Lines, Lines{"error t.g -2:0 Lexer rule \"X\" is not defined."});
  EXPECT_EQ(Next->GetEndNode()->GetBlock(), Next);
  EXPECT_EQ(Next->GetAlternative(0)->GetHead()->GetEnclosingRuleName(), "NextToken");
  EXPECT_TRUE(Next->GetAlternative(0)->GetAstEnabled());
  EXPECT_EQ(Next->GetAlternative(0)->GetCacheHigh(), 1);
  EXPECT_EQ(P.Grammar->getRuleSymbol("mA")->numReferences(), 1);
  EXPECT_EQ(P.Grammar->getRuleSymbol("mB")->numReferences(), 0);
}

// --- ownership ---

// The grammar owns its graph: when the last holder drops the grammar, every element, alternative
// and cached lookahead set goes with it, recursion and shared ends notwithstanding (the sanitizer
// build reports anything left behind).
TEST(GraphOwnership, DroppingTheGrammarFreesTheWholeGraph) {
  std::weak_ptr<IkivGrammar> Grammar;
  std::weak_ptr<void> Arena;
  std::weak_ptr<IkivLookahead> Cached;
  {
    ParsedGrammar P(ParserFile("expr : term ( ( A | B ) term )* ;\n"
                               "term : ( C expr )=> C expr | ( D )+ | l:E ( expr )? ;\n"));
    ASSERT_EQ(P.Tool.Lines, Lines{});
    Grammar = P.Grammar;
    Arena = P.Grammar->getGraphStorage();
    auto Set = std::make_shared<TkivLookahead>();
    P.Rule("expr")->GetAlternative(0)->SetCache(1, Set);
    P.Rule("term")->GetEndNode()->SetCache(1, Set);
    Cached = Set;
    EXPECT_GT(kiv::GraphArenaOf(*P.Grammar).ElemCount(), 20u);
  }
  EXPECT_TRUE(Grammar.expired());
  EXPECT_TRUE(Arena.expired());
  EXPECT_TRUE(Cached.expired());
}
