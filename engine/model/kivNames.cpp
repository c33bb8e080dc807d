// kivNames.cpp - letter-case-blind name comparison and the sorted unit-name list.
// Folding touches A..Z only, so 8-bit characters compare by their code.
#include "engine/model/kivNames.h"

#include <algorithm>

namespace kiv {

namespace {
unsigned char Fold(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}
} // namespace

std::string FoldedText(const std::string& Name) {
  std::string folded = Name;
  for (char& c : folded) c = static_cast<char>(Fold(c));
  return folded;
}

int CompareText(const std::string& a, const std::string& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char ca = Fold(a[i]);
    const unsigned char cb = Fold(b[i]);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

SortedNameList::SortedNameList(std::initializer_list<std::string> names) {
  for (const std::string& name : names) Add(name);
}

bool SortedNameList::Add(const std::string& name) {
  const auto place = std::lower_bound(fNames.begin(), fNames.end(), name, TextLess{});
  if (place != fNames.end() && SameText(*place, name)) return false;
  fNames.insert(place, name);
  return true;
}

void SortedNameList::AddAll(const SortedNameList& other) {
  for (const std::string& name : other.fNames) Add(name);
}

bool SortedNameList::Contains(const std::string& name) const {
  return std::binary_search(fNames.begin(), fNames.end(), name, TextLess{});
}

} // namespace kiv
