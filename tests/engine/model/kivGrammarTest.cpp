// kivGrammarTest.cpp - grammar options with their diagnostics, the uses lists and the rule map.
#include <gtest/gtest.h>

#include <memory>

#include "engine/model/kivGrammar.h"
#include "engine/model/kivGrammarSymbol.h"
#include "tests/engine/model/kivModelTestSupport.h"

namespace {

using namespace kivtest;

class GrammarOptions : public ::testing::Test {
protected:
  RecordingHandler handler;
  TkivTool tool{nullptr, "calc.g", "", "", &handler};
  std::shared_ptr<TkivLexerGrammar> lexer = Make<TkivLexerGrammar>();
  std::shared_ptr<TkivParserGrammar> parser = Make<TkivParserGrammar>();

  template <class G>
  std::shared_ptr<G> Make() {
    auto grammar = std::make_shared<G>(Upper("Calc"), tool, nullptr);
    grammar->setFileName("calc.g");
    return grammar;
  }
};

TEST_F(GrammarOptions, KMustBeAPositiveIntegerAndItsNameIsCaseSensitive) {
  EXPECT_TRUE(parser->setOption(Lower("k"), Int("3", 4)));
  EXPECT_EQ(parser->getK(), 3);
  EXPECT_FALSE(parser->setOption(Lower("k"), Int("0", 5)));
  EXPECT_FALSE(lexer->setOption(Lower("k"), Int("-2", 6)));
  EXPECT_FALSE(parser->setOption(Lower("k"), Upper("two", 7)));
  EXPECT_EQ(parser->getK(), 3);
  EXPECT_EQ(lexer->getK(), 1);
  EXPECT_FALSE(parser->setOption(Upper("K"), Int("2", 8)));
  EXPECT_EQ(parser->getK(), 3);
  EXPECT_EQ(handler.Lines, (std::vector<std::string>{
                               "error:calc.g(5): option \"k\" must be a positive integer",
                               "error:calc.g(6): option \"k\" must be a positive integer",
                               "error:calc.g(7): option \"k\" must be a positive integer",
                               "warning:calc.g(8): Illegal option \"K\".",
                           }));
}

// A k of millions once made every graph element allocate millions of cache slots (and k + 1
// overflowed at the largest integer); depths beyond 255 cannot be analysed anyway.
TEST_F(GrammarOptions, KIsAtMost255) {
  EXPECT_TRUE(parser->setOption(Lower("k"), Int("255", 2)));
  EXPECT_EQ(parser->getK(), 255);
  EXPECT_FALSE(parser->setOption(Lower("k"), Int("256", 3)));
  EXPECT_FALSE(parser->setOption(Lower("k"), Int("2147483647", 4)));
  EXPECT_EQ(parser->getK(), 255);
  EXPECT_EQ(handler.Lines, (std::vector<std::string>{
                               "error:calc.g(3): option \"k\" must not exceed 255",
                               "error:calc.g(4): option \"k\" must not exceed 255",
                           }));
}

TEST_F(GrammarOptions, LexerBooleansTakeTrueOrFalseExactly) {
  EXPECT_TRUE(lexer->setOption(Lower("testLiterals"), Upper("true")));
  EXPECT_TRUE(lexer->getTestLiterals());
  EXPECT_FALSE(lexer->setOption(Lower("testLiterals"), Upper("FALSE", 2)));
  EXPECT_TRUE(lexer->getTestLiterals());
  EXPECT_TRUE(lexer->setOption(Lower("caseSensitive"), Upper("false")));
  EXPECT_FALSE(lexer->getCaseSensitive());
  // A string is not the identifier, even with the same letters.
  EXPECT_FALSE(lexer->setOption(Lower("caseSensitive"), Str("\"true\"", 3)));
  EXPECT_FALSE(lexer->getCaseSensitive());
  EXPECT_EQ(handler.Lines, (std::vector<std::string>{
                               "error:calc.g(2): Value for \"testLiterals\" must be true or false",
                               "error:calc.g(3): Value for \"caseSensitive\" must be true or false",
                           }));
  EXPECT_EQ(tool.GetErrorCount(), 2);
}

TEST_F(GrammarOptions, FilterTakesABooleanOrARuleName) {
  EXPECT_FALSE(lexer->getFilter());
  EXPECT_TRUE(lexer->setOption(Lower("filter"), Upper("true")));
  EXPECT_TRUE(lexer->getFilter());
  EXPECT_EQ(lexer->getFilterRule(), "");
  EXPECT_TRUE(lexer->setOption(Lower("filter"), Upper("IGNORE")));
  EXPECT_TRUE(lexer->getFilter());
  EXPECT_EQ(lexer->getFilterRule(), "IGNORE");
  EXPECT_TRUE(lexer->setOption(Lower("filter"), Upper("false")));
  EXPECT_FALSE(lexer->getFilter());
  EXPECT_EQ(lexer->getFilterRule(), "");
  EXPECT_FALSE(lexer->setOption(Lower("filter"), Int("1", 4)));
  EXPECT_FALSE(lexer->setOption(Lower("filter"), Upper("a.B", 5)));
  EXPECT_FALSE(lexer->getFilter());
  EXPECT_EQ(handler.Lines, (std::vector<std::string>{
                               "error:calc.g(4): Value for \"filter\" must be true, false or a rule name",
                               "error:calc.g(5): Value for \"filter\" must be true, false or a rule name",
                           }));
}

TEST_F(GrammarOptions, DefaultErrorHandlerIsAParserOptionAndOnlyAWarningInALexer) {
  EXPECT_TRUE(parser->setOption(Lower("defaultErrorHandler"), Upper("true")));
  EXPECT_TRUE(parser->getDefaultErrorHandler());
  EXPECT_FALSE(parser->setOption(Lower("defaultErrorHandler"), Upper("yes", 2)));
  EXPECT_TRUE(parser->getDefaultErrorHandler());
  EXPECT_TRUE(lexer->setOption(Lower("defaultErrorHandler"), Upper("true", 3)));
  EXPECT_FALSE(lexer->getDefaultErrorHandler());
  // Lexer options are unknown to a parser.
  EXPECT_FALSE(parser->setOption(Lower("testLiterals"), Upper("true", 4)));
  EXPECT_EQ(handler.Lines, (std::vector<std::string>{
                               "error:calc.g(2): Value for \"defaultErrorHandler\" must be true or false",
                               "warning:calc.g(3): Option \"defaultErrorHandler\" is invalid for lexer",
                               "warning:calc.g(4): Illegal option \"testLiterals\".",
                           }));
  EXPECT_EQ(tool.GetErrorCount(), 1);
}

TEST_F(GrammarOptions, UsesListsAreSortedWithoutRegardToCaseAndIgnoreDuplicates) {
  EXPECT_EQ(parser->getUses().Names(),
            (std::vector<std::string>{"Classes", "Contnrs", "kivLLkParser", "kivToken", "kivTypes", "SysUtils"}));
  lexer->getUses().Add("StrUtils");
  EXPECT_FALSE(lexer->getUses().Add("sysutils"));
  EXPECT_EQ(lexer->getUses().Names(), (std::vector<std::string>{"Classes", "Contnrs", "kivLexer", "kivToken",
                                                                "kivTypes", "StrUtils", "SysUtils"}));
}

TEST_F(GrammarOptions, RuleNamesDifferingInCaseAreOneEntryOfTheRuleMap) {
  EXPECT_EQ(lexer->getCharVocabulary().count(), 255u); // every character but code 0
  auto expr = std::make_shared<TkivRuleSymbol>("expr");
  parser->addRuleSymbol(expr);
  EXPECT_TRUE(parser->ruleDefined("EXPR"));
  EXPECT_EQ(parser->getRuleSymbol("Expr"), expr);
  EXPECT_EQ(parser->getRuleSymbol("term"), nullptr);
  EXPECT_FALSE(parser->ruleDefined("term"));
}

} // namespace
