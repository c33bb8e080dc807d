// calcLexer.cpp
// CalcLexer: token dispatch and rule methods.
#include "runtime/cpp/demo/calcLexer.h"

#include "runtime/cpp/kivExceptionMismatchedChar.h"

namespace calc {

namespace {

const TkivCharSet kDigits = kiv::CharRange('0', '9');
const TkivCharSet kIdStart = kiv::CharRange('a', 'z') | kiv::CharRange('A', 'Z') | kiv::CharSetOf("_");
const TkivCharSet kIdRest = kIdStart | kDigits;
const TkivCharSet kOperators = kiv::CharSetOf("+-*/=;()");
const TkivCharSet kBlanks = kiv::CharSetOf(" \t\r\n");
/// Every character that can start a token, for the no-rule-applies error.
const TkivCharSet kFirst = kDigits | kIdStart | kOperators | kBlanks;

} // namespace

void CalcLexer::initialize() {
  fLiterals.SetCaseSensitive(false);
  fLiterals.Add("let", LET);
}

IkivTokenPtr CalcLexer::NextToken() {
  for (;;) {
    ResetText();
    const char c = LA(1);
    if (c == EOF_CHAR) {
      uponEof();
      return makeToken(TT_EOF);
    }
    if (kiv::IsMember(kBlanks, c)) {
      mWhitespace(false);
      continue;
    }
    if (c == '/' && LA(2) == '/') {
      mComment(false);
      continue;
    }
    if (kiv::IsMember(kDigits, c))
      mNUMBER(true);
    else if (kiv::IsMember(kIdStart, c))
      mID(true);
    else if (kiv::IsMember(kOperators, c))
      mOperator(true);
    else
      throw EkivMismatchedChar(c, kFirst, InputState->FileName(), InputState->Line(), InputState->Column());
    return ReturnToken;
  }
}

void CalcLexer::finishToken(bool pCreate, int type, std::size_t begin) {
  if (type != TT_SKIP && pCreate) {
    ReturnToken = makeToken(type);
    ReturnToken->SetTokenText(TokenText.substr(begin - 1));
  } else {
    ReturnToken = nullptr;
  }
}

void CalcLexer::mNUMBER(bool pCreate) {
  const std::size_t begin = TokenText.size() + 1;
  do {
    match(kDigits);
  } while (kiv::IsMember(kDigits, LA(1)));
  finishToken(pCreate, NUMBER, begin);
}

void CalcLexer::mID(bool pCreate) {
  const std::size_t begin = TokenText.size() + 1;
  match(kIdStart);
  while (kiv::IsMember(kIdRest, LA(1))) match(kIdRest);
  finishToken(pCreate, TestLiteral(ID), begin);
}

void CalcLexer::mOperator(bool pCreate) {
  const std::size_t begin = TokenText.size() + 1;
  int type = TT_SKIP;
  switch (LA(1)) {
    case '+': type = PLUS; break;
    case '-': type = MINUS; break;
    case '*': type = STAR; break;
    case '/': type = SLASH; break;
    case '=': type = ASSIGN; break;
    case ';': type = SEMI; break;
    case '(': type = LPAREN; break;
    case ')': type = RPAREN; break;
    default: break;
  }
  match(kOperators);
  finishToken(pCreate, type, begin);
}

void CalcLexer::mWhitespace(bool pCreate) {
  const std::size_t begin = TokenText.size() + 1;
  if (LA(1) == '\n') {
    match('\n');
    newLine();
  } else {
    match(kBlanks);
  }
  finishToken(pCreate, TT_SKIP, begin);
}

void CalcLexer::mComment(bool pCreate) {
  const std::size_t begin = TokenText.size() + 1;
  match(std::string("//"));
  while (LA(1) != '\n' && LA(1) != EOF_CHAR) matchNot('\n');
  finishToken(pCreate, TT_SKIP, begin);
}

} // namespace calc
