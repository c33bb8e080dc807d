// kivGraphElementTest.cpp - elements, alternatives and blocks on their own: construction from
// tokens, text forms, double dispatch, options, preparation, numbering and predicate references.
#include <gtest/gtest.h>

#include "engine/codegen/kivLookahead.h"
#include "engine/graph/kivAlternative.h"
#include "engine/graph/kivAlternativeBlock.h"
#include "engine/graph/kivGrammarAtom.h"
#include "engine/graph/kivGraphArena.h"
#include "engine/graph/kivRuleBlock.h"
#include "engine/graph/kivSubruleInversion.h"
#include "engine/model/kivGrammarSymbol.h"
#include "tests/engine/graph/kivGraphTestSupport.h"

using namespace kivgraphtest;
using kiv::MakeNode;

namespace {

// A block whose alternatives hold the given elements, each followed by the block's end.
TkivAlternativeBlock* BlockOf(IkivGrammar& G, std::initializer_list<IkivAlternativeElem*> Heads) {
  auto* Block = MakeNode<TkivAlternativeBlock>(G);
  auto* End = MakeNode<TkivBlockEndElem>(G);
  End->SetBlock(Block);
  for (IkivAlternativeElem* Head : Heads) {
    auto* Alt = MakeNode<TkivAlternative>(G, Head);
    Alt->AddElement(End);
    Block->AddAlternative(Alt);
  }
  return Block;
}

} // namespace

TEST(GraphElements, ElementsTakeTheirPositionFromTheirToken) {
  DirectGrammar D;
  IkivGrammar& G = *D.Grammar;
  auto* Action = MakeNode<TkivActionElem>(G, Tok(TT_ACTION, "{x}", 4, 9));
  EXPECT_EQ(Action->GetLine(), -1);
  EXPECT_EQ(Action->GetColumn(), -1);
  auto* Ref = MakeNode<TkivTokenRefElem>(G, 1, false, Tok(TT_UPPER_ID, "B", 4, 9));
  EXPECT_EQ(Ref->GetLine(), 4);
  EXPECT_EQ(Ref->GetColumn(), 9);
  auto* Range = MakeNode<TkivCharRangeElem>(G, 1, Tok(TT_CHAR, "a", 2, 3), Tok(TT_CHAR, "z", 2, 8));
  EXPECT_EQ(Range->GetLine(), 2);
  EXPECT_EQ(Range->GetColumn(), 3);
  EXPECT_EQ(MakeNode<TkivBlockEndElem>(G)->GetLine(), -1);
}

TEST(GraphElements, CharacterLiteralTypeIsTheCodeAndEmptyTextFallsBack) {
  DirectGrammar D(true);
  auto* Lit = MakeNode<TkivCharLiteralElem>(*D.Grammar, 3, true, Tok(TT_CHAR, "\xE9", 5, 2));
  EXPECT_EQ(Lit->GetType(), 0xE9);
  EXPECT_TRUE(Lit->GetInverted());
  EXPECT_EQ(Lit->GetAstMode(), 3);
  EXPECT_EQ(Lit->GetLine(), 5);

  auto* Empty = MakeNode<TkivCharLiteralElem>(*D.Grammar, 3, true, Tok(TT_CHAR, "", 5, 2));
  EXPECT_EQ(Empty->GetType(), 0);
  EXPECT_EQ(Empty->GetLine(), 1);
  EXPECT_FALSE(Empty->GetInverted());
  EXPECT_EQ(Empty->GetAstMode(), 1);
}

TEST(GraphElements, StringLiteralTypeComesFromTheParserVocabularyOnly) {
  DirectGrammar Lexer(true);
  auto* InLexer = MakeNode<TkivStringLiteralElem>(*Lexer.Grammar, 1, Tok(TT_STRING, "\"abc\""));
  EXPECT_EQ(InLexer->GetType(), 0);
  EXPECT_EQ(InLexer->GetProcessedText(), "abc");
  EXPECT_EQ(InLexer->GetText(), "\"abc\"");
  EXPECT_TRUE(Lexer.Tool.Lines.empty());

  DirectGrammar Parser;
  EXPECT_EQ(MakeNode<TkivStringLiteralElem>(*Parser.Grammar, 1, Tok(TT_STRING, "\"begin\""))->GetType(), 7);
  auto* Unknown = MakeNode<TkivStringLiteralElem>(*Parser.Grammar, 1, Tok(TT_STRING, "\"end\"", 3, 4));
  EXPECT_EQ(Unknown->GetType(), 0);
  EXPECT_EQ(Unknown->GetProcessedText(), "end");
  EXPECT_EQ(Parser.Tool.Lines, std::vector<std::string>{"error t.g 3:4 Undefined literal: \"end\""});
}

