// calcMain.cpp
// kiv-runtime-demo: evaluates an expression-language file (or standard input) with the runtime's lexer and parser.
#include "runtime/cpp/demo/calcLexer.h"
#include "runtime/cpp/demo/calcParser.h"
#include "runtime/cpp/kivExceptionMismatchedChar.h"
#include "runtime/cpp/kivExceptionMismatchedToken.h"
#include "runtime/cpp/kivExceptionSemantic.h"
#include "runtime/cpp/kivUtils.h"

#include <fstream>
#include <iostream>
#include <string>

namespace {

/// The last path component of a file name.
std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\:");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

/// The text of a recognition failure, in the diagnostic wording of the KIV tool.
std::string FailureText(const EkivException& e) {
  if (const auto* c = dynamic_cast<const EkivMismatchedChar*>(&e)) {
    TkivCharSet found;
    found.set(static_cast<unsigned char>(c->FoundChar()));
    switch (c->Kind()) {
      case kiv::ExceptionKind::Char:
        return "Unexpected token: " + CharSetText(found);
      case kiv::ExceptionKind::CharRange:
      case kiv::ExceptionKind::CharSet:
        return (c->Negated() ? "Not expecting [" : "Expecting [") + CharSetText(c->ExpectedSet()) +
               (c->Negated() ? "] and found " : "] but found ") + CharSetText(found);
      case kiv::ExceptionKind::String:
        return "Unexpected string token: " + c->FoundText();
      default:
        return "Internal error: Unknown lexer exception.";
    }
  }
  if (const auto* t = dynamic_cast<const EkivMismatchedToken*>(&e))
    return t->TokenType() == TT_EOF ? "Unexpected end of input" : "Unexpected token: " + t->TokenText();
  if (const auto* s = dynamic_cast<const EkivSemantic*>(&e)) return s->Text();
  return "recognition error";
}

} // namespace

int main(int argc, char** argv) {
  if (argc > 2) {
    std::cerr << "usage: kiv-runtime-demo [file]\n";
    return 2;
  }
  std::ifstream file;
  std::string fileName = "stdin";
  if (argc == 2) {
    fileName = argv[1];
    file.open(fileName, std::ios::binary);
    if (!file) {
      std::cerr << "kiv-runtime-demo: cannot open " << fileName << '\n';
      return 2;
    }
  }
  std::istream& in = argc == 2 ? static_cast<std::istream&>(file) : std::cin;

  auto lexer = kiv::MakeLexer<calc::CalcLexer>(in);
  calc::CalcParser parser(lexer, std::cout);
  lexer->InputState->SetFileName(fileName);
  parser.InputState->SetFileName(fileName);
  try {
    parser.program();
  } catch (const EkivException& e) {
    std::cout.flush();
    std::cerr << BaseName(e.FileName()) << '(' << e.Line() << "): " << FailureText(e) << " (column " << e.Column()
              << ")\n";
    return 1;
  }
  return 0;
}
