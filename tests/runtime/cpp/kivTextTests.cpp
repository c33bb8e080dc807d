// kivTextTests.cpp
// Tests of the text helpers, set helpers, the character-class table, tokens and the string map.
#include "runtime/cpp/kivStringMap.h"
#include "runtime/cpp/kivToken.h"
#include "runtime/cpp/kivTypes.h"
#include "runtime/cpp/kivUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(CharTextTest, PrintableQuotedOthersByCode) {
  EXPECT_EQ(CharText('a'), "'a'");
  EXPECT_EQ(CharText(' '), "' '");
  EXPECT_EQ(CharText('~'), "'~'");
  EXPECT_EQ(CharText('\''), "''''");
  EXPECT_EQ(CharText('\0'), "#0");
  EXPECT_EQ(CharText('\t'), "#9");
  EXPECT_EQ(CharText('\x7f'), "#127");
  EXPECT_EQ(CharText('\xff'), "#255");
}

TEST(CharSetTextTest, RunsOfConsecutiveCodes) {
  EXPECT_EQ(CharSetText(kiv::CharRange('0', '9')), "'0'..'9'");
  EXPECT_EQ(CharSetText(kiv::CharSetOf("abcx")), "'a'..'c','x'");
  EXPECT_EQ(CharSetText(kiv::CharSetOf("\t\n")), "#9..#10");
  EXPECT_EQ(CharSetText(kiv::CharSetOf("' ")), "' ',''''");
  EXPECT_EQ(CharSetText(TkivCharSet{}), "");
  EXPECT_EQ(CharSetText(TkivCharSet{}.set()), "#0..#255");
  EXPECT_EQ(CharSetText(kiv::CharSetOf(std::string("\0\xff", 2))), "#0,#255");
}

TEST(TokenTypeNameTest, PaddedNumberWithoutVocabulary) {
  EXPECT_EQ(TokenTypeName(7), "TT_007");
  EXPECT_EQ(TokenTypeName(0), "TT_000");
  EXPECT_EQ(TokenTypeName(1234), "TT_1234");
  EXPECT_EQ(TokenTypeName(-1), "TT_-001");
}

TEST(TokenTypeNameTest, VocabularyNamesAndLiterals) {
  const std::vector<std::string> vocabulary = {
      "EOF=1", "NULL_TREE_LOOKAHEAD=2", " ID = 4 ", "\"begin\"=5", "\":=\"=6", "JUNK=x", "AGAIN=4", "\"\"=8"};
  EXPECT_EQ(TokenTypeName(1, vocabulary), "TT_EOF");
  EXPECT_EQ(TokenTypeName(2, vocabulary), "TT_NULL_TREE_LOOKAHEAD");
  EXPECT_EQ(TokenTypeName(4, vocabulary), "TT_ID") << "trimmed, and the first matching line decides";
  EXPECT_EQ(TokenTypeName(5, vocabulary), "LT_begin");
  EXPECT_EQ(TokenTypeName(6, vocabulary), "LT_:=") << "a literal holding '=' keeps its name";
  EXPECT_EQ(TokenTypeName(8, vocabulary), "LT_");
  EXPECT_EQ(TokenTypeName(9, vocabulary), "TT_009");
  EXPECT_EQ(TokenTypeName(-1, vocabulary), "TT_-001") << "a non-numeric value matches no type";
}

TEST(TokenSetTextTest, RunEndsNamedThroughTheVocabulary) {
  const std::vector<std::string> vocabulary = {"EOF=1", "A=4", "B=5", "C=6", "\"x\"=9"};
  EXPECT_EQ(TokenSetText(kiv::TokenSetOf({1, 4, 5, 6, 9}), vocabulary), "TT_EOF,TT_A..TT_C,LT_x");
  EXPECT_EQ(TokenSetText(kiv::TokenSetOf({10, 11})), "TT_010..TT_011");
  EXPECT_EQ(TokenSetText(TkivTokenSet{}), "");
}

