// kivToolRunFuzzer.cpp - grammar text through the whole build: TkivTool::Run parses, defines
// symbols, builds the element graph, analyses and writes the units into a scratch folder.
// An input may hold two grammar files separated by "%%" (a character the grammar language never
// uses): the second is built after the first in the same folder, so it can import the vocabulary
// the first exported (a lexer grammar, then a parser grammar with importVocab).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/kivFuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  kiv::fuzz::ScratchFolder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const kiv::fuzz::InputParts parts =
      kiv::fuzz::SplitInput(std::string_view(reinterpret_cast<const char*>(data), size));
  kiv::fuzz::ClearScratchFolder();
  kiv::fuzz::BuildGrammar(parts.First, "first.g");
  if (parts.HasSecond) kiv::fuzz::BuildGrammar(parts.Second, "second.g");
  kiv::fuzz::ClearScratchFolder();
  return 0;
}