TEST(GraphElements, TokenReferenceTakesTypeAndAstNodeTypeFromItsSymbol) {
  DirectGrammar D;
  D.Grammar->getTokenManager()->getTokenSymbol("B")->setAstNodeType("TBNode");
  auto* Ref = MakeNode<TkivTokenRefElem>(*D.Grammar, 2, true, Tok(TT_UPPER_ID, "B"));
  EXPECT_EQ(Ref->GetType(), 5);
  EXPECT_EQ(Ref->GetAstNodeType(), "TBNode");
  EXPECT_TRUE(Ref->GetInverted());
  EXPECT_EQ(Ref->GetAstMode(), 2);

  auto* Unknown = MakeNode<TkivTokenRefElem>(*D.Grammar, 1, false, Tok(TT_UPPER_ID, "Q", 6, 7));
  EXPECT_EQ(Unknown->GetType(), 0);
  EXPECT_EQ(D.Tool.Lines, std::vector<std::string>{"error t.g 6:7 Undefined token symbol: Q"});
}

TEST(GraphElements, RangesKeepTheirEndsAsWritten) {
  DirectGrammar D;
  auto* Tokens = MakeNode<TkivTokenRangeElem>(*D.Grammar, 1, Tok(TT_UPPER_ID, "A"), Tok(TT_STRING, "\"begin\""));
  EXPECT_EQ(Tokens->GetFirst(), 4);
  EXPECT_EQ(Tokens->GetLast(), 7);
  EXPECT_EQ(Tokens->GetFirstText(), "A");
  EXPECT_EQ(Tokens->GetLastText(), "\"begin\"");
  auto* Chars = MakeNode<TkivCharRangeElem>(*D.Grammar, 1, Tok(TT_CHAR, "z"), Tok(TT_CHAR, "a"));
  EXPECT_EQ(Chars->GetFirst(), 'z');
  EXPECT_EQ(Chars->GetLast(), 'a');
}

TEST(GraphElements, TextForms) {
  DirectGrammar D;
  IkivGrammar& G = *D.Grammar;
  EXPECT_EQ(MakeNode<TkivBlockEndElem>(G)->ToText(), " [BlkEnd]");
  EXPECT_EQ(MakeNode<TkivRuleEndElem>(G)->ToText(), " [RuleEnd]");

  auto* Action = MakeNode<TkivActionElem>(G, Tok(TT_ACTION, "x := 1;"));
  EXPECT_EQ(Action->ToText(), " {x := 1;");
  Action->SetIsSemPred(true);
  EXPECT_EQ(Action->ToText(), " {x := 1;}?");

  auto* Ref = MakeNode<TkivTokenRefElem>(G, 1, true, Tok(TT_UPPER_ID, "A"));
  Ref->SetLabel("x");
  EXPECT_EQ(Ref->ToText(), "x:~A");
  EXPECT_EQ(MakeNode<TkivStringLiteralElem>(G, 1, Tok(TT_STRING, "\"begin\""))->ToText(), "\"begin\"");

  auto* Dot = MakeNode<TkivWildcardElem>(G, 1, Tok(TT_DOT, "."));
  EXPECT_EQ(Dot->ToText(), ".");
  Dot->SetLabel("w");
  EXPECT_EQ(Dot->ToText(), "w:.");

  auto* Range = MakeNode<TkivCharRangeElem>(G, 1, Tok(TT_CHAR, "a"), Tok(TT_CHAR, "z"));
  Range->SetLabel("r");
  EXPECT_EQ(Range->ToText(), " r:a..z");
  EXPECT_EQ(MakeNode<TkivTokenRangeElem>(G, 1, Tok(TT_UPPER_ID, "A"), Tok(TT_UPPER_ID, "C"))->ToText(), " A..C");

  auto* Call = MakeNode<TkivRuleRefElem>(G, 1, Tok(TT_LOWER_ID, "expr"));
  EXPECT_EQ(Call->ToText(), " expr");
  Call->SetArguments("1, 2");
  EXPECT_EQ(Call->ToText(), " expr1, 2");

  EXPECT_EQ(MakeNode<TkivAlternativeBlock>(G)->ToText(), "");
  EXPECT_EQ(MakeNode<TkivRuleBlock>(G, "r")->ToText(), "");
  EXPECT_EQ(MakeNode<TkivOneOrMoreBlock>(G)->ToText(), "+");
  EXPECT_EQ(MakeNode<TkivZeroOrMoreBlock>(G)->ToText(), "*");
  EXPECT_EQ(MakeNode<TkivSynPredBlock>(G)->ToText(), "=>");
}

