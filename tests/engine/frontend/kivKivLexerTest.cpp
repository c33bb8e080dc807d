// kivKivLexerTest.cpp - the grammar-file lexer: token types and texts, positions, and lexical errors.
// Errors are checked by kind, expected set, found character and position for every error class.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/frontend/kivKivLexer.h"
#include "engine/frontend/kivKivTokenTypes.h"
#include "runtime/cpp/kivExceptionMismatchedChar.h"
#include "runtime/cpp/kivUtils.h"

using namespace kiv::kivgrammar;

namespace {

struct Lexed {
  int Type;
  std::string Text;
  int Line;
  int Column;
  bool operator==(const Lexed&) const = default;
};

[[maybe_unused]] std::ostream& operator<<(std::ostream& os, const Lexed& t) {
  return os << t.Type << " \"" << t.Text << "\" " << t.Line << ":" << t.Column;
}

// Every token up to and including the end-of-input token.
std::vector<Lexed> LexAll(const std::string& Text) {
  std::istringstream input(Text);
  auto lexer = kiv::MakeLexer<TkivKivLexer>(input);
  lexer->InputState->SetFileName("t.g");
  std::vector<Lexed> tokens;
  for (;;) {
    const IkivTokenPtr token = lexer->NextToken();
    tokens.push_back({token->TokenType(), token->TokenText(), token->Line(), token->Column()});
    if (token->TokenType() == TT_EOF || tokens.size() > 1000) return tokens;
  }
}

std::vector<int> TypesOf(const std::string& Text) {
  std::vector<int> types;
  for (const Lexed& t : LexAll(Text)) types.push_back(t.Type);
  return types;
}

std::vector<std::pair<int, std::string>> TypesAndTexts(const std::string& Text) {
  std::vector<std::pair<int, std::string>> result;
  for (const Lexed& t : LexAll(Text)) result.emplace_back(t.Type, t.Text);
  return result;
}

// The first token of Text.
Lexed First(const std::string& Text) { return LexAll(Text).front(); }

// The lexical error that lexing Text raises, seen as its fields.
struct LexicalError {
  kiv::ExceptionKind Kind;
  std::string Expected; // the expected set as diagnostics print it
  char Found;
  std::string FileName;
  int Line;
  int Column;
};

LexicalError ErrorOf(const std::string& Text) {
  try {
    LexAll(Text);
  } catch (const EkivMismatchedChar& e) {
    return {e.Kind(), CharSetText(e.ExpectedSet()), e.FoundChar(), e.FileName(), e.Line(), e.Column()};
  }
  ADD_FAILURE() << "no lexical error for: " << Text;
  return {};
}

const std::string kTokenStart = "#9..#10,#13,' '..'\"','$',''''..',','.'..';','=','?','A'..'[','a'..'~'";

} // namespace

TEST(KivLexer, KeywordsComeFromTheLiteralTableAndAreCaseSensitive) {
  const char* keywords[] = {"unit",    "uses",    "const",      "type",      "lexer",   "parser",
                            "options", "tokens",  "memberdecl", "memberdef", "private", "protected",
                            "public",  "returns", "local",      "except",    "finally"};
  int expected = TT_UNIT;
  for (const char* keyword : keywords) {
    const Lexed t = First(keyword);
    EXPECT_EQ(t.Type, expected) << keyword;
    EXPECT_EQ(t.Text, keyword);
    ++expected;
  }
  EXPECT_EQ(expected, TT_FINALLY + 1);
  EXPECT_EQ(TypesOf("Unit uNit units unit_2 X_1y"),
            (std::vector<int>{TT_UPPER_ID, TT_LOWER_ID, TT_LOWER_ID, TT_LOWER_ID, TT_UPPER_ID, TT_EOF}));
}

