// kivCharInputTests.cpp
// Tests of the character queue and the character buffer: range errors, chunk recycling, the end of
// input, marks and deferred consumes.
#include "runtime/cpp/kivCharBuffer.h"
#include "runtime/cpp/kivCharQueue.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

std::string RangeErrorText(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::out_of_range& e) {
    return e.what();
  }
  return "(no range error)";
}

TEST(CharQueueTest, RangeErrors) {
  TkivCharQueue queue;
  EXPECT_EQ(RangeErrorText([&] { queue.Get(0); }), "index less than 1");
  EXPECT_EQ(RangeErrorText([&] { queue.Get(1); }), "index \"1\" is too  big");
  queue.Append('a');
  queue.Append('b');
  EXPECT_EQ(RangeErrorText([&] { queue.Get(3); }), "index \"3\" is too  big");
  EXPECT_EQ(RangeErrorText([&] { queue.Get(-4); }), "index less than 1");
  EXPECT_EQ(RangeErrorText([&] { queue.Set(0, 'x'); }), "index less than 1");
}

TEST(CharQueueTest, SetBeyondCountGrowsWithZeros) {
  TkivCharQueue queue;
  queue.Set(5000, 'z');
  EXPECT_EQ(queue.Count(), 5000);
  EXPECT_EQ(queue.ChunkCount(), 2);
  EXPECT_EQ(queue.Get(1), '\0');
  EXPECT_EQ(queue.Get(4999), '\0');
  EXPECT_EQ(queue.Get(5000), 'z');
}

TEST(CharQueueTest, RemovingAcrossTheChunkBoundaryKeepsTheRest) {
  TkivCharQueue queue;
  const int total = 3 * TkivCharQueue::ChunkSize + 100;
  auto charAt = [](int n) { return static_cast<char>('a' + n % 26); };
  for (int n = 0; n < total; ++n) queue.Append(charAt(n));
  EXPECT_EQ(queue.ChunkCount(), 4);

  queue.RemoveFirst(10);
  queue.RemoveFirst(TkivCharQueue::ChunkSize + 5); // head moves past the first chunk
  const int removed = TkivCharQueue::ChunkSize + 15;
  EXPECT_EQ(queue.Head(), 15);
  ASSERT_EQ(queue.Count(), total - removed);
  for (int i = 1; i <= queue.Count(); ++i) ASSERT_EQ(queue.Get(i), charAt(removed + i - 1)) << "at " << i;

  // The spent chunk was recycled: appending again uses it without allocating.
  for (int n = 0; n < TkivCharQueue::ChunkSize; ++n) queue.Append('#');
  EXPECT_EQ(queue.ChunkCount(), 4);
  EXPECT_EQ(queue.Get(queue.Count()), '#');
  EXPECT_EQ(queue.Get(1), charAt(removed));

  queue.RemoveFirst(queue.Count() + 1);
  EXPECT_EQ(queue.Count(), 0);
  EXPECT_EQ(queue.Head(), 0);
  queue.Set(3, 'q');
  EXPECT_EQ(queue.Get(1), '\0') << "cleared slots read as zero";
}

TEST(CharQueueTest, RemovingEverythingAtTheEndOfAChunk) {
  TkivCharQueue queue;
  for (int n = 0; n < 2 * TkivCharQueue::ChunkSize; ++n) queue.Append('x');
  queue.RemoveFirst(2 * TkivCharQueue::ChunkSize);
  EXPECT_EQ(queue.Count(), 0);
  EXPECT_EQ(queue.Head(), 0);
  queue.Append('y');
  EXPECT_EQ(queue.Get(1), 'y');
  EXPECT_EQ(queue.ChunkCount(), 2);
}

TEST(CharBufferTest, LookaheadPastTheEnd) {
  std::istringstream empty("");
  TkivCharBuffer buffer(empty);
  EXPECT_EQ(buffer.LA(1), EOF_CHAR);
  EXPECT_EQ(buffer.LA(3), EOF_CHAR);
  EXPECT_EQ(buffer.Queue().Count(), 3) << "one slot per position asked for";

  std::istringstream ab("ab");
  TkivCharBuffer short_(ab);
  EXPECT_EQ(short_.LA(4), EOF_CHAR);
  EXPECT_EQ(short_.LA(2), 'b');
  EXPECT_EQ(short_.Queue().Count(), 4);

  std::istringstream failed("abc");
  failed.setstate(std::ios::failbit);
  TkivCharBuffer unreadable(failed);
  EXPECT_EQ(unreadable.LA(1), EOF_CHAR) << "a stream in a failed state reads as ended";
}

