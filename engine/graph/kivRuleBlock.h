// kivRuleBlock.h - TkivRuleBlock: the block that is a whole rule, with what the generator needs to
// write the rule as a method, the rule options and the analyzer's per-depth FIRST state.
#pragma once

#include <string>

#include "engine/graph/kivAlternativeBlock.h"

class TkivRuleBlock : public TkivAlternativeBlock, public virtual IkivRuleBlock {
public:
  // Line 0, trees enabled.
  TkivRuleBlock(IkivGrammar& Grammar, const std::string& RuleName);
  TkivRuleBlock(IkivGrammar& Grammar, bool AstEnabled, int Line, const std::string& RuleName);

  void Generate() override;
  IkivLookaheadPtr Look(int K) override;
  std::string ToText() const override { return {}; }

  std::string GetRuleName() const override { return fRuleName; }
  std::string GetArgDeclaration() const override { return fArgDeclaration; }
  std::string GetReturnDeclaration() const override { return fReturnDeclaration; }
  std::string GetLocalDeclarations() const override { return fLocalDeclarations; }
  IkivRuleEndElem* GetEndNode() const override { return fEndNode; }
  bool GetTestLiterals() const override { return fTestLiterals; }
  TkivElemList& GetLabeledElements() override { return fLabeledElements; }
  std::string GetIgnoreRule() const override { return fIgnoreRule; }
  std::string GetHandlerKind() const override { return fHandlerKind; }
  std::string GetHandlerText() const override { return fHandlerText; }
  bool GetDefaultErrorHandler() const override { return fDefaultErrorHandler; }
  TkivBlockList& GetLoopCounterBlocks() override { return fLoopCounterBlocks; }
  TkivBlockList& GetSynPredBlocks() override { return fSynPredBlocks; }
  bool GetLock(int K) const override { return fLock.Get(K); }
  IkivLookaheadPtr GetCache(int K) const override { return fCache.Get(K); }
  void SetRuleName(const std::string& Name) override { fRuleName = Name; }
  void SetArgDeclaration(const std::string& Declaration) override { fArgDeclaration = Declaration; }
  void SetReturnDeclaration(const std::string& Declaration) override { fReturnDeclaration = Declaration; }
  void SetLocalDeclarations(const std::string& Declarations) override { fLocalDeclarations = Declarations; }
  void SetEndNode(IkivRuleEndElem* EndNode) override { fEndNode = EndNode; }
  void SetTestLiterals(bool TestLiterals) override { fTestLiterals = TestLiterals; }
  void ReplaceLabeledElements(TkivElemList Elements) override { fLabeledElements = std::move(Elements); }
  void SetHandlerText(const std::string& Text) override { fHandlerText = Text; }
  void SetHandlerKind(const std::string& Kind) override { fHandlerKind = Kind; }
  void SetDefaultErrorHandler(bool Enabled) override { fDefaultErrorHandler = Enabled; }
  void SetIgnoreRule(const std::string& Rule) override { fIgnoreRule = Rule; }
  void SetLock(int K, bool Locked) override { fLock.Set(K, Locked); }
  void SetCache(int K, const IkivLookaheadPtr& Lookahead) override { fCache.Set(K, Lookahead); }
  // Rule options: defaultErrorHandler, testLiterals, generateAmbigWarnings, ignore, paraphrase.
  void SetOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) override;
  // The block's preparation, then the lock array sized to k+1.
  void PrepareForAnalysis() override;
  bool IsNextTokenRule() const override { return fRuleName == "nextToken"; }

private:
  std::string fRuleName;
  std::string fArgDeclaration;
  std::string fReturnDeclaration;
  std::string fLocalDeclarations;
  std::string fIgnoreRule;
  std::string fHandlerText;
  std::string fHandlerKind;
  IkivRuleEndElem* fEndNode = nullptr;
  kiv::DepthSlots<bool> fLock;
  kiv::DepthSlots<IkivLookaheadPtr> fCache;
  bool fTestLiterals = false;
  bool fDefaultErrorHandler = false;
  TkivElemList fLabeledElements;
  TkivBlockList fLoopCounterBlocks;
  TkivBlockList fSynPredBlocks;
};
