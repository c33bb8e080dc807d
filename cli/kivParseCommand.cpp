// kivParseCommand.cpp - `kiv parse`: options, loading the grammars (a lexer's vocabulary is handed
// to the parser in a private folder, so nothing is written beside the grammars), and one run of
// the test rig per input, printed as text or JSON.
#include "cli/kivParseCommand.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <system_error>

#include "cli/kivCommand.h"
#include "cli/kivDiagnosticPrinter.h"
#include "engine/interp/kivInterpreter.h"
#include "engine/project/kivProjectFile.h"

namespace fs = std::filesystem;

namespace kiv {
namespace {

constexpr const char* kParseUsage =
    "Usage: kiv parse [--lexer LEXER.g] GRAMMAR.g [OPTION]... INPUT...\n"
    "       kiv parse PROJECT.kvp --rule RULE [OPTION]... INPUT...\n"
    "\n"
    "Runs a grammar on input files without generating or compiling anything: a lexer grammar\n"
    "alone tokenizes, a parser grammar reads the tokens of the lexer given with --lexer (or of\n"
    "the project's lexer). The run takes the decisions, raises the errors and makes the tokens\n"
    "that the compiled recognizer would; actions are not run, except the lexer statements\n"
    "_ttype := TT_SKIP, _ttype := <token constant> and newLine.\n"
    "\n"
    "      --lexer=FILE        the lexer grammar whose tokens the parser reads\n"
    "  -x, --exchange=DIR      where vocabularies are imported from (default: the grammar's\n"
    "                          folder; the lexer's own vocabulary is always its current one)\n"
    "      --rule=RULE         the parser rule to start with (default: the grammar's first rule)\n"
    "      --tokens            print the tokens (the default for a lexer alone)\n"
    "      --tree              print the parse tree, one node a line (the default for a parser)\n"
    "      --trace             print the decision trace\n"
    "  -q, --quiet             print nothing but errors\n"
    "      --predicates=ANSWER what semantic predicates answer: true (default) or false\n"
    "      --predicate=RULE[:LINE]=ANSWER\n"
    "                          what the semantic predicates of one rule (or only those on one\n"
    "                          line of the grammar) answer: true or false; may be repeated, the\n"
    "                          first that fits is taken, the others answer as --predicates says\n"
    "      --steps=N           stop a run after N steps (default 200000000; 0: no limit)\n"
    "      --format=FORM       text (default) or json (one object a line per input, with tokens,\n"
    "                          tree and trace)\n"
    "      --diagnostics=FORM  how errors are printed: by default INPUT(LINE,COLUMN) Error: TEXT;\n"
    "                          kiv, INPUT(LINE): TEXT; fpc, the default form; gnu,\n"
    "                          INPUT:LINE:COLUMN: error: TEXT (grammar diagnostics follow it too)\n"
    "  -h, --help              show this help\n"
    "      --                  end of options: what follows are files\n"
    "\n"
    "Options may also be written --rule RULE, -x DIR. An INPUT of - is standard input.\n"
    "\n"
    "Exit status: 0 when every input was accepted, 1 when one was rejected (its error printed) or\n"
    "a grammar has errors, 2 for usage errors or files that cannot be read.\n";

struct ParseOptions {
  std::string lexer;
  std::string grammar;
  std::string exchange;
  std::string rule;
  std::vector<std::string> inputs;
  bool tokens = false;
  bool tree = false;
  bool trace = false;
  bool quiet = false;
  bool json = false;
  bool predicatesFalse = false;
  struct PredicateAnswer {
    std::string rule;
    int line = 0;  // 0: every line of the rule
    bool value = true;
  };
  std::vector<PredicateAnswer> answers;
  bool haveDiagnostics = false;
  DiagnosticFormat diagnostics = DiagnosticFormat::Fpc;
  std::uint64_t steps = 200'000'000;
  bool help = false;
};

bool ParseArgs(const std::vector<std::string>& Args, ParseOptions& O, std::string& Error) {
  bool ended = false;
  std::vector<std::string> files;
  for (std::size_t i = 0; i < Args.size(); ++i) {
    const std::string& a = Args[i];
    if (ended || a.size() < 2 || a[0] != '-') {
      files.push_back(a);
      continue;
    }
    if (a == "--") {
      ended = true;
      continue;
    }
    // --name=VALUE or --name VALUE (or -x VALUE).
    auto value = [&](const std::string& longName, const std::string& shortName, std::string& out) -> int {
      if (a == longName || (!shortName.empty() && a == shortName)) {
        if (i + 1 >= Args.size()) {
          Error = "option '" + a + "' needs a value";
          return -1;
        }
        out = Args[++i];
        return 1;
      }
      if (a.rfind(longName + "=", 0) == 0) {
        out = a.substr(longName.size() + 1);
        return 1;
      }
      return 0;
    };
    std::string v;
    int r = 0;
    if (a == "-h" || a == "--help") {
      O.help = true;
    } else if (a == "--tokens") {
      O.tokens = true;
    } else if (a == "--tree") {
      O.tree = true;
    } else if (a == "-q" || a == "--quiet") {
      O.quiet = true;
    } else if (a == "--trace") {
      O.trace = true;
    } else if ((r = value("--lexer", "", O.lexer)) != 0) {
      if (r < 0) return false;
    } else if ((r = value("--exchange", "-x", O.exchange)) != 0) {
      if (r < 0) return false;
    } else if ((r = value("--rule", "", O.rule)) != 0) {
      if (r < 0) return false;
    } else if ((r = value("--predicates", "", v)) != 0) {
      if (r < 0) return false;
      if (v != "true" && v != "false") {
        Error = "--predicates takes true or false, not '" + v + "'";
        return false;
      }
      O.predicatesFalse = v == "false";
    } else if ((r = value("--predicate", "", v)) != 0) {
      if (r < 0) return false;
      // RULE[:LINE]=true|false
      const std::size_t eq = v.rfind('=');
      const std::string answer = eq == std::string::npos ? std::string() : v.substr(eq + 1);
      ParseOptions::PredicateAnswer entry;
      entry.rule = eq == std::string::npos ? v : v.substr(0, eq);
      const std::size_t colon = entry.rule.find(':');
      bool lineOk = true;
      if (colon != std::string::npos) {
        const std::string line = entry.rule.substr(colon + 1);
        lineOk = !line.empty() && line.size() < 9 && line.find_first_not_of("0123456789") == std::string::npos;
        if (lineOk) entry.line = std::stoi(line);
        lineOk = lineOk && entry.line > 0;
        entry.rule.erase(colon);
      }
      if (entry.rule.empty() || !lineOk || (answer != "true" && answer != "false")) {
        Error = "--predicate takes RULE=true|false or RULE:LINE=true|false, not '" + v + "'";
        return false;
      }
      entry.value = answer == "true";
      O.answers.push_back(entry);
    } else if ((r = value("--format", "", v)) != 0) {
      if (r < 0) return false;
      if (v != "text" && v != "json") {
        Error = "--format takes text or json, not '" + v + "'";
        return false;
      }
      O.json = v == "json";
    } else if ((r = value("--diagnostics", "", v)) != 0) {
      if (r < 0) return false;
      if (!ParseDiagnosticFormat(v, O.diagnostics)) {
        Error = "--diagnostics takes kiv, fpc or gnu, not '" + v + "'";
        return false;
      }
      O.haveDiagnostics = true;
    } else if ((r = value("--steps", "", v)) != 0) {
      if (r < 0) return false;
      try {
        std::size_t used = 0;
        O.steps = std::stoull(v, &used);
        if (used != v.size()) throw std::invalid_argument(v);
      } catch (...) {
        Error = "--steps takes a number, not '" + v + "'";
        return false;
      }
    } else {
      Error = "unknown option '" + a + "' for parse";
      return false;
    }
  }
  if (O.help) return true;
  if (files.empty()) {
    Error = "parse needs a grammar and an input file";
    return false;
  }
  O.grammar = files.front();
  O.inputs.assign(files.begin() + 1, files.end());
  if (O.inputs.empty()) {
    Error = "parse needs an input file after the grammar '" + O.grammar + "'";
    return false;
  }
  return true;
}

bool ReadFile(const std::string& Path, std::string& Text, std::ostream& Err) {
  std::error_code ec;
  if (fs::is_directory(Path, ec)) {
    Err << "kiv: cannot read '" << Path << "': it is a directory\n";
    return false;
  }
  std::ifstream in(Path, std::ios::binary);
  if (!in) {
    Err << "kiv: cannot read '" << Path << "': no such file or no permission\n";
    return false;
  }
  std::ostringstream buffer;
  buffer << in.rdbuf();
  Text = buffer.str();
  return true;
}

// A folder of its own for the vocabularies the loaded grammars would write, removed at the end.
class StagingFolder {
public:
  StagingFolder() {
    std::random_device device;
    std::error_code ec;
    for (int attempt = 0; attempt < 20 && fPath.empty(); ++attempt) {
      const fs::path p = fs::temp_directory_path(ec) / ("kiv-parse-" + std::to_string(device()));
      if (!ec && fs::create_directory(p, ec)) fPath = p;
    }
  }
  ~StagingFolder() {
    std::error_code ec;
    if (!fPath.empty()) fs::remove_all(fPath, ec);
  }
  const fs::path& Path() const { return fPath; }
  // Copies the vocabulary files of Dir, so that imports of vocabularies built earlier still work.
  void CopyVocabularies(const fs::path& Dir) {
    std::error_code ec;
    if (fPath.empty() || !fs::is_directory(Dir, ec)) return;
    for (const fs::directory_entry& e : fs::directory_iterator(Dir, ec)) {
      const std::string name = e.path().filename().string();
      if (name.size() > 10 && name.compare(name.size() - 10, 10, "Tokens.txt") == 0)
        fs::copy_file(e.path(), fPath / name, fs::copy_options::overwrite_existing, ec);
    }
  }
  void Write(const std::string& Name, const std::string& Text) {
    if (fPath.empty() || Name.empty()) return;
    std::ofstream out(fPath / Name, std::ios::binary);
    out << Text;
  }

private:
  fs::path fPath;
};

fs::path FolderOf(const fs::path& File) {
  fs::path folder = File.parent_path();
  return folder.empty() ? fs::path(".") : folder;
}

bool IsProject(const std::string& Path) {
  return fs::path(Path).extension() == ".kvp";
}

std::string ErrorText(const interp::RecognitionError& E, const std::string& Input, DiagnosticFormat Format) {
  const std::string line = std::to_string(E.Line);
  const std::string column = std::to_string(E.Column);
  switch (Format) {
    case DiagnosticFormat::Kiv: return Input + "(" + line + "): " + E.Text;
    case DiagnosticFormat::Gnu: return Input + ":" + line + ":" + column + ": error: " + E.Text;
    case DiagnosticFormat::Fpc: break;
  }
  return Input + "(" + line + "," + column + ") Error: " + E.Text;
}

class Loader {
public:
  Loader(const ParseOptions& O, std::ostream& Out) : fO(O), fOut(Out) {}