TEST(CharBufferTest, AZeroByteReadsAsEofCharButOnlyTheRealEndEndsTheInput) {
  std::istringstream in(std::string("ab\0cd", 5));
  TkivCharBuffer buffer(in);
  EXPECT_EQ(buffer.LA(3), EOF_CHAR);
  EXPECT_FALSE(buffer.IsEndOfInput(3));
  EXPECT_EQ(buffer.LA(4), 'c') << "the bytes after a zero byte are read";
  EXPECT_TRUE(buffer.IsEndOfInput(6));
  // The end stays where it is through marks, rewinds and consumes across the 4096 boundary.
  std::string big(5000, 'x');
  big[4500] = '\0';
  std::istringstream bigIn(big);
  TkivCharBuffer b(bigIn);
  const int m = b.mark();
  for (int i = 0; i < 4500; ++i) b.consume();
  EXPECT_EQ(b.LA(1), EOF_CHAR);
  EXPECT_FALSE(b.IsEndOfInput(1));
  EXPECT_TRUE(b.IsEndOfInput(501));
  b.rewind(m);
  EXPECT_FALSE(b.IsEndOfInput(5000));
  for (int i = 0; i < 4999; ++i) b.consume();
  EXPECT_FALSE(b.IsEndOfInput(1));
  b.consume();
  EXPECT_TRUE(b.IsEndOfInput(1));
}

TEST(CharBufferTest, ConsumesAreDeferredUntilTheNextLook) {
  std::istringstream in("abcdef");
  TkivCharBuffer buffer(in);
  EXPECT_EQ(buffer.LA(3), 'c');
  buffer.consume();
  buffer.consume();
  EXPECT_EQ(buffer.PendingConsumes(), 2);
  EXPECT_EQ(buffer.Queue().Count(), 3) << "nothing removed yet";
  EXPECT_EQ(buffer.LA(1), 'c');
  EXPECT_EQ(buffer.PendingConsumes(), 0);
  EXPECT_EQ(buffer.Queue().Count(), 1);
}

TEST(CharBufferTest, ConsumeWithoutLookingStillMovesPastACharacter) {
  std::istringstream unmarkedIn("abcdef");
  TkivCharBuffer unmarked(unmarkedIn);
  unmarked.consume();
  unmarked.consume();
  EXPECT_EQ(unmarked.LA(1), 'c');

  std::istringstream markedIn("abcdef");
  TkivCharBuffer marked(markedIn);
  marked.mark();
  marked.consume();
  marked.consume();
  EXPECT_EQ(marked.LA(1), 'c') << "the same position with a mark open";
}

TEST(CharBufferTest, MarksNestAndRewind) {
  std::istringstream in("abcdefgh");
  TkivCharBuffer buffer(in);
  const int outer = buffer.mark();
  buffer.consume();
  buffer.consume();
  buffer.consume();
  EXPECT_EQ(buffer.LA(1), 'd');
  const int inner = buffer.mark();
  buffer.consume();
  EXPECT_EQ(buffer.LA(1), 'e');
  buffer.rewind(inner);
  EXPECT_EQ(buffer.LA(1), 'd');
  EXPECT_TRUE(buffer.IsMarked());
  buffer.rewind(outer);
  EXPECT_FALSE(buffer.IsMarked());
  EXPECT_EQ(buffer.LA(1), 'a');

  // A committed mark keeps the position; consumes then drop characters again.
  buffer.mark();
  buffer.consume();
  buffer.consume();
  buffer.commit();
  EXPECT_EQ(buffer.Markers(), 0);
  EXPECT_EQ(buffer.LA(1), 'c');
  buffer.consume();
  EXPECT_EQ(buffer.LA(1), 'd');
  EXPECT_EQ(buffer.LA(5), 'h');
}

TEST(CharBufferTest, UnmatchedCommitOrRewindLeavesNoMarkOpen) {
  std::istringstream in("abcdef");
  TkivCharBuffer buffer(in);
  buffer.commit();
  EXPECT_EQ(buffer.Markers(), 0);
  EXPECT_EQ(buffer.LA(1), 'a');
  buffer.rewind(0);
  EXPECT_EQ(buffer.Markers(), 0);
  EXPECT_FALSE(buffer.IsMarked());
  // A later mark still rewinds to where it was taken.
  buffer.consume();
  const int m = buffer.mark();
  buffer.consume();
  buffer.consume();
  buffer.rewind(m);
  EXPECT_EQ(buffer.LA(1), 'b');
}

TEST(CharBufferTest, MarkHeldAcrossTheChunkBoundary) {
  std::string text;
  for (int n = 0; n < 10000; ++n) text += static_cast<char>('a' + n % 26);
  std::istringstream in(text);
  TkivCharBuffer buffer(in);
  for (int n = 0; n < 4000; ++n) buffer.consume();
  const int m = buffer.mark();
  for (int n = 0; n < 5000; ++n) buffer.consume();
  EXPECT_EQ(buffer.LA(1), text[9000]);
  buffer.rewind(m);
  for (int n = 4000; n < 10000; ++n) {
    ASSERT_EQ(buffer.LA(1), text[static_cast<std::size_t>(n)]) << "at " << n;
    buffer.consume();
  }
  EXPECT_EQ(buffer.LA(1), EOF_CHAR);
}

} // namespace
