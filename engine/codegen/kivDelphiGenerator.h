// kivDelphiGenerator.h - TkivDelphiGenerator: writes one grammar as a Delphi unit declaring a lexer
// class (descending from TkivLexer) or an LL(k) parser class (descending from TkivLLkParser).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/codegen/kivCodeGenerator.h"
#include "engine/codegen/kivLookaheadTests.h"

// The record a block decision leaves for the block finisher: whether a branch was written, whether
// an error clause is still needed and whether a syntactic-predicate group must be closed.
struct TkivDelphiBlockFinishingInfo {
  std::string Postscript;
  bool GeneratedSwitch = false;
  bool GeneratedIf = false;
  bool NeedsErrorClause = true;
  bool ClosesPredicateGroup = false;
};

// Note [generation order]: Generate writes the vocabulary file, the token-types unit and then the
// recognizer unit. Rules are written in definition order; every block is checked by the analyzer
// just before its decision is written, and the decision reads the caches the check left in the
// graph. Elements write themselves through the Gen* operations (double dispatch).
//
// Note [decision chains]: a decision is an if / else-if chain. The generator closes the last branch
// with "end" when an else clause follows and with "end;" when none does, so every chain is a
// complete statement whatever the order and kinds of its branches. A default branch (an
// alternative with empty lookahead and no predicate) is the chain's final else.
//
// Note [reserved words]: rule names, labels and the grammar name become Pascal identifiers. One
// that is a reserved word of the language (a rule "file", a label "type") is written with the "&"
// escape wherever the generator declares or uses it, so the unit compiles; code in the grammar's
// own actions that names it must use the same escape.
//
// Note [syntactic predicate groups]: a block with syntactic predicates tries its predicated
// alternatives in order, each guarded by "if not _spMatch", and then tests the others. _spMatch is
// one flag per rule, so each group first clears it (a group met again in a loop, or a later group
// of the same rule, must not see an earlier success), and a predicated alternative that itself
// contains such a group sets it again after it ran (so the enclosing group does not run a second
// alternative).
// A group inside a predicate's own block runs while the enclosing attempt still needs its mark and
// flag, so each predicate nesting level has its own pair: _spMatch/_mkMatch outside predicates,
// _spMatch2/_mkMatch2 inside one, and so on; rules without such nesting read as before.
//
// Note [optimized form]: with the grammar option "optimize" the generator writes the same
// recognizer in a text that runs faster; every switch is a test of fOptimize, and without the
// option the text is exactly the default form. The optimized form keeps names, methods, base
// classes, tokens, actions, handlers and exceptions (with their positions), and differs in:
// - lexer rules hold no interface or string locals: the text start, the token made at the end,
//   the text cut after a "!" call and the literal test of a protected rule are runtime calls
//   (_textStart, _finishRule, _textLength, _truncateText, _testLiteralFrom), so a rule needs no
//   implicit exception frame;
// - raises are runtime calls (_raiseNoViableChar, _raiseNoViableToken, _raiseSemantic);
// - NextToken of a lexer without a filter has no try statement (its handler only raised again);
// - a decision whose branches all test LA(1) alone against disjoint sets, without predicates, is
//   a case statement on LA(1) (the if chain reads LA(1) once per branch);
// - in a lexer loop without predicates, init action or non-greedy exit, a case branch that is a
//   single unlabelled character, range or inverted set, chosen by exactly the characters it
//   matches, consumes the whole run of such characters at once (_scanRun); the loop counter
//   grows by the run's length, as the loop would have counted it; a loop whose every branch is
//   such a run (and that has nothing else) is one run over all their characters, with the (...)+
//   loop's error when it finds none, and a (...)* loop scans only when LA(1) starts the run;
// - a lexer dispatch whose case statement on the character would be a long chain of tests (see
//   DispatchClasses) is a case statement on the character's class, read from a table that the
//   dispatch holds as a local typed constant; its labels are dense, so the compiler jumps through
//   a table; a case statement in a lexer rule with far fewer branches than labels (CaseClasses)
//   reads a table of the rule's in the same way (written before the rule's "begin" once the
//   rule is done, since its decisions are analysed as they are written);
// - a lexer without a filter writes its dispatch as _nextTokenType and inherits NextToken from the
//   runtime: the dispatch calls token rules with pCreate false, and each rule's _finishRule leaves
//   the type and where the text starts, so the token object is made only when wanted (by
//   NextToken, or by a parser's token buffer when LT asks; see TkivTokenBuffer);
//   a token rule that only skips what one loop of characters matches (SkipLoop, white space most
//   often) is not called at all: the dispatch runs a copy of the rule's loop text and starts the
//   next round; so is a token rule that matches nothing but characters (PlainTokenRule: an
//   operator, a number): the dispatch runs a copy of its body and finishes it as the rule would;
// - a parser reads its look-ahead and matches tokens through the runtime's inline _LA and _match
//   (no virtual LA or consume call); a token that begins a case branch chosen by that token alone
//   is taken with _consume, as the case has just read it;
// - a case-sensitive lexer reads LA(1) and matches characters and ranges through _LA1 and _match,
//   which skip the case-folding test.
class TkivDelphiGenerator : public TkivCodeGenerator {
public:
  TkivDelphiGenerator(std::string UnitDirectory, std::string ExchangeDirectory);

