// kivGrammar.cpp - grammar construction, rule symbols, options and vocabulary import.
// Option names and values compare case-sensitively; rule ids letter-case-blind.
#include "engine/model/kivGrammar.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/frontend/kivKivTokenTypes.h"
#include "engine/model/kivTokenManager.h"
#include "engine/model/kivTokenParser.h"

namespace {

using kiv::kivgrammar::TT_LOWER_ID;
using kiv::kivgrammar::TT_UPPER_ID;

// The text of a token, empty for an absent one.
std::string TextOf(const IkivTokenPtr& Token) { return Token ? Token->TokenText() : std::string(); }

bool IsIdentifier(const IkivTokenPtr& Token) {
  return Token && (Token->TokenType() == TT_UPPER_ID || Token->TokenType() == TT_LOWER_ID);
}

// A decimal integer with an optional sign that fits 32 bits.
bool ReadInteger(const std::string& Text, int& Result) {
  if (Text.empty()) return false;
  char* end = nullptr;
  const long long value = std::strtoll(Text.c_str(), &end, 10);
  if (*end != '\0' || value < INT32_MIN || value > INT32_MAX) return false;
  Result = static_cast<int>(value);
  return true;
}

} // namespace

TkivGrammar::TkivGrammar(const IkivTokenPtr& Name, IkivTool& Tool, const IkivTokenPtr& Super)
    : fTool(&Tool),
      fName(TextOf(Name)),
      fSuperGrammarName(TextOf(Super)),
      fTokenManager(std::make_shared<TkivTokenManager>("TokenManager", &Tool)) {
  // Every character but code 0, which ends the input.
  fCharVocabulary.set();
  fCharVocabulary.reset(0);
}

void TkivGrammar::ReportError(const std::string& Msg, const IkivTokenPtr& At) const {
  fTool->Error(Msg, fFileName, At ? At->Line() : 0, At ? At->Column() : 0);
}

void TkivGrammar::ReportWarning(const std::string& Msg, const IkivTokenPtr& At) const {
  fTool->Warning(Msg, fFileName, At ? At->Line() : 0, At ? At->Column() : 0);
}

bool TkivGrammar::ReadBoolean(const IkivTokenPtr& Value, bool& Result) {
  if (!IsIdentifier(Value)) return false;
  if (Value->TokenText() == "true") {
    Result = true;
    return true;
  }
  if (Value->TokenText() == "false") {
    Result = false;
    return true;
  }
  return false;
}

IkivRuleSymbolPtr TkivGrammar::getRuleSymbol(const std::string& Id) const {
  const auto found = fRuleMap.find(Id);
  return found == fRuleMap.end() ? nullptr : found->second;
}

bool TkivGrammar::ruleDefined(const std::string& Id) const { return fRuleMap.count(Id) != 0; }

void TkivGrammar::addRuleSymbol(const IkivRuleSymbolPtr& Symbol) {
  fRules.push_back(Symbol);
  fRuleMap.emplace(Symbol->getId(), Symbol);
}

void TkivGrammar::setUnitName(const std::string& UnitName) {
  fUnitName = UnitName;
  fUnitFileName = UnitName + ".pas";
}

bool TkivGrammar::setOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) {
  const std::string name = TextOf(Option);
  if (name == "k") {
    int k = 0;
    if (!ReadInteger(TextOf(Value), k) || k <= 0) {
      ReportError("option \"k\" must be a positive integer", Value);
      return false;
    }
    // Lookahead sets record the depths at which a rule's end was reached in a set of 0..255, so
    // no deeper lookahead can be analysed; every graph element also keeps k + 1 cache slots.
    if (k > MaxLookaheadDepth) {
      ReportError("option \"k\" must not exceed " + std::to_string(MaxLookaheadDepth), Value);
      return false;
    }
    fK = k;
    return true;
  }
  if (name == "optimize") {
    if (ReadBoolean(Value, fOptimize)) return true;
    ReportError("Value for \"optimize\" must be true or false", Value);
    return false;
  }
  ReportWarning("Illegal option \"" + name + "\".", Value);
  return false;
}

