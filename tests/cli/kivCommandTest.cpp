// kivCommandTest.cpp - the `kiv` command's arguments, exit codes, directories and project builds.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/kivCommand.h"

#if defined(__linux__)
#include <sys/mount.h>
#endif

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

// A build is all or nothing, and never writes over a file it does not own.
namespace {

const char* const kWords = "unit words;\nlexer TWords;\npublic ID : ('a'..'z')+ ;\npublic WS : ' ' { _ttype := TT_SKIP; } ;\n";

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The files of a folder with their contents.
std::vector<std::pair<std::string, std::string>> Snapshot(const fs::path& folder) {
  std::vector<std::pair<std::string, std::string>> files;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.is_regular_file()) files.emplace_back(entry.path().filename().string(), ReadAll(entry.path()));
  std::sort(files.begin(), files.end());
  return files;
}

TEST_F(KivCommand, AFailedBuildLeavesEveryEarlierOutputAsItWas) {
  const fs::path out = dir / "out";
  fs::path g = Write("words.g", kWords);
  ASSERT_EQ(Kiv({"build", g.string(), "-o", out.string(), "-x", out.string()}).exitCode, 0);
  const auto before = Snapshot(out);
  ASSERT_EQ(before.size(), 3u);
  // An error found while generating (a rule that hides the runtime's mark) used to leave new
  // token files beside the old unit.
  Write("words.g", std::string(kWords) + "public Ark : 'q' ;\npublic NUM : ('0'..'9')+ ;\n");
  CommandResult r = Kiv({"build", g.string(), "-o", out.string(), "-x", out.string()});
  EXPECT_EQ(r.exitCode, 1) << r.out;
  EXPECT_NE(r.out.find("words: 1 Error(s)"), std::string::npos) << r.out;
  EXPECT_EQ(Snapshot(out), before);
}

TEST_F(KivCommand, RefusesToWriteOverItsGrammarOrAFileKivDidNotWrite) {
  fs::path g = Write("gram.pas", "unit gram;\nlexer TGram;\npublic A : 'a' ;\n");
  const std::string grammar = ReadAll(g);
  CommandResult own = Kiv({"build", g.string(), "-o", dir.string(), "-x", dir.string()});
  EXPECT_EQ(own.exitCode, 1);
  EXPECT_NE(own.out.find("gram(1): Refusing to overwrite \"" + (dir / "gram.pas").string() +
                         "\": it is the grammar being built"),
            std::string::npos)
      << own.out;
  EXPECT_EQ(ReadAll(g), grammar);
  EXPECT_FALSE(fs::exists(dir / "gramTokens.txt"));

  fs::path mine = Write("out/utils.pas", "unit utils;\n// written by hand\n");
  fs::path u = Write("utils.g", "unit utils;\nlexer TUtils;\npublic A : 'a' ;\n");
  CommandResult foreign = Kiv({"build", u.string(), "-o", (dir / "out").string()});
  EXPECT_EQ(foreign.exitCode, 1);
  EXPECT_NE(foreign.out.find("utils(1): Refusing to overwrite \"" + mine.string() + "\": it was not generated by KIV"),
            std::string::npos)
      << foreign.out;
  EXPECT_EQ(ReadAll(mine), "unit utils;\n// written by hand\n");
  // A unit KIV wrote is replaced as before.
  fs::remove(mine);
  ASSERT_EQ(Kiv({"build", u.string(), "-o", (dir / "out").string()}).exitCode, 0);
  EXPECT_EQ(Kiv({"build", u.string(), "-o", (dir / "out").string()}).exitCode, 0);
}

