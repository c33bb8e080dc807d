// kivKivLexer.h - TkivKivLexer: the lexer of grammar files, written the way a generated lexer is.
// It turns grammar text into the tokens of kivKivTokenTypes.h and raises EkivMismatchedChar on bad input.
#pragma once

#include <cstddef>

#include "runtime/cpp/kivLexer.h"

// A TkivLexer descendant with no state of its own: the keywords live in the literal table, and
// every other decision is made from one or two characters of look-ahead. Create it with
// kiv::MakeLexer<TkivKivLexer>(stream), which runs initialize() once.
//
// Rule methods follow the pattern of generated lexers: mX(pCreate) scans one X, and when pCreate is
// true leaves a token of the rule's type in ReturnToken whose text is what the rule added to
// TokenText. Inner rules (comments, blanks, digits, escapes) are called with pCreate false.
class TkivKivLexer : public TkivLexer {
public:
  using TkivLexer::TkivLexer;

  // Enters the seventeen keywords, in token-type order, into the (case-sensitive) literal table.
  void initialize() override;
  // The next token for the parser; blanks and comments are skipped, and the end of input gives a
  // TT_EOF token positioned where the input ended.
  IkivTokenPtr NextToken() override;

protected:
  void mCHAR(bool pCreate);
  void mSTRING(bool pCreate);
  void mINT(bool pCreate);
  void mARGUMENT(bool pCreate);
  void mACTION(bool pCreate);
  void mUPPER_ID(bool pCreate);
  void mLOWER_ID(bool pCreate);
  void mLOWER_ID_BODY(bool pCreate);
  void mCOMMENT(bool pCreate);
  void mLINE_COMMENT(bool pCreate);
  void mPAREN_COMMENT(bool pCreate);
  void mSLASH_COMMENT(bool pCreate);
  void mDECIMAL(bool pCreate);
  void mHEX(bool pCreate);
  void mDIGIT(bool pCreate);
  void mHEX_DIGIT(bool pCreate);
  void mWS(bool pCreate);
  void mWS_RUN(bool pCreate);
  void mESCAPE(bool pCreate);

private:
  // A token of one character or a fixed two-character text (punctuation).
  IkivTokenPtr makeFixedToken(int TokenType, const char* Text);
  // The end of a rule method: when pCreate is set (and the type is not TT_SKIP), ReturnToken
  // becomes a token of TokenType whose text is TokenText from Begin on; otherwise it is cleared.
  void finishRule(int TokenType, std::size_t Begin, bool pCreate);
  // Matches C without keeping it in TokenText.
  void matchDropped(char C);
  // Matches a carriage return and line feed pair, a lone carriage return or a lone line feed, and
  // counts one line.
  void matchLineBreak();
  // True when the next two characters open a comment: "(" or "/", then "*" or "/".
  bool atCommentStart();
};
