// kivCharBuffer.h
// TkivCharBuffer: character look-ahead over a borrowed input stream.
#pragma once

#include "runtime/cpp/kivCharQueue.h"
#include "runtime/cpp/kivInputBuffer.h"
#include "runtime/cpp/kivTypes.h"

#include <istream>

/// Reads bytes from a borrowed stream (the caller keeps it alive for the buffer's lifetime) into
/// its own character queue as far as LA asks. The end of the stream or a read failure ends the
/// input for good: from there on every position asked for reads as EOF_CHAR, one queue slot per
/// position. A zero byte reads as EOF_CHAR too (the code is the same) but does not end the input;
/// IsEndOfInput tells the two apart.
///
/// A consume always moves past one character, whether or not it was looked at: applying consumes
/// with no mark open reads any character not yet held before dropping it (a mark open or not, the
/// position afterwards is the same).
class TkivCharBuffer final : public TkivInputBuffer, public IkivCharBuffer {
public:
  explicit TkivCharBuffer(std::istream& stream) : fStream(stream) {}

  /// The character i positions ahead (1 = current).
  char LA(int i) override {
    SyncConsume();
    const int want = i + fMarkerOffset;
    while (fQueue.Count() < want) Fill();
    return fQueue.Get(want);
  }

  bool IsEndOfInput(int i) override {
    LA(i);
    return fEnded && fRemoved + i + fMarkerOffset >= fEndPosition;
  }

  /// The held characters (for inspection).
  const TkivCharQueue& Queue() const { return fQueue; }

protected:
  /// Characters consumed without having been looked at are read first, so that a consume always
  /// moves past one character of the stream.
  void RemoveFirst(int n) override {
    while (fQueue.Count() < n) Fill();
    fQueue.RemoveFirst(n);
    fRemoved += n;
  }

private:
  /// Appends the next byte of the stream, or EOF_CHAR once the input has ended.
  void Fill();

  std::istream& fStream;
  TkivCharQueue fQueue;
  bool fEnded = false;
  // Positions count from the first character of the stream (1): how many were dropped from the
  // front of the queue, and the first position past the end once it was reached.
  long long fRemoved = 0;
  long long fEndPosition = 0;
};
