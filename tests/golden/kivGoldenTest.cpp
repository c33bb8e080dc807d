// kivGoldenTest.cpp - golden tests of generated text: every grammar of a feature directory is run
// through the whole tool (by kiv_golden_run, one process per feature) and its files are compared
// byte for byte with the checked-in expectation.
//
// Layout: tests/golden/<feature>/<name>.g, processed in name order with one exchange directory per
// feature, and next to each grammar <name>.expected/ holding exactly the files its run wrote
// (units and vocabulary file) plus "stderr" with the diagnostic lines when there were any.
// Set KIV_UPDATE_GOLDEN=1 to rewrite the expectations; review every changed file before checking
// it in. A grammar without expectations fails as MISSING until they are written and reviewed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#if !defined(KIV_GOLDEN_DIR) || !defined(KIV_GOLDEN_RUN)
#error "KIV_GOLDEN_DIR must name the directory of the golden features, KIV_GOLDEN_RUN the runner"
#endif

namespace {

namespace fs = std::filesystem;
using FileMap = std::map<std::string, std::string>;

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
  if (!fs::is_directory(Dir)) return files;
  for (const auto& entry : fs::directory_iterator(Dir))
    if (entry.is_regular_file()) files[entry.path().filename().string()] = ReadFile(entry.path());
  return files;
}

std::vector<std::string> Features() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(KIV_GOLDEN_DIR)) {
    if (!entry.is_directory()) continue;
    bool hasGrammar = false;
    for (const auto& file : fs::directory_iterator(entry.path())) hasGrammar |= file.path().extension() == ".g";
    if (hasGrammar) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<fs::path> GrammarsOf(const fs::path& Feature) {
  std::vector<fs::path> grammars;
  for (const auto& file : fs::directory_iterator(Feature))
    if (file.path().extension() == ".g") grammars.push_back(file.path());
  std::sort(grammars.begin(), grammars.end());
  return grammars;
}

// The first line where two texts differ, for the failure message.
std::string FirstDifference(const std::string& Expected, const std::string& Actual) {
  std::istringstream e(Expected), a(Actual);
  std::string el, al;
  for (int line = 1;; ++line) {
    const bool eMore = static_cast<bool>(std::getline(e, el));
    const bool aMore = static_cast<bool>(std::getline(a, al));
    if (!eMore && !aMore) return "texts differ only in their line ends";
    if (el != al || eMore != aMore)
      return "line " + std::to_string(line) + ":\n  expected: " + (eMore ? el : "<end>") + "\n  actual:   " + (aMore ? al : "<end>");
  }
}

class Golden : public ::testing::TestWithParam<std::string> {};

TEST_P(Golden, GeneratedFilesMatchTheirExpectations) {
  const fs::path feature = fs::path(KIV_GOLDEN_DIR) / GetParam();
  const fs::path work = fs::temp_directory_path() / "kiv-golden" / GetParam();
  const std::string command = "\"" KIV_GOLDEN_RUN "\" \"" + feature.string() + "\" \"" + work.string() + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  const char* update = std::getenv("KIV_UPDATE_GOLDEN");
  const bool updating = update != nullptr && std::string(update) == "1";

  for (const fs::path& grammar : GrammarsOf(feature)) {
    const std::string name = grammar.stem().string();
    SCOPED_TRACE(GetParam() + "/" + name + ".g");
    const FileMap actual = FilesIn(work / (name + ".actual"));
    const fs::path expectedDir = feature / (name + ".expected");
    if (updating) {
      fs::remove_all(expectedDir);
      fs::create_directories(expectedDir);
      for (const auto& [file, text] : actual) WriteFile(expectedDir / file, text);
      continue;
    }
    if (!fs::is_directory(expectedDir)) {
      ADD_FAILURE() << "MISSING " << expectedDir << ": run with KIV_UPDATE_GOLDEN=1 and review the files";
      continue;
    }
    const FileMap expected = FilesIn(expectedDir);
    for (const auto& [file, text] : expected) {
      const auto found = actual.find(file);
      if (found == actual.end()) {
        ADD_FAILURE() << file << " was expected but not written";
        continue;
      }
      EXPECT_TRUE(found->second == text) << file << " differs at " << FirstDifference(text, found->second);
    }
    for (const auto& [file, text] : actual)
      if (expected.find(file) == expected.end()) ADD_FAILURE() << file << " was written but is not expected:\n" << text;
  }
}

INSTANTIATE_TEST_SUITE_P(Features, Golden, ::testing::ValuesIn(Features()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

} // namespace
