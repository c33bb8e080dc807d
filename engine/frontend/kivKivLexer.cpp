// kivKivLexer.cpp - the grammar-file lexer: token dispatch, the scanning rules and their errors.
// Every lexical error raises EkivMismatchedChar at the offending character; nothing is skipped.
#include "engine/frontend/kivKivLexer.h"

#include <cstdint>
#include <string>

#include "engine/frontend/kivKivTokenTypes.h"
#include "runtime/cpp/kivExceptionMismatchedChar.h"

using namespace kiv::kivgrammar;

namespace {

const TkivCharSet& UpperLetters() {
  static const TkivCharSet set = kiv::CharRange('A', 'Z');
  return set;
}

const TkivCharSet& LowerLetters() {
  static const TkivCharSet set = kiv::CharRange('a', 'z');
  return set;
}

const TkivCharSet& Digits() {
  static const TkivCharSet set = kiv::CharRange('0', '9');
  return set;
}

const TkivCharSet& HexDigits() {
  static const TkivCharSet set = Digits() | kiv::CharRange('A', 'F') | kiv::CharRange('a', 'f');
  return set;
}

// Letters, digits and "_": what may follow the first letter of an identifier.
const TkivCharSet& IdentifierTail() {
  static const TkivCharSet set = UpperLetters() | LowerLetters() | Digits() | kiv::CharSetOf("_");
  return set;
}

const TkivCharSet& Blanks() {
  static const TkivCharSet set = kiv::CharSetOf(" \t\r\n");
  return set;
}

// Every character that can start a token, a comment or a blank: the expected set when none can.
const TkivCharSet& TokenStart() {
  static const TkivCharSet set =
      Blanks() | kiv::CharSetOf("!\"$'()*+,./:;=?[{|}~") | Digits() | UpperLetters() | LowerLetters();
  return set;
}

// What may stand between the quotes of a character literal (the backslash opens an escape).
const TkivCharSet& CharLiteralBody() {
  static const TkivCharSet set = ~kiv::CharSetOf(std::string("'") + EOF_CHAR);
  return set;
}

// The characters that may follow the backslash of an escape.
const TkivCharSet& EscapeLetters() {
  static const TkivCharSet set = kiv::CharSetOf("rnt\\'\"x");
  return set;
}

const TkivCharSet& LineBreaks() {
  static const TkivCharSet set = kiv::CharSetOf("\r\n");
  return set;
}

// The worth of a hexadecimal (or decimal) digit.
std::uint32_t DigitValue(char C) {
  if (C >= '0' && C <= '9') return static_cast<std::uint32_t>(C - '0');
  if (C >= 'A' && C <= 'F') return static_cast<std::uint32_t>(C - 'A' + 10);
  return static_cast<std::uint32_t>(C - 'a' + 10);
}

// Keeps the characters matched during its lifetime out of the token text, and restores the
// lexer's previous setting however the scope is left.
class DroppedText {
public:
  explicit DroppedText(TkivLexer& Lexer) : fLexer(Lexer), fSaved(Lexer.SaveConsumedInput) {
    Lexer.SaveConsumedInput = false;
  }
  ~DroppedText() { fLexer.SaveConsumedInput = fSaved; }
  DroppedText(const DroppedText&) = delete;
  DroppedText& operator=(const DroppedText&) = delete;

private:
  TkivLexer& fLexer;
  bool fSaved;
};

} // namespace

void TkivKivLexer::initialize() {
  fLiterals.Add("unit", TT_UNIT);
  fLiterals.Add("uses", TT_USES);
  fLiterals.Add("const", TT_CONST);
  fLiterals.Add("type", TT_TYPE);
  fLiterals.Add("lexer", TT_LEXER);
  fLiterals.Add("parser", TT_PARSER);
  fLiterals.Add("options", TT_OPTIONS);
  fLiterals.Add("tokens", TT_TOKENS);
  fLiterals.Add("memberdecl", TT_MEMBERDECL);
  fLiterals.Add("memberdef", TT_MEMBERDEF);
  fLiterals.Add("private", TT_PRIVATE);
  fLiterals.Add("protected", TT_PROTECTED);
  fLiterals.Add("public", TT_PUBLIC);
  fLiterals.Add("returns", TT_RETURNS);
  fLiterals.Add("local", TT_LOCAL);
  fLiterals.Add("except", TT_EXCEPT);
  fLiterals.Add("finally", TT_FINALLY);
}