TEST_F(KivCommand, ProjectGrammarsThatWouldWriteTheSameFileBuildNothing) {
  Write("p/a.g", "unit a;\nlexer TA;\noptions { exportVocab = V; }\npublic A : 'a' ;\n");
  Write("p/b.g", "unit b;\nlexer TB;\noptions { exportVocab = V; }\npublic B : 'b' ;\n");
  fs::path p = Write("p/p.kvp",
                     "KIV project\n   OutputDir = \"units\"\n   ExchangeDir = \"units\"\n"
                     "   Grammar   = \"a.g\"\n   Grammar   = \"b.g\"\nEnd\n");
  CommandResult r = Kiv({"build", p.string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("b(1): \"" + (dir / "p" / "units" / "VTokens.txt").string() +
                       "\" is written by grammar \"a\" too"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("p: 2 Error(s), nothing was built"), std::string::npos) << r.out;
  EXPECT_FALSE(fs::exists(dir / "p" / "units"));
}

TEST_F(KivCommand, ARunThatStopsWithoutItsOutputsFails) {
  // Lookahead through 20,000 chained rules ends the analysis with a panic: no unit is written,
  // so the run is a failed one.
  fs::path lexer = Write("v.g", "unit v;\nlexer TV;\noptions { exportVocab = V; }\npublic A : 'a' ;\npublic B : 'b' ;\n");
  ASSERT_EQ(Kiv({"build", lexer.string()}).exitCode, 0);
  std::string chain = "unit chain;\nparser TChain;\noptions { importVocab = V; }\n";
  for (int i = 0; i < 20000; ++i) chain += "r" + std::to_string(i) + " : A r" + std::to_string(i + 1) + " ;\n";
  chain += "r20000 : ( B )? ;\n";
  CommandResult r = Kiv({"build", Write("chain.g", chain).string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("Lookahead analysis nested too deeply"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("chain: 1 Error(s), 0 Warning(s)"), std::string::npos) << r.out;
  EXPECT_FALSE(fs::exists(dir / "chain.pas"));
}

#if defined(__linux__)
// On a full disk the temporaries cannot be completed: nothing replaces the earlier outputs, and
// no temporary stays behind. Mounting a small tmpfs needs root; elsewhere the test is skipped.
TEST_F(KivCommand, AFullDiskLeavesTheEarlierOutputsAndNoTemporary) {
  const fs::path disk = dir / "disk";
  fs::create_directories(disk);
  if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=96k") != 0) GTEST_SKIP() << "cannot mount a tmpfs here";
  struct Unmount {
    fs::path path;
    ~Unmount() { ::umount(path.c_str()); }
  } unmount{disk};
  fs::path g = Write("words.g", kWords);
  ASSERT_EQ(Kiv({"build", g.string(), "-o", disk.string(), "-x", disk.string()}).exitCode, 0);
  const auto before = Snapshot(disk);
  {
    // Fill what is left of the disk.
    std::ofstream filler(disk / "filler", std::ios::binary);
    const std::string block(4096, 'x');
    while (filler.write(block.data(), block.size())) {}
  }
  Write("words.g", std::string(kWords) + "public NUM : ('0'..'9')+ ;\n");
  CommandResult r = Kiv({"build", g.string(), "-o", disk.string(), "-x", disk.string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("No space left on device"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("Unexpected exception"), std::string::npos) << r.out;
  fs::remove(disk / "filler");
  EXPECT_EQ(Snapshot(disk), before) << "no temporary is left, and every output is as it was";
  EXPECT_EQ(Kiv({"build", g.string(), "-o", disk.string(), "-x", disk.string()}).exitCode, 0);
}
#endif

}  // namespace

// What IDEs and build systems rely on: diagnostics they can jump to, quiet runs, warnings that
// fail, depfiles, standard input.
namespace {

const char* const kAmbiguous = "unit amb;\nlexer TAmb;\npublic A : ('x' 'y' | 'x' 'z') ;\npublic B : 'b' ;\n";

TEST_F(KivCommand, DiagnosticsInTheFormsOfFreePascalAndGnu) {
  fs::path g = Write("sub/amb.g", std::string(kAmbiguous) + "public C : D ;\n");
  CommandResult fpc = Kiv({"build", g.string(), "--diagnostics=fpc"});
  EXPECT_EQ(fpc.exitCode, 1);
  // The lookahead lines stay with their headline; the path is the one given.
  EXPECT_NE(fpc.out.find(g.string() + "(3,12) Warning: lexical nondeterminism between alts 1 and 2 of block in "
                                      "rule \"A\"\n         k=1 'x'\n"),
            std::string::npos)
      << fpc.out;
  EXPECT_NE(fpc.out.find(g.string() + "(5,12) Error: Rule \"D\" is not defined.\n"), std::string::npos) << fpc.out;
  EXPECT_NE(fpc.out.find("amb: 4 Error(s), 0 Warning(s)\n"), std::string::npos) << "the summary stays";
  CommandResult gnu = Kiv({"build", g.string(), "--diagnostics", "gnu"});
  EXPECT_NE(gnu.out.find(g.string() + ":3:12: warning: lexical nondeterminism"), std::string::npos) << gnu.out;
  EXPECT_NE(gnu.out.find(g.string() + ":5:12: error: Rule \"D\" is not defined.\n"), std::string::npos) << gnu.out;
  EXPECT_EQ(Kiv({"build", g.string(), "--diagnostics=msvc"}).exitCode, 2);
}

TEST_F(KivCommand, QuietRunsAndWarningsAsErrors) {
  fs::path g = Write("amb.g", kAmbiguous);
  CommandResult quiet = Kiv({"build", g.string(), "-q", "-o=" + (dir / "q").string()});
  EXPECT_EQ(quiet.exitCode, 0);
  EXPECT_EQ(quiet.out, "") << "nothing on success";
  EXPECT_TRUE(fs::exists(dir / "q" / "amb.pas"));
  CommandResult strict = Kiv({"build", g.string(), "--warnings-as-errors", "--output=" + (dir / "s").string()});
  EXPECT_EQ(strict.exitCode, 1) << "a nondeterminism report fails the build";
  EXPECT_NE(strict.out.find("amb: 0 Error(s), 0 Warning(s)"), std::string::npos) << strict.out;
  CommandResult both = Kiv({"build", g.string(), "-q", "--warnings-as-errors"});
  EXPECT_EQ(both.exitCode, 1);
  EXPECT_NE(both.out.find("amb(3): lexical nondeterminism"), std::string::npos) << "failing warnings are shown";
  EXPECT_EQ(both.out.find("Error(s)"), std::string::npos) << both.out;
}

TEST_F(KivCommand, DepfileNamesTheWrittenFilesAndWhatTheyDependOn) {
  Write("lex.g", "unit lex;\nlexer TLex;\noptions { exportVocab = V; }\npublic A : 'a' ;\n");
  ASSERT_EQ(Kiv({"build", (dir / "lex.g").string()}).exitCode, 0);
  fs::path g = Write("my par.g", "unit par;\nparser TPar;\noptions { importVocab = V; }\nr : A ;\n");
  const fs::path depfile = dir / "par.d";
  CommandResult r = Kiv({"build", g.string(), "-o", (dir / "out").string(), "--depfile=" + depfile.string()});
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  const std::string escaped = (dir / "my\\ par.g").string();
  EXPECT_EQ(ReadAll(depfile), (dir / "out" / "par.pas").string() + " " + (dir / "out" / "parTokens.pas").string() +
                                  " " + (dir / "parTokens.txt").string() + ": " + escaped + " " +
                                  (dir / "VTokens.txt").string() + "\n");
  EXPECT_EQ(Kiv({"build", g.string(), "--dump=graph", "--depfile=x.d"}).exitCode, 2);
}

TEST_F(KivCommand, AGrammarFromStandardInputAndTheEndOfOptions) {
  std::istringstream in("unit piped;\nlexer TPiped;\npublic A : 'a' ;\n");
  std::ostringstream out, err;
  const int code = kiv::RunCommand({"build", "--name=pipe", "-o", (dir / "o").string(), "-x", (dir / "o").string(),
                                    "--", "-"},
                                   in, out, err);
  EXPECT_EQ(code, 0) << out.str() << err.str();
  EXPECT_NE(out.str().find("pipe: 0 Error(s), 0 Warning(s)"), std::string::npos) << out.str();
  EXPECT_TRUE(fs::exists(dir / "o" / "piped.pas"));
  EXPECT_NE(ReadAll(dir / "o" / "piped.pas").find("// Grammar:     pipe\r\n"), std::string::npos);
  EXPECT_EQ(Kiv({"build", "a.g", "--name=x"}).exitCode, 2) << "--name is for standard input only";
}

TEST_F(KivCommand, VersionNamesTheGeneratorAndTheRuntimeFolderIsFound) {
  CommandResult v = Kiv({"-V"});
  EXPECT_NE(v.out.find("generator version 1.0.1.0d"), std::string::npos) << v.out;
  CommandResult runtime = Kiv({"--print-runtime-dir"});
  ASSERT_EQ(runtime.exitCode, 0) << runtime.err;
  std::string folder = runtime.out;
  folder.pop_back();
  EXPECT_TRUE(fs::is_regular_file(fs::path(folder) / "kivLexer.pas")) << folder;
  CommandResult help = Kiv({"build", "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("--warnings-as-errors"), std::string::npos);
}

}  // namespace
