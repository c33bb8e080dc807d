// kivLinearLook.cpp - per element and depth the sets the analyzer's depth tests use, solved once
// for every question: strongly connected equations (a loop's end, rules that end in each other)
// are solved together from empty sets up, the way the analyzer's locks leave them.
#include "engine/explain/kivLinearLook.h"

#include <algorithm>
#include <cstdint>

#include "engine/codegen/kivStackRoom.h"
#include "engine/graph/kivGraphArena.h"
#include "engine/kivLookaheadIntf.h"

namespace kiv::explain {

namespace {

constexpr int EofType = 1;
// Equations evaluated by one explainer at most, and rounds of one circle of them.
constexpr std::size_t WorkBudget = std::size_t{40} << 20;
constexpr int MaxRounds = 256;

std::size_t StackBudget() {
  constexpr std::size_t Fallback = std::size_t{1} << 20;
  constexpr std::size_t Cap = std::size_t{256} << 20;
  const std::size_t Room = kiv::ThreadStackRoom();
  return Room == 0 ? Fallback : std::min(Room / 2, Cap);
}

std::size_t Distance(const void* From, const void* To) {
  const auto A = reinterpret_cast<std::uintptr_t>(From);
  const auto B = reinterpret_cast<std::uintptr_t>(To);
  return A > B ? A - B : B - A;
}

} // namespace

LinearLook::LinearLook(ConflictGraph& Graph) : fGraph(Graph) {}

LinearSet LinearLook::At(int Node, int Depth) { return Value(Kind::Top, Node, Depth); }

LinearSet LinearLook::FollowOf(int RuleEnd, int Depth) { return Value(Kind::Follow, RuleEnd, Depth); }

bool LinearLook::EndsInputOnly(int RuleEnd) {
  if (fGraph.Lexical()) return false;
  Value(Kind::Follow, RuleEnd, 1);
  return !fFailed && Raw(RuleEnd, 1).Members.none();
}

LinearSet LinearLook::Value(Kind What, int Node, int Depth) {
  if (fFailed || Depth < 1 || Depth > 16000) return {};
  const std::uint64_t Key = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(Node)) << 16) |
                            (static_cast<std::uint64_t>(Depth) << 2) | static_cast<std::uint64_t>(What);
  const auto [Slot, Made] = fIds.try_emplace(Key, static_cast<int>(fEntries.size()));
  const int Id = Slot->second;
  if (Made) {
    Entry Fresh;
    Fresh.What = What;
    Fresh.Node = Node;
    Fresh.Depth = Depth;
    fEntries.push_back(Fresh);
  }
  {
    Entry& E = fEntries[static_cast<std::size_t>(Id)];
    if (E.State == 2) return E.Value;
    if (E.State == 1) {
      // A circle: the equation under way gets the value so far and is solved with the others.
      if (!fFrames.empty()) {
        Entry& Asking = fEntries[static_cast<std::size_t>(fFrames.back())];
        Asking.Low = std::min(Asking.Low, E.Index);
        if (fFrames.back() == Id) Asking.Circular = true;
      }
      return E.Value;
    }
  }
  if (fFrames.empty()) {
    fStackBase = __builtin_frame_address(0);
    if (fStackBudget == 0) fStackBudget = StackBudget();
  } else if (Distance(fStackBase, __builtin_frame_address(0)) > fStackBudget || ++fWork > WorkBudget) {
    fFailed = true;
    return {};
  }
  if (What != Kind::Top) {
    LinearSet Known;
    if (Analyzed(What, Node, Depth, Known)) {
      Entry& E = fEntries[static_cast<std::size_t>(Id)];
      E.Value = Known;
      E.State = 2;
      return Known;
    }
  }
  {
    Entry& E = fEntries[static_cast<std::size_t>(Id)];
    E.State = 1;
    E.Index = E.Low = fCounter++;
  }
  fStack.push_back(Id);
  fFrames.push_back(Id);
  LinearSet V = Compute(Id);
  fFrames.pop_back();
  Entry& E = fEntries[static_cast<std::size_t>(Id)];
  E.Value = V;
  if (E.Low == E.Index) {
    std::size_t From = fStack.size();
    while (From > 0 && fStack[From - 1] != Id) --From;
    --From;
    if (From + 1 < fStack.size() || E.Circular) {
      Solve(From);
    } else if (What == Kind::Follow && E.Value.Members.none()) {
      E.Value.Members.set(EofType);
    }
    for (std::size_t I = From; I < fStack.size(); ++I) fEntries[static_cast<std::size_t>(fStack[I])].State = 2;
    fStack.resize(From);
  } else if (!fFrames.empty()) {
    Entry& Asking = fEntries[static_cast<std::size_t>(fFrames.back())];
    Asking.Low = std::min(Asking.Low, E.Low);
  }
  return fEntries[static_cast<std::size_t>(Id)].Value;
}

// A circle of equations, solved from empty sets up: first the FOLLOW sets as the union of what
// their references lead to, then, where that union is empty, with end of file, as the analyzer
// gives a FOLLOW set that nothing but its own circle contributes to.
void LinearLook::Solve(std::size_t From) {
  for (std::size_t I = From; I < fStack.size(); ++I) fEntries[static_cast<std::size_t>(fStack[I])].Value = {};
  for (int Phase = 0; Phase < 2; ++Phase) {
    int Rounds = 0;
    bool Changed = true;
    while (Changed) {
      Changed = false;
      // Equations met while solving that lead back into the circle stay on the stack and join it.
      for (std::size_t I = From; I < fStack.size(); ++I) {
        const int Id = fStack[I];
        fFrames.push_back(Id);
        LinearSet V = Compute(Id);
        fFrames.pop_back();
        Entry& E = fEntries[static_cast<std::size_t>(Id)];
        if (Phase == 1 && E.What == Kind::Follow && V.Members.none()) V.Members.set(EofType);
        if (!(V == E.Value)) {
          E.Value = V;
          Changed = true;
        }
      }
      if (fFailed) return;
      if (++Rounds > MaxRounds) {
        fFailed = true;
        return;
      }
    }
  }
}

