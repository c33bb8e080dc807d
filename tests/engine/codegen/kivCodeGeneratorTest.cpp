// kivCodeGeneratorTest.cpp - the generator's files through a whole tool run: where they land, what
// a grammar without an export vocabulary is written under, and failures to write them.
#include "engine/codegen/kivDelphiGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/codegen/kivPascalText.h"
#include "engine/driver/kivTool.h"

namespace {

namespace fs = std::filesystem;

class RecordingHandler : public IkivToolErrorHandler {
public:
  std::vector<std::string> Lines;
  void HandleWarning(const std::string& Text) override { Lines.push_back("W:" + Text); }
  void HandleError(const std::string& Text) override { Lines.push_back("E:" + Text); }
  void HandleMessage(const std::string& Text) override { Lines.push_back("M:" + Text); }
};

const char* const kLexer = "unit CalcLexer;\n"
                           "lexer TCalcLexer;\n"
                           "tokens { \"begin\"; }\n"
                           "ID : ('a'..'z')+ ;\n"
                           "WS : ' ' { _ttype := TT_SKIP; } ;\n";

// A fresh directory under the system's temporary directory, removed with the object.
class TempDir {
public:
  explicit TempDir(const std::string& Name) : fPath(fs::temp_directory_path() / ("kiv-codegen-" + Name)) {
    fs::remove_all(fPath);
    fs::create_directories(fPath);
  }
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(fPath, ignored);
  }
  const fs::path& Path() const { return fPath; }
  std::string Str() const { return fPath.string(); }

private:
  fs::path fPath;
};

struct RunResult {
  RecordingHandler Handler;
  int Errors = 0;
  IkivGrammarPtr Grammar;
};

void RunTool(const std::string& Text, const std::string& OutputDir, const std::string& ExchangeDir, RunResult& Result) {
  std::istringstream input(Text);
  TkivTool tool(&input, "calc.g", OutputDir, ExchangeDir, &Result.Handler);
  tool.Run();
  Result.Errors = tool.GetErrorCount();
  Result.Grammar = tool.Grammar();
}

std::vector<std::string> FilesIn(const fs::path& Dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(Dir)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReadFile(const fs::path& Path) {
  std::ifstream in(Path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(CodeGenerator, DirectoriesWithAndWithoutTrailingSeparatorGiveTheSameFiles) {
  for (const std::string suffix : {"", "/", "\\"}) {
    TempDir dir("separator");
    RunResult run;
    RunTool(kLexer, (dir.Path() / "out").string() + suffix, (dir.Path() / "xchg").string() + suffix, run);
    // Directories must exist; the generator does not create them.
    EXPECT_EQ(run.Errors, 1) << "suffix '" << suffix << "'";
    fs::create_directories(dir.Path() / "out");
    fs::create_directories(dir.Path() / "xchg");
    RunResult again;
    RunTool(kLexer, (dir.Path() / "out").string() + suffix, (dir.Path() / "xchg").string() + suffix, again);
    EXPECT_EQ(again.Errors, 0) << "suffix '" << suffix << "'";
    EXPECT_EQ(FilesIn(dir.Path() / "out"), (std::vector<std::string>{"CalcLexer.pas", "CalcLexerTokens.pas"}));
    EXPECT_EQ(FilesIn(dir.Path() / "xchg"), (std::vector<std::string>{"CalcLexerTokens.txt"}));
    // Nothing lands beside the directories under a name that contains the separator.
    EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"out", "xchg"}));
  }
}

TEST(CodeGenerator, AGrammarWithoutExportVocabularyIsWrittenUnderItsUnitName) {
  TempDir dir("vocab");
  RunResult run;
  RunTool(kLexer, dir.Str(), dir.Str(), run);
  ASSERT_EQ(run.Errors, 0);
  ASSERT_NE(run.Grammar, nullptr);
  EXPECT_EQ(run.Grammar->getExportVocab(), "CalcLexer");
  const std::string vocabulary = ReadFile(dir.Path() / "CalcLexerTokens.txt");
  EXPECT_NE(vocabulary.find("LT_begin=\"begin\"=4\r\n"), std::string::npos) << vocabulary;
  const std::string tokens = ReadFile(dir.Path() / "CalcLexerTokens.pas");
  EXPECT_NE(tokens.find("   LT_begin   = 4;\r\n"), std::string::npos) << tokens;
  // The literal keeps the label it was given for the rest of generation.
  const auto literal =
      std::dynamic_pointer_cast<IkivStringSymbol>(run.Grammar->getTokenManager()->getTokenSymbol("\"begin\""));
  ASSERT_NE(literal, nullptr);
  EXPECT_EQ(literal->getLabel(), "LT_begin");
}

TEST(CodeGenerator, AFileThatCannotBeWrittenIsACountedErrorNamingFileAndReason) {
  TempDir dir("unwritable");
  // A directory stands where the recognizer unit should go.
  fs::create_directories(dir.Path() / "CalcLexer.pas");
  RunResult run;
  RunTool(kLexer, dir.Str(), dir.Str(), run);
  EXPECT_EQ(run.Errors, 1);
  const std::string unit = kiv::JoinOutputPath(dir.Str(), "CalcLexer.pas");
  EXPECT_EQ(run.Handler.Lines, (std::vector<std::string>{
                                   "E:calc.g(1): Cannot write file \"" + unit + "\": Is a directory",
                               }));
  EXPECT_TRUE(fs::is_directory(dir.Path() / "CalcLexer.pas"));
  // Nothing else was written either.
  EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"CalcLexer.pas"}));
}

TEST(CodeGenerator, AMissingOutputDirectoryWritesNothingAtAll) {
  TempDir dir("missing");
  RunResult run;
  RunTool(kLexer, (dir.Path() / "nowhere").string(), dir.Str(), run);
  EXPECT_EQ(run.Errors, 1);
  ASSERT_FALSE(run.Handler.Lines.empty());
  EXPECT_NE(run.Handler.Lines.front().find("CalcLexerTokens.pas\": No such file or directory"), std::string::npos)
      << run.Handler.Lines.front();
  // The vocabulary file could be written, but a build is all or nothing.
  EXPECT_TRUE(FilesIn(dir.Path()).empty());
}

} // namespace
