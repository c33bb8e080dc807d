// kivLookaheadTest.cpp - emptiness, intersection, combination and text form of lookahead sets.
#include <gtest/gtest.h>

#include <memory>

#include "engine/codegen/kivLookahead.h"
#include "engine/model/kivGrammarSymbol.h"
#include "engine/model/kivTokenManager.h"
#include "runtime/cpp/kivTypes.h"

namespace {

TkivLookahead Of(std::initializer_list<int> Members, bool Epsilon = false) {
  TkivLookahead set(kiv::TokenSetOf(Members));
  set.SetEpsilon(Epsilon);
  return set;
}

TEST(Lookahead, OnlyMembersAndEpsilonCountForEmptiness) {
  EXPECT_TRUE(TkivLookahead().IsEmpty());
  EXPECT_FALSE(Of({}, true).IsEmpty());
  EXPECT_TRUE(TkivLookahead(std::string("expr")).IsEmpty());
  TkivLookahead depthsOnly;
  depthsOnly.SetEpsilonDepths(kiv::TokenSetOf({2}));
  EXPECT_TRUE(depthsOnly.IsEmpty());
  EXPECT_FALSE(TkivLookahead(255).IsEmpty());
  // A value outside the set range cannot be a member.
  EXPECT_TRUE(TkivLookahead(256).IsEmpty());
  EXPECT_TRUE(TkivLookahead(-1).IsEmpty());
}

TEST(Lookahead, IntersectionKeepsCommonMembersAndEpsilonOfBoth) {
  TkivLookahead left = Of({3, 5}, true);
  left.SetCycle("a");
  left.SetEpsilonDepths(kiv::TokenSetOf({1}));
  const IkivLookaheadPtr both = left.Intersect(Of({5}, true));
  EXPECT_EQ(both->GetMembers(), kiv::TokenSetOf({5}));
  EXPECT_TRUE(both->ContainsEpsilon());
  EXPECT_EQ(both->GetCycle(), "");
  EXPECT_TRUE(both->GetEpsilonDepths().none());

  const IkivLookaheadPtr none = Of({3}, true).Intersect(Of({4}));
  EXPECT_TRUE(none->IsEmpty());
  EXPECT_FALSE(none->ContainsEpsilon());
  // Operands are left as they were.
  EXPECT_EQ(left.GetMembers(), kiv::TokenSetOf({3, 5}));
}

TEST(Lookahead, CombineMergesInPlaceAndKeepsTheFirstCycle) {
  TkivLookahead a = Of({1});
  a.SetCycle("a");
  TkivLookahead b = Of({2}, true);
  b.SetCycle("b");
  b.SetEpsilonDepths(kiv::TokenSetOf({3}));
  a.Combine(b);
  EXPECT_EQ(a.GetCycle(), "a");
  EXPECT_EQ(a.GetMembers(), kiv::TokenSetOf({1, 2}));
  EXPECT_TRUE(a.ContainsEpsilon());
  EXPECT_EQ(a.GetEpsilonDepths(), kiv::TokenSetOf({3}));

  TkivLookahead c = Of({4});
  c.Combine(b);
  EXPECT_EQ(c.GetCycle(), "b");
  // A clone is a separate object.
  const IkivLookaheadPtr clone = c.Clone();
  clone->AddMembers(kiv::TokenSetOf({10}));
  EXPECT_EQ(c.GetMembers(), kiv::TokenSetOf({2, 4}));
  EXPECT_EQ(clone->ToText(nullptr), "#2,#4,#10+ <epsilon>; FOLLOW( b); depths=3");
}

TEST(LookaheadText, WithoutVocabularyMembersPrintAsCharactersThenEpsilonCycleAndDepths) {
  TkivLookahead set = Of({97, 98, 99, 120}, true);
  set.SetCycle("expr");
  set.SetEpsilonDepths(kiv::TokenSetOf({2}));
  EXPECT_EQ(set.ToText(nullptr), "'a'..'c','x'+ <epsilon>; FOLLOW( expr); depths=2");

  TkivLookahead depths;
  depths.SetEpsilonDepths(kiv::TokenSetOf({1, 2, 5}));
  EXPECT_EQ(depths.ToText(nullptr), "; depths=1,2,5");
  EXPECT_EQ(Of({9, 10}).ToText(nullptr), "#9..#10");
  EXPECT_EQ(TkivLookahead().ToText(nullptr), "");
}

TEST(LookaheadText, WithVocabularyMembersPrintAsTokenNames) {
  TkivTokenManager manager("TokenManager", nullptr);
  auto id = std::make_shared<TkivTokenSymbol>("ID");
  id->setTokenType(manager.nextTokenType());
  manager.define(id);
  auto begin = std::make_shared<TkivStringSymbol>("\"begin\"");
  begin->setTokenType(manager.nextTokenType());
  manager.define(begin);
  EXPECT_EQ(Of({1, 4, 5, 7}).ToText(&manager), "TT_EOF,TT_ID..LT_begin,TT_007");
  EXPECT_EQ(Of({2}, true).ToText(&manager), "TT_NULL_TREE_LOOKAHEAD+ <epsilon>");
}

} // namespace
