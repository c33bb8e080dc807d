// kivCommand.cpp - the `kiv` command: builds one grammar file or every grammar of a project.
// Every diagnostic line of a build is printed in order, then a summary per grammar.
#include "cli/kivCommand.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "cli/kivConsoleHandler.h"
#include "engine/driver/kivOutputPlan.h"
#include "engine/driver/kivTool.h"
#include "engine/project/kivProjectFile.h"

#ifndef KIV_VERSION
#define KIV_VERSION "unknown"
#endif

namespace fs = std::filesystem;

namespace kiv {
namespace {

constexpr const char* kUsage =
    "Usage: kiv build GRAMMAR.g [-o UNIT_DIR] [-x EXCHANGE_DIR]\n"
    "       kiv build PROJECT.kvp\n"
    "       kiv --help | --version\n"
    "\n"
    "Builds a grammar file, or every grammar of a project file in project order, and writes for\n"
    "each grammar its Object Pascal recognizer unit, its token-types unit and its token\n"
    "vocabulary file.\n"
    "\n"
    "  -o UNIT_DIR      where the recognizer and token-types units go (default: the grammar's folder)\n"
    "  -x EXCHANGE_DIR  where vocabulary files are written and imported from (default: the grammar's\n"
    "                   folder)\n"
    "\n"
    "A project's OutputDir and ExchangeDir are taken relative to the project file's folder; an\n"
    "empty one means that folder. Missing directories are created.\n"
    "\n"
    "Exit status: 0 when no error was counted, 1 when a grammar had errors, 2 for usage errors or\n"
    "input files that cannot be read.\n";

struct BuildOutcome {
  bool readable = true;
  int errors = 0;
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

// Creates `dir` when it is missing and says so. False when it cannot exist as a directory.
bool EnsureDirectory(const fs::path& dir, std::ostream& out, std::ostream& err) {
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
  out << "kiv: created directory '" << dir.string() << "'\n";
  return true;
}

// The directory as the tool takes it: the current directory as empty, so that files are named
// "calc.pas" rather than "./calc.pas" in messages.
std::string ToolDirectory(const fs::path& dir) { return dir == fs::path(".") ? std::string() : dir.string(); }

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

// Builds one grammar. The tool's file name is the grammar's file name without folder and extension,
// as the workbench passes a module's name, so both front ends print and write the same.
BuildOutcome BuildGrammar(const fs::path& grammar, const fs::path& outputDir, const fs::path& exchangeDir,
                          std::ostream& out, std::ostream& err,
                          TkivTool::OutputKind output = TkivTool::OutputKind::Generate) {
  BuildOutcome outcome;
  std::string text;
  const bool writesFiles = output == TkivTool::OutputKind::Generate;
  if (!ReadWholeFile(grammar, text, err) ||
      (writesFiles && (!EnsureDirectory(outputDir, out, err) || !EnsureDirectory(exchangeDir, out, err)))) {
    outcome.readable = false;
    return outcome;
  }
  const std::string name = grammar.stem().string();
  std::istringstream input(text);
  ConsoleHandler handler(out);
  TkivTool tool(&input, name, ToolDirectory(outputDir), ToolDirectory(exchangeDir), &handler);
  tool.SetOutput(output, &out);
  tool.SetInputPath(grammar.string());
  tool.Run();
  out << name << ": " << tool.GetErrorCount() << " Error(s), " << tool.GetWarningCount() << " Warning(s)"
      << std::endl;
  outcome.errors = tool.GetErrorCount();
  return outcome;
}

int ExitFor(bool allReadable, int errors) {
  if (!allReadable) return static_cast<int>(ExitKind::Usage);
  return static_cast<int>(errors > 0 ? ExitKind::BuildErrors : ExitKind::Success);
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

int BuildProject(const fs::path& projectPath, std::ostream& out, std::ostream& err) {
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
  bool allReadable = true;
  int errors = 0;
  for (const ProjectGrammar& g : read.project.grammars) {
    const fs::path grammar = ResolveGrammarPath(projectPath, g.path);
    BuildOutcome outcome = BuildGrammar(grammar, outputDir, exchangeDir, out, err);
    allReadable = allReadable && outcome.readable;
    errors += outcome.errors;
  }
  if (read.project.grammars.empty()) out << projectName << ": the project lists no grammars\n";
  return ExitFor(allReadable, errors);
}

int UsageError(const std::string& message, std::ostream& err) {
  err << "kiv: " << message << "\n" << "Try 'kiv --help' for more information.\n";
  return static_cast<int>(ExitKind::Usage);
}

}  // namespace

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  try {
    if (args.empty()) return UsageError("missing command", err);
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
      out << kUsage;
      return static_cast<int>(ExitKind::Success);
    }
    if (args[0] == "--version") {
      out << "kiv " << KIV_VERSION << "\n";
      return static_cast<int>(ExitKind::Success);
    }
    if (args[0] != "build") return UsageError("unknown command '" + args[0] + "'", err);

    std::string input, outputDir, exchangeDir;
    bool haveOutput = false, haveExchange = false;
    // Debugging aid: --dump=graph or --dump=lookahead prints the element graph or the analyzer's
    // decisions for one grammar instead of generating files.
    TkivTool::OutputKind output = TkivTool::OutputKind::Generate;
    for (size_t i = 1; i < args.size(); ++i) {
      const std::string& a = args[i];
      if (a == "--dump=graph" || a == "--dump=lookahead") {
        output = a == "--dump=graph" ? TkivTool::OutputKind::DumpGraph : TkivTool::OutputKind::DumpLookahead;
      } else if (a == "-o" || a == "-x") {
        if (i + 1 >= args.size()) return UsageError("option " + a + " needs a directory", err);
        (a == "-o" ? outputDir : exchangeDir) = args[++i];
        (a == "-o" ? haveOutput : haveExchange) = true;
      } else if (!a.empty() && a[0] == '-') {
        return UsageError("unknown option '" + a + "'", err);
      } else if (input.empty()) {
        input = a;
      } else {
        return UsageError("more than one input file ('" + input + "', '" + a + "')", err);
      }
    }
    if (input.empty()) return UsageError("build needs a grammar file or a project file", err);

    const fs::path inputPath(input);
    if (inputPath.extension() == ".kvp") {
      if (output != TkivTool::OutputKind::Generate) return UsageError("--dump takes a grammar file, not a project", err);
      if (haveOutput || haveExchange)
        return UsageError("-o and -x do not apply to a project: it names its own directories", err);
      return BuildProject(inputPath, out, err);
    }
    const fs::path folder = FolderOf(inputPath);
    BuildOutcome outcome = BuildGrammar(inputPath, haveOutput ? fs::path(outputDir) : folder,
                                        haveExchange ? fs::path(exchangeDir) : folder, out, err, output);
    return ExitFor(outcome.readable, outcome.errors);
  } catch (const std::exception& e) {
    err << "kiv: " << e.what() << "\n";
    return static_cast<int>(ExitKind::Usage);
  }
}

}  // namespace kiv
