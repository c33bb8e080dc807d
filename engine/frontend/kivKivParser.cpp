// kivKivParser.cpp - the grammar-file rules, their two-token decisions and the callback order.
// Each rule method reads one construct of the grammar language and reports it to the behavior.
#include "engine/frontend/kivKivParser.h"

#include <cstdint>
#include <utility>

#include "engine/frontend/kivKivTokenTypes.h"
#include "runtime/cpp/kivExceptionMismatchedToken.h"
#include "runtime/cpp/kivToken.h"

using namespace kiv::kivgrammar;

namespace {

const char* const kLabelWarning = "Did you forget to close the previous rule?";

bool IsId(int TokenType) { return TokenType == TT_UPPER_ID || TokenType == TT_LOWER_ID; }

const TkivTokenSet& Ids() {
  static const TkivTokenSet set = kiv::TokenSetOf({TT_UPPER_ID, TT_LOWER_ID});
  return set;
}

// The tokens that can start an element of an alternative.
const TkivTokenSet& ElementStart() {
  static const TkivTokenSet set = kiv::TokenSetOf(
      {TT_PREDICATE, TT_LPAREN, TT_TILDE, TT_DOT, TT_CHAR, TT_STRING, TT_ACTION, TT_UPPER_ID, TT_LOWER_ID});
  return set;
}

// The tokens that can follow a label.
const TkivTokenSet& LabeledElementStart() {
  static const TkivTokenSet set =
      kiv::TokenSetOf({TT_LOWER_ID, TT_CHAR, TT_UPPER_ID, TT_STRING, TT_DOT, TT_TILDE, TT_LPAREN});
  return set;
}

// Subrules nest through recursive rule methods, one level per "(". Real grammars stay within a
// few levels; the limit turns an absurdly deep nest into a syntax error at the "(" that goes too
// deep instead of exhausting the stack here or in the passes that walk the rule later.
constexpr std::int32_t kMaxBlockDepth = 256;

const TkivTokenSet& RuleStart() {
  static const TkivTokenSet set = kiv::TokenSetOf({TT_PUBLIC, TT_PROTECTED, TT_PRIVATE, TT_UPPER_ID, TT_LOWER_ID});
  return set;
}

} // namespace

TkivKivParser::TkivKivParser(IkivTokenStreamPtr TokenStream, std::shared_ptr<IkivGrammarBehavior> Behavior,
                             IkivTool& Tool, std::string ExchangeDir)
    : TkivLLkParser(std::move(TokenStream), 2), fBehavior(std::move(Behavior)), fTool(Tool),
      fExchangeDir(std::move(ExchangeDir)) {}

// file: "unit" id ";" [usesSection] [constSection] [typeSection] grammar EOF
void TkivKivParser::file() {
  match(TT_UNIT);
  fUnitName = matchId()->TokenText();
  match(TT_SEMI);
  if (LA(1) == TT_USES_BLOCK) usesSection();
  if (LA(1) == TT_CONST) constSection();
  if (LA(1) == TT_TYPE) typeSection();
  grammar();
  // A file holds one grammar and nothing else: a stray token after it would otherwise hide the
  // rest of the file without a word.
  match(TT_EOF);
}

// usesSection: TT_USES_BLOCK { id ";" } "}"
void TkivKivParser::usesSection() {
  match(TT_USES_BLOCK);
  while (IsId(LA(1))) {
    const IkivTokenPtr unit = matchId();
    match(TT_SEMI);
    fBehavior->addUsesUnit(unit);
  }
  match(TT_RBRACE);
}

// constSection: "const" TT_ACTION
void TkivKivParser::constSection() {
  match(TT_CONST);
  fBehavior->setConstSection(matchToken(TT_ACTION));
}

// typeSection: "type" TT_ACTION
void TkivKivParser::typeSection() {
  match(TT_TYPE);
  fBehavior->setTypeSection(matchToken(TT_ACTION));
}

// grammar: ("lexer" | "parser") id ";" [optionsBlock] [tokensSection] ["memberdecl" TT_ACTION]
//          { rule } ["memberdef" TT_ACTION]
void TkivKivParser::grammar() {
  const bool lexer = LA(1) == TT_LEXER;
  match(kiv::TokenSetOf({TT_LEXER, TT_PARSER}));
  const IkivTokenPtr name = matchId();
  match(TT_SEMI);
  if (lexer)
    fBehavior->startLexerGrammar(FileName(), name, nullptr);
  else
    fBehavior->startParserGrammar(FileName(), name, nullptr);
  fBehavior->setUnitName(fUnitName);

  if (LA(1) == TT_OPTIONS_BLOCK) optionsBlock(&IkivGrammarBehavior::setGrammarOption);
  if (lexer && LA(1) == TT_TOKENS_BLOCK) tokensSection();
  if (LA(1) == TT_MEMBERDECL) {
    consume();
    fBehavior->setMemberDecl(matchToken(TT_ACTION));
  }
  while (kiv::IsMember(RuleStart(), LA(1))) rule();
  if (LA(1) == TT_MEMBERDEF) {
    consume();
    fBehavior->setMemberDef(matchToken(TT_ACTION));
  }
  fBehavior->endGrammarFile();
}

