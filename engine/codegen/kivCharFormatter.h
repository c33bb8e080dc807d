// kivCharFormatter.h - IkivCharFormatter and its Delphi form: how single characters and strings
// of a grammar are escaped and quoted for the target language.
#pragma once

#include <string>

class IkivCharFormatter {
public:
  virtual ~IkivCharFormatter() = default;
  virtual std::string EscapeChar(char C) const = 0;
  virtual std::string EscapeString(const std::string& S) const = 0;
  virtual std::string LiteralChar(char C) const = 0;
  virtual std::string LiteralString(const std::string& S) const = 0;
};

// Escaping is the identity: the character itself, the string unchanged. Generated lookahead sets
// and literals do not pass through it; they use the set forms and kiv::PascalStringLiteral.
class TkivDelphiCharFormatter : public IkivCharFormatter {
public:
  std::string EscapeChar(char C) const override { return std::string(1, C); }
  std::string EscapeString(const std::string& S) const override { return S; }
  std::string LiteralChar(char C) const override { return "'" + EscapeChar(C) + "'"; }
  std::string LiteralString(const std::string& S) const override { return "'" + EscapeString(S) + "'"; }
};
