// kivTokenQueue.h
// TkivTokenQueue: the ordered list of tokens read ahead, numbered from 0.
#pragma once

#include "runtime/cpp/kivTypes.h"

#include <deque>
#include <utility>

/// Index errors throw std::out_of_range with the texts 'index "<i>" is too big' and
/// "index less than 0".
class TkivTokenQueue {
public:
  /// Token i (0 <= i < Count()).
  const IkivTokenPtr& Get(int i) const;
  void Add(IkivTokenPtr token) { fTokens.push_back(std::move(token)); }
  /// Drops the first n tokens (all of them when n is not below Count()).
  void RemoveFirst(int n);
  void Clear() { fTokens.clear(); }
  int Count() const { return static_cast<int>(fTokens.size()); }

private:
  std::deque<IkivTokenPtr> fTokens;
};
