// kivExplanation.cpp - the explainer's searches over sequences: a shared sequence of two branches
// (full LL(k) with what follows the decision), the depth-by-depth sets the generated tests use, a
// branch's sequence against those tests, the derivation of a sequence and a shortest input prefix.
#include "engine/explain/kivExplanation.h"

#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <unordered_map>
#include <tuple>
#include <unordered_set>

#include "engine/explain/kivConflictGraph.h"
#include "engine/explain/kivLinearLook.h"
#include "engine/graph/kivGraphArena.h"

namespace kiv {

using explain::Closure;
using explain::Config;
using explain::ConfigSet;
using explain::ConflictGraph;
using explain::MemberSet;
using explain::NodeKind;
using explain::Readable;
using explain::WorkMeter;

namespace {

enum class SearchResult { Found, NotFound, GaveUp };

// Members in the order witnesses prefer them: letters, digits and other visible characters first
// in a lexer, so that a witness can be typed; token types in ascending order.
std::vector<int> PreferredOrder(bool Lexical) {
  std::vector<int> Order;
  if (!Lexical) {
    for (int M = 0; M < 256; ++M) Order.push_back(M);
    return Order;
  }
  auto Rank = [](int C) {
    if ((C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z')) return 0;
    if (C >= '0' && C <= '9') return 1;
    if (C > ' ' && C < 127) return 2;
    if (C == ' ') return 3;
    return 4;
  };
  for (int R = 0; R <= 4; ++R)
    for (int C = 0; C < 256; ++C)
      if (Rank(C) == R) Order.push_back(C);
  return Order;
}

std::string SetKey(const ConfigSet& Set) {
  std::string Key;
  Key.reserve(Set.size() * 8 + 1);
  for (const Config& C : Set) {
    Key.append(reinterpret_cast<const char*>(&C.NodeId), sizeof C.NodeId);
    Key.append(reinterpret_cast<const char*>(&C.Stack), sizeof C.Stack);
  }
  Key.push_back('|');
  return Key;
}

bool HasStop(ConflictGraph& Graph, const ConfigSet& Set) {
  bool Stop = false;
  Readable(Graph, Set, &Stop);
  return Stop;
}

// Which configurations of Set read Member, as a key.
void AppendSignature(ConflictGraph& Graph, const ConfigSet& Set, int Member, std::string& Key) {
  for (const Config& C : Set) {
    const explain::Node& N = Graph.At(C.NodeId);
    Key.push_back(N.Kind == NodeKind::Consume && N.Set.test(static_cast<std::size_t>(Member)) ? '1' : '0');
  }
  Key.push_back('|');
}

// One member for each group of members that lead the given sets to the same successors.
std::vector<int> MemberGroups(ConflictGraph& Graph, const MemberSet& Members, const std::vector<const ConfigSet*>& Sets,
                              const std::vector<int>& Order, WorkMeter& Work) {
  std::vector<int> Representatives;
  std::unordered_set<std::string> Seen;
  std::size_t Width = 0;
  for (const ConfigSet* S : Sets) Width += S->size();
  for (int M : Order) {
    if (!Members.test(static_cast<std::size_t>(M))) continue;
    if (!Work.Spend(1 + Width / 16)) break;
    std::string Key;
    for (const ConfigSet* S : Sets) AppendSignature(Graph, *S, M, Key);
    if (Seen.insert(Key).second) Representatives.push_back(M);
  }
  return Representatives;
}

// The sets a branch's depth-by-depth test uses: per depth the members some sequence has there,
// and whether a sequence has ended by then.
struct DepthTests {
  std::vector<MemberSet> Members;  // index d-1 for depth d
  std::vector<bool> Stops;
  bool Complete = true;
};

} // namespace

struct ConflictExplainer::State {
  State(IkivGrammar& G, ExplainLimits L) : Graph(G), Linear(Graph), Limits(L), Order(PreferredOrder(Graph.Lexical())) {
    Graph.SetEndsInput([this](int RuleEnd) { return Linear.EndsInputOnly(RuleEnd); });
  }

  ConflictGraph Graph;
  explain::LinearLook Linear;
  ExplainLimits Limits;
  std::vector<int> Order;
  std::vector<int> LastWitness;
  bool LastStops = false;
  bool EofAfterPublic = false;

  // Transitions met before: the decisions of one block, and the depths of one decision, pass the
  // same sets again and again. Member -1 reads any member.
  std::unordered_map<std::string, ConfigSet> Transitions;
  static constexpr std::size_t MaxTransitions = 100000;

  bool Next(const ConfigSet& From, int Member, ConfigSet& Out, WorkMeter& Work) {
    std::string Key = SetKey(From);
    Key.append(reinterpret_cast<const char*>(&Member), sizeof Member);
    Key.push_back(EofAfterPublic ? 'e' : 'n');
    if (auto Found = Transitions.find(Key); Found != Transitions.end()) {
      Out = Found->second;
      return Work.Spend(1 + Out.size() / 8);
    }
    std::vector<Config> Seeds;
    if (Member >= 0) {
      Seeds = explain::Advance(Graph, From, Member);
    } else {
      for (const Config& C : From) {
        const explain::Node& N = Graph.At(C.NodeId);
        if (N.Kind == NodeKind::Consume && N.Set.any()) Seeds.push_back(Config{Graph.Successor(C.NodeId, 0), C.Stack});
      }
    }
    if (!Closure(Graph, Seeds, Out, Work, Limits.MaxStack)) return false;
    if (Transitions.size() >= MaxTransitions) Transitions.clear();
    Transitions.emplace(std::move(Key), Out);
    return true;
  }

  void SetEofAfterPublicRules(bool On) {
    EofAfterPublic = On;
    Graph.SetEofAfterPublicRules(On);
  }

  // --- where a branch starts ---

  bool IsEmptyAlternative(IkivAlternativeBlock& Block, int Alt) {
    IkivAlternative* A = Block.GetAlternative(Alt);
    return A != nullptr && kiv::Supports<IkivBlockEndElem>(A->GetHead()) != nullptr;
  }

  MemberSet FirstOfAlternatives(IkivAlternativeBlock& Block, int Below) {
    std::vector<Config> Seeds;
    for (int I = 0; I < Below; ++I)
      if (IkivAlternative* A = Block.GetAlternative(I)) Seeds.push_back(Config{Graph.NodeOf(A->GetHead()), 0});
    ConfigSet Heads;
    WorkMeter Work(Limits.WorkPerSearch);
    Closure(Graph, Seeds, Heads, Work, Limits.MaxStack);
    return Readable(Graph, Heads);
  }

  // The first configuration of alternative Alt (ExitBranch: of the loop's exit). A wildcard or
  // inverted atom heading an alternative leaves out what the earlier alternatives start with.
  Config StartOf(IkivAlternativeBlock& Block, int Alt) {
    if (Alt == ConflictSite::ExitBranch) return Config{Graph.NodeOf(Block.GetNext()), 0};
    IkivAlternative* A = Block.GetAlternative(Alt);
    if (A == nullptr) return Config{Graph.NodeOf(nullptr), 0};
    const int Head = Graph.NodeOf(A->GetHead());
    const explain::Node& N = Graph.At(Head);
    if (N.Kind == NodeKind::Consume && N.Competing && Alt > 0)
      return Config{Graph.RestrictedCopy(Head, ~FirstOfAlternatives(Block, Alt)), 0};
    return Config{Head, 0};
  }

  // --- a sequence both branches read ---

  struct PairSearch {
    State& S;
    WorkMeter Work;
    int Target = 0;
    std::unordered_set<std::string> Failed;
    std::vector<int> Path;
    bool Stops = false;
    std::vector<int> Best;  // the longest shared beginning met
    bool Incomplete = false;

    PairSearch(State& Owner, int Depth) : S(Owner), Work(Owner.Limits.WorkPerSearch), Target(Depth) {}

    SearchResult Run(const ConfigSet& A, const ConfigSet& B) {
      const bool Found = Step(A, B);
      if (Found) return SearchResult::Found;
      return Work.Exhausted() || Incomplete ? SearchResult::GaveUp : SearchResult::NotFound;
    }

    bool Step(const ConfigSet& A, const ConfigSet& B) {
      if (Path.size() > Best.size()) Best = Path;
      if (static_cast<int>(Path.size()) >= Target) return true;
      if (A.empty() || B.empty()) return false;
      if (HasStop(S.Graph, A) && HasStop(S.Graph, B)) {
        Stops = true;
        return true;
      }
      const std::string Key = SetKey(A) + SetKey(B) + std::to_string(Target - static_cast<int>(Path.size()));
      if (Failed.count(Key) != 0) return false;
      const MemberSet Shared = Readable(S.Graph, A) & Readable(S.Graph, B);
      for (int M : MemberGroups(S.Graph, Shared, {&A, &B}, S.Order, Work)) {
        if (Work.Exhausted()) return false;
        ConfigSet NextA, NextB;
        if (!S.Next(A, M, NextA, Work)) Incomplete = true;
        if (!S.Next(B, M, NextB, Work)) Incomplete = true;
        if (Work.Exhausted()) return false;
        Path.push_back(M);
        if (Step(NextA, NextB)) return true;
        Path.pop_back();
      }
      if (!Work.Exhausted()) Failed.insert(Key);
      return false;
    }
  };

  bool Start(IkivAlternativeBlock& Block, int Alt, ConfigSet& Out, WorkMeter& Work) {
    return Closure(Graph, {StartOf(Block, Alt)}, Out, Work, Limits.MaxStack);
  }

  // --- the depth-by-depth sets ---

  // The set at Depth of a branch as the analyzer computes it. A wildcard or inverted atom heading
  // an alternative leaves out what the earlier alternatives start with.
  explain::LinearSet BranchSet(IkivAlternativeBlock& Block, int Alt, int Depth) {
    if (Alt == ConflictSite::ExitBranch) return Linear.At(Graph.NodeOf(Block.GetNext()), Depth);
    IkivAlternative* A = Block.GetAlternative(Alt);
    if (A == nullptr) return {};
    const int Head = Graph.NodeOf(A->GetHead());
    const explain::Node& N = Graph.At(Head);
    if (Depth == 1 && Alt > 0 && N.Kind == NodeKind::Consume && N.Competing) {
      explain::LinearSet Out;
      Out.Members = N.Set;
      for (int I = 0; I < Alt; ++I)
        if (IkivAlternative* Earlier = Block.GetAlternative(I))
          Out.Members &= ~Linear.At(Graph.NodeOf(Earlier->GetHead()), 1).Members;
      return Out;
    }
    return Linear.At(Head, Depth);
  }

  DepthTests Depths(IkivAlternativeBlock& Block, int Alt, int Depth) {
    DepthTests Out;
    for (int D = 1; D <= Depth; ++D) {
      const explain::LinearSet Set = BranchSet(Block, Alt, D);
      Out.Members.push_back(Set.Members);
      Out.Stops.push_back(Set.Ends);
    }
    Out.Complete = Linear.Complete();
    return Out;
  }

  // The smallest depth up to Depth at which the tests of two branches tell them apart; 0 when none.
  static int SeparatedAt(const DepthTests& A, const DepthTests& B, int Depth) {
    for (int D = 1; D <= Depth; ++D) {
      const std::size_t I = static_cast<std::size_t>(D - 1);
      if ((A.Members[I] & B.Members[I]).none() && !(A.Stops[I] && B.Stops[I])) return D;
    }
    return 0;
  }

  // --- a branch's sequences against the generated tests of other branches ---

  // Whether the generated test of a branch with these sets lets Member through at Depth: a depth
  // whose set holds the end of a sequence is not tested, and testing stops at the first depth
  // without members.
  static bool Passes(const DepthTests& Test, int Depth, int Member) {
    for (int D = 1; D <= Depth; ++D) {
      const std::size_t I = static_cast<std::size_t>(D - 1);
      if (Test.Members[I].none()) return true;
    }
    const std::size_t I = static_cast<std::size_t>(Depth - 1);
    return Test.Stops[I] || Test.Members[I].test(static_cast<std::size_t>(Member));
  }

  struct TestSearch {
    State& S;
    WorkMeter Work;
    int K;
    const std::vector<DepthTests>& Tests;
    bool WantEscape;  // true: a sequence that fails every test; false: one that passes all of them
    std::unordered_set<std::string> Failed;
    std::vector<int> Path;

    TestSearch(State& Owner, int Depth, const std::vector<DepthTests>& T, bool Escape)
        : S(Owner), Work(Owner.Limits.WorkPerSearch), K(Depth), Tests(T), WantEscape(Escape) {}

    // Mask: the tests the sequence read so far still passes.
    bool Step(const ConfigSet& Set, std::vector<bool> Mask) {
      const int Depth = static_cast<int>(Path.size()) + 1;
      if (Depth > K) return !WantEscape;
      if (Set.empty()) return false;
      // A sequence that ends here is followed by anything: it is not claimed either way.
      if (HasStop(S.Graph, Set)) return WantEscape;
      std::string Key = SetKey(Set);
      for (bool B : Mask) Key.push_back(B ? '1' : '0');
      Key += std::to_string(Depth);
      if (Failed.count(Key) != 0) return false;
      const MemberSet Members = Readable(S.Graph, Set);
      std::map<std::string, int> Groups;
      for (int M : S.Order) {
        if (!Members.test(static_cast<std::size_t>(M))) continue;
        if (!Work.Spend(1 + Set.size() / 16)) return false;
        std::string G;
        AppendSignature(S.Graph, Set, M, G);
        for (std::size_t I = 0; I < Tests.size(); ++I)
          G.push_back(Mask[I] && Passes(Tests[I], Depth, M) ? '1' : '0');
        Groups.emplace(G, M);
      }
      std::vector<int> Representatives;
      for (int M : S.Order)
        for (const auto& [G, R] : Groups)
          if (R == M) Representatives.push_back(M);
      for (int M : Representatives) {
        std::vector<bool> Next(Mask.size());
        bool Any = false;
        for (std::size_t I = 0; I < Tests.size(); ++I) {
          Next[I] = Mask[I] && Passes(Tests[I], Depth, M);
          Any = Any || Next[I];
        }
        if (WantEscape && !Any) {
          Path.push_back(M);
          return true;
        }
        if (!WantEscape && !Any) continue;
        ConfigSet After;
        if (!S.Next(Set, M, After, Work)) return false;
        Path.push_back(M);
        if (Step(After, Next)) return true;
        Path.pop_back();
        if (Work.Exhausted()) return false;
      }
      if (!Work.Exhausted()) Failed.insert(Key);
      return false;
    }
  };

  // --- one derivation of a given sequence ---

  struct Tracer {
    State& S;
    WorkMeter Work;
    const std::vector<int>& Sequence;
    bool Stops;
    std::vector<PathStep>* Steps;
    std::unordered_set<std::string> Failed;

    Tracer(State& Owner, const std::vector<int>& Seq, bool StopsAtEnd, std::vector<PathStep>* Out)
        : S(Owner), Work(Owner.Limits.WorkPerSearch), Sequence(Seq), Stops(StopsAtEnd), Steps(Out) {}

    void Note(PathStep::Kind Kind, std::string Text, const explain::Node& At) {
      if (Steps != nullptr) Steps->push_back(PathStep{Kind, std::move(Text), At.Rule, At.Line});
    }
    void Undo() {
      if (Steps != nullptr) Steps->pop_back();
    }

    bool Walk(Config C, std::size_t Pos, int Depth) {
      if (Pos == Sequence.size() && !Stops) return true;
      if (!Work.Spend() || Depth > 20000) return false;
      std::string Key(reinterpret_cast<const char*>(&C), sizeof C);
      Key.append(reinterpret_cast<const char*>(&Pos), sizeof Pos);
      if (!Failed.insert(Key).second) return false;
      ConflictGraph& G = S.Graph;
      const explain::Node& Current = G.At(C.NodeId);
      // Only what is read here: asking for successors may add nodes and move the others.
      explain::Node N;
      N.Kind = Current.Kind;
      N.Set = Current.Set;
      N.Target = Current.Target;
      N.Rule = Current.Rule;
      N.Line = Current.Line;
      N.Text = Current.Text;
      switch (N.Kind) {
      case NodeKind::Dead:
        return false;
      case NodeKind::Stop:
        if (Pos == Sequence.size()) {
          Note(PathStep::Kind::End, N.Text, N);
          return true;
        }
        return false;
      case NodeKind::Consume:
        if (Pos >= Sequence.size() || !N.Set.test(static_cast<std::size_t>(Sequence[Pos]))) return false;
        Note(PathStep::Kind::Read, G.MemberText(Sequence[Pos]), N);
        if (Walk(Config{G.Successor(C.NodeId, 0), C.Stack}, Pos + 1, Depth + 1)) return true;
        Undo();
        return false;
      case NodeKind::Split:
        for (std::size_t I = 0; I < G.SuccessorCount(C.NodeId); ++I)
          if (Walk(Config{G.Successor(C.NodeId, I), C.Stack}, Pos, Depth + 1)) return true;
        return false;
      case NodeKind::Call: {
        if (G.StackDepth(C.Stack) >= S.Limits.MaxStack) return false;
        Note(PathStep::Kind::Enter, G.DisplayRule(N.Target), N);
        if (Walk(Config{G.Successor(C.NodeId, 0), G.Push(C.Stack, C.NodeId)}, Pos, Depth + 1)) return true;
        Undo();
        return false;
      }
      case NodeKind::RuleEnd:
        if (C.Stack != 0) {
          const auto [Return, Rest] = G.Pop(C.Stack);
          const explain::Node Caller = G.At(G.CallerOf(C.Stack));
          Note(PathStep::Kind::Return, Caller.Rule, Caller);
          if (Walk(Config{Return, Rest}, Pos, Depth + 1)) return true;
          Undo();
          return false;
        }
        for (int Target : std::vector<int>(G.FollowOf(C.NodeId))) {
          const explain::Node After = G.At(Target);
          Note(PathStep::Kind::Follow, G.DisplayRule(N.Target), After);
          if (Walk(Config{Target, 0}, Pos, Depth + 1)) return true;
          Undo();
        }
        return false;
      }
      return false;
    }
  };

  // --- a shortest input from a public rule to the decision ---

  struct PrefixAnswer {
    bool Found = false;
    std::string StartRule;
    std::vector<int> Prefix;
  };
  std::map<const IkivAlternativeBlock*, PrefixAnswer> Prefixes;

  // Every decision of a block shares the block's input prefix.
  bool FindPrefix(IkivAlternativeBlock& Block, std::string& StartRule, std::vector<int>& Prefix) {
    auto Known = Prefixes.find(&Block);
    if (Known == Prefixes.end()) {
      PrefixAnswer A;
      A.Found = SearchPrefix(Block, A.StartRule, A.Prefix);
      Known = Prefixes.emplace(&Block, std::move(A)).first;
    }
    StartRule = Known->second.StartRule;
    Prefix = Known->second.Prefix;
    return Known->second.Found;
  }

  bool SearchPrefix(IkivAlternativeBlock& Block, std::string& StartRule, std::vector<int>& Prefix) {
    // A rule the symbols do not list (the lexer's token dispatch) starts where it is.
    if (IkivRuleBlock* Rule = kiv::Supports<IkivRuleBlock>(&Block)) {
      IkivRuleSymbolPtr Symbol = Graph.RuleSymbol(Graph.Lexical() ? EncodeLexerRuleName(Rule->GetRuleName()) : Rule->GetRuleName());
      if (!Symbol || Symbol->getBlock() != Rule || (Symbol->getAccess() == "public" && Symbol->numReferences() == 0)) {
        StartRule = Rule->GetRuleName();
        Prefix.clear();
        return true;
      }
    }
    const int Goal = Graph.NodeOf(&Block);
    std::vector<IkivRuleSymbolPtr> Unreferenced, Public;
    for (const IkivRuleSymbolPtr& Symbol : Graph.Grammar().getRules()) {
      if (!Symbol || !Symbol->isDefined() || Symbol->getBlock() == nullptr || Symbol->getAccess() != "public") continue;
      Public.push_back(Symbol);
      if (Symbol->numReferences() == 0) Unreferenced.push_back(Symbol);
    }
    if (Search(FromUnreferenced, Unreferenced, Goal, StartRule, Prefix)) return true;
    if (Unreferenced.size() == Public.size()) return false;
    return Search(FromPublic, Public, Goal, StartRule, Prefix);
  }

  // One breadth-first walk from a set of start rules, reading as few members as possible to each
  // node; the first visit of every node is kept, so all decisions share one walk.
  struct Reach {
    struct Visit {
      Config At;
      int Parent;
      int Member;  // read on the way here, -1 for none
      int Start;
    };
    bool Done = false;
    std::vector<IkivRuleSymbolPtr> Starts;
    std::vector<Visit> Visits;
    std::unordered_map<int, int> First;  // node -> index of its first visit
  };
  Reach FromUnreferenced, FromPublic;

  void Walk(Reach& R) {
    R.Done = true;
    std::deque<int> Queue;
    std::unordered_set<std::uint64_t> Seen;
    WorkMeter Work(Limits.WorkPerSearch * 4);
    auto Key = [](const Config& C) {
      return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(C.NodeId)) << 32) | static_cast<std::uint32_t>(C.Stack);
    };
    auto Add = [&](Config C, int Parent, int Member, int Start, bool Front) {
      R.Visits.push_back(typename Reach::Visit{C, Parent, Member, Start});
      if (Front) Queue.push_front(static_cast<int>(R.Visits.size()) - 1);
      else Queue.push_back(static_cast<int>(R.Visits.size()) - 1);
    };
    for (std::size_t I = 0; I < R.Starts.size(); ++I)
      Add(Config{Graph.NodeOf(R.Starts[I]->getBlock()), 0}, -1, -1, static_cast<int>(I), false);
    while (!Queue.empty()) {
      const int Index = Queue.front();
      Queue.pop_front();
      const Config At = R.Visits[static_cast<std::size_t>(Index)].At;
      const int Start = R.Visits[static_cast<std::size_t>(Index)].Start;
      if (!Seen.insert(Key(At)).second) continue;
      if (!Work.Spend()) return;
      R.First.emplace(At.NodeId, Index);
      const NodeKind Kind = Graph.At(At.NodeId).Kind;
      switch (Kind) {
      case NodeKind::Consume: {
        if (At.NodeId == Graph.EofNode()) break;
        const MemberSet Set = Graph.At(At.NodeId).Set;
        for (int M : Order)
          if (Set.test(static_cast<std::size_t>(M))) {
            Add(Config{Graph.Successor(At.NodeId, 0), At.Stack}, Index, M, Start, false);
            break;
          }
        break;
      }
      case NodeKind::Split:
        for (std::size_t I = Graph.SuccessorCount(At.NodeId); I-- > 0;)
          Add(Config{Graph.Successor(At.NodeId, I), At.Stack}, Index, -1, Start, true);
        break;
      case NodeKind::Call:
        if (Graph.StackDepth(At.Stack) < Limits.MaxStack)
          Add(Config{Graph.Successor(At.NodeId, 0), Graph.Push(At.Stack, At.NodeId)}, Index, -1, Start, true);
        break;
      case NodeKind::RuleEnd:
        // The start rule's own end is the end of the input.
        if (At.Stack != 0) {
          const auto [Return, Rest] = Graph.Pop(At.Stack);
          Add(Config{Return, Rest}, Index, -1, Start, true);
        }
        break;
      case NodeKind::Stop:
      case NodeKind::Dead:
        break;
      }
    }
  }

