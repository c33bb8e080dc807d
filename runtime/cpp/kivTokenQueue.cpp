// kivTokenQueue.cpp
// TkivTokenQueue: indexed access with range errors and front removal.
#include "runtime/cpp/kivTokenQueue.h"

#include <stdexcept>
#include <string>

const IkivTokenPtr& TkivTokenQueue::Get(int i) const {
  if (i >= Count()) throw std::out_of_range("index \"" + std::to_string(i) + "\" is too big");
  if (i < 0) throw std::out_of_range("index less than 0");
  return fTokens[static_cast<std::size_t>(i)];
}

void TkivTokenQueue::RemoveFirst(int n) {
  if (n <= 0) return;
  if (n < Count())
    fTokens.erase(fTokens.begin(), fTokens.begin() + n);
  else
    Clear();
}
