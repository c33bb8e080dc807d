// kivExceptionMismatchedToken.h
// EkivMismatchedToken: a parser found another token than it expected.
#pragma once

#include "runtime/cpp/kivException.h"
#include "runtime/cpp/kivTypes.h"

#include <string>

/// Raised by the parser's match operations. Line and column are those of the offending token, not
/// of the input state; its text and type are copied. The expected type or set is accepted and not
/// kept. A null token records empty text, type 0, line 0 and column 0.
class EkivMismatchedToken : public EkivException {
public:
  /// Kind Token: the token is not of the expected type (or, negated, is of the excluded type).
  EkivMismatchedToken(const IkivTokenPtr& token, int expected, std::string fileName, bool negated = false);
  /// Kind TokenSet: the token's type is not in the expected set (or, negated, is in it).
  EkivMismatchedToken(const IkivTokenPtr& token, const TkivTokenSet& expected, std::string fileName,
                      bool negated = false);

  const std::string& TokenText() const { return fTokenText; }
  int TokenType() const { return fTokenType; }

private:
  std::string fTokenText;
  std::int32_t fTokenType = 0;
};
