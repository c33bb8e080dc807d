// calcLexer.h
// CalcLexer: the hand-written lexer of the demo's expression language, in the shape generated lexers take.
#pragma once

#include "runtime/cpp/kivLexer.h"

#include <istream>

namespace calc {

/// Token types of the expression language; user types start at 4.
enum TokenKind : int {
  NUMBER = 4,
  ID,
  LET,
  ASSIGN,
  SEMI,
  PLUS,
  MINUS,
  STAR,
  SLASH,
  LPAREN,
  RPAREN,
};

/// Numbers, identifiers (the keyword "let" in any letter case), the operators + - * / = ; ( ),
/// blanks, line ends and "//" comments. Create it with kiv::MakeLexer<CalcLexer>(stream).
class CalcLexer : public TkivLexer {
public:
  explicit CalcLexer(std::istream& stream) : TkivLexer(stream) {}

  void initialize() override;
  IkivTokenPtr NextToken() override;

private:
  // Rule methods: each leaves its token in ReturnToken when pCreate is true.
  void mNUMBER(bool pCreate);
  void mID(bool pCreate);
  void mOperator(bool pCreate);
  void mWhitespace(bool pCreate);
  void mComment(bool pCreate);
  /// Makes the rule's token from the text collected since begin (1-based).
  void finishToken(bool pCreate, int type, std::size_t begin);
};

} // namespace calc
