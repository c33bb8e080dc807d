// kivRandomGrammar.h - seeded random lexer and parser grammar pairs for the random grammar test:
// the grammar model, its generation, nullability and minimal derivations, and its grammar text.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kiv::rnd {

// splitmix64: the same numbers on every platform and standard library, so a seed reproduces its
// grammar anywhere.
class Random {
 public:
  // Neighbouring seeds must not give shifted copies of one stream: the seed is mixed first.
  explicit Random(std::uint64_t Seed) : fState(Mix(Mix(Seed) + 0x2545F4914F6CDD1Dull)) {}
  std::uint64_t Next();
  // 0 <= result < Bound (Bound > 0).
  int Below(int Bound);
  // Lo <= result <= Hi.
  int Between(int Lo, int Hi) { return Lo + Below(Hi - Lo + 1); }
  // True with the given percentage.
  bool Chance(int Percent) { return Below(100) < Percent; }
  template <typename T>
  const T& Pick(const std::vector<T>& Items) {
    return Items[static_cast<std::size_t>(Below(static_cast<int>(Items.size())))];
  }

 private:
  static std::uint64_t Mix(std::uint64_t Z) {
    Z = (Z ^ (Z >> 30)) * 0xBF58476D1CE4E5B9ull;
    Z = (Z ^ (Z >> 27)) * 0x94D049BB133111EBull;
    return Z ^ (Z >> 31);
  }
  std::uint64_t fState;
};

enum class ElemKind {
  Char,          // 'c'
  CharRange,     // 'a'..'z'
  String,        // "abc" (lexer) or a literal token "kw" (parser)
  Wildcard,      // .
  NotChar,       // ~'c'
  TokenRef,      // A
  NotToken,      // ~A
  TokenRange,    // A..B
  RuleRef,       // r, r[args], x=r[args]
  Block,         // ( ... ) with a suffix, or ~( ... )
  Action,        // { ... }
  SemPred,       // { ... }?
};

enum class SuffixKind { None, Optional, ZeroOrMore, OneOrMore, SynPred };

struct Alt;

struct Elem {
  ElemKind Kind = ElemKind::Char;
  std::string Label;   // "" when unlabelled
  bool Bang = false;   // the "!" mark
  int First = 0;       // character code of Char, NotChar and the start of CharRange
  int Last = 0;        // end of CharRange
  std::string Text;    // String text (unescaped), token or rule name, action or predicate code
  std::string Text2;   // end token of TokenRange
  std::string Args;    // argument text of a rule reference, without brackets
  std::string Assign;  // assignment target of a rule reference
  // Block
  std::vector<Alt> Alts;
  SuffixKind Suffix = SuffixKind::None;
  bool Inverted = false;
  std::vector<std::pair<std::string, std::string>> Options;
  std::string Init;  // init action code
};

struct Alt {
  std::vector<Elem> Elems;
  std::string HandlerKind;  // "", "except" or "finally"
  std::string HandlerText;
};

struct Rule {
  std::string Name;
  std::string Access;  // "", "public", "protected", "private"
  std::string Params;  // parameter declaration, without brackets
  std::string Returns; // return type, without brackets
  std::vector<std::pair<std::string, std::string>> Options;
  std::string Locals;
  std::string Init;
  std::vector<Alt> Alts;
  std::string HandlerKind;
  std::string HandlerText;
  bool IsToken() const { return Access != "protected" && Access != "private"; }
};

struct TokensEntry {
  std::string Name;     // "" for a bare literal
  std::string Literal;  // "" for a bare name; the text without quotes
};

struct Grammar {
  bool Lexer = true;
  std::string Unit;
  std::string ClassName;
  int K = 1;
  std::vector<std::pair<std::string, std::string>> Options;  // written in order, values verbatim
  std::vector<std::string> Uses;
  std::string ConstSection;
  std::string TypeSection;
  std::vector<TokensEntry> Tokens;
  std::string MemberDecl;
  std::string MemberDef;
  std::vector<Rule> Rules;
  // What the generation chose, for the sentence generator and the driver.
  bool CaseSensitive = true;
  bool Filter = false;
  std::vector<std::string> Entries;  // parser rules the driver may start with (no parameters)

  const Rule* FindRule(const std::string& Name) const;
};

// One entry of a token vocabulary file: a token name (without "TT_") or a literal (without its
// quotes), and its type.
struct VocabularyToken {
  std::string Name;
  std::string Literal;
  int Type = 0;
};

// Reads a vocabulary file written by kiv; false when it cannot be read.
bool ReadVocabulary(const std::string& Path, std::vector<VocabularyToken>& Tokens);

// The lexer grammar of one seed, and the parser grammar that imports its vocabulary. Unit, class
// and vocabulary names carry the seed, so the units of many seeds can be compiled into one
// program.
Grammar GenerateLexer(std::uint64_t Seed);
Grammar GenerateParser(std::uint64_t Seed, const Grammar& LexerGrammar, const std::vector<VocabularyToken>& Vocabulary);

// The grammar file text.
std::string GrammarText(const Grammar& G, const std::string& Comment);

// Names the pair uses.
std::string LexerUnitName(std::uint64_t Seed);
std::string ParserUnitName(std::uint64_t Seed);
std::string VocabularyName(std::uint64_t Seed);

// Nullability: whether a rule, an alternative or an element can match nothing.
class Nullability {
 public:
  explicit Nullability(const Grammar& G);
  bool RuleNullable(const std::string& Name) const;
  bool AltNullable(const Alt& A) const;
  bool ElemNullable(const Elem& E) const;

 private:
  const Grammar& fGrammar;
  std::map<std::string, bool> fRules;
};

// The smallest number of rule expansions needed to finish a derivation, per rule, alternative and
// element. A sentence generator that runs out of depth follows the cheapest choices.
class DerivationCost {
 public:
  static constexpr int Infinite = 1 << 20;
  explicit DerivationCost(const Grammar& G);
  int RuleCost(const std::string& Name) const;
  int AltCost(const Alt& A) const;
  int ElemCost(const Elem& E) const;

 private:
  const Grammar& fGrammar;
  std::map<std::string, int> fRules;
};

// Lower-case ASCII copy.
std::string Lower(std::string Text);

// A name from a grammar as it must be written in Pascal code of an action or a driver: reserved
// words take an "&".
std::string PascalName(const std::string& Name);

}  // namespace kiv::rnd
