// kivUtils.h
// Text forms of characters, character sets, token types and token sets, and the character-class table.
#pragma once

#include "runtime/cpp/kivTypes.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

/// 'c' for a printable character (codes 32..126), "''''" for the apostrophe, #code otherwise.
std::string CharText(char c);
/// The members in ascending order as runs: CharText(first) or CharText(first)..CharText(last),
/// runs joined by ","; the empty set gives "". Serves both set types (they share one C++ type).
std::string CharSetText(const TkivCharSet& set);
/// The name of a token type as diagnostics print it. vocabulary holds lines name=value (it may be
/// empty): the first line whose value is type gives "LT_" + the literal without its quotes for a
/// name that starts with a double quote, else "TT_" + name. Without a matching line the result is
/// "TT_" + the type padded with zeros to three digits (TT_007, TT_1234).
/// A line is split at its LAST "=": values are plain numbers, while a literal's name may hold "="
/// (the line "\":=\"=9" names the literal ":=").
std::string TokenTypeName(int type, std::span<const std::string> vocabulary = {});
/// Like CharSetText over token types, each end of a run printed with TokenTypeName.
std::string TokenSetText(const TkivTokenSet& set, std::span<const std::string> vocabulary = {});

namespace kiv {

/// Flags of the character-class table.
enum CharClassKind : std::uint8_t {
  ccControl = 1,  // codes 0..31 and 127..255
  ccPrintable = 2, // codes 32..126
  ccDigit = 4,
  ccLetter = 8,   // A..Z, a..z
  ccLetterOrDigit = 16,
};

/// The 256-entry table of class flags, built once on first use.
const std::array<std::uint8_t, 256>& CharClassTable();

inline bool IsPrintable(char c) { return (CharClassTable()[CharCode(c)] & ccPrintable) != 0; }

} // namespace kiv
