// kivCommand.cpp - the `kiv` command: its commands, help and version.
#include "cli/kivCommand.h"

#include <iostream>

#include "cli/kivBuildCommand.h"
#include "cli/kivParseCommand.h"
#include "cli/kivRuntimeDir.h"
#include "engine/codegen/kivCodeGenerator.h"

#ifndef KIV_VERSION
#define KIV_VERSION "unknown"
#endif

namespace kiv {
namespace {

constexpr const char* kUsage =
    "Usage: kiv build GRAMMAR.g [OPTION]...\n"
    "       kiv build PROJECT.kvp [OPTION]...\n"
    "       kiv build - [--name=NAME] [OPTION]...\n"
    "       kiv parse [--lexer LEXER.g] GRAMMAR.g [OPTION]... INPUT...\n"
    "       kiv parse PROJECT.kvp --rule RULE [OPTION]... INPUT...\n"
    "       kiv --print-runtime-dir\n"
    "       kiv --help | -h\n"
    "       kiv --version | -V\n"
    "\n"
    "KIV is an LL(k) parser generator for Object Pascal. `kiv build` builds a grammar file, a\n"
    "grammar read from standard input, or every grammar of a project file, and writes for each\n"
    "grammar its recognizer unit, its token-types unit and its token vocabulary file.\n"
    "\n"
    "Commands and options:\n"
    "  build                  build grammars; `kiv build --help` lists its options:\n"
    "                         -o/--output, -x/--exchange, --name, --diagnostics=kiv|fpc|gnu,\n"
    "                         -q/--quiet, --warnings-as-errors, --depfile,\n"
    "                         --explain[=text|json], --optimize, --dump=graph|lookahead\n"
    "  parse                  run a grammar on input files without generating or compiling;\n"
    "                         `kiv parse --help` lists its options: --lexer, -x/--exchange,\n"
    "                         --rule, --tokens, --tree, --trace, --predicates=true|false,\n"
    "                         --steps, --format=text|json, --diagnostics=kiv|fpc|gnu\n"
    "  --print-runtime-dir    print the folder of the Object Pascal runtime units that generated\n"
    "                         units are compiled with (the compiler's unit path)\n"
    "  -h, --help             show this help\n"
    "  -V, --version          show the version of kiv and of the generator\n"
    "\n"
    "Exit status: 0 when no error was counted, 1 when a grammar had errors, 2 for usage errors or\n"
    "input files that cannot be read.\n";

int UsageError(const std::string& message, std::ostream& err) {
  err << "kiv: " << message << "\n" << "Try 'kiv --help' for more information.\n";
  return static_cast<int>(ExitKind::Usage);
}

}  // namespace

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  return RunCommand(args, std::cin, out, err);
}

int RunCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
  try {
    if (args.empty()) return UsageError("missing command", err);
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
      out << kUsage;
      return static_cast<int>(ExitKind::Success);
    }
    if (command == "--version" || command == "-V") {
      out << "kiv " << KIV_VERSION << "\n"
          << "generator version " << TkivCodeGenerator::VersionText << " (written into the header of every generated unit)\n";
      return static_cast<int>(ExitKind::Success);
    }
    if (command == "--print-runtime-dir") {
      const std::string dir = PascalRuntimeDirectory();
      if (dir.empty()) {
        err << "kiv: the Object Pascal runtime was not found beside this program\n";
        return static_cast<int>(ExitKind::BuildErrors);
      }
      out << dir << "\n";
      return static_cast<int>(ExitKind::Success);
    }
    if (command == "parse") return RunParse(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
    if (command != "build") return UsageError("unknown command '" + command + "'", err);

    BuildOptions options;
    std::string error;
    if (!ParseBuildOptions(std::vector<std::string>(args.begin() + 1, args.end()), options, error))
      return UsageError(error, err);
    if (options.help) {
      out << BuildUsage();
      return static_cast<int>(ExitKind::Success);
    }
    return RunBuild(options, in, out, err);
  } catch (const std::exception& e) {
    err << "kiv: " << e.what() << "\n";
    return static_cast<int>(ExitKind::Usage);
  }
}

}  // namespace kiv
