// kivGrammarMaker.cpp - TkivGrammarMaker: builds rules, alternatives, subrules, loops, predicates and
// elements from the parser's callbacks, and reports the structural errors of the grammar language.
#include "engine/graph/kivGrammarMaker.h"

#include "engine/frontend/kivKivTokenTypes.h"
#include "engine/graph/kivAlternative.h"
#include "engine/graph/kivAlternativeBlock.h"
#include "engine/graph/kivGrammarAtom.h"
#include "engine/graph/kivGraphArena.h"
#include "engine/graph/kivRuleBlock.h"
#include "engine/graph/kivSubruleInversion.h"
#include "engine/kivAnalysis.h"
#include "engine/model/kivGrammarSymbol.h"
#include "runtime/cpp/kivToken.h"

using kiv::MakeNode;
using kiv::Supports;
using kiv::kivgrammar::TT_LOWER_ID;
using kiv::kivgrammar::TT_UPPER_ID;

namespace {

std::string TextOf(const IkivTokenPtr& Token) { return Token ? Token->TokenText() : std::string(); }

// Leading and trailing blanks and control characters removed.
std::string Trimmed(const std::string& Text) {
  std::size_t First = 0;
  std::size_t Last = Text.size();
  while (First < Last && kiv::CharCode(Text[First]) <= ' ') ++First;
  while (Last > First && kiv::CharCode(Text[Last - 1]) <= ' ') --Last;
  return Text.substr(First, Last - First);
}

std::string LowerCased(std::string Text) {
  for (char& c : Text) c = kiv::LowerAscii(c);
  return Text;
}

std::string UpperCased(std::string Text) {
  for (char& c : Text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return Text;
}

int FirstCharCode(const IkivTokenPtr& Token) {
  const std::string Text = TextOf(Token);
  return Text.empty() ? 0 : kiv::CharCode(Text[0]);
}

std::string Unopened(const char* Callback, const char* What) {
  return std::string("Internal: \"") + Callback + "\" called outside of " + What;
}

} // namespace

TkivGrammarMaker::TkivGrammarMaker(IkivTool& Tool, IkivLLkAnalyzer* Analyzer, const std::string& ExchangeDirectory)
    : TkivGrammarBehavior(Tool, Analyzer, ExchangeDirectory) {}

TkivGrammarMaker::~TkivGrammarMaker() = default;

// --- the current context ---

IkivBlockContext& TkivGrammarMaker::Context(const char* Callback) const {
  if (fContexts.empty()) Tool().Panic(Unopened(Callback, "a rule block"));
  return *fContexts.back();
}

IkivAlternativeBlock& TkivGrammarMaker::CurrentBlock(const char* Callback) const {
  IkivAlternativeBlock* Block = Context(Callback).GetBlock();
  if (Block == nullptr) Tool().Panic(Unopened(Callback, "a rule block"));
  return *Block;
}

IkivAlternative& TkivGrammarMaker::CurrentAlt(const char* Callback) const {
  IkivAlternative* Alt = Context(Callback).CurrentAlternative();
  if (Alt == nullptr) Tool().Panic(Unopened(Callback, "an alternative"));
  return *Alt;
}

IkivRuleBlock& TkivGrammarMaker::RuleBlock(const char* Callback) const {
  if (fRuleBlock == nullptr) Tool().Panic(Unopened(Callback, "a rule block"));
  return *fRuleBlock;
}

void TkivGrammarMaker::ReportAt(const std::string& Msg, int Line, int Column) const {
  Tool().Error(Msg, CurrentGrammar().getFileName(), Line, Column);
}

// --- internal steps ---

void TkivGrammarMaker::AddElementToCurrentAlt(IkivAlternativeElem* Elem, const char* Callback) {
  IkivAlternative& Alt = CurrentAlt(Callback);
  Elem->SetEnclosingRuleName(RuleBlock(Callback).GetRuleName());
  Alt.AddElement(Elem);
}

// A label used twice in one rule is accepted: both elements are listed.
void TkivGrammarMaker::LabelElement(IkivAlternativeElem* Elem, const IkivTokenPtr& Label) {
  if (!Label) return;
  Elem->SetLabel(Label->TokenText());
  RuleBlock("label").GetLabeledElements().push_back(Elem);
}

// The new block takes over the old block's alternatives and the settings that came from the
// source; it keeps its own number, column, inverted and tree flags.
void TkivGrammarMaker::TransferBlock(IkivAlternativeBlock& NewBlock, IkivAlternativeBlock& OldBlock) {
  NewBlock.ReplaceAlternatives(OldBlock.GetAlternatives());
  NewBlock.SetInitAction(OldBlock.GetInitAction());
  NewBlock.SetLabel(OldBlock.GetLabel());
  NewBlock.SetHasSynPred(OldBlock.GetHasSynPred());
  NewBlock.SetHasAction(OldBlock.GetHasAction());
  NewBlock.SetWarnWhenFollowAmbig(OldBlock.GetWarnWhenFollowAmbig());
  NewBlock.SetGenerateAmbigWarnings(OldBlock.GetGenerateAmbigWarnings());
  NewBlock.SetLine(OldBlock.GetLine());
  NewBlock.SetGreedy(OldBlock.GetGreedy());
  NewBlock.SetGreedyGiven(OldBlock.GetGreedyGiven());
}

// See note [block contexts]: the top context is replaced by one for the new block, which keeps the
// old block's end; the end now belongs to the new block.
void TkivGrammarMaker::TurnCurrentBlockInto(IkivAlternativeBlock* NewBlock, const char* Callback) {
  IkivBlockContext& Old = Context(Callback);
  TransferBlock(*NewBlock, CurrentBlock(Callback));
  IkivBlockEndElem* End = Old.GetBlockEnd();
  fContexts.pop_back();
  fContexts.push_back(std::make_unique<TkivBlockContext>(NewBlock, End));
  if (End != nullptr) End->SetBlock(NewBlock);
}

// An optional block whose first alternative references the rule and whose second is empty. The
// reference is not counted among the rule's uses.
IkivAlternativeBlock* TkivGrammarMaker::CreateOptionalRuleRef(const std::string& RuleName, const IkivTokenPtr& Start) {
  IkivGrammar& G = CurrentGrammar();
  auto* Block = MakeNode<TkivAlternativeBlock>(G, false, Start);

  const std::string Encoded = EncodeLexerRuleName(RuleName);
  if (!G.getRuleSymbol(Encoded)) G.addRuleSymbol(std::make_shared<TkivRuleSymbol>(Encoded));

  auto Name = std::make_shared<TkivToken>(TT_UPPER_ID, RuleName);
  if (Start) {
    Name->SetLine(Start->Line());
    Name->SetColumn(Start->Column());
  }
  auto* Ref = MakeNode<TkivRuleRefElem>(G, kiv::amDefault, Name);
  const std::string Enclosing = RuleBlock("ignore").GetRuleName();
  Ref->SetEnclosingRuleName(Enclosing);

  auto* End = MakeNode<TkivBlockEndElem>(G);
  End->SetBlock(Block);
  End->SetEnclosingRuleName(Enclosing);
  auto* First = MakeNode<TkivAlternative>(G, Ref);
  First->AddElement(End);
  auto* Second = MakeNode<TkivAlternative>(G, End);
  Block->AddAlternative(First);
  Block->AddAlternative(Second);
  Block->PrepareForAnalysis();
  return Block;
}

void TkivGrammarMaker::AddIgnoreRuleRef(bool LastInRule, const IkivTokenPtr& Start) {
  if (LastInRule) return;
  // The alternatives of "~( ... )" are single atoms that make a set: what the ignore rule matches
  // has no place there, and with it the subrule could no longer be inverted.
  if (CurrentBlock("ignore").GetInverted()) return;
  const std::string Ignore = RuleBlock("ignore").GetIgnoreRule();
  if (Ignore.empty()) return;
  AddElementToCurrentAlt(CreateOptionalRuleRef(Ignore, Start), "ignore");
}

void TkivGrammarMaker::ReportInvertedSuffix(IkivAlternativeBlock& Block, const std::string& Construct) {
  if (Block.GetInverted())
    ReportAt("\"~\" cannot be applied to " + Construct + ".", Block.GetLine(), Block.GetColumn());
}

// --- grammar-level callbacks ---

void TkivGrammarMaker::abortGrammar() {
  IkivGrammarPtr G = getGrammar();
  const std::string Name = G ? G->getGrammarName() : std::string("unknown");
  Tool().Error("Aborting grammar \"" + Name + "\" do to errors.", "", 0, 0);
  resetGrammars();
}

void TkivGrammarMaker::endGrammarFile() {
  if (fErrorFlag) abortGrammar();
}

void TkivGrammarMaker::resetGrammars() {
  TkivGrammarBehavior::resetGrammars();
  fContexts.clear();
  fLastRuleRef = nullptr;
  fRuleEnd = nullptr;
  fRuleBlock = nullptr;
  fExceptionSpec = nullptr;
  fNestingDepth = 0;
  fErrorFlag = false;
}

// The symbol pass keeps the uses units in a sorted list without duplicates, which is the maker's
// unit list; every grammar started later receives a copy.
void TkivGrammarMaker::addUsesUnit(const IkivTokenPtr& UnitName) { TkivGrammarBehavior::addUsesUnit(UnitName); }

void TkivGrammarMaker::setTokensEntryOption(const IkivTokenPtr& TokenName, const IkivTokenPtr& Option,
                                            const IkivTokenPtr& Value) {
  IkivTokenManagerPtr Manager = CurrentGrammar().getTokenManager();
  IkivTokenSymbolPtr Symbol = Manager->getTokenSymbol(TextOf(TokenName));
  if (!Symbol) Tool().Panic("Cannot find \"" + TextOf(TokenName) + "\" in tokens {...}.");
  if (TextOf(Option) == "AST")
    Symbol->setAstNodeType(TextOf(Value));
  else
    ReportError("Invalid tokens {...} element option: \"" + TextOf(Option) + "\".", Option);
}

// --- rules ---

void TkivGrammarMaker::defineRule(const IkivTokenPtr& RuleName, const std::string& Access, bool Flag,
                                  const std::string& Comment) {
  IkivGrammar& G = CurrentGrammar();
  const bool Upper = RuleName->TokenType() == TT_UPPER_ID;
  if (!InLexer() && Upper) {
    ReportError("Lexical rule \"" + RuleName->TokenText() + "\" defined outside of lexer.", RuleName);
    RuleName->SetTokenText(LowerCased(RuleName->TokenText()));
  } else if (InLexer() && !Upper) {
    ReportError("Lexical rule names must begin with captal letter. \"" + RuleName->TokenText() + "\" is not.",
                RuleName);
    RuleName->SetTokenText(UpperCased(RuleName->TokenText()));
  }

  TkivGrammarBehavior::defineRule(RuleName, Access, Flag, Comment);

  const std::string& Name = RuleName->TokenText();
  IkivRuleSymbolPtr Symbol = G.getRuleSymbol(RuleIdOf(RuleName));

  auto* Block = MakeNode<TkivRuleBlock>(G, Flag, RuleName->Line(), Name);
  Block->SetEnclosingRuleName(Name);
  Block->SetDefaultErrorHandler(G.getDefaultErrorHandler());
  fRuleEnd = MakeNode<TkivRuleEndElem>(G);
  fRuleBlock = Block;
  fContexts.push_back(std::make_unique<TkivBlockContext>(Block, nullptr));
  if (Symbol) Symbol->setBlock(Block);
  Block->SetEndNode(fRuleEnd);
  fNestingDepth = 0;
}

void TkivGrammarMaker::setRuleArguments(const IkivTokenPtr& Argument) {
  RuleBlock("setRuleArguments").SetArgDeclaration(TextOf(Argument));
}

void TkivGrammarMaker::setRuleReturns(const IkivTokenPtr& Argument) {
  RuleBlock("setRuleReturns").SetReturnDeclaration(TextOf(Argument));
}

void TkivGrammarMaker::setRuleLocals(const IkivTokenPtr& Action) {
  RuleBlock("setRuleLocals").SetLocalDeclarations(TextOf(Action));
}

void TkivGrammarMaker::setRuleOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) {
  RuleBlock("setRuleOption").SetOption(Option, Value);
}

