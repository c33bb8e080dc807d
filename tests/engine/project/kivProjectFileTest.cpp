// kivProjectFileTest.cpp
// The project-file format: writing, reading back, malformed files and grammar paths.
#include "engine/project/kivProjectFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "engine/project/qvWsKivProjectLexer.h"

namespace {

namespace fs = std::filesystem;
using kiv::ProjectFile;
using kiv::ProjectReadResult;

ProjectReadResult read(const std::string& text) {
  std::istringstream input(text);
  return kiv::ReadProject(input, "demo");
}

std::vector<std::string> paths(const ProjectFile& project) {
  std::vector<std::string> result;
  for (const auto& grammar : project.grammars) result.push_back(grammar.path);
  return result;
}

TEST(ProjectWriter, EmptyProjectIsTwoLines) {
  std::string text, error;
  ASSERT_TRUE(kiv::WriteProjectText(ProjectFile{}, text, error));
  EXPECT_EQ(text, "KIV project\r\nEnd\r\n");
}

TEST(ProjectWriter, WritesDirectoriesAndGrammarsInOrder) {
  ProjectFile project;
  project.outputDir = "out";
  project.exchangeDir = "x chg";
  project.grammars = {{"b.g", 0, false}, {"sub/a.g", 0, true}};
  std::string text, error;
  ASSERT_TRUE(kiv::WriteProjectText(project, text, error));
  EXPECT_EQ(text,
            "KIV project\r\n"
            "   OutputDir = \"out\"\r\n"
            "   ExchangeDir = \"x chg\"\r\n"
            "   Grammar   = \"b.g\"\r\n"
            "   Grammar   = \"sub/a.g\"\r\n"
            "End\r\n");

  // Reading the text back restores directories and grammar order.
  const ProjectReadResult back = read(text);
  EXPECT_TRUE(back.complete);
  EXPECT_TRUE(back.diagnostics.empty());
  EXPECT_EQ(back.project, project);
  EXPECT_EQ(back.project.grammars[1].line, 5);
}

TEST(ProjectWriter, RefusesTextsThatCannotBeQuoted) {
  std::string text = "unchanged", error;
  ProjectFile quoted;
  quoted.grammars = {{"say \"hi\".g", 0, false}};
  EXPECT_FALSE(kiv::WriteProjectText(quoted, text, error));
  EXPECT_NE(error.find("double quote"), std::string::npos);
  EXPECT_EQ(text, "unchanged");

  ProjectFile quotedDir;
  quotedDir.exchangeDir = "a\"b";
  EXPECT_FALSE(kiv::WriteProjectText(quotedDir, text, error));
  EXPECT_FALSE(kiv::IsStorableText("x\"y"));
  EXPECT_TRUE(kiv::IsStorableText("C:\\grammars\\x.g"));
}

TEST(ProjectReader, AcceptsFreeLayoutCommentsBlanksAndShow) {
  EXPECT_TRUE(read("KIV project End").complete);
  const ProjectReadResult result =
      read("# a project\nKIV\tproject\r\n  OutputDir=\"o\"\r"
           "Grammar = \"a.g\" show\n  # between\nGrammar = \"\"\nEnd trailing ~~~ never read");
  EXPECT_TRUE(result.complete);
  EXPECT_EQ(result.project.outputDir, "o");
  EXPECT_EQ(paths(result.project), (std::vector<std::string>{"a.g", ""}));
  EXPECT_TRUE(result.project.grammars[0].show);
  EXPECT_EQ(result.project.grammars[0].line, 4);
  EXPECT_EQ(result.project.grammars[1].line, 6);
}

TEST(ProjectReader, MalformedFilesKeepWhatWasReadAndSayWhere) {
  // Output directory after the exchange directory: the exchange directory is set, nothing after.
  ProjectReadResult result = read(
      "KIV project\n ExchangeDir = \"x\"\n OutputDir = \"o\"\n Grammar = \"a.g\"\nEnd\n");
  EXPECT_FALSE(result.complete);
  EXPECT_EQ(result.project.exchangeDir, "x");
  EXPECT_EQ(result.project.outputDir, "");
  EXPECT_TRUE(result.project.grammars.empty());
  ASSERT_EQ(result.diagnostics.size(), 1u);
  EXPECT_EQ(result.diagnostics[0].line, 3);
  EXPECT_EQ(kiv::FormatDiagnostic("demo", result.diagnostics[0]),
            "demo(3): Syntax error in project file: unexpected \"OutputDir\"");

  // Keywords are case-sensitive: "end" is an identifier.
  result = read("KIV project\nGrammar = \"a.g\"\nend\n");
  EXPECT_FALSE(result.complete);
  EXPECT_EQ(paths(result.project), std::vector<std::string>{"a.g"});

  // A comment on the last line needs its line end; grammars before it stay.
  result = read("KIV project\nGrammar = \"a.g\"\nGrammar = \"b.g\"\n# no line end");
  EXPECT_FALSE(result.complete);
  EXPECT_EQ(paths(result.project), (std::vector<std::string>{"a.g", "b.g"}));
  ASSERT_EQ(result.diagnostics.size(), 1u);
  EXPECT_NE(result.diagnostics[0].text.find("end of file"), std::string::npos);

  // A character that starts no token, an unterminated string, a missing "End".
  result = read("KIV project\nGrammar = 'a.g'\nEnd\n");
  EXPECT_FALSE(result.complete);
  EXPECT_EQ(result.diagnostics.at(0).line, 2);
  EXPECT_EQ(result.diagnostics.at(0).column, 11);
  EXPECT_FALSE(read("KIV project\nGrammar = \"a.g\nEnd\n").complete);
  EXPECT_FALSE(read("KIV project\nGrammar = \"a.g\"\n").complete);
  EXPECT_FALSE(read("").complete);
  // Digits and underscores are no identifier characters.
  EXPECT_FALSE(read("KIV project2 End").complete);
}

TEST(ProjectLexer, KeywordsIdentifiersAndStrings) {
  std::istringstream input("KIV project OutputDir ExchangeDir Grammar show End = Show \"a b\"");
  auto lexer = kiv::MakeLexer<TqvWsKivProjectLexer>(input);
  std::vector<int> types;
  std::vector<std::string> texts;
  for (IkivTokenPtr token = lexer->NextToken(); token->TokenType() != TT_EOF; token = lexer->NextToken()) {
    types.push_back(token->TokenType());
    texts.push_back(token->TokenText());
  }
  EXPECT_EQ(types, (std::vector<int>{4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
  EXPECT_EQ(texts.back(), "a b");
}

TEST(ProjectPaths, RelativeToTheProjectFolder) {
  const fs::path project = fs::path("/work/p/demo.kvp");
  EXPECT_EQ(kiv::RelativeGrammarPath(project, "/work/p/a.g"), "a.g");
  EXPECT_EQ(kiv::RelativeGrammarPath(project, "/work/p/sub/b.g"), "sub/b.g");
  EXPECT_EQ(kiv::RelativeGrammarPath(project, "/work/q/c.g"), "../q/c.g");
  EXPECT_EQ(kiv::ResolveGrammarPath(project, "sub/b.g"), fs::path("/work/p/sub/b.g"));
  EXPECT_EQ(kiv::ResolveGrammarPath(project, "../q/c.g"), fs::path("/work/q/c.g"));
  EXPECT_EQ(kiv::ResolveGrammarPath(project, "/abs/d.g"), fs::path("/abs/d.g"));
  EXPECT_EQ(kiv::ResolveGrammarPath(project, ""), fs::path());
  // A project written on Windows separates with "\\".
  EXPECT_EQ(kiv::ResolveGrammarPath(project, "sub\\b.g"), fs::path("/work/p/sub/b.g"));
  EXPECT_EQ(kiv::StoredPath("..\\units\\"), fs::path("../units/"));
}

class ProjectFiles : public ::testing::Test {
protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("kiv_project_test_" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder / "sub");
  }
  void TearDown() override { fs::remove_all(folder); }
  fs::path folder;
};

TEST_F(ProjectFiles, WriteReadRoundTripAndMissingGrammars) {
  std::ofstream(folder / "sub" / "a.g") << "lexer grammar";
  ProjectFile project;
  project.outputDir = "units";
  project.grammars = {{"sub/a.g", 0, false}, {"gone.g", 0, false}};
  std::string error;
  const fs::path file = folder / "demo.kvp";
  ASSERT_TRUE(kiv::WriteProjectFile(file, project, error)) << error;

  const ProjectReadResult back = kiv::ReadProjectFile(file);
  EXPECT_TRUE(back.complete);
  EXPECT_EQ(back.project, project);

  const auto missing = kiv::MissingGrammarFiles(file, back.project);
  ASSERT_EQ(missing.size(), 1u);
  EXPECT_EQ(missing[0].text, "Grammar \"gone.g\" doesn't exists");
  EXPECT_EQ(missing[0].line, 4);

  // Only the project file remains in the folder: the temporary file was renamed over it.
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++entries;
  EXPECT_EQ(entries, 2);  // demo.kvp and sub/
}

TEST_F(ProjectFiles, FailedWriteLeavesTheOldFile) {
  const fs::path file = folder / "demo.kvp";
  std::ofstream(file) << "KIV project\r\nEnd\r\n";
  ProjectFile quoted;
  quoted.grammars = {{"a\"b.g", 0, false}};
  std::string error;
  EXPECT_FALSE(kiv::WriteProjectFile(file, quoted, error));
  EXPECT_TRUE(kiv::ReadProjectFile(file).complete);

  // A folder that does not exist cannot take the temporary file.
  EXPECT_FALSE(kiv::WriteProjectFile(folder / "none" / "x.kvp", ProjectFile{}, error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(kiv::ReadProjectFile(folder / "none" / "x.kvp").diagnostics.empty());
}

}  // namespace
