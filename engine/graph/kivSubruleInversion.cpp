// kivSubruleInversion.cpp - the test whether a subrule can be inverted.
#include "engine/graph/kivSubruleInversion.h"

#include "engine/graph/kivGraphArena.h"

namespace kiv {

namespace {

bool IsSetElement(IkivAlternativeElem* E, bool ForLexer) {
  return Supports<IkivCharLiteralElem>(E) != nullptr || Supports<IkivCharRangeElem>(E) != nullptr ||
         Supports<IkivTokenRefElem>(E) != nullptr || Supports<IkivTokenRangeElem>(E) != nullptr ||
         (ForLexer && Supports<IkivStringLiteralElem>(E) != nullptr);
}

bool IsInvertibleAlternative(IkivAlternative& Alt, bool ForLexer) {
  if (Alt.GetSynPred() != nullptr || !Alt.GetSemPred().empty() || !Alt.GetHandlerKind().empty()) return false;
  IkivAlternativeElem* Head = Alt.GetHead();
  if (Head == nullptr || Supports<IkivBlockEndElem>(Head->GetNext()) == nullptr) return false;
  return IsSetElement(Head, ForLexer);
}

} // namespace

bool CanInvertSubrule(IkivAlternativeBlock& Block, bool ForLexer) {
  if (Supports<IkivBlockWithImpliedExitPath>(&Block) != nullptr || Supports<IkivSynPredBlock>(&Block) != nullptr)
    return false;
  if (Block.GetAlternatives().empty()) return false;
  for (IkivAlternative* Alt : Block.GetAlternatives())
    if (!IsInvertibleAlternative(*Alt, ForLexer)) return false;
  return Block.GetAstMode() == kiv::amDefault;
}

} // namespace kiv