void TkivGrammarMaker::setRuleExceptionHandler(const IkivTokenPtr& Keyword, const IkivTokenPtr& Action) {
  IkivRuleBlock& Rule = RuleBlock("setRuleExceptionHandler");
  Rule.SetHandlerKind(TextOf(Keyword));
  Rule.SetHandlerText(TextOf(Action));
}

void TkivGrammarMaker::endRule(const std::string& /*Text*/) {
  IkivAlternativeBlock& Block = CurrentBlock("endRule");
  fContexts.pop_back();
  if (fRuleEnd != nullptr) fRuleEnd->SetBlock(&Block);
  Block.PrepareForAnalysis();
}

// --- blocks and alternatives ---

void TkivGrammarMaker::setInitAction(const IkivTokenPtr& Action) {
  CurrentBlock("setInitAction").SetInitAction(TextOf(Action));
}

void TkivGrammarMaker::setSubruleOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) {
  CurrentBlock("setSubruleOption").SetOption(Option, Value);
}

void TkivGrammarMaker::beginAlternative(bool AutoGen) {
  auto* Alt = MakeNode<TkivAlternative>(CurrentGrammar());
  Alt->SetAstEnabled(AutoGen);
  CurrentBlock("beginAlternative").AddAlternative(Alt);
}

void TkivGrammarMaker::endAlternative() {
  IkivBlockContext& Ctx = Context("endAlternative");
  IkivAlternativeElem* End = fNestingDepth > 0 ? static_cast<IkivAlternativeElem*>(Ctx.GetBlockEnd())
                                               : static_cast<IkivAlternativeElem*>(fRuleEnd);
  if (End == nullptr) Tool().Panic(Unopened("endAlternative", "a rule block"));
  AddElementToCurrentAlt(End, "endAlternative");
  Ctx.SetAltIndex(Ctx.GetAltIndex() + 1);
}

