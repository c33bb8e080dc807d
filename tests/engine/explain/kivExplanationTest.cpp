// kivExplanationTest.cpp - explanations of grammars whose answer is known: the dangling else, a
// k = 2 block only the linear approximation confuses, conflicts that a larger k resolves, a
// predicate-guarded choice, a loop's exit, lexer rules over characters, and the budget.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/driver/kivTool.h"
#include "engine/explain/kivExplanation.h"

namespace {

// The folder of "VTokens.txt", the vocabulary the parser grammars import: A, B, C, IF, THEN, ELSE, ID.
std::string Exchange() {
  static const std::string Dir = [] {
    const std::filesystem::path D =
        std::filesystem::temp_directory_path() / ("kiv-explain-tests-" + std::to_string(::getpid()));
    std::filesystem::create_directories(D);
    std::ofstream Out(D / "VTokens.txt", std::ios::binary);
    Out << "V\r\n";
    int Type = 4;
    for (const char* Name : {"A", "B", "C", "IF", "THEN", "ELSE", "ID"}) Out << "TT_" << Name << "=" << Type++ << "\r\n";
    return D.string() + "/";
  }();
  return Dir;
}

std::string Parser(const std::string& Rules, int K = 1) {
  return "unit U;\nparser P;\noptions { importVocab = V; k = " + std::to_string(K) + "; }\n" + Rules;
}

class Silent : public IkivToolErrorHandler {
public:
  void HandleWarning(const std::string&) override {}
  void HandleError(const std::string& Text) override { Errors.push_back(Text); }
  void HandleMessage(const std::string&) override {}
  std::vector<std::string> Errors;
};

struct Reported {
  kiv::ConflictSite Site;
  kiv::Explanation E;
  bool WitnessFromA = false;  // the witness checked against each branch by walking the graph
  bool WitnessFromB = false;
};

// Runs the whole tool over a grammar text (the lookahead dump, so nothing is written) and explains
// every report as `kiv build --explain` does.
class Explained : public kiv::NondeterminismListener {
public:
  explicit Explained(const std::string& Text, kiv::ExplainLimits Limits = {}) : fLimits(Limits) {
    std::istringstream In(Text);
    TkivTool Tool(&In, "t.g", "", Exchange(), &fHandler);
    std::ostringstream Dump;
    Tool.SetOutput(TkivTool::OutputKind::DumpLookahead, &Dump);
    Tool.SetNondeterminismListener(this);
    Tool.Run();
    EXPECT_EQ(fHandler.Errors, std::vector<std::string>{});
    Grammar = Tool.Grammar();
  }

  void OnNondeterminism(IkivGrammar& G, IkivAlternativeBlock& Block, int AltA, int AltB) override {
    if (!fExplainer) fExplainer = std::make_unique<kiv::ConflictExplainer>(G, fLimits);
    Reported R{kiv::ConflictSite{&Block, AltA, AltB}, fExplainer->Explain(kiv::ConflictSite{&Block, AltA, AltB})};
    const std::vector<int> Witness = fExplainer->LastWitness();
    const bool Stops = fExplainer->LastWitnessStops();
    R.WitnessFromA = fExplainer->Produces(R.Site, false, Witness, Stops);
    R.WitnessFromB = fExplainer->Produces(R.Site, true, Witness, Stops);
    Reports.push_back(std::move(R));
  }

  bool Fixes(const Reported& R, const std::string& Start) const {
    return std::any_of(R.E.Fixes.begin(), R.E.Fixes.end(),
                       [&](const std::string& F) { return F.rfind(Start, 0) == 0; });
  }

  std::vector<Reported> Reports;
  IkivGrammarPtr Grammar;

private:
  Silent fHandler;
  kiv::ExplainLimits fLimits;
  std::unique_ptr<kiv::ConflictExplainer> fExplainer;
};

std::string Lexer(const std::string& Rules, int K = 1) {
  return "unit U;\nlexer L;\noptions { k = " + std::to_string(K) + "; }\n" + Rules;
}

} // namespace

