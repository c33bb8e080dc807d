// kivGrammar.h - TkivGrammar and its lexer and parser forms: names, options, tokens and rules.
// The symbol pass creates one at the grammar header; the maker, analyzer and generator read it.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "engine/kivModel.h"
#include "engine/model/kivNames.h"

class TkivGrammar : public virtual IkivGrammar {
public:
  // The deepest lookahead the option "k" accepts: the analyzer records rule-end depths in a set
  // of 0..255.
  static constexpr int MaxLookaheadDepth = 255;

  // Super may be null. The tool is borrowed and receives every diagnostic of the grammar.
  TkivGrammar(const IkivTokenPtr& Name, IkivTool& Tool, const IkivTokenPtr& Super);

  IkivTool* getTool() const override { return fTool; }
  IkivCodeGenerator* getGenerator() const override { return fGenerator; }
  IkivLLkAnalyzer* getAnalyzer() const override { return fAnalyzer; }
  IkivTokenManagerPtr getTokenManager() const override { return fTokenManager; }
  std::string getGrammarName() const override { return fName; }
  std::string getUnitFileName() const override { return fUnitFileName; }
  std::string getUnitName() const override { return fUnitName; }
  std::string getFileName() const override { return fFileName; }
  IkivTokenPtr getImportVocab() const override { return fImportVocab; }
  std::string getExportVocab() const override { return fExportVocab; }
  bool getDefaultErrorHandler() const override { return fDefaultErrorHandler; }
  bool hasSyntacticPredicates() const override { return fHasSyntacticPredicates; }
  std::shared_ptr<void> getExtraReference() const override { return fExtraReference; }
  std::string getMemberDecl() const override { return fMemberDecl; }
  std::string getMemberDef() const override { return fMemberDef; }
  TkivCharSet getCharVocabulary() const override { return fCharVocabulary; }
  IkivRuleSymbolPtr getRuleSymbol(const std::string& Id) const override;
  RuleList& getRules() override { return fRules; }
  kiv::SortedNameList& getUses() override { return fUses; }
  IkivTokenPtr getConstSection() const override { return fConstSection; }
  IkivTokenPtr getTypeSection() const override { return fTypeSection; }
  int getK() const override { return fK; }
  void setAnalyzer(IkivLLkAnalyzer* Analyzer) override { fAnalyzer = Analyzer; }
  void setUnitName(const std::string& UnitName) override;
  void importVocab(const IkivTokenPtr& Vocab) override;
  void setExportVocab(const std::string& ExportVocab) override { fExportVocab = ExportVocab; }
  void setDefaultErrorHandler(bool DefaultErrorHandler) override { fDefaultErrorHandler = DefaultErrorHandler; }
  void setHasSyntacticPredicates(bool Has) override { fHasSyntacticPredicates = Has; }
  void setExtraReference(std::shared_ptr<void> Reference) override { fExtraReference = std::move(Reference); }
  std::shared_ptr<void> getGraphStorage() const override { return fGraphStorage; }
  void setGraphStorage(std::shared_ptr<void> Storage) override { fGraphStorage = std::move(Storage); }
  bool getOptimize() const override { return fOptimize; }
  void setOptimize(bool Optimize) override { fOptimize = Optimize; }
  void setMemberDecl(const std::string& MemberDecl) override { fMemberDecl = MemberDecl; }
  void setMemberDef(const std::string& MemberDef) override { fMemberDef = MemberDef; }
  void setCharVocabulary(const TkivCharSet& CharVocabulary) override { fCharVocabulary = CharVocabulary; }
  void setGenerator(IkivCodeGenerator* Generator) override { fGenerator = Generator; }
  void setConstSection(const IkivTokenPtr& Section) override { fConstSection = Section; }
  void setTypeSection(const IkivTokenPtr& Section) override { fTypeSection = Section; }
  void setFileName(const std::string& FileName) override { fFileName = FileName; }
  std::string getName() const override { return fName; }
  bool ruleDefined(const std::string& Id) const override;
  void addRuleSymbol(const IkivRuleSymbolPtr& Symbol) override;
  // Handles "k" (1..MaxLookaheadDepth) and "optimize" (true or false) and warns about any other name; the lexer and parser forms
  // add theirs first.
  bool setOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) override;

protected:
  void ReportError(const std::string& Msg, const IkivTokenPtr& At) const;
  void ReportWarning(const std::string& Msg, const IkivTokenPtr& At) const;
  // Reads "true" or "false" from an identifier value; false when the value is neither.
  static bool ReadBoolean(const IkivTokenPtr& Value, bool& Result);

private:
  void ReadVocabulary(std::istream& Input, const std::string& VocabFileName);

  TkivCharSet fCharVocabulary;
  IkivTool* fTool;
  IkivCodeGenerator* fGenerator = nullptr;
  IkivLLkAnalyzer* fAnalyzer = nullptr;
  RuleList fRules;
  int fK = 1;
  std::map<std::string, IkivRuleSymbolPtr, kiv::TextLess> fRuleMap;
  kiv::SortedNameList fUses{"Classes", "Contnrs", "SysUtils", "kivTypes", "kivToken"};
  IkivTokenPtr fConstSection;
  IkivTokenPtr fTypeSection;
  bool fHasSyntacticPredicates = false;
  std::string fUnitFileName;
  std::string fUnitName;
  std::string fName;
  std::string fSuperGrammarName;
  std::string fFileName;
  IkivTokenManagerPtr fTokenManager;
  IkivTokenPtr fImportVocab;
  bool fImportRequested = false;
  std::string fExportVocab;
  bool fDefaultErrorHandler = false;
  bool fOptimize = false;
  std::shared_ptr<void> fExtraReference;
  std::shared_ptr<void> fGraphStorage;
  std::string fMemberDecl;
  std::string fMemberDef;
};

class TkivLexerGrammar : public TkivGrammar, public virtual IkivLexerGrammar {
public:
  TkivLexerGrammar(const IkivTokenPtr& Name, IkivTool& Tool, const IkivTokenPtr& Super);

  bool getTestLiterals() const override { return fTestLiterals; }
  bool getCaseSensitive() const override { return fCaseSensitive; }
  bool getFilter() const override { return fFilter; }
  std::string getFilterRule() const override { return fFilterRule; }
  // Adds "testLiterals", "caseSensitive", "filter" and the warning for "defaultErrorHandler".
  bool setOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) override;

private:
  bool fTestLiterals = false;
  bool fCaseSensitive = true;
  bool fFilter = false;
  std::string fFilterRule;
};

class TkivParserGrammar : public TkivGrammar, public virtual IkivParserGrammar {
public:
  TkivParserGrammar(const IkivTokenPtr& Name, IkivTool& Tool, const IkivTokenPtr& Super);

  // Adds "defaultErrorHandler".
  bool setOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) override;
};
