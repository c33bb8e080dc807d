// kivVocabularyFuzzer.cpp - token vocabulary files: read straight into a token manager, then
// imported by a parser grammar that is built, so every type, name, literal and paraphrase the
// file defines reaches the lookahead sets and the generated token-types unit.
// An input is the vocabulary text, optionally followed by "%%" and the importing grammar; without
// one, a parser grammar that matches any token of the vocabulary imports it.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "engine/model/kivTokenManager.h"
#include "engine/model/kivTokenParser.h"
#include "fuzz/kivFuzzSupport.h"

namespace {

constexpr std::string_view DefaultImporter =
    "unit FuzzImporter;\n"
    "parser TFuzzImporter;\n"
    "options { k = 2; importVocab = Fuzz; }\n"
    "start : ( . )* EOF ;\n";

// Reads the vocabulary directly and walks what the manager holds afterwards.
void ReadIntoManager(std::string_view text) {
  std::istringstream input{std::string(text)};
  TkivTokenManager manager("Fuzz", nullptr);
  const kiv::VocabularyReadResult result = kiv::ReadVocabulary(input, "FuzzTokens.txt", manager);
  (void)result;
  for (int type = 0; type <= manager.getMaxTokenType() && type < 1024; ++type) {
    (void)manager.getTokenStringAt(type);
    (void)manager.getTokenSymbolAt(type);
  }
  for (const std::string& key : manager.getTokenSymbolKeys()) (void)manager.getTokenSymbol(key);
  (void)manager.clone();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  kiv::fuzz::ScratchFolder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  constexpr std::string_view separator = "%%";
  const std::size_t split = input.find(separator);
  const std::string_view vocabulary = input.substr(0, split);
  const std::string_view importer =
      split == std::string_view::npos ? DefaultImporter : input.substr(split + separator.size());

  ReadIntoManager(vocabulary);

  kiv::fuzz::ClearScratchFolder();
  {
    std::ofstream file(kiv::fuzz::ScratchFolder() + "FuzzTokens.txt", std::ios::binary | std::ios::trunc);
    file.write(vocabulary.data(), static_cast<std::streamsize>(vocabulary.size()));
  }
  kiv::fuzz::BuildGrammar(importer, "importer.g");
  kiv::fuzz::ClearScratchFolder();
  return 0;
}
