// kivGoldenRun.cpp - runs the grammars of one golden feature through the whole tool and collects
// what each run wrote. Usage: kiv_golden_run <feature directory> <work directory>

// The golden test starts this program once per feature, so that every feature is generated in a
// fresh process: block numbers (and with them the names of loop counters) grow for the life of a
// process, and a feature's output must not depend on which features ran before it.
//
// Grammars <name>.g are run in name order with one exchange directory, so a parser can import the
// vocabulary of a lexer before it. For each grammar <work>/<name>.actual/ receives the files in its
// unit directory, the vocabulary files it created or changed, and "stderr" with the diagnostic
// lines when there were any.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/driver/kivTool.h"

namespace {

namespace fs = std::filesystem;
using FileMap = std::map<std::string, std::string>;

class DiagnosticLines : public IkivToolErrorHandler {
public:
  std::string Text;
  void HandleWarning(const std::string& Line) override { Text += "warning: " + Line + "\n"; }
  void HandleError(const std::string& Line) override { Text += "error: " + Line + "\n"; }
  void HandleMessage(const std::string& Line) override { Text += "message: " + Line + "\n"; }
};

std::string ReadFile(const fs::path& Path) {
  std::ifstream in(Path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const fs::path& Path, const std::string& Text) {
  std::ofstream out(Path, std::ios::binary | std::ios::trunc);
  out << Text;
}

FileMap FilesIn(const fs::path& Dir) {
  FileMap files;
  for (const auto& entry : fs::directory_iterator(Dir))
    if (entry.is_regular_file()) files[entry.path().filename().string()] = ReadFile(entry.path());
  return files;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: kiv_golden_run <feature directory> <work directory>\n";
    return 2;
  }
  const fs::path feature = argv[1];
  const fs::path work = argv[2];
  fs::remove_all(work);
  fs::create_directories(work / "exchange");

  std::vector<fs::path> grammars;
  for (const auto& entry : fs::directory_iterator(feature))
    if (entry.path().extension() == ".g") grammars.push_back(entry.path());
  std::sort(grammars.begin(), grammars.end());

  for (const fs::path& grammar : grammars) {
    const std::string name = grammar.stem().string();
    const fs::path unitDir = work / name;
    fs::create_directories(unitDir);
    const FileMap before = FilesIn(work / "exchange");

    std::istringstream input(ReadFile(grammar));
    DiagnosticLines diagnostics;
    TkivTool tool(&input, grammar.filename().string(), unitDir.string(), (work / "exchange").string(), &diagnostics);
    tool.Run();

    const fs::path actual = work / (name + ".actual");
    fs::create_directories(actual);
    for (const auto& [file, text] : FilesIn(unitDir)) WriteFile(actual / file, text);
    for (const auto& [file, text] : FilesIn(work / "exchange")) {
      const auto old = before.find(file);
      if (old == before.end() || old->second != text) WriteFile(actual / file, text);
    }
    if (!diagnostics.Text.empty()) WriteFile(actual / "stderr", diagnostics.Text);
  }
  return 0;
}
