// kivAlternative.h - TkivAlternative: one alternative of a block, a chain of elements that ends in
// the block's shared end marker, with its predicates, handler and per-depth lookahead cache.
#pragma once

#include <string>
#include <vector>

#include "engine/kivGraph.h"

class TkivAlternative : public IkivAlternative {
public:
  TkivAlternative() = default;
  // An alternative whose first element is given.
  explicit TkivAlternative(IkivAlternativeElem* First);

  IkivAlternativeElem* GetHead() const override { return fHead; }
  IkivAlternativeElem* GetTail() const override { return fTail; }
  IkivSynPredBlock* GetSynPred() const override { return fSynPred; }
  std::string GetSemPred() const override { return fSemPred; }
  int GetCacheHigh() const override { return static_cast<int>(fCache.size()) - 1; }
  int GetLookaheadDepth() const override { return fLookaheadDepth; }
  IkivTokenPtr GetAstOverride() const override { return fAstOverride; }
  bool GetAstEnabled() const override { return fAstEnabled && !fAstOverride; }
  std::string GetHandlerKind() const override { return fHandlerKind; }
  std::string GetHandlerText() const override { return fHandlerText; }
  void SetHead(IkivAlternativeElem* Head) override { fHead = Head; }
  void SetTail(IkivAlternativeElem* Tail) override { fTail = Tail; }
  void SetSynPred(IkivSynPredBlock* SynPred) override { fSynPred = SynPred; }
  void SetSemPred(const std::string& SemPred) override { fSemPred = SemPred; }
  void SetCacheLength(int N) override;
  void SetLookaheadDepth(int Depth) override { fLookaheadDepth = Depth; }
  void SetAstOverride(const IkivTokenPtr& Override) override { fAstOverride = Override; }
  void SetAstEnabled(bool Enabled) override { fAstEnabled = Enabled; }
  void SetHandlerKind(const std::string& Kind) override { fHandlerKind = Kind; }
  void SetHandlerText(const std::string& Text) override { fHandlerText = Text; }
  IkivLookaheadPtr GetCache(int Index) const override;
  void SetCache(int Index, const IkivLookaheadPtr& Lookahead) override;
  void AddElement(IkivAlternativeElem* Elem) override;
  bool IsEmpty() const override { return fHead == nullptr; }

private:
  IkivAlternativeElem* fHead = nullptr;
  IkivAlternativeElem* fTail = nullptr;
  bool fAstEnabled = false;
  IkivSynPredBlock* fSynPred = nullptr;
  std::string fSemPred;
  std::string fHandlerKind;
  std::string fHandlerText;
  std::vector<IkivLookaheadPtr> fCache;
  int fLookaheadDepth = 0;
  IkivTokenPtr fAstOverride;
};
