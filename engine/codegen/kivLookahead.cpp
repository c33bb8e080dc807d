// kivLookahead.cpp - intersection, combination and the diagnostic text of lookahead sets.
// The text form is the one nondeterminism warnings print for every depth.
#include "engine/codegen/kivLookahead.h"

#include <memory>

#include "engine/kivModel.h"
#include "runtime/cpp/kivUtils.h"

TkivLookahead::TkivLookahead(const IkivLookahead& Other)
    : fMembers(Other.GetMembers()),
      fEpsilonDepths(Other.GetEpsilonDepths()),
      fHasEpsilon(Other.ContainsEpsilon()),
      fCycle(Other.GetCycle()) {}

TkivLookahead::TkivLookahead(int Value) { kiv::Include(fMembers, Value); }

IkivLookaheadPtr TkivLookahead::Intersect(const IkivLookahead& Other) const {
  auto result = std::make_shared<TkivLookahead>(fMembers & Other.GetMembers());
  result->fHasEpsilon = fHasEpsilon && Other.ContainsEpsilon();
  return result;
}

void TkivLookahead::Combine(const IkivLookahead& Other) {
  if (fCycle.empty()) fCycle = Other.GetCycle();
  fHasEpsilon = fHasEpsilon || Other.ContainsEpsilon();
  fMembers |= Other.GetMembers();
  fEpsilonDepths |= Other.GetEpsilonDepths();
}

IkivLookaheadPtr TkivLookahead::Clone() const { return std::make_shared<TkivLookahead>(*this); }

std::string TkivLookahead::ToText(const IkivTokenManager* Vocabulary) const {
  std::string text = Vocabulary ? TokenSetText(fMembers, Vocabulary->getVocabulary()) : CharSetText(fMembers);
  if (fHasEpsilon) text += "+ <epsilon>";
  if (!fCycle.empty()) text += "; FOLLOW( " + fCycle + ")";
  if (fEpsilonDepths.any()) {
    text += "; depths=";
    bool first = true;
    for (std::size_t depth = 0; depth < fEpsilonDepths.size(); ++depth) {
      if (!fEpsilonDepths.test(depth)) continue;
      if (!first) text += ",";
      text += std::to_string(depth);
      first = false;
    }
  }
  return text;
}
