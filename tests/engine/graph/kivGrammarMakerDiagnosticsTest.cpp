// kivGrammarMakerDiagnosticsTest.cpp - every message of the grammar maker with its text and
// position, what is (not) built after it, and the panics of callbacks made out of order.
#include <gtest/gtest.h>

#include "tests/engine/graph/kivGraphTestSupport.h"

using namespace kivgraphtest;

namespace {
using Lines = std::vector<std::string>;
} // namespace

TEST(GrammarMakerDiagnostics, RuleNameCase) {
  ParsedGrammar Parser(ParserFile("Expr : A ;\n"));
  EXPECT_EQ(Parser.Tool.Lines, Lines{"error t.g 4:1 Lexical rule \"Expr\" defined outside of lexer."});
  ASSERT_NE(Parser.Rule("mexpr"), nullptr);
  EXPECT_EQ(Parser.Rule("mexpr")->GetRuleName(), "expr");

  ParsedGrammar Lexer(LexerFile("rest : 'a' ;\n"));
  EXPECT_EQ(Lexer.Tool.Lines,
            Lines{"error t.g 3:1 Lexical rule names must begin with captal letter. \"rest\" is not."});
  ASSERT_NE(Lexer.Rule("REST"), nullptr);
  EXPECT_EQ(Lexer.Rule("REST")->GetRuleName(), "REST");
}

TEST(GrammarMakerDiagnostics, CharactersOutsideALexerAddNothing) {
  ParsedGrammar P(ParserFile("r : 'a' A 'b'..'c' ;\n"));
  EXPECT_EQ(P.Tool.Lines, (Lines{"error t.g 4:5 Character literal only valid in lexer.",
                                 "error t.g 4:11 Character range only valid in lexer."}));
  EXPECT_EQ(P.Dump("r"), "rule r #0\n"
                         "  alt 1\n"
                         "    A <4>\n"
                         "    [RuleEnd r]\n");
}

// A reversed range is reported at the first end's line and the last end's column. A one-character
// range is fine; a token range needs two different tokens in ascending order.
TEST(GrammarMakerDiagnostics, MalformedRanges) {
  ParsedGrammar Lexer(LexerFile("R : 'z'..'a' 'a'..'a' ;\n"));
  EXPECT_EQ(Lexer.Tool.Lines, Lines{"error t.g 3:10 Malformed range."});
  EXPECT_EQ(Lexer.Dump("mR"), "rule R #0\n"
                              "  alt 1\n"
                              "    a..a\n"
                              "    [RuleEnd R]\n");

  ParsedGrammar Parser(ParserFile("r : A..A B..A A..\"end\" ;\n"));
  EXPECT_EQ(Parser.Tool.Lines, (Lines{"error t.g 4:8 Malformed range.", "error t.g 4:13 Malformed range."}));
  EXPECT_EQ(Parser.Dump("r"), "rule r #0\n"
                              "  alt 1\n"
                              "    A..\"end\"\n"
                              "    [RuleEnd r]\n");
}

// An end the vocabulary does not hold has no type to order by: it is reported like an unknown
// token reference or literal, and no range is made.
TEST(GrammarMakerDiagnostics, TokenRangeWithAnUnknownEnd) {
  ParsedGrammar P(ParserFile("r : Q..\"zz\" A..R ;\n"));
  EXPECT_EQ(P.Tool.Lines, (Lines{"error t.g 4:5 Undefined token symbol: Q", "error t.g 4:8 Undefined literal: \"zz\"",
                                 "error t.g 4:16 Undefined token symbol: R"}));
  EXPECT_EQ(P.Dump("r"), "rule r #0\n"
                         "  alt 1\n"
                         "    [RuleEnd r]\n");
}

TEST(GrammarMakerDiagnostics, ParserOnlyConstructsInALexer) {
  ParsedGrammar P(LexerFile("R : A..B id ~X v=Y[3] ;\n"));
  EXPECT_EQ(P.Tool.Lines, (Lines{"error t.g 3:5 Token range not allowed in lexer.",
                                 "error t.g 3:10 Parser rule \"id\"refenced in lexer.",
                                 "error t.g 3:14 ~TOKEN is not allowed in lexer."}));
  EXPECT_EQ(P.Dump("mR"), "rule R #0\n"
                          "  alt 1\n"
                          "    mX\n"
                          "    v=mY[3]\n"
                          "    [RuleEnd R]\n");
  EXPECT_EQ(P.Grammar->getRuleSymbol("id"), nullptr);
}

TEST(GrammarMakerDiagnostics, LexerOnlyConstructsInAParser) {
  ParsedGrammar P(ParserFile("r : v=A B[x] Q ;\n"));
  EXPECT_EQ(P.Tool.Lines, (Lines{"error t.g 4:5 Assignment from token reference only allowed in lexer.",
                                 "error t.g 4:10 Token reference arguments only allowed in lexer.",
                                 "error t.g 4:14 Undefined token symbol: Q"}));
  EXPECT_EQ(P.Dump("r"), "rule r #0\n"
                         "  alt 1\n"
                         "    A <4>\n"
                         "    B <5>\n"
                         "    Q <0>\n"
                         "    [RuleEnd r]\n");
}

