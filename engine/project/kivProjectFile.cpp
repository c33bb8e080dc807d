// kivProjectFile.cpp
// Reading project files with the project lexer and parser, the writer, and path helpers.
#include "engine/project/kivProjectFile.h"

#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

#include "runtime/cpp/kivExceptionMismatchedChar.h"
#include "runtime/cpp/kivExceptionMismatchedToken.h"
#include "runtime/cpp/kivUtils.h"
#include "engine/project/qvWsKivProjectLexer.h"
#include "engine/project/qvWsKivProjectParser.h"

namespace kiv {

namespace fs = std::filesystem;

bool ProjectFile::operator==(const ProjectFile& other) const {
  if (outputDir != other.outputDir || exchangeDir != other.exchangeDir ||
      grammars.size() != other.grammars.size())
    return false;
  for (std::size_t i = 0; i < grammars.size(); ++i)
    if (grammars[i].path != other.grammars[i].path) return false;
  return true;
}

namespace {

// The text of the token a syntax error met.
std::string foundTokenText(const EkivMismatchedToken& error) {
  if (error.TokenType() == TT_EOF) return "end of file";
  if (error.TokenType() == ptString) return "string \"" + error.TokenText() + "\"";
  return "\"" + error.TokenText() + "\"";
}

ProjectDiagnostic diagnosticOf(const EkivException& error) {
  ProjectDiagnostic diagnostic{error.Line(), error.Column(), {}};
  if (const auto* token = dynamic_cast<const EkivMismatchedToken*>(&error)) {
    diagnostic.text = "Syntax error in project file: unexpected " + foundTokenText(*token);
  } else if (const auto* character = dynamic_cast<const EkivMismatchedChar*>(&error)) {
    const char found = character->Kind() == ExceptionKind::String && !character->FoundText().empty()
                           ? character->FoundText().back()
                           : character->FoundChar();
    diagnostic.text = found == EOF_CHAR
                          ? std::string("Syntax error in project file: unexpected end of file")
                          : "Syntax error in project file: unexpected character " + CharText(found);
  } else {
    diagnostic.text = "Syntax error in project file";
  }
  return diagnostic;
}

}  // namespace

ProjectReadResult ReadProject(std::istream& input, const std::string& fileName) {
  ProjectReadResult result;
  try {
    auto lexer = MakeLexer<TqvWsKivProjectLexer>(input);
    lexer->InputState->SetFileName(fileName);
    TqvWsKivProjectParser parser(lexer, result.project);
    parser.InputState->SetFileName(fileName);
    parser.project();
    result.complete = true;
  } catch (const EkivException& error) {
    result.diagnostics.push_back(diagnosticOf(error));
  }
  return result;
}

ProjectReadResult ReadProjectFile(const fs::path& path) {
  std::ifstream input(path, std::ios::binary);
  if (!input) {
    ProjectReadResult result;
    result.diagnostics.push_back({0, 0, "Cannot open project file \"" + path.string() + "\""});
    return result;
  }
  return ReadProject(input, path.filename().string());
}

std::string FormatDiagnostic(const std::string& name, const ProjectDiagnostic& diagnostic) {
  return name + "(" + std::to_string(diagnostic.line) + "): " + diagnostic.text;
}

std::vector<ProjectDiagnostic> MissingGrammarFiles(const fs::path& projectPath,
                                                   const ProjectFile& project) {
  std::vector<ProjectDiagnostic> missing;
  for (const ProjectGrammar& grammar : project.grammars) {
    std::error_code error;
    if (grammar.path.empty() || fs::is_regular_file(ResolveGrammarPath(projectPath, grammar.path), error))
      continue;
    missing.push_back({grammar.line, 0, "Grammar \"" + grammar.path + "\" doesn't exists"});
  }
  return missing;
}

bool IsStorableText(std::string_view text) {
  return text.find('"') == std::string_view::npos && text.find('\0') == std::string_view::npos;
}

bool WriteProjectText(const ProjectFile& project, std::string& text, std::string& error) {
  const auto refuse = [&error](const std::string& what, const std::string& value) {
    error = "The " + what + " \"" + value + "\" contains a double quote and cannot be stored in a project file";
    return false;
  };
  if (!IsStorableText(project.outputDir)) return refuse("output directory", project.outputDir);
  if (!IsStorableText(project.exchangeDir)) return refuse("exchange directory", project.exchangeDir);
  for (const ProjectGrammar& grammar : project.grammars) {
    if (!IsStorableText(grammar.path)) return refuse("grammar path", grammar.path);
    if (grammar.path.empty()) {
      error = "A grammar without a file name cannot be stored in a project file";
      return false;
    }
  }
  std::string out = "KIV project\r\n";
  if (!project.outputDir.empty()) out += "   OutputDir = \"" + project.outputDir + "\"\r\n";
  if (!project.exchangeDir.empty()) out += "   ExchangeDir = \"" + project.exchangeDir + "\"\r\n";
  for (const ProjectGrammar& grammar : project.grammars)
    out += "   Grammar   = \"" + grammar.path + "\"\r\n";
  out += "End\r\n";
  text = std::move(out);
  return true;
}

bool WriteProjectFile(const fs::path& path, const ProjectFile& project, std::string& error) {
  std::string text;
  if (!WriteProjectText(project, text, error)) return false;
  // A temporary file next to the target, renamed over it once complete.
  std::random_device random;
  const fs::path temporary =
      path.parent_path() / (path.filename().string() + ".tmp" + std::to_string(random() % 1000000));
  {
    std::ofstream output(temporary, std::ios::binary | std::ios::trunc);
    if (!output) {
      error = "Cannot create \"" + temporary.string() + "\"";
      return false;
    }
    output.write(text.data(), static_cast<std::streamsize>(text.size()));
    output.close();
    if (!output) {
      std::error_code ignored;
      fs::remove(temporary, ignored);
      error = "Cannot write \"" + temporary.string() + "\"";
      return false;
    }
  }
  std::error_code renameError;
  fs::rename(temporary, path, renameError);
  if (renameError) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    error = "Cannot replace \"" + path.string() + "\": " + renameError.message();
    return false;
  }
  return true;
}

namespace {

fs::path absoluteNormal(const fs::path& path) {
  std::error_code error;
  const fs::path absolute = fs::absolute(path, error);
  return (error ? path : absolute).lexically_normal();
}

}  // namespace

std::string RelativeGrammarPath(const fs::path& projectPath, const fs::path& grammar) {
  const fs::path folder = absoluteNormal(projectPath).parent_path();
  const fs::path target = absoluteNormal(grammar);
  if (folder.root_name() != target.root_name()) return fs::path(target).make_preferred().string();
  fs::path relative = target.lexically_relative(folder);
  if (relative.empty()) return fs::path(target).make_preferred().string();
  return relative.make_preferred().string();
}

fs::path StoredPath(const std::string& stored) {
  std::string text = stored;
  // "\" is no file-name character on Windows, so a project written there means a separator by it.
  for (char& c : text)
    if (c == '\\') c = '/';
  return fs::path(text).make_preferred();
}

fs::path ResolveGrammarPath(const fs::path& projectPath, const std::string& grammarPath) {
  const fs::path path = StoredPath(grammarPath);
  if (grammarPath.empty() || path.is_absolute()) return path;
  return (absoluteNormal(projectPath).parent_path() / path).lexically_normal();
}

}  // namespace kiv
