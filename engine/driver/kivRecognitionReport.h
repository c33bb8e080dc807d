// kivRecognitionReport.h - the diagnostic text of a recognition exception that ended a parse.
// The build run reports it through IkivTool::Error at the exception's file and line.
#pragma once

#include <string>

class EkivMismatchedChar;
class EkivMismatchedToken;

namespace kiv {

// "Unexpected token: 'x'", "Expecting ['0'..'9'] but found 'x'", "Not expecting [...] and found ...",
// "Unexpected string token: ...", or "Internal error: Unknown lexer exception." by the kind.
std::string LexicalErrorText(const EkivMismatchedChar& e);
// "Unexpected token: " and the text of the token found.
std::string SyntaxErrorText(const EkivMismatchedToken& e);
// The last component of a path, after the last "/", "\" or drive ":".
std::string LastPathComponent(const std::string& path);

}  // namespace kiv
