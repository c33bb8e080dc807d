// kivLookaheadTests.h - how lookahead sets become Delphi: the two set spellings (characters for
// lexers, token names for parsers) and the membership tests of alternatives and loop exits.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/kivGraph.h"
#include "engine/kivLookaheadIntf.h"
#include "engine/kivModel.h"

namespace kiv {

using MemberSet = IkivLookahead::MemberSet;
// Spells the members of a set the way the grammar's generated code names them.
using MemberFormatter = std::function<std::string(const MemberSet&)>;

// Members as character literals: 'a', '''' for the apostrophe, #code for the rest; runs of
// consecutive members as first..last, items joined by ",".
std::string CharSetForm(const MemberSet& Members);

// The names under which generated code refers to token types: exactly the names the token-types
// unit declares. A type is named by the first vocabulary line of that type that the unit declares
// (a literal by its label, any other token as "TT_" + name). Type 0 is the runtime's TT_000; a type
// the unit does not declare is written as its number, which every set and match accepts.
class TokenVocabularyNames {
public:
  explicit TokenVocabularyNames(const IkivTokenManager& Manager);

  std::string Name(int Type) const;
  // Members in ascending order, runs of consecutive types as first..last, joined by ",".
  std::string SetText(const MemberSet& Members) const;
  // The declared name of every vocabulary line, in line order (empty where the line declares
  // none), as DeclaredTokenName gives them.
  const std::vector<std::string>& LineNames() const;

private:
  // Reads the vocabulary into fNames and fLineNames once (a generated unit asks for names many
  // thousand times), and again when the vocabulary has grown since.
  void ReadNames() const;

  const IkivTokenManager& fManager;
  mutable std::vector<std::string> fNames;      // by type; empty where no line declares a name
  mutable std::vector<std::string> fLineNames;  // by vocabulary line
  mutable std::size_t fLinesRead = 0;
  mutable bool fRead = false;
};

// The declared name of one vocabulary line of the manager, empty when the token-types unit
// declares nothing for it (names beginning with "<", names without a symbol).
std::string DeclaredTokenName(const IkivTokenManager& Manager, const std::string& VocabularyName);

// "LA(" Depth ") in [" members "]".
std::string LookaheadTerm(int Depth, const MemberSet& Members, const MemberFormatter& Format);

// The conjunction of the terms of Sets (the first for depth 1): "( " term ") and (" term ... ")".
// A set that contains epsilon does not restrict its depth and contributes no term; with no term
// at all the conjunction reads "( true)".
std::string Conjunction(const std::vector<IkivLookaheadPtr>& Sets, const MemberFormatter& Format);

// The depth up to which an alternative is tested: its lookahead depth, k when nondeterministic,
// never below 1 nor above k.
int AlternativeDepthLimit(const IkivAlternative& Alt, int K);

// The test of an alternative over its cache entries 1..Limit, stopping at the first entry without
// members; Limit 0 gives "true". For k = 2 and the sets {'a'}, {'b'..'d'} the test reads
// (( LA(1) in ['a']) and (LA(2) in ['b'..'d'])).
std::string AlternativeTest(const IkivAlternative& Alt, int Limit, const MemberFormatter& Format);

// True when AlternativeTest(Alt, Limit, ...) is the single term on LA(1): the entry at depth 1 has
// members and no epsilon, and every entry after it up to the first without members has epsilon.
bool TestsFirstOnly(const IkivAlternative& Alt, int Limit);

// True when the member sets of the alternative's cache entries 1..its depth limit are all empty.
bool LookaheadIsEmpty(const IkivAlternative& Alt, int K);

// The depth at which a lexer alternative is tested: from its depth limit down while the entry at
// that depth contains epsilon or has no members; 0 when no entry qualifies.
int EffectiveDepth(const IkivAlternative& Alt, int K);

// The exit test of a loop over its exit cache entries 1..Depth (a conjunction).
std::string LoopExitTest(const IkivBlockWithImpliedExitPath& Loop, int Depth, const MemberFormatter& Format);

} // namespace kiv
