// kivAnalysis.h - the two visitors of the element graph: the LL(k) analyzer and the code generator.
// Every element calls the operation of its own kind on them; operations are in contract slot order.
#pragma once

#include <string>

#include "engine/kivGraph.h"
#include "engine/kivLibTypes.h"

// Method-less base of every grammar analyzer.
class IkivGrammarAnalyzer {
public:
  virtual ~IkivGrammarAnalyzer() = default;
};

// Lookahead of the graph, computed lazily and memoised in the graph's caches. K is the lookahead
// depth, 1-based; every Look operation answers a new lookahead set owned by the caller.
class IkivLLkAnalyzer : public IkivGrammarAnalyzer {
public:
  // The grammar is borrowed until the next call (null clears it): the grammar refers to its analyzer,
  // so the analyzer must not own the grammar in turn.
  virtual void SetGrammar(IkivGrammar* Grammar) = 0;
  // True when the block's alternatives are told apart within k.
  virtual bool CheckBlock(IkivAlternativeBlock& Block) = 0;
  virtual bool CheckOneOrMore(IkivOneOrMoreBlock& Block) = 0;
  virtual bool CheckZeroOrMore(IkivZeroOrMoreBlock& Block) = 0;
  virtual IkivLookaheadPtr LookAction(int K, IkivActionElem& Action) = 0;
  virtual IkivLookaheadPtr LookBlock(int K, IkivAlternativeBlock& Block) = 0;
  virtual IkivLookaheadPtr LookBlockEnd(int K, IkivBlockEndElem& End) = 0;
  virtual IkivLookaheadPtr LookCharLiteral(int K, IkivCharLiteralElem& Atom) = 0;
  virtual IkivLookaheadPtr LookCharRange(int K, IkivCharRangeElem& Range) = 0;
  // Token references (any grammar atom).
  virtual IkivLookaheadPtr LookTokenRef(int K, IkivGrammarAtom& Atom) = 0;
  virtual IkivLookaheadPtr LookOneOrMore(int K, IkivOneOrMoreBlock& Block) = 0;
  virtual IkivLookaheadPtr LookRuleBlock(int K, IkivRuleBlock& Block) = 0;
  virtual IkivLookaheadPtr LookRuleEnd(int K, IkivRuleEndElem& End) = 0;
  virtual IkivLookaheadPtr LookRuleRef(int K, IkivRuleRefElem& Ref) = 0;
  virtual IkivLookaheadPtr LookStringLiteral(int K, IkivStringLiteralElem& Atom) = 0;
  // What follows the predicate block.
  virtual IkivLookaheadPtr LookSynPred(int K, IkivSynPredBlock& Block) = 0;
  virtual IkivLookaheadPtr LookTokenRange(int K, IkivTokenRangeElem& Range) = 0;
  // No element kind calls it: at depth 1 null, else what follows the element at K-1.
  virtual IkivLookaheadPtr LookTreeElement(int K, IkivAlternativeElem& Elem) = 0;
  virtual IkivLookaheadPtr LookWildcard(int K, IkivWildcardElem& Atom) = 0;
  virtual IkivLookaheadPtr LookZeroOrMore(int K, IkivZeroOrMoreBlock& Block) = 0;
  // FIRST of the named rule at depth K.
  virtual IkivLookaheadPtr LookRule(int K, const std::string& RuleName) = 0;
  // FOLLOW of the rule that ends in End, at depth K.
  virtual IkivLookaheadPtr Follow(int K, IkivRuleEndElem& End) = 0;
  virtual bool CanInvertSubrule(IkivAlternativeBlock& Block, bool ForLexer) = 0;
};

// Writes the recognizer of a grammar; each element asks for the code of its own kind.
class IkivCodeGenerator {
public:
  virtual ~IkivCodeGenerator() = default;
  // Once per grammar: the vocabulary file, the token-types unit and the recognizer unit. The grammar
  // is borrowed for the call.
  virtual void Generate(IkivGrammar& Grammar) = 0;
  virtual void GenAction(IkivActionElem& Action) = 0;
  virtual void GenBlock(IkivAlternativeBlock& Block) = 0;
  virtual void GenBlockEnd(IkivBlockEndElem& End) = 0;
  virtual void GenCharLiteral(IkivCharLiteralElem& Atom) = 0;
  virtual void GenCharRange(IkivCharRangeElem& Range) = 0;
  // Token references (any grammar atom).
  virtual void GenAtom(IkivGrammarAtom& Atom) = 0;
  virtual void GenOneOrMore(IkivOneOrMoreBlock& Block) = 0;
  virtual void GenRuleBlock(IkivRuleBlock& Block) = 0;
  virtual void GenRuleEnd(IkivRuleEndElem& End) = 0;
  virtual void GenRuleRef(IkivRuleRefElem& Ref) = 0;
  virtual void GenStringLiteral(IkivStringLiteralElem& Atom) = 0;
  virtual void GenSynPred(IkivSynPredBlock& Block) = 0;
  virtual void GenTokenRange(IkivTokenRangeElem& Range) = 0;
  // No element kind calls it.
  virtual void GenTreeElement(IkivAlternativeElem& Elem) = 0;
  virtual void GenWildcard(IkivWildcardElem& Atom) = 0;
  virtual void GenZeroOrMore(IkivZeroOrMoreBlock& Block) = 0;
};
