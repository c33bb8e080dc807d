// kivInputBuffer.h
// TkivInputBuffer: marks, rewinds and deferred consumes shared by character and token buffers.
#pragma once

#include "runtime/cpp/kivTypes.h"

#include <cstdint>

/// The common base of TkivCharBuffer and TkivTokenBuffer. Consumes are deferred: consume only
/// counts, and the count is applied before the next look-ahead, mark or rewind. Applying it moves
/// the marker offset while a mark is open (the items stay for a later rewind) and otherwise drops
/// the items from the front of the descendant's queue through RemoveFirst.
///
/// Marks nest; each mark is closed by one rewind or one commit. A rewind or commit with no mark
/// open leaves the mark count at 0 (it never goes negative, which would leave the buffer believing
/// a mark is open and let a later mark's items be dropped from under it).
class TkivInputBuffer : public virtual IkivInputBuffer {
public:
  bool IsMarked() const override { return fMarkers != 0; }
  void consume() override { ++fPendingConsumes; }
  void commit() override;
  int mark() override;
  void rewind(int mark) override;

  int Markers() const { return fMarkers; }
  /// How many held items lie before the current position.
  int MarkerOffset() const { return fMarkerOffset; }
  /// Consumes requested and not yet applied.
  int PendingConsumes() const { return fPendingConsumes; }

protected:
  /// Drops the first n items of the descendant's queue.
  virtual void RemoveFirst(int n) = 0;
  /// Applies the pending consumes (see the class comment).
  void SyncConsume() {
    if (fPendingConsumes > 0) ApplyPendingConsumes();
  }

  std::int32_t fMarkers = 0;
  std::int32_t fMarkerOffset = 0;
  std::int32_t fPendingConsumes = 0;

private:
  void ApplyPendingConsumes();
};