  void Generate(IkivGrammar& Grammar) override;
  void GenAction(IkivActionElem& Action) override;
  void GenBlock(IkivAlternativeBlock& Block) override;
  void GenBlockEnd(IkivBlockEndElem& End) override;
  void GenCharLiteral(IkivCharLiteralElem& Atom) override;
  void GenCharRange(IkivCharRangeElem& Range) override;
  void GenAtom(IkivGrammarAtom& Atom) override;
  void GenOneOrMore(IkivOneOrMoreBlock& Block) override;
  void GenRuleBlock(IkivRuleBlock& Block) override;
  void GenRuleEnd(IkivRuleEndElem& End) override;
  void GenRuleRef(IkivRuleRefElem& Ref) override;
  void GenStringLiteral(IkivStringLiteralElem& Atom) override;
  void GenSynPred(IkivSynPredBlock& Block) override;
  void GenTokenRange(IkivTokenRangeElem& Range) override;
  void GenTreeElement(IkivAlternativeElem& Elem) override;
  void GenWildcard(IkivWildcardElem& Atom) override;
  void GenZeroOrMore(IkivZeroOrMoreBlock& Block) override;

private:
  // --- unit frame ---
  void WriteUses();
  void WriteDeclarations();
  void WriteRuleDeclarations();
  // "procedure name...;" for the class declaration (padded to Width) or, with Width 0, the method
  // heading (qualified with the class name).
  std::string RuleHeading(IkivRuleSymbol& Symbol, IkivRuleBlock& Block, std::size_t Width) const;
  void GenRule(IkivRuleSymbol& Symbol);
  // The rule's local declarations, with PredicateLevels pairs of predicate flag and mark.
  void GenLocals(IkivRuleBlock& Block, int PredicateLevels);
  void GenRuleHandler(IkivRuleBlock& Block);
  void GenNextToken();
  void GenLiteralsInitializer();
  bool AnyPublicRule() const;
  // Whether the lexer's dispatch is written as _nextTokenType (see note [optimized form]).
  bool TypedDispatch() const;
  bool LiteralsNeeded() const;

