// kivLLkAnalyzer.h - TkivLLkAnalyzer: linear approximate LL(k) lookahead over a grammar's element graph.
// Decides for every block and loop whether k tokens (characters in a lexer) tell its alternatives apart.
#pragma once

#include <cstddef>
#include <memory>
#include <set>
#include <string>
#include <tuple>

#include "engine/kivAnalysis.h"
#include "engine/kivLookaheadIntf.h"
#include "engine/kivModel.h"

namespace kiv {

// The lookahead depth of an alternative, and the exit depth of a loop, that k cannot separate.
inline constexpr int NondeterministicDepth = 2147483647;
// FOLLOW of a parser rule that nothing references.
inline constexpr int EofTokenType = 1;
// Lowest token type of the universe that inverted sets and wildcards are taken from in parsers.
inline constexpr int MinUserTokenType = 4;

} // namespace kiv

// Note [analysis state in the graph]: the analyzer keeps nothing between calls but the grammar and
// the block under examination. Everything it computes is memoised in the graph for the rest of the
// run: the alternatives' per-depth caches, the rule blocks' FIRST caches, the rule ends' FOLLOW
// caches and the loops' exit caches. Recursion is cut by per-depth locks on rule blocks (FIRST),
// rule ends (FOLLOW) and loop ends (another iteration); a FIRST or FOLLOW computation that meets its
// own lock answers an empty set carrying the rule's name as its cycle, so that the caller can tell
// a partial result from a complete one.
//
// Note [epsilon depths]: while the FIRST of a rule is computed through a reference, the rule's end
// answers "epsilon at depth d" instead of the rule's FOLLOW, d being the depth still to be filled
// when the end was reached. The reference then continues with the element after it at each such
// depth. A FIRST cache entry is thus independent of where the rule is used.
//
// Note [lookahead memo]: the graph's caches alone leave the lookahead of blocks, loop ends and the
// elements between them to be recomputed along every path that reaches them, which grows as
// (alternatives)^k in nested loops. The analyzer therefore also remembers the lookahead of every
// element it asks for, per depth, together with what the answer depended on beyond the graph: the
// locks and no-FOLLOW flags it read, with their values, and, for wildcards and inverted atoms at
// depth 1, whether the atom headed the alternative under analysis (competing sets). An answer is
// reused only while all of these read the same, so that reusing it gives what computing it again
// would. A FIRST or FOLLOW set computed afresh is stored in the graph and every later request gets
// the stored set, so what its computation read does not count for the answers that asked for it.
// A set that met a lock held by an enclosing computation is not stored (note [cut sets] in the
// source); what it read counts for the answer that asked for it.
// Answers that met a recursion, or that used a FOLLOW set cut short by a cycle (a later request
// may complete it), are not kept. A reference to an undefined rule answers an empty set whatever
// asked, so answers through it are kept; its error is reported once per position anyway.
class TkivLLkAnalyzer : public IkivLLkAnalyzer {
public:
  // The tool is borrowed for the analyzer's life: it receives warnings, errors, panics and the
  // nondeterminism reports.
  explicit TkivLLkAnalyzer(IkivTool& Tool);
  ~TkivLLkAnalyzer() override;

  // The grammar is borrowed (see IkivLLkAnalyzer); the lexical flag follows its kind.
  void SetGrammar(IkivGrammar* Grammar) override;
  bool CheckBlock(IkivAlternativeBlock& Block) override;
  bool CheckOneOrMore(IkivOneOrMoreBlock& Block) override;
  bool CheckZeroOrMore(IkivZeroOrMoreBlock& Block) override;
  IkivLookaheadPtr LookAction(int K, IkivActionElem& Action) override;
  IkivLookaheadPtr LookBlock(int K, IkivAlternativeBlock& Block) override;
  IkivLookaheadPtr LookBlockEnd(int K, IkivBlockEndElem& End) override;
  IkivLookaheadPtr LookCharLiteral(int K, IkivCharLiteralElem& Atom) override;
  IkivLookaheadPtr LookCharRange(int K, IkivCharRangeElem& Range) override;
  IkivLookaheadPtr LookTokenRef(int K, IkivGrammarAtom& Atom) override;
  IkivLookaheadPtr LookOneOrMore(int K, IkivOneOrMoreBlock& Block) override;
  IkivLookaheadPtr LookRuleBlock(int K, IkivRuleBlock& Block) override;
  IkivLookaheadPtr LookRuleEnd(int K, IkivRuleEndElem& End) override;
  IkivLookaheadPtr LookRuleRef(int K, IkivRuleRefElem& Ref) override;
  IkivLookaheadPtr LookStringLiteral(int K, IkivStringLiteralElem& Atom) override;
  IkivLookaheadPtr LookSynPred(int K, IkivSynPredBlock& Block) override;
  IkivLookaheadPtr LookTokenRange(int K, IkivTokenRangeElem& Range) override;
  IkivLookaheadPtr LookTreeElement(int K, IkivAlternativeElem& Elem) override;
  IkivLookaheadPtr LookWildcard(int K, IkivWildcardElem& Atom) override;
  IkivLookaheadPtr LookZeroOrMore(int K, IkivZeroOrMoreBlock& Block) override;
  // FIRST of the named rule (the name as the symbol table holds it). The rule's end answers FOLLOW
  // unless its no-FOLLOW flag is set, which a rule reference does around this call; RuleFirst is
  // the rule's own FIRST.
  IkivLookaheadPtr LookRule(int K, const std::string& RuleName) override;
  IkivLookaheadPtr Follow(int K, IkivRuleEndElem& End) override;
  bool CanInvertSubrule(IkivAlternativeBlock& Block, bool ForLexer) override;

