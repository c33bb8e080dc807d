// kivConflictGraph.cpp - nodes made from the elements by double dispatch, call stacks, closure.
#include "engine/explain/kivConflictGraph.h"

#include <algorithm>

#include "engine/graph/kivGraphArena.h"
#include "engine/graph/kivSubruleInversion.h"
#include "engine/kivLookaheadIntf.h"
#include "runtime/cpp/kivUtils.h"

namespace kiv::explain {

namespace {

constexpr int EofType = 1;
constexpr int MinUserType = 4;

std::string Trimmed(std::string Text) {
  while (!Text.empty() && Text.front() == ' ') Text.erase(0, 1);
  return Text;
}

} // namespace

// Answers each element's Look by describing the element in Out; the lookahead it returns is
// always null. Only the Look operations are ever called on it.
class ConflictGraph::NodeMaker : public IkivLLkAnalyzer {
public:
  NodeMaker(ConflictGraph& Graph, Node& Out) : fGraph(Graph), fOut(Out) {}

  void SetGrammar(IkivGrammar*) override {}
  bool CheckBlock(IkivAlternativeBlock&) override { return true; }
  bool CheckOneOrMore(IkivOneOrMoreBlock&) override { return true; }
  bool CheckZeroOrMore(IkivZeroOrMoreBlock&) override { return true; }

