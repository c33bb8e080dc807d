// kivLexer.h
// TkivLexer: the base of every lexer: look-ahead, consumption with positions, matching, literals, tokens.
#pragma once

#include "runtime/cpp/kivException.h"
#include "runtime/cpp/kivLexerState.h"
#include "runtime/cpp/kivStringMap.h"
#include "runtime/cpp/kivToken.h"
#include "runtime/cpp/kivTypes.h"

#include <istream>
#include <memory>
#include <string>
#include <vector>
#include <utility>

/// A subclass supplies NextToken and its rule methods. Rule methods leave their token in
/// ReturnToken; mismatches raise EkivMismatchedChar positioned at the input state.
///
/// Ownership: the stream is borrowed (the creator keeps it alive as long as the lexer reads); the
/// lexer owns its literal table and its input state. A parser that reads from a lexer holds it
/// through a shared_ptr<IkivTokenStream>, so lexers are normally created with kiv::MakeLexer.
///
/// Construction is two-phase. In C++ a virtual call made from a constructor runs the base version,
/// so the constructor cannot run a subclass's initialize. The constructor therefore leaves the
/// defaults (fCaseSensitive true, fLiterals case-sensitive and empty), and
/// kiv::MakeLexer<T>(args...) constructs T and then calls initialize() exactly once. Whoever
/// constructs a lexer directly (on the stack, as a member) calls initialize() before the first
/// token. Constructors of subclasses must not call it themselves, or it runs twice.
class TkivLexer : public IkivTokenStream {
public:
  explicit TkivLexer(std::istream& stream);
  ~TkivLexer() override = default;
  TkivLexer(const TkivLexer&) = delete;
  TkivLexer& operator=(const TkivLexer&) = delete;

  // -- Virtual operations, in slot order ---------------------------------------------------------

  /// Runs once after construction (see the class comment); empty here. Subclasses set
  /// fCaseSensitive, fLiterals.SetCaseSensitive and fill fLiterals.
  virtual void initialize() {}
  /// The next token; at the end of input a new TT_EOF token for every call.
  IkivTokenPtr NextToken() override = 0;
  /// Called by consume for a tab character: advances the column by 1 here.
  virtual void tab();
  /// Called by NextToken when LA(1) is EOF_CHAR; empty here.
  virtual void uponEof() {}
  /// Called by handlers with a caught exception; empty here.
  virtual void reportError(const EkivException& /*e*/) {}

  // -- Character input ---------------------------------------------------------------------------

  /// The character i positions ahead; A..Z read as a..z when fCaseSensitive is false.
  char LA(int i) {
    const char c = InputState->Input()->LA(i);
    return fCaseSensitive ? c : kiv::LowerAscii(c);
  }
  /// Whether LA(1) lies past the real end of the input (a zero byte before it reads as EOF_CHAR
  /// but is a character).
  bool AtEndOfInput();
  /// Moves past LA(1). Unless guessing, appends it to TokenText (when SaveConsumedInput) and
  /// advances the column (through tab() for a tab). Line ends are left to newLine().
  void consume();
  /// Matches the character c (folded when not case-sensitive), else EkivMismatchedChar kind Char.
  void match(char c);
  /// Matches any character but c, else a negated EkivMismatchedChar kind Char; the end of input
  /// is no character.
  void matchNot(char c);
  /// Matches one character of set (the set is not folded), else EkivMismatchedChar kind CharSet.
  void match(const TkivCharSet& set);
  /// Matches the string s character by character, else EkivMismatchedChar kind String whose found
  /// text is what matched so far including the offending character.
  void match(const std::string& s);
  /// Consumes until LA(1) is in set or the input has ended.
  void ConsumeUntil(const TkivCharSet& set);

  /// Marks on the input buffer, for syntactic predicates.
  // Marks nest: each mark is ended by one rewind, which also restores the line and column of the
  // mark (the characters after it are consumed again), or by one commit.
  int mark();
  void rewind(int m);
  void commit();

  // -- Positions, text and tokens ----------------------------------------------------------------

  /// Column 1 of the next line.
  void newLine();
  /// Empties TokenText and records the current position as the start of the next token.
  void ResetText();
  /// A token of the token class with type and text, at the position recorded by ResetText.
  /// A token of type TT_EOF is made only at the real end of the input (see note [zero bytes]).
  IkivTokenPtr makeToken(int type, const std::string& text = {});
  /// The literal table's value for the whole TokenText, else type.
  int TestLiteral(int type) const { return TestLiteral(TokenText, type); }
  /// The literal table's value for text, else type.
  int TestLiteral(const std::string& text, int type) const;

  /// The class makeToken instantiates; empty until the first makeToken, which sets TkivToken.
  const TkivTokenClass& TokenClass() const { return fTokenClass; }
  void SetTokenClass(TkivTokenClass tokenClass) { fTokenClass = std::move(tokenClass); }

  // -- Fields ------------------------------------------------------------------------------------

  /// Text consumed since the last ResetText (only while SaveConsumedInput and not guessing).
  std::string TokenText;
  /// Shared input state (position, file name, guessing depth, marks).
  const std::shared_ptr<TkivLexerState> InputState;
  /// Literal table: keyword text to token type. Case-sensitive until initialize says otherwise.
  TkivStringMap fLiterals;
  /// When false, look-ahead folds A..Z to a..z.
  bool fCaseSensitive = true;
  /// Whether consumed characters are appended to TokenText.
  bool SaveConsumedInput = true;
  /// The token made by the last rule method that ran.
  IkivTokenPtr ReturnToken;

private:
  TkivTokenClass fTokenClass;
  // Line and column at every open mark, innermost last.
  std::vector<std::pair<int, int>> fMarkedPositions;
};

namespace kiv {

/// Creates a lexer of class L from args and runs its initialize() once (see TkivLexer).
template <class L, class... Args>
std::shared_ptr<L> MakeLexer(Args&&... args) {
  auto lexer = std::make_shared<L>(std::forward<Args>(args)...);
  lexer->initialize();
  return lexer;
}

} // namespace kiv
