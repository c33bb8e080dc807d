// kivParserTests.cpp
// Tests of token input and the parser base: lazy fetching, marks, the match family, resynchronising
// and the token queue's range errors.
#include "runtime/cpp/kivExceptionMismatchedToken.h"
#include "runtime/cpp/kivExceptionSemantic.h"
#include "runtime/cpp/kivLLkParser.h"
#include "runtime/cpp/kivToken.h"
#include "runtime/cpp/kivTokenBuffer.h"
#include "runtime/cpp/kivTokenQueue.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

/// Hands out scripted tokens (type n at line n, column 2n) and then TT_EOF tokens; counts requests.
class ScriptedStream : public IkivTokenStream {
public:
  explicit ScriptedStream(std::vector<int> types) : fTypes(std::move(types)) {}

  IkivTokenPtr NextToken() override {
    const int n = requests++;
    const bool atEnd = n >= static_cast<int>(fTypes.size());
    auto token = std::make_shared<TkivToken>(atEnd ? TT_EOF : fTypes[static_cast<std::size_t>(n)],
                                             atEnd ? "" : "t" + std::to_string(n));
    token->SetLine(n + 1);
    token->SetColumn(2 * (n + 1));
    return token;
  }

  int requests = 0;

private:
  std::vector<int> fTypes;
};

class Parser : public TkivLLkParser {
public:
  explicit Parser(std::shared_ptr<ScriptedStream> stream) : TkivLLkParser(stream, 2), source(std::move(stream)) {
    InputState->SetFileName("p.g");
  }
  std::shared_ptr<ScriptedStream> source;
};

std::string RangeErrorText(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::out_of_range& e) {
    return e.what();
  }
  return "(no range error)";
}

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

TEST(TokenQueueTest, RangeErrorsAndRemoval) {
  TkivTokenQueue queue;
  EXPECT_EQ(RangeErrorText([&] { queue.Get(0); }), "index \"0\" is too big");
  EXPECT_EQ(RangeErrorText([&] { queue.Get(-1); }), "index less than 0");
  for (int t = 4; t < 8; ++t) queue.Add(std::make_shared<TkivToken>(t));
  EXPECT_EQ(RangeErrorText([&] { queue.Get(-1); }), "index less than 0");
  EXPECT_EQ(RangeErrorText([&] { queue.Get(4); }), "index \"4\" is too big");
  queue.RemoveFirst(0);
  queue.RemoveFirst(3);
  EXPECT_EQ(queue.Count(), 1);
  EXPECT_EQ(queue.Get(0)->TokenType(), 7);
  queue.RemoveFirst(1);
  EXPECT_EQ(queue.Count(), 0);
}

TEST(TokenBufferTest, FetchesLazilyAndKeepsMarkedTokens) {
  Parser parser(std::make_shared<ScriptedStream>(std::vector<int>{4, 5, 6, 7, 8}));
  EXPECT_EQ(parser.source->requests, 0);
  EXPECT_EQ(parser.LA(3), 6);
  EXPECT_EQ(parser.source->requests, 3) << "LA(3) on a fresh parser makes exactly three tokens";

  const int m = parser.mark();
  IkivTokenPtr atMark = parser.LT(1);
  parser.consume();
  parser.consume();
  EXPECT_EQ(parser.LA(1), 6);
  parser.rewind(m);
  EXPECT_EQ(parser.LT(1), atMark);
  EXPECT_EQ(parser.source->requests, 3) << "rewound tokens are not asked for again";

  parser.consume();
  parser.consume();
  parser.consume();
  parser.consume();
  EXPECT_EQ(parser.LA(1), 8);
  EXPECT_EQ(parser.LA(2), TT_EOF);
  parser.consume();
  parser.consume();
  EXPECT_EQ(parser.LA(1), TT_EOF) << "past the end the source is asked again";
  EXPECT_EQ(parser.source->requests, 7);
}

TEST(TokenBufferTest, ConsumesAreDeferredAndDropTokensWhenUnmarked) {
  auto stream = std::make_shared<ScriptedStream>(std::vector<int>{4, 5, 6});
  TkivTokenBuffer buffer(stream);
  EXPECT_EQ(buffer.LA(2), 5);
  buffer.consume();
  EXPECT_EQ(buffer.PendingConsumes(), 1);
  EXPECT_EQ(buffer.Queue().Count(), 2);
  EXPECT_EQ(buffer.LT(1)->TokenText(), "t1");
  EXPECT_EQ(buffer.Queue().Count(), 1);
  EXPECT_EQ(RangeErrorText([&] { buffer.LA(0); }), "index less than 0");
  EXPECT_THROW(TkivTokenBuffer{nullptr}, std::invalid_argument);
}