void TkivGrammarMaker::setAltExceptionHandler(const IkivTokenPtr& Keyword, const IkivTokenPtr& Action) {
  IkivAlternative& Alt = CurrentAlt("setAltExceptionHandler");
  Alt.SetHandlerKind(TextOf(Keyword));
  Alt.SetHandlerText(TextOf(Action));
}

void TkivGrammarMaker::openSubrule(const IkivTokenPtr& Label, const IkivTokenPtr& LParen, int Inverted) {
  IkivGrammar& G = CurrentGrammar();
  RuleBlock("openSubrule");
  auto* Block = MakeNode<TkivAlternativeBlock>(G, Inverted != 0, LParen);
  auto* End = MakeNode<TkivBlockEndElem>(G);
  End->SetBlock(Block);
  fContexts.push_back(std::make_unique<TkivBlockContext>(Block, End));
  ++fNestingDepth;
  LabelElement(Block, Label);
}

void TkivGrammarMaker::closeAsOptional() {
  ReportInvertedSuffix(CurrentBlock("closeAsOptional"), "(...)? subrule");
  beginAlternative(false);
  endAlternative();
}

void TkivGrammarMaker::closeAsOneOrMore() {
  ReportInvertedSuffix(CurrentBlock("closeAsOneOrMore"), "(...)+ subrule");
  auto* Loop = MakeNode<TkivOneOrMoreBlock>(CurrentGrammar());
  TurnCurrentBlockInto(Loop, "closeAsOneOrMore");
  RuleBlock("closeAsOneOrMore").GetLoopCounterBlocks().push_back(Loop);
}

