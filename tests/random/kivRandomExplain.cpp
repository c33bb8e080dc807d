// kivRandomExplain.cpp - self-check of the conflict explainer over the random grammars: every
// nondeterminism report of each seed's lexer and parser is explained, and the witness of every
// "real conflict" must be read by both branches, checked by walking the graph one configuration
// at a time. Prints the classes counted and the time taken.
//
// Usage: kiv_random_explain --work DIR [--first N] [--count N] [--keep 1]
// (--keep 1 leaves each seed's grammars and what they generate in DIR/seedN)
#include <algorithm>
#include <bitset>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/driver/kivTool.h"
#include "engine/explain/kivExplanation.h"
#include "engine/graph/kivGraphArena.h"
#include "engine/kivLookaheadIntf.h"
#include "tests/random/kivRandomGrammar.h"

namespace fs = std::filesystem;

namespace {

class Quiet : public IkivToolErrorHandler {
public:
  void HandleWarning(const std::string&) override {}
  void HandleError(const std::string&) override {}
  void HandleMessage(const std::string&) override {}
};

class Checker : public kiv::NondeterminismListener {
public:
  void OnNondeterminism(IkivGrammar& Grammar, IkivAlternativeBlock& Block, int AltA, int AltB) override {
    if (!fExplainer) fExplainer = std::make_unique<kiv::ConflictExplainer>(Grammar);
    const kiv::ConflictSite Site{&Block, AltA, AltB};
    const kiv::Explanation E = fExplainer->Explain(Site);
    ++Classes[kiv::ConflictClassText(E.Class)];
    // The analyzer reported the decision: its depth sets overlap, and so must the explainer's.
    if (E.Class == kiv::ConflictClassKind::NoConflict)
      Faults.push_back(Where + ": the reported decision between " + E.PathA.Branch + " and " + E.PathB.Branch +
                       " at line " + std::to_string(Block.GetLine()) + " comes out \"no conflict\"");
    CompareDepthSets(Grammar, Site);
    if (E.Class != kiv::ConflictClassKind::RealConflict) return;
    const std::vector<int> Witness = fExplainer->LastWitness();
    const bool Stops = fExplainer->LastWitnessStops();
    if (!fExplainer->Produces(Site, false, Witness, Stops) || !fExplainer->Produces(Site, true, Witness, Stops))
      Faults.push_back(Where + ": witness " + JoinedWitness(E) + " of \"" + E.Headline + "\" at line " +
                       std::to_string(Block.GetLine()) + " is not read by both branches");
  }

  // The explainer's depth sets of both branches must be the analyzer's, as far as it computed them.
  void CompareDepthSets(IkivGrammar& Grammar, const kiv::ConflictSite& Site) {
    const int K = std::max(1, Grammar.getK());
    for (bool SideB : {false, true}) {
      std::vector<std::bitset<256>> Members;
      std::vector<bool> Ends;
      if (!fExplainer->DepthSets(Site, SideB, K, Members, Ends)) continue;
      const int Alt = SideB ? Site.AltB : Site.AltA;
      for (int D = 1; D <= K; ++D) {
        IkivLookaheadPtr Known;
        if (Alt != kiv::ConflictSite::ExitBranch) {
          if (IkivAlternative* A = Site.Block->GetAlternative(Alt)) Known = A->GetCache(D);
        } else if (auto* Loop = kiv::Supports<IkivBlockWithImpliedExitPath>(Site.Block)) {
          Known = Loop->GetExitCache(D);
        }
        if (!Known) continue;
        const std::size_t I = static_cast<std::size_t>(D - 1);
        if (Known->GetMembers() != Members[I] || Known->ContainsEpsilon() != Ends[I])
          Faults.push_back(Where + ": the depth " + std::to_string(D) + " set of " +
                           (Alt == kiv::ConflictSite::ExitBranch ? std::string("the exit branch")
                                                                 : "alternative " + std::to_string(Alt + 1)) +
                           " at line " + std::to_string(Site.Block->GetLine()) + " is " + SetText(Members[I], Ends[I]) +
                           ", the analyzer's " + SetText(Known->GetMembers(), Known->ContainsEpsilon()));
      }
    }
  }

