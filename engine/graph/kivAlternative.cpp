// kivAlternative.cpp - TkivAlternative: appending elements and the per-depth lookahead cache.
#include "engine/graph/kivAlternative.h"

TkivAlternative::TkivAlternative(IkivAlternativeElem* First) { AddElement(First); }

void TkivAlternative::SetCacheLength(int N) { fCache.resize(N > 0 ? static_cast<std::size_t>(N) : 0); }

IkivLookaheadPtr TkivAlternative::GetCache(int Index) const {
  if (Index < 0 || Index >= static_cast<int>(fCache.size())) return nullptr;
  return fCache[static_cast<std::size_t>(Index)];
}

void TkivAlternative::SetCache(int Index, const IkivLookaheadPtr& Lookahead) {
  if (Index < 0) return;
  if (Index >= static_cast<int>(fCache.size())) fCache.resize(static_cast<std::size_t>(Index) + 1);
  fCache[static_cast<std::size_t>(Index)] = Lookahead;
}

// An element appended to two alternatives (a shared end marker) becomes the tail of both; nothing
// is appended after an end marker, so its next stays empty.
void TkivAlternative::AddElement(IkivAlternativeElem* Elem) {
  if (fHead != nullptr)
    fTail->SetNext(Elem);
  else
    fHead = Elem;
  fTail = Elem;
}
