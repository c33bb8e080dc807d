// kivToken.h
// TkivToken: the plain token object that lexers create unless told to use a descendant.
#pragma once

#include "runtime/cpp/kivTypes.h"

#include <functional>
#include <string>

/// A token with text, type, line and column. A fresh token is at line 1, column 1; a token made
/// without a type has type 0. Descendants may add fields; a lexer creates them through its token
/// class (see TkivTokenClass).
class TkivToken : public IkivToken {
public:
  explicit TkivToken(int type = 0, std::string text = {});

  const std::string& TokenText() const override { return fText; }
  int TokenType() const override { return fType; }
  int Line() const override { return fLine; }
  int Column() const override { return fColumn; }
  void SetTokenText(const std::string& text) override { fText = text; }
  void SetTokenType(int type) override { fType = type; }
  void SetLine(int line) override { fLine = line; }
  void SetColumn(int column) override { fColumn = column; }
  IkivTokenPtr Clone() const override;

private:
  std::string fText;
  int32_t fType;
  int32_t fLine = 1;
  int32_t fColumn = 1;
};

/// A token class: a value that creates a token of some class from (type, text). Stored by a lexer
/// so that makeToken can instantiate a descendant of TkivToken.
using TkivTokenClass = std::function<IkivTokenPtr(int type, const std::string& text)>;

namespace kiv {
/// The token class of T, which must be constructible from (int type, std::string text).
template <class T>
TkivTokenClass TokenClassOf() {
  return [](int type, const std::string& text) -> IkivTokenPtr { return std::make_shared<T>(type, text); };
}
} // namespace kiv
