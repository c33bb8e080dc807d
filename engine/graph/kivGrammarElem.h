// kivGrammarElem.h - the element base classes and the non-atom elements: block ends, rule ends,
// rule references and actions.
#pragma once

#include <string>

#include "engine/graph/kivGraphArena.h"
#include "engine/kivGraph.h"
#include "engine/kivModel.h"

// Common base of every element: the owning grammar and the source position (-1 when the element
// was made without a token). The grammar is borrowed: it owns the element (note [graph ownership]).
class TkivGrammarElem : public virtual IkivGrammarElem {
public:
  explicit TkivGrammarElem(IkivGrammar& Grammar);
  // Line and column from the token; a null token leaves them at -1.
  TkivGrammarElem(IkivGrammar& Grammar, const IkivTokenPtr& Token);

  int GetLine() const override { return fLine; }
  int GetColumn() const override { return fColumn; }
  void SetLine(int Line) override { fLine = Line; }
  void SetColumn(int Column) override { fColumn = Column; }
  void Generate() override {}
  IkivLookaheadPtr Look(int K) override;

protected:
  IkivGrammar& Grammar() const { return *fGrammar; }
  // The grammar's generator and analyzer; null while the grammar has none.
  IkivCodeGenerator* Generator() const { return fGrammar->getGenerator(); }
  IkivLLkAnalyzer* Analyzer() const { return fGrammar->getAnalyzer(); }
  // An error at the given position of the grammar file, through the grammar's tool.
  void ReportError(const std::string& Msg, int Line, int Column) const;

private:
  IkivGrammar* fGrammar;
  int fLine = -1;
  int fColumn = -1;
};

// An element of an alternative's chain. The base has no label: a label given to it is dropped.
class TkivAlternativeElem : public TkivGrammarElem, public virtual IkivAlternativeElem {
public:
  explicit TkivAlternativeElem(IkivGrammar& Grammar, const IkivTokenPtr& Token = nullptr,
                               int AstMode = kiv::amDefault);

  int GetAstMode() const override { return fAstMode; }
  std::string GetLabel() const override { return {}; }
  IkivAlternativeElem* GetNext() const override { return fNext; }
  std::string GetEnclosingRuleName() const override { return fEnclosingRuleName; }
  void SetLabel(const std::string&) override {}
  void SetNext(IkivAlternativeElem* Next) override { fNext = Next; }
  void SetEnclosingRuleName(const std::string& Name) override { fEnclosingRuleName = Name; }

protected:
  void SetAstMode(int AstMode) { fAstMode = AstMode; }

private:
  IkivAlternativeElem* fNext = nullptr;
  int fAstMode;
  std::string fEnclosingRuleName;
};

// The end marker shared by all alternatives of one block. Its block tells where a walk continues.
class TkivBlockEndElem : public TkivAlternativeElem, public virtual IkivBlockEndElem {
public:
  explicit TkivBlockEndElem(IkivGrammar& Grammar);

  IkivLookaheadPtr Look(int K) override;
  std::string ToText() const override { return " [BlkEnd]"; }
  IkivAlternativeBlock* GetBlock() const override { return fBlock; }
  bool GetLock(int K) const override { return fLock.Get(K); }
  void SetBlock(IkivAlternativeBlock* Block) override { fBlock = Block; }
  void SetLock(int K, bool Locked) override { fLock.Set(K, Locked); }

private:
  kiv::DepthSlots<bool> fLock;
  IkivAlternativeBlock* fBlock = nullptr;
};

// The end marker of a rule, with the rule's per-depth FOLLOW cache.
class TkivRuleEndElem : public TkivBlockEndElem, public virtual IkivRuleEndElem {
public:
  explicit TkivRuleEndElem(IkivGrammar& Grammar);

  void Generate() override;
  IkivLookaheadPtr Look(int K) override;
  std::string ToText() const override { return " [RuleEnd]"; }
  bool GetNoFollow() const override { return fNoFollow; }
  IkivLookaheadPtr GetCache(int K) const override { return fCache.Get(K); }
  void SetNoFollow(bool NoFollow) override { fNoFollow = NoFollow; }
  void SetCache(int K, const IkivLookaheadPtr& Lookahead) override { fCache.Set(K, Lookahead); }

private:
  kiv::DepthSlots<IkivLookaheadPtr> fCache;
  bool fNoFollow = false;
};

// A reference to a rule. The target is the name as the symbol table holds it: an upper-case
// identifier names a lexer rule and is encoded.
class TkivRuleRefElem : public TkivAlternativeElem, public virtual IkivRuleRefElem {
public:
  TkivRuleRefElem(IkivGrammar& Grammar, int AstMode, const IkivTokenPtr& RuleName);

  void Generate() override;
  IkivLookaheadPtr Look(int K) override;
  std::string ToText() const override;
  std::string GetLabel() const override { return fLabel; }
  void SetLabel(const std::string& Label) override { fLabel = Label; }
  std::string GetTargetRule() const override { return fTargetRule; }
  std::string GetAssignedVariable() const override { return fAssignedVariable; }
  std::string GetArguments() const override { return fArguments; }
  void SetTargetRule(const std::string& Rule) override { fTargetRule = Rule; }
  void SetAssignedVariable(const std::string& Variable) override { fAssignedVariable = Variable; }
  void SetArguments(const std::string& Arguments) override { fArguments = Arguments; }

private:
  std::string fTargetRule;
  std::string fAssignedVariable;
  std::string fArguments;
  std::string fLabel;
};

// An action, or a semantic predicate checked where it stands. It has no source position.
class TkivActionElem : public TkivAlternativeElem, public virtual IkivActionElem {
public:
  TkivActionElem(IkivGrammar& Grammar, const IkivTokenPtr& Action);

  void Generate() override;
  IkivLookaheadPtr Look(int K) override;
  std::string ToText() const override;
  std::string GetActionText() const override { return fActionText; }
  bool GetIsSemPred() const override { return fIsSemPred; }
  void SetIsSemPred(bool IsSemPred) override { fIsSemPred = IsSemPred; }

private:
  std::string fActionText;
  bool fIsSemPred = false;
};
