// kivGrammarBehavior.cpp - rule, token, literal and option definitions of the symbol pass.
// Every problem is reported through the tool at the offending token, and the pass carries on.
#include "engine/model/kivGrammarBehavior.h"

#include <memory>

#include "engine/frontend/kivKivTokenTypes.h"
#include "engine/kivAnalysis.h"
#include "engine/model/kivGrammar.h"
#include "engine/model/kivGrammarSymbol.h"
#include "engine/model/kivVocabularyWriter.h"

namespace {

using kiv::kivgrammar::TT_LOWER_ID;
using kiv::kivgrammar::TT_STRING;
using kiv::kivgrammar::TT_UPPER_ID;

bool IsIdentifier(const IkivTokenPtr& Token) {
  return Token && (Token->TokenType() == TT_UPPER_ID || Token->TokenType() == TT_LOWER_ID);
}

// A tokens-section literal may hold only letters, digits and "_" between its quotes, since its
// text becomes part of generated identifiers.
bool IsWordLiteral(const std::string& Literal) {
  if (Literal.size() < 2) return Literal.empty();
  for (std::size_t i = 1; i + 1 < Literal.size(); ++i) {
    const char c = Literal[i];
    const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    if (!ok) return false;
  }
  return true;
}

std::string LiteralRedefinition(const std::string& Name) {
  return "Redefinition of literal in tokens {...} \"" + Name + "\".";
}

} // namespace

TkivGrammarBehavior::TkivGrammarBehavior(IkivTool& Tool, IkivLLkAnalyzer* Analyzer,
                                         const std::string& ExchangeDirectory)
    : fTool(&Tool), fAnalyzer(Analyzer), fExchangeDirectory(kiv::WithTrailingSeparator(ExchangeDirectory)) {}

IkivGrammar& TkivGrammarBehavior::CurrentGrammar() const {
  if (!fGrammar) fTool->Panic("Grammar definition reported before the grammar header");
  return *fGrammar;
}

void TkivGrammarBehavior::ReportError(const std::string& Msg, const IkivTokenPtr& At) const {
  fTool->Error(Msg, fGrammar ? fGrammar->getFileName() : std::string(), At ? At->Line() : 0,
               At ? At->Column() : 0);
}

void TkivGrammarBehavior::ReportWarning(const std::string& Msg, const IkivTokenPtr& At) const {
  fTool->Warning(Msg, fGrammar ? fGrammar->getFileName() : std::string(), At ? At->Line() : 0,
                 At ? At->Column() : 0);
}

void TkivGrammarBehavior::DefineWithNextType(const IkivTokenSymbolPtr& Symbol, const IkivTokenPtr& At) {
  const IkivTokenManagerPtr manager = CurrentGrammar().getTokenManager();
  const int type = manager->nextTokenType();
  if (type < 0 || type > 255)
    ReportError("Token type " + std::to_string(type) + " of \"" + Symbol->getId() +
                    "\" is outside the range 0..255.",
                At);
  Symbol->setTokenType(type);
  manager->define(Symbol);
}

std::string TkivGrammarBehavior::RuleIdOf(const IkivTokenPtr& RuleName) {
  return RuleName->TokenType() == TT_UPPER_ID ? EncodeLexerRuleName(RuleName->TokenText()) : RuleName->TokenText();
}

void TkivGrammarBehavior::setUnitName(const std::string& UnitName) { CurrentGrammar().setUnitName(UnitName); }

void TkivGrammarBehavior::defineRule(const IkivTokenPtr& RuleName, const std::string& Access, bool /*Flag*/,
                                     const std::string& Comment) {
  IkivGrammar& grammar = CurrentGrammar();
  const std::string id = RuleIdOf(RuleName);
  // A lexer rule is also a token, numbered where its name first appears.
  if (RuleName->TokenType() == TT_UPPER_ID && !grammar.getTokenManager()->tokenDefined(RuleName->TokenText()))
    DefineWithNextType(std::make_shared<TkivTokenSymbol>(RuleName->TokenText()), RuleName);

  IkivRuleSymbolPtr symbol = grammar.getRuleSymbol(id);
  if (symbol) {
    if (symbol->isDefined()) ReportError("Redefinition of rule \"" + id + "\".", RuleName);
  } else {
    symbol = std::make_shared<TkivRuleSymbol>(id);
    grammar.addRuleSymbol(symbol);
  }
  symbol->setDefined(true);
  symbol->setAccess(Access);
  symbol->setComment(Comment);
}

