// kivInterpProgram.h - a grammar compiled for the interpreter: every rule, block, alternative and
// element of the graph as plain data, with the decisions exactly as the generator writes them
// (its branch order, its tests over the analyzer's caches, its error clauses).
#pragma once

#include <bitset>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace kiv::interp {

using MemberSet = std::bitset<256>;

struct Rule;
struct Block;

enum class OpKind : unsigned char {
  MatchChar,      // match(c)
  MatchNotChar,   // matchNot(c); the lexer's wildcard is matchNot(EOF_CHAR)
  MatchCharSet,   // match([set])
  MatchString,    // match('text')
  MatchToken,     // match(type)
  MatchNotToken,  // matchNot(type); the parser's wildcard is matchNot(TT_000)
  MatchTokenSet,  // match([types])
  RuleCall,
  Action,
  SemPred,        // a validating predicate: raises EkivSemantic when it does not hold
  Block,
};

// What a lexer action does that the interpreter understands.
struct ActionEffect {
  enum Kind { SetType, NewLine } What = NewLine;
  int Type = 0;
};

struct Op {
  OpKind Kind = OpKind::Action;
  bool Suppress = false;     // SaveConsumedInput is off while it matches
  bool RestoreText = false;  // a lexer call whose text is dropped again ("!" or a rule without text)
  bool Create = false;       // a lexer call that asks for the token (labelled)
  bool Guarded = true;       // an action that runs only while not guessing
  bool Skipped = false;      // an action with statements the interpreter does not run
  int Value = 0;
  int Line = 0;
  int Column = 0;
  int Predicate = -1;        // index of a predicate in Program::Predicates
  MemberSet Members;
  std::string Text;
  std::vector<ActionEffect> Effects;
  const Rule* Target = nullptr;
  const Block* Sub = nullptr;
};

// One term of a decision: LA(Depth) in Members.
struct Term {
  int Depth = 1;
  MemberSet Members;
};

struct Alternative {
  int Index = 1;  // 1-based, in the block's order
  int Line = 0;
  int Column = 0;
  std::vector<Op> Ops;
  const Block* SynPred = nullptr;
  int Predicate = -1;  // a predicate that gates the alternative (index in Program::Predicates)
  std::string HandlerKind;  // "except", "finally" or empty
  bool HandlerReraises = false;
  std::string HandlerText;
};

struct Branch {
  const Alternative* Alt = nullptr;
  std::vector<Term> Terms;  // all must hold; none means the test is true
  int Depth = 0;            // the depth the test is written for
};

enum class BlockKind : unsigned char { Rule, Sub, ZeroOrMore, OneOrMore, Guess, NextToken };

struct Block {
  BlockKind Kind = BlockKind::Sub;
  int Line = 0;
  int Column = 0;
  std::string RuleName;
  std::vector<Op> Init;  // the init action, when there is one
  bool Inverted = false;  // match([InvertedSet]) instead of a decision
  MemberSet InvertedSet;
  bool Shortcut = false;  // a single alternative run without a decision
  std::vector<std::unique_ptr<Alternative>> Alts;
  std::vector<const Alternative*> Guessed;  // alternatives with a syntactic predicate, in order
  std::vector<Branch> Branches;
  const Alternative* Default = nullptr;
  bool NeedsErrorClause = true;
  bool GeneratedIf = false;
  bool ClosesGroup = false;
  MemberSet NoViable;  // Look(1) of the block: what the error names
  int NonGreedyDepth = 0;
  std::vector<Term> ExitTerms;
  bool MayMatchNothing = false;
};

struct Rule {
  std::string Name;  // as the user wrote it (a lexer rule without its "m")
  bool Public = false;
  bool Protected = false;
  bool Private = false;
  const Block* Body = nullptr;
  bool SingleAlt = false;  // the body's one alternative runs without a decision
  int Predicate = -1;  // the single alternative's gating predicate, checked like a validating one
  std::string HandlerKind;
  bool HandlerReraises = false;
  std::string HandlerText;
  bool DefaultHandler = false;
  MemberSet Follow;
  bool TestLiterals = false;
  int TokenType = 0;
};

struct PredicateInfo {
  std::string Rule;
  int Line = 0;
  int Column = 0;
  std::string Text;
};

struct Program {
  bool Lexer = false;
  int K = 1;
  bool CaseSensitive = true;
  bool Filter = false;
  const Rule* FilterRule = nullptr;
  bool TestLiterals = false;
  bool HasSynPreds = false;
  std::string GrammarName;
  std::vector<std::unique_ptr<Rule>> Rules;
  std::vector<std::unique_ptr<Block>> Blocks;  // every block of every rule
  std::unordered_map<std::string, const Rule*> RulesByName;
  const Block* NextToken = nullptr;  // null for a lexer without public rules and for parsers
  MemberSet First;                   // what a token can start with (NextToken's mismatch)
  std::vector<std::pair<std::string, int>> Literals;  // the literal table, as the unit fills it
  std::vector<std::string> TypeNames;  // by token type, the vocabulary's name
  std::vector<PredicateInfo> Predicates;

  const Rule* FindRule(const std::string& Name) const;
  std::string TypeName(int Type) const;
  // The literal table's value for Text, else Type.
  int TestLiteral(const std::string& Text, int Type) const;
};

}  // namespace kiv::interp