  bool Search(Reach& R, const std::vector<IkivRuleSymbolPtr>& Starts, int Goal, std::string& StartRule,
              std::vector<int>& Prefix) {
    if (!R.Done) {
      R.Starts = Starts;
      Walk(R);
    }
    auto Found = R.First.find(Goal);
    if (Found == R.First.end()) return false;
    const int Index = Found->second;
    StartRule = Graph.DisplayRule(R.Starts[static_cast<std::size_t>(R.Visits[static_cast<std::size_t>(Index)].Start)]->getId());
    Prefix.clear();
    for (int I = Index; I >= 0; I = R.Visits[static_cast<std::size_t>(I)].Parent)
      if (R.Visits[static_cast<std::size_t>(I)].Member >= 0) Prefix.push_back(R.Visits[static_cast<std::size_t>(I)].Member);
    std::reverse(Prefix.begin(), Prefix.end());
    return true;
  }

  std::vector<std::string> Texts(const std::vector<int>& Members, bool Stops) {
    std::vector<std::string> Out;
    for (int M : Members) Out.push_back(Graph.MemberText(M));
    if (Stops) Out.push_back(Graph.Lexical() ? "<end of token>" : "<end of predicate>");
    return Out;
  }

  // A sequence of Depth members the branch reads after Shared (which it must be able to read),
  // or shorter where it ends.
  std::vector<int> Extend(IkivAlternativeBlock& Block, int Alt, const std::vector<int>& Shared, int Depth) {
    WorkMeter Work(Limits.WorkPerSearch);
    ConfigSet Current;
    Start(Block, Alt, Current, Work);
    for (int M : Shared) {
      ConfigSet After;
      Next(Current, M, After, Work);
      Current = std::move(After);
    }
    std::vector<int> Out = Shared;
    while (static_cast<int>(Out.size()) < Depth && !Work.Exhausted()) {
      const MemberSet Members = Readable(Graph, Current);
      int Chosen = -1;
      for (int M : Order)
        if (Members.test(static_cast<std::size_t>(M))) {
          Chosen = M;
          break;
        }
      if (Chosen < 0) break;
      ConfigSet After;
      Next(Current, Chosen, After, Work);
      Out.push_back(Chosen);
      Current = std::move(After);
    }
    return Out;
  }

