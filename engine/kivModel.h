// kivModel.h - the grammar model's interfaces: symbols, the token manager and the grammars.
// Every later pass reads a grammar through these abstract classes; engine/model/ implements them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/kivLibTypes.h"
#include "engine/model/kivNames.h"
#include "runtime/cpp/kivTypes.h"

// Graph, analysis and generation types that the model only refers to. The element graph belongs
// to its grammar and is linked with plain pointers, so the model holds these as plain pointers.
class IkivRuleBlock;
class IkivRuleRefElem;
class IkivLLkAnalyzer;
class IkivCodeGenerator;

class IkivGrammarSymbol;
class IkivTokenSymbol;
class IkivStringSymbol;
class IkivRuleSymbol;
class IkivTokenManager;
class IkivLexerGrammar;
class IkivParserGrammar;

using IkivGrammarSymbolPtr = std::shared_ptr<IkivGrammarSymbol>;
using IkivTokenSymbolPtr = std::shared_ptr<IkivTokenSymbol>;
using IkivStringSymbolPtr = std::shared_ptr<IkivStringSymbol>;
using IkivRuleSymbolPtr = std::shared_ptr<IkivRuleSymbol>;
using IkivTokenManagerPtr = std::shared_ptr<IkivTokenManager>;
using IkivLexerGrammarPtr = std::shared_ptr<IkivLexerGrammar>;
using IkivParserGrammarPtr = std::shared_ptr<IkivParserGrammar>;

// A lexer rule lives in the symbol table and in generated code under "m" + its name; diagnostics
// show the decoded name.
inline std::string EncodeLexerRuleName(const std::string& Name) { return "m" + Name; }
inline std::string DecodeLexerRuleName(const std::string& Name) {
  return (!Name.empty() && Name[0] == 'm') ? Name.substr(1) : Name;
}

// Any name a grammar introduces. A token's id is its name, a literal's id its text with both
// double quotes, a lexer rule's id its encoded name, a parser rule's id its name.
class IkivGrammarSymbol {
public:
  virtual ~IkivGrammarSymbol() = default;
  virtual std::string getId() const = 0;
  virtual void setId(const std::string& Id) = 0;
};

class IkivTokenSymbol : public virtual IkivGrammarSymbol {
public:
  virtual int getTokenType() const = 0;
  virtual std::string getParaphrase() const = 0;
  virtual std::string getAstNodeType() const = 0;
  virtual void setTokenType(int TokenType) = 0;
  virtual void setParaphrase(const std::string& Paraphrase) = 0;
  virtual void setAstNodeType(const std::string& AstNodeType) = 0;
  // A new symbol of the same class with the same values (a literal keeps its label).
  virtual IkivTokenSymbolPtr clone() const = 0;
};

// A string literal used as a token; its label is the token name given to it, empty when none.
class IkivStringSymbol : public virtual IkivTokenSymbol {
public:
  virtual std::string getLabel() const = 0;
  virtual void setLabel(const std::string& Label) = 0;
};

class IkivRuleSymbol : public virtual IkivGrammarSymbol {
public:
  using ReferenceList = std::vector<IkivRuleRefElem*>;

  // The rule's block; null until the grammar maker builds it.
  virtual IkivRuleBlock* getBlock() const = 0;
  virtual bool isDefined() const = 0;
  // The rule-reference elements that name this rule (the list itself).
  virtual ReferenceList& getReferences() = 0;
  virtual std::string getAccess() const = 0;
  virtual std::string getComment() const = 0;
  // Null for an index outside 0..numReferences()-1.
  virtual IkivRuleRefElem* getReference(int Index) const = 0;
  virtual void setBlock(IkivRuleBlock* Block) = 0;
  virtual void setDefined(bool Defined) = 0;
  virtual void setAccess(const std::string& Access) = 0;
  virtual void setComment(const std::string& Comment) = 0;
  virtual void addReference(IkivRuleRefElem* Reference) = 0;
  virtual int numReferences() const = 0;
};

// One grammar's token symbols and literal symbols, the numbering of token types, and the ordered
// vocabulary ("name=type" lines) that vocabulary files and diagnostics read. Keys and vocabulary
// names compare letter-case-blind; the first match wins.
class IkivTokenManager {
public:
  using Vocabulary = std::vector<std::string>;

  virtual ~IkivTokenManager() = default;
  virtual std::string getName() const = 0;
  virtual bool isReadOnly() const = 0;
  // The next token type minus one.
  virtual int getMaxTokenType() const = 0;
  // Answers the next token type and raises it by one.
  virtual int nextTokenType() = 0;
  // The vocabulary lines themselves, in definition order.
  virtual const Vocabulary& getVocabulary() const = 0;
  // The key at a table position; empty outside the table.
  virtual std::string getTokenStringAt(int Index) const = 0;
  // The symbol at a table position; null outside the table.
  virtual IkivTokenSymbolPtr getTokenSymbolAt(int Index) const = 0;
  virtual IkivTokenSymbolPtr getTokenSymbol(const std::string& Key) const = 0;
  virtual bool tokenDefined(const std::string& Key) const = 0;
  virtual void setName(const std::string& Name) = 0;
  virtual void setReadOnly(bool ReadOnly) = 0;
  virtual void setNextTokenType(int TokenType) = 0;
  virtual IkivTokenManagerPtr clone() const = 0;
  // Copies of the table's keys and symbols, in table order (a symbol under two keys is listed twice).
  virtual std::vector<std::string> getTokenSymbolKeys() const = 0;
  virtual std::vector<IkivTokenSymbolPtr> getTokenSymbolElements() const = 0;
  // Enters the symbol under one more key; no vocabulary line, no type change.
  virtual void mapToTokenSymbol(const std::string& Key, const IkivTokenSymbolPtr& Symbol) = 0;
  // Enters a symbol whose id is not yet in the vocabulary; see TkivTokenManager::define.
  virtual void define(const IkivTokenSymbolPtr& Symbol) = 0;
};

