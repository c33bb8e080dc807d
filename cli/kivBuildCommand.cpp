// kivBuildCommand.cpp - `kiv build`: options, one grammar (file or standard input), a project.
// Every diagnostic line of a build is printed as it is produced, then a summary per grammar.
#include "cli/kivBuildCommand.h"

#include <filesystem>
#include <memory>
#include <fstream>
#include <sstream>
#include <system_error>

#include "cli/kivCommand.h"
#include "cli/kivDepfile.h"
#include "engine/driver/kivOutputPlan.h"
#include "engine/explain/kivExplanation.h"
#include "engine/kivModel.h"
#include "engine/project/kivProjectFile.h"

namespace fs = std::filesystem;

namespace kiv {
namespace {

constexpr const char* kBuildUsage =
    "Usage: kiv build GRAMMAR.g [OPTION]...\n"
    "       kiv build PROJECT.kvp [OPTION]...\n"
    "       kiv build - [--name=NAME] [OPTION]...\n"
    "\n"
    "Builds a grammar file, a grammar read from standard input (\"-\"), or every grammar of a\n"
    "project file in project order, and writes for each grammar its Object Pascal recognizer\n"
    "unit, its token-types unit and its token vocabulary file. A build is all or nothing: when a\n"
    "grammar has errors, none of its files is written and earlier ones stay as they were.\n"
    "\n"
    "  -o, --output=DIR        where the recognizer and token-types units go (default: the\n"
    "                          grammar's folder; the current folder for standard input)\n"
    "  -x, --exchange=DIR      where vocabulary files are written and imported from (default: the\n"
    "                          grammar's folder; the current folder for standard input)\n"
    "      --name=NAME         the grammar's name when it is read from standard input\n"
    "                          (default: stdin)\n"
    "      --diagnostics=FORM  how diagnostics are printed: kiv (default), name(line): text;\n"
    "                          fpc, path(line,column) Error: text, as Free Pascal prints them;\n"
    "                          gnu, path:line:column: error: text\n"
    "  -q, --quiet             print nothing but errors (and warnings with --warnings-as-errors)\n"
    "      --warnings-as-errors  warnings and nondeterminism reports fail the build (exit 1)\n"
    "      --depfile=FILE      write a Makefile rule: the written files depend on the grammar and\n"
    "                          the vocabulary it imports\n"
    "      --explain[=FORM]    after each nondeterminism report, explain it: whether it is a real\n"
    "                          conflict or the linear approximation's, an input that shows it,\n"
    "                          both derivations, what the generated code does, and fixes; FORM\n"
    "                          is text (default) or json (one JSON object per line)\n"
    "      --optimize          write every recognizer in the optimized form (as the grammar option\n"
    "                          optimize = true; does): the same behaviour, faster\n"
    "      --dump=graph        print the element graph instead of writing files\n"
    "      --dump=lookahead    print the lookahead decisions instead of writing files\n"
    "  -h, --help              show this help\n"
    "      --                  end of options: what follows is the input\n"
    "\n"
    "Options may also be written -o DIR, --output DIR. A project's OutputDir and ExchangeDir are\n"
    "taken relative to the project file's folder; an empty one means that folder; -o and -x do not\n"
    "apply to a project. Missing directories are created.\n"
    "\n"
    "Exit status: 0 when no error was counted, 1 when a grammar had errors (or warnings, with\n"
    "--warnings-as-errors), 2 for usage errors or input files that cannot be read.\n";

struct BuildOutcome {
  bool readable = true;
  int errors = 0;
  int warnings = 0;  // warnings and nondeterminism reports
  DependencyRule rule;
};

// A directory given as empty means `base`; a relative one is taken from `base`.
fs::path DirectoryFrom(const fs::path& base, const std::string& dir) {
  if (dir.empty()) return base;
  fs::path p = StoredPath(dir);
  return p.is_absolute() ? p : (base / p).lexically_normal();
}

fs::path FolderOf(const fs::path& file) {
  fs::path folder = file.parent_path();
  return folder.empty() ? fs::path(".") : folder;
}

// The directory as the tool takes it: the current directory as empty, so that files are named
// "calc.pas" rather than "./calc.pas" in messages.
std::string ToolDirectory(const fs::path& dir) { return dir == fs::path(".") ? std::string() : dir.string(); }

// Creates `dir` when it is missing and says so (unless quiet). False when it cannot exist as a
// directory.
bool EnsureDirectory(const fs::path& dir, bool quiet, std::ostream& out, std::ostream& err) {
  std::error_code ec;
  if (fs::is_directory(dir, ec)) return true;
  if (fs::exists(dir, ec)) {
    err << "kiv: '" << dir.string() << "' is not a directory\n";
    return false;
  }
  if (!fs::create_directories(dir, ec) && ec) {
    err << "kiv: cannot create directory '" << dir.string() << "': " << ec.message() << "\n";
    return false;
  }
  if (!quiet) out << "kiv: created directory '" << dir.string() << "'" << std::endl;
  return true;
}

bool ReadWholeFile(const fs::path& file, std::string& text, std::ostream& err) {
  std::error_code ec;
  if (fs::is_directory(file, ec)) {
    err << "kiv: cannot read '" << file.string() << "': it is a directory\n";
    return false;
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    err << "kiv: cannot read '" << file.string() << "': no such file or no permission\n";
    return false;
  }
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (in.bad()) {
    err << "kiv: cannot read '" << file.string() << "'\n";
    return false;
  }
  text = buffer.str();
  return true;
}

// One grammar to build: its text, its name (as the workbench passes a module's name: the file
// name without folder and extension), the path diagnostics name it by, and its file (empty for
// standard input).
struct GrammarSource {
  std::string text;
  std::string name;
  std::string displayPath;
  std::string file;
};

// Explains each reported decision as it is reported: the lines follow the report's own lines,
// which stay as they are. One per tool run, whose grammar outlives it.
class ReportExplainer : public NondeterminismListener {
public:
  ReportExplainer(DiagnosticPrinter& Printer, ExplainForm Form) : fPrinter(Printer), fForm(Form) {}

