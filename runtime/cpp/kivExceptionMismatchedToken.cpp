// kivExceptionMismatchedToken.cpp
// EkivMismatchedToken: the two constructors.
#include "runtime/cpp/kivExceptionMismatchedToken.h"

#include <utility>

EkivMismatchedToken::EkivMismatchedToken(const IkivTokenPtr& token, int /*expected*/, std::string fileName,
                                         bool negated)
    : EkivException(kiv::ExceptionKind::Token, std::move(fileName), token ? token->Line() : 0,
                    token ? token->Column() : 0) {
  if (token) {
    fTokenText = token->TokenText();
    fTokenType = token->TokenType();
  }
  fNegated = negated;
}

EkivMismatchedToken::EkivMismatchedToken(const IkivTokenPtr& token, const TkivTokenSet& /*expected*/,
                                         std::string fileName, bool negated)
    : EkivException(kiv::ExceptionKind::TokenSet, std::move(fileName), token ? token->Line() : 0,
                    token ? token->Column() : 0) {
  if (token) {
    fTokenText = token->TokenText();
    fTokenType = token->TokenType();
  }
  fNegated = negated;
}
