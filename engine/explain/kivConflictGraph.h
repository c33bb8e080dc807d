// kivConflictGraph.h - the element graph seen as a machine over tokens (characters in a lexer) for
// the conflict explainer: one node per element, configurations (node and call stack), and their
// closure under the steps that read nothing.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/kivAnalysis.h"
#include "engine/kivGraph.h"
#include "engine/kivModel.h"

namespace kiv::explain {

using MemberSet = std::bitset<256>;

enum class NodeKind : unsigned char {
  Consume,  // reads one member of Set, then goes on to its successor
  Split,    // goes on to any of its successors without reading
  Call,     // enters a rule (successor 0) and comes back to successor 1
  RuleEnd,  // returns to the caller, or with no caller goes on to what follows the rule
  Stop,     // the sequence ends: the end of a lexer rule or of a syntactic predicate
  Dead,     // leads nowhere (an undefined rule, a missing element)
};

struct Node {
  NodeKind Kind = NodeKind::Dead;
  MemberSet Set;
  // A wildcard or an inverted atom: heading an alternative, it leaves out what earlier alternatives
  // of the same block start with, as the analyzer and the generated code do.
  bool Competing = false;
  // An inverted subrule: its set is computed when first asked for.
  bool InvertedBlock = false;
  // Split: its first AltCount successors are the heads of a block's alternatives, in order.
  int AltCount = 0;
  const IkivAlternativeElem* Elem = nullptr;  // null for the nodes the graph adds itself
  std::string Rule;                           // the rule the element lies in, as diagnostics name it
  std::string Target;                         // Call: the rule entered; RuleEnd: the rule ended (ids)
  int Line = 0;
  std::string Text;                           // the element as the grammar writes it
  // Successors: a node id, or an element whose node is made when first asked for.
  std::vector<std::pair<int, const IkivAlternativeElem*>> Next;
};

// A node and a call stack (an id of ConflictGraph's stack table; 0 is the empty stack).
struct Config {
  int NodeId = 0;
  int Stack = 0;
  bool operator==(const Config& Other) const { return NodeId == Other.NodeId && Stack == Other.Stack; }
  bool operator<(const Config& Other) const {
    return NodeId != Other.NodeId ? NodeId < Other.NodeId : Stack < Other.Stack;
  }
};
// Sorted, without duplicates; after a closure only Consume and Stop nodes.
using ConfigSet = std::vector<Config>;

// Builds nodes on demand: every element is asked through its own Look (double dispatch) while the
// grammar's analyzer slot holds the node maker; the slot is put back after each question, and
// nothing of the graph is changed. The grammar must outlive the graph.
class ConflictGraph {
public:
  explicit ConflictGraph(IkivGrammar& Grammar);
  ~ConflictGraph();
  ConflictGraph(const ConflictGraph&) = delete;
  ConflictGraph& operator=(const ConflictGraph&) = delete;

  IkivGrammar& Grammar() const { return fGrammar; }
  bool Lexical() const { return fLexical; }
  // Token types from 4 to the highest type (parser), or the character vocabulary (lexer).
  const MemberSet& Universe() const { return fUniverse; }

  int NodeOf(const IkivAlternativeElem* Elem);
  const Node& At(int Id);
  std::size_t SuccessorCount(int Id) const { return fNodes[static_cast<std::size_t>(Id)].Next.size(); }
  int Successor(int Id, std::size_t Index);
  // The node that reads end of file for ever (what follows a parser rule nothing references).
  int EofNode() const { return fEof; }
  int StopNode() const { return fStop; }
  // A copy of a Consume node that reads only Set.
  int RestrictedCopy(int Id, const MemberSet& Set);
  // Where a rule end with an empty stack leads: the elements after the rule's references (parser),
  // end of file when nothing references it, or the stop node (lexer).
  const std::vector<int>& FollowOf(int RuleEndId);
  // Tells FollowOf which parser rules' ends the analyzer sees followed by end of file although
  // they are referenced: those whose references lead to nothing but rule ends (a rule referenced
  // only at its own end). Asked once per rule end.
  void SetEndsInput(std::function<bool(int RuleEndId)> EndsInput) { fEndsInput = std::move(EndsInput); }
  // With this set, a public parser rule may also be followed by end of file: any public rule can
  // be the one a program starts with, although the analyzer's FOLLOW leaves that out for a rule
  // that is referenced. Claims about every input are made with it set.
  void SetEofAfterPublicRules(bool On) { fEofAfterPublic = On; }

  // The stack with one more frame: the Call node that enters a rule, returning to its successor 1.
  int Push(int Stack, int CallNode);
  // The return node and the rest of the stack; Stack must not be 0.
  std::pair<int, int> Pop(int Stack) const { return fStacks[static_cast<std::size_t>(Stack)]; }
  int StackDepth(int Stack) const { return fDepths[static_cast<std::size_t>(Stack)]; }
  // The reference a stack frame returns behind: the Call node that pushed it.
  int CallerOf(int Stack) const { return fCallers[static_cast<std::size_t>(Stack)]; }

  // The rule symbol of an id as the symbol table holds it; null when absent.
  IkivRuleSymbolPtr RuleSymbol(const std::string& Id) const { return fGrammar.getRuleSymbol(Id); }
  // A rule's name as diagnostics print it.
  std::string DisplayRule(const std::string& Id) const;
  // One member as the reports print it: a token name or a character.
  std::string MemberText(int Member) const;

private:
  class NodeMaker;
  void Fill(int Id);

  IkivGrammar& fGrammar;
  bool fLexical;
  MemberSet fUniverse;
  std::vector<Node> fNodes;
  std::unordered_map<const IkivAlternativeElem*, int> fIds;
  std::unordered_map<int, std::vector<int>> fFollow;
  std::unordered_map<int, std::vector<int>> fFollowOrEof;
  bool fEofAfterPublic = false;
  std::function<bool(int)> fEndsInput;
  int fEof = 0;
  int fStop = 0;
  int fDead = 0;
  std::vector<std::pair<int, int>> fStacks;  // (return node, parent stack); entry 0 unused
  std::vector<int> fDepths;
  std::vector<int> fCallers;
  std::unordered_map<std::uint64_t, int> fStackIds;
};

// Counts the steps of one question; past the budget every search gives up.
class WorkMeter {
public:
  explicit WorkMeter(std::size_t Budget) : fBudget(Budget) {}
  bool Spend(std::size_t Steps = 1) {
    fUsed += Steps;
    return fUsed <= fBudget;
  }
  bool Exhausted() const { return fUsed > fBudget; }

private:
  std::size_t fBudget;
  std::size_t fUsed = 0;
};

// The configurations that read next, reached from Seeds without reading. False when the work
// budget ran out or a call stack grew past MaxStack (a rule entered again without reading).
bool Closure(ConflictGraph& Graph, const std::vector<Config>& Seeds, ConfigSet& Out, WorkMeter& Work,
             int MaxStack);
// The configurations after reading Member (before their closure).
std::vector<Config> Advance(ConflictGraph& Graph, const ConfigSet& From, int Member);
// The members the configurations can read next; HasStop tells whether one of them ends there.
MemberSet Readable(ConflictGraph& Graph, const ConfigSet& Set, bool* HasStop = nullptr);

} // namespace kiv::explain