  // --- decisions ---
  void GenAlternative(IkivAlternative& Alt);
  TkivDelphiBlockFinishingInfo GenCommonBlock(IkivAlternativeBlock& Block, bool SingleAltShortcut);
  // A tested alternative of a decision and the depth it is tested to.
  struct Branch {
    IkivAlternative* Alt;
    int Depth;
  };
  // The alternatives without a syntactic predicate in the order the decision tests them.
  std::vector<Branch> OrderedBranches(IkivAlternativeBlock& Block) const;
  // Whether the optimized form writes the decision over these branches as a case statement.
  bool CaseDispatchApplies(const std::vector<Branch>& Branches) const;
  // For the optimized lexer's dispatch block: each character's case branch (numbered from 1 in
  // the order they are written, 0 for none) when the case statement is better made on that
  // class; empty otherwise.
  std::vector<int> DispatchClasses(IkivAlternativeBlock& Block) const;
  // The same for the case statement over Branches of any lexer decision (Dispatch false: only
  // when there are far fewer branches than labels).
  std::vector<int> CaseClasses(const std::vector<Branch>& Branches, bool Dispatch) const;
  // The class table of the dispatch (Index 0) or of a rule's Index-th case statement.
  static std::string ClassTableName(int Index);
  // A class table as a typed constant (its "const" written before).
  static void GenClassTable(kiv::PascalWriter& Out, const std::string& Name, const std::vector<int>& Classes);
  // Free Pascal makes a jump table of a case statement with at least this many labels.
  static constexpr int kMinJumpTableLabels = 12;
  // A case statement on the character with fewer labels stays one.
  static constexpr int kMinClassDispatchLabels = 8;
  void GenBlockFinish(const TkivDelphiBlockFinishingInfo& Info, const std::string& Statement, bool SingleStatement);
  void GenSynPredAttempt(IkivSynPredBlock& Block);
  // The predicate flag and mark of the current predicate nesting level (note [syntactic predicate
  // groups]).
  std::string SpMatch() const;
  std::string MkMatch() const;
  void GenSemPredCheck(const std::string& Predicate);
  void GenInitAction(IkivAlternativeBlock& Block);
  // The non-greedy exit test depth of a loop, 0 when it has none.
  int NonGreedyExitDepth(IkivBlockWithImpliedExitPath& Loop) const;
  std::string NoViableStatement(IkivAlternativeBlock& Block);
  // In the optimized form, a branch of a lexer loop's case statement that is one character, range
  // or inverted set, chosen by exactly the characters it takes, is written as a run scan; false
  // when the branch does not qualify (nothing is written then).
  bool GenRunScan(IkivAlternative& Alt, const kiv::MemberSet& Members, const std::string& Counter);
  // GenRunScan's tests of the branch itself, without the analyzer: Matched is what a character or
  // range takes; an inverted set is left in Inverted for its own checks.
  bool RunScanShape(IkivAlternative& Alt, const kiv::MemberSet& Members, kiv::MemberSet& Matched,
                    IkivAlternativeBlock*& Inverted) const;
  // The run scan call over Members: _scanRunBits for more than two ranges.
  static std::string RunScanCall(const kiv::MemberSet& Members);
  // Whether every branch of a lexer loop would be a run scan, with no other branch, predicate or
  // default: Set is then the union of their sets, Inverted the inverted sets among them in the
  // order the branches are written.
  bool RunLoopSet(IkivAlternativeBlock& Block, kiv::MemberSet& Set, std::vector<IkivAlternativeBlock*>& Inverted) const;
  // Writes such a loop (already checked by the analyzer) as one run over Set, with the (...)+
  // test when Counter is given; false when the loop does not qualify (nothing is written then).
  bool GenRunLoop(IkivBlockWithImpliedExitPath& Loop, const std::string& Counter);
  // The loop of a token rule that only skips what one (...)+ loop matches: the rule's one
  // alternative is the loop and then the action "_ttype := TT_SKIP;", with nothing else in the
  // rule (handler, init action, locals, arguments, literal test, predicates) and nothing in the
  // loop but characters, ranges, sets, subrules and "newLine;" actions; nullptr otherwise. The
  // dispatch repeats the loop's text instead of calling the rule (see note [optimized form]).
  IkivOneOrMoreBlock* SkipLoop(IkivRuleSymbol& Symbol) const;
  // Whether a token rule's body holds nothing but characters, ranges, sets, subrules and
  // "newLine;" actions, with nothing else in the rule, so that the dispatch can repeat its text.
  bool PlainTokenRule(IkivRuleSymbol& Symbol) const;
  // The rule's own conditions for both kinds of copy: a public token rule without handler, init
  // action, locals, arguments, results or literal test.
  bool CopyableRule(IkivRuleSymbol& Symbol) const;
  // Whether a block inside such a rule holds only what the dispatch can repeat.
  static bool CopyableContent(IkivAlternativeBlock& Block);
  // Generates the skip loop of the rule being written and keeps its text for the dispatch.
  void CaptureSkipLoop(IkivOneOrMoreBlock& Loop);
  // Keeps the text written since Start (at indentation Level) as the copy of the rule being
  // written, unless the rule made a class table of its own.
  void KeepRuleCopy(std::size_t Start, int Level, std::size_t Tables, bool Skip);
  // The dispatch's copy of a rule: a skip loop after "result := TT_SKIP;", or a plain rule's
  // body between its result and its _finishRule.
  void GenRuleCopy(IkivRuleSymbol& Symbol);
  // The counter variable of a (...)+ loop.
  static std::string LoopCounter(IkivAlternativeBlock& Loop);

