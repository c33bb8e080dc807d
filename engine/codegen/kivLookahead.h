// kivLookahead.h - TkivLookahead: the analyzer's value for one element at one lookahead depth.
// Small and shared: caches of the element graph hold these sets for the rest of a build.
#pragma once

#include <string>

#include "engine/kivLookaheadIntf.h"

class TkivLookahead : public IkivLookahead {
public:
  // Empty: no members, no depths, no epsilon, no cycle.
  TkivLookahead() = default;
  // A copy of another set's four fields.
  explicit TkivLookahead(const IkivLookahead& Other);
  explicit TkivLookahead(const MemberSet& Members) : fMembers(Members) {}
  // The set of one token type or character code; a value outside 0..255 cannot be a member and
  // gives the empty set.
  explicit TkivLookahead(int Value);
  // An empty set cut short by the FOLLOW computation of the named rule.
  explicit TkivLookahead(const std::string& Cycle) : fCycle(Cycle) {}

  MemberSet GetMembers() const override { return fMembers; }
  MemberSet GetEpsilonDepths() const override { return fEpsilonDepths; }
  bool ContainsEpsilon() const override { return fHasEpsilon; }
  std::string GetCycle() const override { return fCycle; }
  void SetMembers(const MemberSet& Members) override { fMembers = Members; }
  void SetEpsilonDepths(const MemberSet& Depths) override { fEpsilonDepths = Depths; }
  void SetEpsilon(bool Epsilon) override { fHasEpsilon = Epsilon; }
  void SetCycle(const std::string& Cycle) override { fCycle = Cycle; }
  IkivLookaheadPtr Intersect(const IkivLookahead& Other) const override;
  void Combine(const IkivLookahead& Other) override;
  void AddMembers(const MemberSet& Members) override { fMembers |= Members; }
  bool IsEmpty() const override { return fMembers.none() && !fHasEpsilon; }
  IkivLookaheadPtr Clone() const override;
  std::string ToText(const IkivTokenManager* Vocabulary) const override;

private:
  MemberSet fMembers;
  MemberSet fEpsilonDepths;
  bool fHasEpsilon = false;
  std::string fCycle;
};
