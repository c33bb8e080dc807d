// kivGrammarAtom.h - the single-symbol elements (character and string literals, token references,
// wildcards) and the two range elements.
#pragma once

#include <string>

#include "engine/graph/kivGrammarElem.h"

// Common base of the four atoms: the text as written, the token type it matches, the inverted flag
// and the AST node type. The base itself has no analyzer or generator operation.
class TkivGrammarAtom : public TkivAlternativeElem, public virtual IkivGrammarAtom {
public:
  TkivGrammarAtom(IkivGrammar& Grammar, int AstMode, const IkivTokenPtr& Token);

  std::string ToText() const override;
  std::string GetLabel() const override { return fLabel; }
  void SetLabel(const std::string& Label) override { fLabel = Label; }
  std::string GetText() const override { return fText; }
  std::string GetAstNodeType() const override { return fAstNodeType; }
  int GetType() const override { return fType; }
  bool GetInverted() const override { return fInverted; }
  void SetAstNodeType(const std::string& AstNodeType) override { fAstNodeType = AstNodeType; }
  void SetOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) override;

protected:
  void SetType(int Type) { fType = Type; }
  void SetInverted(bool Inverted) { fInverted = Inverted; }

private:
  std::string fLabel;
  std::string fText;
  int fType = 0;
  bool fInverted = false;
  std::string fAstNodeType;
};

// A character to match (lexers); its token type is the character's code.
class TkivCharLiteralElem : public TkivGrammarAtom, public virtual IkivCharLiteralElem {
public:
  TkivCharLiteralElem(IkivGrammar& Grammar, int AstMode, bool Inverted, const IkivTokenPtr& Char);

  void Generate() override;
  IkivLookaheadPtr Look(int K) override;
};

// A string literal; in a parser its token type is that of the literal's symbol. The processed text
// is the literal without its quotes.
class TkivStringLiteralElem : public TkivGrammarAtom, public virtual IkivStringLiteralElem {
public:
  TkivStringLiteralElem(IkivGrammar& Grammar, int AstMode, const IkivTokenPtr& Str);

  void Generate() override;
  IkivLookaheadPtr Look(int K) override;
  std::string GetProcessedText() const override { return fProcessedText; }

private:
  std::string fProcessedText;
};

// A reference to a token by name (parsers).
class TkivTokenRefElem : public TkivGrammarAtom, public virtual IkivTokenRefElem {
public:
  TkivTokenRefElem(IkivGrammar& Grammar, int AstMode, bool Inverted, const IkivTokenPtr& TokenName);

  void Generate() override;
  IkivLookaheadPtr Look(int K) override;
};

// "." - any token or character.
class TkivWildcardElem : public TkivGrammarAtom, public virtual IkivWildcardElem {
public:
  TkivWildcardElem(IkivGrammar& Grammar, int AstMode, const IkivTokenPtr& Dot);

  void Generate() override;
  IkivLookaheadPtr Look(int K) override;
  std::string ToText() const override;
};

// 'a'..'z' (lexers). The order of the two ends is checked by the grammar maker, not here.
class TkivCharRangeElem : public TkivAlternativeElem, public virtual IkivCharRangeElem {
public:
  TkivCharRangeElem(IkivGrammar& Grammar, int AstMode, const IkivTokenPtr& First, const IkivTokenPtr& Last);

  void Generate() override;
  IkivLookaheadPtr Look(int K) override;
  std::string ToText() const override;
  std::string GetLabel() const override { return fLabel; }
  void SetLabel(const std::string& Label) override { fLabel = Label; }
  char GetFirst() const override { return fFirst; }
  char GetLast() const override { return fLast; }

private:
  std::string fLabel;
  char fFirst = '\0';
  char fLast = '\0';
  std::string fFirstText;
  std::string fLastText;
};

// A..B over token types (parsers). The ends are token names or literals that the symbol pass has
// defined; an end the token manager does not hold counts as type 0.
class TkivTokenRangeElem : public TkivAlternativeElem, public virtual IkivTokenRangeElem {
public:
  TkivTokenRangeElem(IkivGrammar& Grammar, int AstMode, const IkivTokenPtr& First, const IkivTokenPtr& Last);

  void Generate() override;
  IkivLookaheadPtr Look(int K) override;
  std::string ToText() const override;
  std::string GetLabel() const override { return fLabel; }
  void SetLabel(const std::string& Label) override { fLabel = Label; }
  int GetFirst() const override { return fFirst; }
  int GetLast() const override { return fLast; }
  std::string GetFirstText() const override { return fFirstText; }
  std::string GetLastText() const override { return fLastText; }

private:
  std::string fLabel;
  int fFirst = 0;
  int fLast = 0;
  std::string fFirstText;
  std::string fLastText;
};
