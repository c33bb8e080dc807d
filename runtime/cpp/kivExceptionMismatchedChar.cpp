// kivExceptionMismatchedChar.cpp
// EkivMismatchedChar: the three constructors.
#include "runtime/cpp/kivExceptionMismatchedChar.h"

#include <utility>

EkivMismatchedChar::EkivMismatchedChar(char found, char expected, std::string fileName, int line, int column,
                                       bool negated)
    : EkivException(kiv::ExceptionKind::Char, std::move(fileName), line, column),
      fExpectedChar(expected),
      fExpectedUpperChar(expected),
      fFoundChar(found) {
  fExpectedSet.set(static_cast<unsigned char>(expected));
  fNegated = negated;
}

EkivMismatchedChar::EkivMismatchedChar(char found, const TkivCharSet& expected, std::string fileName, int line,
                                       int column, bool negated)
    : EkivException(kiv::ExceptionKind::CharSet, std::move(fileName), line, column),
      fExpectedSet(expected),
      fFoundChar(found) {
  fNegated = negated;
}

EkivMismatchedChar::EkivMismatchedChar(std::string found, std::string expected, std::string fileName, int line,
                                       int column)
    : EkivException(kiv::ExceptionKind::String, std::move(fileName), line, column),
      fExpectedText(std::move(expected)),
      fFoundText(std::move(found)) {}
