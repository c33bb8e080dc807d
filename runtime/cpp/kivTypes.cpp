// kivTypes.cpp
// Set builders shared by lexers, parsers and the text helpers.
#include "runtime/cpp/kivTypes.h"

#include <algorithm>

namespace kiv {

void IncludeRange(std::bitset<256>& set, int lo, int hi) {
  lo = std::max(lo, 0);
  hi = std::min(hi, 255);
  for (int v = lo; v <= hi; ++v) set.set(static_cast<std::size_t>(v));
}

TkivTokenSet TokenSetOf(std::initializer_list<int> types) {
  TkivTokenSet set;
  for (int t : types) Include(set, t);
  return set;
}

TkivCharSet CharSetOf(const std::string& chars) {
  TkivCharSet set;
  for (char c : chars) set.set(static_cast<unsigned char>(c));
  return set;
}

TkivCharSet CharRange(char lo, char hi) {
  TkivCharSet set;
  IncludeRange(set, CharCode(lo), CharCode(hi));
  return set;
}

} // namespace kiv