// optionsBlock: TT_OPTIONS_BLOCK { id "=" optionValue ";" } "}"
void TkivKivParser::optionsBlock(SetOption Set) {
  match(TT_OPTIONS_BLOCK);
  while (IsId(LA(1))) {
    const IkivTokenPtr option = matchId();
    match(TT_ASSIGN);
    const IkivTokenPtr value = optionValue();
    match(TT_SEMI);
    ((*fBehavior).*Set)(option, value);
  }
  match(TT_RBRACE);
}

// optionValue: qualifiedId | TT_STRING | TT_CHAR | TT_INT
IkivTokenPtr TkivKivParser::optionValue() {
  if (IsId(LA(1))) return qualifiedId();
  const IkivTokenPtr value = LT(1);
  match(kiv::TokenSetOf({TT_UPPER_ID, TT_LOWER_ID, TT_STRING, TT_CHAR, TT_INT}));
  return value;
}

// qualifiedId: id { "." id }, handed on as one TT_UPPER_ID token whatever the case of its first
// letter, positioned at its last id.
IkivTokenPtr TkivKivParser::qualifiedId() {
  IkivTokenPtr last = matchId();
  std::string text = last->TokenText();
  while (LA(1) == TT_DOT) {
    consume();
    last = matchId();
    text += '.';
    text += last->TokenText();
  }
  IkivTokenPtr result = std::make_shared<TkivToken>(TT_UPPER_ID, text);
  result->SetLine(last->Line());
  result->SetColumn(last->Column());
  return result;
}

// tokensSection: TT_TOKENS_BLOCK { tokensEntry } "}"
void TkivKivParser::tokensSection() {
  match(TT_TOKENS_BLOCK);
  while (LA(1) == TT_UPPER_ID || LA(1) == TT_STRING) tokensEntry();
  match(TT_RBRACE);
}

// tokensEntry: ( TT_UPPER_ID ["=" TT_STRING] | TT_STRING ) ";"
void TkivKivParser::tokensEntry() {
  IkivTokenPtr name;
  IkivTokenPtr str;
  if (LA(1) == TT_UPPER_ID) {
    name = matchToken(TT_UPPER_ID);
    if (LA(1) == TT_ASSIGN) {
      consume();
      str = matchToken(TT_STRING);
    }
  } else {
    str = matchToken(TT_STRING);
  }
  match(TT_SEMI);
  fBehavior->defineTokensEntry(name, str);
}

// rule: ["public" | "protected" | "private"] id [TT_ARGUMENT] ["returns" TT_ARGUMENT] [optionsBlock]
//       ["local" TT_ACTION] [TT_ACTION] ":" altList ";" [handler]
void TkivKivParser::rule() {
  std::string access = "public";
  if (LA(1) == TT_PUBLIC || LA(1) == TT_PROTECTED || LA(1) == TT_PRIVATE) {
    access = LT(1)->TokenText();
    consume();
  }
  const IkivTokenPtr name = matchId();
  IkivTokenPtr arguments;
  IkivTokenPtr returns;
  if (LA(1) == TT_ARGUMENT) arguments = matchToken(TT_ARGUMENT);
  if (LA(1) == TT_RETURNS) {
    consume();
    returns = matchToken(TT_ARGUMENT);
  }
  fBehavior->defineRule(name, access, true, "");
  if (arguments) fBehavior->setRuleArguments(arguments);
  if (returns) fBehavior->setRuleReturns(returns);
  if (LA(1) == TT_OPTIONS_BLOCK) optionsBlock(&IkivGrammarBehavior::setRuleOption);
  if (LA(1) == TT_LOCAL) {
    consume();
    fBehavior->setRuleLocals(matchToken(TT_ACTION));
  }
  if (LA(1) == TT_ACTION) fBehavior->setInitAction(matchToken(TT_ACTION));
  match(TT_COLON);
  altList();
  match(TT_SEMI);
  if (LA(1) == TT_EXCEPT || LA(1) == TT_FINALLY) {
    const IkivTokenPtr keyword = LT(1);
    consume();
    fBehavior->setRuleExceptionHandler(keyword, matchToken(TT_ACTION));
  }
  fBehavior->endRule("");
}

