// kivNames.h - name comparison without regard to letter case, and the sorted unit-name list.
// Token-manager keys, rule ids and unit names all compare this way; option names never do.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

namespace kiv {

// Compares two names letter-case-blind (A..Z equal a..z); answers <0, 0 or >0 like strcmp.
// Characters are compared by their unsigned code after folding.
int CompareText(const std::string& a, const std::string& b);

// The name with A..Z folded to a..z: equal for names that SameText finds equal, so it can key a
// hash map.
std::string FoldedText(const std::string& Name);

// True when the two names differ at most in the case of their letters.
inline bool SameText(const std::string& a, const std::string& b) { return CompareText(a, b) == 0; }

// Orders names letter-case-blind; usable as the comparator of an ordered container.
struct TextLess {
  bool operator()(const std::string& a, const std::string& b) const { return CompareText(a, b) < 0; }
};

// A list of names kept in letter-case-blind order, in which a name that is already present
// (in any letter case) is not added again. Generated units list their uses in this order.
class SortedNameList {
public:
  SortedNameList() = default;
  SortedNameList(std::initializer_list<std::string> names);

  // Inserts the name at its place; answers false (and changes nothing) when it is present.
  bool Add(const std::string& name);
  // Adds every name of the other list.
  void AddAll(const SortedNameList& other);
  bool Contains(const std::string& name) const;
  std::size_t Count() const { return fNames.size(); }
  const std::string& operator[](std::size_t index) const { return fNames[index]; }
  const std::vector<std::string>& Names() const { return fNames; }
  void Clear() { fNames.clear(); }

  auto begin() const { return fNames.begin(); }
  auto end() const { return fNames.end(); }

private:
  std::vector<std::string> fNames;
};

} // namespace kiv
