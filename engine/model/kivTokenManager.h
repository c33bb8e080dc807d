// kivTokenManager.h - TkivTokenManager: one grammar's token symbols, numbering and vocabulary.
// A fresh manager holds EOF (1) and the NULL_TREE_LOOKAHEAD line (2); new types start at 4.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/kivModel.h"

class TkivTokenManager : public IkivTokenManager {
public:
  // The tool is borrowed and handed on to clones; it may be null.
  TkivTokenManager(std::string Name, IkivTool* Tool);

  std::string getName() const override { return fName; }
  bool isReadOnly() const override { return fReadOnly; }
  int getMaxTokenType() const override { return fNextTokenType - 1; }
  int nextTokenType() override { return fNextTokenType++; }
  const Vocabulary& getVocabulary() const override { return fVocabulary; }
  std::string getTokenStringAt(int Index) const override;
  IkivTokenSymbolPtr getTokenSymbolAt(int Index) const override;
  IkivTokenSymbolPtr getTokenSymbol(const std::string& Key) const override;
  bool tokenDefined(const std::string& Key) const override;
  void setName(const std::string& Name) override { fName = Name; }
  void setReadOnly(bool ReadOnly) override { fReadOnly = ReadOnly; }
  void setNextTokenType(int TokenType) override { fNextTokenType = TokenType; }
  // An equal, independent manager: the same lines, keys, next type and copies of the symbols.
  IkivTokenManagerPtr clone() const override;
  std::vector<std::string> getTokenSymbolKeys() const override;
  std::vector<IkivTokenSymbolPtr> getTokenSymbolElements() const override;
  void mapToTokenSymbol(const std::string& Key, const IkivTokenSymbolPtr& Symbol) override;
  // A symbol whose id already names a vocabulary line is ignored. Otherwise the line
  // "id=type" is appended, the symbol is entered under its id, and a type at or above the next
  // type pushes the next type past it.
  void define(const IkivTokenSymbolPtr& Symbol) override;

private:
  using Entry = std::pair<std::string, IkivTokenSymbolPtr>;

  bool InVocabulary(const std::string& Name) const;
  const Entry* Find(const std::string& Key) const;
  void AddEntry(const std::string& Key, const IkivTokenSymbolPtr& Symbol);
  void AddVocabularyLine(std::string Line);

  std::string fName;
  IkivTool* fTool;
  int fNextTokenType = 4;
  bool fReadOnly = false;
  Vocabulary fVocabulary;
  std::vector<Entry> fTable;
  // Note [token lookup]: keys and vocabulary names compare without regard to letter case; both
  // lists keep their order (the vocabulary file and clones depend on it) and are indexed by the
  // folded name, so that importing a vocabulary of n entries costs n lookups, not n squared.
  std::unordered_map<std::string, std::size_t> fTableIndex;  // first entry of each key
  std::unordered_set<std::string> fVocabularyNames;
};

namespace kiv {
// The name of a vocabulary line: the text before its last "=".
std::string VocabularyLineName(const std::string& Line);
// The type of a vocabulary line: the text after its last "=", -1 when it is not a number.
int VocabularyLineType(const std::string& Line);
} // namespace kiv