// The one grammar of a grammar file: names, options, token manager, rules, units used and the
// verbatim sections of the generated unit.
//
// The tool, the analyzer and the generator are borrowed: the build run owns them and they outlive
// the passes that read them through the grammar. The extra reference is carried uninterpreted.
class IkivGrammar {
public:
  using RuleList = std::vector<IkivRuleSymbolPtr>;

  virtual ~IkivGrammar() = default;
  virtual IkivTool* getTool() const = 0;
  virtual IkivCodeGenerator* getGenerator() const = 0;
  virtual IkivLLkAnalyzer* getAnalyzer() const = 0;
  virtual IkivTokenManagerPtr getTokenManager() const = 0;
  virtual std::string getGrammarName() const = 0;
  virtual std::string getUnitFileName() const = 0;
  virtual std::string getUnitName() const = 0;
  virtual std::string getFileName() const = 0;
  // The import request: the option's value token with the exchange directory prefixed; null when
  // none was made or the file could not be opened.
  virtual IkivTokenPtr getImportVocab() const = 0;
  virtual std::string getExportVocab() const = 0;
  virtual bool getDefaultErrorHandler() const = 0;
  virtual bool hasSyntacticPredicates() const = 0;
  virtual std::shared_ptr<void> getExtraReference() const = 0;
  virtual std::string getMemberDecl() const = 0;
  virtual std::string getMemberDef() const = 0;
  virtual TkivCharSet getCharVocabulary() const = 0;
  // Looked up letter-case-blind; null when absent.
  virtual IkivRuleSymbolPtr getRuleSymbol(const std::string& Id) const = 0;
  // The rule symbols in the order they were added (the list itself).
  virtual RuleList& getRules() = 0;
  // The units the generated unit uses, in letter-case-blind order (the list itself).
  virtual kiv::SortedNameList& getUses() = 0;
  virtual IkivTokenPtr getConstSection() const = 0;
  virtual IkivTokenPtr getTypeSection() const = 0;
  virtual int getK() const = 0;
  virtual void setAnalyzer(IkivLLkAnalyzer* Analyzer) = 0;
  // Also sets the unit file name to the unit name plus ".pas".
  virtual void setUnitName(const std::string& UnitName) = 0;
  // Reads "<value text>Tokens.txt" into the token manager; only the first request counts.
  virtual void importVocab(const IkivTokenPtr& Vocab) = 0;
  virtual void setExportVocab(const std::string& ExportVocab) = 0;
  virtual void setDefaultErrorHandler(bool DefaultErrorHandler) = 0;
  virtual void setHasSyntacticPredicates(bool HasSyntacticPredicates) = 0;
  virtual void setExtraReference(std::shared_ptr<void> Reference) = 0;
  virtual void setMemberDecl(const std::string& MemberDecl) = 0;
  virtual void setMemberDef(const std::string& MemberDef) = 0;
  virtual void setCharVocabulary(const TkivCharSet& CharVocabulary) = 0;
  virtual void setGenerator(IkivCodeGenerator* Generator) = 0;
  virtual void setConstSection(const IkivTokenPtr& Section) = 0;
  virtual void setTypeSection(const IkivTokenPtr& Section) = 0;
  virtual void setFileName(const std::string& FileName) = 0;
  // (One slot of the interface has never had an operation; it is left out.)
  virtual std::string getName() const = 0;
  virtual bool ruleDefined(const std::string& Id) const = 0;
  // Appends to the rule list and enters the symbol in the rule map under its id.
  virtual void addRuleSymbol(const IkivRuleSymbolPtr& Symbol) = 0;
  // A grammar option; true when accepted. Problems are reported at the value token.
  virtual bool setOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) = 0;

  // -- Beyond the contract's slots ------------------------------------------------------------
  // The storage of the grammar's element graph. The model does not know the graph's types, so the
  // slot is type-erased; the graph stage creates it on first use and it is released with the grammar.
  virtual std::shared_ptr<void> getGraphStorage() const = 0;
  virtual void setGraphStorage(std::shared_ptr<void> Storage) = 0;
  // The option "optimize": the recognizer is written in the optimized form (same behaviour,
  // other text).
  virtual bool getOptimize() const = 0;
  virtual void setOptimize(bool Optimize) = 0;
};

class IkivLexerGrammar : public virtual IkivGrammar {
public:
  virtual bool getTestLiterals() const = 0;
  virtual bool getCaseSensitive() const = 0;
  virtual bool getFilter() const = 0;
  // The rule named by "filter = Rule;", as written (not encoded); empty when none.
  virtual std::string getFilterRule() const = 0;
};

class IkivParserGrammar : public virtual IkivGrammar {};

// A tree-walker grammar cannot be written in the grammar language; nothing implements this.
class IkivTreeWalkerGrammar : public virtual IkivGrammar {};
using IkivTreeWalkerGrammarPtr = std::shared_ptr<IkivTreeWalkerGrammar>;
