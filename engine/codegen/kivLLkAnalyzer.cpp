// kivLLkAnalyzer.cpp - the LL(k) analyzer: block and loop checks, lookahead of every element kind,
// rule FIRST and FOLLOW with their caches, locks and cycles, and the analyzer's diagnostics.
#include "engine/codegen/kivLLkAnalyzer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/codegen/kivLookahead.h"
#include "engine/codegen/kivStackRoom.h"
#include "engine/graph/kivGraphArena.h"
#include "engine/graph/kivSubruleInversion.h"
#include "engine/model/kivNames.h"

namespace {

using MemberSet = IkivLookahead::MemberSet;

IkivLookaheadPtr EmptyLookahead() { return std::make_shared<TkivLookahead>(); }

// Sets a value for the life of the scope and puts the old one back, also when a panic unwinds.
template <class T>
class ScopedValue {
public:
  ScopedValue(T& Slot, T Value) : fSlot(Slot), fSaved(std::move(Slot)) { fSlot = std::move(Value); }
  ~ScopedValue() { fSlot = std::move(fSaved); }
  ScopedValue(const ScopedValue&) = delete;
  ScopedValue& operator=(const ScopedValue&) = delete;

private:
  T& fSlot;
  T fSaved;
};

// Holds the per-depth lock of a block end, rule end or rule block for one nested computation.
template <class Node>
class DepthLock {
public:
  DepthLock(Node& Locked, int K) : fNode(Locked), fK(K) { fNode.SetLock(fK, true); }
  ~DepthLock() { fNode.SetLock(fK, false); }
  DepthLock(const DepthLock&) = delete;
  DepthLock& operator=(const DepthLock&) = delete;

private:
  Node& fNode;
  int fK;
};

// Sets a rule end's no-FOLLOW flag and restores the old value afterwards.
class NoFollowScope {
public:
  explicit NoFollowScope(IkivRuleEndElem* End) : fEnd(End) {
    if (fEnd != nullptr) {
      fSaved = fEnd->GetNoFollow();
      fEnd->SetNoFollow(true);
    }
  }
  ~NoFollowScope() {
    if (fEnd != nullptr) fEnd->SetNoFollow(fSaved);
  }
  NoFollowScope(const NoFollowScope&) = delete;
  NoFollowScope& operator=(const NoFollowScope&) = delete;

private:
  IkivRuleEndElem* fEnd;
  bool fSaved = false;
};

// Keeps the block's under-analysis index across a nested computation of the same block's lookahead
// (a loop's end leads back into the loop), so that the alternative whose lookahead is being computed
// is still the one named when the nested computation returns.
class AnalysisAltScope {
public:
  explicit AnalysisAltScope(IkivAlternativeBlock& Block) : fBlock(Block), fSaved(Block.GetAnalysisAlt()) {}
  ~AnalysisAltScope() { fBlock.SetAnalysisAlt(fSaved); }
  AnalysisAltScope(const AnalysisAltScope&) = delete;
  AnalysisAltScope& operator=(const AnalysisAltScope&) = delete;

private:
  IkivAlternativeBlock& fBlock;
  int fSaved;
};

// An alternative is empty when its first element is already the end of its block.
bool IsEmptyAlternative(const IkivAlternative& Alt) {
  return kiv::Supports<IkivBlockEndElem>(Alt.GetHead()) != nullptr;
}

// A single wildcard directly followed by the block end: the "anything else" alternative.
bool IsLoneWildcard(const IkivAlternative& Alt) {
  IkivAlternativeElem* Head = Alt.GetHead();
  return kiv::Supports<IkivWildcardElem>(Head) != nullptr &&
         kiv::Supports<IkivBlockEndElem>(Head->GetNext()) != nullptr;
}

bool IsLoop(IkivAlternativeBlock& Block) {
  return kiv::Supports<IkivOneOrMoreBlock>(&Block) != nullptr ||
         kiv::Supports<IkivZeroOrMoreBlock>(&Block) != nullptr;
}

// The intersections of depths 1..K, as the nondeterminism reports take them.
TkivLookaheadList ReportedIntersections(const std::vector<IkivLookaheadPtr>& ByDepth, int K) {
  TkivLookaheadList List;
  List.reserve(static_cast<std::size_t>(K));
  for (int D = 1; D <= K; ++D) {
    const std::size_t Slot = static_cast<std::size_t>(D);
    List.push_back(Slot < ByDepth.size() && ByDepth[Slot] ? ByDepth[Slot] : EmptyLookahead());
  }
  return List;
}

// The stack the analysis may use below its outermost lookahead request: half of what the running
// thread has left there, capped, and 1 MB where the platform does not tell.
std::size_t StackBudget() {
  constexpr std::size_t Fallback = std::size_t{1} << 20;
  constexpr std::size_t Cap = std::size_t{256} << 20;
  const std::size_t Room = kiv::ThreadStackRoom();
  return Room == 0 ? Fallback : std::min(Room / 2, Cap);
}

std::size_t StackDistance(const void* From, const void* To) {
  const auto A = reinterpret_cast<std::uintptr_t>(From);
  const auto B = reinterpret_cast<std::uintptr_t>(To);
  return A > B ? A - B : B - A;
}

// See note [analysis work]: the work allowed for one grammar's analysis.
std::size_t WorkBudget(std::size_t Elements, int K) {
  constexpr std::size_t Base = std::size_t{4} << 20;
  constexpr std::size_t PerElementAndDepth = 256;
  constexpr int DeepestCountedDepth = 8;
  const auto Depths = static_cast<std::size_t>(std::clamp(K, 1, DeepestCountedDepth));
  return Base + PerElementAndDepth * Elements * Depths;
}

void AddDepth(MemberSet& Depths, int K) {
  if (K >= 0 && K <= 255) Depths.set(static_cast<std::size_t>(K));
}

} // namespace

