// kivSynScanner.h
// The grammar highlighter's scanner: splits one line of grammar text into coloured tokens using
// only a word list (reserved words and option words); nothing carries over from line to line.
// Qt-free, so the editor's highlighters and the HTML/RTF exporter share it.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace kiv {

enum class SynTokenKind { Comment, Identifier, ReservedWord, Null, Option, Space, String, Symbol, Other };

// The highlighter's attributes; the numbers are also the editor style numbers.
enum class SynAttributeKind { Comment, Identifier, ReservedWord, Option, Space, String, Symbol };
inline constexpr int kSynAttributeCount = 7;

struct SynAttribute {
  const char* name;
  bool editorDefault;  // colour taken from the editor's default look
  unsigned char red, green, blue;
};

// Name and default look of each attribute, indexed by SynAttributeKind.
const SynAttribute& SynAttributeInfo(SynAttributeKind kind);
// The attribute a token kind is shown with; false for the end-of-line token, which has none.
bool SynAttributeOf(SynTokenKind kind, SynAttributeKind& attribute);

// The attributes the editor asks for by role.
enum class SynDefaultAttributeKind { Comment, Identifier, Keyword, String, Whitespace, Symbol };
SynAttributeKind SynDefaultAttribute(SynDefaultAttributeKind role);

class KivSynScanner {
public:
  static constexpr int kHashTableSize = 222;

  KivSynScanner();

  // Starts scanning `line` (borrowed until the next SetLine) and scans its first token.
  void SetLine(std::string_view line, int lineNumber);
  void Next();
  bool GetEol() const { return FKind == SynTokenKind::Null; }
  std::string_view GetToken() const { return FLine.substr(FTokenPos, FRun - FTokenPos); }
  SynTokenKind GetTokenKind() const { return FKind; }
  // Attribute of the current token; false at the end of the line.
  bool GetTokenAttribute(SynAttributeKind& attribute) const { return SynAttributeOf(FKind, attribute); }
  int GetTokenPos() const { return static_cast<int>(FTokenPos); }
  int GetLineNumber() const { return FLineNumber; }

  // The range state exists for the editor's benefit only: nothing spans lines.
  int GetRange() const { return FRange; }
  void SetRange(int range) { FRange = range; }
  void ResetRange() { FRange = 0; }

  // The kind of a word made of letters and "_": reserved word, option or identifier.
  SynTokenKind WordKind(std::string_view word) const;
  // Sum of the letters' values ("a" 1 .. "z" 26, "_" 31), case ignored.
  static int WordHash(std::string_view word);

  static const char* IdentifierChars();
  static const char* LanguageName();
  static const char* SampleSource();
  static const std::vector<const char*>& ReservedWords();
  static const std::vector<const char*>& OptionWords();

private:
  struct Entry {
    std::string word;
    SynTokenKind kind;
  };

  unsigned char at(size_t pos) const {
    return pos < FLine.size() ? static_cast<unsigned char>(FLine[pos]) : 0;
  }
  void scanString();
  void scanWord();
  void addWords(const std::vector<const char*>& words, SynTokenKind kind);

  std::array<std::vector<Entry>, kHashTableSize> FHashTable;
  std::string_view FLine;
  size_t FRun = 0;
  size_t FTokenPos = 0;
  SynTokenKind FKind = SynTokenKind::Null;
  int FLineNumber = 0;
  int FRange = 0;
};

}  // namespace kiv
