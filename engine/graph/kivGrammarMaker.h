// kivGrammarMaker.h - TkivGrammarMaker: the second pass over a grammar file. On top of the symbol
// definitions of its base it builds the element graph of every rule while the parser reports it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/graph/kivBlockContext.h"
#include "engine/kivGraph.h"
#include "engine/model/kivGrammarBehavior.h"

// Note [block contexts]: the maker keeps one context per open block; the rule's context is at the
// bottom. openSubrule pushes and closeSubrule pops; a loop or predicate suffix replaces the top
// context in place. Elements always go to the current alternative of the top context, and
// endAlternative appends the top block's end (inside a subrule) or the rule end (at the rule's top
// level). A callback that needs an open block or alternative and finds none is a broken contract
// with the parser and panics.
class TkivGrammarMaker : public TkivGrammarBehavior {
public:
  TkivGrammarMaker(IkivTool& Tool, IkivLLkAnalyzer* Analyzer, const std::string& ExchangeDirectory);
  ~TkivGrammarMaker() override;

  void abortGrammar() override;
  void beginAlternative(bool AutoGen) override;
  void beginExceptionGroup() override;
  void openExceptionSpec(const IkivTokenPtr& Label) override;
  void openSubrule(const IkivTokenPtr& Label, const IkivTokenPtr& LParen, int Inverted) override;
  void defineRule(const IkivTokenPtr& RuleName, const std::string& Access, bool Flag,
                  const std::string& Comment) override;
  void addUsesUnit(const IkivTokenPtr& UnitName) override;
  void endAlternative() override;
  void closeExceptionGroup() override {}
  void closeExceptionSpec() override {}
  void endGrammarFile() override;
  void endRule(const std::string& Text) override;
  void closeSubrule() override;
  void markGrammarError() override { fErrorFlag = true; }
  void closeAsOneOrMore() override;
  void closeAsOptional() override;
  void addAction(const IkivTokenPtr& Action) override;
  void setRuleArguments(const IkivTokenPtr& Argument) override;
  void addCharLiteral(const IkivTokenPtr& Char, const IkivTokenPtr& Label, int Inverted, int AutoGen,
                      bool LastInRule) override;
  void addCharRange(const IkivTokenPtr& First, const IkivTokenPtr& Last, const IkivTokenPtr& Label, int AutoGen,
                    bool LastInRule) override;
  void setElementOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) override;
  void setTokensEntryOption(const IkivTokenPtr& TokenName, const IkivTokenPtr& Option,
                            const IkivTokenPtr& Value) override;
  void addExceptionHandler(const IkivTokenPtr& First, const IkivTokenPtr& Second) override;
  void setInitAction(const IkivTokenPtr& Action) override;
  void setRuleLocals(const IkivTokenPtr& Action) override;
  void setRuleReturns(const IkivTokenPtr& Argument) override;
  void addRuleRef(const IkivTokenPtr& AssignTarget, const IkivTokenPtr& Rule, const IkivTokenPtr& Label,
                  const IkivTokenPtr& Argument, int AutoGen) override;
  void setRuleExceptionHandler(const IkivTokenPtr& Keyword, const IkivTokenPtr& Action) override;
  void setAltExceptionHandler(const IkivTokenPtr& Keyword, const IkivTokenPtr& Action) override;
  void addSemanticPredicate(const IkivTokenPtr& Predicate) override;
  void addStringLiteral(const IkivTokenPtr& Str, const IkivTokenPtr& Label, int AutoGen, bool LastInRule) override;
  void addTokenRef(const IkivTokenPtr& AssignTarget, const IkivTokenPtr& Token, const IkivTokenPtr& Label,
                   const IkivTokenPtr& Argument, int Inverted, int AutoGen, bool LastInRule) override;
  void addTokenRange(const IkivTokenPtr& First, const IkivTokenPtr& Last, const IkivTokenPtr& Label, int AutoGen,
                     bool LastInRule) override;
  void addWildcard(const IkivTokenPtr& Dot, const IkivTokenPtr& Label, int AutoGen) override;
  void resetGrammars() override;
  void setElementText(const IkivTokenPtr& Token) override;
  void setRuleOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) override;
  void setSubruleOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) override;
  void noteText(const std::string&) override {}
  void closeAsSynPredicate() override;
  void closeAsZeroOrMore() override;

  // The token-dispatch rule of a generated lexer: one alternative per defined public rule of
  // Rules, each a reference labelled "result" to that rule. The block belongs to the grammar's
  // graph. An undefined rule is reported ("Lexer rule "%s" is not defined.") and skipped.
  static IkivRuleBlock* CreateNextTokenRule(IkivGrammar& Grammar, const IkivGrammar::RuleList& Rules,
                                            const std::string& RuleName);

  // The exception specification opened last (null when none); nothing attaches it to the graph.
  const IkivExceptionSpecPtr& CurrentExceptionSpec() const { return fExceptionSpec; }

private:
  // The top context, block and alternative; each panics when the parser's calls leave none open.
  IkivBlockContext& Context(const char* Callback) const;
  IkivAlternativeBlock& CurrentBlock(const char* Callback) const;
  IkivAlternative& CurrentAlt(const char* Callback) const;
  IkivRuleBlock& RuleBlock(const char* Callback) const;

  void AddElementToCurrentAlt(IkivAlternativeElem* Elem, const char* Callback);
  void LabelElement(IkivAlternativeElem* Elem, const IkivTokenPtr& Label);
  void TransferBlock(IkivAlternativeBlock& NewBlock, IkivAlternativeBlock& OldBlock);
  void TurnCurrentBlockInto(IkivAlternativeBlock* NewBlock, const char* Callback);
  IkivAlternativeBlock* CreateOptionalRuleRef(const std::string& RuleName, const IkivTokenPtr& Start);
  void AddIgnoreRuleRef(bool LastInRule, const IkivTokenPtr& Start);
  // Reports that "~" cannot go before the current block's suffix, at the block's position.
  void ReportInvertedSuffix(IkivAlternativeBlock& Block, const std::string& Construct);
  void ReportAt(const std::string& Msg, int Line, int Column) const;
  // The rule reference element of addRuleRef; AstRootReported tells whether a "^" was already
  // reported for the same element by the caller.
  void AddRuleRefElement(const IkivTokenPtr& AssignTarget, const IkivTokenPtr& Rule, const IkivTokenPtr& Label,
                         const IkivTokenPtr& Argument, int AutoGen, bool AstRootReported);
  bool TokenRangeEndDefined(const IkivTokenPtr& End);

  std::vector<std::unique_ptr<TkivBlockContext>> fContexts;
  IkivRuleRefElem* fLastRuleRef = nullptr;
  IkivRuleEndElem* fRuleEnd = nullptr;
  IkivRuleBlock* fRuleBlock = nullptr;
  IkivExceptionSpecPtr fExceptionSpec;
  int fNestingDepth = 0;
  bool fErrorFlag = false;
};
