// kivRecordingBehavior.h - an IkivGrammarBehavior for tests that records every callback in order.
// Each call becomes one line "name(arg, arg, ...)"; tokens print as their text, absent ones as nil.
#pragma once

#include <bitset>
#include <string>
#include <vector>

#include "engine/kivGrammarBehavior.h"

namespace kiv::test {

// One recorded callback: its printed form and the token arguments in declaration order (null kept),
// so that a test can also check the types and positions of the tokens the parser handed over.
struct RecordedCall {
  std::string Line;
  std::vector<IkivTokenPtr> Tokens;
};

class TkivRecordingBehavior : public IkivGrammarBehavior {
public:
  std::vector<RecordedCall> Calls;

  // The printed lines of all calls, in order.
  std::vector<std::string> Lines() const;
  // The first recorded call whose line starts with Prefix; null when there is none.
  const RecordedCall* Find(const std::string& Prefix) const;

  IkivGrammarPtr getGrammar() override;
  void abortGrammar() override;
  void beginAlternative(bool AutoGen) override;
  void beginExceptionGroup() override;
  void openExceptionSpec(const IkivTokenPtr& Label) override;
  void openSubrule(const IkivTokenPtr& Label, const IkivTokenPtr& LParen, int Inverted) override;
  void setUnitName(const std::string& UnitName) override;
  void defineRule(const IkivTokenPtr& RuleName, const std::string& Access, bool Flag,
                  const std::string& Comment) override;
  void defineTokensEntry(const IkivTokenPtr& TokenName, const IkivTokenPtr& Str) override;
  void addUsesUnit(const IkivTokenPtr& UnitName) override;
  void endAlternative() override;
  void closeExceptionGroup() override;
  void closeExceptionSpec() override;
  void endGrammarFile() override;
  void emptyHook() override;
  void endRule(const std::string& Text) override;
  void closeSubrule() override;
  void spareOperationA() override;
  void markGrammarError() override;
  void spareOperationB() override;
  void closeAsOneOrMore() override;
  void closeAsOptional() override;
  void addAction(const IkivTokenPtr& Action) override;
  void setRuleArguments(const IkivTokenPtr& Argument) override;
  void addCharLiteral(const IkivTokenPtr& Char, const IkivTokenPtr& Label, int Inverted, int AutoGen,
                      bool LastInRule) override;
  void addCharRange(const IkivTokenPtr& First, const IkivTokenPtr& Last, const IkivTokenPtr& Label, int AutoGen,
                    bool LastInRule) override;
  void setConstSection(const IkivTokenPtr& Action) override;
  void setTypeSection(const IkivTokenPtr& Action) override;
  void setElementOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) override;
  void setTokensEntryOption(const IkivTokenPtr& TokenName, const IkivTokenPtr& Option,
                            const IkivTokenPtr& Value) override;
  void addExceptionHandler(const IkivTokenPtr& First, const IkivTokenPtr& Second) override;
  void setInitAction(const IkivTokenPtr& Action) override;
  void setRuleLocals(const IkivTokenPtr& Action) override;
  void setMemberDecl(const IkivTokenPtr& Action) override;
  void setMemberDef(const IkivTokenPtr& Action) override;
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
  void setCharVocabulary(const std::bitset<256>& CharSet) override;
  void setFileOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) override;
  void setGrammarOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) override;
  void setRuleOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) override;
  void setSubruleOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) override;
  void noteText(const std::string& Text) override;
  void startLexerGrammar(const std::string& FileName, const IkivTokenPtr& Name,
                         const IkivTokenPtr& SuperGrammar) override;
  void startParserGrammar(const std::string& FileName, const IkivTokenPtr& Name,
                          const IkivTokenPtr& SuperGrammar) override;
  void startTreeWalkerGrammar(const std::string& FileName, const IkivTokenPtr& Name,
                              const IkivTokenPtr& SuperGrammar) override;
  void closeAsSynPredicate() override;
  void closeAsZeroOrMore() override;

private:
  // One argument of a call: a token (printed as its text, or nil) or a plain printed value.
  struct Arg {
    Arg(const IkivTokenPtr& t) : IsToken(true), Token(t) {}
    Arg(const std::string& s) : Text(s) {}
    Arg(const char* s) : Text(s) {}
    Arg(int i) : Text(std::to_string(i)) {}
    Arg(bool b) : Text(b ? "true" : "false") {}
    bool IsToken = false;
    IkivTokenPtr Token;
    std::string Text;
  };
  void Record(const std::string& Name, std::initializer_list<Arg> Args = {});
};

} // namespace kiv::test
