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

#include "engine/codegen/kivPascalText.h"
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
  const kiv::fuzz::InputParts parts =
      kiv::fuzz::SplitInput(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string_view vocabulary = parts.First;
  const std::string_view importer = parts.HasSecond ? parts.Second : DefaultImporter;

  ReadIntoManager(vocabulary);

  kiv::fuzz::ClearScratchFolder();
  {
    std::ofstream file(kiv::JoinOutputPath(kiv::fuzz::ScratchFolder(), "FuzzTokens.txt"),
                       std::ios::binary | std::ios::trunc);
    file.write(vocabulary.data(), static_cast<std::streamsize>(vocabulary.size()));
  }
  kiv::fuzz::BuildGrammar(importer, "importer.g");
  kiv::fuzz::ClearScratchFolder();
  return 0;
}
