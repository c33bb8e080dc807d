// kivGrammarBehavior.h - IkivGrammarBehavior: the callbacks the grammar-file parser makes, in source order.
// The symbol-definition pass implements them, and the grammar maker extends that pass to build the graph.
#pragma once

#include <bitset>
#include <memory>
#include <string>

#include "engine/kivLibTypes.h"
#include "runtime/cpp/kivTypes.h"

// Operations are declared in their contract slot order. Token arguments carry text, type, line and
// column; an absent optional part is a null pointer. autoGen is 1, or 3 for an element marked "!";
// inverted is 1 after "~", else 0.
class IkivGrammarBehavior {
public:
  virtual ~IkivGrammarBehavior() = default;

  virtual IkivGrammarPtr getGrammar() = 0;
  virtual void abortGrammar() = 0;
  virtual void beginAlternative(bool AutoGen) = 0;
  virtual void beginExceptionGroup() = 0;
  virtual void openExceptionSpec(const IkivTokenPtr& Label) = 0;
  virtual void openSubrule(const IkivTokenPtr& Label, const IkivTokenPtr& LParen, int Inverted) = 0;
  virtual void setUnitName(const std::string& UnitName) = 0;
  virtual void defineRule(const IkivTokenPtr& RuleName, const std::string& Access, bool Flag,
                          const std::string& Comment) = 0;
  virtual void defineTokensEntry(const IkivTokenPtr& TokenName, const IkivTokenPtr& Str) = 0;
  virtual void addUsesUnit(const IkivTokenPtr& UnitName) = 0;
  virtual void endAlternative() = 0;
  virtual void closeExceptionGroup() = 0;
  virtual void closeExceptionSpec() = 0;
  virtual void endGrammarFile() = 0;
  virtual void emptyHook() = 0;
  virtual void endRule(const std::string& Text) = 0;
  virtual void closeSubrule() = 0;
  virtual void spareOperationA() = 0;
  virtual void markGrammarError() = 0;
  virtual void spareOperationB() = 0;
  virtual void closeAsOneOrMore() = 0;
  virtual void closeAsOptional() = 0;
  virtual void addAction(const IkivTokenPtr& Action) = 0;
  virtual void setRuleArguments(const IkivTokenPtr& Argument) = 0;
  virtual void addCharLiteral(const IkivTokenPtr& Char, const IkivTokenPtr& Label, int Inverted, int AutoGen,
                              bool LastInRule) = 0;
  virtual void addCharRange(const IkivTokenPtr& First, const IkivTokenPtr& Last, const IkivTokenPtr& Label,
                            int AutoGen, bool LastInRule) = 0;
  virtual void setConstSection(const IkivTokenPtr& Action) = 0;
  virtual void setTypeSection(const IkivTokenPtr& Action) = 0;
  virtual void setElementOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) = 0;
  virtual void setTokensEntryOption(const IkivTokenPtr& TokenName, const IkivTokenPtr& Option,
                                    const IkivTokenPtr& Value) = 0;
  virtual void addExceptionHandler(const IkivTokenPtr& First, const IkivTokenPtr& Second) = 0;
  virtual void setInitAction(const IkivTokenPtr& Action) = 0;
  virtual void setRuleLocals(const IkivTokenPtr& Action) = 0;
  virtual void setMemberDecl(const IkivTokenPtr& Action) = 0;
  virtual void setMemberDef(const IkivTokenPtr& Action) = 0;
  virtual void setRuleReturns(const IkivTokenPtr& Argument) = 0;
  virtual void addRuleRef(const IkivTokenPtr& AssignTarget, const IkivTokenPtr& Rule, const IkivTokenPtr& Label,
                          const IkivTokenPtr& Argument, int AutoGen) = 0;
  virtual void setRuleExceptionHandler(const IkivTokenPtr& Keyword, const IkivTokenPtr& Action) = 0;
  virtual void setAltExceptionHandler(const IkivTokenPtr& Keyword, const IkivTokenPtr& Action) = 0;
  virtual void addSemanticPredicate(const IkivTokenPtr& Predicate) = 0;
  virtual void addStringLiteral(const IkivTokenPtr& Str, const IkivTokenPtr& Label, int AutoGen,
                                bool LastInRule) = 0;
  virtual void addTokenRef(const IkivTokenPtr& AssignTarget, const IkivTokenPtr& Token, const IkivTokenPtr& Label,
                           const IkivTokenPtr& Argument, int Inverted, int AutoGen, bool LastInRule) = 0;
  virtual void addTokenRange(const IkivTokenPtr& First, const IkivTokenPtr& Last, const IkivTokenPtr& Label,
                             int AutoGen, bool LastInRule) = 0;
  virtual void addWildcard(const IkivTokenPtr& Dot, const IkivTokenPtr& Label, int AutoGen) = 0;
  virtual void resetGrammars() = 0;
  virtual void setElementText(const IkivTokenPtr& Token) = 0;
  virtual void setCharVocabulary(const std::bitset<256>& CharSet) = 0;
  virtual void setFileOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) = 0;
  virtual void setGrammarOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) = 0;
  virtual void setRuleOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) = 0;
  virtual void setSubruleOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) = 0;
  virtual void noteText(const std::string& Text) = 0;
  virtual void startLexerGrammar(const std::string& FileName, const IkivTokenPtr& Name,
                                 const IkivTokenPtr& SuperGrammar) = 0;
  virtual void startParserGrammar(const std::string& FileName, const IkivTokenPtr& Name,
                                  const IkivTokenPtr& SuperGrammar) = 0;
  virtual void startTreeWalkerGrammar(const std::string& FileName, const IkivTokenPtr& Name,
                                      const IkivTokenPtr& SuperGrammar) = 0;
  virtual void closeAsSynPredicate() = 0;
  virtual void closeAsZeroOrMore() = 0;
};
