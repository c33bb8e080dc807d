// kivRandomMain.cpp - kiv_random_grammars: generates seeded random grammar pairs, builds them with
// kiv, compiles every pair kiv accepts with fpc into one driver per batch, and runs the driver over
// inputs drawn from the grammars and over random bytes and token types.
//
// A seed fails when kiv crashes or hangs on its grammars, when a unit that kiv wrote without an
// error does not compile, or when a run of its recognizers ends with anything but its normal end
// or a recognition exception (EkivException and its descendants, EkivSemantic among them): an
// access violation, a range or overflow check, a fault the driver finds (see kivRandomDriver), a
// run over the time limit or a leak. Each failure prints the seed and keeps the seed's files in
// WORK/failures/seed-N. See README.md.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/random/kivRandomAgreement.h"
#include "tests/random/kivRandomDriver.h"
#include "tests/random/kivRandomGrammar.h"
#include "tests/random/kivRandomSentence.h"

namespace fs = std::filesystem;
using namespace kiv::rnd;

namespace {

struct Options {
  std::uint64_t First = 1;
  int Count = 100;
  int Batch = 40;
  int Jobs = 2;
  std::string Kiv;
  std::string Fpc = "fpc";
  std::string Runtime;
  std::string Work = "random-work";
  bool Keep = false;  // keep the batch directories of passing batches
  int Agreement = 1;  // --agreement N: every N-th seed is run by the test rig too (0: none)
  bool Optimized = false;  // --optimized: the optimized form must behave as the default form
};

// ---------------------------------------------------------------------------------------------
// Processes
// ---------------------------------------------------------------------------------------------

struct ProcessResult {
  int ExitCode = -1;   // when the process exited
  int Signal = 0;      // when a signal ended it
  bool TimedOut = false;
};

// The program's path: as given when it holds a slash, else found on PATH.
std::string ProgramPath(const std::string& Program) {
  if (Program.find('/') != std::string::npos) return Program;
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path != nullptr ? path : "/usr/bin:/bin");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    const std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + Program;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return Program;
}

// Runs a program with its output in OutFile; kills it (and its children) after TimeoutSeconds.
// Everything the child needs is prepared before fork, since other threads run too.
ProcessResult RunProcess(const std::vector<std::string>& Argv, const std::string& Dir, const std::string& OutFile,
                         int TimeoutSeconds, const std::vector<std::string>& Env = {}) {
  ProcessResult result;
  const std::string program = ProgramPath(Argv.front());
  std::vector<char*> args;
  for (const std::string& a : Argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  std::vector<std::string> environment;
  for (char** e = environ; *e != nullptr; ++e) environment.emplace_back(*e);
  for (const std::string& e : Env) environment.push_back(e);
  std::vector<char*> envp;
  for (const std::string& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);

  const pid_t pid = fork();
  if (pid < 0) return result;
  if (pid == 0) {
    setpgid(0, 0);
    if (!Dir.empty() && chdir(Dir.c_str()) != 0) _exit(127);
    const int fd = open(OutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
      dup2(fd, 1);
      dup2(fd, 2);
      close(fd);
    }
    execve(program.c_str(), args.data(), envp.data());
    _exit(127);
  }
  const auto start = std::chrono::steady_clock::now();
  int status = 0;
  while (true) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (std::chrono::steady_clock::now() - start > std::chrono::seconds(TimeoutSeconds)) {
      kill(-pid, SIGKILL);
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      result.TimedOut = true;
      return result;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (WIFEXITED(status)) result.ExitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.Signal = WTERMSIG(status);
  return result;
}

std::string ReadFile(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& Path, const std::string& Text) {
  std::ofstream out(Path, std::ios::binary);
  out << Text;
}

std::string FirstLines(const std::string& Text, int Count) {
  std::istringstream in(Text);
  std::string line;
  std::string out;
  for (int i = 0; i < Count && std::getline(in, line); ++i) out += "    " + line + "\n";
  return out;
}

// ---------------------------------------------------------------------------------------------
// Results
// ---------------------------------------------------------------------------------------------

struct Failure {
  std::uint64_t Seed = 0;
  std::string What;
};

struct Totals {
  int Seeds = 0;
  int LexersBuilt = 0;
  int LexersRejected = 0;
  int ParsersBuilt = 0;
  int ParsersRejected = 0;
  int Cases = 0;
  std::size_t OptimizedCompared = 0;
  std::map<std::string, int> Outcomes;  // ok / budget with the exception class
  std::map<std::string, int> Rejections;  // first error message of rejected grammars
  std::vector<Failure> Failures;
  AgreementTotals Agreement;
};

std::mutex gLock;

// The first error among the diagnostics kiv printed: a positioned line that is none of the
// warnings a random grammar gets.
std::string FirstError(const std::string& Output) {
  static const char* const warnings[] = {"nondeterminism", "Empty alternative", "Being nongreedy",
                                         "Syntactic predicate", "Optional path", "has no return value",
                                         "accepts no arguments", "Did you forget", "Illegal option",
                                         "is invalid for lexer"};
  std::istringstream in(Output);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find("): ") == std::string::npos || line.find(" Error(s), ") != std::string::npos) continue;
    bool warning = false;
    for (const char* w : warnings) warning = warning || line.find(w) != std::string::npos;
    if (!warning) return line;
  }
  return "(no positioned error)";
}

