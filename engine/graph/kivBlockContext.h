// kivBlockContext.h - the grammar maker's records: the context of a block under construction, and
// the exception specification and handler records of the grammar language.
#pragma once

#include <utility>

#include "engine/kivGraph.h"

// A block under construction: the block, the index of the alternative being filled and the block's
// shared end marker (empty for a rule, which ends in its rule end).
class TkivBlockContext : public IkivBlockContext {
public:
  TkivBlockContext() = default;
  TkivBlockContext(IkivAlternativeBlock* Block, IkivBlockEndElem* BlockEnd);

  IkivAlternativeBlock* GetBlock() const override { return fBlock; }
  IkivBlockEndElem* GetBlockEnd() const override { return fBlockEnd; }
  int GetAltIndex() const override { return fAltIndex; }
  void SetBlock(IkivAlternativeBlock* Block) override { fBlock = Block; }
  void SetBlockEnd(IkivBlockEndElem* BlockEnd) override { fBlockEnd = BlockEnd; }
  void SetAltIndex(int Index) override { fAltIndex = Index; }
  void AddAlternativeElement(IkivAlternativeElem* Elem) override;
  IkivAlternative* CurrentAlternative() const override;
  IkivAlternativeElem* CurrentElement() const override;

private:
  IkivAlternativeBlock* fBlock = nullptr;
  int fAltIndex = 0;
  IkivBlockEndElem* fBlockEnd = nullptr;
};

class TkivExceptionSpec : public IkivExceptionSpec {
public:
  explicit TkivExceptionSpec(IkivTokenPtr Label) : fLabel(std::move(Label)) {}

  IkivTokenPtr GetLabel() const override { return fLabel; }
  const TkivExceptionHandlerList& GetHandlers() const override { return fHandlers; }
  void AddHandler(const IkivExceptionHandlerPtr& Handler) override { fHandlers.push_back(Handler); }

private:
  IkivTokenPtr fLabel;
  TkivExceptionHandlerList fHandlers;
};

class TkivExceptionHandler : public IkivExceptionHandler {
public:
  TkivExceptionHandler(IkivTokenPtr ExceptionTypeAndName, IkivTokenPtr Action)
      : fExceptionTypeAndName(std::move(ExceptionTypeAndName)), fAction(std::move(Action)) {}

  IkivTokenPtr GetExceptionTypeAndName() const override { return fExceptionTypeAndName; }
  IkivTokenPtr GetAction() const override { return fAction; }

private:
  IkivTokenPtr fExceptionTypeAndName;
  IkivTokenPtr fAction;
};
