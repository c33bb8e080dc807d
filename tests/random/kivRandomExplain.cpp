// kivRandomExplain.cpp - self-check of the conflict explainer over the random grammars: every
// nondeterminism report of each seed's lexer and parser is explained, and the witness of every
// "real conflict" must be read by both branches, checked by walking the graph one configuration
// at a time. Prints the classes counted and the time taken.
//
// Usage: kiv_random_explain --work DIR [--first N] [--count N]
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/driver/kivTool.h"
#include "engine/explain/kivExplanation.h"
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
    if (E.Class != kiv::ConflictClassKind::RealConflict) return;
    const std::vector<int> Witness = fExplainer->LastWitness();
    const bool Stops = fExplainer->LastWitnessStops();
    if (!fExplainer->Produces(Site, false, Witness, Stops) || !fExplainer->Produces(Site, true, Witness, Stops))
      Faults.push_back(Where + ": witness " + JoinedWitness(E) + " of \"" + E.Headline + "\" at line " +
                       std::to_string(Block.GetLine()) + " is not read by both branches");
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
void Build(const std::string& Text, const std::string& Name, const fs::path& Dir, Checker& Check) {
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
  for (int I = 1; I + 1 < argc; I += 2) {
    const std::string Option = argv[I];
    if (Option == "--first") First = std::stoull(argv[I + 1]);
    else if (Option == "--count") Count = std::stoi(argv[I + 1]);
    else if (Option == "--work") Work = argv[I + 1];
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
    Build(kiv::rnd::GrammarText(Lexer, ""), kiv::rnd::LexerUnitName(Seed), Dir, Check);
    std::vector<kiv::rnd::VocabularyToken> Vocabulary;
    if (kiv::rnd::ReadVocabulary((Dir / (kiv::rnd::VocabularyName(Seed) + "Tokens.txt")).string(), Vocabulary)) {
      const kiv::rnd::Grammar Parser = kiv::rnd::GenerateParser(Seed, Lexer, Vocabulary);
      Check.Where = "seed " + std::to_string(Seed) + " parser";
      Build(kiv::rnd::GrammarText(Parser, ""), kiv::rnd::ParserUnitName(Seed), Dir, Check);
    }
    fs::remove_all(Dir);
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
