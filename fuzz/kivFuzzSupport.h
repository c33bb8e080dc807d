// kivFuzzSupport.h - what the grammar fuzz targets share: a private scratch folder per process
// and one build of grammar text through TkivTool::Run into it.
#pragma once

#include <string>
#include <string_view>

namespace kiv::fuzz {

// The scratch folder of this process, with a trailing "/": created on first use under $TMPDIR (or
// /tmp), removed when the process exits. Every fuzzing process (libFuzzer -jobs forks) has its own.
const std::string& ScratchFolder();

// Removes every file in the scratch folder, so that no run sees what an earlier one wrote.
void ClearScratchFolder();

// Builds `text` as the grammar file `fileName` with the scratch folder as output and exchange
// directory. Run must contain every exception; with KIV_FUZZ_STRICT=1 in the environment a run
// that ends in one of the tool's fixed "Internal error"/"Unexpected exception" messages aborts
// too, so that internal contradictions reached from input show up as findings (the analyzer's
// deliberate stack and work limits, and files the generator cannot write, excepted).
void BuildGrammar(std::string_view text, const std::string& fileName);

// An input of two parts separated by "%%" (a character pair the grammar language never uses);
// HasSecond is false, and Second empty, when the input holds no separator.
struct InputParts {
  std::string_view First;
  std::string_view Second;
  bool HasSecond = false;
};
InputParts SplitInput(std::string_view input);

}  // namespace kiv::fuzz
