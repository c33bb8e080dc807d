// kivStringMap.cpp
// TkivStringMap: ordered insertion and case-aware lookup.
#include "runtime/cpp/kivStringMap.h"

#include "runtime/cpp/kivTypes.h"

#include <algorithm>
#include <tuple>

namespace {

std::string Fold(const std::string& s) {
  std::string folded(s);
  for (char& c : folded) c = kiv::LowerAscii(c);
  return folded;
}

} // namespace

void TkivStringMap::Add(const std::string& name, int value) {
  if (IndexOf(name) >= 0) return;
  Item item{Fold(name), name, value};
  auto pos = std::upper_bound(fEntries.begin(), fEntries.end(), item, [](const Item& a, const Item& b) {
    return std::tie(a.folded, a.name, a.value) < std::tie(b.folded, b.name, b.value);
  });
  fEntries.insert(pos, std::move(item));
}

int TkivStringMap::IndexOf(const std::string& name) const {
  // Every entry that can match has the same folded name, and those entries are adjacent, so the
  // first match in list order is the first match inside that run.
  const std::string folded = Fold(name);
  auto first = std::lower_bound(fEntries.begin(), fEntries.end(), folded,
                                [](const Item& a, const std::string& key) { return a.folded < key; });
  for (auto it = first; it != fEntries.end() && it->folded == folded; ++it) {
    if (!fCaseSensitive || it->name == name) return static_cast<int>(it - fEntries.begin());
  }
  return -1;
}

int TkivStringMap::ValueOf(const std::string& name) const {
  const int index = IndexOf(name);
  return index < 0 ? -1 : fEntries[static_cast<std::size_t>(index)].value;
}

std::string TkivStringMap::Entry(int index) const {
  const Item& item = fEntries.at(static_cast<std::size_t>(index));
  return item.name + "=" + std::to_string(item.value);
}
