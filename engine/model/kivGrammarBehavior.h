// kivGrammarBehavior.h - TkivGrammarBehavior: the symbol-definition pass over a grammar file.
// Creates the grammar at its header and defines every rule, token, literal and option it names.
#pragma once

#include <string>

#include "engine/kivGrammarBehavior.h"
#include "engine/kivModel.h"
#include "engine/model/kivNames.h"

// The callbacks that build the element graph (alternatives, subrules, elements, handlers, rule
// and subrule options) stay pure virtual here: the grammar maker derives from this class and
// implements them. Where the maker overrides one of the operations defined here, it calls this
// class's operation first, so that the symbols exist before elements refer to them.
class TkivGrammarBehavior : public IkivGrammarBehavior {
public:
  // The tool is borrowed and receives every diagnostic; the analyzer is borrowed and handed to
  // the grammar. A non-empty exchange directory gets a trailing path separator.
  TkivGrammarBehavior(IkivTool& Tool, IkivLLkAnalyzer* Analyzer, const std::string& ExchangeDirectory);

  IkivGrammarPtr getGrammar() override { return fGrammar; }
  void abortGrammar() override { resetGrammars(); }
  void setUnitName(const std::string& UnitName) override;
  void defineRule(const IkivTokenPtr& RuleName, const std::string& Access, bool Flag,
                  const std::string& Comment) override;
  void defineTokensEntry(const IkivTokenPtr& TokenName, const IkivTokenPtr& Str) override;
  void addUsesUnit(const IkivTokenPtr& UnitName) override;
  void emptyHook() override {}
  void spareOperationA() override {}
  void spareOperationB() override {}
  void setConstSection(const IkivTokenPtr& Action) override { fConstSection = Action; }
  void setTypeSection(const IkivTokenPtr& Action) override { fTypeSection = Action; }
  void setMemberDecl(const IkivTokenPtr& Action) override;
  void setMemberDef(const IkivTokenPtr& Action) override;
  void addRuleRef(const IkivTokenPtr& AssignTarget, const IkivTokenPtr& Rule, const IkivTokenPtr& Label,
                  const IkivTokenPtr& Argument, int AutoGen) override;
  void addStringLiteral(const IkivTokenPtr& Str, const IkivTokenPtr& Label, int AutoGen, bool LastInRule) override;
  void addTokenRef(const IkivTokenPtr& AssignTarget, const IkivTokenPtr& Token, const IkivTokenPtr& Label,
                   const IkivTokenPtr& Argument, int Inverted, int AutoGen, bool LastInRule) override;
  void addTokenRange(const IkivTokenPtr& First, const IkivTokenPtr& Last, const IkivTokenPtr& Label, int AutoGen,
                     bool LastInRule) override;
  void resetGrammars() override;
  void setCharVocabulary(const std::bitset<256>& CharSet) override;
  void setFileOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) override;
  void setGrammarOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) override;
  void startLexerGrammar(const std::string& FileName, const IkivTokenPtr& Name,
                         const IkivTokenPtr& SuperGrammar) override;
  void startParserGrammar(const std::string& FileName, const IkivTokenPtr& Name,
                          const IkivTokenPtr& SuperGrammar) override;
  void startTreeWalkerGrammar(const std::string&, const IkivTokenPtr&, const IkivTokenPtr&) override {}

  // The target language ("Delphi" unless the file-level option "language" says otherwise).
  const std::string& Language() const { return fLanguage; }
  // The exchange directory with its trailing separator (empty for the current directory).
  const std::string& ExchangeDirectory() const { return fExchangeDirectory; }
  // The units of the file's uses section, collected before the grammar starts.
  const kiv::SortedNameList& UsesUnits() const { return fUses; }

protected:
  IkivTool& Tool() const { return *fTool; }
  IkivLLkAnalyzer* Analyzer() const { return fAnalyzer; }
  // True while a lexer grammar (or a parser grammar) is being read.
  bool InLexer() const { return fInLexer; }
  bool InParser() const { return fInParser; }
  const IkivLexerGrammarPtr& LexerGrammar() const { return fLexerGrammar; }
  const IkivParserGrammarPtr& ParserGrammar() const { return fParserGrammar; }
  // The current grammar; a callback that needs one before the grammar header is a broken
  // contract with the parser and panics.
  IkivGrammar& CurrentGrammar() const;

  // Diagnostics at a token of the grammar file (line 0 for an absent token).
  void ReportError(const std::string& Msg, const IkivTokenPtr& At) const;
  void ReportWarning(const std::string& Msg, const IkivTokenPtr& At) const;

  // Gives the symbol the manager's next token type and defines it. Types beyond 255 cannot be
  // members of a lookahead set, so numbering past it is reported as an error at the token.
  void DefineWithNextType(const IkivTokenSymbolPtr& Symbol, const IkivTokenPtr& At);

  // The rule id of a rule name token: the encoded name for an upper-case (lexer rule) name.
  static std::string RuleIdOf(const IkivTokenPtr& RuleName);

private:
  void StartGrammar(const IkivGrammarPtr& Grammar, const std::string& FileName);

  IkivGrammarPtr fGrammar;
  IkivTool* fTool;
  IkivLLkAnalyzer* fAnalyzer;
  kiv::SortedNameList fUses;
  bool fInLexer = false;
  bool fInParser = false;
  bool fInTreeWalker = false;
  IkivLexerGrammarPtr fLexerGrammar;
  IkivParserGrammarPtr fParserGrammar;
  IkivTreeWalkerGrammarPtr fTreeWalkerGrammar;
  std::string fLanguage = "Delphi";
  std::string fExchangeDirectory;
  IkivTokenPtr fConstSection;
  IkivTokenPtr fTypeSection;
};
