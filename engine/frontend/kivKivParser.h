// kivKivParser.h - TkivKivParser: the LL(2) parser of grammar files.
// It builds nothing itself: every construct it recognises becomes one IkivGrammarBehavior callback.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/kivGrammarBehavior.h"
#include "engine/kivLibTypes.h"
#include "runtime/cpp/kivLLkParser.h"

// Reads a grammar file from a TkivKivLexer and calls the behavior in source order. The first
// lexical or syntax error ends the parse with EkivMismatchedChar or EkivMismatchedToken; there is
// no recovery. The file name used for callbacks and positions is the one set on InputState.
class TkivKivParser : public TkivLLkParser {
public:
  // TokenStream is the grammar-file lexer. The behavior is shared; the tool is borrowed and must
  // outlive the parser (it receives the label warning only).
  TkivKivParser(IkivTokenStreamPtr TokenStream, std::shared_ptr<IkivGrammarBehavior> Behavior, IkivTool& Tool,
                std::string ExchangeDir);

  // The start rule: one whole grammar file, through to the end of input. Anything after the
  // grammar is a syntax error on the first token there.
  void file();

  const std::string& ExchangeDir() const { return fExchangeDir; }
  // The name from the file's first line ("unit" id ";"); empty before file() has read it.
  const std::string& UnitName() const { return fUnitName; }

private:
  using SetOption = void (IkivGrammarBehavior::*)(const IkivTokenPtr&, const IkivTokenPtr&);

  void usesSection();
  void constSection();
  void typeSection();
  void grammar();
  void optionsBlock(SetOption Set);
  IkivTokenPtr optionValue();
  IkivTokenPtr qualifiedId();
  void tokensSection();
  void tokensEntry();
  void rule();
  void altList();
  void alternative();
  void element();
  void labeledElement(const IkivTokenPtr& Label);
  void assignment();
  void subrule(const IkivTokenPtr& Label, int Inverted);

  // Consumes the current token when it is an id (either case) and returns it.
  IkivTokenPtr matchId();
  // Consumes the current token when it has type TokenType and returns it.
  IkivTokenPtr matchToken(int TokenType);
  // Consumes a label (id ":") and warns when it stands in column 1, where it most likely is the
  // name of a rule whose predecessor lacks its ";".
  IkivTokenPtr label();
  // 3 after a consumed "!", else 1.
  int autoGenSuffix();
  // The last-in-rule argument of the element callbacks.
  bool lastInRule();
  [[noreturn]] void mismatch(const TkivTokenSet& Expected);

  std::shared_ptr<IkivGrammarBehavior> fBehavior;
  IkivTool& fTool;
  std::string fExchangeDir;
  std::int32_t fBlockDepth = 0;
  std::string fUnitName;
};
