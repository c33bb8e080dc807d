// kivLexerTests.cpp
// Tests of the lexer base: folding, the match family and its exceptions, positions, guessing,
// tokens, literals and two-phase initialisation.
#include "runtime/cpp/kivExceptionMismatchedChar.h"
#include "runtime/cpp/kivLexer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

/// A lexer over a string whose NextToken is not used by these tests.
class StringLexer : public TkivLexer {
public:
  explicit StringLexer(const std::string& text, bool caseSensitive = true)
      : StringLexer(std::make_unique<std::istringstream>(text), caseSensitive) {}

  IkivTokenPtr NextToken() override { return makeToken(TT_EOF); }

private:
  StringLexer(std::unique_ptr<std::istringstream> in, bool caseSensitive)
      : TkivLexer(*in), fIn(std::move(in)) {
    fCaseSensitive = caseSensitive;
    InputState->SetFileName("t.g");
  }
  std::unique_ptr<std::istringstream> fIn; // the stream the base borrows, owned here
};

template <class E, class F>
E Caught(F action) {
  try {
    action();
  } catch (const E& e) {
    return e;
  }
  ADD_FAILURE() << "nothing raised";
  throw std::logic_error("nothing raised");
}

TEST(LexerTest, CaseFoldingOfLookaheadAndCharacterMatches) {
  StringLexer lexer("QQx", false);
  EXPECT_EQ(lexer.LA(1), 'q');
  lexer.match('q');
  lexer.match('Q');
  EXPECT_EQ(lexer.TokenText, "qq");
  lexer.match(kiv::CharSetOf("x"));
  EXPECT_EQ(lexer.LA(1), EOF_CHAR);

  StringLexer upper("Q", false);
  auto e = Caught<EkivMismatchedChar>([&] { upper.match(kiv::CharSetOf("Q")); });
  EXPECT_EQ(e.Kind(), kiv::ExceptionKind::CharSet) << "sets are not folded: only lower case can match";
  EXPECT_EQ(e.FoundChar(), 'q');

  StringLexer exact("Q");
  EXPECT_EQ(exact.LA(1), 'Q');
  EXPECT_THROW(exact.match('q'), EkivMismatchedChar);
}

TEST(LexerTest, StringMatchFoldingAndFoundText) {
  StringLexer folded("BEGIN", false);
  folded.match(std::string("Begin"));
  EXPECT_EQ(folded.TokenText, "begin");

  StringLexer exact("BEGIN");
  exact.InputState->SetLine(4);
  auto e = Caught<EkivMismatchedChar>([&] { exact.match(std::string("Begin")); });
  EXPECT_EQ(e.Kind(), kiv::ExceptionKind::String);
  EXPECT_EQ(e.FoundText(), "BE");
  EXPECT_EQ(e.ExpectedText(), "Begin");
  EXPECT_EQ(e.Line(), 4);
  EXPECT_EQ(e.Column(), 2) << "positioned at the offending character";
  EXPECT_EQ(e.FoundChar(), EOF_CHAR);
  EXPECT_TRUE(e.ExpectedSet().none());

  StringLexer third("beXin");
  auto x = Caught<EkivMismatchedChar>([&] { third.match(std::string("begin")); });
  EXPECT_EQ(x.FoundText(), "beX");
  EXPECT_EQ(x.Column(), 3);
}

TEST(LexerTest, CharacterMismatchFields) {
  StringLexer lexer("ab");
  lexer.consume();
  auto e = Caught<EkivMismatchedChar>([&] { lexer.match('c'); });
  EXPECT_EQ(e.Kind(), kiv::ExceptionKind::Char);
  EXPECT_FALSE(e.Negated());
  EXPECT_EQ(e.FoundChar(), 'b');
  EXPECT_EQ(e.ExpectedChar(), 'c');
  EXPECT_EQ(e.ExpectedUpperChar(), 'c');
  EXPECT_EQ(e.ExpectedSet(), kiv::CharSetOf("c"));
  EXPECT_EQ(e.FileName(), "t.g");
  EXPECT_EQ(e.Line(), 1);
  EXPECT_EQ(e.Column(), 2);
  EXPECT_STREQ(e.what(), "");

  auto n = Caught<EkivMismatchedChar>([&] { lexer.matchNot('b'); });
  EXPECT_TRUE(n.Negated());
  EXPECT_EQ(n.Kind(), kiv::ExceptionKind::Char);
  EXPECT_EQ(n.FoundChar(), 'b');
  lexer.matchNot('x');
  EXPECT_EQ(lexer.TokenText, "ab");
  StringLexer exact("b");
  exact.matchNot('B'); // case-sensitive: only 'B' itself is excluded
  EXPECT_EQ(exact.TokenText, "b");

  auto s = Caught<EkivMismatchedChar>([&] { lexer.match(kiv::CharRange('0', '9')); });
  EXPECT_EQ(s.Kind(), kiv::ExceptionKind::CharSet);
  EXPECT_EQ(s.FoundChar(), EOF_CHAR);
  EXPECT_EQ(s.ExpectedSet(), kiv::CharRange('0', '9'));
  EXPECT_EQ(s.ExpectedChar(), EOF_CHAR);
}

TEST(LexerTest, FoldedMatchNotExcludesBothCases) {
  StringLexer lexer("Bb", false);
  auto e = Caught<EkivMismatchedChar>([&] { lexer.matchNot('B'); });
  EXPECT_TRUE(e.Negated());
  EXPECT_EQ(e.ExpectedChar(), 'B') << "the expected character is kept unfolded";
}

