// kivAlternativeBlock.h - blocks: the plain subrule, the two loops and the syntactic predicate, with
// their options, preparation for analysis and the process-wide block numbering.
#pragma once

#include <string>

#include "engine/graph/kivGrammarElem.h"

namespace kiv {
// Takes the next block number. The counter starts at 0 when the program starts and is never reset,
// so block numbers keep growing across grammars and tool runs; the first block gets 1.
int TakeBlockId();
// The last block number handed out (0 before the first block).
int LastBlockId();
} // namespace kiv

// A parenthesised choice between alternatives. Every alternative ends in the block's shared end.
class TkivAlternativeBlock : public TkivAlternativeElem, public virtual IkivAlternativeBlock {
public:
  explicit TkivAlternativeBlock(IkivGrammar& Grammar);
  TkivAlternativeBlock(IkivGrammar& Grammar, bool Inverted, const IkivTokenPtr& Start);

  void Generate() override;
  IkivLookaheadPtr Look(int K) override;
  std::string ToText() const override { return {}; }
  std::string GetLabel() const override { return fLabel; }
  void SetLabel(const std::string& Label) override { fLabel = Label; }

  int GetID() const override { return fID; }
  std::string GetInitAction() const override { return fInitAction; }
  bool GetAstEnabled() const override { return fAstEnabled; }
  bool GetInverted() const override { return fInverted; }
  bool GetHasSynPred() const override { return fHasSynPred; }
  bool GetHasAction() const override { return fHasAction; }
  bool GetWarnWhenFollowAmbig() const override { return fWarnWhenFollowAmbig; }
  bool GetGenerateAmbigWarnings() const override { return fGenerateAmbigWarnings; }
  bool GetGreedy() const override { return fGreedy; }
  bool GetGreedyGiven() const override { return fGreedyGiven; }
  int GetAnalysisAlt() const override { return fAnalysisAlt; }
  int GetComparedAlt() const override { return fComparedAlt; }
  int GetAgainstAlt() const override { return fAgainstAlt; }
  const TkivAlternativeList& GetAlternatives() const override { return fAlternatives; }
  IkivAlternative* GetAlternative(int Index) const override;
  void SetInitAction(const std::string& Action) override { fInitAction = Action; }
  void SetAstEnabled(bool Enabled) override { fAstEnabled = Enabled; }
  void SetInverted(bool Inverted) override { fInverted = Inverted; }
  void SetHasSynPred(bool HasSynPred) override { fHasSynPred = HasSynPred; }
  void SetHasAction(bool HasAction) override { fHasAction = HasAction; }
  void SetWarnWhenFollowAmbig(bool Warn) override { fWarnWhenFollowAmbig = Warn; }
  void SetGenerateAmbigWarnings(bool Generate) override { fGenerateAmbigWarnings = Generate; }
  void SetGreedy(bool Greedy) override { fGreedy = Greedy; }
  void SetGreedyGiven(bool Given) override { fGreedyGiven = Given; }
  void SetAnalysisAlt(int Index) override { fAnalysisAlt = Index; }
  void SetComparedAlt(int Index) override { fComparedAlt = Index; }
  void SetAgainstAlt(int Index) override { fAgainstAlt = Index; }
  void ReplaceAlternatives(TkivAlternativeList Alternatives) override { fAlternatives = std::move(Alternatives); }
  void AddAlternative(IkivAlternative* Alternative) override { fAlternatives.push_back(Alternative); }
  // Block options: warnWhenFollowAmbig, generateAmbigWarnings, greedy.
  void SetOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) override;
  // Sizes every alternative's cache to k+1 entries and marks its depth as not yet computed (-1).
  void PrepareForAnalysis() override;
  void RemoveRuleRefTracking(IkivGrammar& Grammar) override;

protected:
  // Reads a true/false option value into Flag; reports "Value for "<name>" must be true or false"
  // and leaves Flag alone otherwise. Answers whether the value was taken.
  bool ReadFlagOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value, bool& Flag) const;

private:
  TkivAlternativeList fAlternatives;
  std::string fInitAction;
  std::string fLabel;
  int fComparedAlt = 0;
  int fAgainstAlt = 0;
  int fAnalysisAlt = 0;
  bool fHasAction = false;
  bool fHasSynPred = false;
  int fID;
  bool fInverted = false;
  bool fGreedy = true;
  bool fGreedyGiven = false;
  bool fAstEnabled = true;
  bool fWarnWhenFollowAmbig = true;
  bool fGenerateAmbigWarnings = true;
};

// Common base of the two loops: what follows the loop, per depth, and the depth needed to decide
// between another iteration and leaving.
class TkivBlockWithImpliedExitPath : public TkivAlternativeBlock, public virtual IkivBlockWithImpliedExitPath {
public:
  explicit TkivBlockWithImpliedExitPath(IkivGrammar& Grammar);

  int GetExitLookaheadDepth() const override { return fExitLookaheadDepth; }
  IkivLookaheadPtr GetExitCache(int K) const override { return fExitCache.Get(K); }
  void SetExitLookaheadDepth(int Depth) override { fExitLookaheadDepth = Depth; }
  void SetExitCache(int K, const IkivLookaheadPtr& Lookahead) override { fExitCache.Set(K, Lookahead); }

private:
  int fExitLookaheadDepth = 0;
  kiv::DepthSlots<IkivLookaheadPtr> fExitCache;
};

// (...)+
class TkivOneOrMoreBlock : public TkivBlockWithImpliedExitPath, public virtual IkivOneOrMoreBlock {
public:
  explicit TkivOneOrMoreBlock(IkivGrammar& Grammar) : TkivBlockWithImpliedExitPath(Grammar) {}

  void Generate() override;
  IkivLookaheadPtr Look(int K) override;
  std::string ToText() const override { return "+"; }
};

// (...)*
class TkivZeroOrMoreBlock : public TkivBlockWithImpliedExitPath, public virtual IkivZeroOrMoreBlock {
public:
  explicit TkivZeroOrMoreBlock(IkivGrammar& Grammar) : TkivBlockWithImpliedExitPath(Grammar) {}

  void Generate() override;
  IkivLookaheadPtr Look(int K) override;
  std::string ToText() const override { return "*"; }
};

// (...)=> - guards an alternative; it is not part of the alternative's element chain, so its own
// lookahead is an empty set.
class TkivSynPredBlock : public TkivAlternativeBlock, public virtual IkivSynPredBlock {
public:
  explicit TkivSynPredBlock(IkivGrammar& Grammar) : TkivAlternativeBlock(Grammar) {}

  void Generate() override;
  IkivLookaheadPtr Look(int K) override;
  std::string ToText() const override { return "=>"; }
};