TEST(GraphElements, LabelsAreDroppedByEndsAndActionsAndKeptByTheRest) {
  DirectGrammar D;
  IkivGrammar& G = *D.Grammar;
  std::vector<IkivAlternativeElem*> Dropping = {MakeNode<TkivActionElem>(G, Tok(TT_ACTION, "{}")),
                                                MakeNode<TkivBlockEndElem>(G), MakeNode<TkivRuleEndElem>(G)};
  for (IkivAlternativeElem* E : Dropping) {
    E->SetLabel("l");
    EXPECT_EQ(E->GetLabel(), "") << E->ToText();
  }
  std::vector<IkivAlternativeElem*> Keeping = {
      MakeNode<TkivRuleRefElem>(G, 1, Tok(TT_LOWER_ID, "r")),
      MakeNode<TkivTokenRefElem>(G, 1, false, Tok(TT_UPPER_ID, "A")),
      MakeNode<TkivWildcardElem>(G, 1, Tok(TT_DOT, ".")),
      MakeNode<TkivCharRangeElem>(G, 1, Tok(TT_CHAR, "a"), Tok(TT_CHAR, "b")),
      MakeNode<TkivTokenRangeElem>(G, 1, Tok(TT_UPPER_ID, "A"), Tok(TT_UPPER_ID, "B")),
      MakeNode<TkivZeroOrMoreBlock>(G),
      MakeNode<TkivRuleBlock>(G, "r")};
  for (IkivAlternativeElem* E : Keeping) {
    E->SetLabel("l");
    EXPECT_EQ(E->GetLabel(), "l") << E->ToText();
  }
}

TEST(GraphElements, AtomElementOption) {
  DirectGrammar D;
  auto* Ref = MakeNode<TkivTokenRefElem>(*D.Grammar, 1, false, Tok(TT_UPPER_ID, "A"));
  Ref->SetOption(Tok(TT_UPPER_ID, "AST"), Tok(TT_UPPER_ID, "TNode"));
  EXPECT_EQ(Ref->GetAstNodeType(), "TNode");
  Ref->SetOption(Tok(TT_LOWER_ID, "ast", 8, 11), Tok(TT_UPPER_ID, "TOther"));
  EXPECT_EQ(Ref->GetAstNodeType(), "TNode");
  EXPECT_EQ(D.Tool.Lines, std::vector<std::string>{"error t.g 8:11 Invalid element option: ast"});
}

