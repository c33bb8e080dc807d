// kivGrammarElem.cpp - element bases, end markers, rule references and actions: their double
// dispatch to the analyzer and generator, and their text forms.
#include "engine/graph/kivGrammarElem.h"

#include "engine/frontend/kivKivTokenTypes.h"
#include "engine/kivAnalysis.h"

TkivGrammarElem::TkivGrammarElem(IkivGrammar& Grammar) : fGrammar(&Grammar) {}

TkivGrammarElem::TkivGrammarElem(IkivGrammar& Grammar, const IkivTokenPtr& Token) : fGrammar(&Grammar) {
  if (Token) {
    fLine = Token->Line();
    fColumn = Token->Column();
  }
}

IkivLookaheadPtr TkivGrammarElem::Look(int) { return nullptr; }

void TkivGrammarElem::ReportError(const std::string& Msg, int Line, int Column) const {
  if (IkivTool* Tool = fGrammar->getTool()) Tool->Error(Msg, fGrammar->getFileName(), Line, Column);
}

TkivAlternativeElem::TkivAlternativeElem(IkivGrammar& Grammar, const IkivTokenPtr& Token, int AstMode)
    : TkivGrammarElem(Grammar, Token), fAstMode(AstMode) {}

// --- block end ---

TkivBlockEndElem::TkivBlockEndElem(IkivGrammar& Grammar)
    : TkivAlternativeElem(Grammar), fLock(Grammar.getK() + 1) {}

IkivLookaheadPtr TkivBlockEndElem::Look(int K) {
  IkivLLkAnalyzer* A = Analyzer();
  return A != nullptr ? A->LookBlockEnd(K, *this) : nullptr;
}

// --- rule end ---

TkivRuleEndElem::TkivRuleEndElem(IkivGrammar& Grammar) : TkivBlockEndElem(Grammar), fCache(Grammar.getK() + 1) {}

void TkivRuleEndElem::Generate() {
  if (IkivCodeGenerator* G = Generator()) G->GenRuleEnd(*this);
}

IkivLookaheadPtr TkivRuleEndElem::Look(int K) {
  IkivLLkAnalyzer* A = Analyzer();
  return A != nullptr ? A->LookRuleEnd(K, *this) : nullptr;
}

// --- rule reference ---

TkivRuleRefElem::TkivRuleRefElem(IkivGrammar& Grammar, int AstMode, const IkivTokenPtr& RuleName)
    : TkivAlternativeElem(Grammar, RuleName, AstMode) {
  if (RuleName) {
    fTargetRule = RuleName->TokenType() == kiv::kivgrammar::TT_UPPER_ID ? EncodeLexerRuleName(RuleName->TokenText())
                                                                         : RuleName->TokenText();
  }
}

void TkivRuleRefElem::Generate() {
  if (IkivCodeGenerator* G = Generator()) G->GenRuleRef(*this);
}

IkivLookaheadPtr TkivRuleRefElem::Look(int K) {
  IkivLLkAnalyzer* A = Analyzer();
  return A != nullptr ? A->LookRuleRef(K, *this) : nullptr;
}

std::string TkivRuleRefElem::ToText() const { return " " + fTargetRule + fArguments; }

// --- action ---

TkivActionElem::TkivActionElem(IkivGrammar& Grammar, const IkivTokenPtr& Action)
    : TkivAlternativeElem(Grammar), fActionText(Action ? Action->TokenText() : std::string()) {}

void TkivActionElem::Generate() {
  if (IkivCodeGenerator* G = Generator()) G->GenAction(*this);
}

IkivLookaheadPtr TkivActionElem::Look(int K) {
  IkivLLkAnalyzer* A = Analyzer();
  return A != nullptr ? A->LookAction(K, *this) : nullptr;
}

std::string TkivActionElem::ToText() const { return " {" + fActionText + (fIsSemPred ? "}?" : ""); }
