// kivException.h
// EkivException: the base of every recognition failure, with its kind and position.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace kiv {

/// What a recognition exception reports. The values are fixed: diagnostics and generated code
/// compare against them.
enum class ExceptionKind : std::int32_t {
  Char = 1,      // match / matchNot of one character
  CharRange = 2, // a character range (reported like CharSet)
  CharSet = 3,   // match of a character set; no token rule applies
  String = 4,    // match of a string
  Token = 5,     // parser match / matchNot of one token type
  TokenSet = 7,  // parser match of a token set
  Semantic = 8,  // a failed semantic predicate (EkivSemantic)
};

} // namespace kiv

/// A recognition failure. what() is empty: all information lives in the fields, and whoever
/// reports the exception composes the text.
class EkivException : public std::exception {
public:
  EkivException(kiv::ExceptionKind kind, std::string fileName, int line, int column);

  const char* what() const noexcept override { return ""; }

  kiv::ExceptionKind Kind() const { return fKind; }
  const std::string& FileName() const { return fFileName; }
  int Line() const { return fLine; }
  int Column() const { return fColumn; }
  /// True when the failed test was a negated match.
  bool Negated() const { return fNegated; }

protected:
  bool fNegated = false;

private:
  kiv::ExceptionKind fKind;
  std::string fFileName;
  std::int32_t fLine;
  std::int32_t fColumn;
};