// See note [lookahead memo]. Entries holds, per element and depth, the answers computed so far
// with what each depended on; Records has one entry per answer under computation, innermost last.
struct TkivLLkAnalyzer::Memo {
  struct Key {
    const IkivAlternativeElem* Elem;
    int K;
    bool operator==(const Key& Other) const { return Elem == Other.Elem && K == Other.K; }
  };
  struct KeyHash {
    std::size_t operator()(const Key& Value) const {
      return std::hash<const void*>()(Value.Elem) ^ (static_cast<std::size_t>(Value.K) * 0x9E3779B97F4A7C15ull);
    }
  };
  // A lock (of a loop's end, a rule end or a rule block) at a depth, or a rule end's no-FOLLOW
  // flag, with the value read. Node is the IkivBlockEndElem* (also for a rule end's lock),
  // IkivRuleBlock* or IkivRuleEndElem* read.
  enum class ReadKind : unsigned char { LoopLock, EndLock, RuleLock, NoFollow };
  struct Read {
    ReadKind Kind;
    const void* Node;
    int K;
    bool Value;
    auto Tie() const { return std::tie(Node, K, Kind, Value); }
    bool operator==(const Read& Other) const { return Tie() == Other.Tie(); }
    bool operator<(const Read& Other) const { return Tie() < Other.Tie(); }
  };
  // A wildcard or inverted atom asked for its competing sets, and whether it headed the
  // alternative under analysis.
  struct Head {
    const IkivAlternativeElem* Atom;
    bool Heads;
    bool operator==(const Head& Other) const { return Atom == Other.Atom && Heads == Other.Heads; }
    bool operator<(const Head& Other) const {
      return std::tie(Atom, Heads) < std::tie(Other.Atom, Other.Heads);
    }
  };
  struct Record {
    bool Forget = false;
    std::vector<Read> Reads;
    std::vector<Head> Heads;

    void Take(const std::vector<Read>& MoreReads, const std::vector<Head>& MoreHeads) {
      Reads.insert(Reads.end(), MoreReads.begin(), MoreReads.end());
      Heads.insert(Heads.end(), MoreHeads.begin(), MoreHeads.end());
    }
    // Drops the reads of a lock as held that the computation holding it made: once the lock is
    // released they say nothing about the state the answer depends on.
    void ForgetHeld(ReadKind Kind, const void* Node, int K) {
      const auto Own = [Kind, Node, K](const Read& R) {
        return R.Kind == Kind && R.Node == Node && R.K == K && R.Value;
      };
      Reads.erase(std::remove_if(Reads.begin(), Reads.end(), Own), Reads.end());
    }
    // True when the answer met a lock held by a computation outside it (see note [cut sets]): a
    // loop's end, a rule end (FOLLOW) or a rule block (FIRST). Its own lock must be forgotten first.
    bool MetCut() const {
      return std::any_of(Reads.begin(), Reads.end(),
                         [](const Read& R) { return R.Kind != ReadKind::NoFollow && R.Value; });
    }
    void Tidy() {
      std::sort(Reads.begin(), Reads.end());
      Reads.erase(std::unique(Reads.begin(), Reads.end()), Reads.end());
      std::sort(Heads.begin(), Heads.end());
      Heads.erase(std::unique(Heads.begin(), Heads.end()), Heads.end());
    }
  };
  struct Entry {
    IkivLookaheadPtr Value;
    std::vector<Read> Reads;
    std::vector<Head> Heads;
  };
  // Answers kept per element and depth; a few variants for the different states they were asked in.
  static constexpr std::size_t MaxVariants = 8;

  void NoteRead(ReadKind Kind, const void* Node, int K, bool Value) {
    if (!Records.empty()) Records.back().Reads.push_back(Read{Kind, Node, K, Value});
  }
  // Reads of the answer under computation so far.
  std::size_t ReadCount() const { return Records.empty() ? 0 : Records.back().Reads.size(); }
  // Drops the reads of Node's lock at depth K as held that the answer under computation made since
  // it had ReadsBefore reads: the caller took that lock itself and has just released it, and it
  // read the lock as free before taking it (that read stays). Computed again from a state in which
  // the lock is free, the answer takes the lock again and reads it held again, so these reads say
  // nothing about the state it depends on. Left in beside the read as free, no state could satisfy
  // both, and no answer that passed through a loop's end would ever be reused: nested loops cost
  // (8 or more)^nesting.
  void ForgetOwnLock(std::size_t ReadsBefore, const void* Node, int K) {
    if (Records.empty()) return;
    std::vector<Read>& Reads = Records.back().Reads;
    if (ReadsBefore > Reads.size()) return;
    const auto Own = [Node, K](const Read& R) {
      return R.Kind == ReadKind::LoopLock && R.Node == Node && R.K == K && R.Value;
    };
    Reads.erase(std::remove_if(Reads.begin() + static_cast<std::ptrdiff_t>(ReadsBefore), Reads.end(), Own),
                Reads.end());
  }
  // Hands what a finished answer learnt to the answer under computation that asked for it.
  void PassOn(const Record& Done) {
    if (Records.empty()) return;
    Work += Done.Reads.size() + Done.Heads.size();
    Record& Outer = Records.back();
    Outer.Forget = Outer.Forget || Done.Forget;
    Outer.Take(Done.Reads, Done.Heads);
  }
  void NoteHead(const IkivAlternativeElem* Atom, bool Heads) {
    if (!Records.empty()) Records.back().Heads.push_back(Head{Atom, Heads});
  }