  // The FIRST of a rule at depth K as a reference sees it: the rule's end answers epsilon with the
  // depth still to be filled instead of the rule's FOLLOW. Fills the rule's FIRST cache. Flags and
  // locks of the graph must be set only through the analyzer (see note [lookahead memo]).
  IkivLookaheadPtr RuleFirst(int K, const std::string& RuleId);

  // The lookahead memo (note [lookahead memo]) is on from construction. Answers are the same
  // without it, only slower: switching it off (which also forgets what it holds) is for checking
  // exactly that.
  void EnableLookaheadMemo(bool Enabled);

  IkivGrammar* Grammar() const { return fGrammar; }
  bool Lexical() const { return fLexical; }

private:
  class Computation;
  struct Memo;

  IkivGrammar& TheGrammar() const;
  // The lookahead of an element, never null and owned by the caller: a missing element or one
  // without an analyzer operation contributes an empty set. Remembered per note [lookahead memo].
  IkivLookaheadPtr LookOf(IkivAlternativeElem* Elem, int K);
  // Alternative Index of Block at depth K from the alternative's cache, computed and stored when
  // the entry is empty; the answer is the cache entry itself, which callers only read.
  IkivLookaheadPtr AltLook(IkivAlternativeBlock& Block, int Index, int K);
  // What follows a loop at depth K, from its exit cache or computed once and stored.
  IkivLookaheadPtr ExitLook(IkivBlockWithImpliedExitPath& Loop, int K);
  // The shared body of LookBlock, LookOneOrMore and LookRuleBlock.
  IkivLookaheadPtr BlockLook(IkivAlternativeBlock& Block, int K);
  bool CheckExitPath(IkivBlockWithImpliedExitPath& Loop);
  // The token types 4..highest type of the token manager.
  IkivLookahead::MemberSet TokenUniverse() const;
  IkivLookahead::MemberSet CharVocabulary() const;
  // True when Atom heads the alternative under analysis of the current block.
  bool HeadsAnalysisAlt(const IkivAlternativeElem& Atom) const;
  // Removes from Set what the earlier alternatives of the current block see at depth 1, when Atom
  // heads the alternative whose lookahead is being computed.
  void RemoveCompetingSets(IkivLookahead::MemberSet& Set, IkivAlternativeElem& Atom);
  // Marks the answers under computation as not to be remembered.
  void DoNotRemember();
  // The symbol-table name of a rule as diagnostics print it (lexer rules decoded).
  std::string DisplayName(const std::string& RuleId) const;
  // The name cycles carry for the rule a rule end belongs to (lexer rules encoded).
  std::string CycleName(IkivRuleEndElem& End) const;
  IkivRuleEndElem* RuleEndOf(const std::string& RuleId) const;
  // Reports an error about a rule reference once per text and position: every lookahead
  // computation that passes the reference finds the same fault, and a grammar with one missing
  // rule would otherwise get thousands of identical lines (and as many counted errors).
  void ReferenceError(const std::string& Text, IkivRuleRefElem& Ref);

  IkivAlternativeBlock* fCurrentBlock = nullptr;
  IkivTool* fTool;
  IkivGrammar* fGrammar = nullptr;
  std::set<std::tuple<std::string, int, int>> fReferenceErrors;
  bool fLexical = false;
  std::unique_ptr<Memo> fMemo;
  // See note [analysis stack].
  int fNesting = 0;
  const void* fStackBase = nullptr;
  std::size_t fStackBudget = 0;  // measured at the first request, on the thread that analyses
};