// altList: alternative { "|" alternative }
void TkivKivParser::altList() {
  ++fBlockDepth;
  alternative();
  while (LA(1) == TT_BAR) {
    consume();
    alternative();
  }
  --fBlockDepth;
}

// alternative: { element } [("except" | "finally") TT_ACTION]
void TkivKivParser::alternative() {
  fBehavior->beginAlternative(true);
  while (kiv::IsMember(ElementStart(), LA(1))) element();
  if (LA(1) == TT_EXCEPT || LA(1) == TT_FINALLY) {
    const IkivTokenPtr keyword = LT(1);
    consume();
    fBehavior->setAltExceptionHandler(keyword, matchToken(TT_ACTION));
  }
  fBehavior->endAlternative();
}

// element: TT_PREDICATE | TT_ACTION | assignment | [label] labeledElement
void TkivKivParser::element() {
  switch (LA(1)) {
  case TT_PREDICATE: fBehavior->addSemanticPredicate(matchToken(TT_PREDICATE)); return;
  case TT_ACTION: fBehavior->addAction(matchToken(TT_ACTION)); return;
  default: break;
  }
  if (IsId(LA(1)) && LA(2) == TT_ASSIGN) {
    assignment();
    return;
  }
  IkivTokenPtr labelToken;
  if (IsId(LA(1)) && LA(2) == TT_COLON) labelToken = label();
  labeledElement(labelToken);
}

// The element forms that may carry a label: rule and token references, characters, strings and
// their ranges, the wildcard, inverted atoms and subrules.
void TkivKivParser::labeledElement(const IkivTokenPtr& Label) {
  switch (LA(1)) {
  case TT_LOWER_ID: { // rule reference: TT_LOWER_ID [TT_ARGUMENT] ["!"]
    const IkivTokenPtr ruleName = matchToken(TT_LOWER_ID);
    IkivTokenPtr argument;
    if (LA(1) == TT_ARGUMENT) argument = matchToken(TT_ARGUMENT);
    const int autoGen = autoGenSuffix();
    fBehavior->addRuleRef(nullptr, ruleName, Label, argument, autoGen);
    return;
  }
  case TT_CHAR: {
    const IkivTokenPtr first = matchToken(TT_CHAR);
    if (LA(1) == TT_DOTDOT) { // character range: TT_CHAR ".." TT_CHAR ["!"]
      consume();
      const IkivTokenPtr last = matchToken(TT_CHAR);
      const int autoGen = autoGenSuffix();
      fBehavior->addCharRange(first, last, Label, autoGen, lastInRule());
    } else { // character: TT_CHAR ["!"]
      const int autoGen = autoGenSuffix();
      fBehavior->addCharLiteral(first, Label, 0, autoGen, lastInRule());
    }
    return;
  }
  case TT_UPPER_ID:
  case TT_STRING: {
    const IkivTokenPtr first = LT(1);
    consume();
    if (LA(1) == TT_DOTDOT) { // token range: (TT_UPPER_ID | TT_STRING) ".." (TT_UPPER_ID | TT_STRING) ["!"]
      consume();
      const IkivTokenPtr last = LT(1);
      match(kiv::TokenSetOf({TT_UPPER_ID, TT_STRING}));
      const int autoGen = autoGenSuffix();
      fBehavior->addTokenRange(first, last, Label, autoGen, lastInRule());
    } else if (first->TokenType() == TT_UPPER_ID) { // token reference: TT_UPPER_ID ["!"] [TT_ARGUMENT]
      const int autoGen = autoGenSuffix();
      IkivTokenPtr argument;
      if (LA(1) == TT_ARGUMENT) argument = matchToken(TT_ARGUMENT);
      fBehavior->addTokenRef(nullptr, first, Label, argument, 0, autoGen, lastInRule());
    } else { // string: TT_STRING ["!"]
      const int autoGen = autoGenSuffix();
      fBehavior->addStringLiteral(first, Label, autoGen, lastInRule());
    }
    return;
  }
  case TT_DOT: { // wildcard: "." ["!"]
    const IkivTokenPtr dot = matchToken(TT_DOT);
    const int autoGen = autoGenSuffix();
    fBehavior->addWildcard(dot, Label, autoGen);
    return;
  }
  case TT_TILDE: { // inverted: "~" (TT_CHAR ["!"] | TT_UPPER_ID ["!"] | subrule)
    consume();
    switch (LA(1)) {
    case TT_CHAR: {
      const IkivTokenPtr c = matchToken(TT_CHAR);
      const int autoGen = autoGenSuffix();
      fBehavior->addCharLiteral(c, Label, 1, autoGen, lastInRule());
      return;
    }
    case TT_UPPER_ID: {
      const IkivTokenPtr token = matchToken(TT_UPPER_ID);
      const int autoGen = autoGenSuffix();
      fBehavior->addTokenRef(nullptr, token, Label, nullptr, 1, autoGen, lastInRule());
      return;
    }
    case TT_LPAREN: subrule(Label, 1); return;
    default: mismatch(kiv::TokenSetOf({TT_CHAR, TT_UPPER_ID, TT_LPAREN}));
    }
  }
  case TT_LPAREN: subrule(Label, 0); return;
  default: mismatch(LabeledElementStart());
  }
}

