// calcParser.h
// CalcParser: the hand-written LL(2) parser and evaluator of the demo's expression language.
#pragma once

#include "runtime/cpp/kivLLkParser.h"

#include <cstdint>
#include <map>
#include <ostream>
#include <string>

namespace calc {

/// program   : (statement)* EOF
/// statement : LET ID ASSIGN expr SEMI      defines (or redefines) a variable, prints "x = value"
///           | ID ASSIGN expr SEMI          assigns a defined variable (needs LA(2) to tell from expr)
///           | expr SEMI                    prints the value
/// expr      : term ((PLUS | MINUS) term)*
/// term      : unary ((STAR | SLASH) unary)*
/// unary     : MINUS unary | primary
/// primary   : NUMBER | ID | LPAREN expr RPAREN
/// Values are 64-bit integers; overflow, division by zero and unknown variables raise EkivSemantic
/// at the offending token. Each statement's result is printed as soon as the statement is parsed.
class CalcParser : public TkivLLkParser {
public:
  CalcParser(IkivTokenStreamPtr tokens, std::ostream& out) : TkivLLkParser(std::move(tokens), 2), fOut(out) {}

  void program();

private:
  void statement();
  std::int64_t expr();
  std::int64_t term();
  std::int64_t unary();
  std::int64_t primary();

  [[noreturn]] void fail(const IkivTokenPtr& at, const std::string& text) const;
  std::int64_t checked(bool overflowed, std::int64_t value, const IkivTokenPtr& at) const;

  std::ostream& fOut;
  std::map<std::string, std::int64_t> fVariables;
};

} // namespace calc