TEST(KivLexer, PunctuationTakesTwoCharactersWhereTheyFormAToken) {
  EXPECT_EQ(TypesAndTexts("=>..=.( )}:;,?+*~|!...= ="),
            (std::vector<std::pair<int, std::string>>{
                {TT_IMPLIES, "=>"}, {TT_DOTDOT, ".."}, {TT_ASSIGN, "="}, {TT_DOT, "."},    {TT_LPAREN, "("},
                {TT_RPAREN, ")"},   {TT_RBRACE, "}"},  {TT_COLON, ":"},  {TT_SEMI, ";"},   {TT_COMMA, ","},
                {TT_QUESTION, "?"}, {TT_PLUS, "+"},    {TT_STAR, "*"},   {TT_TILDE, "~"},  {TT_BAR, "|"},
                {TT_BANG, "!"},     {TT_DOTDOT, ".."}, {TT_DOT, "."},    {TT_ASSIGN, "="}, {TT_ASSIGN, "="},
                {TT_EOF, ""}}));
}

TEST(KivLexer, BlockKeywordsSwallowBlanksAndCommentsUpToTheBrace) {
  EXPECT_EQ(TypesAndTexts("options // note\r\n  (* c *) /* d */ {"),
            (std::vector<std::pair<int, std::string>>{{TT_OPTIONS_BLOCK, "options // note\r\n  (* c *) /* d */ {"},
                                                      {TT_EOF, ""}}));
  EXPECT_EQ(TypesAndTexts("uses{tokens\t{"),
            (std::vector<std::pair<int, std::string>>{
                {TT_USES_BLOCK, "uses{"}, {TT_TOKENS_BLOCK, "tokens\t{"}, {TT_EOF, ""}}));
  // Without a brace the keyword stays, with the blanks it scanned.
  EXPECT_EQ(
      TypesAndTexts("options ;tokens\nx"),
      (std::vector<std::pair<int, std::string>>{
          {TT_OPTIONS, "options "}, {TT_SEMI, ";"}, {TT_TOKENS, "tokens\n"}, {TT_LOWER_ID, "x"}, {TT_EOF, ""}}));
  // Only the three block keywords look for a brace.
  EXPECT_EQ(TypesOf("type {x}"), (std::vector<int>{TT_TYPE, TT_ACTION, TT_EOF}));
  // The line count goes on behind the brace.
  EXPECT_EQ(LexAll("options\n\n{ x").at(1), (Lexed{TT_LOWER_ID, "x", 3, 3}));
}

TEST(KivLexer, CharacterAndStringLiteralsStoreUnescapedText) {
  EXPECT_EQ(First("'a'"), (Lexed{TT_CHAR, "a", 1, 1}));
  EXPECT_EQ(First("'\\n'").Text, "\n");
  EXPECT_EQ(First("'\\r'").Text, "\r");
  EXPECT_EQ(First("'\\t'").Text, "\t");
  EXPECT_EQ(First("'\\''").Text, "'");
  EXPECT_EQ(First("'\\\\'").Text, "\\");
  EXPECT_EQ(First("'\"'").Text, "\"");
  EXPECT_EQ(First("'\\x41'").Text, "A");
  EXPECT_EQ(First("'\\xfF'").Text, "\xff");
  EXPECT_EQ(First("\"a\\x41\\\"b\\n\"").Text, "\"aA\"b\n\"");
  EXPECT_EQ(First("\"\"").Text, "\"\"");
  EXPECT_EQ(TypesOf("'a''b'"), (std::vector<int>{TT_CHAR, TT_CHAR, TT_EOF}));
}

TEST(KivLexer, IntegersAreRewrittenInDecimal) {
  EXPECT_EQ(First("$FF"), (Lexed{TT_INT, "255", 1, 1}));
  EXPECT_EQ(First("$1f").Text, "31");
  EXPECT_EQ(First("31").Text, "31");
  EXPECT_EQ(First("007").Text, "7");
  EXPECT_EQ(First("0").Text, "0");
  EXPECT_EQ(First("2147483647").Text, "2147483647");
  // The value is a 32-bit integer: larger literals wrap around rather than overflow.
  EXPECT_EQ(First("$FFFFFFFF").Text, "-1");
  EXPECT_EQ(First("4294967297").Text, "1");
  EXPECT_EQ(TypesAndTexts("12ab"),
            (std::vector<std::pair<int, std::string>>{{TT_INT, "12"}, {TT_LOWER_ID, "ab"}, {TT_EOF, ""}}));
}