  static std::string SetText(const std::bitset<256>& Members, bool Ends) {
    std::string Out = "{";
    for (std::size_t M = 0; M < Members.size(); ++M)
      if (Members.test(M)) Out += (Out.size() > 1 ? " " : "") + std::to_string(M);
    return Out + (Ends ? " end}" : "}");
  }

  static std::string JoinedWitness(const kiv::Explanation& E) {
    std::string Out;
    for (const std::string& W : E.Witness) Out += (Out.empty() ? "" : " ") + W;
    return Out;
  }

  // Each run has a grammar of its own (a later one may even take the same address).
  void NewRun() { fExplainer.reset(); }

  std::string Where;
  std::map<std::string, int> Classes;
  std::vector<std::string> Faults;

private:
  std::unique_ptr<kiv::ConflictExplainer> fExplainer;
};

// Builds one grammar text into Dir (files are written: the parser imports the lexer's vocabulary).
void Build(const std::string& Text, const std::string& Name, const fs::path& Dir, Checker& Check, bool Keep) {
  if (Keep) std::ofstream(Dir / (Name + ".g"), std::ios::binary) << Text;
  std::istringstream In(Text);
  Quiet Handler;
  TkivTool Tool(&In, Name, Dir.string(), Dir.string() + "/", &Handler);
  Check.NewRun();
  Tool.SetNondeterminismListener(&Check);
  Tool.Run();
  Check.NewRun();
}

} // namespace

int main(int argc, char** argv) {
  std::uint64_t First = 1;
  int Count = 300;
  std::string Work;
  bool Keep = false;
  for (int I = 1; I + 1 < argc; I += 2) {
    const std::string Option = argv[I];
    if (Option == "--first") First = std::stoull(argv[I + 1]);
    else if (Option == "--count") Count = std::stoi(argv[I + 1]);
    else if (Option == "--work") Work = argv[I + 1];
    else if (Option == "--keep") Keep = std::string(argv[I + 1]) != "0";
  }
  if (Work.empty()) {
    std::fprintf(stderr, "usage: kiv_random_explain --work DIR [--first N] [--count N]\n");
    return 2;
  }
  const auto Started = std::chrono::steady_clock::now();
  Checker Check;
  for (std::uint64_t Seed = First; Seed < First + static_cast<std::uint64_t>(Count); ++Seed) {
    const fs::path Dir = fs::path(Work) / ("seed" + std::to_string(Seed));
    fs::create_directories(Dir);
    const kiv::rnd::Grammar Lexer = kiv::rnd::GenerateLexer(Seed);
    Check.Where = "seed " + std::to_string(Seed) + " lexer";
    Build(kiv::rnd::GrammarText(Lexer, ""), kiv::rnd::LexerUnitName(Seed), Dir, Check, Keep);
    std::vector<kiv::rnd::VocabularyToken> Vocabulary;
    if (kiv::rnd::ReadVocabulary((Dir / (kiv::rnd::VocabularyName(Seed) + "Tokens.txt")).string(), Vocabulary)) {
      const kiv::rnd::Grammar Parser = kiv::rnd::GenerateParser(Seed, Lexer, Vocabulary);
      Check.Where = "seed " + std::to_string(Seed) + " parser";
      Build(kiv::rnd::GrammarText(Parser, ""), kiv::rnd::ParserUnitName(Seed), Dir, Check, Keep);
    }
    if (!Keep) fs::remove_all(Dir);
  }
  const double Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Started).count();
  for (const std::string& F : Check.Faults) std::printf("FAIL %s\n", F.c_str());
  int Explained = 0;
  for (const auto& [Class, N] : Check.Classes) {
    std::printf("%-32s %d\n", Class.c_str(), N);
    Explained += N;
  }
  std::printf("%d seeds, %d reports explained in %.2f s\n", Count, Explained, Seconds);
  return Check.Faults.empty() ? 0 : 1;
}
