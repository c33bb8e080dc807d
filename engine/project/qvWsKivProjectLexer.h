// qvWsKivProjectLexer.h
// TqvWsKivProjectLexer: the lexer of project files: keywords, "=", identifiers and double-quoted
// strings; blanks, line ends and "#" comments are skipped.
#pragma once

#include "runtime/cpp/kivLexer.h"

namespace kiv {
// Token types of project files.
enum ProjectTokenKind : int {
  ptKIV = 4,
  ptProject = 5,      // "project"
  ptOutputDir = 6,
  ptExchangeDir = 7,
  ptGrammar = 8,
  ptShow = 9,         // "show"
  ptEnd = 10,
  ptAssign = 11,      // "="
  ptIdent = 12,       // ASCII letters only
  ptString = 13,      // text between double quotes, without them; no escape
  ptComment = 14,     // "#" to the end of the line, line end included (skipped)
  ptNewline = 15,     // CR LF, CR or LF (skipped)
  ptBlank = 16,       // a space or a tab (skipped)
};
}  // namespace kiv

// Keywords are case-sensitive and found through the literal table. A comment must end with a
// line end; any character that starts no token raises EkivMismatchedChar. Create it with
// kiv::MakeLexer<TqvWsKivProjectLexer>(stream).
class TqvWsKivProjectLexer : public TkivLexer {
public:
  using TkivLexer::TkivLexer;

  void initialize() override;
  IkivTokenPtr NextToken() override;

private:
  void mNEWLINE();
  void mCOMMENT();
  void mBLANK();
  void mSTRING();
  void mIDENT();
};