// Each kind calls the analyzer's and the generator's operation of its own kind; a block end asks
// the analyzer but generates nothing, and a predicate block answers an empty set by itself.
TEST(GraphElements, DoubleDispatchCallsTheOperationOfTheElementsKind) {
  DirectGrammar D;
  IkivGrammar& G = *D.Grammar;
  struct Case {
    IkivGrammarElem* Elem;
    const char* Look;
    const char* Gen;
  };
  const std::vector<Case> Cases = {
      {MakeNode<TkivActionElem>(G, Tok(TT_ACTION, "{}")), "LookAction", "GenAction"},
      {MakeNode<TkivCharLiteralElem>(G, 1, false, Tok(TT_CHAR, "a")), "LookCharLiteral", "GenCharLiteral"},
      {MakeNode<TkivCharRangeElem>(G, 1, Tok(TT_CHAR, "a"), Tok(TT_CHAR, "b")), "LookCharRange", "GenCharRange"},
      {MakeNode<TkivTokenRefElem>(G, 1, false, Tok(TT_UPPER_ID, "A")), "LookTokenRef", "GenAtom"},
      {MakeNode<TkivStringLiteralElem>(G, 1, Tok(TT_STRING, "\"begin\"")), "LookStringLiteral", "GenStringLiteral"},
      {MakeNode<TkivTokenRangeElem>(G, 1, Tok(TT_UPPER_ID, "A"), Tok(TT_UPPER_ID, "B")), "LookTokenRange",
       "GenTokenRange"},
      {MakeNode<TkivWildcardElem>(G, 1, Tok(TT_DOT, ".")), "LookWildcard", "GenWildcard"},
      {MakeNode<TkivRuleRefElem>(G, 1, Tok(TT_LOWER_ID, "r")), "LookRuleRef", "GenRuleRef"},
      {MakeNode<TkivRuleEndElem>(G), "LookRuleEnd", "GenRuleEnd"},
      {MakeNode<TkivBlockEndElem>(G), "LookBlockEnd", nullptr},
      {MakeNode<TkivAlternativeBlock>(G), "LookBlock", "GenBlock"},
      {MakeNode<TkivRuleBlock>(G, "r"), "LookRuleBlock", "GenRuleBlock"},
      {MakeNode<TkivOneOrMoreBlock>(G), "LookOneOrMore", "GenOneOrMore"},
      {MakeNode<TkivZeroOrMoreBlock>(G), "LookZeroOrMore", "GenZeroOrMore"},
      {MakeNode<TkivSynPredBlock>(G), nullptr, "GenSynPred"},
  };
  for (const Case& C : Cases) {
    D.Analyzer.Calls.clear();
    D.Generator.Calls.clear();
    IkivLookaheadPtr Look = C.Elem->Look(2);
    C.Elem->Generate();
    ASSERT_TRUE(Look) << C.Elem->ToText();
    EXPECT_EQ(D.Analyzer.Calls, C.Look ? std::vector<std::string>{C.Look} : std::vector<std::string>{});
    EXPECT_EQ(D.Generator.Calls, C.Gen ? std::vector<std::string>{C.Gen} : std::vector<std::string>{});
  }
  EXPECT_TRUE(MakeNode<TkivSynPredBlock>(G)->Look(1)->IsEmpty());
}

TEST(GraphAlternatives, AppendingLinksTheChainAndSharedEndsStayTails) {
  DirectGrammar D;
  IkivGrammar& G = *D.Grammar;
  auto* First = MakeNode<TkivTokenRefElem>(G, 1, false, Tok(TT_UPPER_ID, "A"));
  auto* Second = MakeNode<TkivTokenRefElem>(G, 1, false, Tok(TT_UPPER_ID, "B"));
  auto* End = MakeNode<TkivBlockEndElem>(G);
  TkivAlternative One(First);
  One.AddElement(Second);
  EXPECT_EQ(One.GetHead(), First);
  EXPECT_EQ(First->GetNext(), Second);
  EXPECT_EQ(One.GetTail(), Second);
  TkivAlternative Two;
  EXPECT_TRUE(Two.IsEmpty());
  One.AddElement(End);
  Two.AddElement(End);
  EXPECT_EQ(One.GetTail(), End);
  EXPECT_EQ(Two.GetHead(), End);
  EXPECT_EQ(End->GetNext(), nullptr);
}

TEST(GraphAlternatives, AstOverrideDisablesTreesAndTheCacheIsBoundsSafe) {
  TkivAlternative Alt;
  Alt.SetAstEnabled(true);
  EXPECT_TRUE(Alt.GetAstEnabled());
  Alt.SetAstOverride(Tok(TT_UPPER_ID, "X"));
  EXPECT_FALSE(Alt.GetAstEnabled());

  EXPECT_EQ(Alt.GetCacheHigh(), -1);
  EXPECT_EQ(Alt.GetCache(0), nullptr);
  EXPECT_EQ(Alt.GetCache(-1), nullptr);
  Alt.SetCacheLength(3);
  EXPECT_EQ(Alt.GetCacheHigh(), 2);
  auto Set = std::make_shared<TkivLookahead>();
  Alt.SetCache(5, Set);
  EXPECT_EQ(Alt.GetCacheHigh(), 5);
  EXPECT_EQ(Alt.GetCache(5), Set);
}