  // --- atoms ---
  // label + " := " + lookahead expression + ";" (Separator ":=" for character ranges).
  void GenLabel(const std::string& Label, const std::string& Separator = " := ");
  // Whether an atom of this AST mode is matched with consumed input not kept.
  bool SuppressesSaving(int AstMode) const;
  void GenMatchLine(const std::string& Line, bool Suppress);

  // --- text forms ---
  std::string SetText(const kiv::MemberSet& Members) const;
  kiv::MemberFormatter SetFormat() const;
  std::string ClassName() const;
  std::string DiagnosticRuleName(const std::string& Id) const;
  // What a rule method or a label named Identifier would hide from the generated code (see note
  // [names the generated code uses]); empty when the name is free.
  std::string HiddenName(const std::string& Identifier, bool Label) const;

  // "match(" for a token, or in the optimized form "_match(" (the runtime's inline entry point).
  // The statement that matches a token atom of a parser (named Name).
  std::string TokenMatch(const IkivGrammarAtom& Atom, const std::string& Name);
  // A parser's look-ahead test in the optimized form: every LA(n) read through _LA(n).
  static std::string OptimizedParserTest(const std::string& Test);
  // Whether lexer rules read and match characters through _LA1 and _match, which do not fold
  // case: the optimized form of a case-sensitive lexer (decided here, from the grammar option).
  bool FastChars() const;
  // A lexer's look-ahead test with every LA(1) read through _LA1.
  static std::string OptimizedLexerTest(const std::string& Test);
  // The optimized form (the grammar option "optimize"): see note [optimized form].
  bool fOptimize = false;
  bool fIsLexer = false;
  IkivLexerGrammar* fLexerGrammar = nullptr;
  std::string fLookaheadExpression;
  bool fSaveText = true;
  int fSynPredLevel = 0;
  std::string fRuleId;  // the rule whose method is being written
  // The loop whose decision is about to be written and its counter (empty for (...)*): its case
  // branches may scan runs (see GenRunScan).
  IkivAlternativeBlock* fRunLoop = nullptr;
  std::string fRunCounter;
  // The dispatch block whose case statement selects by the class table written before it.
  IkivAlternativeBlock* fClassDispatch = nullptr;
  // While a lexer rule of the optimized form is written: the class tables of its case
  // statements, written before its "begin" when it is done.
  bool fCollectClassTables = false;
  std::vector<std::vector<int>> fRuleClassTables;
  // The skip loop of the rule being written, and the text of every rule copy written (by rule
  // id) with its indentation level, the counters it uses and whether it is a skip loop.
  IkivOneOrMoreBlock* fSkipLoopToCapture = nullptr;
  struct RuleCopyText {
    std::string Text;
    int Level;
    std::vector<std::string> Counters;
    bool Skip;
  };
  std::map<std::string, RuleCopyText> fRuleCopies;
  // The dispatch being written is _nextTokenType: its rule calls hand back types.
  bool fInTypedDispatch = false;
  // The token element that begins the parser case branch being written, when the branch is
  // chosen by that token alone: it is consumed without a second test (see note [optimized form]).
  const IkivAlternativeElem* fTestedToken = nullptr;
  int fTestedType = 0;
  std::unique_ptr<kiv::TokenVocabularyNames> fTokenNames;
};