void TkivGrammarBehavior::defineTokensEntry(const IkivTokenPtr& TokenName, const IkivTokenPtr& Str) {
  const IkivTokenManagerPtr manager = CurrentGrammar().getTokenManager();
  const std::string name = TokenName ? TokenName->TokenText() : std::string();

  if (!Str) {
    if (!TokenName) return;
    if (manager->tokenDefined(name)) {
      ReportWarning(LiteralRedefinition(name), TokenName);
      return;
    }
    DefineWithNextType(std::make_shared<TkivTokenSymbol>(name), TokenName);
    return;
  }

  const std::string literal = Str->TokenText();
  if (!IsWordLiteral(literal)) {
    ReportError("Invalid string literal " + literal, Str);
    return;
  }

  // A literal defined before: a later entry may give it a name, once.
  if (const auto known = std::dynamic_pointer_cast<IkivStringSymbol>(manager->getTokenSymbol(literal))) {
    if (!TokenName || !known->getLabel().empty()) {
      ReportWarning(LiteralRedefinition(literal), Str);
      return;
    }
    // Naming an unnamed literal is not a redefinition: the entry is complete once the name stands
    // for the literal (the name is not checked again against the literal it was just mapped to).
    known->setLabel(name);
    manager->mapToTokenSymbol(name, known);
    return;
  }

  if (TokenName) {
    if (const IkivTokenSymbolPtr held = manager->getTokenSymbol(name)) {
      if (std::dynamic_pointer_cast<IkivStringSymbol>(held)) {
        ReportWarning(LiteralRedefinition(name), TokenName);
        return;
      }
      // A token known by name (from a rule, an earlier entry or an import) becomes the literal's
      // name and lends it its type.
      auto symbol = std::make_shared<TkivStringSymbol>(literal);
      symbol->setTokenType(held->getTokenType());
      symbol->setLabel(name);
      manager->define(symbol);
      manager->mapToTokenSymbol(name, symbol);
      return;
    }
  }

  auto symbol = std::make_shared<TkivStringSymbol>(literal);
  symbol->setLabel(name);
  DefineWithNextType(symbol, Str);
  if (TokenName) manager->mapToTokenSymbol(name, symbol);
}

void TkivGrammarBehavior::addUsesUnit(const IkivTokenPtr& UnitName) {
  if (UnitName) fUses.Add(UnitName->TokenText());
}

void TkivGrammarBehavior::setMemberDecl(const IkivTokenPtr& Action) {
  if (Action) CurrentGrammar().setMemberDecl(Action->TokenText());
}

void TkivGrammarBehavior::setMemberDef(const IkivTokenPtr& Action) {
  if (Action) CurrentGrammar().setMemberDef(Action->TokenText());
}

void TkivGrammarBehavior::addRuleRef(const IkivTokenPtr& /*AssignTarget*/, const IkivTokenPtr& Rule,
                                     const IkivTokenPtr& /*Label*/, const IkivTokenPtr& /*Argument*/,
                                     int /*AutoGen*/) {
  // Rules may be referenced before they are defined; undefined ones are reported at generation.
  IkivGrammar& grammar = CurrentGrammar();
  const std::string id = RuleIdOf(Rule);
  if (!grammar.getRuleSymbol(id)) grammar.addRuleSymbol(std::make_shared<TkivRuleSymbol>(id));
}

void TkivGrammarBehavior::addStringLiteral(const IkivTokenPtr& /*Str*/, const IkivTokenPtr& /*Label*/,
                                           int /*AutoGen*/, bool /*LastInRule*/) {
  // Literals are defined by the tokens section or an imported vocabulary, never by their use in a
  // rule; the element that the maker builds reports an unknown one.
}

void TkivGrammarBehavior::addTokenRef(const IkivTokenPtr& /*AssignTarget*/, const IkivTokenPtr& Token,
                                      const IkivTokenPtr& /*Label*/, const IkivTokenPtr& /*Argument*/,
                                      int /*Inverted*/, int /*AutoGen*/, bool /*LastInRule*/) {
  // In a lexer a token reference names a token rule, which becomes a token where it first appears.
  // A parser only uses tokens that its vocabulary defines.
  if (!fInLexer) return;
  const IkivTokenManagerPtr manager = CurrentGrammar().getTokenManager();
  if (!manager->tokenDefined(Token->TokenText()))
    DefineWithNextType(std::make_shared<TkivTokenSymbol>(Token->TokenText()), Token);
}