  void OnNondeterminism(IkivGrammar& Grammar, IkivAlternativeBlock& Block, int AltA, int AltB) override {
    if (!fExplainer) fExplainer = std::make_unique<ConflictExplainer>(Grammar);
    const Explanation E = fExplainer->Explain(ConflictSite{&Block, AltA, AltB});
    if (fForm == ExplainForm::Json)
      fPrinter.ReportLines({ExplanationJson(E)});
    else
      fPrinter.ReportLines(ExplanationLines(E));
  }

private:
  DiagnosticPrinter& fPrinter;
  ExplainForm fForm;
  std::unique_ptr<ConflictExplainer> fExplainer;
};

BuildOutcome BuildGrammar(const GrammarSource& source, const fs::path& outputDir, const fs::path& exchangeDir,
                          const BuildOptions& options, std::ostream& out, std::ostream& err) {
  BuildOutcome outcome;
  const bool writesFiles = options.output == TkivTool::OutputKind::Generate;
  if (writesFiles && (!EnsureDirectory(outputDir, options.quiet, out, err) ||
                      !EnsureDirectory(exchangeDir, options.quiet, out, err))) {
    outcome.readable = false;
    return outcome;
  }
  std::istringstream input(source.text);
  DiagnosticPrinter printer(out, options.format, source.name, source.displayPath, options.quiet,
                            options.warningsAsErrors);
  TkivTool tool(&input, source.name, ToolDirectory(outputDir), ToolDirectory(exchangeDir), &printer);
  tool.SetDiagnosticListener(&printer);
  ReportExplainer explainer(printer, options.explain);
  if (options.explain != ExplainForm::None) tool.SetNondeterminismListener(&explainer);
  tool.SetOutput(options.output, &out);
  tool.SetOptimize(options.optimize);
  tool.SetInputPath(source.file);
  tool.Run();
  if (!options.quiet)
    out << source.name << ": " << tool.GetErrorCount() << " Error(s), " << tool.GetWarningCount() << " Warning(s)"
        << std::endl;
  outcome.errors = tool.GetErrorCount();
  outcome.warnings = printer.WarningsSeen();
  // The recognizer unit first: Ninja takes a depfile's first target for the rule's main output.
  outcome.rule.Targets.assign(tool.WrittenFiles().rbegin(), tool.WrittenFiles().rend());
  if (!source.file.empty()) outcome.rule.Prerequisites.push_back(source.displayPath);
  if (const IkivGrammarPtr& grammar = tool.Grammar())
    if (const IkivTokenPtr vocabulary = grammar->getImportVocab()) {
      const std::string file = vocabulary->TokenText() + "Tokens.txt";
      std::error_code ec;
      if (fs::is_regular_file(file, ec)) outcome.rule.Prerequisites.push_back(file);
    }
  return outcome;
}

struct RunTotals {
  bool allReadable = true;
  int errors = 0;
  int warnings = 0;
  std::vector<DependencyRule> rules;