TEST(KivLexer, ActionsArgumentsAndPredicates) {
  EXPECT_EQ(TypesAndTexts("{a := 1;}?{b} ?[x: Integer]"),
            (std::vector<std::pair<int, std::string>>{{TT_PREDICATE, "{a := 1;}"},
                                                      {TT_ACTION, "{b}"},
                                                      {TT_QUESTION, "?"},
                                                      {TT_ARGUMENT, "x: Integer"},
                                                      {TT_EOF, ""}}));
  // Braces do not nest: the inner "}" ends the action.
  EXPECT_EQ(TypesAndTexts("{ {x} }"),
            (std::vector<std::pair<int, std::string>>{{TT_ACTION, "{ {x}"}, {TT_RBRACE, "}"}, {TT_EOF, ""}}));
  EXPECT_EQ(First("[]").Text, "");
  EXPECT_EQ(First("{}").Text, "{}");
}

TEST(KivLexer, LineBreaksAreCountedEverywhereTheyOccur) {
  // CR LF, a lone CR and a lone LF each count one line; inside comments, actions, arguments and
  // string and character literals as much as between tokens.
  const std::vector<Lexed> tokens = LexAll("a\r\nb\rc\nd (* 1\n2 *) e /* 3\r4 */ f // x\n"
                                           "g {5\r\n6} h [7\n8] i \"9\n0\" j '\n' k");
  std::vector<Lexed> ids;
  for (const Lexed& t : tokens)
    if (t.Type == TT_LOWER_ID) ids.push_back(t);
  EXPECT_EQ(ids, (std::vector<Lexed>{{TT_LOWER_ID, "a", 1, 1},
                                     {TT_LOWER_ID, "b", 2, 1},
                                     {TT_LOWER_ID, "c", 3, 1},
                                     {TT_LOWER_ID, "d", 4, 1},
                                     {TT_LOWER_ID, "e", 5, 6},
                                     {TT_LOWER_ID, "f", 6, 6},
                                     {TT_LOWER_ID, "g", 7, 1},
                                     {TT_LOWER_ID, "h", 8, 4},
                                     {TT_LOWER_ID, "i", 9, 4},
                                     {TT_LOWER_ID, "j", 10, 4},
                                     {TT_LOWER_ID, "k", 11, 3}}));
  // A tab advances the column by one.
  EXPECT_EQ(First("\tx").Column, 2);
}

TEST(KivLexer, EndOfInputTokenStandsWhereTheInputEnds) {
  EXPECT_EQ(LexAll("").back(), (Lexed{TT_EOF, "", 1, 1}));
  EXPECT_EQ(LexAll("a ;\n  b  ").back(), (Lexed{TT_EOF, "", 2, 6}));
  // A zero byte before the end is an unexpected character where it stands, not the end: the
  // rest of the file is never dropped silently.
  const LexicalError e = ErrorOf(std::string("a\n b\0c", 6));
  EXPECT_EQ(e.Kind, kiv::ExceptionKind::Char);
  EXPECT_EQ(e.Found, EOF_CHAR);
  EXPECT_EQ(e.Line, 2);
  EXPECT_EQ(e.Column, 3);
}

TEST(KivLexer, CharactersThatStartNoTokenAreRejectedWithTheStartSet) {
  for (const char* text : {"#", "_a", "]", "\x7f", "/x", "ab ^"}) {
    const LexicalError e = ErrorOf(text);
    EXPECT_EQ(e.Kind, kiv::ExceptionKind::CharSet) << text;
    EXPECT_EQ(e.Expected, kTokenStart) << text;
    EXPECT_EQ(e.FileName, "t.g");
  }
  const LexicalError e = ErrorOf("ab\n  ^");
  EXPECT_EQ(e.Found, '^');
  EXPECT_EQ(e.Line, 2);
  EXPECT_EQ(e.Column, 3);
}

