// kivBlockContext.cpp - TkivBlockContext: the current alternative and element of a block under
// construction.
#include "engine/graph/kivBlockContext.h"

TkivBlockContext::TkivBlockContext(IkivAlternativeBlock* Block, IkivBlockEndElem* BlockEnd)
    : fBlock(Block), fBlockEnd(BlockEnd) {}

IkivAlternative* TkivBlockContext::CurrentAlternative() const {
  return fBlock != nullptr ? fBlock->GetAlternative(fAltIndex) : nullptr;
}

IkivAlternativeElem* TkivBlockContext::CurrentElement() const {
  IkivAlternative* Alt = CurrentAlternative();
  return Alt != nullptr ? Alt->GetTail() : nullptr;
}

void TkivBlockContext::AddAlternativeElement(IkivAlternativeElem* Elem) {
  if (IkivAlternative* Alt = CurrentAlternative()) Alt->AddElement(Elem);
}
