// kivCharQueue.h
// TkivCharQueue: the growable window of characters read ahead, stored in recycled 4096-character chunks.
#pragma once

#include <cstdint>
#include <vector>

/// Storage of a character queue: every chunk holds 4096 characters.
using TkivCharMatrix = std::vector<std::vector<char>>;

/// A window of characters numbered from 1. Character i lives at position p = i + head - 1, in
/// chunk p >> 12 at offset p & 4095. Growing never moves characters already held; removing from
/// the front zero-fills spent chunks and moves them to the end for reuse (chunks are never freed
/// while the queue lives).
///
/// Index errors throw std::out_of_range with the texts 'index "<i>" is too  big' and
/// "index less than 1".
class TkivCharQueue {
public:
  static constexpr std::int32_t ChunkShift = 12;
  static constexpr std::int32_t ChunkSize = 1 << ChunkShift;

  /// Character i (1 <= i <= Count()).
  char Get(int i) const {
    if (i > fCount) ThrowTooBig(i);
    if (i < 1) ThrowBelowOne();
    const int p = i + fHead - 1;
    return fChunks[static_cast<std::size_t>(p >> ChunkShift)][static_cast<std::size_t>(p & (ChunkSize - 1))];
  }
  /// Stores c as character i; an i beyond Count() grows the queue to i characters.
  void Set(int i, char c);
  /// Adds c after the last character.
  void Append(char c) { Set(fCount + 1, c); }
  /// Drops the first n characters (all of them when n exceeds Count()).
  void RemoveFirst(int n);
  /// Drops every character; the chunks stay allocated.
  void Clear();

  int Count() const { return fCount; }
  /// Offset of character 1 inside the first chunk (0..4095).
  int Head() const { return fHead; }
  int ChunkCount() const { return static_cast<int>(fChunks.size()); }

private:
  void EnsureCapacity(int i);
  [[noreturn]] static void ThrowTooBig(int i);
  [[noreturn]] static void ThrowBelowOne();

  std::int32_t fHead = 0;
  std::int32_t fCount = 0;
  TkivCharMatrix fChunks;
};
