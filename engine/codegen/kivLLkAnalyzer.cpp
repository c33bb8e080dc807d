// kivLLkAnalyzer.cpp - the LL(k) analyzer: block and loop checks, lookahead of every element kind,
// rule FIRST and FOLLOW with their caches, locks and cycles, and the analyzer's diagnostics.
#include "engine/codegen/kivLLkAnalyzer.h"

#include <memory>
#include <utility>
#include <vector>

#include "engine/codegen/kivLookahead.h"
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

void AddDepth(MemberSet& Depths, int K) {
  if (K >= 0 && K <= 255) Depths.set(static_cast<std::size_t>(K));
}

} // namespace

TkivLLkAnalyzer::TkivLLkAnalyzer(IkivTool& Tool) : fTool(&Tool) {}

void TkivLLkAnalyzer::SetGrammar(IkivGrammar* Grammar) {
  fGrammar = Grammar;
  fLexical = Grammar != nullptr && kiv::Supports<IkivLexerGrammar>(Grammar) != nullptr;
}

IkivGrammar& TkivLLkAnalyzer::TheGrammar() const {
  if (fGrammar == nullptr) fTool->Panic("Internal: lookahead analysis without a grammar");
  return *fGrammar;
}

IkivLookaheadPtr TkivLLkAnalyzer::LookOf(IkivAlternativeElem* Elem, int K) {
  if (Elem == nullptr) return EmptyLookahead();
  IkivLookaheadPtr Result = Elem->Look(K);
  return Result ? Result : EmptyLookahead();
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
  if (End.GetLock(K)) return EmptyLookahead();
  IkivAlternativeBlock* Owner = End.GetBlock();
  if (Owner == nullptr) return EmptyLookahead();
  IkivLookaheadPtr Result;
  if (IsLoop(*Owner)) {
    DepthLock<IkivBlockEndElem> Lock(End, K);
    Result = BlockLook(*Owner, K);
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

void TkivLLkAnalyzer::RemoveCompetingSets(MemberSet& Set, IkivAlternativeElem& Atom) {
  IkivAlternativeBlock* Block = fCurrentBlock;
  if (Block == nullptr) return;
  const int Index = Block->GetAnalysisAlt();
  IkivAlternative* Alt = Block->GetAlternative(Index);
  if (Alt == nullptr || Alt->GetHead() != &Atom) return;
  for (int Earlier = 0; Earlier < Index; ++Earlier)
    Set &= ~LookOf(Block->GetAlternative(Earlier)->GetHead(), 1)->GetMembers();
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

IkivLookaheadPtr TkivLLkAnalyzer::LookRuleRef(int K, IkivRuleRefElem& Ref) {
  IkivGrammar& G = TheGrammar();
  const std::string Target = Ref.GetTargetRule();
  IkivRuleSymbolPtr Symbol = G.getRuleSymbol(Target);
  if (!Symbol || !Symbol->isDefined()) {
    fTool->Error("Rule \"" + DisplayName(Target) + "\" is not defined.", G.getFileName(), Ref.GetLine(),
                 Ref.GetColumn());
    return EmptyLookahead();
  }
  IkivRuleBlock* Block = Symbol->getBlock();
  IkivLookaheadPtr Result;
  {
    NoFollowScope FirstOnly(Block != nullptr ? Block->GetEndNode() : nullptr);
    Result = LookRule(K, Target);
  }
  if (!Result->GetCycle().empty())
    fTool->Error("Infinite recursion to rule \"" + DisplayName(Result->GetCycle()) + "\" from rule \"" +
                     DisplayName(Target) + "\".",
                 G.getFileName(), Ref.GetLine(), Ref.GetColumn());
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
  if (Block->GetLock(K)) return std::make_shared<TkivLookahead>(RuleName);
  if (!Block->GetCache(K)) {
    DepthLock<IkivRuleBlock> Lock(*Block, K);
    IkivLookaheadPtr First = LookRuleBlock(K, *Block);
    Block->SetCache(K, First);
  }
  return Block->GetCache(K)->Clone();
}

IkivLookaheadPtr TkivLLkAnalyzer::LookRuleEnd(int K, IkivRuleEndElem& End) {
  if (End.GetNoFollow() || fLexical) {
    auto Result = std::make_shared<TkivLookahead>();
    Result->SetEpsilon(true);
    MemberSet Depths;
    AddDepth(Depths, K);
    Result->SetEpsilonDepths(Depths);
    return Result;
  }
  return Follow(K, End);
}

// Note [FOLLOW cycles]: FOLLOW(b) may need FOLLOW(a) while FOLLOW(a) is itself being computed (a
// rule ends in a reference to b and b in one to a). The inner computation then stops at a's lock,
// and b's entry is cached as partial, carrying a's name. The two FOLLOW sets include each other,
// so once a's entry is complete it is b's as well: the next request for b takes it over.
IkivLookaheadPtr TkivLLkAnalyzer::Follow(int K, IkivRuleEndElem& End) {
  IkivGrammar& G = TheGrammar();
  const std::string Name = CycleName(End);
  if (End.GetLock(K)) return std::make_shared<TkivLookahead>(Name);
  if (IkivLookaheadPtr Cached = End.GetCache(K)) {
    if (Cached->GetCycle().empty()) return Cached->Clone();
    IkivRuleEndElem* CycleEnd = RuleEndOf(Cached->GetCycle());
    IkivLookaheadPtr Completed = CycleEnd != nullptr ? CycleEnd->GetCache(K) : nullptr;
    if (!Completed) return Cached->Clone();
    End.SetCache(K, Completed->Clone());
    return End.GetCache(K)->Clone();
  }

  auto Result = std::make_shared<TkivLookahead>();
  {
    DepthLock<IkivRuleEndElem> Lock(End, K);
    IkivRuleSymbolPtr Symbol = G.getRuleSymbol(Name);
    const IkivRuleSymbol::ReferenceList References =
        Symbol ? Symbol->getReferences() : IkivRuleSymbol::ReferenceList();
    for (IkivRuleRefElem* Ref : References) {
      IkivLookaheadPtr After = LookOf(Ref->GetNext(), K);
      if (kiv::SameText(After->GetCycle(), Name)) After->SetCycle("");
      Result->Combine(*After);
    }
  }
  if (Result->GetMembers().none() && Result->GetCycle().empty()) {
    if (fLexical) {
      Result->SetEpsilon(true);
    } else {
      MemberSet Eof;
      kiv::Include(Eof, kiv::EofTokenType);
      Result->AddMembers(Eof);
    }
  }
  End.SetCache(K, Result->Clone());
  return Result;
}

bool TkivLLkAnalyzer::CanInvertSubrule(IkivAlternativeBlock& Block, bool ForLexer) {
  return kiv::CanInvertSubrule(Block, ForLexer);
}

namespace kiv {

IkivLookaheadPtr RuleFirst(IkivLLkAnalyzer& Analyzer, IkivGrammar& Grammar, int K, const std::string& RuleId) {
  IkivRuleSymbolPtr Symbol = Grammar.getRuleSymbol(RuleId);
  IkivRuleBlock* Block = Symbol ? Symbol->getBlock() : nullptr;
  NoFollowScope FirstOnly(Block != nullptr ? Block->GetEndNode() : nullptr);
  IkivLookaheadPtr Result = Analyzer.LookRule(K, RuleId);
  return Result ? Result : EmptyLookahead();
}

} // namespace kiv
