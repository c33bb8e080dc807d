// kivGraph.h - the element graph's interfaces: elements, alternatives, blocks, rule blocks and the
// records the grammar maker builds them with. Operations are declared in their contract slot order.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/kivLibTypes.h"
#include "runtime/cpp/kivTypes.h"

// Note [graph ownership]: every element and alternative of a grammar's graph is owned by the graph
// arena that the grammar holds (kiv::GraphArena, engine/graph/kivGraphArena.h). The graph links
// its nodes by plain pointers, back references (block end -> block, rule end -> rule block) included,
// so there are no ownership cycles and the whole graph goes away with its grammar. Lookahead sets and
// tokens are shared values held by std::shared_ptr.
//
// Note [interface queries]: the kind of an element is found by asking it for one of these
// interfaces (kiv::Supports in engine/graph/kivGraphArena.h, a dynamic_cast); the interfaces derive
// virtually so that an element can be asked for any of the interfaces its class implements.
// Analysis and generation never switch on kinds: they go through Look and Generate, and each element
// calls the operation of its own kind (double dispatch).

class IkivGrammarElem;
class IkivAlternativeElem;
class IkivBlockEndElem;
class IkivRuleEndElem;
class IkivRuleRefElem;
class IkivActionElem;
class IkivGrammarAtom;
class IkivCharLiteralElem;
class IkivStringLiteralElem;
class IkivTokenRefElem;
class IkivWildcardElem;
class IkivCharRangeElem;
class IkivTokenRangeElem;
class IkivAlternative;
class IkivAlternativeBlock;
class IkivRuleBlock;
class IkivBlockWithImpliedExitPath;
class IkivOneOrMoreBlock;
class IkivZeroOrMoreBlock;
class IkivSynPredBlock;
class IkivExceptionSpec;
class IkivExceptionHandler;
class IkivBlockContext;

// Lists of graph nodes hold plain pointers; the nodes belong to the grammar's graph arena.
using TkivAlternativeList = std::vector<IkivAlternative*>;
using TkivElemList = std::vector<IkivAlternativeElem*>;
using TkivBlockList = std::vector<IkivAlternativeBlock*>;

using IkivExceptionHandlerPtr = std::shared_ptr<IkivExceptionHandler>;
using IkivExceptionSpecPtr = std::shared_ptr<IkivExceptionSpec>;
using TkivExceptionHandlerList = std::vector<IkivExceptionHandlerPtr>;

namespace kiv {
// The AST modes an alternative element answers with GetAstMode.
enum AstModeKind : int {
  amDefault = 1,  // no mark
  amRoot = 2,     // "^"
  amSuppress = 3, // "!"
};
} // namespace kiv

class IkivGrammarElem {
public:
  virtual ~IkivGrammarElem() = default;
  virtual int GetLine() const = 0;
  virtual int GetColumn() const = 0;
  virtual void SetLine(int Line) = 0;
  virtual void SetColumn(int Column) = 0;
  // Calls the code generator's operation for this element's kind.
  virtual void Generate() = 0;
  // Calls the analyzer's lookahead operation for this element's kind; null when the kind has none.
  virtual IkivLookaheadPtr Look(int K) = 0;
  // Text form for diagnostics.
  virtual std::string ToText() const = 0;
};

class IkivAlternativeElem : public virtual IkivGrammarElem {
public:
  virtual int GetAstMode() const = 0;
  virtual std::string GetLabel() const = 0;
  virtual IkivAlternativeElem* GetNext() const = 0;
  virtual std::string GetEnclosingRuleName() const = 0;
  virtual void SetLabel(const std::string& Label) = 0;
  virtual void SetNext(IkivAlternativeElem* Next) = 0;
  virtual void SetEnclosingRuleName(const std::string& Name) = 0;
};

class IkivBlockEndElem : public virtual IkivAlternativeElem {
public:
  virtual IkivAlternativeBlock* GetBlock() const = 0;
  virtual bool GetLock(int K) const = 0;
  virtual void SetBlock(IkivAlternativeBlock* Block) = 0;
  virtual void SetLock(int K, bool Locked) = 0;
};

class IkivRuleEndElem : public virtual IkivBlockEndElem {
public:
  virtual bool GetNoFollow() const = 0;
  virtual IkivLookaheadPtr GetCache(int K) const = 0;
  virtual void SetNoFollow(bool NoFollow) = 0;
  virtual void SetCache(int K, const IkivLookaheadPtr& Lookahead) = 0;
};

class IkivRuleRefElem : public virtual IkivAlternativeElem {
public:
  virtual std::string GetTargetRule() const = 0;
  virtual std::string GetAssignedVariable() const = 0;
  virtual std::string GetArguments() const = 0;
  virtual void SetTargetRule(const std::string& Rule) = 0;
  virtual void SetAssignedVariable(const std::string& Variable) = 0;
  virtual void SetArguments(const std::string& Arguments) = 0;
};