  // True when every state the answer depended on reads the same now.
  static bool StillHolds(const Entry& Known, const TkivLLkAnalyzer& Analyzer) {
    for (const Read& R : Known.Reads) {
      bool Now = false;
      switch (R.Kind) {
      case ReadKind::LoopLock:
      case ReadKind::EndLock: Now = static_cast<const IkivBlockEndElem*>(R.Node)->GetLock(R.K); break;
      case ReadKind::RuleLock: Now = static_cast<const IkivRuleBlock*>(R.Node)->GetLock(R.K); break;
      case ReadKind::NoFollow: Now = static_cast<const IkivRuleEndElem*>(R.Node)->GetNoFollow(); break;
      }
      if (Now != R.Value) return false;
    }
    for (const Head& H : Known.Heads)
      if (Analyzer.HeadsAnalysisAlt(*H.Atom) != H.Heads) return false;
    return true;
  }

  bool Enabled = true;
  // See note [analysis work]; the budget is set at the grammar's first lookahead request.
  std::size_t Work = 0;
  std::size_t Budget = 0;
  std::unordered_map<Key, std::vector<Entry>, KeyHash> Entries;
  std::vector<Record> Records;
};

// The record of one answer under computation. What it learnt passes on to the answer that asked
// for it, except across a cache boundary: a FIRST or FOLLOW set computed afresh is stored, and
// every later request gets the stored set whatever the state it was computed in.
class TkivLLkAnalyzer::Computation {
public:
  Computation(Memo& Owner, bool PassOn) : fMemo(Owner), fPassOn(PassOn) { fMemo.Records.emplace_back(); }
  ~Computation() {
    if (!fDone) Finish();
  }
  Computation(const Computation&) = delete;
  Computation& operator=(const Computation&) = delete;

  Memo::Record Finish() {
    fDone = true;
    Memo::Record Done = std::move(fMemo.Records.back());
    fMemo.Records.pop_back();
    Done.Tidy();
    if (fPassOn) fMemo.PassOn(Done);
    return Done;
  }

private:
  Memo& fMemo;
  bool fPassOn;
  bool fDone = false;
};

TkivLLkAnalyzer::TkivLLkAnalyzer(IkivTool& Tool)
    : fTool(&Tool), fMemo(std::make_unique<Memo>()) {}

TkivLLkAnalyzer::~TkivLLkAnalyzer() = default;

void TkivLLkAnalyzer::SetGrammar(IkivGrammar* Grammar) {
  fGrammar = Grammar;
  fReferenceErrors.clear();
  fLexical = Grammar != nullptr && kiv::Supports<IkivLexerGrammar>(Grammar) != nullptr;
  const bool Enabled = fMemo->Enabled;
  fMemo = std::make_unique<Memo>();
  fMemo->Enabled = Enabled;
}

void TkivLLkAnalyzer::EnableLookaheadMemo(bool Enabled) {
  fMemo = std::make_unique<Memo>();
  fMemo->Enabled = Enabled;
}

void TkivLLkAnalyzer::DoNotRemember() {
  if (!fMemo->Records.empty()) fMemo->Records.back().Forget = true;
}

IkivGrammar& TkivLLkAnalyzer::TheGrammar() const {
  if (fGrammar == nullptr) fTool->Panic("Internal: lookahead analysis without a grammar");
  return *fGrammar;
}