  // --- two token rules that clash in the lexer's token dispatch ---

  // The token rule an alternative of the dispatch calls, or null when Block is no dispatch.
  IkivRuleSymbolPtr TokenRuleOf(IkivAlternativeBlock& Block, int Alt) {
    if (kiv::Supports<IkivRuleBlock>(&Block) == nullptr) return nullptr;
    IkivAlternative* A = Block.GetAlternative(Alt);
    auto* Ref = A != nullptr ? kiv::Supports<IkivRuleRefElem>(A->GetHead()) : nullptr;
    // The dispatch's references are the ones the grammar maker gives the enclosing rule NextToken.
    if (Ref == nullptr || Ref->GetEnclosingRuleName() != "NextToken") return nullptr;
    return Graph.RuleSymbol(Ref->GetTargetRule());
  }

  // The text of a rule that matches one fixed string and nothing else; empty otherwise.
  static std::string LiteralOnly(const IkivRuleSymbolPtr& Symbol) {
    IkivRuleBlock* Block = Symbol ? Symbol->getBlock() : nullptr;
    if (Block == nullptr || Block->GetAlternatives().size() != 1) return {};
    IkivAlternativeElem* Head = Block->GetAlternative(0)->GetHead();
    auto* Literal = kiv::Supports<IkivStringLiteralElem>(Head);
    if (Literal == nullptr || kiv::Supports<IkivBlockEndElem>(Head->GetNext()) == nullptr) return {};
    return Literal->GetText();
  }