TEST(GraphBlocks, BlockOptions) {
  DirectGrammar D;
  auto* Block = MakeNode<TkivAlternativeBlock>(*D.Grammar);
  Block->SetOption(Tok(TT_LOWER_ID, "greedy", 3, 5), Tok(TT_UPPER_ID, "false"));
  EXPECT_FALSE(Block->GetGreedy());
  EXPECT_TRUE(Block->GetGreedyGiven());
  Block->SetOption(Tok(TT_LOWER_ID, "warnWhenFollowAmbig"), Tok(TT_UPPER_ID, "false"));
  EXPECT_FALSE(Block->GetWarnWhenFollowAmbig());
  Block->SetOption(Tok(TT_LOWER_ID, "generateAmbigWarnings"), Tok(TT_UPPER_ID, "false"));
  EXPECT_FALSE(Block->GetGenerateAmbigWarnings());
  EXPECT_TRUE(D.Tool.Lines.empty());

  auto* Fresh = MakeNode<TkivAlternativeBlock>(*D.Grammar);
  Fresh->SetOption(Tok(TT_LOWER_ID, "greedy", 3, 5), Tok(TT_UPPER_ID, "True"));
  Fresh->SetOption(Tok(TT_LOWER_ID, "warnWhenFollowAmbig", 4, 5), Tok(TT_STRING, "\"false\""));
  Fresh->SetOption(Tok(TT_LOWER_ID, "generateAmbigWarnings", 5, 5), Tok(kiv::kivgrammar::TT_INT, "0"));
  Fresh->SetOption(Tok(TT_LOWER_ID, "testLiterals", 6, 5), Tok(TT_UPPER_ID, "true"));
  EXPECT_TRUE(Fresh->GetGreedy());
  EXPECT_FALSE(Fresh->GetGreedyGiven());
  EXPECT_TRUE(Fresh->GetWarnWhenFollowAmbig());
  EXPECT_TRUE(Fresh->GetGenerateAmbigWarnings());
  EXPECT_EQ(D.Tool.Lines, (std::vector<std::string>{
                              "error t.g 3:5 Value for \"greedy\" must be true or false",
                              "error t.g 4:5 Value for \"warnWhenFollowAmbig\" must be true or false",
                              "error t.g 5:5 Value for \"generateAmbigWarnings\" must be true or false",
                              "error t.g 6:5 Invalid subrule option: \"testLiterals\"",
                          }));
}

TEST(GraphBlocks, RuleOptions) {
  DirectGrammar D(true);
  auto* Rule = MakeNode<TkivRuleBlock>(*D.Grammar, "ID");
  auto Id = std::make_shared<TkivTokenSymbol>("ID");
  Id->setTokenType(D.Grammar->getTokenManager()->nextTokenType());
  D.Grammar->getTokenManager()->define(Id);

  Rule->SetOption(Tok(TT_LOWER_ID, "testLiterals"), Tok(TT_UPPER_ID, "true"));
  Rule->SetOption(Tok(TT_LOWER_ID, "defaultErrorHandler"), Tok(TT_UPPER_ID, "true"));
  Rule->SetOption(Tok(TT_LOWER_ID, "generateAmbigWarnings"), Tok(TT_UPPER_ID, "false"));
  Rule->SetOption(Tok(TT_LOWER_ID, "ignore"), Tok(TT_UPPER_ID, "WS"));
  Rule->SetOption(Tok(TT_LOWER_ID, "paraphrase"), Tok(TT_STRING, "\"an identifier\""));
  EXPECT_TRUE(Rule->GetTestLiterals());
  EXPECT_TRUE(Rule->GetDefaultErrorHandler());
  EXPECT_FALSE(Rule->GetGenerateAmbigWarnings());
  EXPECT_EQ(Rule->GetIgnoreRule(), "WS");
  EXPECT_EQ(Id->getParaphrase(), "\"an identifier\"");
  EXPECT_TRUE(D.Tool.Lines.empty());

  Rule->SetOption(Tok(TT_LOWER_ID, "greedy", 2, 3), Tok(TT_UPPER_ID, "true"));
  Rule->SetOption(Tok(TT_LOWER_ID, "warnWhenFollowAmbig", 3, 3), Tok(TT_UPPER_ID, "true"));
  Rule->SetOption(Tok(TT_LOWER_ID, "testLiterals", 4, 3), Tok(TT_UPPER_ID, "yes"));
  Rule->SetOption(Tok(TT_LOWER_ID, "defaultErrorHandler", 5, 3), Tok(TT_UPPER_ID, "FALSE"));
  EXPECT_TRUE(Rule->GetTestLiterals());
  EXPECT_TRUE(Rule->GetDefaultErrorHandler());
  EXPECT_EQ(D.Tool.Lines, (std::vector<std::string>{
                              "error t.g 2:3 Illegal rule option \"greedy\".",
                              "error t.g 3:3 Illegal rule option \"warnWhenFollowAmbig\".",
                              "error t.g 4:3 Value for \"testLiterals\" must be true or false",
                              "error t.g 5:3 Value for \"defaultErrorHandler\" must be true or false",
                          }));
}