// Note [analysis stack]: lookahead is computed by recursion through the graph, and a FOLLOW set
// passes through every rule whose end leads to the next one; a grammar whose rules chain thousands
// deep would overflow the stack. Every step of that recursion comes through here, so the stack used
// since the outermost request is measured here and the analysis ends with a panic, not a crash,
// once it exceeds the budget.
//
// Note [analysis work]: the memo makes the lookahead of ordinary grammars cost a small multiple of
// (elements x k), but what an answer depends on still differs with the loops that enclose it, and
// loops nested dozens deep, or with k in the hundreds, can need billions of steps and gigabytes of
// remembered answers. Every step and every remembered dependency copied counts as work, and a
// grammar's analysis that exceeds a budget of a fixed base plus 256 per element and depth (depths
// beyond 8 not counted, so that a large k does not buy unbounded time) ends with a panic, like one
// nested too deeply. The large generated grammars of the analyzer benchmark stay below a tenth of it.
IkivLookaheadPtr TkivLLkAnalyzer::LookOf(IkivAlternativeElem* Elem, int K) {
  if (Elem == nullptr) return EmptyLookahead();
  ScopedValue<int> Nesting(fNesting, fNesting + 1);
  if (fNesting == 1) {
    fStackBase = __builtin_frame_address(0);
    if (fStackBudget == 0) fStackBudget = StackBudget();
  } else if (StackDistance(fStackBase, __builtin_frame_address(0)) > fStackBudget)
    fTool->Panic("Lookahead analysis nested too deeply in rule \"" + Elem->GetEnclosingRuleName() + "\"");
  Memo& M = *fMemo;
  if (M.Budget == 0) M.Budget = WorkBudget(kiv::GraphArenaOf(TheGrammar()).ElemCount(), TheGrammar().getK());
  if (++M.Work > M.Budget)
    fTool->Panic("Lookahead analysis of rule \"" + Elem->GetEnclosingRuleName() +
                 "\" needs too much work; lower k or nest fewer loops");
  if (!M.Enabled) {
    IkivLookaheadPtr Result = Elem->Look(K);
    return Result ? Result : EmptyLookahead();
  }
  if (M.Entries.empty()) {
    // About one answer per element and depth.
    const std::size_t Depths = static_cast<std::size_t>(std::clamp(TheGrammar().getK(), 1, 16));
    M.Entries.reserve(kiv::GraphArenaOf(TheGrammar()).ElemCount() * Depths);
  }
  const Memo::Key Key{Elem, K};
  if (auto Found = M.Entries.find(Key); Found != M.Entries.end()) {
    for (const Memo::Entry& Known : Found->second) {
      if (!Memo::StillHolds(Known, *this)) continue;
      M.Work += Known.Reads.size() + Known.Heads.size();
      if (!M.Records.empty()) M.Records.back().Take(Known.Reads, Known.Heads);
      return Known.Value->Clone();
    }
  }
  Computation Asking(M, true);
  IkivLookaheadPtr Result = Elem->Look(K);
  if (!Result) Result = EmptyLookahead();
  Memo::Record Learnt = Asking.Finish();
  if (!Learnt.Forget) {
    std::vector<Memo::Entry>& Variants = M.Entries[Key];
    if (Variants.size() >= Memo::MaxVariants) Variants.erase(Variants.begin());
    Variants.push_back(Memo::Entry{Result->Clone(), std::move(Learnt.Reads), std::move(Learnt.Heads)});
  }
  return Result;
}

IkivLookaheadPtr TkivLLkAnalyzer::AltLook(IkivAlternativeBlock& Block, int Index, int K) {
  IkivAlternative* Alt = Block.GetAlternative(Index);
  if (Alt == nullptr) return EmptyLookahead();
  if (IkivLookaheadPtr Cached = Alt->GetCache(K)) return Cached;
  IkivLookaheadPtr Result = LookOf(Alt->GetHead(), K);
  Alt->SetCache(K, Result);
  return Result;
}

IkivLookaheadPtr TkivLLkAnalyzer::ExitLook(IkivBlockWithImpliedExitPath& Loop, int K) {
  if (IkivLookaheadPtr Cached = Loop.GetExitCache(K)) return Cached;
  IkivLookaheadPtr Result = LookOf(Loop.GetNext(), K);
  Loop.SetExitCache(K, Result);
  return Result;
}

// --- checks ---

bool TkivLLkAnalyzer::CheckBlock(IkivAlternativeBlock& Block) {
  ScopedValue<IkivAlternativeBlock*> Current(fCurrentBlock, &Block);
  IkivGrammar& G = TheGrammar();
  if (!Block.GetGreedy() && !IsLoop(Block))
    fTool->Warning("Being nongreedy only makes sense for (...)+ and (...)*", G.getFileName(), Block.GetLine(),
                   Block.GetColumn());

  const TkivAlternativeList& Alts = Block.GetAlternatives();
  const int Count = static_cast<int>(Alts.size());
  if (Count == 1) {
    Block.SetComparedAlt(0);
    IkivAlternative& Alt = *Alts[0];
    if (Alt.GetCacheHigh() < 1) Alt.SetCacheLength(2);
    if (!Alt.GetCache(1)) Alt.SetCache(1, LookOf(Alt.GetHead(), 1));
    Alt.SetLookaheadDepth(1);
    return true;
  }

  const int K = G.getK();
  bool Deterministic = true;
  std::vector<IkivLookaheadPtr> Intersections;
  for (int I = 0; I < Count; ++I) {
    for (int J = I + 1; J < Count; ++J) {
      Block.SetComparedAlt(I);
      Block.SetAgainstAlt(J);
      Block.SetAnalysisAlt(J);
      Intersections.assign(1, nullptr);
      int Separated = 0;
      for (int D = 1; D <= K; ++D) {
        IkivLookaheadPtr A = AltLook(Block, I, D);
        IkivLookaheadPtr B = AltLook(Block, J, D);
        Intersections.push_back(A->Intersect(*B));
        if (Intersections.back()->IsEmpty()) {
          Separated = D;
          break;
        }
      }
      IkivAlternative& AltI = *Alts[static_cast<std::size_t>(I)];
      IkivAlternative& AltJ = *Alts[static_cast<std::size_t>(J)];
      if (Separated > 0) {
        AltI.SetLookaheadDepth(std::max(AltI.GetLookaheadDepth(), Separated));
        AltJ.SetLookaheadDepth(std::max(AltJ.GetLookaheadDepth(), Separated));
        continue;
      }
      Deterministic = false;
      AltI.SetLookaheadDepth(kiv::NondeterministicDepth);
      AltJ.SetLookaheadDepth(kiv::NondeterministicDepth);
      const bool EmptyI = IsEmptyAlternative(AltI);
      const bool EmptyJ = IsEmptyAlternative(AltJ);
      // The first condition that holds keeps the conflict silent.
      if (AltI.GetSynPred() != nullptr) continue;
      if (!AltI.GetSemPred().empty()) continue;
      if (IsLoneWildcard(AltJ)) continue;
      if (!Block.GetWarnWhenFollowAmbig() && (EmptyI || EmptyJ)) continue;
      if (!Block.GetGenerateAmbigWarnings()) continue;
      if (Block.GetGreedyGiven() && Block.GetGreedy() && EmptyI != EmptyJ) continue;
      fTool->AltsNondeterminism(G, Block, fLexical, K, ReportedIntersections(Intersections, K), I, J);
    }
  }
  return Deterministic;
}