void TkivGrammarMaker::closeAsZeroOrMore() {
  ReportInvertedSuffix(CurrentBlock("closeAsZeroOrMore"), "(...)* subrule");
  auto* Loop = MakeNode<TkivZeroOrMoreBlock>(CurrentGrammar());
  TurnCurrentBlockInto(Loop, "closeAsZeroOrMore");
}

void TkivGrammarMaker::closeAsSynPredicate() {
  ReportInvertedSuffix(CurrentBlock("closeAsSynPredicate"), "syntactic predicate");
  auto* Pred = MakeNode<TkivSynPredBlock>(CurrentGrammar());
  TurnCurrentBlockInto(Pred, "closeAsSynPredicate");
  IkivRuleBlock& Rule = RuleBlock("closeAsSynPredicate");
  Rule.SetHasSynPred(true);
  Rule.GetSynPredBlocks().push_back(Pred);
}

// A predicate block guards the alternative it stands in and is not part of its element chain; any
// other block is the next element of the enclosing alternative.
void TkivGrammarMaker::closeSubrule() {
  IkivAlternativeBlock& Block = CurrentBlock("closeSubrule");
  IkivBlockEndElem* End = Context("closeSubrule").GetBlockEnd();
  --fNestingDepth;
  fContexts.pop_back();

  const bool IsPredicate = Supports<IkivSynPredBlock>(&Block) != nullptr;
  const bool IsLoop = Supports<IkivBlockWithImpliedExitPath>(&Block) != nullptr;
  if (Block.GetInverted() && !IsPredicate && !IsLoop) {
    IkivLLkAnalyzer* A = Analyzer();
    const bool Invertible =
        A != nullptr ? A->CanInvertSubrule(Block, InLexer()) : kiv::CanInvertSubrule(Block, InLexer());
    if (!Invertible) ReportAt("This subrule cannot be inverted.", Block.GetLine(), Block.GetColumn());
  }

  if (IsPredicate) {
    IkivGrammar& G = CurrentGrammar();
    CurrentBlock("closeSubrule").SetHasSynPred(true);
    CurrentAlt("closeSubrule").SetSynPred(Supports<IkivSynPredBlock>(&Block));
    Block.SetEnclosingRuleName(RuleBlock("closeSubrule").GetRuleName());
    G.setHasSyntacticPredicates(true);
    Block.RemoveRuleRefTracking(G);
  } else {
    AddElementToCurrentAlt(&Block, "closeSubrule");
  }

  IkivAlternativeBlock* Prepared = End != nullptr && End->GetBlock() != nullptr ? End->GetBlock() : &Block;
  Prepared->PrepareForAnalysis();
}

