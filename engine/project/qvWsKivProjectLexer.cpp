// qvWsKivProjectLexer.cpp
// Token dispatch and rule methods of the project-file lexer.
#include "engine/project/qvWsKivProjectLexer.h"

#include "runtime/cpp/kivExceptionMismatchedChar.h"

namespace {

const TkivCharSet kLetters = kiv::CharRange('a', 'z') | kiv::CharRange('A', 'Z');
const TkivCharSet kLineEnds = kiv::CharSetOf("\r\n");
// Every character that can start a token, for the no-rule-applies error.
const TkivCharSet kTokenStart = kLetters | kLineEnds | kiv::CharSetOf("\"#= \t");

}  // namespace

void TqvWsKivProjectLexer::initialize() {
  fLiterals.SetCaseSensitive(true);
  fLiterals.Add("KIV", kiv::ptKIV);
  fLiterals.Add("project", kiv::ptProject);
  fLiterals.Add("OutputDir", kiv::ptOutputDir);
  fLiterals.Add("ExchangeDir", kiv::ptExchangeDir);
  fLiterals.Add("Grammar", kiv::ptGrammar);
  fLiterals.Add("show", kiv::ptShow);
  fLiterals.Add("End", kiv::ptEnd);
}

IkivTokenPtr TqvWsKivProjectLexer::NextToken() {
  for (;;) {
    ResetText();
    const char c = LA(1);
    switch (c) {
      case EOF_CHAR:
        uponEof();
        return makeToken(TT_EOF);
      case '\r':
      case '\n':
        mNEWLINE();
        continue;
      case '#':
        mCOMMENT();
        continue;
      case ' ':
      case '\t':
        mBLANK();
        continue;
      case '=':
        match('=');
        return makeToken(kiv::ptAssign, TokenText);
      case '"':
        mSTRING();
        return ReturnToken;
      default:
        if (kiv::IsMember(kLetters, c)) {
          mIDENT();
          return ReturnToken;
        }
        throw EkivMismatchedChar(c, kTokenStart, InputState->FileName(), InputState->Line(),
                                 InputState->Column());
    }
  }
}

void TqvWsKivProjectLexer::mNEWLINE() {
  if (LA(1) == '\r') {
    match('\r');
    if (LA(1) == '\n') match('\n');
  } else {
    match('\n');
  }
  newLine();
}

void TqvWsKivProjectLexer::mCOMMENT() {
  match('#');
  while (LA(1) != '\r' && LA(1) != '\n') {
    // The comment's line end is required: the end of input inside a comment is an error.
    if (LA(1) == EOF_CHAR) match(kLineEnds);
    consume();
  }
  mNEWLINE();
}

void TqvWsKivProjectLexer::mBLANK() {
  if (LA(1) == '\t') {
    // consume() advances the column through tab() for a tab character.
    consume();
  } else {
    match(' ');
  }
}

void TqvWsKivProjectLexer::mSTRING() {
  match('"');
  const std::size_t begin = TokenText.size();
  while (LA(1) != '"') {
    const char c = LA(1);
    if (c == EOF_CHAR) match('"');
    consume();
    // Line ends inside a string still count as lines, so later positions stay right.
    if (c == '\n' || (c == '\r' && LA(1) != '\n')) newLine();
  }
  const std::string text = TokenText.substr(begin);
  match('"');
  ReturnToken = makeToken(kiv::ptString, text);
}

void TqvWsKivProjectLexer::mIDENT() {
  do {
    match(kLetters);
  } while (kiv::IsMember(kLetters, LA(1)));
  ReturnToken = makeToken(TestLiteral(kiv::ptIdent), TokenText);
}