void TkivGrammar::importVocab(const IkivTokenPtr& Vocab) {
  if (fImportRequested || !Vocab) return;
  fImportRequested = true;
  fImportVocab = Vocab;
  const std::string vocabFileName = Vocab->TokenText() + "Tokens.txt";
  // A folder of that name opens as a stream on some systems but holds no vocabulary.
  std::error_code ec;
  std::ifstream input;
  if (!std::filesystem::is_directory(vocabFileName, ec)) input.open(vocabFileName, std::ios::binary);
  if (!input.is_open()) {
    ReportWarning("Cannot import \"" + vocabFileName + "\".", Vocab);
    fImportVocab = nullptr;
    return;
  }
  ReadVocabulary(input, vocabFileName);
}

void TkivGrammar::ReadVocabulary(std::istream& Input, const std::string& VocabFileName) {
  const kiv::VocabularyReadResult result = kiv::ReadVocabulary(Input, VocabFileName, *fTokenManager);
  // Sets hold token types 0..255 only; an entry outside that range was left undefined rather
  // than let it stand for another token in every lookahead set.
  for (const kiv::VocabularyEntry& entry : result.Rejected)
    ReportError("Token type " + std::to_string(entry.Type) + " of \"" + entry.Name + "\" in \"" + VocabFileName +
                    "\" is outside the range 0..255.",
                fImportVocab);
  // The entries before a malformed one stay imported, so that grammars built against a partly
  // readable file keep working; the warning says where reading stopped.
  if (result.Stopped)
    ReportWarning("Cannot import \"" + VocabFileName + "\" beyond line " + std::to_string(result.StopLine) +
                      "; only the entries before it were read.",
                  fImportVocab);
}

TkivLexerGrammar::TkivLexerGrammar(const IkivTokenPtr& Name, IkivTool& Tool, const IkivTokenPtr& Super)
    : TkivGrammar(Name, Tool, Super) {
  getUses().Add("kivLexer");
}

bool TkivLexerGrammar::setOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) {
  const std::string name = TextOf(Option);
  if (name == "testLiterals") {
    if (ReadBoolean(Value, fTestLiterals)) return true;
    ReportError("Value for \"testLiterals\" must be true or false", Value);
    return false;
  }
  if (name == "caseSensitive") {
    if (ReadBoolean(Value, fCaseSensitive)) return true;
    ReportError("Value for \"caseSensitive\" must be true or false", Value);
    return false;
  }
  if (name == "filter") {
    // "filter = true;" and "filter = false;" switch filtering; "filter = Rule;" switches it on
    // and names the rule that handles the characters no token rule accepts.
    bool filter = false;
    if (ReadBoolean(Value, filter)) {
      fFilter = filter;
      fFilterRule.clear();
      return true;
    }
    if (IsIdentifier(Value) && Value->TokenText().find('.') == std::string::npos) {
      fFilter = true;
      fFilterRule = Value->TokenText();
      return true;
    }
    ReportError("Value for \"filter\" must be true, false or a rule name", Value);
    return false;
  }
  if (name == "defaultErrorHandler") {
    ReportWarning("Option \"defaultErrorHandler\" is invalid for lexer", Value);
    return true;
  }
  return TkivGrammar::setOption(Option, Value);
}

TkivParserGrammar::TkivParserGrammar(const IkivTokenPtr& Name, IkivTool& Tool, const IkivTokenPtr& Super)
    : TkivGrammar(Name, Tool, Super) {
  getUses().Add("kivLLkParser");
}

bool TkivParserGrammar::setOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) {
  if (TextOf(Option) == "defaultErrorHandler") {
    bool handler = false;
    if (ReadBoolean(Value, handler)) {
      setDefaultErrorHandler(handler);
      return true;
    }
    ReportError("Value for \"defaultErrorHandler\" must be true or false", Value);
    return false;
  }
  return TkivGrammar::setOption(Option, Value);
}
