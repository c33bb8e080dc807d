// kivGrammarAtom.cpp - atoms and ranges: symbol lookups at construction, the element option, double
// dispatch and text forms.
#include "engine/graph/kivGrammarAtom.h"

#include "engine/kivAnalysis.h"

namespace {

// The token type the grammar's token manager gives a name or literal; 0 when it holds none.
int TokenTypeOf(IkivGrammar& Grammar, const std::string& Key) {
  IkivTokenManagerPtr Manager = Grammar.getTokenManager();
  IkivTokenSymbolPtr Symbol = Manager ? Manager->getTokenSymbol(Key) : nullptr;
  return Symbol ? Symbol->getTokenType() : 0;
}

std::string LabelPrefix(const std::string& Label) { return Label.empty() ? std::string() : Label + ":"; }

} // namespace

// --- atom base ---

TkivGrammarAtom::TkivGrammarAtom(IkivGrammar& Grammar, int AstMode, const IkivTokenPtr& Token)
    : TkivAlternativeElem(Grammar, Token, AstMode), fText(Token ? Token->TokenText() : std::string()) {}

std::string TkivGrammarAtom::ToText() const { return LabelPrefix(fLabel) + (fInverted ? "~" : "") + fText; }

void TkivGrammarAtom::SetOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) {
  if (!Option) return;
  if (Option->TokenText() == "AST") {
    fAstNodeType = Value ? Value->TokenText() : std::string();
    return;
  }
  ReportError("Invalid element option: " + Option->TokenText(), Option->Line(), Option->Column());
}

// --- character literal ---

// A character token with empty text cannot name a character: the literal then keeps type 0 and the
// default flags, and points at line 1.
TkivCharLiteralElem::TkivCharLiteralElem(IkivGrammar& Grammar, int AstMode, bool Inverted, const IkivTokenPtr& Char)
    : TkivGrammarAtom(Grammar, kiv::amDefault, Char) {
  if (Char && !Char->TokenText().empty()) {
    SetType(kiv::CharCode(Char->TokenText()[0]));
    SetLine(Char->Line());
    SetInverted(Inverted);
    SetAstMode(AstMode);
  } else {
    SetLine(1);
  }
}

void TkivCharLiteralElem::Generate() {
  if (IkivCodeGenerator* G = Generator()) G->GenCharLiteral(*this);
}

IkivLookaheadPtr TkivCharLiteralElem::Look(int K) {
  IkivLLkAnalyzer* A = Analyzer();
  return A != nullptr ? A->LookCharLiteral(K, *this) : nullptr;
}

// --- string literal ---

TkivStringLiteralElem::TkivStringLiteralElem(IkivGrammar& Grammar, int AstMode, const IkivTokenPtr& Str)
    : TkivGrammarAtom(Grammar, AstMode, Str) {
  const std::string Text = GetText();
  if (kiv::Supports<IkivLexerGrammar>(&Grammar) == nullptr) {
    IkivTokenManagerPtr Manager = Grammar.getTokenManager();
    IkivTokenSymbolPtr Symbol = Manager ? Manager->getTokenSymbol(Text) : nullptr;
    if (Symbol)
      SetType(Symbol->getTokenType());
    else
      ReportError("Undefined literal: " + Text, GetLine(), GetColumn());
  }
  fProcessedText = Text.size() >= 2 ? Text.substr(1, Text.size() - 2) : std::string();
}

void TkivStringLiteralElem::Generate() {
  if (IkivCodeGenerator* G = Generator()) G->GenStringLiteral(*this);
}

IkivLookaheadPtr TkivStringLiteralElem::Look(int K) {
  IkivLLkAnalyzer* A = Analyzer();
  return A != nullptr ? A->LookStringLiteral(K, *this) : nullptr;
}

// --- token reference ---

TkivTokenRefElem::TkivTokenRefElem(IkivGrammar& Grammar, int AstMode, bool Inverted, const IkivTokenPtr& TokenName)
    : TkivGrammarAtom(Grammar, AstMode, TokenName) {
  SetInverted(Inverted);
  IkivTokenManagerPtr Manager = Grammar.getTokenManager();
  IkivTokenSymbolPtr Symbol = Manager ? Manager->getTokenSymbol(GetText()) : nullptr;
  if (Symbol) {
    SetType(Symbol->getTokenType());
    SetAstNodeType(Symbol->getAstNodeType());
  } else {
    ReportError("Undefined token symbol: " + GetText(), GetLine(), GetColumn());
  }
}

void TkivTokenRefElem::Generate() {
  if (IkivCodeGenerator* G = Generator()) G->GenAtom(*this);
}

IkivLookaheadPtr TkivTokenRefElem::Look(int K) {
  IkivLLkAnalyzer* A = Analyzer();
  return A != nullptr ? A->LookTokenRef(K, *this) : nullptr;
}

// --- wildcard ---

TkivWildcardElem::TkivWildcardElem(IkivGrammar& Grammar, int AstMode, const IkivTokenPtr& Dot)
    : TkivGrammarAtom(Grammar, AstMode, Dot) {}

void TkivWildcardElem::Generate() {
  if (IkivCodeGenerator* G = Generator()) G->GenWildcard(*this);
}

IkivLookaheadPtr TkivWildcardElem::Look(int K) {
  IkivLLkAnalyzer* A = Analyzer();
  return A != nullptr ? A->LookWildcard(K, *this) : nullptr;
}

std::string TkivWildcardElem::ToText() const { return LabelPrefix(GetLabel()) + "."; }

// --- character range ---

TkivCharRangeElem::TkivCharRangeElem(IkivGrammar& Grammar, int AstMode, const IkivTokenPtr& First,
                                     const IkivTokenPtr& Last)
    : TkivAlternativeElem(Grammar, First, AstMode), fFirstText(First ? First->TokenText() : std::string()),
      fLastText(Last ? Last->TokenText() : std::string()) {
  if (!fFirstText.empty()) fFirst = fFirstText[0];
  if (!fLastText.empty()) fLast = fLastText[0];
}

void TkivCharRangeElem::Generate() {
  if (IkivCodeGenerator* G = Generator()) G->GenCharRange(*this);
}

IkivLookaheadPtr TkivCharRangeElem::Look(int K) {
  IkivLLkAnalyzer* A = Analyzer();
  return A != nullptr ? A->LookCharRange(K, *this) : nullptr;
}

std::string TkivCharRangeElem::ToText() const { return " " + LabelPrefix(fLabel) + fFirstText + ".." + fLastText; }

// --- token range ---

TkivTokenRangeElem::TkivTokenRangeElem(IkivGrammar& Grammar, int AstMode, const IkivTokenPtr& First,
                                       const IkivTokenPtr& Last)
    : TkivAlternativeElem(Grammar, First, AstMode), fFirstText(First ? First->TokenText() : std::string()),
      fLastText(Last ? Last->TokenText() : std::string()) {
  fFirst = TokenTypeOf(Grammar, fFirstText);
  fLast = TokenTypeOf(Grammar, fLastText);
}

void TkivTokenRangeElem::Generate() {
  if (IkivCodeGenerator* G = Generator()) G->GenTokenRange(*this);
}

IkivLookaheadPtr TkivTokenRangeElem::Look(int K) {
  IkivLLkAnalyzer* A = Analyzer();
  return A != nullptr ? A->LookTokenRange(K, *this) : nullptr;
}

std::string TkivTokenRangeElem::ToText() const { return " " + LabelPrefix(fLabel) + fFirstText + ".." + fLastText; }
