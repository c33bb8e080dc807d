// kivBuildCommand.h - `kiv build`: its options, and the build of a grammar file, of a grammar read
// from standard input, or of every grammar of a project.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "cli/kivDiagnosticPrinter.h"
#include "engine/driver/kivTool.h"

namespace kiv {

// How `kiv build --explain` prints the explanation of each nondeterminism report.
enum class ExplainForm { None, Text, Json };

struct BuildOptions {
  std::string input;             // grammar file, project file, or "-" for standard input
  std::string name;              // the grammar's name when it comes from standard input
  std::string outputDir;         // -o
  std::string exchangeDir;       // -x
  bool haveOutput = false;
  bool haveExchange = false;
  DiagnosticFormat format = DiagnosticFormat::Kiv;
  bool quiet = false;
  bool warningsAsErrors = false;
  bool optimize = false;         // --optimize
  std::string depfile;
  TkivTool::OutputKind output = TkivTool::OutputKind::Generate;
  ExplainForm explain = ExplainForm::None;
  bool help = false;
};

// Reads the arguments after "build". False with the problem in `error` for a usage error.
bool ParseBuildOptions(const std::vector<std::string>& args, BuildOptions& options, std::string& error);

// Runs the build; the exit code (see ExitKind). `in` is read for the input "-".
int RunBuild(const BuildOptions& options, std::istream& in, std::ostream& out, std::ostream& err);

// The text of `kiv build --help`.
const char* BuildUsage();

} // namespace kiv
