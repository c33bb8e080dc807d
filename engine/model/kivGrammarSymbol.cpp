// kivGrammarSymbol.cpp - cloning of token and literal symbols, indexed rule references.
// A clone keeps the class of its original, so a literal stays a literal in a cloned manager.
#include "engine/model/kivGrammarSymbol.h"

#include <memory>

void TkivTokenSymbol::CopyTokenValuesTo(TkivTokenSymbol& Target) const {
  Target.setTokenType(fTokenType);
  Target.setParaphrase(fParaphrase);
  Target.setAstNodeType(fAstNodeType);
}

IkivTokenSymbolPtr TkivTokenSymbol::clone() const {
  auto copy = std::make_shared<TkivTokenSymbol>(getId());
  CopyTokenValuesTo(*copy);
  return copy;
}

IkivTokenSymbolPtr TkivStringSymbol::clone() const {
  auto copy = std::make_shared<TkivStringSymbol>(getId());
  CopyTokenValuesTo(*copy);
  copy->setLabel(fLabel);
  return copy;
}

IkivRuleRefElem* TkivRuleSymbol::getReference(int Index) const {
  if (Index < 0 || Index >= numReferences()) return nullptr;
  return fReferences[static_cast<std::size_t>(Index)];
}
