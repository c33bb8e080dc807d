// kivRecordingBehavior.cpp - the recording grammar behavior: every callback becomes one printed line.
// Lines are compared whole by the front-end tests, so the format stays deliberately plain.
#include "tests/engine/frontend/kivRecordingBehavior.h"

namespace kiv::test {

std::vector<std::string> TkivRecordingBehavior::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(Calls.size());
  for (const RecordedCall& call : Calls) lines.push_back(call.Line);
  return lines;
}

const RecordedCall* TkivRecordingBehavior::Find(const std::string& Prefix) const {
  for (const RecordedCall& call : Calls)
    if (call.Line.compare(0, Prefix.size(), Prefix) == 0) return &call;
  return nullptr;
}

void TkivRecordingBehavior::Record(const std::string& Name, std::initializer_list<Arg> Args) {
  RecordedCall call;
  call.Line = Name + "(";
  bool first = true;
  for (const Arg& arg : Args) {
    if (!first) call.Line += ", ";
    first = false;
    if (arg.IsToken) {
      call.Tokens.push_back(arg.Token);
      call.Line += arg.Token ? arg.Token->TokenText() : std::string("nil");
    } else {
      call.Line += arg.Text;
    }
  }
  call.Line += ")";
  Calls.push_back(std::move(call));
}

IkivGrammarPtr TkivRecordingBehavior::getGrammar() {
  Record("getGrammar");
  return nullptr;
}

void TkivRecordingBehavior::abortGrammar() { Record("abortGrammar"); }

void TkivRecordingBehavior::beginAlternative(bool AutoGen) { Record("beginAlternative", {AutoGen}); }

void TkivRecordingBehavior::beginExceptionGroup() { Record("beginExceptionGroup"); }

void TkivRecordingBehavior::openExceptionSpec(const IkivTokenPtr& Label) { Record("openExceptionSpec", {Label}); }

void TkivRecordingBehavior::openSubrule(const IkivTokenPtr& Label, const IkivTokenPtr& LParen, int Inverted) {
  Record("openSubrule", {Label, LParen, Inverted});
}

void TkivRecordingBehavior::setUnitName(const std::string& UnitName) { Record("setUnitName", {UnitName}); }

void TkivRecordingBehavior::defineRule(const IkivTokenPtr& RuleName, const std::string& Access, bool Flag,
                                       const std::string& Comment) {
  Record("defineRule", {RuleName, Access, Flag, Comment});
}

void TkivRecordingBehavior::defineTokensEntry(const IkivTokenPtr& TokenName, const IkivTokenPtr& Str) {
  Record("defineTokensEntry", {TokenName, Str});
}

void TkivRecordingBehavior::addUsesUnit(const IkivTokenPtr& UnitName) { Record("addUsesUnit", {UnitName}); }

void TkivRecordingBehavior::endAlternative() { Record("endAlternative"); }

void TkivRecordingBehavior::closeExceptionGroup() { Record("closeExceptionGroup"); }

void TkivRecordingBehavior::closeExceptionSpec() { Record("closeExceptionSpec"); }

void TkivRecordingBehavior::endGrammarFile() { Record("endGrammarFile"); }

void TkivRecordingBehavior::emptyHook() { Record("emptyHook"); }

void TkivRecordingBehavior::endRule(const std::string& Text) { Record("endRule", {Text}); }

void TkivRecordingBehavior::closeSubrule() { Record("closeSubrule"); }

void TkivRecordingBehavior::spareOperationA() { Record("spareOperationA"); }

void TkivRecordingBehavior::markGrammarError() { Record("markGrammarError"); }

void TkivRecordingBehavior::spareOperationB() { Record("spareOperationB"); }

void TkivRecordingBehavior::closeAsOneOrMore() { Record("closeAsOneOrMore"); }

void TkivRecordingBehavior::closeAsOptional() { Record("closeAsOptional"); }

void TkivRecordingBehavior::addAction(const IkivTokenPtr& Action) { Record("addAction", {Action}); }

void TkivRecordingBehavior::setRuleArguments(const IkivTokenPtr& Argument) {
  Record("setRuleArguments", {Argument});
}

void TkivRecordingBehavior::addCharLiteral(const IkivTokenPtr& Char, const IkivTokenPtr& Label, int Inverted,
                                           int AutoGen, bool LastInRule) {
  Record("addCharLiteral", {Char, Label, Inverted, AutoGen, LastInRule});
}

void TkivRecordingBehavior::addCharRange(const IkivTokenPtr& First, const IkivTokenPtr& Last,
                                         const IkivTokenPtr& Label, int AutoGen, bool LastInRule) {
  Record("addCharRange", {First, Last, Label, AutoGen, LastInRule});
}

void TkivRecordingBehavior::setConstSection(const IkivTokenPtr& Action) { Record("setConstSection", {Action}); }

void TkivRecordingBehavior::setTypeSection(const IkivTokenPtr& Action) { Record("setTypeSection", {Action}); }

void TkivRecordingBehavior::setElementOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) {
  Record("setElementOption", {Option, Value});
}

