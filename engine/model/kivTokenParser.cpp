// kivTokenParser.cpp - the entries of token vocabulary files and their effect on a token manager.
// Names already present are not redefined, and imported types push the manager's next type.
#include "engine/model/kivTokenParser.h"

#include <cstdint>
#include <memory>

#include "engine/model/kivGrammarSymbol.h"
#include "engine/model/kivTokenLexer.h"
#include "runtime/cpp/kivException.h"

namespace kiv {

VocabularyReadResult ReadVocabulary(std::istream& Input, const std::string& FileName, IkivTokenManager& Target) {
  VocabularyReadResult result;
  auto lexer = MakeLexer<TkivTokenLexer>(Input);
  lexer->InputState->SetFileName(FileName);
  TkivTokenParser parser(lexer, Target);
  parser.InputState->SetFileName(FileName);
  try {
    parser.file();
  } catch (const EkivException& e) {
    result.Stopped = true;
    result.StopLine = e.Line();
  }
  result.Rejected = parser.Rejected();
  return result;
}

} // namespace kiv

TkivTokenParser::TkivTokenParser(IkivTokenStreamPtr Lexer, IkivTokenManager& Target)
    : TkivLLkParser(std::move(Lexer), 3), fTarget(Target) {}

void TkivTokenParser::file() {
  match(kiv::vtIdent); // the vocabulary's name, not used
  while (LA(1) == kiv::vtString || LA(1) == kiv::vtIdent) entry();
  match(TT_EOF);
}

void TkivTokenParser::entry() {
  if (LA(1) == kiv::vtString) {
    const IkivTokenPtr literal = LT(1);
    match(kiv::vtString);
    match(kiv::vtAssign);
    const IkivTokenPtr type = LT(1);
    match(kiv::vtInt);
    auto symbol = std::make_shared<TkivStringSymbol>(literal->TokenText());
    symbol->setTokenType(IntValue(type));
    DefineChecked(symbol);
    return;
  }

  const IkivTokenPtr ident = LT(1);
  if (LA(2) == kiv::vtAssign && LA(3) == kiv::vtString) {
    match(kiv::vtIdent);
    match(kiv::vtAssign);
    const IkivTokenPtr literal = LT(1);
    match(kiv::vtString);
    match(kiv::vtAssign);
    const IkivTokenPtr type = LT(1);
    match(kiv::vtInt);
    auto symbol = std::make_shared<TkivStringSymbol>(literal->TokenText());
    symbol->setTokenType(IntValue(type));
    DefineChecked(symbol);
    // The label goes to whatever literal now stands under the text: the new one, or one defined
    // before, which keeps its type.
    if (const auto known = std::dynamic_pointer_cast<IkivStringSymbol>(fTarget.getTokenSymbol(literal->TokenText()))) {
      known->setLabel(ident->TokenText());
      fTarget.mapToTokenSymbol(ident->TokenText(), known);
    }
    return;
  }

  if (LA(2) == kiv::vtLParen) {
    match(kiv::vtIdent);
    match(kiv::vtLParen);
    const IkivTokenPtr paraphrase = LT(1);
    match(kiv::vtString);
    match(kiv::vtRParen);
    match(kiv::vtAssign);
    const IkivTokenPtr type = LT(1);
    match(kiv::vtInt);
    auto symbol = std::make_shared<TkivTokenSymbol>(TokenNameOf(ident->TokenText()));
    symbol->setTokenType(IntValue(type));
    symbol->setParaphrase(paraphrase->TokenText());
    DefineChecked(symbol);
    return;
  }

  // IDENT "=" INT; any other continuation fails in match at the offending token.
  match(kiv::vtIdent);
  match(kiv::vtAssign);
  const IkivTokenPtr type = LT(1);
  match(kiv::vtInt);
  auto symbol = std::make_shared<TkivTokenSymbol>(TokenNameOf(ident->TokenText()));
  symbol->setTokenType(IntValue(type));
  DefineChecked(symbol);
}

int TkivTokenParser::IntValue(const IkivTokenPtr& Token) {
  // The lexer gives digits only; a value beyond 32 bits does not convert.
  long long value = 0;
  for (const char c : Token->TokenText()) {
    value = value * 10 + (c - '0');
    if (value > INT32_MAX) return -1;
  }
  return Token->TokenText().empty() ? -1 : static_cast<int>(value);
}

std::string TkivTokenParser::TokenNameOf(const std::string& Identifier) {
  return Identifier.size() > 3 ? Identifier.substr(3) : std::string();
}

bool TkivTokenParser::DefineChecked(const IkivTokenSymbolPtr& Symbol) {
  const int type = Symbol->getTokenType();
  if (type < 0 || type > 255) {
    fRejected.push_back({Symbol->getId(), type});
    return false;
  }
  fTarget.define(Symbol);
  return true;
}