IkivTokenPtr TkivKivLexer::NextToken() {
  for (;;) {
    ResetText();
    const char c = LA(1);
    if (c == '=' && LA(2) == '>') return makeFixedToken(TT_IMPLIES, "=>");
    if (c == '.' && LA(2) == '.') return makeFixedToken(TT_DOTDOT, "..");
    if (atCommentStart()) {
      mCOMMENT(false);
      continue;
    }
    switch (c) {
    case '(': return makeFixedToken(TT_LPAREN, "(");
    case ')': return makeFixedToken(TT_RPAREN, ")");
    case '}': return makeFixedToken(TT_RBRACE, "}");
    case ':': return makeFixedToken(TT_COLON, ":");
    case ';': return makeFixedToken(TT_SEMI, ";");
    case ',': return makeFixedToken(TT_COMMA, ",");
    case '=': return makeFixedToken(TT_ASSIGN, "=");
    case '?': return makeFixedToken(TT_QUESTION, "?");
    case '+': return makeFixedToken(TT_PLUS, "+");
    case '*': return makeFixedToken(TT_STAR, "*");
    case '~': return makeFixedToken(TT_TILDE, "~");
    case '|': return makeFixedToken(TT_BAR, "|");
    case '!': return makeFixedToken(TT_BANG, "!");
    case '.': return makeFixedToken(TT_DOT, ".");
    case '\'': mCHAR(true); return ReturnToken;
    case '"': mSTRING(true); return ReturnToken;
    case '$': mINT(true); return ReturnToken;
    case '[': mARGUMENT(true); return ReturnToken;
    case '{': mACTION(true); return ReturnToken;
    case EOF_CHAR:
      uponEof();
      // Positioned by the ResetText above: where the input ended.
      return makeToken(TT_EOF);
    default: break;
    }
    if (kiv::IsMember(Digits(), c)) {
      mINT(true);
      return ReturnToken;
    }
    if (kiv::IsMember(UpperLetters(), c)) {
      mUPPER_ID(true);
      return ReturnToken;
    }
    if (kiv::IsMember(LowerLetters(), c)) {
      mLOWER_ID(true);
      return ReturnToken;
    }
    if (kiv::IsMember(Blanks(), c)) {
      mWS(false);
      continue;
    }
    throw EkivMismatchedChar(c, TokenStart(), InputState->FileName(), InputState->Line(), InputState->Column());
  }
}

// ---------------------------------------------------------------------------------------------
// Literals
// ---------------------------------------------------------------------------------------------

void TkivKivLexer::mCHAR(bool pCreate) {
  const std::size_t begin = TokenText.size();
  matchDropped('\'');
  const char c = LA(1);
  if (c == '\\') {
    mESCAPE(false);
  } else if (c != '\'' && c != EOF_CHAR) {
    consume();
    // A raw line break between the quotes still ends a source line; counting it keeps every later
    // position right.
    if (c == '\r' || c == '\n') newLine();
  } else {
    throw EkivMismatchedChar(c, CharLiteralBody(), InputState->FileName(), InputState->Line(),
                             InputState->Column());
  }
  matchDropped('\'');
  finishRule(TT_CHAR, begin, pCreate);
}

void TkivKivLexer::mSTRING(bool pCreate) {
  const std::size_t begin = TokenText.size();
  match('"');
  for (;;) {
    const char c = LA(1);
    if (c == '"' || c == EOF_CHAR) break;
    if (c == '\\')
      mESCAPE(false);
    else if (c == '\r' || c == '\n')
      matchLineBreak(); // kept in the text, and counted like any other line break
    else
      consume();
  }
  match('"');
  finishRule(TT_STRING, begin, pCreate);
}

void TkivKivLexer::mESCAPE(bool pCreate) {
  const std::size_t begin = TokenText.size();
  matchDropped('\\');
  const bool keep = SaveConsumedInput && InputState->Guessing() == 0;
  switch (LA(1)) {
  case 'r':
    matchDropped('r');
    if (keep) TokenText += '\r';
    break;
  case 'n':
    matchDropped('n');
    if (keep) TokenText += '\n';
    break;
  case 't':
    matchDropped('t');
    if (keep) TokenText += '\t';
    break;
  case '\\':
  case '\'':
  case '"': consume(); break;
  case 'x': {
    matchDropped('x');
    const char high = LA(1);
    const char low = LA(2);
    {
      DroppedText dropped(*this);
      mHEX_DIGIT(false);
      mHEX_DIGIT(false);
    }
    if (keep) TokenText += static_cast<char>(DigitValue(high) * 16 + DigitValue(low));
    break;
  }
  default:
    throw EkivMismatchedChar(LA(1), EscapeLetters(), InputState->FileName(), InputState->Line(),
                             InputState->Column());
  }
  finishRule(TT_ESCAPE, begin, pCreate);
}

