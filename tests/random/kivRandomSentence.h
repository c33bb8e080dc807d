// kivRandomSentence.h - inputs drawn from a random grammar: character texts that walk the lexer's
// token rules, token sequences that walk the parser's rules, and random bytes and token types.
#pragma once

#include <string>
#include <vector>

#include "tests/random/kivRandomGrammar.h"

namespace kiv::rnd {

class LexerSampler {
 public:
  LexerSampler(const Grammar& Lexer, Random& R);
  // A text of one token rule (or of a literal of the tokens section); empty when the name is
  // neither.
  std::string Token(const std::string& Name);
  // A few tokens in a row, separated by blanks when the lexer skips them.
  std::string Text();
  // Random bytes, mostly from the characters the grammar uses.
  std::string Bytes();

 private:
  void WalkRule(const Rule& R, int Depth, std::string& Out);
  void WalkAlts(const std::vector<Alt>& Alts, int Depth, std::string& Out);
  void WalkAlt(const Alt& A, int Depth, std::string& Out);
  void WalkElem(const Elem& E, int Depth, std::string& Out);
  char Cased(int Code);
  int CharNotIn(const std::vector<std::pair<int, int>>& Ranges);

  const Grammar& fGrammar;
  Random& fRandom;
  DerivationCost fCost;
  std::string fUsed;  // characters the grammar mentions
  bool fSkipsBlanks = false;
};

class ParserSampler {
 public:
  ParserSampler(const Grammar& Parser, const std::vector<VocabularyToken>& Vocabulary, Random& R);
  // Token types of a sentence of the rule, without the end-of-file token.
  std::vector<int> Sentence(const std::string& RuleName);
  // Random token types of the vocabulary, now and then one outside it.
  std::vector<int> RandomTypes();
  // Deletes, repeats, swaps or inserts a few tokens.
  void Mutate(std::vector<int>& Types);
  // Name of a token type ("" for none): a token name or a literal in double quotes.
  std::string NameOf(int Type) const;

 private:
  void WalkAlts(const std::vector<Alt>& Alts, int Depth, std::vector<int>& Out);
  void WalkAlt(const Alt& A, int Depth, std::vector<int>& Out);
  void WalkElem(const Elem& E, int Depth, std::vector<int>& Out);
  int TypeOf(const std::string& Name) const;
  int LiteralType(const std::string& Text) const;
  int RandomType();

  const Grammar& fGrammar;
  const std::vector<VocabularyToken>& fVocabulary;
  Random& fRandom;
  DerivationCost fCost;
};

// Whether a grammar holds a syntactic predicate.
bool HasSynPreds(const Grammar& G);

// The longest text and token sequence a grammar gets (see note [input sizes]).
std::size_t MaxText(const Grammar& G);
std::size_t MaxTokens(const Grammar& G);

// Mutates a text: deletes, repeats or replaces a few characters.
void MutateText(std::string& Text, Random& R);

}  // namespace kiv::rnd
