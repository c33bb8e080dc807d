// kivLookaheadIntf.h - IkivLookahead: what can be seen at one lookahead depth.
// Members are token types (parser) or character codes (lexer); epsilon is a flag, never a member.
#pragma once

#include <bitset>
#include <memory>
#include <string>

class IkivLookahead;
class IkivTokenManager;
using IkivLookaheadPtr = std::shared_ptr<IkivLookahead>;

// Operations that yield a new set return a new object; only the setters, Combine and AddMembers
// change the receiver.
class IkivLookahead {
public:
  using MemberSet = std::bitset<256>;

  virtual ~IkivLookahead() = default;
  virtual MemberSet GetMembers() const = 0;
  // The depths at which the end of a rule was reached with no FOLLOW to add.
  virtual MemberSet GetEpsilonDepths() const = 0;
  virtual bool ContainsEpsilon() const = 0;
  // The rule whose FOLLOW was being computed when this set was cut short; empty when complete.
  virtual std::string GetCycle() const = 0;
  virtual void SetMembers(const MemberSet& Members) = 0;
  virtual void SetEpsilonDepths(const MemberSet& Depths) = 0;
  virtual void SetEpsilon(bool Epsilon) = 0;
  virtual void SetCycle(const std::string& Cycle) = 0;
  // A new set of the common members, with epsilon only when both have it.
  virtual IkivLookaheadPtr Intersect(const IkivLookahead& Other) const = 0;
  // Merges Other into this set in place; the first cycle met stays.
  virtual void Combine(const IkivLookahead& Other) = 0;
  virtual void AddMembers(const MemberSet& Members) = 0;
  // No members and no epsilon; the cycle and the depths do not count.
  virtual bool IsEmpty() const = 0;
  virtual IkivLookaheadPtr Clone() const = 0;
  // The diagnostic text; members are named through the manager's vocabulary, or printed as
  // characters when Vocabulary is null.
  virtual std::string ToText(const IkivTokenManager* Vocabulary) const = 0;
};
