// kivVocabularyTest.cpp - vocabulary files: the written lines, reading them back, and bad files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "engine/model/kivVocabularyWriter.h"
#include "tests/engine/model/kivModelTestSupport.h"

namespace {

using namespace kivtest;
namespace fs = std::filesystem;

class Vocabulary : public ::testing::Test {
protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("kiv-vocab-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string FileName(const std::string& name) const { return kiv::WithTrailingSeparator(dir.string()) + name; }
  void WriteFile(const std::string& name, const std::string& text) const {
    std::ofstream(FileName(name), std::ios::binary) << text;
  }
  std::string ReadFile(const std::string& name) const {
    std::ifstream in(FileName(name), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  // The token manager of a parser grammar that imported the named vocabulary at line 2.
  IkivTokenManagerPtr Import(const std::string& name) {
    reader = std::make_unique<SymbolPass>(tool, nullptr, dir.string());
    reader->startParserGrammar("calc.g", Lower("calc"), nullptr);
    reader->setGrammarOption(Lower("importVocab"), Upper(name, 2));
    return reader->getGrammar()->getTokenManager();
  }

  fs::path dir;
  RecordingHandler handler;
  TkivTool tool{nullptr, "calc.g", "", "", &handler};
  std::unique_ptr<SymbolPass> reader;
};

TEST_F(Vocabulary, WrittenFileReadsBackToTheSameNamesNumbersLabelsAndParaphrases) {
  SymbolPass pass(tool, nullptr, "");
  pass.startLexerGrammar("some/dir/lexer.g", Upper("CalcLex"), nullptr);
  pass.setUnitName("CalcLexer");
  pass.defineTokensEntry(Upper("BEGIN"), Str("\"begin\""));
  pass.defineTokensEntry(nullptr, Str("\"end\""));
  pass.defineTokensEntry(Upper("SEMI"), nullptr);
  pass.defineRule(Upper("ID"), "public", true, "");
  const IkivGrammarPtr lexer = pass.getGrammar();
  const IkivTokenManagerPtr written = lexer->getTokenManager();
  written->getTokenSymbol("ID")->setParaphrase("\"an identifier\"");

  EXPECT_EQ(kiv::WriteVocabularyFile(*lexer, dir.string()), FileName("CalcLexerTokens.txt"));
  // Without an export vocabulary the unit name becomes it; an unnamed literal keeps its new label.
  EXPECT_EQ(lexer->getExportVocab(), "CalcLexer");
  EXPECT_EQ(ReadFile("CalcLexerTokens.txt"), "// $Kiv Parser Generator: lexer.g -> CalcLexerTokens.txt$\r\n"
                                              "CalcLex\r\n"
                                              "TT_EOF=1\r\n"
                                              "BEGIN=\"begin\"=4\r\n"
                                              "LT_end=\"end\"=5\r\n"
                                              "TT_SEMI=6\r\n"
                                              "TT_ID(\"an identifier\")=7\r\n");

  const IkivTokenManagerPtr read = Import("CalcLexer");
  EXPECT_EQ(read->getVocabulary(), written->getVocabulary());
  for (const IkivTokenSymbolPtr& symbol : written->getTokenSymbolElements()) {
    const IkivTokenSymbolPtr back = read->getTokenSymbol(symbol->getId());
    ASSERT_NE(back, nullptr) << symbol->getId();
    EXPECT_EQ(back->getId(), symbol->getId());
    EXPECT_EQ(back->getTokenType(), symbol->getTokenType()) << symbol->getId();
    EXPECT_EQ(back->getParaphrase(), symbol->getParaphrase()) << symbol->getId();
    const auto literal = std::dynamic_pointer_cast<IkivStringSymbol>(symbol);
    const auto literalBack = std::dynamic_pointer_cast<IkivStringSymbol>(back);
    ASSERT_EQ(literal != nullptr, literalBack != nullptr) << symbol->getId();
    if (literal) {
      EXPECT_EQ(literalBack->getLabel(), literal->getLabel());
      EXPECT_EQ(read->getTokenSymbol(literal->getLabel()), literalBack);
    }
  }
  EXPECT_EQ(read->nextTokenType(), 8);
  EXPECT_EQ(reader->getGrammar()->getImportVocab()->TokenText(), FileName("CalcLexer"));
  EXPECT_TRUE(handler.Lines.empty());
}

TEST_F(Vocabulary, HandWrittenEntriesCutThreeCharactersAndKeepKnownLiterals) {
  WriteFile("HandTokens.txt", "// header comment\r\n"
                              "(* a block\r\n comment *) Hand\r"
                              "TT_A=4\n"
                              "B=5\r\n"
                              "XYZW=6 \t\r\n"
                              "\"lit\"=7\r\n"
                              "TT_P(\"a (paraphrase)\")=8\r\n"
                              "LBL=\"lit\"=40\r\n");
  const IkivTokenManagerPtr read = Import("Hand");
  EXPECT_EQ(read->getVocabulary(), (IkivTokenManager::Vocabulary{"EOF=1", "NULL_TREE_LOOKAHEAD=2", "A=4", "=5", "W=6",
                                                                 "\"lit\"=7", "P=8"}));
  EXPECT_EQ(read->getTokenSymbol("P")->getParaphrase(), "\"a (paraphrase)\"");
  // The known literal keeps its type; the label is attached and mapped all the same.
  const IkivTokenSymbolPtr lit = read->getTokenSymbol("\"lit\"");
  EXPECT_EQ(lit->getTokenType(), 7);
  EXPECT_EQ(std::dynamic_pointer_cast<IkivStringSymbol>(lit)->getLabel(), "LBL");
  EXPECT_EQ(read->getTokenSymbol("lbl"), lit);
  EXPECT_EQ(read->nextTokenType(), 9);
  EXPECT_TRUE(handler.Lines.empty());
}

TEST_F(Vocabulary, ImportedTypesPushTheNextTypeAndOnlyTheFirstRequestIsRead) {
  WriteFile("BigTokens.txt", "Big\r\nTT_A=4\r\nTT_Z=40\r\n");
  WriteFile("TwoTokens.txt", "Two\r\nTT_TWO=5\r\n");
  SymbolPass lexer(tool, nullptr, dir.string());
  lexer.startLexerGrammar("calc.g", Upper("Calc"), nullptr);
  lexer.setGrammarOption(Lower("importVocab"), Upper("Big"));
  lexer.setGrammarOption(Lower("importVocab"), Upper("Two"));
  lexer.defineRule(Upper("NEW"), "public", true, "");
  lexer.defineRule(Upper("A"), "public", true, "");
  const IkivTokenManagerPtr manager = lexer.getGrammar()->getTokenManager();
  EXPECT_EQ(manager->getTokenSymbol("NEW")->getTokenType(), 41);
  EXPECT_EQ(manager->getTokenSymbol("A")->getTokenType(), 4);
  EXPECT_FALSE(manager->tokenDefined("TWO"));
}

TEST_F(Vocabulary, MalformedFileKeepsTheEntriesBeforeTheErrorAndWarnsWithItsLine) {
  WriteFile("BadTokens.txt", "Bad\r\nTT_A=4\r\nTT_B=x\r\nTT_C=6\r\n");
  const IkivTokenManagerPtr manager = Import("Bad");
  EXPECT_TRUE(manager->tokenDefined("A"));
  EXPECT_FALSE(manager->tokenDefined("B"));
  EXPECT_FALSE(manager->tokenDefined("C"));
  EXPECT_EQ(handler.Lines, std::vector<std::string>{"warning:calc.g(2): Cannot import \"" + FileName("BadTokens.txt") +
                                                    "\" beyond line 3; only the entries before it were read."});
  EXPECT_EQ(tool.GetErrorCount(), 0);

  const std::vector<std::pair<std::string, int>> lexicalErrors = {
      {"Bad\r\nTT_A=4\r\n\r\nTT_B=5#\r\n", 4}, // a character that starts no token
      {"Bad\r\nTT_A=4\r\n// no line break", 3}, // a line comment must end with a line break
      {"Bad\r\nTT_A=4\r\n(* open\r\n", 4},      // unterminated block comment
      {"Bad\r\nTT_A=4\r\n\"open=5\r\n", 3},     // unterminated string: breaks inside are not lines
  };
  for (const auto& [text, line] : lexicalErrors) {
    handler.Lines.clear();
    WriteFile("BadTokens.txt", text);
    EXPECT_TRUE(Import("Bad")->tokenDefined("A")) << text;
    ASSERT_EQ(handler.Lines.size(), 1u) << text;
    EXPECT_NE(handler.Lines[0].find("beyond line " + std::to_string(line) + ";"), std::string::npos) << text;
  }
}

TEST_F(Vocabulary, TypesOutsideTheSetRangeAreErrorsAndStayUndefined) {
  WriteFile("WideTokens.txt", "Wide\r\nTT_OK=255\r\nTT_BIG=300\r\nTT_HUGE=99999999999\r\n\"far\"=256\r\n");
  const IkivTokenManagerPtr manager = Import("Wide");
  EXPECT_TRUE(manager->tokenDefined("OK"));
  EXPECT_FALSE(manager->tokenDefined("BIG"));
  EXPECT_FALSE(manager->tokenDefined("\"far\""));
  EXPECT_EQ(manager->nextTokenType(), 256);
  const std::string file = FileName("WideTokens.txt");
  EXPECT_EQ(handler.Lines,
            (std::vector<std::string>{
                "error:calc.g(2): Token type 300 of \"BIG\" in \"" + file + "\" is outside the range 0..255.",
                "error:calc.g(2): Token type -1 of \"HUGE\" in \"" + file + "\" is outside the range 0..255.",
                "error:calc.g(2): Token type 256 of \"\"far\"\" in \"" + file + "\" is outside the range 0..255.",
            }));
}

TEST(VocabularyNames, DirectoriesGetOneSeparatorAndFileNamesLoseTheirDirectory) {
  EXPECT_EQ(kiv::VocabularyFileName("", "Calc"), "CalcTokens.txt");
  EXPECT_EQ(kiv::VocabularyFileName("x/", "Calc"), kiv::VocabularyFileName("x", "Calc"));
  EXPECT_EQ(kiv::WithTrailingSeparator("c:\\work\\"), "c:\\work\\");
  EXPECT_EQ(kiv::BaseFileName("c:\\work\\calc.g"), "calc.g");
}

} // namespace
