// kivGrammarSymbol.h - the symbol classes: token, string literal and rule symbols.
// Token and literal symbols live in a token manager; rule symbols live in their grammar.
#pragma once

#include <string>
#include <utility>

#include "engine/kivModel.h"

class TkivGrammarSymbol : public virtual IkivGrammarSymbol {
public:
  explicit TkivGrammarSymbol(std::string Id) : fId(std::move(Id)) {}

  std::string getId() const override { return fId; }
  void setId(const std::string& Id) override { fId = Id; }

private:
  std::string fId;
};

// A token name. The type is 0 until the symbol pass or an import numbers it.
class TkivTokenSymbol : public TkivGrammarSymbol, public virtual IkivTokenSymbol {
public:
  explicit TkivTokenSymbol(std::string Id) : TkivGrammarSymbol(std::move(Id)) {}

  int getTokenType() const override { return fTokenType; }
  std::string getParaphrase() const override { return fParaphrase; }
  std::string getAstNodeType() const override { return fAstNodeType; }
  void setTokenType(int TokenType) override { fTokenType = TokenType; }
  void setParaphrase(const std::string& Paraphrase) override { fParaphrase = Paraphrase; }
  void setAstNodeType(const std::string& AstNodeType) override { fAstNodeType = AstNodeType; }
  IkivTokenSymbolPtr clone() const override;

protected:
  void CopyTokenValuesTo(TkivTokenSymbol& Target) const;

private:
  int fTokenType = 0;
  std::string fParaphrase;
  std::string fAstNodeType;
};

// A string literal used as a token; its id is the literal with both double quotes.
class TkivStringSymbol : public TkivTokenSymbol, public virtual IkivStringSymbol {
public:
  explicit TkivStringSymbol(std::string Id) : TkivTokenSymbol(std::move(Id)) {}

  std::string getLabel() const override { return fLabel; }
  void setLabel(const std::string& Label) override { fLabel = Label; }
  IkivTokenSymbolPtr clone() const override;

private:
  std::string fLabel;
};

// A rule. The references are the rule-reference elements of the graph that name it; the graph
// belongs to the grammar, so they are held as plain pointers.
class TkivRuleSymbol : public TkivGrammarSymbol, public virtual IkivRuleSymbol {
public:
  explicit TkivRuleSymbol(std::string Id) : TkivGrammarSymbol(std::move(Id)) {}

  IkivRuleBlock* getBlock() const override { return fBlock; }
  bool isDefined() const override { return fDefined; }
  ReferenceList& getReferences() override { return fReferences; }
  std::string getAccess() const override { return fAccess; }
  std::string getComment() const override { return fComment; }
  IkivRuleRefElem* getReference(int Index) const override;
  void setBlock(IkivRuleBlock* Block) override { fBlock = Block; }
  void setDefined(bool Defined) override { fDefined = Defined; }
  void setAccess(const std::string& Access) override { fAccess = Access; }
  void setComment(const std::string& Comment) override { fComment = Comment; }
  void addReference(IkivRuleRefElem* Reference) override { fReferences.push_back(Reference); }
  int numReferences() const override { return static_cast<int>(fReferences.size()); }

private:
  IkivRuleBlock* fBlock = nullptr;
  bool fDefined = false;
  ReferenceList fReferences;
  std::string fAccess;
  std::string fComment;
};