// assignment: id "=" [label] ( TT_LOWER_ID [TT_ARGUMENT] ["!"] | TT_UPPER_ID [TT_ARGUMENT] )
void TkivKivParser::assignment() {
  const IkivTokenPtr target = matchId();
  match(TT_ASSIGN);
  IkivTokenPtr labelToken;
  if (IsId(LA(1)) && LA(2) == TT_COLON) labelToken = label();
  if (LA(1) == TT_LOWER_ID) {
    const IkivTokenPtr ruleName = matchToken(TT_LOWER_ID);
    IkivTokenPtr argument;
    if (LA(1) == TT_ARGUMENT) argument = matchToken(TT_ARGUMENT);
    const int autoGen = autoGenSuffix();
    fBehavior->addRuleRef(target, ruleName, labelToken, argument, autoGen);
  } else if (LA(1) == TT_UPPER_ID) {
    const IkivTokenPtr token = matchToken(TT_UPPER_ID);
    IkivTokenPtr argument;
    if (LA(1) == TT_ARGUMENT) argument = matchToken(TT_ARGUMENT);
    fBehavior->addTokenRef(target, token, labelToken, argument, 0, 1, lastInRule());
  } else {
    mismatch(Ids());
  }
}

// subrule: "(" [optionsBlock [TT_ACTION] ":" | TT_ACTION ":"] altList ")" ["?" | "*" | "+" | "=>"]
void TkivKivParser::subrule(const IkivTokenPtr& Label, int Inverted) {
  if (fBlockDepth >= kMaxBlockDepth) mismatch(ElementStart() & ~kiv::TokenSetOf({TT_LPAREN}));
  const IkivTokenPtr lparen = matchToken(TT_LPAREN);
  fBehavior->openSubrule(Label, lparen, Inverted);
  if (LA(1) == TT_OPTIONS_BLOCK) {
    optionsBlock(&IkivGrammarBehavior::setSubruleOption);
    IkivTokenPtr init;
    if (LA(1) == TT_ACTION) init = matchToken(TT_ACTION);
    match(TT_COLON);
    if (init) fBehavior->setInitAction(init);
  } else if (LA(1) == TT_ACTION && LA(2) == TT_COLON) {
    const IkivTokenPtr init = matchToken(TT_ACTION);
    match(TT_COLON);
    fBehavior->setInitAction(init);
  }
  altList();
  match(TT_RPAREN);
  switch (LA(1)) {
  case TT_QUESTION:
    consume();
    fBehavior->closeAsOptional();
    break;
  case TT_STAR:
    consume();
    fBehavior->closeAsZeroOrMore();
    break;
  case TT_PLUS:
    consume();
    fBehavior->closeAsOneOrMore();
    break;
  case TT_IMPLIES:
    consume();
    fBehavior->closeAsSynPredicate();
    break;
  default: break;
  }
  fBehavior->closeSubrule();
}

// ---------------------------------------------------------------------------------------------
// Helpers
// ---------------------------------------------------------------------------------------------

IkivTokenPtr TkivKivParser::matchId() {
  IkivTokenPtr token = LT(1);
  match(Ids());
  return token;
}

IkivTokenPtr TkivKivParser::matchToken(int TokenType) {
  IkivTokenPtr token = LT(1);
  match(TokenType);
  return token;
}

IkivTokenPtr TkivKivParser::label() {
  const IkivTokenPtr token = matchId();
  match(TT_COLON);
  if (token->Column() == 1) fTool.Warning(kLabelWarning, FileName(), token->Line(), token->Column());
  return token;
}

int TkivKivParser::autoGenSuffix() {
  if (LA(1) != TT_BANG) return 1;
  consume();
  return 3;
}

// True only outside every alternative list with ";" or "|" next. Every alternative list, the
// rule's own included, raises the block depth, so an element never sees depth 0 and the value is
// false for every element; the grammar maker relies on that.
bool TkivKivParser::lastInRule() { return fBlockDepth == 0 && (LA(1) == TT_SEMI || LA(1) == TT_BAR); }

void TkivKivParser::mismatch(const TkivTokenSet& Expected) {
  throw EkivMismatchedToken(LT(1), Expected, FileName());
}