void TkivKivLexer::mINT(bool pCreate) {
  const std::size_t begin = TokenText.size();
  const bool hex = LA(1) == '$';
  if (hex)
    mHEX(false);
  else
    mDECIMAL(false);
  // The value is kept in 32 bits; unsigned arithmetic makes an oversized literal wrap around
  // instead of overflowing.
  std::uint32_t value = 0;
  for (std::size_t i = begin; i < TokenText.size(); ++i)
    value = value * (hex ? 16u : 10u) + DigitValue(TokenText[i]);
  TokenText.resize(begin);
  TokenText += std::to_string(static_cast<std::int32_t>(value));
  finishRule(TT_INT, begin, pCreate);
}

void TkivKivLexer::mDECIMAL(bool pCreate) {
  const std::size_t begin = TokenText.size();
  do mDIGIT(false);
  while (kiv::IsMember(Digits(), LA(1)));
  finishRule(TT_DECIMAL, begin, pCreate);
}

void TkivKivLexer::mHEX(bool pCreate) {
  const std::size_t begin = TokenText.size();
  matchDropped('$');
  do mHEX_DIGIT(false);
  while (kiv::IsMember(HexDigits(), LA(1)));
  finishRule(TT_HEX, begin, pCreate);
}

void TkivKivLexer::mDIGIT(bool pCreate) {
  const std::size_t begin = TokenText.size();
  match(Digits());
  finishRule(TT_DIGIT, begin, pCreate);
}

void TkivKivLexer::mHEX_DIGIT(bool pCreate) {
  const std::size_t begin = TokenText.size();
  match(HexDigits());
  finishRule(TT_HEX_DIGIT, begin, pCreate);
}

// ---------------------------------------------------------------------------------------------
// Arguments and actions
// ---------------------------------------------------------------------------------------------

void TkivKivLexer::mARGUMENT(bool pCreate) {
  const std::size_t begin = TokenText.size();
  matchDropped('[');
  for (char c = LA(1); c != ']' && c != EOF_CHAR; c = LA(1)) {
    if (c == '\r' || c == '\n')
      matchLineBreak();
    else
      consume();
  }
  matchDropped(']');
  finishRule(TT_ARGUMENT, begin, pCreate);
}

void TkivKivLexer::mACTION(bool pCreate) {
  const std::size_t begin = TokenText.size();
  int ttype = TT_ACTION;
  match('{');
  for (char c = LA(1); c != '}' && c != EOF_CHAR; c = LA(1)) {
    if (c == '\r' || c == '\n')
      matchLineBreak();
    else
      consume();
  }
  match('}');
  if (LA(1) == '?') {
    matchDropped('?');
    ttype = TT_PREDICATE;
  }
  finishRule(ttype, begin, pCreate);
}

// ---------------------------------------------------------------------------------------------
// Identifiers
// ---------------------------------------------------------------------------------------------

void TkivKivLexer::mUPPER_ID(bool pCreate) {
  const std::size_t begin = TokenText.size();
  match(UpperLetters());
  while (kiv::IsMember(IdentifierTail(), LA(1))) consume();
  finishRule(TestLiteral(TT_UPPER_ID), begin, pCreate);
}

void TkivKivLexer::mLOWER_ID(bool pCreate) {
  const std::size_t begin = TokenText.size();
  mLOWER_ID_BODY(true);
  int ttype = ReturnToken->TokenType();
  // "uses", "options" and "tokens" directly before a brace (blanks and comments between) open a
  // block: the brace becomes part of one block token.
  if (ttype == TT_USES || ttype == TT_OPTIONS || ttype == TT_TOKENS) {
    mWS_RUN(false);
    if (LA(1) == '{') {
      match('{');
      ttype = ttype == TT_USES ? TT_USES_BLOCK : ttype == TT_OPTIONS ? TT_OPTIONS_BLOCK : TT_TOKENS_BLOCK;
    }
  }
  finishRule(ttype, begin, pCreate);
}

