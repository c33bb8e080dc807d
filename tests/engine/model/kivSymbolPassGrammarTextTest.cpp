// kivSymbolPassGrammarTextTest.cpp - the symbol pass driven by the grammar-file parser over real grammar text.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "engine/frontend/kivKivLexer.h"
#include "engine/frontend/kivKivParser.h"
#include "engine/model/kivVocabularyWriter.h"
#include "tests/engine/model/kivModelTestSupport.h"

namespace {

using namespace kivtest;

// Parses the text as calc.g with a symbol pass and answers the pass.
std::shared_ptr<SymbolPass> Parse(const std::string& Text, TkivTool& Tool, const std::string& ExchangeDir = "") {
  std::istringstream input(Text);
  auto pass = std::make_shared<SymbolPass>(Tool, nullptr, ExchangeDir);
  auto lexer = kiv::MakeLexer<TkivKivLexer>(input);
  lexer->InputState->SetFileName("calc.g");
  TkivKivParser parser(lexer, pass, Tool, ExchangeDir);
  parser.InputState->SetFileName("calc.g");
  parser.file();
  return pass;
}

int TypeOf(const IkivGrammarPtr& Grammar, const std::string& Name) {
  const IkivTokenSymbolPtr symbol = Grammar->getTokenManager()->getTokenSymbol(Name);
  return symbol ? symbol->getTokenType() : -100;
}

TEST(SymbolPassText, LexerGrammarNumbersTokensAndReportsAtTheirLines) {
  RecordingHandler handler;
  TkivTool tool(nullptr, "calc.g", "", "", &handler);
  const auto pass = Parse("unit CalcLexer;\n"
                          "uses { StrUtils; }\n"
                          "lexer Calc;\n"
                          "options { k = 2; caseSensitive = false; filter = WS; Greedy = true; }\n"
                          "tokens {\n"
                          "  BEGIN = \"begin\";\n"
                          "  \"end\";\n"
                          "  \"begin\";\n"
                          "  \"a-b\";\n"
                          "}\n"
                          "ID : LETTER (LETTER | DIGIT)* ;\n"
                          "protected LETTER : 'a'..'z' ;\n"
                          "protected DIGIT : '0'..'9' ;\n"
                          "WS : ' ' ;\n"
                          "ID : 'x' ;\n",
                          tool);
  const IkivGrammarPtr grammar = pass->getGrammar();
  ASSERT_NE(grammar, nullptr);
  EXPECT_EQ(grammar->getUnitFileName(), "CalcLexer.pas");
  EXPECT_TRUE(grammar->getUses().Contains("StrUtils"));
  EXPECT_EQ(grammar->getK(), 2);
  const auto lexer = std::dynamic_pointer_cast<IkivLexerGrammar>(grammar);
  ASSERT_NE(lexer, nullptr);
  EXPECT_FALSE(lexer->getCaseSensitive());
  EXPECT_EQ(lexer->getFilterRule(), "WS");
  EXPECT_EQ(TypeOf(grammar, "\"begin\""), 4);
  EXPECT_EQ(TypeOf(grammar, "\"end\""), 5);
  EXPECT_EQ(TypeOf(grammar, "ID"), 6);
  EXPECT_EQ(TypeOf(grammar, "LETTER"), 7);
  EXPECT_EQ(TypeOf(grammar, "DIGIT"), 8);
  EXPECT_EQ(TypeOf(grammar, "WS"), 9);
  EXPECT_EQ(grammar->getRuleSymbol("mLETTER")->getAccess(), "protected");
  EXPECT_EQ(handler.Lines, (std::vector<std::string>{
                               "warning:calc.g(4): Illegal option \"Greedy\".",
                               "warning:calc.g(8): Redefinition of literal in tokens {...} \"\"begin\"\".",
                               "error:calc.g(9): Invalid string literal \"a-b\"",
                               "error:calc.g(15): Redefinition of rule \"mID\".",
                           }));
}

TEST(SymbolPassText, ParserGrammarImportsTheLexerVocabularyThroughItsOption) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "kiv-symbol-pass-text";
  fs::remove_all(dir);
  fs::create_directories(dir);
  RecordingHandler handler;
  TkivTool tool(nullptr, "calc.g", "", dir.string(), &handler);

  const auto lexerPass = Parse("unit CalcLexer;\n"
                               "lexer Calc;\n"
                               "options { exportVocab = Calc; }\n"
                               "tokens { PLUS = \"plus\"; }\n"
                               "NUM : ('0'..'9')+ ;\n",
                               tool, dir.string());
  kiv::WriteVocabularyFile(*lexerPass->getGrammar(), dir.string());

  const auto parserPass = Parse("unit CalcParser;\n"
                                "parser CalcParser;\n"
                                "options { importVocab = Calc; defaultErrorHandler = true; }\n"
                                "expr : NUM (PLUS NUM)* ;\n"
                                "start : expr EOF ;\n",
                                tool, dir.string());
  const IkivGrammarPtr parser = parserPass->getGrammar();
  EXPECT_TRUE(handler.Lines.empty()) << handler.Lines.front();
  EXPECT_EQ(TypeOf(parser, "PLUS"), 4);
  EXPECT_EQ(TypeOf(parser, "NUM"), 5);
  EXPECT_TRUE(parser->getDefaultErrorHandler());
  EXPECT_TRUE(parser->getRuleSymbol("expr")->isDefined());
  EXPECT_EQ(parser->getRules().size(), 2u);

  fs::remove_all(dir);
}

} // namespace