bool TkivLLkAnalyzer::CheckOneOrMore(IkivOneOrMoreBlock& Block) {
  ScopedValue<IkivAlternativeBlock*> Current(fCurrentBlock, &Block);
  const bool AltsApart = CheckBlock(Block);
  const bool ExitApart = CheckExitPath(Block);
  return AltsApart && ExitApart;
}

bool TkivLLkAnalyzer::CheckZeroOrMore(IkivZeroOrMoreBlock& Block) {
  ScopedValue<IkivAlternativeBlock*> Current(fCurrentBlock, &Block);
  const bool AltsApart = CheckBlock(Block);
  const bool ExitApart = CheckExitPath(Block);
  return AltsApart && ExitApart;
}

// Each alternative of a loop against what follows the loop.
bool TkivLLkAnalyzer::CheckExitPath(IkivBlockWithImpliedExitPath& Loop) {
  IkivGrammar& G = TheGrammar();
  const int K = G.getK();
  Loop.SetAgainstAlt(-1);
  bool Deterministic = true;
  std::vector<IkivLookaheadPtr> Intersections;
  const TkivAlternativeList& Alts = Loop.GetAlternatives();
  for (int I = 0; I < static_cast<int>(Alts.size()); ++I) {
    IkivAlternative& Alt = *Alts[static_cast<std::size_t>(I)];
    const bool Empty = IsEmptyAlternative(Alt);
    if (Empty)
      fTool->Warning("Empty alternative makes no sense in (...)* or (...)+", G.getFileName(), Loop.GetLine(),
                     Loop.GetColumn());
    Loop.SetComparedAlt(I);
    Intersections.assign(1, nullptr);
    int Separated = 0;
    for (int D = 1; D <= K; ++D) {
      IkivLookaheadPtr Exit = ExitLook(Loop, D);
      Intersections.push_back(Exit->Intersect(*AltLook(Loop, I, D)));
      if (Intersections.back()->IsEmpty()) {
        Separated = D;
        break;
      }
    }
    if (Separated > 0) {
      Alt.SetLookaheadDepth(std::max(Alt.GetLookaheadDepth(), Separated));
      Loop.SetExitLookaheadDepth(std::max(Loop.GetExitLookaheadDepth(), Separated));
      continue;
    }
    Deterministic = false;
    Alt.SetLookaheadDepth(kiv::NondeterministicDepth);
    Loop.SetExitLookaheadDepth(kiv::NondeterministicDepth);
    // A greedy loop whose option was given explicitly, and a non-greedy loop, resolve the conflict
    // on purpose; an empty alternative is reported all the same.
    if (Loop.GetWarnWhenFollowAmbig() && Loop.GetGenerateAmbigWarnings() &&
        (Empty || (Loop.GetGreedy() && !Loop.GetGreedyGiven())))
      fTool->ExitBranchNondeterminism(G, Loop, fLexical, K, ReportedIntersections(Intersections, K), I);
  }
  return Deterministic;
}

// --- blocks ---

IkivLookaheadPtr TkivLLkAnalyzer::BlockLook(IkivAlternativeBlock& Block, int K) {
  ScopedValue<IkivAlternativeBlock*> Current(fCurrentBlock, &Block);
  AnalysisAltScope KeepAnalysisAlt(Block);
  auto Result = std::make_shared<TkivLookahead>();
  const TkivAlternativeList& Alts = Block.GetAlternatives();
  for (int I = 0; I < static_cast<int>(Alts.size()); ++I) {
    Block.SetAnalysisAlt(I);
    Result->Combine(*LookOf(Alts[static_cast<std::size_t>(I)]->GetHead(), K));
  }
  if (K == 1 && Block.GetInverted() && CanInvertSubrule(Block, fLexical)) {
    const MemberSet Universe = fLexical ? CharVocabulary() : TokenUniverse();
    Result->SetMembers(Universe & ~Result->GetMembers());
  }
  return Result;
}

IkivLookaheadPtr TkivLLkAnalyzer::LookBlock(int K, IkivAlternativeBlock& Block) { return BlockLook(Block, K); }

IkivLookaheadPtr TkivLLkAnalyzer::LookOneOrMore(int K, IkivOneOrMoreBlock& Block) { return BlockLook(Block, K); }

IkivLookaheadPtr TkivLLkAnalyzer::LookRuleBlock(int K, IkivRuleBlock& Block) { return BlockLook(Block, K); }

IkivLookaheadPtr TkivLLkAnalyzer::LookZeroOrMore(int K, IkivZeroOrMoreBlock& Block) {
  IkivLookaheadPtr Result = BlockLook(Block, K);
  Result->Combine(*LookOf(Block.GetNext(), K));
  return Result;
}