// A parser rule has no token: its paraphrase must not land on a token whose name differs from
// the rule's only in letter case.
TEST(GraphBlocks, ParaphraseOfAParserRuleTouchesNoToken) {
  DirectGrammar D;
  auto* Rule = MakeNode<TkivRuleBlock>(*D.Grammar, "a");
  Rule->SetOption(Tok(TT_LOWER_ID, "paraphrase"), Tok(TT_STRING, "\"x\""));
  EXPECT_EQ(D.Grammar->getTokenManager()->getTokenSymbol("A")->getParaphrase(), "");
  EXPECT_TRUE(D.Tool.Lines.empty());
}

TEST(GraphBlocks, PreparationSizesCachesForDepthsUpToK) {
  DirectGrammar D(false, 3);
  IkivGrammar& G = *D.Grammar;
  auto* Empty = MakeNode<TkivAlternativeBlock>(G);
  Empty->PrepareForAnalysis();
  EXPECT_EQ(Empty->GetAlternative(0), nullptr);
  EXPECT_EQ(Empty->GetAlternative(-1), nullptr);

  auto* Block = BlockOf(G, {MakeNode<TkivTokenRefElem>(G, 1, false, Tok(TT_UPPER_ID, "A"))});
  EXPECT_EQ(Block->GetAlternative(0)->GetLookaheadDepth(), 0);
  Block->PrepareForAnalysis();
  EXPECT_EQ(Block->GetAlternative(0)->GetCacheHigh(), 3);
  EXPECT_EQ(Block->GetAlternative(0)->GetLookaheadDepth(), -1);
  EXPECT_EQ(Block->GetAlternative(1), nullptr);

  auto* Rule = MakeNode<TkivRuleBlock>(G, "r");
  Rule->SetLock(2, true);
  Rule->PrepareForAnalysis();
  EXPECT_TRUE(Rule->GetLock(2));
  EXPECT_FALSE(Rule->GetLock(3));
  EXPECT_FALSE(Rule->GetLock(40));
  EXPECT_EQ(Rule->GetCache(3), nullptr);
  EXPECT_TRUE(Rule->IsNextTokenRule() == false);
  EXPECT_TRUE(MakeNode<TkivRuleBlock>(G, "nextToken")->IsNextTokenRule());
  EXPECT_FALSE(MakeNode<TkivRuleBlock>(G, "NextToken")->IsNextTokenRule());
}

// The counter is process-wide and never reset: every block of every kind takes the next number,
// also across grammars.
TEST(GraphBlocks, BlockNumbersKeepGrowingAcrossGrammars) {
  const int Before = kiv::LastBlockId();
  DirectGrammar One;
  const int First = MakeNode<TkivAlternativeBlock>(*One.Grammar)->GetID();
  EXPECT_EQ(First, Before + 1);
  EXPECT_EQ(MakeNode<TkivRuleBlock>(*One.Grammar, "r")->GetID(), First + 1);
  EXPECT_EQ(MakeNode<TkivOneOrMoreBlock>(*One.Grammar)->GetID(), First + 2);
  DirectGrammar Two(true);
  EXPECT_EQ(MakeNode<TkivSynPredBlock>(*Two.Grammar)->GetID(), First + 3);
  EXPECT_EQ(kiv::LastBlockId(), First + 3);
}

TEST(GraphBlocks, PredicateReferencesLeaveTheirRulesReferenceLists) {
  DirectGrammar D;
  IkivGrammar& G = *D.Grammar;
  auto Target = std::make_shared<TkivRuleSymbol>("r");
  G.addRuleSymbol(Target);
  auto* Deep = MakeNode<TkivRuleRefElem>(G, 1, Tok(TT_LOWER_ID, "r"));
  auto* Outside = MakeNode<TkivRuleRefElem>(G, 1, Tok(TT_LOWER_ID, "r"));
  Target->addReference(Deep);
  Target->addReference(Outside);
  // pred: ( ( r ) )=>  - the reference two blocks deep is removed; one outside the predicate stays.
  auto* Inner = BlockOf(G, {Deep});
  auto* Middle = BlockOf(G, {Inner});
  auto* Pred = MakeNode<TkivSynPredBlock>(G);
  Pred->ReplaceAlternatives(Middle->GetAlternatives());
  Pred->RemoveRuleRefTracking(G);
  EXPECT_EQ(Target->getReferences(), IkivRuleSymbol::ReferenceList{Outside});
  EXPECT_TRUE(D.Tool.Lines.empty());

  auto* Stray = MakeNode<TkivRuleRefElem>(G, 1, Tok(TT_LOWER_ID, "nowhere", 9, 9));
  BlockOf(G, {Stray})->RemoveRuleRefTracking(G);
  EXPECT_EQ(D.Tool.Lines,
            std::vector<std::string>{"error t.g 0:0 Rule \"nowhere\" referenced in (...)=>, but not defined."});
}