TEST(KivLexer, MalformedLiteralsAndNumbersNameWhatWasExpected) {
  struct Case {
    const char* Text;
    kiv::ExceptionKind Kind;
    std::string Expected;
    char Found;
    int Line;
    int Column;
  };
  const std::string allButQuote = "#1..'&','('..#255";
  const std::string escapes = "'\"','''','\\','n','r','t','x'";
  const std::string hexDigits = "'0'..'9','A'..'F','a'..'f'";
  const Case cases[] = {
      {"''", kiv::ExceptionKind::CharSet, allButQuote, '\'', 1, 2},
      {"\n 'ab'", kiv::ExceptionKind::Char, "''''", 'b', 2, 4},
      {"'a", kiv::ExceptionKind::Char, "''''", '\0', 1, 3},
      {"'\\q'", kiv::ExceptionKind::CharSet, escapes, 'q', 1, 3},
      {"\"ab\\m\"", kiv::ExceptionKind::CharSet, escapes, 'm', 1, 5},
      {"\"\\x4g\"", kiv::ExceptionKind::CharSet, hexDigits, 'g', 1, 5},
      {"'\\x'", kiv::ExceptionKind::CharSet, hexDigits, '\'', 1, 4},
      {"$", kiv::ExceptionKind::CharSet, hexDigits, '\0', 1, 2},
      {"$g", kiv::ExceptionKind::CharSet, hexDigits, 'g', 1, 2},
  };
  for (const Case& c : cases) {
    const LexicalError e = ErrorOf(c.Text);
    EXPECT_EQ(e.Kind, c.Kind) << c.Text;
    EXPECT_EQ(e.Expected, c.Expected) << c.Text;
    EXPECT_EQ(e.Found, c.Found) << c.Text;
    EXPECT_EQ(e.Line, c.Line) << c.Text;
    EXPECT_EQ(e.Column, c.Column) << c.Text;
  }
}

TEST(KivLexer, UnterminatedConstructsFailAtTheEndOfInput) {
  struct Case {
    const char* Text;
    kiv::ExceptionKind Kind;
    std::string Expected;
    int Line;
    int Column;
  };
  const Case cases[] = {
      {"a // no line break", kiv::ExceptionKind::CharSet, "#10,#13", 1, 19},
      {"(* one\ntwo", kiv::ExceptionKind::Char, "'*'", 2, 4},
      {"/* one *", kiv::ExceptionKind::Char, "'*'", 1, 9},
      {"{ x\r\n", kiv::ExceptionKind::Char, "'}'", 2, 1},
      {"[ x", kiv::ExceptionKind::Char, "']'", 1, 4},
      {"\"ab\ncd", kiv::ExceptionKind::Char, "'\"'", 2, 3},
      {"options (* x", kiv::ExceptionKind::Char, "'*'", 1, 13},
  };
  for (const Case& c : cases) {
    const LexicalError e = ErrorOf(c.Text);
    EXPECT_EQ(e.Kind, c.Kind) << c.Text;
    EXPECT_EQ(e.Expected, c.Expected) << c.Text;
    EXPECT_EQ(e.Found, '\0') << c.Text;
    EXPECT_EQ(e.Line, c.Line) << c.Text;
    EXPECT_EQ(e.Column, c.Column) << c.Text;
  }
}

TEST(KivLexer, ParenthesisDirectlyBeforeALineCommentIsAMalformedComment) {
  const LexicalError e = ErrorOf("a (// c\n");
  EXPECT_EQ(e.Kind, kiv::ExceptionKind::Char);
  EXPECT_EQ(e.Expected, "'*'");
  EXPECT_EQ(e.Found, '/');
  EXPECT_EQ(e.Column, 4);
  EXPECT_EQ(TypesOf("( // c\n)"), (std::vector<int>{TT_LPAREN, TT_RPAREN, TT_EOF}));
}
