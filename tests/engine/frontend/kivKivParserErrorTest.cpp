// kivKivParserErrorTest.cpp - syntax errors of grammar files: which token is rejected, where, and
// which callbacks were made before. Every malformed file ends with exactly one recognition exception.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/frontend/kivKivTokenTypes.h"
#include "runtime/cpp/kivExceptionMismatchedChar.h"
#include "runtime/cpp/kivExceptionMismatchedToken.h"
#include "tests/engine/frontend/kivFrontendTestSupport.h"

using namespace kiv::kivgrammar;
using kiv::test::TkivFrontendRun;
using Lines = std::vector<std::string>;

namespace {

struct SyntaxError {
  kiv::ExceptionKind Kind;
  std::string Text;
  int Type;
  int Line;
  int Column;
  std::string FileName;
  Lines Calls; // the callbacks made before the error
};

SyntaxError SyntaxErrorOf(const std::string& Text) {
  TkivFrontendRun run(Text);
  try {
    run.Parse();
  } catch (const EkivMismatchedToken& e) {
    return {e.Kind(), e.TokenText(), e.TokenType(), e.Line(), e.Column(), e.FileName(), run.Calls()};
  }
  ADD_FAILURE() << "no syntax error for: " << Text;
  return {};
}

// The calls a parser grammar P in unit U makes before its first rule.
const Lines kParserHeader = {"startParserGrammar(t.g, P, nil)", "setUnitName(U)"};

Lines Concat(Lines A, const Lines& B) {
  A.insert(A.end(), B.begin(), B.end());
  return A;
}

} // namespace

TEST(KivParserErrors, NothingMayFollowTheGrammar) {
  // A tokens section belongs to lexer grammars only: in a parser grammar it ends the grammar, and
  // the section itself is the error.
  SyntaxError e = SyntaxErrorOf("unit U;\nparser P;\ntokens {\n  A;\n}\nr : A ;\n");
  EXPECT_EQ(e.Kind, kiv::ExceptionKind::Token);
  EXPECT_EQ(e.Type, TT_TOKENS_BLOCK);
  EXPECT_EQ(e.Text, "tokens {");
  EXPECT_EQ(e.Line, 3);
  EXPECT_EQ(e.Column, 1);
  EXPECT_EQ(e.FileName, "t.g");
  EXPECT_EQ(e.Calls, Concat(kParserHeader, {"endGrammarFile()"}));

  // A stray ")" ends the rule list; the rule after it is not silently dropped.
  e = SyntaxErrorOf("unit U;\nparser P;\na : b ;\n  )\nc : d ;\n");
  EXPECT_EQ(e.Type, TT_RPAREN);
  EXPECT_EQ(e.Line, 4);
  EXPECT_EQ(e.Column, 3);
  EXPECT_EQ(e.Calls.back(), "endGrammarFile()");
  for (const std::string& call : e.Calls) EXPECT_EQ(call.find("defineRule(c"), std::string::npos);

  // Rules after the memberdef section.
  e = SyntaxErrorOf("unit U;\nparser P;\na : b ;\nmemberdef {x}\nc : d ;\n");
  EXPECT_EQ(e.Type, TT_LOWER_ID);
  EXPECT_EQ(e.Text, "c");
  EXPECT_EQ(e.Line, 5);
  EXPECT_EQ(e.Calls.at(e.Calls.size() - 2), "setMemberDef({x})");

  // A second grammar header.
  e = SyntaxErrorOf("unit U;\nparser P;\nlexer L;\n");
  EXPECT_EQ(e.Type, TT_LEXER);
  EXPECT_EQ(e.Line, 3);
}

TEST(KivParserErrors, UnexpectedEndOfInputPointsAtTheEndOfTheFile) {
  SyntaxError e = SyntaxErrorOf("unit U;\nparser P;\nr : a\n  ");
  EXPECT_EQ(e.Kind, kiv::ExceptionKind::Token);
  EXPECT_EQ(e.Type, TT_EOF);
  EXPECT_EQ(e.Text, "");
  EXPECT_EQ(e.Line, 4);
  EXPECT_EQ(e.Column, 3);

  e = SyntaxErrorOf("");
  EXPECT_EQ(e.Type, TT_EOF);
  EXPECT_EQ(e.Line, 1);
  EXPECT_EQ(e.Column, 1);
  EXPECT_TRUE(e.Calls.empty());

  // Unterminated sections stop at the end of input as well.
  for (const char* text :
       {"unit U; uses { A;", "unit U; parser P; options { k = 2;", "unit U; lexer L; tokens { A;",
        "unit U; parser P; r : ( a | b", "unit U; parser P; r [x] returns"}) {
    e = SyntaxErrorOf(text);
    EXPECT_EQ(e.Type, TT_EOF) << text;
    EXPECT_EQ(e.Column, static_cast<int>(std::string(text).size()) + 1) << text;
  }
}