TEST(GraphBlocks, WhichSubrulesCanBeInverted) {
  DirectGrammar D;
  IkivGrammar& G = *D.Grammar;
  auto TokenRef = [&] { return MakeNode<TkivTokenRefElem>(G, 1, false, Tok(TT_UPPER_ID, "A")); };
  auto Literal = [&] { return MakeNode<TkivStringLiteralElem>(G, 1, Tok(TT_STRING, "\"begin\"")); };

  auto* Sets = BlockOf(G, {TokenRef(), MakeNode<TkivCharLiteralElem>(G, 1, false, Tok(TT_CHAR, "a")),
                           MakeNode<TkivCharRangeElem>(G, 1, Tok(TT_CHAR, "a"), Tok(TT_CHAR, "b")),
                           MakeNode<TkivTokenRangeElem>(G, 1, Tok(TT_UPPER_ID, "A"), Tok(TT_UPPER_ID, "B"))});
  EXPECT_TRUE(kiv::CanInvertSubrule(*Sets, false));

  auto* Strings = BlockOf(G, {TokenRef(), Literal()});
  EXPECT_TRUE(kiv::CanInvertSubrule(*Strings, true));
  EXPECT_FALSE(kiv::CanInvertSubrule(*Strings, false));

  EXPECT_FALSE(kiv::CanInvertSubrule(*MakeNode<TkivAlternativeBlock>(G), false));
  EXPECT_FALSE(kiv::CanInvertSubrule(*BlockOf(G, {MakeNode<TkivRuleRefElem>(G, 1, Tok(TT_LOWER_ID, "r"))}), false));
  EXPECT_FALSE(kiv::CanInvertSubrule(*BlockOf(G, {MakeNode<TkivWildcardElem>(G, 1, Tok(TT_DOT, "."))}), false));

  auto* Two = BlockOf(G, {TokenRef()});
  Two->GetAlternative(0)->SetHead(TokenRef());
  Two->GetAlternative(0)->GetHead()->SetNext(TokenRef());
  EXPECT_FALSE(kiv::CanInvertSubrule(*Two, false));

  auto* Empty = BlockOf(G, {TokenRef()});
  Empty->AddAlternative(MakeNode<TkivAlternative>(G, static_cast<IkivAlternativeElem*>(MakeNode<TkivBlockEndElem>(G))));
  EXPECT_FALSE(kiv::CanInvertSubrule(*Empty, false));

  auto* Guarded = BlockOf(G, {TokenRef()});
  Guarded->GetAlternative(0)->SetSemPred("{p}");
  EXPECT_FALSE(kiv::CanInvertSubrule(*Guarded, false));
  auto* Handled = BlockOf(G, {TokenRef()});
  Handled->GetAlternative(0)->SetHandlerKind("except");
  EXPECT_FALSE(kiv::CanInvertSubrule(*Handled, false));
  auto* Predicated = BlockOf(G, {TokenRef()});
  Predicated->GetAlternative(0)->SetSynPred(MakeNode<TkivSynPredBlock>(G));
  EXPECT_FALSE(kiv::CanInvertSubrule(*Predicated, false));

  auto* Loop = MakeNode<TkivZeroOrMoreBlock>(G);
  Loop->ReplaceAlternatives(Sets->GetAlternatives());
  EXPECT_FALSE(kiv::CanInvertSubrule(*Loop, false));
  auto* Pred = MakeNode<TkivSynPredBlock>(G);
  Pred->ReplaceAlternatives(Sets->GetAlternatives());
  EXPECT_FALSE(kiv::CanInvertSubrule(*Pred, false));
}
