// kivInputBuffer.cpp
// TkivInputBuffer: applying deferred consumes, marks and rewinds.
#include "runtime/cpp/kivInputBuffer.h"

void TkivInputBuffer::ApplyPendingConsumes() {
  if (fMarkers > 0)
    fMarkerOffset += fPendingConsumes;
  else
    RemoveFirst(fPendingConsumes);
  fPendingConsumes = 0;
}

void TkivInputBuffer::commit() {
  if (fMarkers > 0) --fMarkers;
}

int TkivInputBuffer::mark() {
  SyncConsume();
  ++fMarkers;
  return fMarkerOffset;
}

void TkivInputBuffer::rewind(int mark) {
  SyncConsume();
  fMarkerOffset = mark;
  if (fMarkers > 0) --fMarkers;
}