// The message of a diagnostic line "name(line): text", without name and line.
std::string DiagnosticText(const std::string& Line) {
  const std::size_t at = Line.find("): ");
  std::string text = at == std::string::npos ? Line : Line.substr(at + 3);
  // Names and numbers vary; keep the kind of message.
  text = std::regex_replace(text, std::regex("\"[^\"]*\""), "\"...\"");
  return text;
}

// ---------------------------------------------------------------------------------------------
// One batch
// ---------------------------------------------------------------------------------------------

struct SeedState {
  std::uint64_t Seed = 0;
  Grammar Lexer;
  Grammar Parser;
  std::vector<VocabularyToken> Vocabulary;
  bool LexerBuilt = false;
  bool ParserBuilt = false;
  bool Failed = false;
  std::vector<std::string> Problems;
};

class BatchRun {
 public:
  BatchRun(const Options& O, std::uint64_t First, int Count, Totals& T)
      : fOptions(O), fFirst(First), fCount(Count), fTotals(T) {
    fDir = (fs::path(O.Work) / ("batch-" + std::to_string(First))).string();
  }
  void Run();

 private:
  void BuildGrammars();
  bool Compile();
  void MakeCases();
  void RunDriver();
  void CompareWithTestRig();
  void CompareOptimized();
  void Fail(SeedState& S, const std::string& What);
  void KeepFiles(const SeedState& S);
  SeedState* StateOf(std::uint64_t Seed);

  const Options& fOptions;
  std::uint64_t fFirst;
  int fCount;
  Totals& fTotals;
  std::string fDir;
  std::vector<SeedState> fSeeds;
  std::vector<DriverGrammar> fGrammars;  // what the driver holds
  std::vector<std::size_t> fGrammarSeeds;  // index into fSeeds per driver grammar
  std::vector<Case> fCases;
};

SeedState* BatchRun::StateOf(std::uint64_t Seed) {
  for (SeedState& s : fSeeds)
    if (s.Seed == Seed) return &s;
  return nullptr;
}

void BatchRun::KeepFiles(const SeedState& S) {
  const fs::path keep = fs::path(fOptions.Work) / "failures" / ("seed-" + std::to_string(S.Seed));
  std::error_code ec;
  fs::create_directories(keep, ec);
  const std::string stem = "R" + std::to_string(S.Seed);
  for (const auto& entry : fs::directory_iterator(fDir, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(stem + "Lex", 0) == 0 || name.rfind(stem + "Par", 0) == 0 || name.rfind(stem + "Voc", 0) == 0)
      fs::copy_file(entry.path(), keep / name, fs::copy_options::overwrite_existing, ec);
  }
  std::string report;
  for (const std::string& p : S.Problems) report += p + "\n";
  report += "\nReproduce: kiv_random_grammars --first " + std::to_string(S.Seed) +
            " --count 1 --kiv KIV --runtime RUNTIME_DIR --work DIR\n"
            "       or: scripts/random-grammars.sh " + std::to_string(S.Seed) + " 1\n";
  WriteFile((keep / "failure.txt").string(), report);
}

void BatchRun::Fail(SeedState& S, const std::string& What) {
  S.Failed = true;
  S.Problems.push_back(What);
  {
    std::lock_guard<std::mutex> guard(gLock);
    fTotals.Failures.push_back({S.Seed, What});
    std::cout << "FAIL seed " << S.Seed << ": " << What << std::endl;
  }
  KeepFiles(S);
}