  // The first other token rule that uses Symbol, or empty.
  std::string UsedBy(const IkivRuleSymbolPtr& Symbol) {
    for (IkivRuleRefElem* Ref : Symbol->getReferences()) {
      const std::string User = Ref->GetEnclosingRuleName();
      IkivRuleSymbolPtr UserSymbol = Graph.RuleSymbol(EncodeLexerRuleName(User));
      if (User != "NextToken" && UserSymbol && UserSymbol != Symbol) return User;
    }
    return {};
  }

  // A keyword that a more general rule also matches is a literal of the tokens section, which the
  // general rule looks up after matching; a rule that only helps other rules is protected and no
  // token of its own.
  void TokenRuleFixes(IkivAlternativeBlock& Block, int A, int B, std::vector<std::string>& Fixes) {
    const IkivRuleSymbolPtr RuleA = TokenRuleOf(Block, A), RuleB = TokenRuleOf(Block, B);
    if (!RuleA || !RuleB) return;
    const std::string NameA = Graph.DisplayRule(RuleA->getId()), NameB = Graph.DisplayRule(RuleB->getId());
    const std::string LiteralA = LiteralOnly(RuleA), LiteralB = LiteralOnly(RuleB);
    if (LiteralA.empty() != LiteralB.empty()) {
      const bool KeywordIsA = !LiteralA.empty();
      const std::string& Keyword = KeywordIsA ? NameA : NameB;
      const std::string& General = KeywordIsA ? NameB : NameA;
      Fixes.push_back("a literal: drop rule " + Keyword + " and declare it in the tokens section, tokens { " + Keyword +
                      " = " + (KeywordIsA ? LiteralA : LiteralB) + "; }; " + General +
                      " then matches it and, testing literals (options { testLiterals = true; }), gives it as " +
                      Keyword);
    }
    for (const IkivRuleSymbolPtr& Helper : {RuleA, RuleB}) {
      if (Helper->getAccess() == "protected") continue;
      const std::string User = UsedBy(Helper);
      if (User.empty()) continue;
      const std::string Name = Graph.DisplayRule(Helper->getId());
      Fixes.push_back("protected: " + Name + " is used by " + User + "; if it only helps other rules, write protected " +
                      Name + " : ... ; so that it is no token of its own");
    }
  }