TEST(LexerTest, ColumnsTabsAndLines) {
  StringLexer lexer("a\tb\nc");
  lexer.consume();
  lexer.consume();
  EXPECT_EQ(lexer.InputState->Column(), 3) << "the base tab advances by one";
  lexer.consume();
  lexer.consume();
  lexer.newLine();
  EXPECT_EQ(lexer.InputState->Line(), 2);
  EXPECT_EQ(lexer.InputState->Column(), 1);
  EXPECT_EQ(lexer.TokenText, "a\tb\n");

  struct WideTabs : StringLexer {
    using StringLexer::StringLexer;
    void tab() override { InputState->SetColumn(InputState->Column() + 8); }
  } wide("\tx");
  wide.consume();
  EXPECT_EQ(wide.InputState->Column(), 9);
}

TEST(LexerTest, ConsumeWhileGuessingAdvancesOnlyTheInput) {
  StringLexer lexer("abc");
  lexer.InputState->SetGuessing(1);
  const int m = lexer.mark();
  lexer.consume();
  lexer.consume();
  EXPECT_EQ(lexer.TokenText, "");
  EXPECT_EQ(lexer.InputState->Column(), 1);
  EXPECT_EQ(lexer.LA(1), 'c');
  lexer.rewind(m);
  lexer.InputState->SetGuessing(0);
  EXPECT_EQ(lexer.LA(1), 'a');

  lexer.SaveConsumedInput = false;
  lexer.consume();
  EXPECT_EQ(lexer.TokenText, "");
  EXPECT_EQ(lexer.InputState->Column(), 2);
}

TEST(LexerTest, MakeTokenTakesThePositionOfTheLastReset) {
  StringLexer lexer("abcdef");
  lexer.InputState->SetLine(3);
  lexer.InputState->SetColumn(5);
  lexer.consume();
  lexer.ResetText();
  EXPECT_EQ(lexer.TokenText, "");
  lexer.consume();
  lexer.consume();
  lexer.newLine();
  IkivTokenPtr token = lexer.makeToken(9, lexer.TokenText);
  EXPECT_EQ(token->TokenType(), 9);
  EXPECT_EQ(token->TokenText(), "bc");
  EXPECT_EQ(token->Line(), 3);
  EXPECT_EQ(token->Column(), 6);
  EXPECT_EQ(lexer.makeToken(4)->TokenText(), "");
}

struct PositionedToken : TkivToken {
  using TkivToken::TkivToken;
};

TEST(LexerTest, TokenClassIsSetAtFirstUseAndReplaceable) {
  StringLexer lexer("");
  EXPECT_FALSE(lexer.TokenClass());
  lexer.makeToken(4);
  EXPECT_TRUE(lexer.TokenClass());

  lexer.SetTokenClass(kiv::TokenClassOf<PositionedToken>());
  IkivTokenPtr token = lexer.makeToken(5, "x");
  EXPECT_NE(dynamic_cast<PositionedToken*>(token.get()), nullptr);
  EXPECT_EQ(token->TokenText(), "x");
}

TEST(LexerTest, TestLiteralBothForms) {
  StringLexer lexer("BeGin end");
  lexer.fLiterals.Add("begin", 10);
  lexer.match(std::string("BeGin"));
  EXPECT_EQ(lexer.TestLiteral(4), 4) << "the lexer's table starts case-sensitive";
  lexer.fLiterals.SetCaseSensitive(false);
  EXPECT_EQ(lexer.TestLiteral(4), 10);
  EXPECT_EQ(lexer.TestLiteral("xBEGINx", 4), 4);
  EXPECT_EQ(lexer.TestLiteral(std::string("xBEGINx").substr(1, 5), 4), 10);
  EXPECT_EQ(lexer.TestLiteral("end", 4), 4);
}

TEST(LexerTest, ConsumeUntilStopsAtTheSetOrTheEnd) {
  StringLexer lexer("abc;def");
  lexer.ConsumeUntil(kiv::CharSetOf(";"));
  EXPECT_EQ(lexer.LA(1), ';');
  lexer.consume();
  lexer.ConsumeUntil(kiv::CharSetOf("!"));
  EXPECT_EQ(lexer.LA(1), EOF_CHAR);
  EXPECT_EQ(lexer.TokenText, "abc;def");
}

TEST(LexerTest, LexerMarksNestWithCommit) {
  StringLexer lexer("abcd");
  const int outer = lexer.mark();
  lexer.consume();
  lexer.mark();
  lexer.consume();
  lexer.commit();
  EXPECT_EQ(lexer.LA(1), 'c');
  EXPECT_EQ(lexer.InputState->Column(), 3);
  lexer.rewind(outer);
  EXPECT_EQ(lexer.LA(1), 'a');
  // The characters after the mark are read again, so the position goes back with them.
  EXPECT_EQ(lexer.InputState->Column(), 1);
  EXPECT_FALSE(lexer.InputState->Input()->IsMarked());
}

class KeywordLexer : public StringLexer {
public:
  using StringLexer::StringLexer;
  int initializeRuns = 0;

  void initialize() override {
    ++initializeRuns;
    fCaseSensitive = false;
    fLiterals.SetCaseSensitive(false);
    fLiterals.Add("let", 4);
  }
};

TEST(LexerTest, MakeLexerRunsTheSubclassInitializeOnce) {
  auto lexer = kiv::MakeLexer<KeywordLexer>("LET");
  EXPECT_EQ(lexer->initializeRuns, 1);
  EXPECT_FALSE(lexer->fCaseSensitive);
  EXPECT_EQ(lexer->LA(1), 'l');
  EXPECT_EQ(lexer->TestLiteral("LET", 7), 4);

  KeywordLexer direct("x");
  EXPECT_EQ(direct.initializeRuns, 0) << "the constructor leaves initialize to its caller";
  EXPECT_TRUE(direct.fCaseSensitive);
  EXPECT_TRUE(direct.fLiterals.CaseSensitive());
}

} // namespace