void BatchRun::BuildGrammars() {
  for (int i = 0; i < fCount; ++i) {
    SeedState s;
    s.Seed = fFirst + static_cast<std::uint64_t>(i);
    fSeeds.push_back(std::move(s));
  }
  for (SeedState& s : fSeeds) {
    const std::string stem = "R" + std::to_string(s.Seed);
    s.Lexer = GenerateLexer(s.Seed);
    const std::string lexerFile = s.Lexer.Unit + ".g";
    WriteFile((fs::path(fDir) / lexerFile).string(), GrammarText(s.Lexer, "random lexer grammar, seed " + std::to_string(s.Seed)));
    const std::string log = (fs::path(fDir) / (stem + "Lex.log")).string();
    ProcessResult r = RunProcess({fOptions.Kiv, "build", lexerFile, "-o", ".", "-x", "."}, fDir, log, 60);
    if (r.TimedOut || r.Signal != 0 || (r.ExitCode != 0 && r.ExitCode != 1)) {
      Fail(s, "kiv on the lexer grammar: " +
                  std::string(r.TimedOut ? "no end in 60 s" : r.Signal ? "signal " + std::to_string(r.Signal)
                                                                      : "exit " + std::to_string(r.ExitCode)) +
                  "\n" + FirstLines(ReadFile(log), 10));
      continue;
    }
    if (r.ExitCode == 1) {
      std::lock_guard<std::mutex> guard(gLock);
      ++fTotals.LexersRejected;
      ++fTotals.Rejections["lexer: " + DiagnosticText(FirstError(ReadFile(log)))];
      continue;
    }
    s.LexerBuilt = true;
    if (!ReadVocabulary((fs::path(fDir) / (VocabularyName(s.Seed) + "Tokens.txt")).string(), s.Vocabulary)) {
      Fail(s, "no vocabulary file " + VocabularyName(s.Seed) + "Tokens.txt");
      continue;
    }

    s.Parser = GenerateParser(s.Seed, s.Lexer, s.Vocabulary);
    const std::string parserFile = s.Parser.Unit + ".g";
    WriteFile((fs::path(fDir) / parserFile).string(), GrammarText(s.Parser, "random parser grammar, seed " + std::to_string(s.Seed)));
    const std::string plog = (fs::path(fDir) / (stem + "Par.log")).string();
    r = RunProcess({fOptions.Kiv, "build", parserFile, "-o", ".", "-x", "."}, fDir, plog, 60);
    if (r.TimedOut || r.Signal != 0 || (r.ExitCode != 0 && r.ExitCode != 1)) {
      Fail(s, "kiv on the parser grammar: " +
                  std::string(r.TimedOut ? "no end in 60 s" : r.Signal ? "signal " + std::to_string(r.Signal)
                                                                      : "exit " + std::to_string(r.ExitCode)) +
                  "\n" + FirstLines(ReadFile(plog), 10));
      continue;
    }
    const std::string parserLog = ReadFile(plog);
    if (parserLog.find("Cannot import") != std::string::npos) {
      // The vocabulary file comes from kiv itself: it must read back whole.
      Fail(s, "the parser cannot import the vocabulary kiv wrote for the lexer:\n" + FirstLines(parserLog, 3));
      continue;
    }
    if (r.ExitCode == 1) {
      std::lock_guard<std::mutex> guard(gLock);
      ++fTotals.ParsersRejected;
      ++fTotals.Rejections["parser: " + DiagnosticText(FirstError(parserLog))];
      continue;
    }
    s.ParserBuilt = true;
  }
  std::lock_guard<std::mutex> guard(gLock);
  for (const SeedState& s : fSeeds) {
    fTotals.Seeds++;
    if (s.LexerBuilt) fTotals.LexersBuilt++;
    if (s.ParserBuilt) fTotals.ParsersBuilt++;
  }
}

