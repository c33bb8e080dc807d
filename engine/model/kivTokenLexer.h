// kivTokenLexer.h - TkivTokenLexer: the lexer of token vocabulary files.
// Identifiers, strings, integers, "(", ")" and "="; blanks and both comment forms are skipped.
#pragma once

#include "runtime/cpp/kivLexer.h"

namespace kiv {
// Token types of vocabulary files.
enum VocabularyTokenKind : int {
  vtIdent = 4,  // a letter, then letters, digits and "_"
  vtString = 5, // a double quote, any characters but the double quote and code 0, a double quote
  vtInt = 6,    // one or more digits
  vtAssign = 7, // "="
  vtLParen = 8, // "("
  vtRParen = 9, // ")"
};
} // namespace kiv

// A string keeps both double quotes in its text and has no escapes. A "//" comment must end with
// a line break; a "(*" comment runs to the first "*)". Every other character is a lexical error.
class TkivTokenLexer : public TkivLexer {
public:
  using TkivLexer::TkivLexer;

  IkivTokenPtr NextToken() override;

private:
  // A carriage return and line feed pair, a lone carriage return or a lone line feed.
  void LineBreak();
  void LineComment();
  void ParenComment();
  void String();
  void Identifier();
  void Integer();
};
