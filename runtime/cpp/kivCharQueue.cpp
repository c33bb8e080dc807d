// kivCharQueue.cpp
// TkivCharQueue: growth, front removal with chunk recycling, and index errors.
#include "runtime/cpp/kivCharQueue.h"

#include <algorithm>
#include <stdexcept>
#include <string>

void TkivCharQueue::ThrowTooBig(int i) {
  throw std::out_of_range("index \"" + std::to_string(i) + "\" is too  big");
}

void TkivCharQueue::ThrowBelowOne() {
  throw std::out_of_range("index less than 1");
}

void TkivCharQueue::EnsureCapacity(int i) {
  const long long p = static_cast<long long>(i) + fHead - 1;
  if (p < static_cast<long long>(fChunks.size()) * ChunkSize) return;
  fChunks.resize(static_cast<std::size_t>(p >> ChunkShift) + 1, std::vector<char>(ChunkSize, '\0'));
}

void TkivCharQueue::Set(int i, char c) {
  if (i < 1) ThrowBelowOne();
  if (i > fCount) {
    EnsureCapacity(i);
    // Slots between the old end and i may hold characters from before a removal or a Clear;
    // they enter the window as zeros.
    for (int gap = fCount + 1; gap < i; ++gap) {
      const int p = gap + fHead - 1;
      fChunks[static_cast<std::size_t>(p >> ChunkShift)][static_cast<std::size_t>(p & (ChunkSize - 1))] = '\0';
    }
    fCount = i;
  }
  const int p = i + fHead - 1;
  fChunks[static_cast<std::size_t>(p >> ChunkShift)][static_cast<std::size_t>(p & (ChunkSize - 1))] = c;
}

void TkivCharQueue::RemoveFirst(int n) {
  if (n <= 0) return;
  if (n > fCount) {
    Clear();
    return;
  }
  fHead += n;
  fCount -= n;
  while (fHead >= ChunkSize) {
    std::fill(fChunks.front().begin(), fChunks.front().end(), '\0');
    std::rotate(fChunks.begin(), fChunks.begin() + 1, fChunks.end());
    fHead -= ChunkSize;
  }
}

void TkivCharQueue::Clear() {
  for (int i = 1; i <= fCount; ++i) Set(i, '\0');
  fHead = 0;
  fCount = 0;
}
