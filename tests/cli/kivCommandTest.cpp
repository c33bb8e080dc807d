// kivCommandTest.cpp - the `kiv` command's arguments, exit codes, directories and project builds.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/kivCommand.h"

namespace fs = std::filesystem;

namespace {

struct CommandResult {
  int exitCode;
  std::string out;
  std::string err;
};

CommandResult Kiv(std::vector<std::string> args) {
  std::ostringstream out, err;
  int code = kiv::RunCommand(args, out, err);
  return {code, out.str(), err.str()};
}

class KivCommand : public ::testing::Test {
protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("kiv_cli_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  fs::path Write(const std::string& name, const std::string& text) {
    fs::path p = dir / name;
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
    return p;
  }

  fs::path dir;
};

TEST_F(KivCommand, HelpAndVersionSucceed) {
  CommandResult help = Kiv({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("kiv build GRAMMAR.g"), std::string::npos);
  CommandResult version = Kiv({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out.rfind("kiv ", 0), 0u);
}

TEST_F(KivCommand, UsageErrorsExitWithTwo) {
  EXPECT_EQ(Kiv({}).exitCode, 2);
  EXPECT_EQ(Kiv({"compile", "a.g"}).exitCode, 2);
  EXPECT_EQ(Kiv({"build"}).exitCode, 2);
  EXPECT_EQ(Kiv({"build", "a.g", "-o"}).exitCode, 2);
  EXPECT_EQ(Kiv({"build", "a.g", "--frobnicate"}).exitCode, 2);
  EXPECT_EQ(Kiv({"build", "a.g", "b.g"}).exitCode, 2);
  CommandResult r = Kiv({"build", "a.g", "-o"});
  EXPECT_NE(r.err.find("-o needs a directory"), std::string::npos);
}

TEST_F(KivCommand, UnreadableGrammarExitsWithTwoAndBuildsNothing) {
  CommandResult missing = Kiv({"build", (dir / "nothere.g").string()});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.err.find("cannot read"), std::string::npos);
  CommandResult folder = Kiv({"build", dir.string()});
  EXPECT_EQ(folder.exitCode, 2);
}

TEST_F(KivCommand, OutputDirectoryThatIsAFileIsRefused) {
  fs::path g = Write("calc.g", "unit calc;\n");
  Write("out", "not a directory");
  CommandResult r = Kiv({"build", g.string(), "-o", (dir / "out").string()});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("is not a directory"), std::string::npos);
}

TEST_F(KivCommand, MalformedProjectIsReportedAndNothingBuilt) {
  fs::path p = Write("p.kvp", "KIV project\n   ExchangeDir = \"x\"\n   OutputDir = \"o\"\nEnd\n");
  CommandResult r = Kiv({"build", p.string()});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("p(3): "), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "o"));
}

TEST_F(KivCommand, ProjectRefusesDirectoryOptions) {
  fs::path p = Write("p.kvp", "KIV project\nEnd\n");
  EXPECT_EQ(Kiv({"build", p.string(), "-o", "x"}).exitCode, 2);
  CommandResult empty = Kiv({"build", p.string()});
  EXPECT_EQ(empty.exitCode, 0);
  EXPECT_NE(empty.out.find("p: the project lists no grammars"), std::string::npos);
}

TEST_F(KivCommand, MissingProjectGrammarIsReportedAndExitsWithTwo) {
  fs::path p = Write("p.kvp", "KIV project\n   Grammar   = \"gone.g\"\nEnd\n");
  CommandResult r = Kiv({"build", p.string()});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("gone.g"), std::string::npos);
}

}  // namespace

namespace {

TEST_F(KivCommand, BuildsAGrammarAndCountsItsDiagnostics) {
  fs::path g = Write("calc.g",
                     "unit calc;\nlexer L;\n"
                     "public A : ('x' 'y' | 'x' 'z') ;\n");  // k = 1 cannot tell the alternatives apart
  CommandResult r = Kiv({"build", g.string(), "-o", (dir / "out").string()});
  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("created directory"), std::string::npos);
  EXPECT_NE(r.out.find("calc(3): lexical nondeterminism between alts 1 and 2 of block in rule \"A\"\n         k=1 'x'\n"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("calc: 0 Error(s), 0 Warning(s)"), std::string::npos);
  EXPECT_TRUE(fs::exists(dir / "out" / "calc.pas"));
  EXPECT_TRUE(fs::exists(dir / "out" / "calcTokens.pas"));
  EXPECT_TRUE(fs::exists(dir / "calcTokens.txt"));  // the exchange directory defaults to the grammar's folder
}

TEST_F(KivCommand, GrammarErrorsExitWithOneAndWriteNothing) {
  fs::path g = Write("bad.g", "unit bad;\nlexer L;\npublic A : 'a' ) ;\n");
  CommandResult r = Kiv({"build", g.string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("bad(3): Unexpected token: )"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("bad: 1 Error(s), 0 Warning(s)"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "bad.pas"));
}

TEST_F(KivCommand, ProjectBuildsInOrderWithDirectoriesFromItsFolder) {
  Write("p/lex.g", "unit lex;\nlexer L;\noptions { exportVocab = V; }\npublic A : 'a' ;\n");
  Write("p/par.g", "unit par;\nparser P;\noptions { importVocab = V; }\nr : A ;\n");
  fs::path p = Write("p/p.kvp",
                     "KIV project\n   OutputDir = \"units\"\n   ExchangeDir = \"\"\n"
                     "   Grammar   = \"lex.g\"\n   Grammar   = \"par.g\"\nEnd\n");
  CommandResult r = Kiv({"build", p.string()});
  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_LT(r.out.find("lex: 0 Error(s)"), r.out.find("par: 0 Error(s)"));
  EXPECT_TRUE(fs::exists(dir / "p" / "units" / "par.pas"));
  EXPECT_TRUE(fs::exists(dir / "p" / "VTokens.txt"));
}

TEST_F(KivCommand, DumpPrintsInsteadOfWriting) {
  fs::path g = Write("d.g", "unit d;\nlexer L;\npublic R : 'a' ('b')* ;\n");
  CommandResult graph = Kiv({"build", g.string(), "--dump=graph"});
  EXPECT_EQ(graph.exitCode, 0) << graph.err;
  EXPECT_NE(graph.out.find("rule R"), std::string::npos) << graph.out;
  CommandResult look = Kiv({"build", g.string(), "--dump=lookahead"});
  EXPECT_EQ(look.exitCode, 0) << look.err;
  EXPECT_NE(look.out.find("loop* line 3"), std::string::npos) << look.out;
  EXPECT_FALSE(fs::exists(dir / "d.pas"));
  EXPECT_FALSE(fs::exists(dir / "dTokens.txt"));
  EXPECT_EQ(Kiv({"build", (dir / "x.kvp").string(), "--dump=graph"}).exitCode, 2);
}

}  // namespace
