// kivTokenManager.cpp - definition, lookup and cloning of token symbols.
// The table is a list (order matters to the vocabulary file and to clones) with a hash index beside
// it (see note [token lookup]).
#include "engine/model/kivTokenManager.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <unordered_map>

#include "engine/model/kivGrammarSymbol.h"

namespace kiv {

// A line is split at its last "=": the type is a plain number, while an imported literal's name may
// itself hold "=" (the line "\":=\"=9" names the literal ":=").
std::string VocabularyLineName(const std::string& Line) {
  const auto eq = Line.rfind('=');
  return eq == std::string::npos ? Line : Line.substr(0, eq);
}

int VocabularyLineType(const std::string& Line) {
  const auto eq = Line.rfind('=');
  if (eq == std::string::npos) return -1;
  const std::string text = Line.substr(eq + 1);
  if (text.empty()) return -1;
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || value < INT32_MIN || value > INT32_MAX) return -1;
  return static_cast<int>(value);
}

} // namespace kiv

TkivTokenManager::TkivTokenManager(std::string Name, IkivTool* Tool) : fName(std::move(Name)), fTool(Tool) {
  auto eof = std::make_shared<TkivTokenSymbol>("EOF");
  eof->setTokenType(TT_EOF);
  define(eof);
  // Type 2 is reserved by a vocabulary line that has no symbol behind it; type 3 is never used.
  AddVocabularyLine("NULL_TREE_LOOKAHEAD=2");
}

bool TkivTokenManager::InVocabulary(const std::string& Name) const {
  return fVocabularyNames.count(kiv::FoldedText(Name)) != 0;
}

const TkivTokenManager::Entry* TkivTokenManager::Find(const std::string& Key) const {
  const auto at = fTableIndex.find(kiv::FoldedText(Key));
  return at == fTableIndex.end() ? nullptr : &fTable[at->second];
}

void TkivTokenManager::AddEntry(const std::string& Key, const IkivTokenSymbolPtr& Symbol) {
  fTableIndex.emplace(kiv::FoldedText(Key), fTable.size());
  fTable.emplace_back(Key, Symbol);
}

void TkivTokenManager::AddVocabularyLine(std::string Line) {
  fVocabularyNames.insert(kiv::FoldedText(kiv::VocabularyLineName(Line)));
  fVocabulary.push_back(std::move(Line));
}

std::string TkivTokenManager::getTokenStringAt(int Index) const {
  if (Index < 0 || Index >= static_cast<int>(fTable.size())) return {};
  return fTable[static_cast<std::size_t>(Index)].first;
}

IkivTokenSymbolPtr TkivTokenManager::getTokenSymbolAt(int Index) const {
  if (Index < 0 || Index >= static_cast<int>(fTable.size())) return nullptr;
  return fTable[static_cast<std::size_t>(Index)].second;
}

IkivTokenSymbolPtr TkivTokenManager::getTokenSymbol(const std::string& Key) const {
  const Entry* entry = Find(Key);
  return entry ? entry->second : nullptr;
}

bool TkivTokenManager::tokenDefined(const std::string& Key) const { return Find(Key) != nullptr; }

IkivTokenManagerPtr TkivTokenManager::clone() const {
  // The copy equals the source: the same lines, the same keys in the same order, and a symbol that
  // stands under two keys (a literal under its text and its label) is one copied symbol under both.
  // Redefining the copies into a fresh manager instead would drop every extra key and list the
  // vocabulary lines twice (once from the fresh manager's definitions, once copied).
  auto copy = std::make_shared<TkivTokenManager>(fName, fTool);
  copy->fTable.clear();
  copy->fTableIndex.clear();
  std::unordered_map<const IkivTokenSymbol*, IkivTokenSymbolPtr> copied;
  for (const Entry& entry : fTable) {
    IkivTokenSymbolPtr& symbolCopy = copied[entry.second.get()];
    if (!symbolCopy) symbolCopy = entry.second->clone();
    copy->AddEntry(entry.first, symbolCopy);
  }
  copy->fVocabulary = fVocabulary;
  copy->fVocabularyNames = fVocabularyNames;
  copy->fNextTokenType = fNextTokenType;
  copy->fReadOnly = fReadOnly;
  return copy;
}

std::vector<std::string> TkivTokenManager::getTokenSymbolKeys() const {
  std::vector<std::string> keys;
  keys.reserve(fTable.size());
  for (const Entry& entry : fTable) keys.push_back(entry.first);
  return keys;
}

std::vector<IkivTokenSymbolPtr> TkivTokenManager::getTokenSymbolElements() const {
  std::vector<IkivTokenSymbolPtr> symbols;
  symbols.reserve(fTable.size());
  for (const Entry& entry : fTable) symbols.push_back(entry.second);
  return symbols;
}

void TkivTokenManager::mapToTokenSymbol(const std::string& Key, const IkivTokenSymbolPtr& Symbol) {
  AddEntry(Key, Symbol);
}

void TkivTokenManager::define(const IkivTokenSymbolPtr& Symbol) {
  const std::string id = Symbol->getId();
  if (InVocabulary(id)) return;
  const int type = Symbol->getTokenType();
  AddVocabularyLine(id + "=" + std::to_string(type));
  AddEntry(id, Symbol);
  if (type >= fNextTokenType) fNextTokenType = type + 1;
}
