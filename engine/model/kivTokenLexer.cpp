// kivTokenLexer.cpp - scanning of token vocabulary files.
// Written like a generated lexer: one pass of NextToken per token, rule methods for the long forms.
#include "engine/model/kivTokenLexer.h"

#include "runtime/cpp/kivExceptionMismatchedChar.h"

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The characters that can start a token or a skipped blank or comment.
const TkivCharSet& TokenStartSet() {
  static const TkivCharSet set = [] {
    TkivCharSet s = kiv::CharSetOf("\t\n\r \"()/=");
    s |= kiv::CharRange('0', '9');
    s |= kiv::CharRange('A', 'Z');
    s |= kiv::CharRange('a', 'z');
    return s;
  }();
  return set;
}

} // namespace

IkivTokenPtr TkivTokenLexer::NextToken() {
  for (;;) {
    ResetText();
    const char c = LA(1);
    switch (c) {
    case ' ':
    case '\t':
      consume();
      continue;
    case '\r':
    case '\n':
      LineBreak();
      continue;
    case '/':
      LineComment();
      continue;
    case '(':
      if (LA(2) == '*') {
        ParenComment();
        continue;
      }
      consume();
      return makeToken(kiv::vtLParen, TokenText);
    case ')':
      consume();
      return makeToken(kiv::vtRParen, TokenText);
    case '=':
      consume();
      return makeToken(kiv::vtAssign, TokenText);
    case '"':
      String();
      return makeToken(kiv::vtString, TokenText);
    case EOF_CHAR:
      uponEof();
      return makeToken(TT_EOF);
    default:
      break;
    }
    if (IsLetter(c)) {
      Identifier();
      return makeToken(kiv::vtIdent, TokenText);
    }
    if (IsDigit(c)) {
      Integer();
      return makeToken(kiv::vtInt, TokenText);
    }
    throw EkivMismatchedChar(c, TokenStartSet(), InputState->FileName(), InputState->Line(),
                             InputState->Column());
  }
}

void TkivTokenLexer::LineBreak() {
  if (LA(1) == '\r') {
    consume();
    if (LA(1) == '\n') consume();
  } else {
    match('\n');
  }
  newLine();
}

void TkivTokenLexer::LineComment() {
  match("//");
  while (LA(1) != '\r' && LA(1) != '\n' && LA(1) != EOF_CHAR) consume();
  // The comment must end with a line break; at the end of input this match fails.
  if (LA(1) == EOF_CHAR) match(kiv::CharSetOf("\r\n"));
  LineBreak();
}

void TkivTokenLexer::ParenComment() {
  match("(*");
  while (!(LA(1) == '*' && LA(2) == ')')) {
    if (LA(1) == EOF_CHAR) match("*)"); // unterminated: fails at the end of input
    if (LA(1) == '\r' || LA(1) == '\n')
      LineBreak();
    else
      consume();
  }
  match("*)");
}

void TkivTokenLexer::String() {
  match('"');
  while (LA(1) != '"') {
    if (LA(1) == EOF_CHAR) match('"'); // unterminated: fails at the end of input
    consume();
  }
  match('"');
}

void TkivTokenLexer::Identifier() {
  consume();
  while (IsLetter(LA(1)) || IsDigit(LA(1)) || LA(1) == '_') consume();
}

void TkivTokenLexer::Integer() {
  while (IsDigit(LA(1))) consume();
}