class IkivActionElem : public virtual IkivAlternativeElem {
public:
  virtual std::string GetActionText() const = 0;
  virtual bool GetIsSemPred() const = 0;
  virtual void SetIsSemPred(bool IsSemPred) = 0;
};

class IkivGrammarAtom : public virtual IkivAlternativeElem {
public:
  virtual std::string GetText() const = 0;
  virtual std::string GetAstNodeType() const = 0;
  virtual int GetType() const = 0;
  virtual bool GetInverted() const = 0;
  virtual void SetAstNodeType(const std::string& AstNodeType) = 0;
  // Element option: only "AST" is known.
  virtual void SetOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) = 0;
};

class IkivCharLiteralElem : public virtual IkivGrammarAtom {};

class IkivStringLiteralElem : public virtual IkivGrammarAtom {
public:
  virtual std::string GetProcessedText() const = 0;
};

class IkivTokenRefElem : public virtual IkivGrammarAtom {};

class IkivWildcardElem : public virtual IkivGrammarAtom {};

class IkivCharRangeElem : public virtual IkivAlternativeElem {
public:
  virtual char GetFirst() const = 0;
  virtual char GetLast() const = 0;
};

class IkivTokenRangeElem : public virtual IkivAlternativeElem {
public:
  virtual int GetFirst() const = 0;
  virtual int GetLast() const = 0;
  virtual std::string GetFirstText() const = 0;
  virtual std::string GetLastText() const = 0;
};

class IkivAlternative {
public:
  virtual ~IkivAlternative() = default;
  virtual IkivAlternativeElem* GetHead() const = 0;
  virtual IkivAlternativeElem* GetTail() const = 0;
  virtual IkivSynPredBlock* GetSynPred() const = 0;
  virtual std::string GetSemPred() const = 0;
  // Highest index of the lookahead cache, -1 when the cache is empty.
  virtual int GetCacheHigh() const = 0;
  virtual int GetLookaheadDepth() const = 0;
  virtual IkivTokenPtr GetAstOverride() const = 0;
  // True when the AST-enabled flag is set and there is no AST override.
  virtual bool GetAstEnabled() const = 0;
  virtual std::string GetHandlerKind() const = 0;
  virtual std::string GetHandlerText() const = 0;
  virtual void SetHead(IkivAlternativeElem* Head) = 0;
  virtual void SetTail(IkivAlternativeElem* Tail) = 0;
  virtual void SetSynPred(IkivSynPredBlock* SynPred) = 0;
  virtual void SetSemPred(const std::string& SemPred) = 0;
  // The cache gets N entries; new entries are empty.
  virtual void SetCacheLength(int N) = 0;
  virtual void SetLookaheadDepth(int Depth) = 0;
  virtual void SetAstOverride(const IkivTokenPtr& Override) = 0;
  virtual void SetAstEnabled(bool Enabled) = 0;
  virtual void SetHandlerKind(const std::string& Kind) = 0;
  virtual void SetHandlerText(const std::string& Text) = 0;
  // Null outside the cache.
  virtual IkivLookaheadPtr GetCache(int Index) const = 0;
  // Grows the cache when the index lies beyond it.
  virtual void SetCache(int Index, const IkivLookaheadPtr& Lookahead) = 0;
  // Appends after the tail (or as the head) and makes the element the tail.
  virtual void AddElement(IkivAlternativeElem* Elem) = 0;
  virtual bool IsEmpty() const = 0;
};

class IkivAlternativeBlock : public virtual IkivAlternativeElem {
public:
  virtual int GetID() const = 0;
  virtual std::string GetInitAction() const = 0;
  virtual bool GetAstEnabled() const = 0;
  virtual bool GetInverted() const = 0;
  virtual bool GetHasSynPred() const = 0;
  virtual bool GetHasAction() const = 0;
  virtual bool GetWarnWhenFollowAmbig() const = 0;
  virtual bool GetGenerateAmbigWarnings() const = 0;
  virtual bool GetGreedy() const = 0;
  virtual bool GetGreedyGiven() const = 0;
  virtual int GetAnalysisAlt() const = 0;
  virtual int GetComparedAlt() const = 0;
  virtual int GetAgainstAlt() const = 0;
  virtual const TkivAlternativeList& GetAlternatives() const = 0;
  // Null when the index is negative or not below the count.
  virtual IkivAlternative* GetAlternative(int Index) const = 0;
  virtual void SetInitAction(const std::string& Action) = 0;
  virtual void SetAstEnabled(bool Enabled) = 0;
  virtual void SetInverted(bool Inverted) = 0;
  virtual void SetHasSynPred(bool HasSynPred) = 0;
  virtual void SetHasAction(bool HasAction) = 0;
  virtual void SetWarnWhenFollowAmbig(bool Warn) = 0;
  virtual void SetGenerateAmbigWarnings(bool Generate) = 0;
  virtual void SetGreedy(bool Greedy) = 0;
  virtual void SetGreedyGiven(bool Given) = 0;
  virtual void SetAnalysisAlt(int Index) = 0;
  virtual void SetComparedAlt(int Index) = 0;
  virtual void SetAgainstAlt(int Index) = 0;
  // Drops the block's own list and takes over the given one.
  virtual void ReplaceAlternatives(TkivAlternativeList Alternatives) = 0;
  virtual void AddAlternative(IkivAlternative* Alternative) = 0;
  // Block options; on a rule block, rule options.
  virtual void SetOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) = 0;
  virtual void PrepareForAnalysis() = 0;
  // Removes the rule references inside this (predicate) block from their rules' reference lists.
  virtual void RemoveRuleRefTracking(IkivGrammar& Grammar) = 0;
};

