// kivExceptionMismatchedChar.h
// EkivMismatchedChar: a lexer found another character or text than it expected.
#pragma once

#include "runtime/cpp/kivException.h"
#include "runtime/cpp/kivTypes.h"

#include <string>

/// Raised by the lexer's match operations and by a token dispatch that finds no rule.
/// Which fields are filled depends on the kind:
///   Char (1):    ExpectedChar, ExpectedUpperChar, ExpectedSet (just that char), FoundChar
///   CharSet (3): ExpectedSet, FoundChar
///   String (4):  ExpectedText, FoundText (matched so far, including the offending character)
/// The fields a kind does not use hold character 0, the empty set or the empty text.
class EkivMismatchedChar : public EkivException {
public:
  /// Kind Char: found another character than expected (or, negated, the excluded one).
  EkivMismatchedChar(char found, char expected, std::string fileName, int line, int column, bool negated = false);
  /// Kind CharSet: found a character outside (or, negated, inside) the expected set.
  EkivMismatchedChar(char found, const TkivCharSet& expected, std::string fileName, int line, int column,
                     bool negated = false);
  /// Kind String: the text matched so far differs from the expected string at its last character.
  EkivMismatchedChar(std::string found, std::string expected, std::string fileName, int line, int column);

  char ExpectedChar() const { return fExpectedChar; }
  char ExpectedUpperChar() const { return fExpectedUpperChar; }
  const TkivCharSet& ExpectedSet() const { return fExpectedSet; }
  const std::string& ExpectedText() const { return fExpectedText; }
  char FoundChar() const { return fFoundChar; }
  const std::string& FoundText() const { return fFoundText; }

private:
  char fExpectedChar = EOF_CHAR;
  char fExpectedUpperChar = EOF_CHAR;
  TkivCharSet fExpectedSet;
  std::string fExpectedText;
  char fFoundChar = EOF_CHAR;
  std::string fFoundText;
};