void TkivKivLexer::mLOWER_ID_BODY(bool pCreate) {
  const std::size_t begin = TokenText.size();
  match(LowerLetters());
  while (kiv::IsMember(IdentifierTail(), LA(1))) consume();
  finishRule(TestLiteral(TT_LOWER_ID), begin, pCreate);
}

// ---------------------------------------------------------------------------------------------
// Blanks and comments
// ---------------------------------------------------------------------------------------------

void TkivKivLexer::mWS(bool pCreate) {
  const std::size_t begin = TokenText.size();
  const char c = LA(1);
  if (c == '\r' || c == '\n')
    matchLineBreak();
  else
    match(Blanks());
  finishRule(TT_WS, begin, pCreate);
}

void TkivKivLexer::mWS_RUN(bool pCreate) {
  const std::size_t begin = TokenText.size();
  for (;;) {
    if (atCommentStart())
      mCOMMENT(false);
    else if (kiv::IsMember(Blanks(), LA(1)))
      mWS(false);
    else
      break;
  }
  finishRule(TT_WS_RUN, begin, pCreate);
}

void TkivKivLexer::mCOMMENT(bool pCreate) {
  const std::size_t begin = TokenText.size();
  if (LA(1) == '/' && LA(2) == '/')
    mLINE_COMMENT(false);
  else if (LA(1) == '/' && LA(2) == '*')
    mSLASH_COMMENT(false);
  else
    mPAREN_COMMENT(false);
  finishRule(TT_SKIP, begin, pCreate);
}

void TkivKivLexer::mLINE_COMMENT(bool pCreate) {
  const std::size_t begin = TokenText.size();
  match('/');
  match('/');
  for (char c = LA(1); c != '\r' && c != '\n' && c != EOF_CHAR; c = LA(1)) consume();
  if (!kiv::IsMember(LineBreaks(), LA(1)))
    throw EkivMismatchedChar(LA(1), LineBreaks(), InputState->FileName(), InputState->Line(),
                             InputState->Column());
  matchLineBreak();
  finishRule(TT_LINE_COMMENT, begin, pCreate);
}

void TkivKivLexer::mPAREN_COMMENT(bool pCreate) {
  const std::size_t begin = TokenText.size();
  match('(');
  match('*');
  for (char c = LA(1); c != EOF_CHAR && !(c == '*' && LA(2) == ')'); c = LA(1)) {
    if (c == '\r' || c == '\n')
      matchLineBreak();
    else
      consume();
  }
  match('*');
  match(')');
  finishRule(TT_PAREN_COMMENT, begin, pCreate);
}

void TkivKivLexer::mSLASH_COMMENT(bool pCreate) {
  const std::size_t begin = TokenText.size();
  match('/');
  match('*');
  for (char c = LA(1); c != EOF_CHAR && !(c == '*' && LA(2) == '/'); c = LA(1)) {
    if (c == '\r' || c == '\n')
      matchLineBreak();
    else
      consume();
  }
  match('*');
  match('/');
  finishRule(TT_SLASH_COMMENT, begin, pCreate);
}

// ---------------------------------------------------------------------------------------------
// Helpers
// ---------------------------------------------------------------------------------------------

IkivTokenPtr TkivKivLexer::makeFixedToken(int TokenType, const char* Text) {
  match(std::string(Text));
  return makeToken(TokenType, Text);
}

void TkivKivLexer::finishRule(int TokenType, std::size_t Begin, bool pCreate) {
  ReturnToken = nullptr;
  if (!pCreate || TokenType == TT_SKIP) return;
  ReturnToken = makeToken(TokenType, Begin < TokenText.size() ? TokenText.substr(Begin) : std::string());
}

void TkivKivLexer::matchDropped(char C) {
  DroppedText dropped(*this);
  match(C);
}

void TkivKivLexer::matchLineBreak() {
  if (LA(1) == '\r') {
    match('\r');
    if (LA(1) == '\n') match('\n');
  } else {
    match('\n');
  }
  newLine();
}

bool TkivKivLexer::atCommentStart() {
  const char c = LA(1);
  if (c != '(' && c != '/') return false;
  const char next = LA(2);
  return next == '*' || next == '/';
}