class IkivBlockWithImpliedExitPath : public virtual IkivAlternativeBlock {
public:
  virtual int GetExitLookaheadDepth() const = 0;
  virtual IkivLookaheadPtr GetExitCache(int K) const = 0;
  virtual void SetExitLookaheadDepth(int Depth) = 0;
  virtual void SetExitCache(int K, const IkivLookaheadPtr& Lookahead) = 0;
};

class IkivOneOrMoreBlock : public virtual IkivBlockWithImpliedExitPath {};

class IkivZeroOrMoreBlock : public virtual IkivBlockWithImpliedExitPath {};

class IkivSynPredBlock : public virtual IkivAlternativeBlock {};

// The three lists of a rule block are handed out as the lists themselves: the grammar maker appends
// to them while it builds the rule.
class IkivRuleBlock : public virtual IkivAlternativeBlock {
public:
  virtual std::string GetRuleName() const = 0;
  virtual std::string GetArgDeclaration() const = 0;
  virtual std::string GetReturnDeclaration() const = 0;
  virtual std::string GetLocalDeclarations() const = 0;
  virtual IkivRuleEndElem* GetEndNode() const = 0;
  virtual bool GetTestLiterals() const = 0;
  virtual TkivElemList& GetLabeledElements() = 0;
  virtual std::string GetIgnoreRule() const = 0;
  virtual std::string GetHandlerKind() const = 0;
  virtual std::string GetHandlerText() const = 0;
  virtual bool GetDefaultErrorHandler() const = 0;
  virtual TkivBlockList& GetLoopCounterBlocks() = 0;
  virtual TkivBlockList& GetSynPredBlocks() = 0;
  virtual bool GetLock(int K) const = 0;
  virtual IkivLookaheadPtr GetCache(int K) const = 0;
  virtual void SetRuleName(const std::string& Name) = 0;
  virtual void SetArgDeclaration(const std::string& Declaration) = 0;
  virtual void SetReturnDeclaration(const std::string& Declaration) = 0;
  virtual void SetLocalDeclarations(const std::string& Declarations) = 0;
  virtual void SetEndNode(IkivRuleEndElem* EndNode) = 0;
  virtual void SetTestLiterals(bool TestLiterals) = 0;
  virtual void ReplaceLabeledElements(TkivElemList Elements) = 0;
  virtual void SetHandlerText(const std::string& Text) = 0;
  virtual void SetHandlerKind(const std::string& Kind) = 0;
  virtual void SetDefaultErrorHandler(bool Enabled) = 0;
  virtual void SetIgnoreRule(const std::string& Rule) = 0;
  virtual void SetLock(int K, bool Locked) = 0;
  virtual void SetCache(int K, const IkivLookaheadPtr& Lookahead) = 0;
  // SetOption (rule options) is the block's operation, overridden by the rule block.
  // True when the rule name is exactly "nextToken".
  virtual bool IsNextTokenRule() const = 0;
};

class IkivExceptionSpec {
public:
  virtual ~IkivExceptionSpec() = default;
  virtual IkivTokenPtr GetLabel() const = 0;
  virtual const TkivExceptionHandlerList& GetHandlers() const = 0;
  virtual void AddHandler(const IkivExceptionHandlerPtr& Handler) = 0;
};

class IkivExceptionHandler {
public:
  virtual ~IkivExceptionHandler() = default;
  virtual IkivTokenPtr GetExceptionTypeAndName() const = 0;
  virtual IkivTokenPtr GetAction() const = 0;
};

// The grammar maker's record of a block under construction.
class IkivBlockContext {
public:
  virtual ~IkivBlockContext() = default;
  virtual IkivAlternativeBlock* GetBlock() const = 0;
  virtual IkivBlockEndElem* GetBlockEnd() const = 0;
  virtual int GetAltIndex() const = 0;
  virtual void SetBlock(IkivAlternativeBlock* Block) = 0;
  virtual void SetBlockEnd(IkivBlockEndElem* BlockEnd) = 0;
  virtual void SetAltIndex(int Index) = 0;
  virtual void AddAlternativeElement(IkivAlternativeElem* Elem) = 0;
  // The block's alternative at the context's index; null when the index is not valid.
  virtual IkivAlternative* CurrentAlternative() const = 0;
  // The current alternative's tail; null when there is no current alternative.
  virtual IkivAlternativeElem* CurrentElement() const = 0;
};
