// kivParser.h
// TkivParser: the base of all parsers: marks, token matching, resynchronisation and error hooks.
#pragma once

#include "runtime/cpp/kivException.h"
#include "runtime/cpp/kivParserState.h"
#include "runtime/cpp/kivTypes.h"

#include <memory>
#include <string>

/// Ownership: the parser owns its state, the state holds the token buffer and the buffer holds the
/// token stream through a shared_ptr. A reader creates its lexer with kiv::MakeLexer and hands it
/// to the parser; the lexer then lives at least as long as the parser (the reader may keep its own
/// reference, e.g. to set the lexer's file name). A parser is a plain object with one owner: it is
/// neither copied nor moved.
///
/// Mismatches raise EkivMismatchedToken positioned at the offending token; the parser catches
/// nothing.
class TkivParser {
public:
  /// Creates a TkivTokenBuffer over tokenStream (not null) and a TkivParserState over that buffer.
  explicit TkivParser(IkivTokenStreamPtr tokenStream);
  virtual ~TkivParser() = default;
  TkivParser(const TkivParser&) = delete;
  TkivParser& operator=(const TkivParser&) = delete;

  // -- Virtual operations, in slot order ---------------------------------------------------------

  /// Marks the token input; the result is for rewind.
  virtual int mark();
  virtual void rewind(int m);
  virtual void consume() = 0;
  /// The type of the token i positions ahead (1 = current).
  virtual int LA(int i) = 0;
  /// The token i positions ahead (1 = current).
  virtual IkivTokenPtr LT(int i) = 0;
  /// Hook for handlers with a caught exception; empty here.
  virtual void reportError(const EkivException& /*e*/) {}
  /// Hook for a message text; empty here.
  /// A subclass that overrides one reportError hides the other: add `using TkivParser::reportError;`.
  virtual void reportError(const std::string& /*message*/) {}

  // -- Matching ----------------------------------------------------------------------------------

  /// Consumes a token of type t, else raises EkivMismatchedToken kind Token.
  void match(int t);
  /// Consumes a token of any type but t, else raises a negated EkivMismatchedToken kind Token.
  void matchNot(int t);
  /// Consumes a token whose type is in set, else raises EkivMismatchedToken kind TokenSet.
  /// Types outside 0..255 are never members.
  void match(const TkivTokenSet& set);
  /// Consumes until LA(1) is in set or is TT_EOF (the end-of-input token is never consumed here).
  void ConsumeUntil(const TkivTokenSet& set);

  /// The shared input state: InputState->FileName(), Guessing() and the token buffer.
  const std::shared_ptr<TkivParserState> InputState;
};
