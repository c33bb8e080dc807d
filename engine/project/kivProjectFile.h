// kivProjectFile.h
// Project files as plain data: the directories and grammar paths a project lists, how they are
// read (with positioned diagnostics instead of a silent stop) and how they are written.
// Shared by the `kiv` command and the workbench; no Qt.
#pragma once

#include <filesystem>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace kiv {

struct ProjectGrammar {
  std::string path;  // as written in the file: relative to the project's folder, or absolute
  int line = 0;      // line of the clause (0 for entries not read from a file)
  bool show = false;
};

struct ProjectFile {
  std::string outputDir;
  std::string exchangeDir;
  std::vector<ProjectGrammar> grammars;

  bool operator==(const ProjectFile& other) const;
};

struct ProjectDiagnostic {
  int line = 0;
  int column = 0;
  std::string text;
};

struct ProjectReadResult {
  // Everything read up to the first error (the whole project when `complete`).
  ProjectFile project;
  bool complete = false;
  std::vector<ProjectDiagnostic> diagnostics;
};

// Reads a project from `input`. A malformed text gives what was read before the error, and a
// diagnostic for the error; nothing is thrown. `fileName` positions the diagnostics.
ProjectReadResult ReadProject(std::istream& input, const std::string& fileName);
// Opens and reads the project file `path`; an unreadable file gives one diagnostic.
ProjectReadResult ReadProjectFile(const std::filesystem::path& path);

// A diagnostic as the message list shows it: name, "(", line, "): ", text.
std::string FormatDiagnostic(const std::string& name, const ProjectDiagnostic& diagnostic);

// One diagnostic for every grammar of `project` whose file does not exist:
// Grammar "path" doesn't exists. Relative paths are resolved against `projectPath`'s folder.
std::vector<ProjectDiagnostic> MissingGrammarFiles(const std::filesystem::path& projectPath,
                                                   const ProjectFile& project);

// Whether a project file can hold `text` inside double quotes (it has no escape).
bool IsStorableText(std::string_view text);

// The lines of the project file with CR LF after each: "KIV project", the directories when set,
// one line per grammar, "End". Fails, with `error` set and `text` untouched, when a directory or
// path cannot be stored (it holds a double quote) or a grammar path is empty.
bool WriteProjectText(const ProjectFile& project, std::string& text, std::string& error);
// Writes the project file through a temporary file in the same folder renamed over `path`, so a
// failed write leaves the old file as it was.
bool WriteProjectFile(const std::filesystem::path& path, const ProjectFile& project,
                      std::string& error);

// `grammar`'s path as a project file at `projectPath` stores it: relative to the project's
// folder with the platform's separators, or absolute when no relative path leads there (another
// drive).
std::string RelativeGrammarPath(const std::filesystem::path& projectPath,
                                const std::filesystem::path& grammar);
// A path or directory as a project file stores it, read on this platform: "\" and "/" both
// separate (a project written on Windows names "sub\x.g").
std::filesystem::path StoredPath(const std::string& stored);
// The file a stored grammar path names: a non-empty relative path is taken from the project's
// folder; an absolute or empty path is returned unchanged.
std::filesystem::path ResolveGrammarPath(const std::filesystem::path& projectPath,
                                         const std::string& grammarPath);

}  // namespace kiv