TEST(Explanation, DanglingElseIsARealConflictThatOnlyGreedyResolves) {
  Explained G(Parser("prog : ( stat )* ;\n"
                     "stat : IF ID THEN stat ( ELSE stat )?\n"
                     "     | ID ;\n"));
  ASSERT_EQ(G.Reports.size(), 1u);
  const Reported& R = G.Reports[0];
  EXPECT_EQ(R.E.Class, kiv::ConflictClassKind::RealConflict);
  EXPECT_EQ(R.E.Headline, "real conflict, not resolved by k up to 5, resolved by greedy (alternative 1 wins)");
  EXPECT_EQ(R.E.Witness, std::vector<std::string>{"TT_ELSE"});
  EXPECT_TRUE(R.WitnessFromA && R.WitnessFromB);
  // A sentence a user can type: the shortest way from the start rule into the option.
  EXPECT_TRUE(R.E.PrefixFound);
  EXPECT_EQ(R.E.StartRule, "prog");
  EXPECT_EQ(R.E.Prefix, (std::vector<std::string>{"TT_IF", "TT_ID", "TT_THEN", "TT_ID"}));
  // The empty alternative reaches the else through what follows stat.
  ASSERT_FALSE(R.E.PathB.Steps.empty());
  EXPECT_EQ(R.E.PathB.Steps.front().StepKind, kiv::PathStep::Kind::Follow);
  EXPECT_EQ(R.E.PathB.Steps.back().Line, 5);
  EXPECT_FALSE(R.E.OtherNeverChosen);  // the option is left out wherever no else follows
  EXPECT_TRUE(G.Fixes(R, "greedy"));
  EXPECT_FALSE(G.Fixes(R, "raise k"));
  EXPECT_FALSE(G.Fixes(R, "a syntactic predicate"));
  const std::vector<std::string> Lines = kiv::ExplanationLines(R.E);
  ASSERT_GE(Lines.size(), 6u);
  EXPECT_EQ(Lines[0], "   explanation: " + R.E.Headline);
  EXPECT_EQ(Lines[2], "      input: from rule prog: TT_IF TT_ID TT_THEN TT_ID, then TT_ELSE");
}

TEST(Explanation, SharedSequencesAgainstDepthSets) {
  // (A B | B A) against (A A | B B): the depth sets overlap at both depths, no sequence is shared.
  Explained L(Parser("r : ( A B | B A ) ID\n  | ( A A | B B ) ELSE ;\n", 2));
  ASSERT_EQ(L.Reports.size(), 1u);
  const Reported& Linear = L.Reports[0];
  EXPECT_EQ(Linear.E.Class, kiv::ConflictClassKind::LinearApproximationOnly);
  EXPECT_EQ(Linear.E.ResolvedK, 3);
  EXPECT_EQ(Linear.E.Witness, (std::vector<std::string>{"TT_A", "TT_B"}));
  EXPECT_EQ(Linear.E.OtherWitness, (std::vector<std::string>{"TT_A", "TT_A"}));
  // Every sequence of alternative 2 passes alternative 1's depth tests.
  EXPECT_TRUE(Linear.E.OtherNeverChosen);
  EXPECT_NE(Linear.E.Consequence.find("alternative 2 can never be chosen"), std::string::npos);

  // Two tokens shared, the third tells them apart: k = 3 resolves it, and both begin with A A.
  Explained K3(Parser("s : A A B | A A C ;\n", 2));
  ASSERT_EQ(K3.Reports.size(), 1u);
  const Reported& R = K3.Reports[0];
  EXPECT_EQ(R.E.Class, kiv::ConflictClassKind::RealConflict);
  EXPECT_EQ(R.E.Headline, "real conflict, resolved with k = 3");
  EXPECT_EQ(R.E.Witness, (std::vector<std::string>{"TT_A", "TT_A"}));
  EXPECT_TRUE(R.WitnessFromA && R.WitnessFromB);
  EXPECT_EQ(R.E.SharedPrefix, (std::vector<std::string>{"A", "A"}));
  EXPECT_TRUE(K3.Fixes(R, "raise k to 3"));
  EXPECT_TRUE(K3.Fixes(R, "left-factor: both alternatives begin with A A"));
  EXPECT_TRUE(K3.Fixes(R, "a syntactic predicate on alternative 1"));

  // Through rules and what follows them: the shared sequence crosses the end of x.
  Explained F(Parser("top : x ID | y ;\nx : A | ;\ny : A ID | ID A ;\n", 2));
  ASSERT_EQ(F.Reports.size(), 1u);
  EXPECT_EQ(F.Reports[0].E.Class, kiv::ConflictClassKind::RealConflict);
  EXPECT_TRUE(F.Reports[0].WitnessFromA && F.Reports[0].WitnessFromB);
  EXPECT_EQ(F.Reports[0].E.PathA.Steps.front().StepKind, kiv::PathStep::Kind::Enter);
}