// Compiles the driver with every unit that kiv wrote. A unit that does not compile fails its seed
// and leaves the driver; the rest is compiled again.
bool BatchRun::Compile() {
  const fs::path units = fs::path(fDir) / "units";
  std::error_code ec;
  fs::create_directories(units, ec);
  for (int attempt = 0; attempt < 2 * fCount + 2; ++attempt) {
    fGrammars.clear();
    fGrammarSeeds.clear();
    for (std::size_t i = 0; i < fSeeds.size(); ++i) {
      const SeedState& s = fSeeds[i];
      if (!s.LexerBuilt || s.Failed) continue;
      DriverGrammar g;
      g.Seed = s.Seed;
      g.LexerUnit = s.Lexer.Unit;
      g.LexerClass = s.Lexer.ClassName;
      if (s.ParserBuilt) {
        g.ParserUnit = s.Parser.Unit;
        g.ParserClass = s.Parser.ClassName;
        g.ParserK = s.Parser.K;
        g.Entries = s.Parser.Entries;
      }
      fGrammars.push_back(g);
      fGrammarSeeds.push_back(i);
    }
    if (fGrammars.empty()) return false;
    WriteFile((fs::path(fDir) / "KrDrive.pas").string(), DriverSource(fGrammars));
    const std::string log = (fs::path(fDir) / "fpc.log").string();
    const ProcessResult r = RunProcess({fOptions.Fpc, "-Mdelphi", "-Cr", "-Co", "-gh", "-gl", "-gt", "-vewn", "-Fu" + fOptions.Runtime,
                                        "-Fu.", "-FUunits", "-FE.", "KrDrive.pas"},
                                       fDir, log, 600);
    if (r.ExitCode == 0) return true;
    const std::string output = ReadFile(log);
    // "R12Lex.pas(10,3) Error: ..." names the unit; a unit's token-types unit belongs to it too.
    static const std::regex errorLine(R"((R(\d+)(Lex|Par|Voc)\w*\.pas)\((\d+),(\d+)\) (Error|Fatal): (.*))");
    std::smatch m;
    std::istringstream in(output);
    std::string line;
    bool blamed = false;
    while (std::getline(in, line)) {
      if (!std::regex_search(line, m, errorLine)) continue;
      SeedState* s = StateOf(std::stoull(m[2].str()));
      if (s == nullptr || s->Failed) continue;
      const bool parser = m[3].str() == "Par";
      if (parser && s->LexerBuilt) {
        // The lexer of the seed may still run alone.
        s->ParserBuilt = false;
        s->Problems.push_back("does not compile: " + line);
        {
          std::lock_guard<std::mutex> guard(gLock);
          fTotals.Failures.push_back({s->Seed, "does not compile: " + line});
          std::cout << "FAIL seed " << s->Seed << ": does not compile: " << line << std::endl;
        }
        KeepFiles(*s);
      } else {
        Fail(*s, "does not compile: " + line);
      }
      blamed = true;
      break;
    }
    if (!blamed) {
      std::lock_guard<std::mutex> guard(gLock);
      std::cout << "FAIL batch " << fFirst << ": the driver does not compile:\n" << FirstLines(output, 30) << std::endl;
      fTotals.Failures.push_back({fFirst, "driver does not compile"});
      return false;
    }
  }
  return false;
}