TEST(SetHelpersTest, MembersOutsideTheRangeAreIgnored) {
  TkivTokenSet set;
  kiv::Include(set, 256);
  kiv::Include(set, -1);
  kiv::Include(set, 257);
  EXPECT_TRUE(set.none()) << "no out-of-range type may wrap into another member";
  set = kiv::TokenSetOf({1, 300, -5, 255});
  EXPECT_EQ(set.count(), 2u);
  EXPECT_TRUE(kiv::IsMember(set, 1));
  EXPECT_TRUE(kiv::IsMember(set, 255));
  EXPECT_FALSE(kiv::IsMember(set, 300));
  EXPECT_FALSE(kiv::IsMember(set, 300 - 256));
  EXPECT_FALSE(kiv::IsMember(set, -1));
  kiv::IncludeRange(set, 250, 400);
  EXPECT_EQ(set.count(), 7u);
  kiv::IncludeRange(set, -10, -1);
  EXPECT_EQ(set.count(), 7u);
  EXPECT_TRUE(kiv::IsMember(kiv::CharSetOf("\xe9"), '\xe9')) << "characters are read as unsigned codes";
}

TEST(CharClassTableTest, Flags) {
  const auto& table = kiv::CharClassTable();
  EXPECT_EQ(table[0], kiv::ccControl);
  EXPECT_EQ(table[31], kiv::ccControl);
  EXPECT_EQ(table[127], kiv::ccControl);
  EXPECT_EQ(table[200], kiv::ccControl);
  EXPECT_EQ(table[' '], kiv::ccPrintable);
  EXPECT_EQ(table['5'], kiv::ccPrintable | kiv::ccDigit | kiv::ccLetterOrDigit);
  EXPECT_EQ(table['Z'], kiv::ccPrintable | kiv::ccLetter | kiv::ccLetterOrDigit);
  EXPECT_EQ(table['_'], kiv::ccPrintable);
}

struct TaggedToken : TkivToken {
  using TkivToken::TkivToken;
  int tag = 42;
};

TEST(TokenTest, DefaultsAndClone) {
  TkivToken fresh;
  EXPECT_EQ(fresh.TokenType(), 0);
  EXPECT_EQ(fresh.TokenText(), "");
  EXPECT_EQ(fresh.Line(), 1);
  EXPECT_EQ(fresh.Column(), 1);

  TaggedToken tagged(5, "abc");
  tagged.SetLine(3);
  tagged.SetColumn(7);
  IkivTokenPtr copy = tagged.Clone();
  EXPECT_EQ(copy->TokenType(), 5);
  EXPECT_EQ(copy->TokenText(), "abc");
  EXPECT_EQ(copy->Line(), 3);
  EXPECT_EQ(copy->Column(), 7);
  EXPECT_EQ(dynamic_cast<TaggedToken*>(copy.get()), nullptr) << "a clone is always a plain TkivToken";
}

TEST(StringMapTest, AddIgnoresKnownNamesByTheCaseRule) {
  TkivStringMap map;
  EXPECT_FALSE(map.CaseSensitive());
  map.Add("begin", 4);
  map.Add("Begin", 9);
  map.Add("begin", 10);
  EXPECT_EQ(map.Count(), 1);
  EXPECT_EQ(map.ValueOf("BEGIN"), 4);
  EXPECT_EQ(map.ValueOf("end"), -1);
  EXPECT_EQ(map.IndexOf("end"), -1);

  map.SetCaseSensitive(true);
  EXPECT_EQ(map.ValueOf("BEGIN"), -1);
  map.Add("Begin", 9);
  EXPECT_EQ(map.Count(), 2);
  EXPECT_EQ(map.ValueOf("Begin"), 9);
  EXPECT_EQ(map.ValueOf("begin"), 4);
}

TEST(StringMapTest, SortedEntriesAndFirstMatch) {
  TkivStringMap map;
  map.SetCaseSensitive(true);
  map.Add("while", 7);
  map.Add("and", 5);
  map.Add("And", 6);
  map.Add(":=", 8);
  map.Add("==", 9);
  ASSERT_EQ(map.Count(), 5);
  EXPECT_EQ(map.Entry(0), ":==8");
  EXPECT_EQ(map.Entry(1), "===9");
  EXPECT_EQ(map.Entry(2), "And=6");
  EXPECT_EQ(map.Entry(3), "and=5");
  EXPECT_EQ(map.Entry(4), "while=7");
  EXPECT_EQ(map.ValueOf(":="), 8) << "names holding '=' are found";
  EXPECT_EQ(map.ValueOf("=="), 9);
  EXPECT_EQ(map.ValueOf("="), -1);

  map.SetCaseSensitive(false);
  EXPECT_EQ(map.IndexOf("AND"), 2) << "the first entry in list order wins";
  EXPECT_EQ(map.ValueOf("and"), 6);
}

} // namespace