// The parser never passes "^"; a lexer token reference that carries one is reported once,
// although it becomes a rule reference.
TEST(GrammarMakerDiagnostics, TreeRootInALexer) {
  ParsedGrammar P(LexerFile(""));
  TkivGrammarMaker& M = *P.Maker;
  M.defineRule(Tok(TT_UPPER_ID, "R", 5, 1), "public", true, "");
  M.beginAlternative(true);
  M.addTokenRef(nullptr, Tok(TT_UPPER_ID, "X", 5, 5), nullptr, nullptr, 0, 2, false);
  M.addRuleRef(nullptr, Tok(TT_UPPER_ID, "Y", 5, 8), nullptr, nullptr, 2);
  M.endAlternative();
  M.endRule("");
  EXPECT_EQ(P.Tool.Lines, (Lines{"error t.g 5:5 AST specification \"^\" not allowed in lexer.",
                                 "error t.g 5:8 AST specification \"^\" not allowed in lexer."}));
  EXPECT_EQ(P.Dump("mR"), "rule R #0\n"
                          "  alt 1\n"
                          "    mX ^\n"
                          "    mY ^\n"
                          "    [RuleEnd R]\n");
}

// "~" before a suffix is reported at the block's "("; an inverted optional block also cannot be
// built as a set, since it has an empty alternative.
TEST(GrammarMakerDiagnostics, InversionThatCannotBeBuilt) {
  ParsedGrammar Lexer(LexerFile("A : ~('a')? ~('b')+ ~('c')* ~('d')=> 'e' ;\n"));
  EXPECT_EQ(Lexer.Tool.Lines, (Lines{"error t.g 3:6 \"~\" cannot be applied to (...)? subrule.",
                                     "error t.g 3:6 This subrule cannot be inverted.",
                                     "error t.g 3:14 \"~\" cannot be applied to (...)+ subrule.",
                                     "error t.g 3:22 \"~\" cannot be applied to (...)* subrule.",
                                     "error t.g 3:30 \"~\" cannot be applied to syntactic predicate."}));

  ParsedGrammar Parser(ParserFile("r : ~( A B ) ~( s ) ;\ns : C ;\n"));
  EXPECT_EQ(Parser.Tool.Lines, (Lines{"error t.g 4:6 This subrule cannot be inverted.",
                                      "error t.g 4:15 This subrule cannot be inverted."}));
}

TEST(GrammarMakerDiagnostics, ErrorFlagAbortsTheGrammarAtTheEnd) {
  ParsedGrammar P(ParserFile("r : A ;\n"));
  TkivGrammarMaker& M = *P.Maker;
  M.endGrammarFile();
  EXPECT_EQ(P.Tool.Lines, Lines{});
  M.markGrammarError();
  M.endGrammarFile();
  EXPECT_EQ(P.Tool.Lines, Lines{"error  0:0 Aborting grammar \"P\" do to errors."});
  EXPECT_EQ(M.getGrammar(), nullptr);
  M.abortGrammar();
  EXPECT_EQ(P.Tool.Lines.back(), "error  0:0 Aborting grammar \"unknown\" do to errors.");
}

// A reset returns the maker to its state after construction, keeping only the units collected
// from the uses section.
TEST(GrammarMakerDiagnostics, ResetKeepsOnlyTheUnitList) {
  ParsedGrammar P("unit U;\nuses { Foo; Bar; foo; }\nparser P;\noptions { importVocab = V; }\nr : A ;\n");
  EXPECT_EQ(P.Tool.Lines, Lines{});
  EXPECT_TRUE(P.Grammar->getUses().Contains("Foo"));
  TkivGrammarMaker& M = *P.Maker;
  M.markGrammarError();
  M.resetGrammars();
  M.endGrammarFile();
  EXPECT_EQ(P.Tool.Lines, Lines{});
  EXPECT_EQ(M.UsesUnits().Names(), (std::vector<std::string>{"Bar", "Foo"}));
  M.startParserGrammar("t.g", Tok(TT_UPPER_ID, "Q"), nullptr);
  EXPECT_TRUE(M.getGrammar()->getUses().Contains("Bar"));
  EXPECT_THROW(M.beginAlternative(true), EkivPanic);
}

TEST(GrammarMakerDiagnostics, PanicsOfCallbacksOutOfOrder) {
  ParsedGrammar P(ParserFile(""));
  TkivGrammarMaker& M = *P.Maker;
  EXPECT_THROW(M.beginExceptionGroup(), EkivPanic);
  EXPECT_EQ(P.Tool.Lines.back(), "panic Internal: \"beginExceptionGroup\" called outside of a rule block");
  EXPECT_THROW(M.addExceptionHandler(Tok(TT_ARGUMENT, "E"), Tok(TT_ACTION, "{}")), EkivPanic);
  EXPECT_EQ(P.Tool.Lines.back(), "panic Exception handler processing internal error...");
  EXPECT_THROW(M.addAction(Tok(TT_ACTION, "{}")), EkivPanic);
  EXPECT_EQ(P.Tool.Lines.back(), "panic Internal: \"addAction\" called outside of a rule block");

  M.defineRule(Tok(TT_LOWER_ID, "r"), "public", true, "");
  EXPECT_NO_THROW(M.beginExceptionGroup());
  M.openSubrule(nullptr, Tok(kiv::kivgrammar::TT_LPAREN, "("), 0);
  EXPECT_THROW(M.beginExceptionGroup(), EkivPanic);
  EXPECT_EQ(P.Tool.Lines.back(), "panic Internal: \"beginExceptionGroup\" called outside of a rule block");
  M.beginAlternative(true);
  M.endAlternative();
  EXPECT_THROW(M.addWildcard(Tok(TT_DOT, "."), nullptr, 1), EkivPanic);
  EXPECT_EQ(P.Tool.Lines.back(), "panic Internal: \"addWildcard\" called outside of an alternative");
}