// --- elements ---

void TkivGrammarMaker::addAction(const IkivTokenPtr& Action) {
  CurrentBlock("addAction").SetHasAction(true);
  AddElementToCurrentAlt(MakeNode<TkivActionElem>(CurrentGrammar(), Action), "addAction");
}

// Note [semantic predicates]: a predicate written first in an alternative guards the alternative
// (the decision tests it together with the lookahead); anywhere else it is checked where it
// stands, as an action element marked as a predicate.
void TkivGrammarMaker::addSemanticPredicate(const IkivTokenPtr& Predicate) {
  IkivAlternative& Alt = CurrentAlt("addSemanticPredicate");
  if (Alt.IsEmpty()) {
    Alt.SetSemPred(TextOf(Predicate));
    return;
  }
  auto* Check = MakeNode<TkivActionElem>(CurrentGrammar(), Predicate);
  Check->SetIsSemPred(true);
  AddElementToCurrentAlt(Check, "addSemanticPredicate");
}

void TkivGrammarMaker::addCharLiteral(const IkivTokenPtr& Char, const IkivTokenPtr& Label, int Inverted, int AutoGen,
                                      bool LastInRule) {
  if (!InLexer()) {
    ReportError("Character literal only valid in lexer.", Char);
    return;
  }
  auto* Elem = MakeNode<TkivCharLiteralElem>(CurrentGrammar(), AutoGen, Inverted != 0, Char);
  AddElementToCurrentAlt(Elem, "addCharLiteral");
  LabelElement(Elem, Label);
  AddIgnoreRuleRef(LastInRule, Char);
}

void TkivGrammarMaker::addCharRange(const IkivTokenPtr& First, const IkivTokenPtr& Last, const IkivTokenPtr& Label,
                                    int AutoGen, bool LastInRule) {
  if (!InLexer()) {
    ReportError("Character range only valid in lexer.", First);
    return;
  }
  if (FirstCharCode(Last) < FirstCharCode(First)) {
    ReportAt("Malformed range.", First ? First->Line() : 0, Last ? Last->Column() : 0);
    return;
  }
  auto* Elem = MakeNode<TkivCharRangeElem>(CurrentGrammar(), AutoGen, First, Last);
  AddElementToCurrentAlt(Elem, "addCharRange");
  LabelElement(Elem, Label);
  AddIgnoreRuleRef(LastInRule, First);
}

void TkivGrammarMaker::addStringLiteral(const IkivTokenPtr& Str, const IkivTokenPtr& Label, int AutoGen,
                                        bool LastInRule) {
  TkivGrammarBehavior::addStringLiteral(Str, Label, AutoGen, LastInRule);
  auto* Elem = MakeNode<TkivStringLiteralElem>(CurrentGrammar(), AutoGen, Str);
  AddElementToCurrentAlt(Elem, "addStringLiteral");
  LabelElement(Elem, Label);
  AddIgnoreRuleRef(LastInRule, Str);
}