TEST(Explanation, PredicateGuardedChoiceAndLoopExit) {
  // The predicate keeps the report silent; the decision is explained when asked for.
  Explained P(Parser("r : ( A A )=> A A | A B ;\n"));
  EXPECT_TRUE(P.Reports.empty());
  kiv::ConflictExplainer Explainer(*P.Grammar);
  std::vector<kiv::ConflictSite> Sites = kiv::CollectDecisions(*P.Grammar);
  auto Top = std::find_if(Sites.begin(), Sites.end(), [](const kiv::ConflictSite& S) {
    return S.AltA == 0 && S.AltB == 1 && S.Block->GetAlternative(0)->GetSynPred() != nullptr;
  });
  ASSERT_NE(Top, Sites.end());
  const kiv::Explanation E = Explainer.Explain(*Top);
  EXPECT_EQ(E.Class, kiv::ConflictClassKind::RealConflict);
  EXPECT_TRUE(E.ResolvedByPredicate);
  EXPECT_EQ(E.Headline, "real conflict, resolved with k = 2, resolved by syntactic predicate (alternative 1 is tried first)");
  EXPECT_FALSE(E.OtherNeverChosen);

  // What follows the loop is what it reads: the loop never ends there (t is private, so no
  // program starts with it and nothing else follows it).
  Explained L(Parser("private t : ( ID )* ;\nu : t ID ;\n"));
  ASSERT_EQ(L.Reports.size(), 1u);
  const Reported& R = L.Reports[0];
  EXPECT_TRUE(R.Site.IsExit());
  EXPECT_EQ(R.E.Headline, "real conflict, resolved with k = 2, resolved by greedy (alternative 1 wins)");
  EXPECT_TRUE(R.WitnessFromA && R.WitnessFromB);
  EXPECT_TRUE(R.E.OtherNeverChosen);
  EXPECT_NE(R.E.Consequence.find("the exit branch can never be chosen"), std::string::npos);
  EXPECT_EQ(R.E.StartRule, "u");
  EXPECT_TRUE(L.Fixes(R, "greedy"));
}

TEST(Explanation, LexerRulesOverCharacters) {
  Explained G(Lexer("WORD : ( 'a'..'z' )+ ;\nKW : \"if\" ;\nPAIR : \"12\" | \"13\" ;\n"));
  ASSERT_EQ(G.Reports.size(), 2u);
  // Within PAIR: the first character is shared, the second tells them apart.
  const Reported* Pair = nullptr;
  const Reported* Dispatch = nullptr;
  for (const Reported& R : G.Reports) (R.E.PathA.Steps.empty() || R.E.PathA.Steps.front().Rule != "PAIR" ? Dispatch : Pair) = &R;
  ASSERT_TRUE(Pair != nullptr && Dispatch != nullptr);
  EXPECT_EQ(Pair->E.Headline, "real conflict, resolved with k = 2");
  EXPECT_EQ(Pair->E.Witness, std::vector<std::string>{"'1'"});
  EXPECT_TRUE(Pair->E.Lexical);
  // WORD before KW: "if" is a word, so KW is never recognized, whatever k.
  EXPECT_EQ(Dispatch->E.Class, kiv::ConflictClassKind::RealConflict);
  EXPECT_EQ(Dispatch->E.ResolvedK, 0);
  EXPECT_TRUE(Dispatch->E.OtherNeverChosen);
  EXPECT_TRUE(Dispatch->WitnessFromA && Dispatch->WitnessFromB);
  EXPECT_EQ(Dispatch->E.PathB.Steps.front().Text, "KW");
  // The keyword belongs in the tokens section; no predicate can be written on the dispatch.
  EXPECT_TRUE(G.Fixes(*Dispatch, "a literal: drop rule KW and declare it in the tokens section, tokens { KW = \"if\"; }"));
  EXPECT_FALSE(G.Fixes(*Dispatch, "a syntactic predicate"));
  EXPECT_FALSE(G.Fixes(*Dispatch, "protected"));
  // A token rule another one uses, clashing with it: the helper may be meant protected.
  Explained H(Lexer("DIGIT : '0'..'9' ;\nNUM : ( DIGIT )+ ;\n"));
  ASSERT_EQ(H.Reports.size(), 1u);
  EXPECT_TRUE(H.Fixes(H.Reports[0], "protected: DIGIT is used by NUM"));
  EXPECT_FALSE(H.Fixes(H.Reports[0], "protected: NUM"));
  EXPECT_FALSE(H.Fixes(H.Reports[0], "a literal"));
}

TEST(Explanation, PastTheBudgetNothingIsClaimed) {
  kiv::ExplainLimits Tiny;
  Tiny.WorkPerSearch = 3;
  Explained G(Parser("s : A A B | A A C ;\n", 2), Tiny);
  ASSERT_EQ(G.Reports.size(), 1u);
  EXPECT_EQ(G.Reports[0].E.Class, kiv::ConflictClassKind::NotDecided);
  EXPECT_EQ(G.Reports[0].E.Headline, "not decided within the budget");
  EXPECT_TRUE(G.Reports[0].E.Fixes.empty());
  EXPECT_EQ(kiv::ExplanationLines(G.Reports[0].E), std::vector<std::string>{"   explanation: not decided within the budget"});
  const std::string Json = kiv::ExplanationJson(G.Reports[0].E);
  EXPECT_EQ(Json.rfind("{\"class\":\"not decided within the budget\",", 0), 0u);
  EXPECT_EQ(Json.find('\n'), std::string::npos);
}
