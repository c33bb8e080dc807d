// kivTokenManagerTest.cpp - numbering, letter-case-blind keys, literal mapping and cloning of a token manager.
#include <gtest/gtest.h>

#include <memory>

#include "engine/model/kivGrammarSymbol.h"
#include "engine/model/kivTokenManager.h"

namespace {

IkivTokenSymbolPtr Token(const std::string& Id, int Type) {
  auto symbol = std::make_shared<TkivTokenSymbol>(Id);
  symbol->setTokenType(Type);
  return symbol;
}

std::shared_ptr<TkivStringSymbol> Literal(const std::string& Id, int Type, const std::string& Label) {
  auto symbol = std::make_shared<TkivStringSymbol>(Id);
  symbol->setTokenType(Type);
  symbol->setLabel(Label);
  return symbol;
}

TEST(TokenManager, FreshManagerHoldsEofAndTheReservedLineAndNumbersFromFour) {
  TkivTokenManager manager("TokenManager", nullptr);
  EXPECT_EQ(manager.getVocabulary(), (IkivTokenManager::Vocabulary{"EOF=1", "NULL_TREE_LOOKAHEAD=2"}));
  EXPECT_EQ(manager.getTokenSymbolKeys(), std::vector<std::string>{"EOF"});
  EXPECT_FALSE(manager.tokenDefined("NULL_TREE_LOOKAHEAD")); // a line with no symbol behind it
  EXPECT_EQ(manager.getTokenStringAt(1), "");
  EXPECT_EQ(manager.getTokenSymbolAt(-1), nullptr);
  EXPECT_EQ(manager.getMaxTokenType(), 3);
  EXPECT_EQ(manager.nextTokenType(), 4);
  EXPECT_EQ(manager.nextTokenType(), 5);
  // Defined types push the next type past them but never lower it.
  manager.define(Token("LOW", 2));
  EXPECT_EQ(manager.getMaxTokenType(), 5);
  manager.define(Token("HIGH", 40));
  EXPECT_EQ(manager.nextTokenType(), 41);
}

TEST(TokenManager, DefineIgnoresANameKnownInAnyLetterCase) {
  TkivTokenManager manager("TokenManager", nullptr);
  const IkivTokenSymbolPtr id = Token("ID", manager.nextTokenType());
  manager.define(id);
  manager.define(Token("Id", manager.nextTokenType()));
  manager.define(Token("null_tree_lookahead", 9));
  EXPECT_EQ(manager.getTokenSymbol("id"), id);
  EXPECT_EQ(manager.getTokenSymbolElements().size(), 2u);
  EXPECT_EQ(manager.getVocabulary().size(), 3u);
  // The line keeps the type the symbol had when it was defined.
  id->setTokenType(9);
  EXPECT_EQ(manager.getVocabulary().back(), "ID=4");
}

TEST(TokenManager, LiteralUnderTextAndLabelIsFoundUnderBothAndListedTwice) {
  TkivTokenManager manager("TokenManager", nullptr);
  const auto begin = Literal("\"begin\"", 4, "BEGIN");
  manager.define(begin);
  manager.mapToTokenSymbol("BEGIN", begin);
  EXPECT_EQ(manager.getTokenSymbol("\"BEGIN\""), begin);
  EXPECT_EQ(manager.getTokenSymbol("begin"), begin);
  EXPECT_EQ(manager.getTokenSymbolKeys(), (std::vector<std::string>{"EOF", "\"begin\"", "BEGIN"}));
  EXPECT_EQ(manager.getTokenSymbolElements().size(), 3u);
  EXPECT_EQ(manager.getVocabulary().size(), 3u); // mapping adds no line
}

TEST(TokenManager, CloneIsEqualAndIndependent) {
  TkivTokenManager manager("Vocab", nullptr);
  const auto begin = Literal("\"begin\"", 4, "BEGIN");
  manager.define(begin);
  manager.mapToTokenSymbol("BEGIN", begin);
  auto id = Token("ID", 5);
  id->setParaphrase("\"an identifier\"");
  manager.define(id);

  const IkivTokenManagerPtr copy = manager.clone();
  EXPECT_EQ(copy->getName(), "Vocab");
  EXPECT_EQ(copy->getVocabulary(), manager.getVocabulary());
  EXPECT_EQ(copy->getTokenSymbolKeys(), manager.getTokenSymbolKeys());
  EXPECT_EQ(copy->nextTokenType(), 6);
  // The literal is one copied symbol under both its keys, of its own class and with its label.
  const auto copiedBegin = std::dynamic_pointer_cast<IkivStringSymbol>(copy->getTokenSymbol("\"begin\""));
  ASSERT_NE(copiedBegin, nullptr);
  EXPECT_NE(copiedBegin, begin);
  EXPECT_EQ(copy->getTokenSymbol("BEGIN"), copiedBegin);
  EXPECT_EQ(copiedBegin->getLabel(), "BEGIN");
  EXPECT_EQ(copy->getTokenSymbol("ID")->getParaphrase(), "\"an identifier\"");
  copiedBegin->setLabel("OTHER");
  EXPECT_EQ(begin->getLabel(), "BEGIN");
}

TEST(LexerRuleNames, EncodePrefixesAnMAndDecodeRemovesOnlyThat) {
  EXPECT_EQ(EncodeLexerRuleName("ID"), "mID");
  EXPECT_EQ(DecodeLexerRuleName("mID"), "ID");
  EXPECT_EQ(DecodeLexerRuleName(EncodeLexerRuleName("mINUS")), "mINUS");
  EXPECT_EQ(DecodeLexerRuleName("expr"), "expr");
  EXPECT_EQ(DecodeLexerRuleName(""), "");
}

} // namespace
