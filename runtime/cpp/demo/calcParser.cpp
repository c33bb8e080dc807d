// calcParser.cpp
// CalcParser: recursive descent with two tokens of look-ahead, evaluating as it goes.
#include "runtime/cpp/demo/calcParser.h"

#include "runtime/cpp/demo/calcLexer.h"
#include "runtime/cpp/kivExceptionMismatchedToken.h"
#include "runtime/cpp/kivExceptionSemantic.h"

#include <charconv>

namespace calc {

namespace {
const TkivTokenSet kPrimaryFirst = kiv::TokenSetOf({NUMBER, ID, LPAREN, MINUS});
} // namespace

void CalcParser::fail(const IkivTokenPtr& at, const std::string& text) const {
  throw EkivSemantic(text, FileName(), at->Line(), at->Column());
}

std::int64_t CalcParser::checked(bool overflowed, std::int64_t value, const IkivTokenPtr& at) const {
  if (overflowed) fail(at, "integer overflow");
  return value;
}

void CalcParser::program() {
  while (LA(1) != TT_EOF) statement();
  match(TT_EOF);
}

void CalcParser::statement() {
  if (LA(1) == LET) {
    match(LET);
    const std::string name = LT(1)->TokenText();
    match(ID);
    match(ASSIGN);
    const std::int64_t value = expr();
    match(SEMI);
    fVariables[name] = value;
    fOut << name << " = " << value << '\n';
  } else if (LA(1) == ID && LA(2) == ASSIGN) {
    const IkivTokenPtr target = LT(1);
    match(ID);
    match(ASSIGN);
    const std::int64_t value = expr();
    match(SEMI);
    auto it = fVariables.find(target->TokenText());
    if (it == fVariables.end()) fail(target, "undefined variable " + target->TokenText());
    it->second = value;
    fOut << target->TokenText() << " = " << value << '\n';
  } else {
    const std::int64_t value = expr();
    match(SEMI);
    fOut << value << '\n';
  }
}

std::int64_t CalcParser::expr() {
  std::int64_t value = term();
  while (LA(1) == PLUS || LA(1) == MINUS) {
    const IkivTokenPtr op = LT(1);
    match(kiv::TokenSetOf({PLUS, MINUS}));
    const std::int64_t rhs = term();
    std::int64_t result = 0;
    const bool overflowed = op->TokenType() == PLUS ? __builtin_add_overflow(value, rhs, &result)
                                                     : __builtin_sub_overflow(value, rhs, &result);
    value = checked(overflowed, result, op);
  }
  return value;
}

std::int64_t CalcParser::term() {
  std::int64_t value = unary();
  while (LA(1) == STAR || LA(1) == SLASH) {
    const IkivTokenPtr op = LT(1);
    match(kiv::TokenSetOf({STAR, SLASH}));
    const std::int64_t rhs = unary();
    std::int64_t result = 0;
    if (op->TokenType() == STAR) {
      const bool overflowed = __builtin_mul_overflow(value, rhs, &result);
      value = checked(overflowed, result, op);
    } else {
      if (rhs == 0) fail(op, "division by zero");
      if (value == INT64_MIN && rhs == -1) fail(op, "integer overflow");
      value /= rhs;
    }
  }
  return value;
}

std::int64_t CalcParser::unary() {
  if (LA(1) == MINUS) {
    const IkivTokenPtr op = LT(1);
    match(MINUS);
    const std::int64_t operand = unary();
    if (operand == INT64_MIN) fail(op, "integer overflow");
    return -operand;
  }
  return primary();
}

std::int64_t CalcParser::primary() {
  const IkivTokenPtr token = LT(1);
  switch (LA(1)) {
    case NUMBER: {
      match(NUMBER);
      std::int64_t value = 0;
      const std::string& text = token->TokenText();
      const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
      if (error != std::errc() || end != text.data() + text.size()) fail(token, "number too large: " + text);
      return value;
    }
    case ID: {
      match(ID);
      auto it = fVariables.find(token->TokenText());
      if (it == fVariables.end()) fail(token, "undefined variable " + token->TokenText());
      return it->second;
    }
    case LPAREN: {
      match(LPAREN);
      const std::int64_t value = expr();
      match(RPAREN);
      return value;
    }
    default:
      throw EkivMismatchedToken(token, kPrimaryFirst, FileName());
  }
}

} // namespace calc
