// kivParser.cpp
// TkivParser: construction over a token stream, marks and the match family.
#include "runtime/cpp/kivParser.h"

#include "runtime/cpp/kivExceptionMismatchedToken.h"
#include "runtime/cpp/kivTokenBuffer.h"

#include <utility>

TkivParser::TkivParser(IkivTokenStreamPtr tokenStream)
    : InputState(std::make_shared<TkivParserState>(std::make_shared<TkivTokenBuffer>(std::move(tokenStream)))) {}

int TkivParser::mark() {
  return InputState->Input()->mark();
}

void TkivParser::rewind(int m) {
  InputState->Input()->rewind(m);
}

void TkivParser::match(int t) {
  if (LA(1) != t) throw EkivMismatchedToken(LT(1), t, InputState->FileName(), false);
  consume();
}

void TkivParser::matchNot(int t) {
  if (LA(1) == t) throw EkivMismatchedToken(LT(1), t, InputState->FileName(), true);
  consume();
}

void TkivParser::match(const TkivTokenSet& set) {
  if (!kiv::IsMember(set, LA(1))) throw EkivMismatchedToken(LT(1), set, InputState->FileName(), false);
  consume();
}

void TkivParser::ConsumeUntil(const TkivTokenSet& set) {
  for (int t = LA(1); t != TT_EOF && !kiv::IsMember(set, t); t = LA(1)) consume();
}
