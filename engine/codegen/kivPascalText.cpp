// kivPascalText.cpp - Pascal string literals, action re-indentation, banners and output paths.
// Pure text functions; the generator writes their results through kiv::PascalWriter.
#include "engine/codegen/kivPascalText.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "engine/model/kivNames.h"

namespace kiv {

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool IsLetterOrDigit(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool IsPrintable(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code >= 32 && code <= 126;
}

// Splits at CR LF, lone CR and lone LF.
std::vector<std::string> SplitLines(std::string_view Text) {
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < Text.size(); ++i) {
    const char c = Text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

std::string TrimRight(const std::string& Text) {
  std::size_t end = Text.size();
  while (end > 0 && IsBlank(Text[end - 1])) --end;
  return Text.substr(0, end);
}

std::string ExpandTabs(const std::string& Line, std::size_t TabWidth) {
  if (Line.find('\t') == std::string::npos) return Line;
  std::string rebuilt;
  for (const char c : Line) {
    if (c == '\t') {
      const std::size_t spaces = TabWidth - rebuilt.size() % TabWidth;
      rebuilt.append(spaces, ' ');
    } else {
      rebuilt += c;
    }
  }
  return rebuilt;
}

std::size_t LeadingBlanks(const std::string& Line) {
  std::size_t n = 0;
  while (n < Line.size() && IsBlank(Line[n])) ++n;
  return n;
}

// The words Free Pascal and Delphi reserve in Delphi mode; none of them can name a method or a
// variable unless escaped.
constexpr std::string_view kReservedWords[] = {
    "and",        "array",          "as",        "asm",           "begin",     "case",     "class",
    "const",      "constructor",    "destructor", "dispinterface", "div",       "do",       "downto",
    "else",       "end",            "except",    "exports",       "file",      "finalization", "finally",
    "for",        "function",       "goto",      "if",            "implementation", "in", "inherited",
    "initialization", "interface",  "is",        "label",         "library",   "mod",      "nil",
    "not",        "object",         "of",        "or",            "otherwise", "packed",   "procedure",
    "program",    "property",       "raise",     "record",        "repeat",    "resourcestring", "set",
    "shl",        "shr",            "string",    "then",          "threadvar", "to",       "try",
    "type",       "unit",           "until",     "uses",          "var",       "while",    "with",
    "xor",
};

} // namespace

std::string PascalIdentifier(const std::string& Name) {
  for (const std::string_view word : kReservedWords)
    if (SameText(Name, std::string(word))) return "&" + Name;
  return Name;
}

std::string TrimText(std::string_view Text) {
  std::size_t begin = 0;
  std::size_t end = Text.size();
  while (begin < end && IsBlank(Text[begin])) ++begin;
  while (end > begin && IsBlank(Text[end - 1])) --end;
  return std::string(Text.substr(begin, end - begin));
}

std::string PascalStringLiteral(std::string_view Text) {
  if (Text.empty()) return "''";
  std::string result;
  bool quoted = false;
  for (const char c : Text) {
    if (IsPrintable(c)) {
      if (!quoted) result += '\'';
      quoted = true;
      result += c;
      if (c == '\'') result += '\'';
    } else {
      if (quoted) result += '\'';
      quoted = false;
      result += '#' + std::to_string(static_cast<unsigned char>(c));
    }
  }
  if (quoted) result += '\'';
  return result;
}

std::vector<std::string> ReindentAction(std::string_view Action, std::size_t TabWidth) {
  const std::string trimmed = TrimText(Action);
  if (trimmed.size() < 2) return {};
  std::vector<std::string> lines = SplitLines(std::string_view(trimmed).substr(1, trimmed.size() - 2));

  auto blank = [](const std::string& line) { return TrimText(line).empty(); };
  while (!lines.empty() && blank(lines.front())) lines.erase(lines.begin());
  while (!lines.empty() && blank(lines.back())) lines.pop_back();
  if (lines.empty()) return lines;

  for (std::string& line : lines) line = ExpandTabs(TrimRight(line), TabWidth);

  if (lines.size() == 1) {
    lines.front() = TrimText(lines.front());
    return lines;
  }
  std::size_t common = 1000;
  for (const std::string& line : lines)
    if (!line.empty()) common = std::min(common, LeadingBlanks(line));
  for (std::string& line : lines) line.erase(0, std::min(common, line.size()));
  return lines;
}

std::vector<std::string> ActionWords(const std::string& Text) {
  std::vector<std::string> words;
  std::size_t i = 0;
  const std::size_t n = Text.size();
  while (i < n) {
    const unsigned char c = static_cast<unsigned char>(Text[i]);
    if (IsBlank(static_cast<char>(c))) {
      ++i;
    } else if (c == '{') {
      const std::size_t close = Text.find('}', i);
      i = close == std::string::npos ? n : close + 1;
    } else if (c == '(' && i + 1 < n && Text[i + 1] == '*') {
      const std::size_t close = Text.find("*)", i + 2);
      i = close == std::string::npos ? n : close + 2;
    } else if (c == '/' && i + 1 < n && Text[i + 1] == '/') {
      const std::size_t close = Text.find('\n', i);
      i = close == std::string::npos ? n : close + 1;
    } else if (IsLetterOrDigit(static_cast<char>(c)) || c == '_') {
      std::size_t j = i;
      while (j < n && (IsLetterOrDigit(Text[j]) || Text[j] == '_' || Text[j] == '.')) ++j;
      words.push_back(Text.substr(i, j - i));
      i = j;
    } else if (c == '\'') {
      std::size_t j = i + 1;
      while (j < n && Text[j] != '\'') ++j;
      words.push_back(Text.substr(i, j + 1 - i));
      i = j + 1;
    } else if (c == ':' && i + 1 < n && Text[i + 1] == '=') {
      words.emplace_back(":=");
      i += 2;
    } else {
      words.emplace_back(1, static_cast<char>(c));
      ++i;
    }
  }
  return words;
}

std::string ActionBody(std::string_view Action) {
  std::string text = TrimText(Action);
  if (!text.empty() && text.front() == '{') text.erase(0, 1);
  if (!text.empty() && text.back() == '}') text.pop_back();
  return TrimText(text);
}

std::string PadRight(std::string_view Text, std::size_t Width) {
  std::string result(Text);
  if (result.size() < Width) result.append(Width - result.size(), ' ');
  return result;
}

std::string CommentBanner(char Fill, std::size_t Count) { return "// " + std::string(Count, Fill); }

bool IsIdentifierTail(std::string_view Text) {
  return std::all_of(Text.begin(), Text.end(), [](char c) { return IsLetterOrDigit(c) || c == '_'; });
}

std::string LiteralLabel(std::string_view LiteralText) {
  if (IsIdentifierTail(LiteralText)) return "LT_" + std::string(LiteralText);
  std::string label = "LT_";
  for (const char c : LiteralText) {
    if (IsLetterOrDigit(c)) {
      label += c;
    } else {
      char code[4];
      std::snprintf(code, sizeof code, "_%02X", static_cast<unsigned char>(c));
      label += code;
    }
  }
  return label;
}

std::string JoinOutputPath(const std::string& Directory, const std::string& FileName) {
  std::string directory = Directory;
  while (!directory.empty() && (directory.back() == '\\' || directory.back() == '/')) directory.pop_back();
  if (directory.empty()) {
    // A directory made only of separators is the root, not the current directory.
    if (!Directory.empty()) return (std::filesystem::path("/") / FileName).string();
    return FileName;
  }
  return (std::filesystem::path(directory) / FileName).string();
}

} // namespace kiv