void BatchRun::MakeCases() {
  for (std::size_t gi = 0; gi < fGrammars.size(); ++gi) {
    const DriverGrammar& dg = fGrammars[gi];
    SeedState& s = fSeeds[fGrammarSeeds[gi]];
    Random random(s.Seed * 7919 + 17);
    LexerSampler lexer(s.Lexer, random);
    auto add = [&](CaseKind kind, int entry, std::string text, std::vector<int> types, const std::string& origin) {
      Case c;
      c.Kind = kind;
      c.Grammar = static_cast<int>(gi);
      c.Entry = entry;
      c.Seed = random.Between(0, 999);
      // The walks stop near the limits of note [input sizes]; loops, concatenation and mutation
      // may go past them.
      std::size_t textLimit = MaxText(s.Lexer);
      if (kind == CaseKind::Combined && !dg.ParserUnit.empty()) textLimit = std::min(textLimit, 3 * MaxTokens(s.Parser));
      if (text.size() > textLimit) text.resize(textLimit);
      if (!dg.ParserUnit.empty() && types.size() > MaxTokens(s.Parser)) types.resize(MaxTokens(s.Parser));
      c.Text = std::move(text);
      c.Types = std::move(types);
      c.Origin = origin;
      fCases.push_back(std::move(c));
    };
    for (int i = 0; i < 8; ++i) {
      std::string text = lexer.Text();
      std::string origin = "sentence";
      if (i >= 5) {
        MutateText(text, random);
        origin = "mutated";
      }
      add(CaseKind::LexerText, 0, text, {}, origin);
    }
    for (int i = 0; i < 3; ++i) add(CaseKind::LexerText, 0, lexer.Bytes(), {}, "random");
    if (dg.ParserUnit.empty()) continue;

    ParserSampler parser(s.Parser, s.Vocabulary, random);
    const int entries = static_cast<int>(dg.Entries.size());
    for (int i = 0; i < 10; ++i) {
      const int entry = i < 6 ? 0 : random.Below(entries);
      std::vector<int> types = parser.Sentence(dg.Entries[static_cast<std::size_t>(entry)]);
      std::string origin = "sentence";
      if (i % 3 == 2) {
        parser.Mutate(types);
        origin = "mutated";
      }
      add(CaseKind::ParserTokens, entry, "", types, origin);
    }
    for (int i = 0; i < 3; ++i) add(CaseKind::ParserTokens, random.Below(entries), "", parser.RandomTypes(), "random");
    for (int i = 0; i < 5; ++i) {
      const int entry = i < 3 ? 0 : random.Below(entries);
      // The tokens of a sentence written out by the lexer's rules.
      std::string text;
      const bool blanks = s.Lexer.FindRule("WS") != nullptr && s.Lexer.FindRule("WS")->IsToken();
      for (const int t : parser.Sentence(dg.Entries[static_cast<std::size_t>(entry)])) {
        std::string name = parser.NameOf(t);
        if (name.empty()) continue;
        if (!text.empty() && blanks) text += ' ';
        if (name.front() == '"')
          text += name.substr(1, name.size() - 2);
        else
          text += lexer.Token(name);
      }
      std::string origin = "sentence";
      if (i == 4) {
        MutateText(text, random);
        origin = "mutated";
      }
      add(CaseKind::Combined, entry, text, {}, origin);
    }
    add(CaseKind::Combined, random.Below(entries), lexer.Bytes(), {}, "random");
  }
  std::string lines;
  for (const Case& c : fCases) lines += CaseLine(c) + "\n";
  WriteFile((fs::path(fDir) / "cases.txt").string(), lines);
}

void BatchRun::RunDriver() {
  std::size_t start = 0;
  int round = 0;
  while (start < fCases.size()) {
    const std::string out = (fs::path(fDir) / ("drive-" + std::to_string(round) + ".out")).string();
    const std::string heap = (fs::path(fDir) / ("heap-" + std::to_string(round) + ".log")).string();
    ++round;
    fs::remove(heap);
    const ProcessResult r = RunProcess({"./KrDrive", "cases.txt", std::to_string(start)}, fDir, out, 1800,
                                       {"HEAPTRC=log=" + heap});
    std::istringstream in(ReadFile(out));
    std::string line;
    long running = -1;
    bool done = false;
    while (std::getline(in, line)) {
      if (line.rfind("RUN ", 0) == 0) {
        running = std::stol(line.substr(4));
      } else if (line.rfind("END ", 0) == 0) {
        std::istringstream fields(line.substr(4));
        long index = 0;
        fields >> index;
        std::string outcome;
        std::getline(fields, outcome);
        if (!outcome.empty() && outcome.front() == ' ') outcome.erase(0, 1);
        running = -1;
        const Case& c = fCases[static_cast<std::size_t>(index)];
        SeedState& s = fSeeds[fGrammarSeeds[static_cast<std::size_t>(c.Grammar)]];
        if (outcome.rfind("FAIL", 0) == 0) {
          Fail(s, outcome.substr(5) + "\n  case: " + CaseDescription(c, fGrammars) + "\n  line " + std::to_string(index) +
                      " of cases.txt: " + CaseLine(c));
          WriteFile((fs::path(fOptions.Work) / "failures" / ("seed-" + std::to_string(s.Seed)) / "case.txt").string(),
                    CaseLine(c) + "\n");
        } else {
          std::lock_guard<std::mutex> guard(gLock);
          ++fTotals.Cases;
          ++fTotals.Outcomes[outcome];
        }
        start = static_cast<std::size_t>(index) + 1;
      } else if (line == "DONE") {
        done = true;
      }
    }
    if (done) {
      // Everything the driver took must be given back at its end too.
      const std::string report = ReadFile(heap);
      if (report.find("\n0 unfreed memory blocks") == std::string::npos && report.rfind("0 unfreed memory blocks", 0) != 0) {
        std::lock_guard<std::mutex> guard(gLock);
        std::cout << "FAIL batch " << fFirst << ": the driver leaks memory:\n" << FirstLines(report, 20) << std::endl;
        fTotals.Failures.push_back({fFirst, "driver leaks memory"});
      }
      return;
    }
    if (running < 0) {
      std::lock_guard<std::mutex> guard(gLock);
      std::cout << "FAIL batch " << fFirst << ": the driver ended between cases (exit " << r.ExitCode << ", signal "
                << r.Signal << ")\n" << FirstLines(ReadFile(out), 20) << std::endl;
      fTotals.Failures.push_back({fFirst, "driver ended between cases"});
      return;
    }
    // The case that was running ended the driver.
    const Case& c = fCases[static_cast<std::size_t>(running)];
    SeedState& s = fSeeds[fGrammarSeeds[static_cast<std::size_t>(c.Grammar)]];
    std::string what;
    if (r.TimedOut || r.ExitCode == 124)
      what = "no end within the time limit (endless loop)";
    else if (r.Signal != 0)
      what = "crash with signal " + std::to_string(r.Signal);
    else
      what = "the program ended with exit code " + std::to_string(r.ExitCode);
    const std::string tail = ReadFile(out);
    Fail(s, what + "\n  case: " + CaseDescription(c, fGrammars) + "\n  line " + std::to_string(running) +
                " of cases.txt: " + CaseLine(c) + "\n  output:\n" +
                FirstLines(tail.substr(tail.size() > 2000 ? tail.size() - 2000 : 0), 30));
    WriteFile((fs::path(fOptions.Work) / "failures" / ("seed-" + std::to_string(s.Seed)) / "case.txt").string(),
              CaseLine(c) + "\n");
    start = static_cast<std::size_t>(running) + 1;
  }
}