// The end of a loop leads into another iteration as well as out of the loop. While the loop's own
// lookahead at this depth is being computed through its end, the end answers nothing more: the
// computation under way supplies those members.
IkivLookaheadPtr TkivLLkAnalyzer::LookBlockEnd(int K, IkivBlockEndElem& End) {
  IkivAlternativeBlock* Owner = End.GetBlock();
  const bool Loop = Owner != nullptr && IsLoop(*Owner);
  const bool Locked = End.GetLock(K);
  // Only a loop's end is ever locked.
  if (Loop) fMemo->NoteRead(Memo::ReadKind::LoopLock, static_cast<const IkivBlockEndElem*>(&End), K, Locked);
  if (Locked || Owner == nullptr) return EmptyLookahead();
  IkivLookaheadPtr Result;
  if (Loop) {
    const std::size_t ReadsBefore = fMemo->ReadCount();
    {
      DepthLock<IkivBlockEndElem> Lock(End, K);
      Result = BlockLook(*Owner, K);
    }
    fMemo->ForgetOwnLock(ReadsBefore, static_cast<const IkivBlockEndElem*>(&End), K);
  } else {
    Result = EmptyLookahead();
  }
  if (kiv::Supports<IkivSynPredBlock>(Owner) != nullptr)
    Result->SetEpsilon(true);
  else
    Result->Combine(*LookOf(Owner->GetNext(), K));
  return Result;
}

IkivLookaheadPtr TkivLLkAnalyzer::LookAction(int K, IkivActionElem& Action) { return LookOf(Action.GetNext(), K); }

IkivLookaheadPtr TkivLLkAnalyzer::LookSynPred(int K, IkivSynPredBlock& Block) { return LookOf(Block.GetNext(), K); }

IkivLookaheadPtr TkivLLkAnalyzer::LookTreeElement(int K, IkivAlternativeElem& Elem) {
  if (K <= 1) return nullptr;
  return LookOf(Elem.GetNext(), K - 1);
}

// --- atoms ---

IkivLookahead::MemberSet TkivLLkAnalyzer::TokenUniverse() const {
  MemberSet Universe;
  IkivTokenManagerPtr Manager = TheGrammar().getTokenManager();
  if (Manager) kiv::IncludeRange(Universe, kiv::MinUserTokenType, Manager->getMaxTokenType());
  return Universe;
}

IkivLookahead::MemberSet TkivLLkAnalyzer::CharVocabulary() const { return TheGrammar().getCharVocabulary(); }

bool TkivLLkAnalyzer::HeadsAnalysisAlt(const IkivAlternativeElem& Atom) const {
  if (fCurrentBlock == nullptr) return false;
  IkivAlternative* Alt = fCurrentBlock->GetAlternative(fCurrentBlock->GetAnalysisAlt());
  return Alt != nullptr && Alt->GetHead() == &Atom;
}

void TkivLLkAnalyzer::RemoveCompetingSets(MemberSet& Set, IkivAlternativeElem& Atom) {
  const bool Head = HeadsAnalysisAlt(Atom);
  fMemo->NoteHead(&Atom, Head);
  if (!Head) return;
  IkivAlternativeBlock& Block = *fCurrentBlock;
  const int Index = Block.GetAnalysisAlt();
  for (int Earlier = 0; Earlier < Index; ++Earlier)
    Set &= ~LookOf(Block.GetAlternative(Earlier)->GetHead(), 1)->GetMembers();
}

IkivLookaheadPtr TkivLLkAnalyzer::LookCharLiteral(int K, IkivCharLiteralElem& Atom) {
  if (!fLexical) fTool->Panic("Character literal reference found in parser");
  if (K > 1) return LookOf(Atom.GetNext(), K - 1);
  MemberSet Set;
  if (Atom.GetInverted()) {
    Set = CharVocabulary();
    RemoveCompetingSets(Set, Atom);
    if (Atom.GetType() >= 0 && Atom.GetType() <= 255) Set.reset(static_cast<std::size_t>(Atom.GetType()));
  } else {
    kiv::Include(Set, Atom.GetType());
  }
  return std::make_shared<TkivLookahead>(Set);
}

IkivLookaheadPtr TkivLLkAnalyzer::LookCharRange(int K, IkivCharRangeElem& Range) {
  if (K > 1) return LookOf(Range.GetNext(), K - 1);
  MemberSet Set;
  kiv::IncludeRange(Set, kiv::CharCode(Range.GetFirst()), kiv::CharCode(Range.GetLast()));
  return std::make_shared<TkivLookahead>(Set);
}

IkivLookaheadPtr TkivLLkAnalyzer::LookTokenRef(int K, IkivGrammarAtom& Atom) {
  if (fLexical) fTool->Panic("Token reference found in lexer.");
  if (K > 1) return LookOf(Atom.GetNext(), K - 1);
  MemberSet Set;
  if (Atom.GetInverted()) {
    Set = TokenUniverse();
    RemoveCompetingSets(Set, Atom);
    if (Atom.GetType() >= 0 && Atom.GetType() <= 255) Set.reset(static_cast<std::size_t>(Atom.GetType()));
  } else {
    kiv::Include(Set, Atom.GetType());
  }
  return std::make_shared<TkivLookahead>(Set);
}

