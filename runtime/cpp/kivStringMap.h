// kivStringMap.h
// TkivStringMap: the sorted name-to-number table that holds a lexer's literals.
#pragma once

#include <string>
#include <vector>

/// A sorted table of entries name=value. Names are compared exactly when CaseSensitive is true and
/// without regard to letter case (A-Z against a-z) otherwise; a new map is not case-sensitive.
/// A plain object: its owner (the lexer) holds it by value.
///
/// Names are kept apart from their values, so a name may itself contain "=" (a literal such as
/// ":=" or "==" is found like any other). Entries are ordered by their case-folded name, then by
/// the exact name; that order does not depend on the CaseSensitive flag, so switching the flag
/// never needs a re-sort.
class TkivStringMap {
public:
  /// Adds name=value unless an entry with that name (by the current case rule) exists already;
  /// a second Add of a known name is ignored even with another value.
  void Add(const std::string& name, int value);
  /// Index of the first entry, in list order, whose name equals name; -1 when none does.
  int IndexOf(const std::string& name) const;
  /// The value of the entry IndexOf finds; -1 when there is none.
  int ValueOf(const std::string& name) const;

  bool CaseSensitive() const { return fCaseSensitive; }
  void SetCaseSensitive(bool caseSensitive) { fCaseSensitive = caseSensitive; }

  int Count() const { return static_cast<int>(fEntries.size()); }
  const std::string& Name(int index) const { return fEntries.at(static_cast<std::size_t>(index)).name; }
  int Value(int index) const { return fEntries.at(static_cast<std::size_t>(index)).value; }
  /// The entry as text: name, "=", decimal value.
  std::string Entry(int index) const;
  void Clear() { fEntries.clear(); }

private:
  struct Item {
    std::string folded; // name with A-Z folded to a-z: the primary sort key
    std::string name;
    int value;
  };
  std::vector<Item> fEntries;
  bool fCaseSensitive = false;
};