// The test rig must end every run of the chosen seeds as the compiled recognizers do.
void BatchRun::CompareWithTestRig() {
  std::vector<AgreementGrammar> grammars(fGrammars.size());
  for (std::size_t gi = 0; gi < fGrammars.size(); ++gi) {
    const SeedState& s = fSeeds[fGrammarSeeds[gi]];
    if (s.Failed || s.Seed % static_cast<std::uint64_t>(fOptions.Agreement) != 0) continue;
    grammars[gi] = {s.Seed, &s.Lexer, s.ParserBuilt ? &s.Parser : nullptr, s.Lexer.Unit + ".g", s.Parser.Unit + ".g"};
  }
  AgreementTotals totals;
  for (const AgreementFailure& f : CheckAgreement({fDir, fOptions.Fpc, fOptions.Runtime}, fGrammars, grammars, fCases, totals)) {
    if (f.Grammar < fGrammars.size()) {
      Fail(fSeeds[fGrammarSeeds[f.Grammar]], f.What);
    } else {
      std::lock_guard<std::mutex> guard(gLock);
      std::cout << "FAIL batch " << fFirst << ": " << f.What << std::endl;
      fTotals.Failures.push_back({fFirst, "agreement driver"});
    }
  }
  std::lock_guard<std::mutex> guard(gLock);
  fTotals.Agreement.Add(totals);
}

// The runs of one driver output, by case index: the lines from RUN to END.
std::map<long, std::string> RunsOf(const std::string& Output) {
  std::map<long, std::string> runs;
  std::istringstream in(Output);
  std::string line;
  long index = -1;
  while (std::getline(in, line)) {
    if (line.rfind("RUN ", 0) == 0) index = std::stol(line.substr(4));
    if (index >= 0) runs[index] += line + "\n";
    if (line.rfind("END ", 0) == 0) index = -1;
  }
  return runs;
}