void TkivRecordingBehavior::setTokensEntryOption(const IkivTokenPtr& TokenName, const IkivTokenPtr& Option,
                                                 const IkivTokenPtr& Value) {
  Record("setTokensEntryOption", {TokenName, Option, Value});
}

void TkivRecordingBehavior::addExceptionHandler(const IkivTokenPtr& First, const IkivTokenPtr& Second) {
  Record("addExceptionHandler", {First, Second});
}

void TkivRecordingBehavior::setInitAction(const IkivTokenPtr& Action) { Record("setInitAction", {Action}); }

void TkivRecordingBehavior::setRuleLocals(const IkivTokenPtr& Action) { Record("setRuleLocals", {Action}); }

void TkivRecordingBehavior::setMemberDecl(const IkivTokenPtr& Action) { Record("setMemberDecl", {Action}); }

void TkivRecordingBehavior::setMemberDef(const IkivTokenPtr& Action) { Record("setMemberDef", {Action}); }

void TkivRecordingBehavior::setRuleReturns(const IkivTokenPtr& Argument) { Record("setRuleReturns", {Argument}); }

void TkivRecordingBehavior::addRuleRef(const IkivTokenPtr& AssignTarget, const IkivTokenPtr& Rule,
                                       const IkivTokenPtr& Label, const IkivTokenPtr& Argument, int AutoGen) {
  Record("addRuleRef", {AssignTarget, Rule, Label, Argument, AutoGen});
}

void TkivRecordingBehavior::setRuleExceptionHandler(const IkivTokenPtr& Keyword, const IkivTokenPtr& Action) {
  Record("setRuleExceptionHandler", {Keyword, Action});
}

void TkivRecordingBehavior::setAltExceptionHandler(const IkivTokenPtr& Keyword, const IkivTokenPtr& Action) {
  Record("setAltExceptionHandler", {Keyword, Action});
}

void TkivRecordingBehavior::addSemanticPredicate(const IkivTokenPtr& Predicate) {
  Record("addSemanticPredicate", {Predicate});
}

void TkivRecordingBehavior::addStringLiteral(const IkivTokenPtr& Str, const IkivTokenPtr& Label, int AutoGen,
                                             bool LastInRule) {
  Record("addStringLiteral", {Str, Label, AutoGen, LastInRule});
}

void TkivRecordingBehavior::addTokenRef(const IkivTokenPtr& AssignTarget, const IkivTokenPtr& Token,
                                        const IkivTokenPtr& Label, const IkivTokenPtr& Argument, int Inverted,
                                        int AutoGen, bool LastInRule) {
  Record("addTokenRef", {AssignTarget, Token, Label, Argument, Inverted, AutoGen, LastInRule});
}

void TkivRecordingBehavior::addTokenRange(const IkivTokenPtr& First, const IkivTokenPtr& Last,
                                          const IkivTokenPtr& Label, int AutoGen, bool LastInRule) {
  Record("addTokenRange", {First, Last, Label, AutoGen, LastInRule});
}

void TkivRecordingBehavior::addWildcard(const IkivTokenPtr& Dot, const IkivTokenPtr& Label, int AutoGen) {
  Record("addWildcard", {Dot, Label, AutoGen});
}

void TkivRecordingBehavior::resetGrammars() { Record("resetGrammars"); }

void TkivRecordingBehavior::setElementText(const IkivTokenPtr& Token) { Record("setElementText", {Token}); }

void TkivRecordingBehavior::setCharVocabulary(const std::bitset<256>& CharSet) {
  Record("setCharVocabulary", {static_cast<int>(CharSet.count())});
}

void TkivRecordingBehavior::setFileOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) {
  Record("setFileOption", {Option, Value});
}

void TkivRecordingBehavior::setGrammarOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) {
  Record("setGrammarOption", {Option, Value});
}

void TkivRecordingBehavior::setRuleOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) {
  Record("setRuleOption", {Option, Value});
}

void TkivRecordingBehavior::setSubruleOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) {
  Record("setSubruleOption", {Option, Value});
}

void TkivRecordingBehavior::noteText(const std::string& Text) { Record("noteText", {Text}); }

void TkivRecordingBehavior::startLexerGrammar(const std::string& FileName, const IkivTokenPtr& Name,
                                              const IkivTokenPtr& SuperGrammar) {
  Record("startLexerGrammar", {FileName, Name, SuperGrammar});
}

void TkivRecordingBehavior::startParserGrammar(const std::string& FileName, const IkivTokenPtr& Name,
                                               const IkivTokenPtr& SuperGrammar) {
  Record("startParserGrammar", {FileName, Name, SuperGrammar});
}

void TkivRecordingBehavior::startTreeWalkerGrammar(const std::string& FileName, const IkivTokenPtr& Name,
                                                   const IkivTokenPtr& SuperGrammar) {
  Record("startTreeWalkerGrammar", {FileName, Name, SuperGrammar});
}

void TkivRecordingBehavior::closeAsSynPredicate() { Record("closeAsSynPredicate"); }

void TkivRecordingBehavior::closeAsZeroOrMore() { Record("closeAsZeroOrMore"); }

} // namespace kiv::test
