// kivLexer.cpp
// TkivLexer: consumption with positions, the match family, tokens and literals.
#include "runtime/cpp/kivLexer.h"

#include "runtime/cpp/kivExceptionMismatchedChar.h"

#include <stdexcept>

TkivLexer::TkivLexer(std::istream& stream) : InputState(std::make_shared<TkivLexerState>(stream)) {
  fLiterals.SetCaseSensitive(true);
}

void TkivLexer::tab() {
  InputState->SetColumn(InputState->Column() + 1);
}

void TkivLexer::consume() {
  TkivLexerState& state = *InputState;
  if (state.Guessing() == 0) {
    const char c = LA(1);
    if (SaveConsumedInput) TokenText += c;
    if (c == '\t')
      tab();
    else
      state.SetColumn(state.Column() + 1);
  }
  state.Input()->consume();
}

void TkivLexer::match(char c) {
  const char expected = fCaseSensitive ? c : kiv::LowerAscii(c);
  const char found = LA(1);
  if (found != expected)
    throw EkivMismatchedChar(found, c, InputState->FileName(), InputState->Line(), InputState->Column(), false);
  consume();
}

void TkivLexer::matchNot(char c) {
  const char excluded = fCaseSensitive ? c : kiv::LowerAscii(c);
  const char found = LA(1);
  // The end of input is no character: "~'c'" and the wildcard (matchNot(EOF_CHAR)) stop there
  // instead of consuming the end for ever, while a zero byte before the end is a character.
  if (found == EOF_CHAR ? AtEndOfInput() : found == excluded)
    throw EkivMismatchedChar(found, c, InputState->FileName(), InputState->Line(), InputState->Column(), true);
  consume();
}

void TkivLexer::match(const TkivCharSet& set) {
  const char found = LA(1);
  if (!kiv::IsMember(set, found))
    throw EkivMismatchedChar(found, set, InputState->FileName(), InputState->Line(), InputState->Column(), false);
  consume();
}

void TkivLexer::match(const std::string& s) {
  std::string matched;
  for (char expected : s) {
    if (!fCaseSensitive) expected = kiv::LowerAscii(expected);
    const char found = LA(1);
    matched += found;
    if (found != expected)
      throw EkivMismatchedChar(matched, s, InputState->FileName(), InputState->Line(), InputState->Column());
    consume();
  }
}

void TkivLexer::ConsumeUntil(const TkivCharSet& set) {
  for (char c = LA(1); !(c == EOF_CHAR && AtEndOfInput()) && !kiv::IsMember(set, c); c = LA(1)) consume();
}

void TkivLexer::newLine() {
  InputState->SetColumn(1);
  InputState->SetLine(InputState->Line() + 1);
}

void TkivLexer::ResetText() {
  TokenText.clear();
  InputState->SetTokenStartColumn(InputState->Column());
  InputState->SetTokenStartLine(InputState->Line());
}

bool TkivLexer::AtEndOfInput() { return InputState->Input()->IsEndOfInput(1); }

IkivTokenPtr TkivLexer::makeToken(int type, const std::string& text) {
  // Note [zero bytes]: a zero byte reads as EOF_CHAR, so the end-of-input branch of NextToken is
  // taken for it too; only the real end makes the end-of-input token. Before it, the zero byte is
  // an unexpected character at its own position.
  if (type == TT_EOF && LA(1) == EOF_CHAR && !AtEndOfInput())
    throw EkivMismatchedChar(EOF_CHAR, EOF_CHAR, InputState->FileName(), InputState->Line(), InputState->Column(),
                             true);
  if (!fTokenClass) fTokenClass = kiv::TokenClassOf<TkivToken>();
  IkivTokenPtr token = fTokenClass(type, text);
  if (!token) throw std::logic_error("the token class made no token");
  token->SetLine(InputState->TokenStartLine());
  token->SetColumn(InputState->TokenStartColumn());
  return token;
}

int TkivLexer::TestLiteral(const std::string& text, int type) const {
  const int value = fLiterals.ValueOf(text);
  return value >= 0 ? value : type;
}

int TkivLexer::mark() {
  fMarkedPositions.emplace_back(InputState->Line(), InputState->Column());
  return InputState->Input()->mark();
}

void TkivLexer::rewind(int m) {
  InputState->Input()->rewind(m);
  if (!fMarkedPositions.empty()) {
    InputState->SetLine(fMarkedPositions.back().first);
    InputState->SetColumn(fMarkedPositions.back().second);
    fMarkedPositions.pop_back();
  }
}

void TkivLexer::commit() {
  InputState->Input()->commit();
  if (!fMarkedPositions.empty()) fMarkedPositions.pop_back();
}