  IkivLookaheadPtr LookAction(int, IkivActionElem& Action) override { return Pass(Action.GetNext()); }
  IkivLookaheadPtr LookBlock(int, IkivAlternativeBlock& Block) override {
    if (Block.GetInverted() && CanInvertSubrule(Block, fGraph.fLexical)) {
      fOut.Kind = NodeKind::Consume;
      fOut.InvertedBlock = true;
      Heads(Block);
      fOut.Next.emplace_back(-1, Block.GetNext());
      return nullptr;
    }
    return Alternatives(Block);
  }
  IkivLookaheadPtr LookBlockEnd(int, IkivBlockEndElem& End) override {
    IkivAlternativeBlock* Owner = End.GetBlock();
    if (Owner == nullptr) return Dead();
    if (kiv::Supports<IkivSynPredBlock>(Owner) != nullptr) {
      fOut.Kind = NodeKind::Split;
      fOut.Next.emplace_back(fGraph.fStop, nullptr);
      return nullptr;
    }
    fOut.Kind = NodeKind::Split;
    // The end of a loop leads into another iteration as well as out of the loop.
    if (kiv::Supports<IkivBlockWithImpliedExitPath>(Owner) != nullptr) {
      Heads(*Owner);
      fOut.AltCount = static_cast<int>(fOut.Next.size());
    }
    fOut.Next.emplace_back(-1, Owner->GetNext());
    return nullptr;
  }
  IkivLookaheadPtr LookCharLiteral(int, IkivCharLiteralElem& Atom) override {
    return Atom.GetInverted() ? Inverted(Atom) : Reads(Single(Atom.GetType()), Atom.GetNext());
  }
  IkivLookaheadPtr LookCharRange(int, IkivCharRangeElem& Range) override {
    MemberSet Set;
    for (int C = kiv::CharCode(Range.GetFirst()); C <= kiv::CharCode(Range.GetLast()); ++C)
      Set.set(static_cast<std::size_t>(C));
    return Reads(Set, Range.GetNext());
  }
  IkivLookaheadPtr LookTokenRef(int, IkivGrammarAtom& Atom) override {
    return Atom.GetInverted() ? Inverted(Atom) : Reads(Single(Atom.GetType()), Atom.GetNext());
  }
  IkivLookaheadPtr LookOneOrMore(int, IkivOneOrMoreBlock& Block) override { return Alternatives(Block); }
  IkivLookaheadPtr LookRuleBlock(int, IkivRuleBlock& Block) override { return Alternatives(Block); }
  IkivLookaheadPtr LookRuleEnd(int, IkivRuleEndElem& End) override {
    fOut.Kind = NodeKind::RuleEnd;
    if (IkivRuleBlock* Rule = kiv::Supports<IkivRuleBlock>(End.GetBlock()))
      fOut.Target = fGraph.fLexical ? EncodeLexerRuleName(Rule->GetRuleName()) : Rule->GetRuleName();
    return nullptr;
  }
  IkivLookaheadPtr LookRuleRef(int, IkivRuleRefElem& Ref) override {
    IkivRuleSymbolPtr Symbol = fGraph.fGrammar.getRuleSymbol(Ref.GetTargetRule());
    IkivRuleBlock* Block = Symbol && Symbol->isDefined() ? Symbol->getBlock() : nullptr;
    if (Block == nullptr) return Dead();
    fOut.Kind = NodeKind::Call;
    fOut.Target = Ref.GetTargetRule();
    fOut.Next.emplace_back(-1, Block);
    fOut.Next.emplace_back(-1, Ref.GetNext());
    return nullptr;
  }
  IkivLookaheadPtr LookStringLiteral(int, IkivStringLiteralElem& Atom) override {
    if (!fGraph.fLexical) {
      if (!Atom.GetInverted()) return Reads(Single(Atom.GetType()), Atom.GetNext());
      MemberSet Set = fGraph.fUniverse;
      if (Atom.GetType() >= 0 && Atom.GetType() <= 255) Set.reset(static_cast<std::size_t>(Atom.GetType()));
      return Reads(Set, Atom.GetNext());
    }
    // A lexer's string literal reads its characters one after the other.
    const std::string Text = Atom.GetProcessedText();
    if (Text.empty()) return Pass(Atom.GetNext());
    fOut.Kind = NodeKind::Consume;
    fOut.Set = Single(kiv::CharCode(Text[0]));
    std::pair<int, const IkivAlternativeElem*> After{-1, Atom.GetNext()};
    for (std::size_t I = Text.size(); I-- > 1;) {
      Node Char;
      Char.Kind = NodeKind::Consume;
      Char.Set = Single(kiv::CharCode(Text[I]));
      Char.Rule = fOut.Rule;
      Char.Line = fOut.Line;
      Char.Text = fOut.Text;
      Char.Next.push_back(After);
      fGraph.fNodes.push_back(std::move(Char));
      After = {static_cast<int>(fGraph.fNodes.size()) - 1, nullptr};
    }
    fOut.Next.push_back(After);
    return nullptr;
  }
  IkivLookaheadPtr LookSynPred(int, IkivSynPredBlock& Block) override { return Pass(Block.GetNext()); }
  IkivLookaheadPtr LookTokenRange(int, IkivTokenRangeElem& Range) override {
    MemberSet Set;
    for (int T = std::max(Range.GetFirst(), 0); T <= std::min(Range.GetLast(), 255); ++T)
      Set.set(static_cast<std::size_t>(T));
    return Reads(Set, Range.GetNext());
  }
  IkivLookaheadPtr LookTreeElement(int, IkivAlternativeElem& Elem) override { return Pass(Elem.GetNext()); }
  IkivLookaheadPtr LookWildcard(int, IkivWildcardElem& Atom) override {
    fOut.Competing = true;
    return Reads(fGraph.fUniverse, Atom.GetNext());
  }
  IkivLookaheadPtr LookZeroOrMore(int, IkivZeroOrMoreBlock& Block) override {
    Alternatives(Block);
    fOut.Next.emplace_back(-1, Block.GetNext());
    return nullptr;
  }
  IkivLookaheadPtr LookRule(int, const std::string&) override { return nullptr; }
  IkivLookaheadPtr Follow(int, IkivRuleEndElem&) override { return nullptr; }
  bool CanInvertSubrule(IkivAlternativeBlock& Block, bool ForLexer) override {
    return kiv::CanInvertSubrule(Block, ForLexer);
  }

private:
  static MemberSet Single(int Member) {
    MemberSet Set;
    if (Member >= 0 && Member <= 255) Set.set(static_cast<std::size_t>(Member));
    return Set;
  }
  IkivLookaheadPtr Dead() {
    fOut.Kind = NodeKind::Dead;
    return nullptr;
  }
  IkivLookaheadPtr Pass(IkivAlternativeElem* Next) {
    fOut.Kind = NodeKind::Split;
    fOut.Next.emplace_back(-1, Next);
    return nullptr;
  }
  IkivLookaheadPtr Reads(const MemberSet& Set, IkivAlternativeElem* Next) {
    fOut.Kind = NodeKind::Consume;
    fOut.Set = Set;
    fOut.Next.emplace_back(-1, Next);
    return nullptr;
  }
  IkivLookaheadPtr Inverted(IkivGrammarAtom& Atom) {
    MemberSet Set = fGraph.fUniverse;
    if (Atom.GetType() >= 0 && Atom.GetType() <= 255) Set.reset(static_cast<std::size_t>(Atom.GetType()));
    fOut.Competing = true;
    return Reads(Set, Atom.GetNext());
  }
  void Heads(IkivAlternativeBlock& Block) {
    for (IkivAlternative* Alt : Block.GetAlternatives()) fOut.Next.emplace_back(-1, Alt->GetHead());
  }
  IkivLookaheadPtr Alternatives(IkivAlternativeBlock& Block) {
    fOut.Kind = NodeKind::Split;
    Heads(Block);
    fOut.AltCount = static_cast<int>(fOut.Next.size());
    return nullptr;
  }

