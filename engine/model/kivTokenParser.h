// kivTokenParser.h - TkivTokenParser: reads a token vocabulary file into a token manager.
// Also the import entry point that runs lexer and parser over a stream and says where it stopped.
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "engine/kivModel.h"
#include "runtime/cpp/kivLLkParser.h"

namespace kiv {

// A vocabulary entry that was read but not defined.
struct VocabularyEntry {
  std::string Name;
  int Type = 0;
};

struct VocabularyReadResult {
  // True when a lexical or syntax error ended the reading; StopLine is the line of the error.
  bool Stopped = false;
  int StopLine = 0;
  // Entries whose type lies outside 0..255, which no token set can hold; they are not defined.
  std::vector<VocabularyEntry> Rejected;
};

// Reads a vocabulary file from Input into Target. Reading ends at the first lexical or syntax
// error; the entries read before it stay defined. FileName positions the recognition errors.
VocabularyReadResult ReadVocabulary(std::istream& Input, const std::string& FileName, IkivTokenManager& Target);

} // namespace kiv

// file  : IDENT { entry } EOF
// entry : STRING "=" INT                      a literal
//       | IDENT "=" STRING "=" INT            a literal with its label
//       | IDENT "(" STRING ")" "=" INT        a token with its paraphrase ("TT_" cut off)
//       | IDENT "=" INT                       a token ("TT_" cut off)
// Entries are told apart by up to three tokens of lookahead.
class TkivTokenParser : public TkivLLkParser {
public:
  TkivTokenParser(IkivTokenStreamPtr Lexer, IkivTokenManager& Target);

  // The start rule; raises EkivMismatchedToken or EkivMismatchedChar at the first error.
  void file();

  const std::vector<kiv::VocabularyEntry>& Rejected() const { return fRejected; }

private:
  void entry();
  // The integer token's value; -1 when its digits do not fit.
  static int IntValue(const IkivTokenPtr& Token);
  // The token name of an identifier: the identifier without its first three characters ("TT_").
  static std::string TokenNameOf(const std::string& Identifier);
  // Defines the symbol unless its type lies outside 0..255; answers whether it was defined.
  bool DefineChecked(const IkivTokenSymbolPtr& Symbol);

  IkivTokenManager& fTarget;
  std::vector<kiv::VocabularyEntry> fRejected;
};
