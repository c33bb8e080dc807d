// kivCommand.h - the `kiv` command: argument parsing and the build of a grammar file or a project.
// Kept apart from main() so tests can run the command in-process with their own streams.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace kiv {

// Exit codes of the command.
enum class ExitKind : int {
  Success = 0,     // no error was counted
  BuildErrors = 1, // some grammar had errors
  Usage = 2,       // bad arguments, or an input file that cannot be read
};

// Runs the command with `args` (without the program name). Build output goes to `out`, usage
// problems to `err`; a grammar named "-" is read from `in` (standard input by default). Never
// throws.
int RunCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);
int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kiv