// The analyzer keeps every rule's FIRST set and every rule end's FOLLOW set it computed, and its
// tests use them as kept, also where one was computed while an enclosing computation held a loop's
// end (it may then lack what that loop contributes). Those sets are taken as they are; only the
// ones it never computed are solved here.
bool LinearLook::Analyzed(Kind What, int Node, int Depth, LinearSet& Out) {
  auto* Elem = const_cast<IkivAlternativeElem*>(fGraph.At(Node).Elem);
  IkivLookaheadPtr Known;
  if (What == Kind::First) {
    if (auto* Rule = kiv::Supports<IkivRuleBlock>(Elem)) Known = Rule->GetCache(Depth);
  } else if (auto* End = kiv::Supports<IkivRuleEndElem>(Elem)) {
    Known = End->GetCache(Depth);
    // A FOLLOW set cut short by a circle of rules that end in each other is the one of the rule
    // that closed the circle.
    for (int Hop = 0; Known && !Known->GetCycle().empty() && Hop < 8; ++Hop) {
      IkivRuleSymbolPtr Symbol = fGraph.RuleSymbol(Known->GetCycle());
      IkivRuleBlock* Block = Symbol ? Symbol->getBlock() : nullptr;
      IkivRuleEndElem* CycleEnd = Block != nullptr ? Block->GetEndNode() : nullptr;
      Known = CycleEnd != nullptr ? CycleEnd->GetCache(Depth) : nullptr;
    }
  }
  if (!Known || !Known->GetCycle().empty()) return false;
  Out.Members = Known->GetMembers();
  Out.Depths = Known->GetEpsilonDepths();
  Out.Ends = Known->ContainsEpsilon();
  return true;
}

LinearSet LinearLook::Raw(int RuleEnd, int Depth) {
  LinearSet Out;
  IkivRuleSymbolPtr Symbol = fGraph.RuleSymbol(fGraph.At(RuleEnd).Target);
  if (!Symbol) return Out;
  const IkivRuleSymbol::ReferenceList References = Symbol->getReferences();
  for (IkivRuleRefElem* Ref : References) Out.Add(Value(Kind::Top, fGraph.NodeOf(Ref->GetNext()), Depth));
  return Out;
}

LinearSet LinearLook::Compute(int Id) {
  const Kind What = fEntries[static_cast<std::size_t>(Id)].What;
  const int Id0 = fEntries[static_cast<std::size_t>(Id)].Node;
  const int Depth = fEntries[static_cast<std::size_t>(Id)].Depth;
  if (What == Kind::Follow) return Raw(Id0, Depth);
  // Copies only: asking for successors may add nodes and move the others.
  const Node& At = fGraph.At(Id0);
  const NodeKind NK = At.Kind;
  const int AltCount = At.AltCount;
  LinearSet Out;
  switch (NK) {
  case NodeKind::Dead:
    return Out;
  case NodeKind::Stop:
    Out.Ends = true;
    return Out;
  case NodeKind::Consume:
    if (Depth == 1) {
      Out.Members = At.Set;
      return Out;
    }
    return Value(What, fGraph.Successor(Id0, 0), Depth - 1);
  case NodeKind::Split: {
    const std::size_t Count = fGraph.SuccessorCount(Id0);
    for (std::size_t I = 0; I < Count; ++I) {
      const int Next = fGraph.Successor(Id0, I);
      const Node& Head = fGraph.At(Next);
      // A wildcard or inverted atom heading a later alternative leaves out what the earlier
      // alternatives start with.
      if (Depth == 1 && I > 0 && static_cast<int>(I) < AltCount && Head.Kind == NodeKind::Consume && Head.Competing) {
        MemberSet Set = Head.Set;
        for (std::size_t J = 0; J < I; ++J) Set &= ~Value(What, fGraph.Successor(Id0, J), 1).Members;
        Out.Members |= Set;
        continue;
      }
      Out.Add(Value(What, Next, Depth));
    }
    return Out;
  }
  case NodeKind::Call: {
    const int Return = fGraph.Successor(Id0, 1);
    const LinearSet First = Value(Kind::First, fGraph.Successor(Id0, 0), Depth);
    Out.Members = First.Members;
    // Where the rule entered ends, the sequence goes on after the reference.
    for (int D = 1; D <= Depth && D < 256; ++D)
      if (First.Depths.test(static_cast<std::size_t>(D))) Out.Add(Value(What, Return, D));
    return Out;
  }
  case NodeKind::RuleEnd:
    if (What == Kind::First) {
      Out.Ends = true;
      if (Depth < 256) Out.Depths.set(static_cast<std::size_t>(Depth));
      return Out;
    }
    // The end of a token; in a parser what follows the rule anywhere.
    if (fGraph.Lexical()) {
      Out.Ends = true;
      return Out;
    }
    return Value(Kind::Follow, Id0, Depth);
  }
  return Out;
}

} // namespace kiv::explain