IkivLookaheadPtr TkivLLkAnalyzer::LookTokenRange(int K, IkivTokenRangeElem& Range) {
  if (K > 1) return LookOf(Range.GetNext(), K - 1);
  MemberSet Set;
  kiv::IncludeRange(Set, Range.GetFirst(), Range.GetLast());
  return std::make_shared<TkivLookahead>(Set);
}

IkivLookaheadPtr TkivLLkAnalyzer::LookWildcard(int K, IkivWildcardElem& Atom) {
  if (K > 1) return LookOf(Atom.GetNext(), K - 1);
  MemberSet Set = fLexical ? CharVocabulary() : TokenUniverse();
  RemoveCompetingSets(Set, Atom);
  return std::make_shared<TkivLookahead>(Set);
}

// In a lexer a string literal is a sequence of characters: depth K falls on its K-th character, or
// beyond it on the element after the literal.
IkivLookaheadPtr TkivLLkAnalyzer::LookStringLiteral(int K, IkivStringLiteralElem& Atom) {
  if (fLexical) {
    const std::string Text = Atom.GetProcessedText();
    const int Length = static_cast<int>(Text.size());
    if (K > Length) return LookOf(Atom.GetNext(), K - Length);
    return std::make_shared<TkivLookahead>(kiv::CharCode(Text[static_cast<std::size_t>(K - 1)]));
  }
  if (K > 1) return LookOf(Atom.GetNext(), K - 1);
  MemberSet Set;
  if (Atom.GetInverted()) {
    Set = TokenUniverse();
    if (Atom.GetType() >= 0 && Atom.GetType() <= 255) Set.reset(static_cast<std::size_t>(Atom.GetType()));
  } else {
    kiv::Include(Set, Atom.GetType());
  }
  return std::make_shared<TkivLookahead>(Set);
}

// --- rules ---

std::string TkivLLkAnalyzer::DisplayName(const std::string& RuleId) const {
  return fLexical ? DecodeLexerRuleName(RuleId) : RuleId;
}

std::string TkivLLkAnalyzer::CycleName(IkivRuleEndElem& End) const {
  IkivRuleBlock* Rule = kiv::Supports<IkivRuleBlock>(End.GetBlock());
  if (Rule == nullptr) return {};
  return fLexical ? EncodeLexerRuleName(Rule->GetRuleName()) : Rule->GetRuleName();
}

IkivRuleEndElem* TkivLLkAnalyzer::RuleEndOf(const std::string& RuleId) const {
  IkivRuleSymbolPtr Symbol = TheGrammar().getRuleSymbol(RuleId);
  IkivRuleBlock* Block = Symbol ? Symbol->getBlock() : nullptr;
  return Block != nullptr ? Block->GetEndNode() : nullptr;
}

void TkivLLkAnalyzer::ReferenceError(const std::string& Text, IkivRuleRefElem& Ref) {
  if (fReferenceErrors.emplace(Text, Ref.GetLine(), Ref.GetColumn()).second)
    fTool->Error(Text, TheGrammar().getFileName(), Ref.GetLine(), Ref.GetColumn());
}

IkivLookaheadPtr TkivLLkAnalyzer::LookRuleRef(int K, IkivRuleRefElem& Ref) {
  IkivGrammar& G = TheGrammar();
  const std::string Target = Ref.GetTargetRule();
  IkivRuleSymbolPtr Symbol = G.getRuleSymbol(Target);
  if (!Symbol || !Symbol->isDefined()) {
    ReferenceError("Rule \"" + DisplayName(Target) + "\" is not defined.", Ref);
    return EmptyLookahead();
  }
  IkivRuleBlock* Block = Symbol->getBlock();
  IkivLookaheadPtr Result;
  {
    NoFollowScope FirstOnly(Block != nullptr ? Block->GetEndNode() : nullptr);
    Result = LookRule(K, Target);
  }
  if (!Result->GetCycle().empty()) {
    DoNotRemember();
    ReferenceError("Infinite recursion to rule \"" + DisplayName(Result->GetCycle()) + "\" from rule \"" +
                       DisplayName(Target) + "\".",
                   Ref);
  }
  if (Result->ContainsEpsilon()) {
    Result->SetEpsilon(false);
    const MemberSet Depths = Result->GetEpsilonDepths();
    Result->SetEpsilonDepths(MemberSet());
    for (int D = 1; D <= 255; ++D)
      if (Depths.test(static_cast<std::size_t>(D))) Result->Combine(*LookOf(Ref.GetNext(), D));
  }
  return Result;
}

IkivLookaheadPtr TkivLLkAnalyzer::LookRule(int K, const std::string& RuleName) {
  IkivRuleSymbolPtr Symbol = TheGrammar().getRuleSymbol(RuleName);
  IkivRuleBlock* Block = Symbol ? Symbol->getBlock() : nullptr;
  if (Block == nullptr) return EmptyLookahead();
  const bool Locked = Block->GetLock(K);
  fMemo->NoteRead(Memo::ReadKind::RuleLock, static_cast<const IkivRuleBlock*>(Block), K, Locked);
  if (Locked) return std::make_shared<TkivLookahead>(RuleName);
  if (!Block->GetCache(K)) {
    IkivLookaheadPtr First;
    Memo::Record Learnt;
    {
      DepthLock<IkivRuleBlock> Lock(*Block, K);
      Computation Fresh(*fMemo, false);
      First = LookRuleBlock(K, *Block);
      Learnt = Fresh.Finish();
    }
    // See note [cut sets].
    Learnt.ForgetHeld(Memo::ReadKind::RuleLock, static_cast<const IkivRuleBlock*>(Block), K);
    if (Learnt.MetCut()) {
      fMemo->PassOn(Learnt);
      return First;
    }
    Block->SetCache(K, First);
  }
  return Block->GetCache(K)->Clone();
}