// Builds the grammars of the driver again with --optimize into optimized/, compiles the same
// driver with them and runs it over the same cases: kiv must print the same for each grammar and
// every run must print the same as with the default form.
void BatchRun::CompareOptimized() {
  const fs::path dir = fs::path(fDir) / "optimized";
  std::error_code ec;
  fs::create_directories(dir / "units", ec);
  std::set<std::uint64_t> failed;
  auto fail = [&](SeedState& s, const std::string& what) {
    if (failed.insert(s.Seed).second) Fail(s, "optimized form: " + what);
  };
  for (std::size_t gi = 0; gi < fGrammars.size(); ++gi) {
    SeedState& s = fSeeds[fGrammarSeeds[gi]];
    const std::string stem = "R" + std::to_string(s.Seed);
    std::vector<std::pair<std::string, std::string>> builds = {{s.Lexer.Unit + ".g", stem + "Lex.log"}};
    if (!fGrammars[gi].ParserUnit.empty()) builds.push_back({s.Parser.Unit + ".g", stem + "Par.log"});
    for (const auto& [grammar, log] : builds) {
      const std::string optimizedLog = (dir / log).string();
      RunProcess({fOptions.Kiv, "build", grammar, "-o", "optimized", "-x", "optimized", "--optimize"}, fDir, optimizedLog, 60);
      if (ReadFile(optimizedLog) != ReadFile((fs::path(fDir) / log).string()))
        fail(s, "kiv prints otherwise for " + grammar + ":\n" + FirstLines(ReadFile(optimizedLog), 10));
    }
  }
  fs::copy_file(fs::path(fDir) / "KrDrive.pas", dir / "KrDrive.pas", fs::copy_options::overwrite_existing, ec);
  const std::string log = (dir / "fpc.log").string();
  const ProcessResult r = RunProcess({fOptions.Fpc, "-Mdelphi", "-Cr", "-Co", "-gh", "-gl", "-gt", "-vewn", "-Fu" + fOptions.Runtime,
                                      "-Fu.", "-FUunits", "-FE.", "KrDrive.pas"},
                                     dir.string(), log, 600);
  if (r.ExitCode != 0) {
    const std::string output = ReadFile(log);
    static const std::regex errorLine(R"(R(\d+)(Lex|Par|Voc)\w*\.pas\(\d+,\d+\) (Error|Fatal): .*)");
    std::smatch m;
    SeedState* s = std::regex_search(output, m, errorLine) ? StateOf(std::stoull(m[1].str())) : nullptr;
    if (s != nullptr) {
      fail(*s, "does not compile: " + m[0].str());
    } else {
      std::lock_guard<std::mutex> guard(gLock);
      std::cout << "FAIL batch " << fFirst << ": the optimized driver does not compile:\n" << FirstLines(output, 30) << std::endl;
      fTotals.Failures.push_back({fFirst, "optimized driver does not compile"});
    }
    return;
  }
  // Only a default run that went through in one round is compared (a crash starts a new round).
  const std::string defaultOut = ReadFile((fs::path(fDir) / "drive-0.out").string());
  if (defaultOut.find("\nDONE") == std::string::npos) return;
  const std::string out = (dir / "drive.out").string();
  const std::string heap = (dir / "heap.log").string();
  RunProcess({"./KrDrive", (fs::path(fDir) / "cases.txt").string()}, dir.string(), out, 1800, {"HEAPTRC=log=" + heap});
  const std::map<long, std::string> expected = RunsOf(defaultOut);
  const std::map<long, std::string> actual = RunsOf(ReadFile(out));
  for (const auto& [index, text] : expected) {
    const auto found = actual.find(index);
    const std::string got = found == actual.end() ? std::string("(no run)\n") : found->second;
    if (got == text) continue;
    const Case& c = fCases[static_cast<std::size_t>(index)];
    fail(fSeeds[fGrammarSeeds[static_cast<std::size_t>(c.Grammar)]],
         "a run differs\n  case: " + CaseDescription(c, fGrammars) + "\n  line " + std::to_string(index) +
             " of cases.txt: " + CaseLine(c) + "\n  default:\n" + FirstLines(text, 20) + "  optimized:\n" +
             FirstLines(got, 20));
  }
  std::lock_guard<std::mutex> guard(gLock);
  fTotals.OptimizedCompared += expected.size();
}

void BatchRun::Run() {
  std::error_code ec;
  fs::remove_all(fDir, ec);
  fs::create_directories(fDir, ec);
  BuildGrammars();
  if (Compile()) {
    MakeCases();
    RunDriver();
    if (fOptions.Agreement > 0) CompareWithTestRig();
    if (fOptions.Optimized) CompareOptimized();
  }
  bool failed = false;
  for (const SeedState& s : fSeeds) failed = failed || !s.Problems.empty();
  if (!failed && !fOptions.Keep) fs::remove_all(fDir, ec);
}

// ---------------------------------------------------------------------------------------------
// Command line
// ---------------------------------------------------------------------------------------------