void TkivGrammarBehavior::addTokenRange(const IkivTokenPtr& First, const IkivTokenPtr& Last,
                                        const IkivTokenPtr& /*Label*/, int AutoGen, bool LastInRule) {
  // This class's own definitions, not the maker's overrides: a range is one element, not three.
  for (const IkivTokenPtr& bound : {First, Last}) {
    if (!bound) continue;
    if (!bound->TokenText().empty() && bound->TokenText()[0] == '"')
      TkivGrammarBehavior::addStringLiteral(bound, nullptr, AutoGen, LastInRule);
    else
      TkivGrammarBehavior::addTokenRef(nullptr, bound, nullptr, nullptr, 0, AutoGen, LastInRule);
  }
}

void TkivGrammarBehavior::resetGrammars() {
  fGrammar = nullptr;
  fLexerGrammar = nullptr;
  fParserGrammar = nullptr;
  fTreeWalkerGrammar = nullptr;
  // The modes follow the grammar references, so that a grammar started after a reset is not
  // taken for a lexer because an earlier one was.
  fInLexer = false;
  fInParser = false;
  fInTreeWalker = false;
}

void TkivGrammarBehavior::setCharVocabulary(const std::bitset<256>& CharSet) {
  if (fLexerGrammar) fLexerGrammar->setCharVocabulary(CharSet);
}

void TkivGrammarBehavior::setFileOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) {
  if (Option->TokenText() != "language") {
    ReportError("Invalid file-level option: \"" + Option->TokenText() + "\"", Option);
    return;
  }
  if (Value && Value->TokenType() == TT_STRING && Value->TokenText().size() >= 2)
    fLanguage = Value->TokenText().substr(1, Value->TokenText().size() - 2);
  else if (IsIdentifier(Value))
    fLanguage = Value->TokenText();
  else
    ReportError("option \"language\" must be a string or identifier", Value);
}

void TkivGrammarBehavior::setGrammarOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) {
  IkivGrammar& grammar = CurrentGrammar();
  const std::string& name = Option->TokenText();
  if (name == "exportVocab") {
    if (IsIdentifier(Value))
      grammar.setExportVocab(Value->TokenText());
    else
      ReportError("option \"exportVocab\" must be an identifier", Value);
  } else if (name == "importVocab") {
    if (IsIdentifier(Value)) {
      // The grammar keeps the request with the full path; the parser's token stays as read.
      IkivTokenPtr request = Value->Clone();
      request->SetTokenText(fExchangeDirectory + Value->TokenText());
      grammar.importVocab(request);
    } else {
      ReportError("option \"importVocab\" must be an identifier", Value);
    }
  } else {
    grammar.setOption(Option, Value);
  }
}

void TkivGrammarBehavior::StartGrammar(const IkivGrammarPtr& Grammar, const std::string& FileName) {
  fGrammar = Grammar;
  Grammar->setAnalyzer(fAnalyzer);
  Grammar->setFileName(FileName);
  if (fAnalyzer) fAnalyzer->SetGrammar(Grammar.get());
  Grammar->getUses().AddAll(fUses);
}

void TkivGrammarBehavior::startLexerGrammar(const std::string& FileName, const IkivTokenPtr& Name,
                                            const IkivTokenPtr& SuperGrammar) {
  if (fGrammar) fTool->Panic("A grammar already started");
  auto grammar = std::make_shared<TkivLexerGrammar>(Name, *fTool, SuperGrammar);
  fLexerGrammar = grammar;
  fInLexer = true;
  StartGrammar(grammar, FileName);
  grammar->setConstSection(fConstSection);
  grammar->setTypeSection(fTypeSection);
}

void TkivGrammarBehavior::startParserGrammar(const std::string& FileName, const IkivTokenPtr& Name,
                                             const IkivTokenPtr& SuperGrammar) {
  if (fGrammar) fTool->Panic("A grammar already started");
  auto grammar = std::make_shared<TkivParserGrammar>(Name, *fTool, SuperGrammar);
  fParserGrammar = grammar;
  fInParser = true;
  StartGrammar(grammar, FileName);
  // A parser's unit declares them as a lexer's does; dropping them lost the user's code.
  grammar->setConstSection(fConstSection);
  grammar->setTypeSection(fTypeSection);
}
