// kivProjectFuzzer.cpp - project files: read with positioned diagnostics, written back and read
// again (what the reader accepted and the writer stores must read back the same), and every
// grammar path resolved against a project location the way the command and the workbench do.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "engine/project/kivProjectFile.h"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "kiv project fuzz: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream input{std::string(reinterpret_cast<const char*>(data), size)};
  const kiv::ProjectReadResult read = kiv::ReadProject(input, "fuzz.kvp");
  if (read.complete != read.diagnostics.empty()) Fail("a complete read has diagnostics, or an incomplete one none");
  for (const kiv::ProjectDiagnostic& diagnostic : read.diagnostics) {
    if (diagnostic.text.empty()) Fail("an empty diagnostic");
    (void)kiv::FormatDiagnostic("fuzz.kvp", diagnostic);
  }

  for (const kiv::ProjectGrammar& grammar : read.project.grammars) {
    const std::filesystem::path resolved = kiv::ResolveGrammarPath("/projects/p/fuzz.kvp", grammar.path);
    if (!grammar.path.empty()) (void)kiv::RelativeGrammarPath("/projects/p/fuzz.kvp", resolved);
  }

  if (!read.complete) return 0;
  std::string text;
  std::string error;
  if (!kiv::WriteProjectText(read.project, text, error)) {
    if (error.empty()) Fail("the writer refused without saying why");
    return 0;
  }
  std::istringstream written(text);
  const kiv::ProjectReadResult again = kiv::ReadProject(written, "fuzz.kvp");
  if (!again.complete) Fail("the written project does not read back");
  if (!(again.project == read.project)) Fail("the written project reads back different");
  return 0;
}
