// kivLinearLook.h - the depth-by-depth lookahead sets of the conflict explainer, computed as the
// analyzer computes the ones the generated tests use: per element and depth, each rule's FIRST sets
// with the depths at which its end is reached, each rule's FOLLOW set taken over all of its
// references, and the least solution where these sets depend on each other in a circle. The
// FIRST and FOLLOW sets the analyzer kept are taken from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "engine/explain/kivConflictGraph.h"

namespace kiv::explain {

// One depth's set: the members, and whether a sequence has ended by then (the end of a lexer rule
// or of a syntactic predicate). Depths: where a rule's FIRST set reaches the rule's end.
struct LinearSet {
  MemberSet Members;
  MemberSet Depths;
  bool Ends = false;
  bool operator==(const LinearSet& Other) const {
    return Ends == Other.Ends && Members == Other.Members && Depths == Other.Depths;
  }
  void Add(const LinearSet& Other) {
    Members |= Other.Members;
    Depths |= Other.Depths;
    Ends = Ends || Other.Ends;
  }
};

// Answers are remembered for the life of the object and shared by every question; the graph must
// outlive it. Past its work or stack budget every answer is marked incomplete.
class LinearLook {
public:
  explicit LinearLook(ConflictGraph& Graph);

  // The set at Depth (1 = the next member) of what is read from Node on, where the end of Node's
  // rule leads on to the rule's FOLLOW set.
  LinearSet At(int Node, int Depth);
  // The FOLLOW set at Depth of the rule a RuleEnd node ends.
  LinearSet FollowOf(int RuleEnd, int Depth);
  // Whether the analyzer's FOLLOW set of the rule ends the input only because nothing else follows
  // it (every reference leads to nothing but rule ends, as in a rule referenced only at its own end).
  bool EndsInputOnly(int RuleEnd);
  // False once a budget ran out: answers may then be too small.
  bool Complete() const { return !fFailed; }

private:
  enum class Kind : unsigned char { First, Top, Follow };
  struct Entry {
    LinearSet Value;
    int Index = 0;
    int Low = 0;
    unsigned char State = 0;  // 0 new, 1 under computation, 2 done
    bool Circular = false;    // its equation asked for its own value
    Kind What = Kind::First;
    int Node = 0;
    int Depth = 0;
  };

  LinearSet Value(Kind What, int Node, int Depth);
  LinearSet Compute(int Id);
  LinearSet Raw(int RuleEnd, int Depth);
  bool Analyzed(Kind What, int Node, int Depth, LinearSet& Out);
  void Solve(std::size_t From);
  bool EofRuleApplies(const Entry& E) const;

  ConflictGraph& fGraph;
  std::unordered_map<std::uint64_t, int> fIds;
  std::vector<Entry> fEntries;
  std::vector<int> fStack;   // entries under computation, Tarjan's order
  std::vector<int> fFrames;  // the entry whose equation is being evaluated, innermost last
  int fCounter = 0;
  // While a circle of equations is solved: the index of its first entry, and whether the FOLLOW
  // sets in it may already end the input.
  int fCircleIndex = -1;
  bool fCircleEofRule = true;
  bool fFailed = false;
  std::size_t fWork = 0;
  std::size_t fStackBudget = 0;
  const void* fStackBase = nullptr;
};

} // namespace kiv::explain
