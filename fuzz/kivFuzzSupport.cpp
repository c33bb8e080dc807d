// kivFuzzSupport.cpp - scratch folder and tool runs for the grammar fuzz targets.
#include "fuzz/kivFuzzSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <system_error>
#include <vector>

#include "engine/driver/kivTool.h"

namespace kiv::fuzz {

namespace fs = std::filesystem;

namespace {

std::string MakeScratchFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/kiv-fuzz-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (mkdtemp(name.data()) == nullptr) {
    std::perror("kiv fuzz: cannot create a scratch folder");
    std::abort();
  }
  return std::string(name.data()) + "/";
}

void RemoveScratchFolder() {
  std::error_code ignored;
  fs::remove_all(ScratchFolder(), ignored);
}

bool StrictRuns() {
  static const bool strict = [] {
    const char* value = std::getenv("KIV_FUZZ_STRICT");
    return value != nullptr && std::string(value) == "1";
  }();
  return strict;
}

// Checks the form of what the tool hands over; remembers a panic (sent as a message) and the
// fixed texts that end a run on a contained exception (sent as errors, not counted).
class CheckingHandler : public IkivToolErrorHandler {
public:
  bool ContainedFailure = false;
  std::string FailureText;

  // Warnings include the empty line that opens every nondeterminism report.
  void HandleWarning(const std::string& /*Text*/) override {}
  void HandleError(const std::string& Text) override {
    Check(Text);
    // A unit or vocabulary name too long for the file system: the generator reports the file it
    // cannot write and ends the generation on purpose.
    if (Text.find("): Cannot write file \"") != std::string::npos) Deliberate = true;
    if (Text == "Internal error" || Text == "Error: Unexpected exception..." ||
        Text == "Unexpected exception in generator")
      Fail(Text);
  }
  void HandleMessage(const std::string& Text) override {
    Check(Text);
    // The analyzer's limits on stack and work end a run on purpose, with a panic that says so.
    if (Text.rfind("Lookahead analysis nested too deeply", 0) == 0 ||
        (Text.rfind("Lookahead analysis of rule", 0) == 0 && Text.find("needs too much work") != std::string::npos))
      Deliberate = true;
    Fail("panic: " + Text);
  }
  bool Deliberate = false;

private:
  static void Check(const std::string& Text) {
    if (Text.empty()) {
      std::fprintf(stderr, "kiv fuzz: the tool reported an empty line\n");
      std::abort();
    }
  }
  void Fail(const std::string& Text) {
    if (!ContainedFailure) FailureText = Text;  // the panic, before the text that ends the run
    ContainedFailure = true;
  }
};

}  // namespace

const std::string& ScratchFolder() {
  static const std::string folder = MakeScratchFolder();
  static const bool cleanupRegistered = (std::atexit(RemoveScratchFolder), true);
  (void)cleanupRegistered;
  return folder;
}

void ClearScratchFolder() {
  std::error_code error;
  for (fs::directory_iterator it(ScratchFolder(), error), end; !error && it != end; it.increment(error))
    fs::remove_all(it->path(), error);
}

InputParts SplitInput(std::string_view input) {
  constexpr std::string_view separator = "%%";
  const std::size_t split = input.find(separator);
  if (split == std::string_view::npos) return InputParts{input, {}, false};
  return InputParts{input.substr(0, split), input.substr(split + separator.size()), true};
}

void BuildGrammar(std::string_view text, const std::string& fileName) {
  std::istringstream input{std::string(text)};
  CheckingHandler handler;
  TkivTool tool(&input, fileName, ScratchFolder(), ScratchFolder(), &handler);
  tool.Run();
  if (handler.ContainedFailure && !handler.Deliberate && StrictRuns()) {
    std::fprintf(stderr, "kiv fuzz: the run ended in \"%s\"\n", handler.FailureText.c_str());
    std::abort();
  }
}

}  // namespace kiv::fuzz
