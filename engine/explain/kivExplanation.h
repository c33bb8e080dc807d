// kivExplanation.h - what a nondeterminism report really says: whether two alternatives (or an
// alternative and a loop's exit) share a k-token sequence, a concrete input, both derivations, what
// the generated code does with it, and what would fix it. Computed on demand from the grammar's
// element graph, independently of the analyzer's state; no Qt, no output of its own.
#pragma once

#include <bitset>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "engine/kivGraph.h"
#include "engine/kivModel.h"

namespace kiv {

// One decision of a grammar: two alternatives of a block (0-based, AltA < AltB), or an
// alternative of a loop against the loop's exit (AltB == ExitBranch).
struct ConflictSite {
  static constexpr int ExitBranch = -1;
  IkivAlternativeBlock* Block = nullptr;
  int AltA = 0;
  int AltB = ExitBranch;
  bool IsExit() const { return AltB == ExitBranch; }
};

enum class ConflictClassKind {
  RealConflict,             // a sequence of k tokens (characters) starts both, with what may follow
  LinearApproximationOnly,  // none does, but the depth-by-depth tests cannot tell them apart
  NotDecided,               // the bounded search gave up before it knew
  NoConflict,               // the depth-by-depth tests tell them apart (not a reported decision)
};

// One step of a derivation: a token read, a rule entered, or what follows a rule.
struct PathStep {
  enum class Kind { Read, Enter, Return, Follow, End };
  Kind StepKind = Kind::Read;
  std::string Text;  // the member read, or the rule entered / returned to / left
  std::string Rule;  // the rule the step's element lies in
  int Line = 0;      // the grammar line of that element
};

struct DerivationPath {
  std::string Branch;  // "alternative 2" or "exit branch"
  std::vector<PathStep> Steps;
};

struct Explanation {
  ConflictClassKind Class = ConflictClassKind::NotDecided;
  int K = 1;
  bool Lexical = false;
  // The smallest depth in K+1..K+4 at which the two are told apart, 0 when none is (for a real
  // conflict: no longer share a sequence; for a linear approximation: the depth tests separate).
  int ResolvedK = 0;
  bool ResolvedByPredicate = false;  // the first alternative has a syntactic predicate
  bool ResolvedByGreedy = false;     // one side is an empty alternative or the loop's exit
  std::string Winner;                // the branch the generated code takes on the witness
  // The first line: the class and its resolutions, e.g. "real conflict, resolved by greedy (...)".
  std::string Headline;
  // The shared sequence (real conflict), or the first of the two sequences whose depth sets
  // overlap (linear approximation only); members as the reports print them.
  std::vector<std::string> Witness;
  std::vector<std::string> OtherWitness;  // linear approximation only: the second sequence
  // A shortest input from a public rule up to the decision; the witness continues it.
  std::string StartRule;
  std::vector<std::string> Prefix;
  bool PrefixFound = false;
  DerivationPath PathA;
  DerivationPath PathB;
  std::string Consequence;
  bool OtherNeverChosen = false;  // the losing branch is never taken, on any input
  // The elements both alternatives begin with, as the grammar writes them (left-factoring).
  std::vector<std::string> SharedPrefix;
  std::vector<std::string> Fixes;
};

// Bounds of one explanation: every search stops past them and says so rather than guess.
struct ExplainLimits {
  std::size_t WorkPerSearch = 100000;  // configurations visited by one search
  int MaxStack = 64;                   // rules entered without reading in between
  int ExtraDepths = 4;                 // how far beyond k "resolved with k = N" looks
};

// Explains decisions of one grammar; keeps what it learnt of the graph between explanations. The
// grammar is borrowed and must outlive the explainer; its graph is only read (its analyzer slot is
// lent to the explainer during each question and put back).
class ConflictExplainer {
public:
  explicit ConflictExplainer(IkivGrammar& Grammar, ExplainLimits Limits = {});
  ~ConflictExplainer();
  ConflictExplainer(const ConflictExplainer&) = delete;
  ConflictExplainer& operator=(const ConflictExplainer&) = delete;

  Explanation Explain(const ConflictSite& Site);
  IkivGrammar& Grammar() const;

  // Whether Sequence (members, as numbers) can be read by the branch from its decision, with what
  // follows the decision, checked by walking the graph one configuration at a time. Stop at the
  // end means the sequence ends there. For tests and self-checks.
  bool Produces(const ConflictSite& Site, bool SideB, const std::vector<int>& Sequence, bool StopsAtEnd);
  // The sets the generated depth-by-depth tests of a branch use, as the analyzer computes them: per
  // depth 1..Depth the members, and whether a sequence has ended by then. False when they could
  // not be computed within the budget. For tests and self-checks.
  bool DepthSets(const ConflictSite& Site, bool SideB, int Depth, std::vector<std::bitset<256>>& Members,
                 std::vector<bool>& Ends);
  // The witness of the last explanation as member numbers, and whether it ended with a stop.
  const std::vector<int>& LastWitness() const;
  bool LastWitnessStops() const;

private:
  struct State;
  std::unique_ptr<State> fState;
};

// Every decision of a grammar with two or more branches: each pair of alternatives of every block
// and each alternative of every loop against its exit, in rule order.
std::vector<ConflictSite> CollectDecisions(IkivGrammar& Grammar);

// The explanation as indented lines, to print after its report.
std::vector<std::string> ExplanationLines(const Explanation& E);
// The explanation as one JSON object on one line.
std::string ExplanationJson(const Explanation& E);
std::string ConflictClassText(ConflictClassKind Class);

} // namespace kiv
