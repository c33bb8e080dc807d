// kivRecognitionReport.cpp - texts for the lexical and syntax errors that end a parse.
#include "engine/driver/kivRecognitionReport.h"

#include "runtime/cpp/kivExceptionMismatchedChar.h"
#include "runtime/cpp/kivExceptionMismatchedToken.h"
#include "runtime/cpp/kivUtils.h"

namespace kiv {

namespace {
std::string FoundCharText(const EkivMismatchedChar& e) {
  TkivCharSet found;
  Include(found, CharCode(e.FoundChar()));
  return CharSetText(found);
}
}  // namespace

std::string LexicalErrorText(const EkivMismatchedChar& e) {
  switch (e.Kind()) {
    case ExceptionKind::Char:
      return "Unexpected token: " + FoundCharText(e);
    case ExceptionKind::CharRange:
    case ExceptionKind::CharSet:
      if (e.Negated())
        return "Not expecting [" + CharSetText(e.ExpectedSet()) + "] and found " + FoundCharText(e);
      return "Expecting [" + CharSetText(e.ExpectedSet()) + "] but found " + FoundCharText(e);
    case ExceptionKind::String:
      return "Unexpected string token: " + e.FoundText();
    default:
      return "Internal error: Unknown lexer exception.";
  }
}

std::string SyntaxErrorText(const EkivMismatchedToken& e) { return "Unexpected token: " + e.TokenText(); }

std::string LastPathComponent(const std::string& path) {
  const std::string::size_type cut = path.find_last_of("/\\:");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace kiv