TEST(KivParserErrors, MisplacedTokensInsideRules) {
  struct Case {
    const char* Rules;
    kiv::ExceptionKind Kind;
    int Type;
    std::string Text;
    int Column; // on the rules' line
  };
  const Case cases[] = {
      // "options" without a brace is the keyword, not an options block.
      {"r options ; : a ;", kiv::ExceptionKind::Token, TT_OPTIONS, "options ", 3},
      {"r : ( options : a ) ;", kiv::ExceptionKind::Token, TT_OPTIONS, "options ", 7},
      // Neither "!" nor "~" is accepted in an assignment of a token reference.
      {"r : x=ID! ;", kiv::ExceptionKind::Token, TT_BANG, "!", 9},
      {"r : x=~ID ;", kiv::ExceptionKind::TokenSet, TT_TILDE, "~", 7},
      {"r : x=\"s\" ;", kiv::ExceptionKind::TokenSet, TT_STRING, "\"s\"", 7},
      // What may stand after "~" and after a label.
      {"r : ~\"s\" ;", kiv::ExceptionKind::TokenSet, TT_STRING, "\"s\"", 6},
      {"r : l:{a} ;", kiv::ExceptionKind::TokenSet, TT_ACTION, "{a}", 7},
      {"r : l:{a}? ;", kiv::ExceptionKind::TokenSet, TT_PREDICATE, "{a}", 7},
      // An action followed by a blank and "?" is no predicate.
      {"r : {a} ? ;", kiv::ExceptionKind::Token, TT_QUESTION, "?", 9},
      {"r : 'a'..ID ;", kiv::ExceptionKind::Token, TT_UPPER_ID, "ID", 10},
      {"r : A..'a' ;", kiv::ExceptionKind::TokenSet, TT_CHAR, "a", 8},
      {"r : a ; except ;", kiv::ExceptionKind::Token, TT_SEMI, ";", 16},
      {"r returns : ;", kiv::ExceptionKind::Token, TT_COLON, ":", 11},
      {"public ;", kiv::ExceptionKind::TokenSet, TT_SEMI, ";", 8},
      {"r : a , b ;", kiv::ExceptionKind::Token, TT_COMMA, ",", 7},
  };
  for (const Case& c : cases) {
    const SyntaxError e = SyntaxErrorOf(std::string("unit U;\nparser P;\n") + c.Rules);
    EXPECT_EQ(e.Kind, c.Kind) << c.Rules;
    EXPECT_EQ(e.Type, c.Type) << c.Rules;
    EXPECT_EQ(e.Text, c.Text) << c.Rules;
    EXPECT_EQ(e.Line, 3) << c.Rules;
    EXPECT_EQ(e.Column, c.Column) << c.Rules;
  }
}

TEST(KivParserErrors, MalformedHeadersAndSections) {
  struct Case {
    const char* Text;
    kiv::ExceptionKind Kind;
    int Type;
    int Column;
  };
  const Case cases[] = {
      {"uses U;", kiv::ExceptionKind::Token, TT_USES, 1},
      {"unit 'u';", kiv::ExceptionKind::TokenSet, TT_CHAR, 6},
      {"unit U; grammar P;", kiv::ExceptionKind::TokenSet, TT_LOWER_ID, 9},
      {"unit U; type ; parser P;", kiv::ExceptionKind::Token, TT_SEMI, 14},
      {"unit U; uses { A } parser P;", kiv::ExceptionKind::Token, TT_RBRACE, 18},
      {"unit U; parser P; options { k = ; }", kiv::ExceptionKind::TokenSet, TT_SEMI, 33},
      {"unit U; parser P; options { k = a. ; }", kiv::ExceptionKind::TokenSet, TT_SEMI, 36},
      {"unit U; parser P; options { k 2; }", kiv::ExceptionKind::Token, TT_INT, 31},
      {"unit U; lexer L; tokens { a; }", kiv::ExceptionKind::Token, TT_LOWER_ID, 27},
      {"unit U; lexer L; tokens { A = B; }", kiv::ExceptionKind::Token, TT_UPPER_ID, 31},
      {"unit U; parser P; memberdecl ;", kiv::ExceptionKind::Token, TT_SEMI, 30},
  };
  for (const Case& c : cases) {
    const SyntaxError e = SyntaxErrorOf(c.Text);
    EXPECT_EQ(e.Kind, c.Kind) << c.Text;
    EXPECT_EQ(e.Type, c.Type) << c.Text;
    EXPECT_EQ(e.Line, 1) << c.Text;
    EXPECT_EQ(e.Column, c.Column) << c.Text;
  }
}

TEST(KivParserErrors, LexicalErrorsPassThroughTheParserUnchanged) {
  TkivFrontendRun run("unit U;\nparser P;\nr : a\n  # ;\n");
  try {
    run.Parse();
    FAIL() << "the lexical error must leave the parser";
  } catch (const EkivMismatchedChar& e) {
    EXPECT_EQ(e.Kind(), kiv::ExceptionKind::CharSet);
    EXPECT_EQ(e.FoundChar(), '#');
    EXPECT_EQ(e.FileName(), "t.g");
    EXPECT_EQ(e.Line(), 4);
    EXPECT_EQ(e.Column(), 3);
  }
  // The parser decides on two tokens, so the error comes before the element "a" is reported.
  EXPECT_EQ(run.Calls(), Concat(kParserHeader, {"defineRule(r, public, true, )", "beginAlternative(true)"}));
}

TEST(KivParserErrors, AbsurdlyDeepSubrulesAreASyntaxErrorNotAStackOverflow) {
  const std::string header = "unit U;\nparser P;\nr : ";
  // 255 levels are accepted ...
  TkivFrontendRun deep(header + std::string(255, '(') + "a" + std::string(255, ')') + " ;");
  EXPECT_NO_THROW(deep.Parse());
  // ... the 256th "(" is rejected where it stands, however many follow.
  const SyntaxError e = SyntaxErrorOf(header + std::string(100000, '('));
  EXPECT_EQ(e.Type, TT_LPAREN);
  EXPECT_EQ(e.Line, 3);
  EXPECT_EQ(e.Column, 4 + 256);
}
