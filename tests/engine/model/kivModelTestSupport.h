// kivModelTestSupport.h - shared fixtures of the grammar model tests.
// A recording diagnostics handler, token construction, and a symbol pass with its graph callbacks empty.
#pragma once

#include <bitset>
#include <memory>
#include <string>
#include <vector>

#include "engine/driver/kivTool.h"
#include "engine/frontend/kivKivTokenTypes.h"
#include "engine/model/kivGrammarBehavior.h"
#include "runtime/cpp/kivToken.h"

namespace kivtest {

using kiv::kivgrammar::TT_INT;
using kiv::kivgrammar::TT_LOWER_ID;
using kiv::kivgrammar::TT_STRING;
using kiv::kivgrammar::TT_UPPER_ID;

// Records every line the tool hands over, in order, as "kind:text".
class RecordingHandler : public IkivToolErrorHandler {
public:
  std::vector<std::string> Lines;
  void HandleWarning(const std::string& Text) override { Lines.push_back("warning:" + Text); }
  void HandleError(const std::string& Text) override { Lines.push_back("error:" + Text); }
  void HandleMessage(const std::string& Text) override { Lines.push_back("message:" + Text); }
};

inline IkivTokenPtr Tok(int Type, const std::string& Text, int Line = 1, int Column = 1) {
  auto token = std::make_shared<TkivToken>(Type, Text);
  token->SetLine(Line);
  token->SetColumn(Column);
  return token;
}
inline IkivTokenPtr Upper(const std::string& Text, int Line = 1) { return Tok(TT_UPPER_ID, Text, Line, 3); }
inline IkivTokenPtr Lower(const std::string& Text, int Line = 1) { return Tok(TT_LOWER_ID, Text, Line, 3); }
inline IkivTokenPtr Str(const std::string& Text, int Line = 1) { return Tok(TT_STRING, Text, Line, 5); }
inline IkivTokenPtr Int(const std::string& Text, int Line = 1) { return Tok(TT_INT, Text, Line, 5); }

// The symbol pass on its own: the callbacks that build the element graph do nothing.
class SymbolPass : public TkivGrammarBehavior {
public:
  using TkivGrammarBehavior::TkivGrammarBehavior;

  void beginAlternative(bool) override {}
  void beginExceptionGroup() override {}
  void openExceptionSpec(const IkivTokenPtr&) override {}
  void openSubrule(const IkivTokenPtr&, const IkivTokenPtr&, int) override {}
  void endAlternative() override {}
  void closeExceptionGroup() override {}
  void closeExceptionSpec() override {}
  void endGrammarFile() override {}
  void endRule(const std::string&) override {}
  void closeSubrule() override {}
  void markGrammarError() override {}
  void closeAsOneOrMore() override {}
  void closeAsOptional() override {}
  void addAction(const IkivTokenPtr&) override {}
  void setRuleArguments(const IkivTokenPtr&) override {}
  void addCharLiteral(const IkivTokenPtr&, const IkivTokenPtr&, int, int, bool) override {}
  void addCharRange(const IkivTokenPtr&, const IkivTokenPtr&, const IkivTokenPtr&, int, bool) override {}
  void setElementOption(const IkivTokenPtr&, const IkivTokenPtr&) override {}
  void setTokensEntryOption(const IkivTokenPtr&, const IkivTokenPtr&, const IkivTokenPtr&) override {}
  void addExceptionHandler(const IkivTokenPtr&, const IkivTokenPtr&) override {}
  void setInitAction(const IkivTokenPtr&) override {}
  void setRuleLocals(const IkivTokenPtr&) override {}
  void setRuleReturns(const IkivTokenPtr&) override {}
  void setRuleExceptionHandler(const IkivTokenPtr&, const IkivTokenPtr&) override {}
  void setAltExceptionHandler(const IkivTokenPtr&, const IkivTokenPtr&) override {}
  void addSemanticPredicate(const IkivTokenPtr&) override {}
  void addWildcard(const IkivTokenPtr&, const IkivTokenPtr&, int) override {}
  void setElementText(const IkivTokenPtr&) override {}
  void setRuleOption(const IkivTokenPtr&, const IkivTokenPtr&) override {}
  void setSubruleOption(const IkivTokenPtr&, const IkivTokenPtr&) override {}
  void noteText(const std::string&) override {}
  void closeAsSynPredicate() override {}
  void closeAsZeroOrMore() override {}
};

} // namespace kivtest