  std::vector<std::string> SharedElements(IkivAlternativeBlock& Block, int A, int B) {
    std::vector<std::string> Shared;
    IkivAlternative* AltA = Block.GetAlternative(A);
    IkivAlternative* AltB = Block.GetAlternative(B);
    if (AltA == nullptr || AltB == nullptr) return Shared;
    IkivAlternativeElem* EA = AltA->GetHead();
    IkivAlternativeElem* EB = AltB->GetHead();
    while (EA != nullptr && EB != nullptr && EA != EB && kiv::Supports<IkivBlockEndElem>(EA) == nullptr &&
           kiv::Supports<IkivBlockEndElem>(EB) == nullptr) {
      std::string TA = EA->ToText(), TB = EB->ToText();
      while (!TA.empty() && TA.front() == ' ') TA.erase(0, 1);
      while (!TB.empty() && TB.front() == ' ') TB.erase(0, 1);
      if (TA.empty() || TA != TB) break;
      Shared.push_back(TA);
      EA = EA->GetNext();
      EB = EB->GetNext();
    }
    return Shared;
  }
};

ConflictExplainer::ConflictExplainer(IkivGrammar& Grammar, ExplainLimits Limits)
    : fState(std::make_unique<State>(Grammar, Limits)) {}

ConflictExplainer::~ConflictExplainer() = default;

IkivGrammar& ConflictExplainer::Grammar() const { return fState->Graph.Grammar(); }

bool ConflictExplainer::DepthSets(const ConflictSite& Site, bool SideB, int Depth, std::vector<std::bitset<256>>& Members,
                                  std::vector<bool>& Ends) {
  const DepthTests Sets = fState->Depths(*Site.Block, SideB ? Site.AltB : Site.AltA, Depth);
  Members = Sets.Members;
  Ends = Sets.Stops;
  return Sets.Complete;
}

const std::vector<int>& ConflictExplainer::LastWitness() const { return fState->LastWitness; }

bool ConflictExplainer::LastWitnessStops() const { return fState->LastStops; }

bool ConflictExplainer::Produces(const ConflictSite& Site, bool SideB, const std::vector<int>& Sequence,
                                 bool StopsAtEnd) {
  State& S = *fState;
  State::Tracer Trace(S, Sequence, StopsAtEnd, nullptr);
  return Trace.Walk(S.StartOf(*Site.Block, SideB ? Site.AltB : Site.AltA), 0, 0);
}

namespace {

std::string BranchName(int Alt) {
  return Alt == ConflictSite::ExitBranch ? std::string("exit branch") : "alternative " + std::to_string(Alt + 1);
}

std::string Joined(const std::vector<std::string>& Parts) {
  std::string Out;
  for (const std::string& P : Parts) Out += (Out.empty() ? "" : " ") + P;
  return Out;
}

} // namespace

Explanation ConflictExplainer::Explain(const ConflictSite& Site) {
  State& S = *fState;
  Explanation E;
  IkivAlternativeBlock& Block = *Site.Block;
  E.K = std::max(1, S.Graph.Grammar().getK());
  E.Lexical = S.Graph.Lexical();
  E.PathA.Branch = BranchName(Site.AltA);
  E.PathB.Branch = BranchName(Site.AltB);
  S.LastWitness.clear();
  S.LastStops = false;

  const bool Loop = kiv::Supports<IkivBlockWithImpliedExitPath>(&Block) != nullptr;
  const bool EmptyA = S.IsEmptyAlternative(Block, Site.AltA);
  const bool EmptyB = Site.IsExit() || S.IsEmptyAlternative(Block, Site.AltB);
  IkivAlternative* AltA = Block.GetAlternative(Site.AltA);
  const bool Predicate = AltA != nullptr && AltA->GetSynPred() != nullptr;
  E.ResolvedByPredicate = Predicate;
  E.ResolvedByGreedy = !Predicate && EmptyA != EmptyB;
  const bool NonGreedyExit = Site.IsExit() && Loop && !Block.GetGreedy();

  // Full LL(k): a sequence of k members both branches read, with what follows the decision.
  ConfigSet StartA, StartB;
  bool Complete = true;
  {
    WorkMeter Work(S.Limits.WorkPerSearch);
    Complete = S.Start(Block, Site.AltA, StartA, Work) && Complete;
    Complete = S.Start(Block, Site.AltB, StartB, Work) && Complete;
  }
  State::PairSearch AtK(S, E.K);
  SearchResult Result = Complete ? AtK.Run(StartA, StartB) : SearchResult::GaveUp;
  const int Deepest = E.K + S.Limits.ExtraDepths;

  if (Result == SearchResult::Found) {
    E.Class = ConflictClassKind::RealConflict;
    S.LastWitness = AtK.Path;
    S.LastStops = AtK.Stops;
    E.Witness = S.Texts(AtK.Path, AtK.Stops);
    if (!AtK.Stops) {
      for (int N = E.K + 1; N <= Deepest; ++N) {
        State::PairSearch Deeper(S, N);
        const SearchResult R = Deeper.Run(StartA, StartB);
        if (R == SearchResult::GaveUp) break;
        if (R == SearchResult::NotFound) {
          E.ResolvedK = N;
          break;
        }
        if (Deeper.Stops) break;
      }
    }
  } else if (Result == SearchResult::NotFound) {
    const DepthTests SetsA = S.Depths(Block, Site.AltA, E.K);
    const DepthTests SetsB = S.Depths(Block, Site.AltB, E.K);
    const int Apart = State::SeparatedAt(SetsA, SetsB, E.K);
    E.Class = Apart > 0 && SetsA.Complete && SetsB.Complete ? ConflictClassKind::NoConflict
                                                           : ConflictClassKind::LinearApproximationOnly;
    if (E.Class == ConflictClassKind::LinearApproximationOnly) {
      // Deeper sets only as far as needed: the sets of a depth grow with every depth.
      for (int N = E.K + 1; N <= Deepest && E.ResolvedK == 0; ++N) {
        const DepthTests DeepA = S.Depths(Block, Site.AltA, N);
        const DepthTests DeepB = S.Depths(Block, Site.AltB, N);
        if (!DeepA.Complete || !DeepB.Complete) break;
        if (State::SeparatedAt(DeepA, DeepB, N) == N) E.ResolvedK = N;
      }
    }
    // The two sequences: the longest beginning both share, each continued its own way.
    const std::vector<int> SeqA = S.Extend(Block, Site.AltA, AtK.Best, E.K);
    const std::vector<int> SeqB = S.Extend(Block, Site.AltB, AtK.Best, E.K);
    S.LastWitness = SeqA;
    E.Witness = S.Texts(SeqA, false);
    E.OtherWitness = S.Texts(SeqB, false);
  } else {
    E.Class = ConflictClassKind::NotDecided;
  }

  // Both derivations of the witness (for a linear approximation: each of its own sequence).
  if (E.Class == ConflictClassKind::RealConflict || E.Class == ConflictClassKind::LinearApproximationOnly) {
    const std::vector<int> SeqB = E.Class == ConflictClassKind::RealConflict
                                      ? AtK.Path
                                      : S.Extend(Block, Site.AltB, AtK.Best, E.K);
    State::Tracer TraceA(S, S.LastWitness, S.LastStops, &E.PathA.Steps);
    TraceA.Walk(S.StartOf(Block, Site.AltA), 0, 0);
    State::Tracer TraceB(S, SeqB, S.LastStops, &E.PathB.Steps);
    TraceB.Walk(S.StartOf(Block, Site.AltB), 0, 0);
  }

  // The input that reaches the decision.
  std::vector<int> Prefix;
  E.PrefixFound = S.FindPrefix(Block, E.StartRule, Prefix);
  if (E.PrefixFound) E.Prefix = S.Texts(Prefix, false);

  // What the generated code does. Alternatives are tested in order; a loop goes round again while
  // an alternative's test matches, unless it is non-greedy.
  const std::string A = BranchName(Site.AltA), B = BranchName(Site.AltB);
  if (Predicate)
    E.Winner = A + " when its syntactic predicate succeeds";
  else if (NonGreedyExit)
    E.Winner = B;
  else
    E.Winner = A;
  const std::string On = E.Witness.empty() ? std::string("the shared input") : Joined(E.Witness);
  if (E.Class == ConflictClassKind::RealConflict) {
    if (Predicate)
      E.Consequence = "on " + On + " the generated code tries the syntactic predicate of " + A + " first and takes " +
                      B + " when it fails";
    else if (Site.IsExit() && !NonGreedyExit)
      E.Consequence = "on " + On + " the generated code goes round the loop again (" + A + "); it leaves the loop only where no alternative's test matches";
    else if (NonGreedyExit)
      E.Consequence = "on " + On + " the generated code leaves the loop (the loop is not greedy)";
    else
      E.Consequence = "on " + On + " the generated code takes " + A;
  } else if (E.Class == ConflictClassKind::LinearApproximationOnly) {
    // A sequence only the second branch starts that the first one's depth tests still accept.
    std::vector<DepthTests> Tests{S.Depths(Block, Site.AltA, E.K)};
    State::TestSearch Captured(S, E.K, Tests, false);
    ConfigSet Set;
    WorkMeter Work(S.Limits.WorkPerSearch);
    bool Misread = false;
    if (!NonGreedyExit && !Predicate && S.Start(Block, Site.AltB, Set, Work) && Captured.Step(Set, {true}))
      Misread = true;
    if (Misread)
      E.Consequence = "on " + Joined(S.Texts(Captured.Path, false)) + ", which only " + B +
                      " starts, the generated code still takes " + A + ": its tests look at each depth on its own";
    else
      E.Consequence = "full LL(" + std::to_string(E.K) + ") tells the two apart, but the generated tests look at each depth on its own and cannot";
  }

  // Whether the losing branch is ever taken: some sequence of it fails the tests of every branch
  // the generated code tries before it.
  if ((E.Class == ConflictClassKind::RealConflict || E.Class == ConflictClassKind::LinearApproximationOnly) &&
      !Predicate && !NonGreedyExit) {
    std::vector<DepthTests> Tests;
    if (Site.IsExit()) {
      for (int I = 0; I < static_cast<int>(Block.GetAlternatives().size()); ++I) Tests.push_back(S.Depths(Block, I, E.K));
    } else {
      for (int I = 0; I < Site.AltB; ++I) Tests.push_back(S.Depths(Block, I, E.K));
    }
    bool Complete2 = true;
    for (const DepthTests& T : Tests) Complete2 = Complete2 && T.Complete;
    ConfigSet Set;
    WorkMeter Work(S.Limits.WorkPerSearch);
    S.SetEofAfterPublicRules(true);
    bool Never = false;
    if (Complete2 && S.Start(Block, Site.AltB, Set, Work)) {
      State::TestSearch Escape(S, E.K, Tests, true);
      Never = !Escape.Step(Set, std::vector<bool>(Tests.size(), true)) && !Escape.Work.Exhausted();
    }
    S.SetEofAfterPublicRules(false);
    {
      if (Never) {
        E.OtherNeverChosen = true;
        E.Consequence += Site.IsExit() ? "; the exit branch can never be chosen: the loop never ends here"
                                       : "; " + B + " can never be chosen";
      }
    }
  }

  // The headline.
  E.Headline = ConflictClassText(E.Class);
  if (E.Class == ConflictClassKind::RealConflict || E.Class == ConflictClassKind::LinearApproximationOnly) {
    if (E.ResolvedK > 0)
      E.Headline += ", resolved with k = " + std::to_string(E.ResolvedK);
    else if (E.Class == ConflictClassKind::RealConflict)
      E.Headline += ", not resolved by k up to " + std::to_string(Deepest);
    if (E.ResolvedByPredicate) E.Headline += ", resolved by syntactic predicate (" + A + " is tried first)";
    if (E.ResolvedByGreedy) E.Headline += ", resolved by greedy (" + E.Winner + " wins)";
  }

  // Fixes that apply.
  if (E.Class == ConflictClassKind::RealConflict || E.Class == ConflictClassKind::LinearApproximationOnly) {
    const bool RuleLevel = kiv::Supports<IkivRuleBlock>(&Block) != nullptr;
    if (E.ResolvedK > 0)
      E.Fixes.push_back("raise k to " + std::to_string(E.ResolvedK) + ": options { k = " + std::to_string(E.ResolvedK) +
                        "; } in the grammar's options");
    if (!Site.IsExit()) {
      E.SharedPrefix = S.SharedElements(Block, Site.AltA, Site.AltB);
      if (!E.SharedPrefix.empty())
        E.Fixes.push_back("left-factor: both alternatives begin with " + Joined(E.SharedPrefix) + "; write " +
                          Joined(E.SharedPrefix) + " ( ... | ... ) with the rest of each alternative");
    }
    if (E.ResolvedByGreedy && !RuleLevel) {
      if (Site.IsExit() || Loop)
        E.Fixes.push_back("greedy: ( options { greedy = true; } : ... ) keeps the loop going and silences the report; greedy = false leaves the loop as soon as what follows matches");
      else
        E.Fixes.push_back("greedy: ( options { greedy = true; } : ... ) says the option takes the input and silences the report");
    }
    // The token dispatch is made by KIV: no predicate can be written there.
    const bool Dispatch = E.Lexical && !Site.IsExit() && S.TokenRuleOf(Block, Site.AltA);
    if (!Predicate && !E.ResolvedByGreedy && !Site.IsExit() && !Dispatch && E.Class == ConflictClassKind::RealConflict)
      E.Fixes.push_back("a syntactic predicate on " + A + ": ( ... )=> before it lets the generated code try it and fall back to " + B);
    if (E.Lexical && !Site.IsExit()) S.TokenRuleFixes(Block, Site.AltA, Site.AltB, E.Fixes);
    E.Fixes.push_back(std::string("generateAmbigWarnings = false in the ") + (RuleLevel ? "rule's" : "block's") +
                      " options when the generated choice is the one intended");
  }
  return E;
}

std::string ConflictClassText(ConflictClassKind Class) {
  switch (Class) {
  case ConflictClassKind::RealConflict: return "real conflict";
  case ConflictClassKind::LinearApproximationOnly: return "linear approximation only";
  case ConflictClassKind::NotDecided: return "not decided within the budget";
  case ConflictClassKind::NoConflict: return "no conflict";
  }
  return "";
}

std::vector<ConflictSite> CollectDecisions(IkivGrammar& Grammar) {
  std::vector<ConflictSite> Sites;
  std::unordered_set<const IkivAlternativeElem*> Seen;
  std::vector<IkivAlternativeElem*> Pending;
  for (const IkivRuleSymbolPtr& Symbol : Grammar.getRules())
    if (Symbol && Symbol->getBlock() != nullptr) Pending.push_back(Symbol->getBlock());
  std::reverse(Pending.begin(), Pending.end());
  while (!Pending.empty()) {
    IkivAlternativeElem* Elem = Pending.back();
    Pending.pop_back();
    if (Elem == nullptr || !Seen.insert(Elem).second) continue;
    if (kiv::Supports<IkivRuleEndElem>(Elem) != nullptr) continue;
    if (IkivAlternativeBlock* Block = kiv::Supports<IkivAlternativeBlock>(Elem)) {
      const int Count = static_cast<int>(Block->GetAlternatives().size());
      for (int I = 0; I < Count; ++I)
        for (int J = I + 1; J < Count; ++J) Sites.push_back(ConflictSite{Block, I, J});
      if (kiv::Supports<IkivBlockWithImpliedExitPath>(Block) != nullptr)
        for (int I = 0; I < Count; ++I) Sites.push_back(ConflictSite{Block, I, ConflictSite::ExitBranch});
      if (kiv::Supports<IkivRuleBlock>(Block) == nullptr) Pending.push_back(Block->GetNext());
      for (int I = Count; I-- > 0;) Pending.push_back(Block->GetAlternative(I)->GetHead());
      continue;
    }
    if (kiv::Supports<IkivBlockEndElem>(Elem) != nullptr) continue;
    Pending.push_back(Elem->GetNext());
  }
  return Sites;
}

} // namespace kiv