  ConflictGraph& fGraph;
  Node& fOut;
};

ConflictGraph::ConflictGraph(IkivGrammar& Grammar)
    : fGrammar(Grammar), fLexical(kiv::Supports<IkivLexerGrammar>(&Grammar) != nullptr) {
  if (fLexical) {
    fUniverse = Grammar.getCharVocabulary();
  } else if (IkivTokenManagerPtr Manager = Grammar.getTokenManager()) {
    for (int T = MinUserType; T <= std::min(Manager->getMaxTokenType(), 255); ++T)
      fUniverse.set(static_cast<std::size_t>(T));
  }
  Node Eof;
  Eof.Kind = NodeKind::Consume;
  Eof.Set.set(EofType);
  Eof.Text = "end of file";
  Eof.Next.emplace_back(0, nullptr);
  fNodes.push_back(std::move(Eof));
  fEof = 0;
  Node Stop;
  Stop.Kind = NodeKind::Stop;
  Stop.Text = fLexical ? "end of the token" : "end of the predicate";
  fNodes.push_back(std::move(Stop));
  fStop = 1;
  fNodes.emplace_back();
  fDead = 2;
  fStacks.emplace_back(0, 0);
  fDepths.push_back(0);
  fCallers.push_back(-1);
}

ConflictGraph::~ConflictGraph() = default;

int ConflictGraph::NodeOf(const IkivAlternativeElem* Elem) {
  if (Elem == nullptr) return fDead;
  if (auto Found = fIds.find(Elem); Found != fIds.end()) return Found->second;
  Node Made;
  Made.Elem = Elem;
  Made.Rule = Elem->GetEnclosingRuleName();
  if (Made.Rule.empty())
    if (auto* Rule = kiv::Supports<IkivRuleBlock>(const_cast<IkivAlternativeElem*>(Elem))) Made.Rule = Rule->GetRuleName();
  Made.Line = Elem->GetLine();
  Made.Text = Trimmed(Elem->ToText());
  {
    // The grammar's analyzer slot holds the node maker for this one question.
    NodeMaker Maker(*this, Made);
    IkivLLkAnalyzer* Saved = fGrammar.getAnalyzer();
    fGrammar.setAnalyzer(&Maker);
    const_cast<IkivAlternativeElem*>(Elem)->Look(1);
    fGrammar.setAnalyzer(Saved);
  }
  fNodes.push_back(std::move(Made));
  const int Id = static_cast<int>(fNodes.size()) - 1;
  fIds.emplace(Elem, Id);
  return Id;
}

const Node& ConflictGraph::At(int Id) {
  Node& N = fNodes[static_cast<std::size_t>(Id)];
  if (N.InvertedBlock) Fill(Id);
  return fNodes[static_cast<std::size_t>(Id)];
}

// An inverted subrule reads what none of its alternatives starts with.
void ConflictGraph::Fill(int Id) {
  fNodes[static_cast<std::size_t>(Id)].InvertedBlock = false;
  const std::size_t Count = fNodes[static_cast<std::size_t>(Id)].Next.size();
  std::vector<Config> Seeds;
  for (std::size_t I = 0; I + 1 < Count; ++I) Seeds.push_back(Config{Successor(Id, I), 0});
  ConfigSet Heads;
  WorkMeter Work(100000);
  Closure(*this, Seeds, Heads, Work, 64);
  MemberSet Union;
  for (const Config& C : Heads)
    if (fNodes[static_cast<std::size_t>(C.NodeId)].Kind == NodeKind::Consume)
      Union |= fNodes[static_cast<std::size_t>(C.NodeId)].Set;
  Node& N = fNodes[static_cast<std::size_t>(Id)];
  N.Set = fUniverse & ~Union;
  N.Next.erase(N.Next.begin(), N.Next.end() - 1);
}

int ConflictGraph::Successor(int Id, std::size_t Index) {
  auto& Slot = fNodes[static_cast<std::size_t>(Id)].Next[Index];
  if (Slot.first < 0) {
    const int Made = NodeOf(Slot.second);
    fNodes[static_cast<std::size_t>(Id)].Next[Index].first = Made;
    return Made;
  }
  return Slot.first;
}

int ConflictGraph::RestrictedCopy(int Id, const MemberSet& Set) {
  Node Copy = At(Id);
  Copy.Set &= Set;
  Copy.Competing = false;
  for (std::size_t I = 0; I < Copy.Next.size(); ++I) Copy.Next[I].first = Successor(Id, I);
  fNodes.push_back(std::move(Copy));
  return static_cast<int>(fNodes.size()) - 1;
}

const std::vector<int>& ConflictGraph::FollowOf(int RuleEndId) {
  auto& Cache = fEofAfterPublic ? fFollowOrEof : fFollow;
  if (auto Found = Cache.find(RuleEndId); Found != Cache.end()) return Found->second;
  std::vector<int> Targets;
  if (fLexical) {
    Targets.push_back(fStop);
  } else {
    const std::string Rule = fNodes[static_cast<std::size_t>(RuleEndId)].Target;
    IkivRuleSymbolPtr Symbol = fGrammar.getRuleSymbol(Rule);
    if (Symbol)
      for (IkivRuleRefElem* Ref : Symbol->getReferences()) Targets.push_back(NodeOf(Ref->GetNext()));
    if (Targets.empty() || (fEndsInput && fEndsInput(RuleEndId)) || (fEofAfterPublic && Symbol && Symbol->getAccess() == "public" &&
                            std::find(Targets.begin(), Targets.end(), fEof) == Targets.end()))
      Targets.push_back(fEof);
  }
  return Cache.emplace(RuleEndId, std::move(Targets)).first->second;
}

int ConflictGraph::Push(int Stack, int CallNode) {
  const std::uint64_t Key = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(Stack)) << 32) |
                            static_cast<std::uint32_t>(CallNode);
  if (auto Found = fStackIds.find(Key); Found != fStackIds.end()) return Found->second;
  const int Return = Successor(CallNode, 1);
  fStacks.emplace_back(Return, Stack);
  fDepths.push_back(fDepths[static_cast<std::size_t>(Stack)] + 1);
  fCallers.push_back(CallNode);
  const int Id = static_cast<int>(fStacks.size()) - 1;
  fStackIds.emplace(Key, Id);
  return Id;
}