// In a lexer a token reference is a reference to the token's lexer rule.
void TkivGrammarMaker::addTokenRef(const IkivTokenPtr& AssignTarget, const IkivTokenPtr& Token,
                                   const IkivTokenPtr& Label, const IkivTokenPtr& Argument, int Inverted, int AutoGen,
                                   bool LastInRule) {
  if (InLexer()) {
    if (AutoGen == kiv::amRoot) ReportError("AST specification \"^\" not allowed in lexer.", Token);
    if (Inverted != 0) ReportError("~TOKEN is not allowed in lexer.", Token);
    AddRuleRefElement(AssignTarget, Token, Label, Argument, AutoGen, true);
    AddIgnoreRuleRef(LastInRule, Token);
    return;
  }
  if (AssignTarget) ReportError("Assignment from token reference only allowed in lexer.", AssignTarget);
  if (Argument) ReportError("Token reference arguments only allowed in lexer.", Argument);
  TkivGrammarBehavior::addTokenRef(AssignTarget, Token, Label, Argument, Inverted, AutoGen, LastInRule);
  auto* Elem = MakeNode<TkivTokenRefElem>(CurrentGrammar(), AutoGen, Inverted != 0, Token);
  AddElementToCurrentAlt(Elem, "addTokenRef");
  LabelElement(Elem, Label);
}

void TkivGrammarMaker::addRuleRef(const IkivTokenPtr& AssignTarget, const IkivTokenPtr& Rule,
                                  const IkivTokenPtr& Label, const IkivTokenPtr& Argument, int AutoGen) {
  AddRuleRefElement(AssignTarget, Rule, Label, Argument, AutoGen, false);
}

// A "^" on a lexer token reference is reported once, by addTokenRef, although the reference is
// then made here.
void TkivGrammarMaker::AddRuleRefElement(const IkivTokenPtr& AssignTarget, const IkivTokenPtr& Rule,
                                         const IkivTokenPtr& Label, const IkivTokenPtr& Argument, int AutoGen,
                                         bool AstRootReported) {
  if (InLexer()) {
    if (Rule->TokenType() != TT_UPPER_ID) {
      ReportError("Parser rule \"" + Rule->TokenText() + "\"refenced in lexer.", Rule);
      return;
    }
    if (AutoGen == kiv::amRoot && !AstRootReported)
      ReportError("AST specification \"^\" not allowed in lexer.", Rule);
  }
  TkivGrammarBehavior::addRuleRef(AssignTarget, Rule, Label, Argument, AutoGen);

  IkivGrammar& G = CurrentGrammar();
  auto* Ref = MakeNode<TkivRuleRefElem>(G, AutoGen, Rule);
  fLastRuleRef = Ref;
  if (Argument) Ref->SetArguments(Argument->TokenText());
  if (AssignTarget) Ref->SetAssignedVariable(AssignTarget->TokenText());
  AddElementToCurrentAlt(Ref, "addRuleRef");
  if (IkivRuleSymbolPtr Symbol = G.getRuleSymbol(Ref->GetTargetRule())) Symbol->addReference(Ref);
  LabelElement(Ref, Label);
}

void TkivGrammarMaker::setElementText(const IkivTokenPtr& Token) {
  if (fLastRuleRef != nullptr) fLastRuleRef->SetArguments(TextOf(Token));
}

// Note [token range ends]: both ends of a token range must be tokens the grammar knows (from its
// tokens section or an imported vocabulary); an end it does not know is reported like an unknown
// token reference or literal, and no range is made, since its bounds would be meaningless.
bool TkivGrammarMaker::TokenRangeEndDefined(const IkivTokenPtr& End) {
  const std::string Text = TextOf(End);
  if (CurrentGrammar().getTokenManager()->getTokenSymbol(Text)) return true;
  const bool Literal = !Text.empty() && Text[0] == '"';
  ReportError((Literal ? "Undefined literal: " : "Undefined token symbol: ") + Text, End);
  return false;
}

