// kivRuleBlock.cpp - TkivRuleBlock: rule options, preparation for analysis and double dispatch.
#include "engine/graph/kivRuleBlock.h"

#include "engine/kivAnalysis.h"

TkivRuleBlock::TkivRuleBlock(IkivGrammar& Grammar, const std::string& RuleName)
    : TkivRuleBlock(Grammar, true, 0, RuleName) {}

TkivRuleBlock::TkivRuleBlock(IkivGrammar& Grammar, bool AstEnabled, int Line, const std::string& RuleName)
    : TkivAlternativeBlock(Grammar), fRuleName(RuleName), fCache(Grammar.getK() + 1) {
  SetAstEnabled(AstEnabled);
  SetLine(Line);
}

void TkivRuleBlock::Generate() {
  if (IkivCodeGenerator* G = Generator()) G->GenRuleBlock(*this);
}

IkivLookaheadPtr TkivRuleBlock::Look(int K) {
  IkivLLkAnalyzer* A = Analyzer();
  return A != nullptr ? A->LookRuleBlock(K, *this) : nullptr;
}

// Note [rule option values]: defaultErrorHandler takes true or false like the other flags and sets
// whether the generator wraps the rule in the default handler. ignore names the rule matched
// optionally after every literal of a lexer rule (read by the grammar maker). paraphrase gives the
// rule's token a readable name for the vocabulary file, a string that must read back from there;
// a parser rule has no token, so there it is checked and has no effect.
void TkivRuleBlock::SetOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) {
  if (!Option) return;
  const std::string& Name = Option->TokenText();
  if (Name == "defaultErrorHandler") {
    ReadFlagOption(Option, Value, fDefaultErrorHandler);
  } else if (Name == "testLiterals") {
    ReadFlagOption(Option, Value, fTestLiterals);
  } else if (Name == "generateAmbigWarnings") {
    bool Flag = GetGenerateAmbigWarnings();
    if (ReadFlagOption(Option, Value, Flag)) SetGenerateAmbigWarnings(Flag);
  } else if (Name == "ignore") {
    fIgnoreRule = Value ? Value->TokenText() : std::string();
  } else if (Name == "paraphrase") {
    // The vocabulary file carries a paraphrase as a string between brackets, and its strings have
    // no escapes: only a string without a double quote or code 0 inside reads back.
    const std::string Text = Value ? Value->TokenText() : std::string();
    const bool Readable = Text.size() >= 2 && Text.front() == '"' && Text.back() == '"' &&
                          Text.find_first_of(std::string("\"\0", 2), 1) == Text.size() - 1;
    if (!Readable) {
      ReportError("Value for \"paraphrase\" must be a string without double quotes inside", Option->Line(),
                  Option->Column());
      return;
    }
    if (kiv::Supports<IkivLexerGrammar>(&Grammar()) != nullptr) {
      IkivTokenManagerPtr Manager = Grammar().getTokenManager();
      if (IkivTokenSymbolPtr Token = Manager ? Manager->getTokenSymbol(fRuleName) : nullptr)
        Token->setParaphrase(Value->TokenText());
    }
  } else {
    ReportError("Illegal rule option \"" + Name + "\".", Option->Line(), Option->Column());
  }
}

void TkivRuleBlock::PrepareForAnalysis() {
  TkivAlternativeBlock::PrepareForAnalysis();
  fLock.Resize(Grammar().getK() + 1);
}
