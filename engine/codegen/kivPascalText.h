// kivPascalText.h - text forms that generated Pascal needs: string literals, re-indented embedded
// code, banners, padding, identifier-safe literal labels and output file paths.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kiv {

// A name from the grammar as a Pascal identifier: a reserved word of the language (a rule named
// "file" or "type", a label named "end") is written with the "&" escape, any other name unchanged.
std::string PascalIdentifier(const std::string& Name);

// The text without leading and trailing blanks and control characters (codes 0..32).
std::string TrimText(std::string_view Text);

// A valid Pascal string expression for any 8-bit text: printable runs between apostrophes with
// each apostrophe doubled, every other character as a #code; the empty text gives ''.
// For example don't reads 'don''t' and a CR LF pair reads #13#10.
std::string PascalStringLiteral(std::string_view Text);

// Embedded code (an action as the grammar holds it, braces included) as lines ready to be written
// at the current level: the braces dropped, blank lines removed at both ends, trailing blanks
// removed, tabs expanded to the next multiple of TabWidth and the common leading indentation
// removed; a single remaining line is trimmed on both sides.
std::vector<std::string> ReindentAction(std::string_view Action, std::size_t TabWidth = 3);

// The words and symbols of Pascal code, comments left out: identifiers (dotted names whole) and
// numbers as words, strings whole, ":=" and any other character as a symbol.
std::vector<std::string> ActionWords(const std::string& Text);

// The text of an action or predicate without its enclosing braces, trimmed.
std::string ActionBody(std::string_view Action);

// The text left-justified in a field of Width characters (never cut).
std::string PadRight(std::string_view Text, std::size_t Width);

// "// " followed by Count copies of Fill.
std::string CommentBanner(char Fill, std::size_t Count);

// True when every character is a letter, a digit or "_" (the empty text included), so that
// "LT_" + the text is a Pascal identifier.
bool IsIdentifierTail(std::string_view Text);

// The label a literal without one is given: "LT_" + its text when that is an identifier, else
// "LT_" + the text with every character other than a letter or digit written as "_" and two
// hexadecimal digits (":=" gives LT__3A_3D), which keeps distinct literals apart.
std::string LiteralLabel(std::string_view LiteralText);

// The output file Directory/FileName. A trailing "\" or "/" of the directory is dropped and the
// platform's separator used, so a directory given as "out\" still names the directory out; an
// empty directory leaves the file name alone (the current directory).
std::string JoinOutputPath(const std::string& Directory, const std::string& FileName);

} // namespace kiv