void Usage() {
  std::cerr << "Usage: kiv_random_grammars --kiv KIV --runtime RUNTIME_DIR [--fpc FPC] [--work DIR]\n"
               "                           [--first SEED] [--count N] [--batch N] [--jobs N] [--keep] [--optimized]\n"
               "                           [--agreement N]\n"
               "Generates N random grammar pairs from SEED on, builds them with kiv, compiles what kiv accepts\n"
               "with fpc and runs it over random inputs. Exit status 1 when some seed failed; its files are\n"
               "kept in DIR/failures/seed-N. With --optimized every grammar is built with --optimize too and\n"
               "every run must print the same in both forms. The test rig runs the same cases in process and\n"
               "must give the same tokens and errors: for every seed, or every N-th with --agreement N (0: none).\n";
}

bool ParseOptions(int argc, char** argv, Options& O) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) throw std::runtime_error("missing value of " + a);
      return argv[++i];
    };
    if (a == "--kiv")
      O.Kiv = value();
    else if (a == "--fpc")
      O.Fpc = value();
    else if (a == "--runtime")
      O.Runtime = value();
    else if (a == "--work")
      O.Work = value();
    else if (a == "--first")
      O.First = std::stoull(value());
    else if (a == "--count")
      O.Count = std::stoi(value());
    else if (a == "--batch")
      O.Batch = std::stoi(value());
    else if (a == "--jobs")
      O.Jobs = std::stoi(value());
    else if (a == "--keep")
      O.Keep = true;
    else if (a == "--agreement")
      O.Agreement = std::stoi(value());
    else if (a == "--optimized")
      O.Optimized = true;
    else
      return false;
  }
  return !O.Kiv.empty() && !O.Runtime.empty() && O.Count > 0 && O.Batch > 0 && O.Jobs > 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  try {
    if (!ParseOptions(argc, argv, options)) {
      Usage();
      return 2;
    }
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    Usage();
    return 2;
  }
  std::error_code ec;
  fs::create_directories(options.Work, ec);
  options.Work = fs::absolute(options.Work).string();
  options.Kiv = fs::absolute(options.Kiv).string();
  options.Runtime = fs::absolute(options.Runtime).string();
  fs::remove_all(fs::path(options.Work) / "failures", ec);

  const auto start = std::chrono::steady_clock::now();
  Totals totals;
  std::vector<std::pair<std::uint64_t, int>> batches;
  for (int done = 0; done < options.Count; done += options.Batch)
    batches.emplace_back(options.First + static_cast<std::uint64_t>(done), std::min(options.Batch, options.Count - done));
  std::atomic<std::size_t> next{0};
  std::vector<std::thread> workers;
  for (int j = 0; j < options.Jobs; ++j) {
    workers.emplace_back([&]() {
      for (std::size_t b = next++; b < batches.size(); b = next++) {
        BatchRun run(options, batches[b].first, batches[b].second, totals);
        run.Run();
        std::lock_guard<std::mutex> guard(gLock);
        std::cout << "batch " << batches[b].first << ".." << batches[b].first + batches[b].second - 1 << " done"
                  << std::endl;
      }
    });
  }
  for (std::thread& w : workers) w.join();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  std::cout << "\nseeds " << options.First << ".." << options.First + static_cast<std::uint64_t>(options.Count) - 1
            << ": " << totals.Seeds << " grammar pairs in " << static_cast<int>(seconds) << " s\n";
  if (options.Optimized) std::cout << "  runs compared with the optimized form " << totals.OptimizedCompared << "\n";
  std::cout << "  lexers built " << totals.LexersBuilt << ", rejected by kiv " << totals.LexersRejected << "\n";
  std::cout << "  parsers built " << totals.ParsersBuilt << ", rejected by kiv " << totals.ParsersRejected << "\n";
  std::cout << "  runs " << totals.Cases << " ended as:\n";
  for (const auto& [outcome, n] : totals.Outcomes) std::cout << "    " << n << "  " << outcome << "\n";
  if (options.Agreement > 0) std::cout << totals.Agreement.Summary();
  if (!totals.Rejections.empty()) {
    std::cout << "  first errors of rejected grammars:\n";
    for (const auto& [text, n] : totals.Rejections) std::cout << "    " << n << "  " << text << "\n";
  }
  if (totals.Failures.empty()) {
    std::cout << "no failures\n";
    return 0;
  }
  std::set<std::uint64_t> seeds;
  for (const Failure& f : totals.Failures) seeds.insert(f.Seed);
  std::cout << totals.Failures.size() << " failures in seeds:";
  for (const std::uint64_t s : seeds) std::cout << " " << s;
  std::cout << "\nfiles kept in " << (fs::path(options.Work) / "failures").string() << "\n";
  return 1;
}