void TkivGrammarMaker::addTokenRange(const IkivTokenPtr& First, const IkivTokenPtr& Last, const IkivTokenPtr& Label,
                                     int AutoGen, bool LastInRule) {
  if (InLexer()) {
    ReportError("Token range not allowed in lexer.", First);
    return;
  }
  TkivGrammarBehavior::addTokenRange(First, Last, Label, AutoGen, LastInRule);
  const bool FirstKnown = TokenRangeEndDefined(First);
  const bool LastKnown = TokenRangeEndDefined(Last);
  if (!FirstKnown || !LastKnown) return;

  IkivTokenManagerPtr Manager = CurrentGrammar().getTokenManager();
  const int FirstType = Manager->getTokenSymbol(TextOf(First))->getTokenType();
  const int LastType = Manager->getTokenSymbol(TextOf(Last))->getTokenType();
  if (FirstType >= LastType) {
    ReportAt("Malformed range.", First->Line(), Last->Column());
    return;
  }
  auto* Elem = MakeNode<TkivTokenRangeElem>(CurrentGrammar(), AutoGen, First, Last);
  AddElementToCurrentAlt(Elem, "addTokenRange");
  LabelElement(Elem, Label);
}

void TkivGrammarMaker::addWildcard(const IkivTokenPtr& Dot, const IkivTokenPtr& Label, int AutoGen) {
  auto* Elem = MakeNode<TkivWildcardElem>(CurrentGrammar(), AutoGen, Dot);
  AddElementToCurrentAlt(Elem, "addWildcard");
  LabelElement(Elem, Label);
}

void TkivGrammarMaker::setElementOption(const IkivTokenPtr& Option, const IkivTokenPtr& Value) {
  IkivAlternativeElem* E = Context("setElementOption").CurrentElement();
  const bool TakesOptions = Supports<IkivStringLiteralElem>(E) != nullptr || Supports<IkivTokenRefElem>(E) != nullptr ||
                            Supports<IkivWildcardElem>(E) != nullptr;
  if (!TakesOptions) {
    ReportError("Cannot use element option \"" + TextOf(Option) + "\" for this kind of element.", Option);
    return;
  }
  Supports<IkivGrammarAtom>(E)->SetOption(Option, Value);
}

// --- exception specifications ---

void TkivGrammarMaker::beginExceptionGroup() {
  const char* Msg = "Internal: \"beginExceptionGroup\" called outside of a rule block";
  if (fContexts.empty() || Supports<IkivRuleBlock>(fContexts.back()->GetBlock()) == nullptr) Tool().Panic(Msg);
}

void TkivGrammarMaker::openExceptionSpec(const IkivTokenPtr& Label) {
  if (Label && !Label->TokenText().empty()) Label->SetTokenText(Trimmed(Label->TokenText()));
  fExceptionSpec = std::make_shared<TkivExceptionSpec>(Label);
}

void TkivGrammarMaker::addExceptionHandler(const IkivTokenPtr& First, const IkivTokenPtr& Second) {
  if (!fExceptionSpec) Tool().Panic("Exception handler processing internal error...");
  fExceptionSpec->AddHandler(std::make_shared<TkivExceptionHandler>(First, Second));
}

// --- the token-dispatch rule ---

IkivRuleBlock* TkivGrammarMaker::CreateNextTokenRule(IkivGrammar& Grammar, const IkivGrammar::RuleList& Rules,
                                                     const std::string& RuleName) {
  auto* Block = MakeNode<TkivRuleBlock>(Grammar, RuleName);
  auto* End = MakeNode<TkivRuleEndElem>(Grammar);
  Block->SetDefaultErrorHandler(Grammar.getDefaultErrorHandler());
  Block->SetEndNode(End);
  End->SetBlock(Block);

  for (const IkivRuleSymbolPtr& Symbol : Rules) {
    if (!Symbol) continue;
    if (!Symbol->isDefined()) {
      if (IkivTool* Tool = Grammar.getTool())
        Tool->Error("Lexer rule \"" + DecodeLexerRuleName(Symbol->getId()) + "\" is not defined.",
                    Grammar.getFileName(), -2, 0);
      continue;
    }
    if (Symbol->getAccess() != "public") continue;
    // The symbol's id is already the encoded name: a lower-case token keeps it from being encoded
    // again.
    auto Name = std::make_shared<TkivToken>(TT_LOWER_ID, Symbol->getId());
    auto* Ref = MakeNode<TkivRuleRefElem>(Grammar, kiv::amDefault, Name);
    Ref->SetLabel("result");
    Ref->SetEnclosingRuleName("NextToken");
    Ref->SetNext(End);
    auto* Alt = MakeNode<TkivAlternative>(Grammar, Ref);
    Alt->SetAstEnabled(true);
    Block->AddAlternative(Alt);
    Symbol->addReference(Ref);
  }
  Block->SetAstEnabled(true);
  Block->PrepareForAnalysis();
  return Block;
}
