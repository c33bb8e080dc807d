// kivSynScanner.cpp
// Token dispatch on the first character, string and word scanning, and the hashed word table.
#include "workbench/authoring/kivSynScanner.h"

#include <cctype>

namespace kiv {

namespace {

constexpr SynAttribute kAttributes[kSynAttributeCount] = {
    {"Comment", false, 128, 128, 128},
    {"Identifier", true, 0, 0, 0},
    {"Reserved word", false, 0, 0, 255},
    {"Options", false, 128, 0, 0},
    {"Space", true, 0, 0, 0},
    {"String", false, 0, 128, 0},
    {"Symbol", false, 255, 0, 0},
};

bool isLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool isSymbol(unsigned char c) {
  switch (c) {
    case '@': case '^': case ':': case ',': case '.': case '=': case '>': case '{': case '[':
    case '(': case '<': case '-': case '|': case '+': case '}': case ']': case ')': case ';':
    case '*':
      return true;
    default:
      return false;
  }
}

// Length of the character that starts with byte `c` in UTF-8 text: the editor's text is UTF-8,
// and a character is never split into two tokens.
size_t characterLength(unsigned char c) {
  if (c >= 0xF0 && c <= 0xF4) return 4;
  if (c >= 0xE0) return c <= 0xEF ? 3 : 1;
  if (c >= 0xC2) return 2;
  return 1;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

}  // namespace

const SynAttribute& SynAttributeInfo(SynAttributeKind kind) {
  return kAttributes[static_cast<int>(kind)];
}

bool SynAttributeOf(SynTokenKind kind, SynAttributeKind& attribute) {
  switch (kind) {
    case SynTokenKind::Comment: attribute = SynAttributeKind::Comment; return true;
    case SynTokenKind::Identifier: attribute = SynAttributeKind::Identifier; return true;
    case SynTokenKind::ReservedWord: attribute = SynAttributeKind::ReservedWord; return true;
    case SynTokenKind::Option: attribute = SynAttributeKind::Option; return true;
    case SynTokenKind::Space: attribute = SynAttributeKind::Space; return true;
    case SynTokenKind::String: attribute = SynAttributeKind::String; return true;
    case SynTokenKind::Symbol: attribute = SynAttributeKind::Symbol; return true;
    case SynTokenKind::Other: attribute = SynAttributeKind::Identifier; return true;
    case SynTokenKind::Null: return false;
  }
  return false;
}

SynAttributeKind SynDefaultAttribute(SynDefaultAttributeKind role) {
  switch (role) {
    case SynDefaultAttributeKind::Comment: return SynAttributeKind::Comment;
    case SynDefaultAttributeKind::Identifier: return SynAttributeKind::Identifier;
    case SynDefaultAttributeKind::Keyword: return SynAttributeKind::ReservedWord;
    case SynDefaultAttributeKind::String: return SynAttributeKind::String;
    case SynDefaultAttributeKind::Whitespace: return SynAttributeKind::Space;
    case SynDefaultAttributeKind::Symbol: return SynAttributeKind::Symbol;
  }
  return SynAttributeKind::Identifier;
}

const std::vector<const char*>& KivSynScanner::OptionWords() {
  static const std::vector<const char*> words = {
      "caseSensitive", "defaultErrorhandler", "filter", "generateAmbigWarnings", "greedy",
      "ignore", "paraphrase", "testLiterals", "warnWhenFollowAmbig"};
  return words;
}

const std::vector<const char*>& KivSynScanner::ReservedWords() {
  static const std::vector<const char*> words = {
      "absolute", "and", "ansistring", "array", "as", "begin", "boolean", "byte", "cardinal",
      "case", "char", "class", "comp", "const", "constructor", "contains", "currency",
      "default", "destructor", "div", "do", "double", "downto", "dynamic", "else", "end",
      "except", "export", "extended", "external", "far", "file", "finalization", "finally",
      "for", "forward", "function", "goto", "if", "implementation", "implements", "in",
      "index", "inherited", "initialization", "int64", "integer", "interface", "is", "label",
      "lexer", "library", "local", "longint", "longword", "memberdecl", "memberdef", "message",
      "mod", "nil", "nodefault", "not", "object", "of", "olevariant", "options", "or", "out",
      "overload", "override", "package", "packed", "parser", "pascal", "pchar", "private",
      "procedure", "program", "property", "protected", "public", "published", "read", "real",
      "record", "register", "reintroduce", "repeat", "requires", "returns", "safecall", "set",
      "shl", "shortint", "shr", "single", "smallint", "stdcall", "stored", "string", "then",
      "to", "tokens", "type", "unit", "until", "uses", "var", "variant", "virtual", "while",
      "widechar", "widestring", "with", "word", "write", "xor"};
  return words;
}

const char* KivSynScanner::IdentifierChars() {
  return "ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz";
}

const char* KivSynScanner::LanguageName() { return "kiv"; }

const char* KivSynScanner::SampleSource() {
  return "Sample source for: \r\nKIV Syntax Parser/Highlighter";
}

KivSynScanner::KivSynScanner() {
  addWords(OptionWords(), SynTokenKind::Option);
  addWords(ReservedWords(), SynTokenKind::ReservedWord);
}

void KivSynScanner::addWords(const std::vector<const char*>& words, SynTokenKind kind) {
  for (const char* word : words) {
    // "int64" can never be scanned as one word (digits end a word), but it stays in the table
    // as a word of the list; only its letters count towards the hash.
    const int hash = WordHash(word);
    if (hash >= 0 && hash < kHashTableSize) FHashTable[static_cast<size_t>(hash)].push_back({word, kind});
  }
}

int KivSynScanner::WordHash(std::string_view word) {
  int hash = 0;
  for (unsigned char c : word) {
    if (c == '_') hash += 31;
    else if (isLetter(c)) hash += std::tolower(c) - 'a' + 1;
  }
  return hash;
}

SynTokenKind KivSynScanner::WordKind(std::string_view word) const {
  const int hash = WordHash(word);
  if (hash >= kHashTableSize) return SynTokenKind::Identifier;
  for (const Entry& entry : FHashTable[static_cast<size_t>(hash)])
    if (equalIgnoringCase(entry.word, word)) return entry.kind;
  return SynTokenKind::Identifier;
}

void KivSynScanner::SetLine(std::string_view line, int lineNumber) {
  FLine = line;
  FLineNumber = lineNumber;
  FRun = 0;
  Next();
}

void KivSynScanner::scanString() {
  FKind = SynTokenKind::String;
  const unsigned char quote = at(FRun);
  if (at(FRun + 1) == quote && at(FRun + 2) == quote) FRun += 2;
  for (;;) {
    ++FRun;
    const unsigned char c = at(FRun);
    if (c == quote || c == '\n' || c == '\r' || c == 0) break;
    if (c == '\\' && at(FRun + 1) == '\n') ++FRun;
  }
  if (FRun < FLine.size() && at(FRun) == quote) ++FRun;
}

void KivSynScanner::scanWord() {
  while (isLetter(at(FRun)) || at(FRun) == '_') ++FRun;
  FKind = WordKind(GetToken());
}

void KivSynScanner::Next() {
  FTokenPos = FRun;
  const unsigned char c = at(FRun);
  if (FRun >= FLine.size() || c == 0) {
    FKind = SynTokenKind::Null;
    return;
  }
  if (c == '\n') {
    FKind = SynTokenKind::Space;
    ++FRun;
  } else if (c == '\r') {
    FKind = SynTokenKind::Space;
    ++FRun;
    if (at(FRun) == '\n') ++FRun;
  } else if (c <= 32) {
    FKind = SynTokenKind::Space;
    ++FRun;
    while (at(FRun) >= 1 && at(FRun) <= 32) ++FRun;
  } else if (c == '"' || c == '\'') {
    scanString();
  } else if (isLetter(c) || c == '_') {
    scanWord();
  } else if (c == '/') {
    ++FRun;
    if (at(FRun) == '/') {
      FKind = SynTokenKind::Comment;
      while (FRun < FLine.size() && at(FRun) != 0 && at(FRun) != '\n' && at(FRun) != '\r') ++FRun;
    } else {
      FKind = SynTokenKind::Symbol;
    }
  } else if (isSymbol(c)) {
    FKind = SynTokenKind::Symbol;
    ++FRun;
  } else {
    FKind = SynTokenKind::Other;
    FRun += characterLength(c);
    if (FRun > FLine.size()) FRun = FLine.size();
  }
}

}  // namespace kiv
