// kivVocabularyWriter.cpp - the line forms of token vocabulary files.
// Each line is name "=" type, label "=" literal "=" type, or name "(" paraphrase ")" "=" type.
#include "engine/model/kivVocabularyWriter.h"

#include <fstream>
#include <memory>
#include <stdexcept>

#include "engine/model/kivTokenManager.h"

namespace kiv {

namespace {
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif
constexpr const char* kLineEnd = "\r\n";
} // namespace

std::string WithTrailingSeparator(const std::string& Directory) {
  if (Directory.empty() || Directory.back() == '\\' || Directory.back() == '/') return Directory;
  return Directory + kPathSeparator;
}

std::string BaseFileName(const std::string& FileName) {
  const auto cut = FileName.find_last_of("\\/:");
  return cut == std::string::npos ? FileName : FileName.substr(cut + 1);
}

std::string VocabularyFileName(const std::string& ExchangeDirectory, const std::string& VocabName) {
  return WithTrailingSeparator(ExchangeDirectory) + VocabName + "Tokens.txt";
}

void WriteVocabulary(IkivGrammar& Grammar, std::ostream& Output) {
  const IkivTokenManagerPtr manager = Grammar.getTokenManager();
  Output << "// $Kiv Parser Generator: " << BaseFileName(Grammar.getFileName()) << " -> "
         << Grammar.getExportVocab() << "Tokens.txt$" << kLineEnd;
  Output << Grammar.getGrammarName() << kLineEnd;
  for (const std::string& line : manager->getVocabulary()) {
    const std::string name = VocabularyLineName(line);
    const std::string type = name.size() < line.size() ? line.substr(name.size() + 1) : std::string();
    if (!name.empty() && name[0] == '<') continue;
    const IkivTokenSymbolPtr symbol = manager->getTokenSymbol(name);
    if (!name.empty() && name[0] == '"') {
      const auto literal = std::dynamic_pointer_cast<IkivStringSymbol>(symbol);
      if (!literal) continue;
      if (literal->getLabel().empty()) literal->setLabel("LT_" + name.substr(1, name.size() - 2));
      Output << literal->getLabel() << "=" << name << "=" << type << kLineEnd;
    } else {
      if (!symbol) continue;
      Output << "TT_" << name;
      if (!symbol->getParaphrase().empty()) Output << "(" << symbol->getParaphrase() << ")";
      Output << "=" << type << kLineEnd;
    }
  }
}

std::string WriteVocabularyFile(IkivGrammar& Grammar, const std::string& ExchangeDirectory) {
  if (Grammar.getExportVocab().empty()) Grammar.setExportVocab(Grammar.getUnitName());
  const std::string fileName = VocabularyFileName(ExchangeDirectory, Grammar.getExportVocab());
  std::ofstream output(fileName, std::ios::binary | std::ios::trunc);
  if (!output) throw std::runtime_error("Cannot create file \"" + fileName + "\"");
  WriteVocabulary(Grammar, output);
  output.close();
  if (!output) throw std::runtime_error("Cannot write file \"" + fileName + "\"");
  return fileName;
}

} // namespace kiv
