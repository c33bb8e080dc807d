// kivAlternativeBlock.cpp - blocks: numbering, options, preparation for analysis, removal of
// predicate references from the rules' reference lists, and double dispatch.
#include "engine/graph/kivAlternativeBlock.h"

#include "engine/codegen/kivLookahead.h"
#include "engine/kivAnalysis.h"

namespace {
int gBlockCounter = 0;
} // namespace

namespace kiv {
int TakeBlockId() { return ++gBlockCounter; }
int LastBlockId() { return gBlockCounter; }
} // namespace kiv

// --- plain block ---

TkivAlternativeBlock::TkivAlternativeBlock(IkivGrammar& Grammar)
    : TkivAlternativeElem(Grammar), fID(kiv::TakeBlockId()) {}

TkivAlternativeBlock::TkivAlternativeBlock(IkivGrammar& Grammar, bool Inverted, const IkivTokenPtr& Start)
    : TkivAlternativeElem(Grammar, Start), fID(kiv::TakeBlockId()), fInverted(Inverted) {}

void TkivAlternativeBlock::Generate() {
  if (IkivCodeGenerator* G = Generator()) G->GenBlock(*this);
}

IkivLookaheadPtr TkivAlternativeBlock::Look(int K) {
  IkivLLkAnalyzer* A = Analyzer();
  return A != nullptr ? A->LookBlock(K, *this) : nullptr;
}

IkivAlternative* TkivAlternativeBlock::GetAlternative(int Index) const {
  if (Index < 0 || Index >= static_cast<int>(fAlternatives.size())) return nullptr;
  return fAlternatives[static_cast<std::size_t>(Index)];
}

bool TkivAlternativeBlock::ReadFlagOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value, bool& Flag) const {
  const std::string Text = Value ? Value->TokenText() : std::string();
  if (Text == "true") {
    Flag = true;
    return true;
  }
  if (Text == "false") {
    Flag = false;
    return true;
  }
  ReportError("Value for \"" + Option->TokenText() + "\" must be true or false", Option->Line(), Option->Column());
  return false;
}

void TkivAlternativeBlock::SetOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) {
  if (!Option) return;
  const std::string& Name = Option->TokenText();
  if (Name == "warnWhenFollowAmbig") {
    ReadFlagOption(Option, Value, fWarnWhenFollowAmbig);
  } else if (Name == "generateAmbigWarnings") {
    ReadFlagOption(Option, Value, fGenerateAmbigWarnings);
  } else if (Name == "greedy") {
    if (ReadFlagOption(Option, Value, fGreedy)) fGreedyGiven = true;
  } else {
    ReportError("Invalid subrule option: \"" + Name + "\"", Option->Line(), Option->Column());
  }
}

void TkivAlternativeBlock::PrepareForAnalysis() {
  const int Slots = Grammar().getK() + 1;
  for (IkivAlternative* Alt : fAlternatives) {
    Alt->SetCacheLength(Slots);
    Alt->SetLookaheadDepth(-1);
  }
}

// References inside a predicate do not count as uses of a rule when FOLLOW sets are computed. The
// walk follows next only, so it stops at each alternative's block end; nested blocks of any kind
// are walked the same way.
void TkivAlternativeBlock::RemoveRuleRefTracking(IkivGrammar& Grammar) {
  for (IkivAlternative* Alt : fAlternatives) {
    for (IkivAlternativeElem* E = Alt->GetHead(); E != nullptr; E = E->GetNext()) {
      if (IkivRuleRefElem* Ref = kiv::Supports<IkivRuleRefElem>(E)) {
        IkivRuleSymbolPtr Rule = Grammar.getRuleSymbol(Ref->GetTargetRule());
        if (Rule) {
          IkivRuleSymbol::ReferenceList& Refs = Rule->getReferences();
          std::erase(Refs, Ref);
        } else if (IkivTool* Tool = Grammar.getTool()) {
          Tool->Error("Rule \"" + Ref->GetTargetRule() + "\" referenced in (...)=>, but not defined.",
                      Grammar.getFileName(), 0, 0);
        }
      } else if (IkivAlternativeBlock* Nested = kiv::Supports<IkivAlternativeBlock>(E)) {
        Nested->RemoveRuleRefTracking(Grammar);
      }
    }
  }
}

// --- loops ---

TkivBlockWithImpliedExitPath::TkivBlockWithImpliedExitPath(IkivGrammar& Grammar)
    : TkivAlternativeBlock(Grammar), fExitCache(Grammar.getK() + 1) {}

void TkivOneOrMoreBlock::Generate() {
  if (IkivCodeGenerator* G = Generator()) G->GenOneOrMore(*this);
}

IkivLookaheadPtr TkivOneOrMoreBlock::Look(int K) {
  IkivLLkAnalyzer* A = Analyzer();
  return A != nullptr ? A->LookOneOrMore(K, *this) : nullptr;
}

void TkivZeroOrMoreBlock::Generate() {
  if (IkivCodeGenerator* G = Generator()) G->GenZeroOrMore(*this);
}

IkivLookaheadPtr TkivZeroOrMoreBlock::Look(int K) {
  IkivLLkAnalyzer* A = Analyzer();
  return A != nullptr ? A->LookZeroOrMore(K, *this) : nullptr;
}

// --- syntactic predicate ---

void TkivSynPredBlock::Generate() {
  if (IkivCodeGenerator* G = Generator()) G->GenSynPred(*this);
}

IkivLookaheadPtr TkivSynPredBlock::Look(int) { return std::make_shared<TkivLookahead>(); }