IkivLookaheadPtr TkivLLkAnalyzer::LookRuleEnd(int K, IkivRuleEndElem& End) {
  const bool NoFollow = End.GetNoFollow();
  fMemo->NoteRead(Memo::ReadKind::NoFollow, static_cast<const IkivRuleEndElem*>(&End), 0, NoFollow);
  if (NoFollow || fLexical) {
    auto Result = std::make_shared<TkivLookahead>();
    Result->SetEpsilon(true);
    MemberSet Depths;
    AddDepth(Depths, K);
    Result->SetEpsilonDepths(Depths);
    return Result;
  }
  return Follow(K, End);
}

// Note [cut sets]: a lock held by a computation under way answers nothing (a loop's end) or an
// empty set naming the rule (a rule end or rule block): the computation under way supplies those
// members. A FIRST or FOLLOW set worked out meanwhile that met such a lock lacks what lies beyond
// it. FOLLOW(b) computed while FOLLOW(a) and FOLLOW(c) are both under way may meet both locks, and
// its set carries only one name as its cycle: once the named rule clears it, the set looked
// complete and was stored without what FOLLOW(c) contributes. Such a set is right for the
// computation that asked, but not as the rule's set, so it is not stored; what it read goes to the
// answer that asked (for the memo, and so that this answer is not stored either while it depends
// on a lock held outside it), and the set is computed again when asked for with the locks free.
// The reads of a computation's own lock are dropped when it releases it.
//
// Note [FOLLOW cycles]: FOLLOW(b) may need FOLLOW(a) while FOLLOW(a) is itself being computed (a
// rule ends in a reference to b and b in one to a). The inner computation then stops at a's lock,
// and b's set carries a's name; it is not stored (note [cut sets]). A set can still name a rule
// without having met a lock (through the FIRST set of a left-recursive rule, an error already
// reported): it is stored as partial, and a later request takes over the named rule's entry.
IkivLookaheadPtr TkivLLkAnalyzer::Follow(int K, IkivRuleEndElem& End) {
  IkivGrammar& G = TheGrammar();
  const std::string Name = CycleName(End);
  const bool Locked = End.GetLock(K);
  fMemo->NoteRead(Memo::ReadKind::EndLock, static_cast<const IkivBlockEndElem*>(&End), K, Locked);
  if (Locked) return std::make_shared<TkivLookahead>(Name);
  if (IkivLookaheadPtr Cached = End.GetCache(K)) {
    if (Cached->GetCycle().empty()) return Cached->Clone();
    // Partial: a later request may find it completed.
    DoNotRemember();
    IkivRuleEndElem* CycleEnd = RuleEndOf(Cached->GetCycle());
    IkivLookaheadPtr Completed = CycleEnd != nullptr ? CycleEnd->GetCache(K) : nullptr;
    if (!Completed) return Cached->Clone();
    End.SetCache(K, Completed->Clone());
    return End.GetCache(K)->Clone();
  }

  auto Result = std::make_shared<TkivLookahead>();
  Memo::Record Learnt;
  {
    DepthLock<IkivRuleEndElem> Lock(End, K);
    Computation Fresh(*fMemo, false);
    IkivRuleSymbolPtr Symbol = G.getRuleSymbol(Name);
    const IkivRuleSymbol::ReferenceList References =
        Symbol ? Symbol->getReferences() : IkivRuleSymbol::ReferenceList();
    for (IkivRuleRefElem* Ref : References) {
      IkivLookaheadPtr After = LookOf(Ref->GetNext(), K);
      if (kiv::SameText(After->GetCycle(), Name)) After->SetCycle("");
      Result->Combine(*After);
    }
    Learnt = Fresh.Finish();
  }
  // See note [cut sets].
  Learnt.ForgetHeld(Memo::ReadKind::EndLock, static_cast<const IkivBlockEndElem*>(&End), K);
  const bool Cut = Learnt.MetCut();
  if (Cut) fMemo->PassOn(Learnt);
  if (Result->GetMembers().none() && Result->GetCycle().empty() && !Cut) {
    if (fLexical) {
      Result->SetEpsilon(true);
    } else {
      MemberSet Eof;
      kiv::Include(Eof, kiv::EofTokenType);
      Result->AddMembers(Eof);
    }
  }
  if (!Result->GetCycle().empty()) DoNotRemember();
  if (!Cut) End.SetCache(K, Result->Clone());
  return Result;
}

bool TkivLLkAnalyzer::CanInvertSubrule(IkivAlternativeBlock& Block, bool ForLexer) {
  return kiv::CanInvertSubrule(Block, ForLexer);
}

IkivLookaheadPtr TkivLLkAnalyzer::RuleFirst(int K, const std::string& RuleId) {
  IkivRuleSymbolPtr Symbol = TheGrammar().getRuleSymbol(RuleId);
  IkivRuleBlock* Block = Symbol ? Symbol->getBlock() : nullptr;
  NoFollowScope FirstOnly(Block != nullptr ? Block->GetEndNode() : nullptr);
  return LookRule(K, RuleId);
}
