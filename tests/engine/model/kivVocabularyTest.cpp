// kivVocabularyTest.cpp - vocabulary files: the written lines, reading them back, and bad files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "engine/model/kivGrammar.h"
#include "engine/model/kivGrammarSymbol.h"
#include "engine/model/kivTokenParser.h"
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

  std::string Dir() const { return dir.string(); }
  std::string PathOf(const std::string& name) const { return (dir / name).string(); }
  void WriteFile(const std::string& name, const std::string& text) const {
    std::ofstream(PathOf(name), std::ios::binary) << text;
  }
  std::string ReadFile(const std::string& name) const {
    std::ifstream in(PathOf(name), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  fs::path dir;
  RecordingHandler handler;
  TkivTool tool{nullptr, "calc.g", "", "", &handler};
};

// The lexer grammar of lexer.g with a tokens section, two token rules and a paraphrased token.
IkivGrammarPtr MakeLexer(SymbolPass& pass) {
  pass.startLexerGrammar("some/dir/lexer.g", Upper("CalcLex"), nullptr);
  pass.setUnitName("CalcLexer");
  pass.defineTokensEntry(Upper("BEGIN"), Str("\"begin\""));
  pass.defineTokensEntry(nullptr, Str("\"end\""));
  pass.defineTokensEntry(Upper("SEMI"), nullptr);
  pass.defineRule(Upper("ID"), "public", true, "");
  pass.defineRule(Upper("INT"), "public", true, "");
  pass.getGrammar()->getTokenManager()->getTokenSymbol("ID")->setParaphrase("\"an identifier\"");
  return pass.getGrammar();
}

TEST_F(Vocabulary, WriterLinesNameTokensLabelsAndParaphrases) {
  SymbolPass pass(tool, nullptr, "");
  const IkivGrammarPtr lexer = MakeLexer(pass);
  const std::string fileName = kiv::WriteVocabularyFile(*lexer, Dir());
  EXPECT_EQ(fileName, PathOf("CalcLexerTokens.txt"));
  // Without an export vocabulary the unit name becomes it.
  EXPECT_EQ(lexer->getExportVocab(), "CalcLexer");
  EXPECT_EQ(ReadFile("CalcLexerTokens.txt"), "// $Kiv Parser Generator: lexer.g -> CalcLexerTokens.txt$\r\n"
                                              "CalcLex\r\n"
                                              "TT_EOF=1\r\n"
                                              "BEGIN=\"begin\"=4\r\n"
                                              "LT_end=\"end\"=5\r\n"
                                              "TT_SEMI=6\r\n"
                                              "TT_ID(\"an identifier\")=7\r\n"
                                              "TT_INT=8\r\n");
  // The label given while writing stays on the literal.
  const auto end = std::dynamic_pointer_cast<IkivStringSymbol>(lexer->getTokenManager()->getTokenSymbol("\"end\""));
  EXPECT_EQ(end->getLabel(), "LT_end");
}

TEST_F(Vocabulary, WrittenFileReadsBackToTheSameNamesNumbersLabelsAndParaphrases) {
  SymbolPass pass(tool, nullptr, "");
  const IkivGrammarPtr lexer = MakeLexer(pass);
  lexer->setExportVocab("Calc");
  kiv::WriteVocabularyFile(*lexer, Dir());

  SymbolPass reader(tool, nullptr, Dir());
  reader.startParserGrammar("calc.g", Lower("calc"), nullptr);
  reader.setGrammarOption(Lower("importVocab"), Upper("Calc", 2));
  const IkivGrammarPtr parser = reader.getGrammar();
  ASSERT_NE(parser->getImportVocab(), nullptr);
  EXPECT_EQ(parser->getImportVocab()->TokenText(), kiv::WithTrailingSeparator(Dir()) + "Calc");

  const IkivTokenManagerPtr written = lexer->getTokenManager();
  const IkivTokenManagerPtr read = parser->getTokenManager();
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
  // Types the importing grammar adds later follow the imported ones.
  EXPECT_EQ(read->nextTokenType(), 9);
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
  SymbolPass reader(tool, nullptr, Dir());
  reader.startParserGrammar("calc.g", Lower("calc"), nullptr);
  reader.setGrammarOption(Lower("importVocab"), Upper("Hand"));
  const IkivTokenManagerPtr read = reader.getGrammar()->getTokenManager();
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

TEST_F(Vocabulary, ImportedTypesPushTheNextTypeOfTheImporter) {
  WriteFile("BigTokens.txt", "Big\r\nTT_A=4\r\nTT_Z=40\r\n");
  SymbolPass lexer(tool, nullptr, Dir());
  lexer.startLexerGrammar("calc.g", Upper("Calc"), nullptr);
  lexer.setGrammarOption(Lower("importVocab"), Upper("Big"));
  lexer.defineRule(Upper("NEW"), "public", true, "");
  lexer.defineRule(Upper("A"), "public", true, "");
  const IkivTokenManagerPtr manager = lexer.getGrammar()->getTokenManager();
  EXPECT_EQ(manager->getTokenSymbol("NEW")->getTokenType(), 41);
  EXPECT_EQ(manager->getTokenSymbol("A")->getTokenType(), 4);
}

TEST_F(Vocabulary, MissingFileIsAWarningAndForgetsTheRequest) {
  SymbolPass reader(tool, nullptr, Dir());
  reader.startParserGrammar("calc.g", Lower("calc"), nullptr);
  reader.setGrammarOption(Lower("importVocab"), Upper("Missing", 2));
  EXPECT_EQ(reader.getGrammar()->getImportVocab(), nullptr);
  EXPECT_EQ(handler.Lines, std::vector<std::string>{"warning:calc.g(2): Cannot import \"" +
                                                    kiv::WithTrailingSeparator(Dir()) + "MissingTokens.txt\"."});
  EXPECT_EQ(tool.GetErrorCount(), 0);
  EXPECT_EQ(reader.getGrammar()->getTokenManager()->getVocabulary().size(), 2u);
}

TEST_F(Vocabulary, OnlyTheFirstImportRequestIsRead) {
  WriteFile("OneTokens.txt", "One\r\nTT_ONE=4\r\n");
  WriteFile("TwoTokens.txt", "Two\r\nTT_TWO=5\r\n");
  SymbolPass reader(tool, nullptr, Dir());
  reader.startParserGrammar("calc.g", Lower("calc"), nullptr);
  reader.setGrammarOption(Lower("importVocab"), Upper("One"));
  reader.setGrammarOption(Lower("importVocab"), Upper("Two"));
  const IkivTokenManagerPtr manager = reader.getGrammar()->getTokenManager();
  EXPECT_TRUE(manager->tokenDefined("ONE"));
  EXPECT_FALSE(manager->tokenDefined("TWO"));
}

TEST_F(Vocabulary, SyntaxErrorKeepsTheEntriesBeforeItAndWarnsWithTheLine) {
  WriteFile("BadTokens.txt", "Bad\r\nTT_A=4\r\nTT_B=x\r\nTT_C=6\r\n");
  SymbolPass reader(tool, nullptr, Dir());
  reader.startParserGrammar("calc.g", Lower("calc"), nullptr);
  reader.setGrammarOption(Lower("importVocab"), Upper("Bad", 2));
  const IkivTokenManagerPtr manager = reader.getGrammar()->getTokenManager();
  EXPECT_TRUE(manager->tokenDefined("A"));
  EXPECT_FALSE(manager->tokenDefined("B"));
  EXPECT_FALSE(manager->tokenDefined("C"));
  EXPECT_EQ(handler.Lines, std::vector<std::string>{"warning:calc.g(2): Cannot import \"" +
                                                    kiv::WithTrailingSeparator(Dir()) +
                                                    "BadTokens.txt\" beyond line 3; only the entries before it were read."});
  EXPECT_EQ(tool.GetErrorCount(), 0);
}

TEST_F(Vocabulary, LexicalErrorsAndUnterminatedCommentsStopReadingToo) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"Bad\r\nTT_A=4\r\n\r\nTT_B=5#\r\n", 4},   // a character that starts no token
      {"Bad\r\nTT_A=4\r\n// no line break", 3},   // a line comment must end with a line break
      {"Bad\r\nTT_A=4\r\n(* open\r\n", 4},        // unterminated block comment
      {"Bad\r\nTT_A=4\r\n\"open=5\r\n", 3},       // unterminated string: breaks inside are not lines
      {"Bad\r\nTT_A=4\r\n=", 3},                  // an entry cannot start with "="
  };
  for (const auto& [text, line] : cases) {
    handler.Lines.clear();
    WriteFile("BadTokens.txt", text);
    SymbolPass reader(tool, nullptr, Dir());
    reader.startParserGrammar("calc.g", Lower("calc"), nullptr);
    reader.setGrammarOption(Lower("importVocab"), Upper("Bad", 2));
    EXPECT_TRUE(reader.getGrammar()->getTokenManager()->tokenDefined("A")) << text;
    ASSERT_EQ(handler.Lines.size(), 1u) << text;
    EXPECT_NE(handler.Lines[0].find("beyond line " + std::to_string(line) + ";"), std::string::npos)
        << text << " -> " << handler.Lines[0];
  }
}

TEST_F(Vocabulary, TypesOutsideTheSetRangeAreErrorsAndStayUndefined) {
  WriteFile("WideTokens.txt", "Wide\r\nTT_OK=255\r\nTT_BIG=300\r\nTT_HUGE=99999999999\r\n\"far\"=256\r\n");
  SymbolPass reader(tool, nullptr, Dir());
  reader.startParserGrammar("calc.g", Lower("calc"), nullptr);
  reader.setGrammarOption(Lower("importVocab"), Upper("Wide", 2));
  const IkivTokenManagerPtr manager = reader.getGrammar()->getTokenManager();
  EXPECT_TRUE(manager->tokenDefined("OK"));
  EXPECT_FALSE(manager->tokenDefined("BIG"));
  EXPECT_FALSE(manager->tokenDefined("HUGE"));
  EXPECT_FALSE(manager->tokenDefined("\"far\""));
  const std::string file = kiv::WithTrailingSeparator(Dir()) + "WideTokens.txt";
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
  EXPECT_EQ(kiv::BaseFileName("/tmp/calc.g"), "calc.g");
  EXPECT_EQ(kiv::BaseFileName("calc.g"), "calc.g");
}

} // namespace