  void Add(BuildOutcome outcome) {
    allReadable = allReadable && outcome.readable;
    errors += outcome.errors;
    warnings += outcome.warnings;
    rules.push_back(std::move(outcome.rule));
  }
};

int Finish(const RunTotals& totals, const BuildOptions& options, std::ostream& err) {
  if (!totals.allReadable) return static_cast<int>(ExitKind::Usage);
  if (totals.errors > 0 || (options.warningsAsErrors && totals.warnings > 0))
    return static_cast<int>(ExitKind::BuildErrors);
  if (!options.depfile.empty()) {
    const std::string reason = WriteDepfile(options.depfile, totals.rules);
    if (!reason.empty()) {
      err << "kiv: cannot write the depfile '" << options.depfile << "': " << reason << "\n";
      return static_cast<int>(ExitKind::BuildErrors);
    }
  }
  return static_cast<int>(ExitKind::Success);
}

// Two grammars of one project that would write the same file, or one that would write over
// another's grammar file, are errors before anything is built. True when there was one.
bool ReportOutputClashes(const fs::path& projectPath, const ProjectFile& project, const fs::path& outputDir,
                         const fs::path& exchangeDir, std::ostream& out) {
  std::vector<GrammarOutputs> plans;
  for (const ProjectGrammar& g : project.grammars) {
    const fs::path grammar = ResolveGrammarPath(projectPath, g.path);
    std::string text;
    std::ostringstream ignored;
    if (!ReadWholeFile(grammar, text, ignored)) continue;  // its build reports it
    plans.push_back(PlanOutputs(text, grammar.stem().string(), grammar.string(), ToolDirectory(outputDir),
                                ToolDirectory(exchangeDir)));
  }
  const std::vector<OutputClash> clashes = FindOutputClashes(plans);
  for (const OutputClash& clash : clashes)
    out << TkivTool::PositionedLine(ClashText(plans, clash), plans[clash.Grammar].Name, 1) << "\n";
  if (clashes.empty()) return false;
  out << projectPath.stem().string() << ": " << clashes.size() << " Error(s), nothing was built" << std::endl;
  return true;
}

int BuildProject(const fs::path& projectPath, const BuildOptions& options, std::ostream& out, std::ostream& err) {
  std::error_code ec;
  if (!fs::is_regular_file(projectPath, ec)) {
    err << "kiv: cannot read '" << projectPath.string() << "': no such file\n";
    return static_cast<int>(ExitKind::Usage);
  }
  const ProjectReadResult read = ReadProjectFile(projectPath);
  const std::string projectName = projectPath.stem().string();
  for (const ProjectDiagnostic& d : read.diagnostics) err << FormatDiagnostic(projectName, d) << "\n";
  if (!read.complete) {
    err << "kiv: '" << projectPath.string() << "' is not a valid project file; nothing was built\n";
    return static_cast<int>(ExitKind::Usage);
  }

  const fs::path folder = FolderOf(projectPath);
  const fs::path outputDir = DirectoryFrom(folder, read.project.outputDir);
  const fs::path exchangeDir = DirectoryFrom(folder, read.project.exchangeDir);
  if (ReportOutputClashes(projectPath, read.project, outputDir, exchangeDir, out))
    return static_cast<int>(ExitKind::BuildErrors);
  RunTotals totals;
  for (const ProjectGrammar& g : read.project.grammars) {
    const fs::path grammar = ResolveGrammarPath(projectPath, g.path);
    // Diagnostics name the grammar as the project does, seen from where kiv runs.
    const fs::path stored = StoredPath(g.path);
    const fs::path shown = stored.is_absolute() ? stored : (folder / stored).lexically_normal();
    GrammarSource source{{}, grammar.stem().string(), shown.string(), grammar.string()};
    if (!ReadWholeFile(grammar, source.text, err)) {
      totals.allReadable = false;
      continue;
    }
    totals.Add(BuildGrammar(source, outputDir, exchangeDir, options, out, err));
  }
  if (read.project.grammars.empty() && !options.quiet) out << projectName << ": the project lists no grammars\n";
  return Finish(totals, options, err);
}

// An option's value: from "--option=VALUE", or from the next argument. What names the value in a
// usage error ("a directory", "a file").
bool TakeValue(const std::vector<std::string>& args, std::size_t& i, const std::string& shortName,
               const std::string& longName, std::string& value, bool& matched, std::string& error,
               const std::string& what = "a value") {
  const std::string& a = args[i];
  matched = false;
  for (const std::string& name : {shortName, longName}) {
    if (name.empty()) continue;
    if (a == name) {
      matched = true;
      if (i + 1 >= args.size()) {
        error = "option " + a + " needs " + what;
        return false;
      }
      value = args[++i];
      return true;
    }
    if (a.rfind(name + "=", 0) == 0) {
      matched = true;
      value = a.substr(name.size() + 1);
      if (value.empty()) {
        error = "option " + name + " needs " + what;
        return false;
      }
      return true;
    }
  }
  return true;
}

} // namespace

const char* BuildUsage() { return kBuildUsage; }

bool ParseBuildOptions(const std::vector<std::string>& args, BuildOptions& options, std::string& error) {
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool isOption = !optionsEnded && a.size() > 1 && a[0] == '-';
    if (!isOption) {
      if (!options.input.empty()) {
        error = "more than one input file ('" + options.input + "', '" + a + "')";
        return false;
      }
      options.input = a;
      continue;
    }
    if (a == "--") {
      optionsEnded = true;
      continue;
    }
    if (a == "--help" || a == "-h") {
      options.help = true;
      continue;
    }
    if (a == "-q" || a == "--quiet") {
      options.quiet = true;
      continue;
    }
    if (a == "--warnings-as-errors") {
      options.warningsAsErrors = true;
      continue;
    }
    if (a == "--explain" || a == "--explain=text" || a == "--explain=json") {
      options.explain = a == "--explain=json" ? ExplainForm::Json : ExplainForm::Text;
      continue;
    }
    if (a.rfind("--explain=", 0) == 0) {
      error = "--explain takes text or json";
      return false;
    }
    if (a == "--optimize") {
      options.optimize = true;
      continue;
    }
    if (a == "--dump=graph" || a == "--dump=lookahead") {
      options.output = a == "--dump=graph" ? TkivTool::OutputKind::DumpGraph : TkivTool::OutputKind::DumpLookahead;
      continue;
    }
    std::string value;
    bool matched = false;
    if (!TakeValue(args, i, "-o", "--output", value, matched, error, "a directory")) return false;
    if (matched) {
      options.outputDir = value;
      options.haveOutput = true;
      continue;
    }
    if (!TakeValue(args, i, "-x", "--exchange", value, matched, error, "a directory")) return false;
    if (matched) {
      options.exchangeDir = value;
      options.haveExchange = true;
      continue;
    }
    if (!TakeValue(args, i, "", "--diagnostics", value, matched, error, "kiv, fpc or gnu")) return false;
    if (matched) {
      if (!ParseDiagnosticFormat(value, options.format)) {
        error = "unknown diagnostics form '" + value + "' (kiv, fpc or gnu)";
        return false;
      }
      continue;
    }
    if (!TakeValue(args, i, "", "--depfile", value, matched, error, "a file")) return false;
    if (matched) {
      options.depfile = value;
      continue;
    }
    if (!TakeValue(args, i, "", "--name", value, matched, error, "a name")) return false;
    if (matched) {
      options.name = value;
      continue;
    }
    if (a.rfind("--dump", 0) == 0) {
      error = "--dump takes graph or lookahead";
      return false;
    }
    error = "unknown option '" + a + "'";
    return false;
  }
  if (options.help) return true;
  if (options.input.empty()) {
    error = "build needs a grammar file, a project file or - for standard input";
    return false;
  }
  const bool generates = options.output == TkivTool::OutputKind::Generate;
  if (!generates && !options.depfile.empty()) {
    error = "--depfile needs a build that writes files, not --dump";
    return false;
  }
  if (!options.name.empty() && options.input != "-") {
    error = "--name applies to a grammar read from standard input";
    return false;
  }
  if (fs::path(options.input).extension() == ".kvp") {
    if (!generates) {
      error = "--dump takes a grammar file, not a project";
      return false;
    }
    if (options.haveOutput || options.haveExchange) {
      error = "-o and -x do not apply to a project: it names its own directories";
      return false;
    }
  }
  return true;
}

int RunBuild(const BuildOptions& options, std::istream& in, std::ostream& out, std::ostream& err) {
  const fs::path inputPath(options.input);
  if (inputPath.extension() == ".kvp") return BuildProject(inputPath, options, out, err);

  GrammarSource source;
  fs::path folder;
  if (options.input == "-") {
    std::ostringstream text;
    text << in.rdbuf();
    source.text = text.str();
    source.name = options.name.empty() ? "stdin" : options.name;
    source.displayPath = source.name;
    folder = ".";
  } else {
    if (!ReadWholeFile(inputPath, source.text, err)) return static_cast<int>(ExitKind::Usage);
    source.name = inputPath.stem().string();
    source.displayPath = options.input;
    source.file = options.input;
    folder = FolderOf(inputPath);
  }
  RunTotals totals;
  totals.Add(BuildGrammar(source, options.haveOutput ? fs::path(options.outputDir) : folder,
                          options.haveExchange ? fs::path(options.exchangeDir) : folder, options, out, err));
  return Finish(totals, options, err);
}

} // namespace kiv