  // Loads one grammar file, its vocabulary staged for what is loaded after it. Null on errors
  // (printed); Unreadable is set when the file cannot be read.
  std::shared_ptr<const interp::Grammar> Load(const fs::path& File, const fs::path& ShownPath, bool& Unreadable,
                                               std::ostream& Err) {
    std::string text;
    if (!ReadFile(File.string(), text, Err)) {
      Unreadable = true;
      return nullptr;
    }
    const std::string name = File.stem().string();
    DiagnosticPrinter printer(fOut, fO.haveDiagnostics ? fO.diagnostics : DiagnosticFormat::Kiv, name,
                              ShownPath.string(), true, false);
    const interp::LoadResult loaded =
        interp::LoadGrammar(text, name, fStaging.Path().empty() ? std::string() : fStaging.Path().string() + "/",
                            &printer, &printer);
    if (!loaded.Loaded) {
      fOut << name << ": " << loaded.Errors << " Error(s); the grammar cannot be run" << std::endl;
      return nullptr;
    }
    fStaging.Write(loaded.VocabularyFile, loaded.VocabularyText);
    return loaded.Loaded;
  }

  StagingFolder& Staging() { return fStaging; }

private:
  const ParseOptions& fO;
  std::ostream& fOut;
  StagingFolder fStaging;
};

void PrintResult(const interp::RunResult& R, const ParseOptions& O, bool LexerOnly, const std::string& Input,
                 std::ostream& Out) {
  if (O.json) {
    std::string json = interp::JsonText(R, true, !LexerOnly, O.trace);
    std::string head = "{\"input\":\"";
    for (const char c : Input) {
      if (c == '"' || c == '\\') head += '\\';
      head += c;
    }
    head += "\",";
    Out << head << json.substr(1);
    return;
  }
  const bool tokens = O.tokens || (LexerOnly && !O.trace);
  const bool tree = !LexerOnly && (O.tree || (!O.tokens && !O.trace));
  if (tokens) Out << interp::TokensText(R);
  if (tree) Out << interp::TreeText(R);
  if (O.trace) Out << interp::TraceText(R);
}

}  // namespace

const char* ParseUsage() { return kParseUsage; }

int RunParse(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err) {
  ParseOptions O;
  std::string error;
  if (!ParseArgs(Args, O, error)) {
    Err << "kiv: " << error << "\nTry 'kiv parse --help' for more information.\n";
    return static_cast<int>(ExitKind::Usage);
  }
  if (O.help) {
    Out << kParseUsage;
    return static_cast<int>(ExitKind::Success);
  }
  Loader loader(O, Out);
  std::shared_ptr<const interp::Grammar> lexer;
  std::shared_ptr<const interp::Grammar> parser;
  bool unreadable = false;
  bool failed = false;

  if (IsProject(O.grammar)) {
    if (O.rule.empty()) {
      Err << "kiv: parse of a project needs --rule RULE\nTry 'kiv parse --help' for more information.\n";
      return static_cast<int>(ExitKind::Usage);
    }
    const fs::path projectPath = O.grammar;
    std::error_code ec;
    if (!fs::is_regular_file(projectPath, ec)) {
      Err << "kiv: cannot read '" << O.grammar << "': no such file\n";
      return static_cast<int>(ExitKind::Usage);
    }
    const ProjectReadResult read = ReadProjectFile(projectPath);
    if (!read.complete) {
      for (const ProjectDiagnostic& d : read.diagnostics) Err << FormatDiagnostic(projectPath.stem().string(), d) << "\n";
      Err << "kiv: '" << O.grammar << "' is not a valid project file\n";
      return static_cast<int>(ExitKind::Usage);
    }
    const fs::path folder = FolderOf(projectPath);
    fs::path exchange = folder;
    if (!read.project.exchangeDir.empty()) {
      const fs::path stored = StoredPath(read.project.exchangeDir);
      exchange = stored.is_absolute() ? stored : (folder / stored).lexically_normal();
    }
    loader.Staging().CopyVocabularies(exchange);
    for (const ProjectGrammar& g : read.project.grammars) {
      const fs::path file = ResolveGrammarPath(projectPath, g.path);
      std::shared_ptr<const interp::Grammar> grammar = loader.Load(file, file, unreadable, Err);
      if (!grammar) {
        failed = true;
        continue;
      }
      if (grammar->IsLexer()) {
        if (!lexer) lexer = grammar;
      } else if (!parser) {
        const std::vector<std::string> rules = grammar->RuleNames();
        if (std::find(rules.begin(), rules.end(), O.rule) != rules.end()) parser = grammar;
      }
    }
    if (!unreadable && !failed && !parser) {
      Err << "kiv: no parser grammar of '" << O.grammar << "' has a rule \"" << O.rule << "\"\n";
      return static_cast<int>(ExitKind::Usage);
    }
  } else {
    const fs::path grammarPath = O.grammar;
    loader.Staging().CopyVocabularies(O.exchange.empty() ? FolderOf(grammarPath) : fs::path(O.exchange));
    if (!O.lexer.empty()) {
      lexer = loader.Load(O.lexer, O.lexer, unreadable, Err);
      if (!lexer && !unreadable) failed = true;
    }
    if (!unreadable && !failed) {
      std::shared_ptr<const interp::Grammar> grammar = loader.Load(grammarPath, grammarPath, unreadable, Err);
      if (!grammar) {
        failed = !unreadable;
      } else if (grammar->IsLexer()) {
        if (lexer) {
          Err << "kiv: '" << O.grammar << "' is a lexer grammar; --lexer names the lexer of a parser grammar\n";
          return static_cast<int>(ExitKind::Usage);
        }
        lexer = grammar;
      } else {
        parser = grammar;
        if (!lexer) {
          Err << "kiv: the parser grammar '" << O.grammar << "' needs its lexer: --lexer LEXER.g\n";
          return static_cast<int>(ExitKind::Usage);
        }
      }
    }
  }
  if (unreadable) return static_cast<int>(ExitKind::Usage);
  if (failed) return static_cast<int>(ExitKind::BuildErrors);
  if (parser && !O.rule.empty()) {
    const std::vector<std::string> rules = parser->RuleNames();
    if (std::find(rules.begin(), rules.end(), O.rule) == rules.end()) {
      Err << "kiv: the grammar '" << parser->Name() << "' has no rule \"" << O.rule << "\"\n";
      return static_cast<int>(ExitKind::Usage);
    }
  }

  bool rejected = false;
  for (const std::string& input : O.inputs) {
    std::string text;
    if (input == "-") {
      std::ostringstream buffer;
      buffer << std::cin.rdbuf();
      text = buffer.str();
    } else if (!ReadFile(input, text, Err)) {
      return static_cast<int>(ExitKind::Usage);
    }
    interp::RunOptions options;
    options.InputName = input == "-" ? std::string("stdin") : input;
    options.StartRule = O.rule;
    options.Predicates = O.predicatesFalse ? interp::PredicateAnswerKind::AlwaysFalse : interp::PredicateAnswerKind::AlwaysTrue;
    if (!O.answers.empty()) {
      options.Predicates = interp::PredicateAnswerKind::Ask;
      options.Answer = [&O](const interp::PredicateQuestion& q) {
        for (const ParseOptions::PredicateAnswer& a : O.answers)
          if (a.rule == q.Rule && (a.line == 0 || a.line == q.Line)) return a.value;
        return !O.predicatesFalse;
      };
    }
    options.StepBudget = O.steps;
    options.Trace = O.trace;
    options.Tree = parser != nullptr && !O.quiet;
    const interp::RunResult result = interp::Run(lexer.get(), parser.get(), text, options);
    if (O.inputs.size() > 1 && !O.json && !O.quiet) Out << "==> " << options.InputName << " <==\n";
    if (!O.quiet) PrintResult(result, O, parser == nullptr, options.InputName, Out);
    if (!O.json) {
      for (const interp::RecognitionError& e : result.Reported)
        Out << ErrorText(e, options.InputName, O.diagnostics) << "\n";
      if (result.Error) Out << ErrorText(*result.Error, options.InputName, O.diagnostics) << "\n";
      if (result.End == interp::RunEndKind::Aborted)
        Out << options.InputName << ": the run stopped: " << result.AbortReason << "\n";
    }
    Out.flush();
    if (result.End != interp::RunEndKind::Accepted || !result.Reported.empty()) rejected = true;
  }
  return static_cast<int>(rejected ? ExitKind::BuildErrors : ExitKind::Success);
}

}  // namespace kiv