TEST(ParserTest, MatchConsumesOrRaisesAtTheFoundToken) {
  Parser parser(std::make_shared<ScriptedStream>(std::vector<int>{4, 5, 300}));
  parser.match(4);
  EXPECT_EQ(parser.LA(1), 5);
  EXPECT_EQ(parser.LA(2), 300);

  auto e = Caught<EkivMismatchedToken>([&] { parser.match(9); });
  EXPECT_EQ(e.Kind(), kiv::ExceptionKind::Token);
  EXPECT_FALSE(e.Negated());
  EXPECT_EQ(e.TokenText(), "t1");
  EXPECT_EQ(e.TokenType(), 5);
  EXPECT_EQ(e.Line(), 2) << "the token's position, although the buffer has read further";
  EXPECT_EQ(e.Column(), 4);
  EXPECT_EQ(e.FileName(), "p.g");
  EXPECT_STREQ(e.what(), "");

  auto n = Caught<EkivMismatchedToken>([&] { parser.matchNot(5); });
  EXPECT_TRUE(n.Negated());
  EXPECT_EQ(n.Kind(), kiv::ExceptionKind::Token);
  parser.matchNot(4);

  auto s = Caught<EkivMismatchedToken>([&] { parser.match(kiv::TokenSetOf({4, 300 - 256})); });
  EXPECT_EQ(s.Kind(), kiv::ExceptionKind::TokenSet) << "type 300 is in no token set";
  EXPECT_EQ(s.TokenType(), 300);
  EXPECT_EQ(s.Line(), 3);
  EXPECT_EQ(parser.FileName(), "p.g");
  EXPECT_EQ(parser.K(), 2);
}

TEST(ParserTest, ConsumeUntilStopsAtTheSetOrEndOfInput) {
  Parser parser(std::make_shared<ScriptedStream>(std::vector<int>{4, 5, 6, 7}));
  parser.ConsumeUntil(kiv::TokenSetOf({6}));
  EXPECT_EQ(parser.LA(1), 6);
  parser.match(kiv::TokenSetOf({6, 9}));
  parser.ConsumeUntil(kiv::TokenSetOf({42}));
  EXPECT_EQ(parser.LA(1), TT_EOF);
  parser.ConsumeUntil(kiv::TokenSetOf({42}));
  EXPECT_EQ(parser.source->requests, 5) << "the end-of-input token is not consumed";
}

TEST(ParserTest, SyntacticPredicateGuessAndRewind) {
  // The pattern generated parsers use: mark, guess, rewind, then parse for real.
  Parser parser(std::make_shared<ScriptedStream>(std::vector<int>{4, 5, 6}));
  bool guessed = true;
  const int m = parser.mark();
  parser.InputState->SetGuessing(parser.InputState->Guessing() + 1);
  try {
    parser.match(4);
    parser.match(6);
  } catch (const EkivException&) {
    guessed = false;
  }
  parser.rewind(m);
  parser.InputState->SetGuessing(parser.InputState->Guessing() - 1);
  EXPECT_FALSE(guessed);
  parser.match(4);
  parser.match(5);
  EXPECT_EQ(parser.LA(1), 6);
}

TEST(ExceptionTest, BaseAndSemanticFields) {
  EkivException base(kiv::ExceptionKind::CharRange, "a.g", 3, 4);
  EXPECT_EQ(static_cast<int>(base.Kind()), 2);
  EXPECT_EQ(base.FileName(), "a.g");
  EXPECT_EQ(base.Line(), 3);
  EXPECT_EQ(base.Column(), 4);
  EXPECT_FALSE(base.Negated());

  try {
    throw EkivSemantic("x > 0", "b.g", 7, 9);
  } catch (const EkivException& e) {
    EXPECT_EQ(e.Kind(), kiv::ExceptionKind::Semantic);
    EXPECT_EQ(e.Line(), 7);
    EXPECT_EQ(e.Column(), 9);
    EXPECT_EQ(e.FileName(), "b.g");
    EXPECT_EQ(dynamic_cast<const EkivSemantic&>(e).Text(), "x > 0");
    EXPECT_STREQ(e.what(), "");
  }

  EXPECT_EQ(static_cast<int>(kiv::ExceptionKind::Char), 1);
  EXPECT_EQ(static_cast<int>(kiv::ExceptionKind::CharSet), 3);
  EXPECT_EQ(static_cast<int>(kiv::ExceptionKind::String), 4);
  EXPECT_EQ(static_cast<int>(kiv::ExceptionKind::Token), 5);
  EXPECT_EQ(static_cast<int>(kiv::ExceptionKind::TokenSet), 7);

  EkivMismatchedToken none(nullptr, 4, "c.g");
  EXPECT_EQ(none.TokenType(), 0);
  EXPECT_EQ(none.Line(), 0);
}

} // namespace
