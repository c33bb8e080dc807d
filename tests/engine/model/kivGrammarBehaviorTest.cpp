// kivGrammarBehaviorTest.cpp - the symbol pass: numbering, rules, tokens sections, options and grammar start.
#include <gtest/gtest.h>

#include <memory>

#include "engine/model/kivGrammarSymbol.h"
#include "engine/model/kivVocabularyWriter.h"
#include "tests/engine/model/kivModelTestSupport.h"

namespace {

using namespace kivtest;

class SymbolPassTest : public ::testing::Test {
protected:
  RecordingHandler handler;
  TkivTool tool{nullptr, "calc.g", "", "", &handler};
  SymbolPass pass{tool, nullptr, "exchange"};

  void StartLexer() { pass.startLexerGrammar("calc.g", Upper("Calc"), nullptr); }
  void StartParser() { pass.startParserGrammar("calc.g", Lower("calc"), nullptr); }
  IkivTokenManagerPtr Manager() { return pass.getGrammar()->getTokenManager(); }
  int TypeOf(const std::string& name) {
    const IkivTokenSymbolPtr symbol = Manager()->getTokenSymbol(name);
    return symbol ? symbol->getTokenType() : -100;
  }
  std::string LabelOf(const std::string& literal) {
    const auto symbol = std::dynamic_pointer_cast<IkivStringSymbol>(Manager()->getTokenSymbol(literal));
    return symbol ? symbol->getLabel() : "<none>";
  }
};

TEST_F(SymbolPassTest, LexerTokensAreNumberedInOrderOfFirstAppearance) {
  StartLexer();
  pass.defineTokensEntry(Upper("PLUS"), nullptr);
  pass.defineRule(Upper("ID"), "public", true, "");
  pass.addTokenRef(nullptr, Upper("DIGIT"), nullptr, nullptr, 0, 1, false);
  pass.defineRule(Upper("DIGIT"), "protected", true, "");
  pass.defineRule(Upper("PLUS"), "public", true, "");
  pass.addTokenRange(Upper("LOW"), Str("\"high\""), nullptr, 1, false);
  EXPECT_EQ(TypeOf("PLUS"), 4);
  EXPECT_EQ(TypeOf("ID"), 5);
  EXPECT_EQ(TypeOf("DIGIT"), 6);
  EXPECT_EQ(TypeOf("LOW"), 7);
  // A literal is never defined by its use.
  EXPECT_EQ(TypeOf("\"high\""), -100);
  EXPECT_EQ(pass.getGrammar()->getRuleSymbol("mDIGIT")->getAccess(), "protected");
  EXPECT_TRUE(handler.Lines.empty());
}

TEST_F(SymbolPassTest, RedefinedLexerRuleIsReportedAtTheSecondNameAndKeepsItsType) {
  StartLexer();
  pass.defineRule(Upper("ID", 3), "public", true, "");
  pass.defineRule(Upper("INT", 4), "public", true, "");
  pass.defineRule(Upper("Id", 7), "public", true, "");
  EXPECT_EQ(handler.Lines, std::vector<std::string>{"error:calc.g(7): Redefinition of rule \"mId\"."});
  EXPECT_EQ(TypeOf("ID"), 4);
  EXPECT_EQ(pass.getGrammar()->getRules().size(), 2u);
}

TEST_F(SymbolPassTest, ReferencedRuleIsUndefinedUntilItsDefinition) {
  StartParser();
  pass.addRuleRef(nullptr, Lower("term"), nullptr, nullptr, 1);
  const IkivRuleSymbolPtr term = pass.getGrammar()->getRuleSymbol("term");
  ASSERT_NE(term, nullptr);
  EXPECT_FALSE(term->isDefined());
  pass.addRuleRef(nullptr, Lower("term"), nullptr, nullptr, 1);
  pass.defineRule(Lower("term"), "private", true, "");
  EXPECT_TRUE(term->isDefined());
  EXPECT_EQ(pass.getGrammar()->getRules().size(), 1u);
  // An upper-case reference names the encoded lexer rule and defines no token.
  pass.addRuleRef(nullptr, Upper("WS"), nullptr, nullptr, 1);
  EXPECT_NE(pass.getGrammar()->getRuleSymbol("mWS"), nullptr);
  EXPECT_FALSE(Manager()->tokenDefined("WS"));
  EXPECT_TRUE(handler.Lines.empty());
}

TEST_F(SymbolPassTest, TokensSectionEntriesDefineNamesLiteralsAndLabels) {
  StartLexer();
  pass.defineTokensEntry(Upper("SEMI"), nullptr);
  pass.defineTokensEntry(Upper("BEGIN"), Str("\"begin\""));
  pass.defineTokensEntry(nullptr, Str("\"end\""));
  pass.defineTokensEntry(Upper("SEMI_LIT"), Str("\"semi_1\""));
  EXPECT_EQ(TypeOf("SEMI"), 4);
  EXPECT_EQ(TypeOf("\"begin\""), 5);
  EXPECT_EQ(TypeOf("BEGIN"), 5);
  EXPECT_EQ(LabelOf("\"begin\""), "BEGIN");
  EXPECT_EQ(TypeOf("\"end\""), 6);
  EXPECT_EQ(LabelOf("\"end\""), "");
  EXPECT_EQ(TypeOf("\"semi_1\""), 7);
  EXPECT_TRUE(handler.Lines.empty());
}

TEST_F(SymbolPassTest, TokensSectionNameOfAKnownTokenLendsItsTypeToTheLiteral) {
  StartLexer();
  pass.defineRule(Upper("IF"), "public", true, "");
  pass.defineTokensEntry(Upper("IF"), Str("\"if\""));
  EXPECT_EQ(TypeOf("\"if\""), 4);
  EXPECT_EQ(LabelOf("\"if\""), "IF");
  EXPECT_EQ(Manager()->getMaxTokenType(), 4);
  EXPECT_TRUE(handler.Lines.empty());
}

TEST_F(SymbolPassTest, TokensSectionNamesAnUnnamedLiteralOnceWithoutAWarning) {
  StartLexer();
  pass.defineTokensEntry(nullptr, Str("\"do\"", 2));
  pass.defineTokensEntry(Upper("DO"), Str("\"do\"", 3));
  EXPECT_EQ(LabelOf("\"do\""), "DO");
  EXPECT_EQ(TypeOf("DO"), 4);
  EXPECT_TRUE(handler.Lines.empty());
  pass.defineTokensEntry(Upper("DO2"), Str("\"do\"", 4));
  EXPECT_EQ(LabelOf("\"do\""), "DO");
  EXPECT_EQ(handler.Lines,
            std::vector<std::string>{"warning:calc.g(4): Redefinition of literal in tokens {...} \"\"do\"\"."});
}

TEST_F(SymbolPassTest, TokensSectionDiagnostics) {
  StartLexer();
  pass.defineTokensEntry(Upper("BEGIN", 2), Str("\"begin\"", 2));
  pass.defineTokensEntry(nullptr, Str("\"begin\"", 3));           // same literal again
  pass.defineTokensEntry(Upper("BEGIN", 4), Str("\"start\"", 4)); // name of a literal
  pass.defineTokensEntry(Upper("ID", 5), nullptr);
  pass.defineTokensEntry(Upper("ID", 6), nullptr);                 // same name again
  pass.defineTokensEntry(Upper("begin", 7), nullptr);              // a literal's name, other case
  pass.defineTokensEntry(Upper("SP", 8), Str("\"a b\"", 8));
  pass.defineTokensEntry(nullptr, Str("\":=\"", 9));
  pass.defineTokensEntry(nullptr, Str("\"it\"s\"", 10));
  EXPECT_EQ(handler.Lines, (std::vector<std::string>{
                               "warning:calc.g(3): Redefinition of literal in tokens {...} \"\"begin\"\".",
                               "warning:calc.g(4): Redefinition of literal in tokens {...} \"BEGIN\".",
                               "warning:calc.g(6): Redefinition of literal in tokens {...} \"ID\".",
                               "warning:calc.g(7): Redefinition of literal in tokens {...} \"begin\".",
                               "error:calc.g(8): Invalid string literal \"a b\"",
                               "error:calc.g(9): Invalid string literal \":=\"",
                               "error:calc.g(10): Invalid string literal \"it\"s\"",
                           }));
  EXPECT_EQ(tool.GetErrorCount(), 3);
  EXPECT_EQ(tool.GetWarningCount(), 4);
  EXPECT_FALSE(Manager()->tokenDefined("\"start\""));
  EXPECT_FALSE(Manager()->tokenDefined("SP"));
  EXPECT_EQ(Manager()->getMaxTokenType(), 5);
}

TEST_F(SymbolPassTest, NumberingPastTheLastSetMemberIsAnErrorAtTheToken) {
  StartLexer();
  for (int i = 4; i <= 255; ++i) pass.defineTokensEntry(Upper("T" + std::to_string(i)), nullptr);
  EXPECT_TRUE(handler.Lines.empty());
  pass.defineRule(Upper("LAST", 9), "public", true, "");
  pass.defineTokensEntry(nullptr, Str("\"more\"", 10));
  EXPECT_EQ(handler.Lines, (std::vector<std::string>{
                               "error:calc.g(9): Token type 256 of \"LAST\" is outside the range 0..255.",
                               "error:calc.g(10): Token type 257 of \"\"more\"\" is outside the range 0..255.",
                           }));
}

TEST_F(SymbolPassTest, VocabularyOptionsTakeIdentifiersOnly) {
  StartParser();
  pass.setGrammarOption(Lower("exportVocab"), Upper("Calc.Tokens", 2));
  EXPECT_EQ(pass.getGrammar()->getExportVocab(), "Calc.Tokens");
  pass.setGrammarOption(Lower("exportVocab"), Str("\"Calc\"", 3));
  pass.setGrammarOption(Lower("importVocab"), Str("\"Calc\"", 4));
  pass.setGrammarOption(Lower("importVocab"), Int("5", 5));
  EXPECT_EQ(pass.getGrammar()->getImportVocab(), nullptr);
  EXPECT_EQ(handler.Lines, (std::vector<std::string>{
                               "error:calc.g(3): option \"exportVocab\" must be an identifier",
                               "error:calc.g(4): option \"importVocab\" must be an identifier",
                               "error:calc.g(5): option \"importVocab\" must be an identifier",
                           }));
}

TEST_F(SymbolPassTest, ImportVocabReadsFromTheExchangeDirectoryWithTheDottedName) {
  StartParser();
  const IkivTokenPtr value = Upper("My.Lexer", 6);
  pass.setGrammarOption(Lower("importVocab"), value);
  // The file is missing: a warning, and the request is forgotten.
  const std::string expected = kiv::WithTrailingSeparator("exchange") + "My.LexerTokens.txt";
  EXPECT_EQ(handler.Lines, std::vector<std::string>{"warning:calc.g(6): Cannot import \"" + expected + "\"."});
  EXPECT_EQ(pass.getGrammar()->getImportVocab(), nullptr);
  EXPECT_EQ(tool.GetErrorCount(), 0);
  // The parser's token is left as it was read.
  EXPECT_EQ(value->TokenText(), "My.Lexer");
}

TEST_F(SymbolPassTest, FileLevelLanguageOption) {
  StartParser();
  EXPECT_EQ(pass.Language(), "Delphi");
  pass.setFileOption(Lower("language"), Str("\"Pascal\""));
  EXPECT_EQ(pass.Language(), "Pascal");
  pass.setFileOption(Lower("language"), Upper("Delphi"));
  EXPECT_EQ(pass.Language(), "Delphi");
  pass.setFileOption(Lower("language"), Int("3", 3));
  pass.setFileOption(Lower("lang", 4), Upper("Delphi", 4));
  EXPECT_EQ(pass.Language(), "Delphi");
  EXPECT_EQ(handler.Lines, (std::vector<std::string>{
                               "error:calc.g(3): option \"language\" must be a string or identifier",
                               "error:calc.g(4): Invalid file-level option: \"lang\"",
                           }));
}

TEST_F(SymbolPassTest, SecondGrammarStartPanics) {
  StartLexer();
  EXPECT_THROW(StartParser(), EkivPanic);
  EXPECT_EQ(handler.Lines, std::vector<std::string>{"message:A grammar already started"});
  EXPECT_NE(std::dynamic_pointer_cast<IkivLexerGrammar>(pass.getGrammar()), nullptr);
  // After a reset a new grammar may start, and it is not taken for a lexer.
  pass.abortGrammar();
  EXPECT_EQ(pass.getGrammar(), nullptr);
  StartParser();
  pass.addTokenRef(nullptr, Upper("ID"), nullptr, nullptr, 0, 1, false);
  EXPECT_FALSE(Manager()->tokenDefined("ID"));
}

TEST_F(SymbolPassTest, GrammarStartTakesFileNameUsesAndSections) {
  pass.addUsesUnit(Upper("StrUtils"));
  pass.addUsesUnit(Upper("Classes"));
  const IkivTokenPtr constSection = Tok(kiv::kivgrammar::TT_ACTION, "{ c = 1; }");
  const IkivTokenPtr typeSection = Tok(kiv::kivgrammar::TT_ACTION, "{ t = integer; }");
  pass.setConstSection(constSection);
  pass.setTypeSection(typeSection);
  StartLexer();
  const IkivGrammarPtr lexer = pass.getGrammar();
  EXPECT_EQ(lexer->getFileName(), "calc.g");
  EXPECT_EQ(lexer->getUses().Names(), (std::vector<std::string>{"Classes", "Contnrs", "kivLexer", "kivToken",
                                                                "kivTypes", "StrUtils", "SysUtils"}));
  EXPECT_EQ(lexer->getConstSection(), constSection);
  EXPECT_EQ(lexer->getTypeSection(), typeSection);

  // A parser grammar's unit declares the sections too.
  pass.resetGrammars();
  StartParser();
  EXPECT_EQ(pass.getGrammar()->getConstSection(), constSection);
  EXPECT_EQ(pass.getGrammar()->getTypeSection(), typeSection);
  EXPECT_TRUE(pass.getGrammar()->getUses().Contains("StrUtils"));
}

} // namespace