std::string ConflictGraph::DisplayRule(const std::string& Id) const {
  return fLexical ? DecodeLexerRuleName(Id) : Id;
}

std::string ConflictGraph::MemberText(int Member) const {
  MemberSet One;
  One.set(static_cast<std::size_t>(Member));
  if (fLexical) return CharSetText(One);
  IkivTokenManagerPtr Manager = fGrammar.getTokenManager();
  if (!Manager) return TokenSetText(One);
  return TokenSetText(One, Manager->getVocabulary());
}

bool Closure(ConflictGraph& Graph, const std::vector<Config>& Seeds, ConfigSet& Out, WorkMeter& Work,
             int MaxStack) {
  Out.clear();
  std::unordered_set<std::uint64_t> Seen;
  std::vector<Config> Pending(Seeds.rbegin(), Seeds.rend());
  bool Complete = true;
  while (!Pending.empty()) {
    const Config C = Pending.back();
    Pending.pop_back();
    const std::uint64_t Key = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(C.NodeId)) << 32) |
                              static_cast<std::uint32_t>(C.Stack);
    if (!Seen.insert(Key).second) continue;
    if (!Work.Spend()) return false;
    const Node& N = Graph.At(C.NodeId);
    switch (N.Kind) {
    case NodeKind::Consume:
    case NodeKind::Stop:
      Out.push_back(C);
      break;
    case NodeKind::Dead:
      break;
    case NodeKind::Split:
      for (std::size_t I = Graph.SuccessorCount(C.NodeId); I-- > 0;)
        Pending.push_back(Config{Graph.Successor(C.NodeId, I), C.Stack});
      break;
    case NodeKind::Call:
      if (Graph.StackDepth(C.Stack) >= MaxStack) {
        Complete = false;
        break;
      }
      Pending.push_back(Config{Graph.Successor(C.NodeId, 0), Graph.Push(C.Stack, C.NodeId)});
      break;
    case NodeKind::RuleEnd:
      if (C.Stack != 0) {
        const auto [Return, Rest] = Graph.Pop(C.Stack);
        Pending.push_back(Config{Return, Rest});
      } else {
        const std::vector<int>& Follow = Graph.FollowOf(C.NodeId);
        for (auto It = Follow.rbegin(); It != Follow.rend(); ++It) Pending.push_back(Config{*It, 0});
      }
      break;
    }
  }
  std::sort(Out.begin(), Out.end());
  Out.erase(std::unique(Out.begin(), Out.end()), Out.end());
  return Complete;
}

std::vector<Config> Advance(ConflictGraph& Graph, const ConfigSet& From, int Member) {
  std::vector<Config> Next;
  for (const Config& C : From) {
    const Node& N = Graph.At(C.NodeId);
    if (N.Kind == NodeKind::Consume && N.Set.test(static_cast<std::size_t>(Member)))
      Next.push_back(Config{Graph.Successor(C.NodeId, 0), C.Stack});
  }
  return Next;
}

MemberSet Readable(ConflictGraph& Graph, const ConfigSet& Set, bool* HasStop) {
  MemberSet Members;
  bool Stop = false;
  for (const Config& C : Set) {
    const Node& N = Graph.At(C.NodeId);
    if (N.Kind == NodeKind::Consume) Members |= N.Set;
    else if (N.Kind == NodeKind::Stop) Stop = true;
  }
  if (HasStop != nullptr) *HasStop = Stop;
  return Members;
}

} // namespace kiv::explain
