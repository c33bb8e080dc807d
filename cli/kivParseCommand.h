// kivParseCommand.h - `kiv parse`: runs a grammar (a lexer alone, or a parser over its lexer) on
// input files with the test rig, without generating or compiling anything.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kiv {

// Runs `kiv parse` with the arguments after "parse"; the exit code (0 every input accepted, 1 one
// rejected or a grammar with errors, 2 usage errors and unreadable files).
int RunParse(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err);

// The text of `kiv parse --help`.
const char* ParseUsage();

}  // namespace kiv
