// kivInterpProgram.cpp - loading a grammar for the interpreter: the build's passes up to and with
// generation (kept in memory, never written), then a visitor that stands in for the generator and
// turns every rule into plain data. Each decision is taken from the analyzer's caches exactly as
// kivDelphiGenerator.cpp writes it: the same branch order, the same tests, the same error clauses.
#include "engine/interp/kivInterpProgram.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "engine/codegen/kivDelphiGenerator.h"
#include "engine/codegen/kivLLkAnalyzer.h"
#include "engine/codegen/kivLookaheadTests.h"
#include "engine/codegen/kivPascalText.h"
#include "engine/driver/kivRecognitionReport.h"
#include "engine/driver/kivTool.h"
#include "engine/frontend/kivKivLexer.h"
#include "engine/frontend/kivKivParser.h"
#include "engine/graph/kivGrammarMaker.h"
#include "engine/graph/kivGraphArena.h"
#include "engine/interp/kivInterpreter.h"
#include "engine/model/kivNames.h"
#include "engine/model/kivTokenManager.h"
#include "runtime/cpp/kivExceptionMismatchedChar.h"
#include "runtime/cpp/kivExceptionMismatchedToken.h"

namespace kiv::interp {

const Rule* Program::FindRule(const std::string& Name) const {
  const auto at = RulesByName.find(Name);
  return at == RulesByName.end() ? nullptr : at->second;
}

std::string Program::TypeName(int Type) const {
  if (Type >= 0 && static_cast<std::size_t>(Type) < TypeNames.size() && !TypeNames[static_cast<std::size_t>(Type)].empty())
    return TypeNames[static_cast<std::size_t>(Type)];
  if (Type == 1) return "EOF";
  return std::to_string(Type);
}

int Program::TestLiteral(const std::string& Text, int Type) const {
  for (const auto& [name, value] : Literals)
    if (CaseSensitive ? name == Text : SameText(name, Text)) return value;
  return Type;
}

namespace {

MemberSet MembersOf(const IkivLookaheadPtr& Set) { return Set ? Set->GetMembers() : MemberSet(); }
bool HasMembers(const IkivLookaheadPtr& Set) { return Set && Set->GetMembers().any(); }

bool IsEmptyAlternative(const IkivAlternative& Alt) {
  IkivAlternativeElem* head = Alt.GetHead();
  return head == nullptr || kiv::Supports<IkivBlockEndElem>(head) != nullptr;
}

// Pascal words after which the interpreter cannot tell whether a statement runs.
bool IsControlWord(const std::string& Word) {
  static const char* const words[] = {"begin", "end", "if", "then", "else", "case", "of", "while", "do", "for",
                                      "repeat", "until", "try", "except", "finally", "with", "exit", "raise",
                                      "goto", "break", "continue"};
  for (const char* w : words)
    if (SameText(Word, w)) return true;
  return false;
}

// Stands in for the grammar's code generator after generation: every element dispatches to the
// operation of its kind, which appends the element's step to the alternative being built.
class ProgramBuilder : public IkivCodeGenerator {
public:
  ProgramBuilder(IkivGrammar& G, IkivLLkAnalyzer& A, Program& P) : fGrammar(G), fAnalyzer(A), fProgram(P) {
    fLexer = dynamic_cast<IkivLexerGrammar*>(&G);
    P.Lexer = fLexer != nullptr;
    P.K = G.getK();
    P.GrammarName = G.getGrammarName();
    P.HasSynPreds = G.hasSyntacticPredicates();
    IkivTokenManager& manager = *G.getTokenManager();
    for (const std::string& line : manager.getVocabulary()) {
      const std::string name = VocabularyLineName(line);
      const int type = VocabularyLineType(line);
      if (type < 0 || type > 65535) continue;
      if (static_cast<std::size_t>(type) >= P.TypeNames.size()) P.TypeNames.resize(static_cast<std::size_t>(type) + 1);
      if (P.TypeNames[static_cast<std::size_t>(type)].empty()) P.TypeNames[static_cast<std::size_t>(type)] = name;
      const std::string declared = DeclaredTokenName(manager, name);
      if (!declared.empty() && fConstants.find(FoldedText(declared)) == fConstants.end())
        fConstants[FoldedText(declared)] = type;
    }
    fConstants["tt_skip"] = -1;
    fConstants["tt_eof"] = 1;
  }

  void Build() {
    for (const IkivRuleSymbolPtr& symbol : fGrammar.getRules()) {
      if (!symbol || symbol->getId() == "mNextToken" || !symbol->isDefined() || symbol->getBlock() == nullptr) continue;
      BuildRule(*symbol);
    }
    if (fLexer) BuildLexerParts();
  }

  // Elements.
  void Generate(IkivGrammar&) override {}
  void GenAction(IkivActionElem& Action) override {
    Op op = At(OpKind::Action, Action);
    if (Action.GetIsSemPred()) {
      op.Kind = OpKind::SemPred;
      op.Predicate = AddPredicate(Action.GetActionText(), Action.GetLine(), Action.GetColumn());
      op.Text = ActionBody(Action.GetActionText());
    } else {
      ReadAction(Action.GetActionText(), op);
    }
    fOps->push_back(std::move(op));
  }
  void GenBlock(IkivAlternativeBlock& Block) override {
    Op op = At(OpKind::Block, Block);
    op.Sub = BuildBlock(Block, BlockKind::Sub);
    fOps->push_back(std::move(op));
  }
  void GenBlockEnd(IkivBlockEndElem&) override {}
  void GenCharLiteral(IkivCharLiteralElem& Atom) override {
    Op op = At(Atom.GetInverted() ? OpKind::MatchNotChar : OpKind::MatchChar, Atom);
    op.Value = static_cast<unsigned char>(static_cast<char>(Atom.GetType()));
    op.Suppress = Suppresses(Atom.GetAstMode());
    fOps->push_back(std::move(op));
  }
  void GenCharRange(IkivCharRangeElem& Range) override {
    Op op = At(OpKind::MatchCharSet, Range);
    const int first = static_cast<unsigned char>(Range.GetFirst());
    const int last = static_cast<unsigned char>(Range.GetLast());
    IncludeRange(op.Members, std::min(first, last), std::max(first, last));
    op.Suppress = Suppresses(Range.GetAstMode());
    fOps->push_back(std::move(op));
  }
  void GenAtom(IkivGrammarAtom& Atom) override {
    if (kiv::Supports<IkivTokenRefElem>(&Atom) == nullptr || fLexer) return;
    Op op = At(Atom.GetInverted() ? OpKind::MatchNotToken : OpKind::MatchToken, Atom);
    op.Value = Atom.GetType();
    fOps->push_back(std::move(op));
  }
  void GenOneOrMore(IkivOneOrMoreBlock& Block) override {
    Op op = At(OpKind::Block, Block);
    op.Sub = BuildBlock(Block, BlockKind::OneOrMore);
    fOps->push_back(std::move(op));
  }
  void GenRuleBlock(IkivRuleBlock&) override {}
  void GenRuleEnd(IkivRuleEndElem&) override {}
  void GenRuleRef(IkivRuleRefElem& Ref) override {
    Op op = At(OpKind::RuleCall, Ref);
    op.RestoreText = fLexer && (!fSaveText || Ref.GetAstMode() == kiv::amSuppress);
    op.Create = !Ref.GetLabel().empty();
    op.Text = Ref.GetTargetRule();
    fOps->push_back(std::move(op));
    fPendingCalls.emplace_back(fOps, fOps->size() - 1, Ref.GetTargetRule());
  }
  void GenStringLiteral(IkivStringLiteralElem& Atom) override {
    if (fLexer) {
      Op op = At(OpKind::MatchString, Atom);
      op.Text = Atom.GetProcessedText();
      op.Suppress = Suppresses(Atom.GetAstMode());
      fOps->push_back(std::move(op));
      return;
    }
    Op op = At(Atom.GetInverted() ? OpKind::MatchNotToken : OpKind::MatchToken, Atom);
    op.Value = Atom.GetType();
    if (const IkivTokenSymbolPtr symbol = fGrammar.getTokenManager()->getTokenSymbol(Atom.GetText()))
      op.Value = symbol->getTokenType();
    fOps->push_back(std::move(op));
  }
  void GenSynPred(IkivSynPredBlock&) override {}
  void GenTokenRange(IkivTokenRangeElem& Range) override {
    if (fLexer) return;
    Op op = At(OpKind::MatchTokenSet, Range);
    IncludeRange(op.Members, std::min(Range.GetFirst(), Range.GetLast()), std::max(Range.GetFirst(), Range.GetLast()));
    fOps->push_back(std::move(op));
  }
  void GenTreeElement(IkivAlternativeElem&) override {}
  void GenWildcard(IkivWildcardElem& Atom) override {
    Op op = At(fLexer ? OpKind::MatchNotChar : OpKind::MatchNotToken, Atom);
    op.Value = 0;
    op.Suppress = fLexer && fSaveText && Atom.GetAstMode() == kiv::amSuppress;
    fOps->push_back(std::move(op));
  }
  void GenZeroOrMore(IkivZeroOrMoreBlock& Block) override {
    Op op = At(OpKind::Block, Block);
    op.Sub = BuildBlock(Block, BlockKind::ZeroOrMore);
    fOps->push_back(std::move(op));
  }

  // Rule references are resolved once every rule is built (Build).
  std::vector<std::pair<Op*, std::string>> fCalls;

  void ResolvePending() {
    for (auto& [ops, index, id] : fPendingCalls) fCalls.emplace_back(&(*ops)[index], id);
  }

private:
  Op At(OpKind Kind, const IkivGrammarElem& Elem) const {
    Op op;
    op.Kind = Kind;
    op.Line = Elem.GetLine();
    op.Column = Elem.GetColumn();
    return op;
  }

  bool Suppresses(int AstMode) const { return fLexer && fSaveText && AstMode != kiv::amDefault; }

  int AddPredicate(const std::string& Text, int Line, int Column) {
    fProgram.Predicates.push_back({fRuleName, Line, Column, ActionBody(Text)});
    return static_cast<int>(fProgram.Predicates.size()) - 1;
  }

  // The statements of a lexer action that decide what the lexer makes: "_ttype := TT_SKIP;",
  // "_ttype := <token constant>;" and "newLine;". Any other statement, and any action with a
  // statement that may not run (a condition, a loop), is skipped.
  void ReadAction(const std::string& Text, Op& Out) const {
    Out.Text = ActionBody(Text);
    const std::vector<std::string> words = ActionWords(Out.Text);
    if (!fLexer) {
      Out.Skipped = !words.empty();
      return;
    }
    for (const std::string& w : words)
      if (IsControlWord(w)) {
        Out.Skipped = true;
        return;
      }
    std::vector<std::string> statement;
    auto take = [&]() {
      if (statement.empty()) return;
      if (statement.size() == 1 && SameText(statement[0], "newLine")) {
        Out.Effects.push_back({ActionEffect::NewLine, 0});
      } else if (statement.size() == 3 && SameText(statement[0], "newLine") && statement[1] == "(" &&
                 statement[2] == ")") {
        Out.Effects.push_back({ActionEffect::NewLine, 0});
      } else if (statement.size() == 3 && SameText(statement[0], "_ttype") && statement[1] == ":=" &&
                 fConstants.count(FoldedText(statement[2])) != 0) {
        Out.Effects.push_back({ActionEffect::SetType, fConstants.at(FoldedText(statement[2]))});
      } else {
        Out.Skipped = true;
      }
      statement.clear();
    };
    for (const std::string& w : words) {
      if (w == ";")
        take();
      else
        statement.push_back(w);
    }
    take();
  }

  void BuildAlternative(IkivAlternative& Alt, Alternative& Out) {
    const bool saved = fSaveText;
    fSaveText = fSaveText && Alt.GetAstEnabled();
    Out.HandlerKind = Alt.GetHandlerKind();
    Out.HandlerReraises = Reraises(Alt.GetHandlerText());
    Out.HandlerText = ActionBody(Alt.GetHandlerText());
    std::vector<Op>* outer = fOps;
    fOps = &Out.Ops;
    for (IkivAlternativeElem* elem = Alt.GetHead(); elem != nullptr && kiv::Supports<IkivBlockEndElem>(elem) == nullptr;
         elem = elem->GetNext())
      elem->Generate();
    fOps = outer;
    fSaveText = saved;
  }

  static bool Reraises(const std::string& Handler) {
    for (const std::string& w : ActionWords(ActionBody(Handler)))
      if (SameText(w, "raise")) return true;
    return false;
  }

  std::unique_ptr<Alternative> MakeAlternative(IkivAlternative& Alt, int Index, bool Build) {
    auto out = std::make_unique<Alternative>();
    out->Index = Index;
    for (IkivAlternativeElem* elem = Alt.GetHead(); elem != nullptr; elem = elem->GetNext()) {
      if (elem->GetLine() <= 0) {
        if (auto* block = kiv::Supports<IkivAlternativeBlock>(elem); block != nullptr && !block->GetAlternatives().empty() &&
                                                                      block->GetAlternatives().front() != nullptr)
          if (IkivAlternativeElem* inner = block->GetAlternatives().front()->GetHead(); inner && inner->GetLine() > 0) {
            out->Line = inner->GetLine();
            out->Column = inner->GetColumn();
            break;
          }
        if (kiv::Supports<IkivBlockEndElem>(elem) != nullptr) break;
        continue;
      }
      out->Line = elem->GetLine();
      out->Column = elem->GetColumn();
      break;
    }
    if (!Alt.GetSemPred().empty()) out->Predicate = AddPredicate(Alt.GetSemPred(), out->Line, out->Column);
    if (IkivSynPredBlock* pred = Alt.GetSynPred()) out->SynPred = BuildBlock(*pred, BlockKind::Guess);
    if (Build) BuildAlternative(Alt, *out);
    return out;
  }

  // GenCommonBlock: the decision among the block's alternatives.
  void BuildCommon(IkivAlternativeBlock& Source, Block& Out, bool SingleAltShortcut) {
    const bool saved = fSaveText;
    fSaveText = fSaveText && Source.GetAstEnabled();
    const TkivAlternativeList& alts = Source.GetAlternatives();
    Out.NoViable = MembersOf(Source.Look(1));
    if (Source.GetInverted() && fAnalyzer.CanInvertSubrule(Source, fLexer != nullptr)) {
      Out.Inverted = true;
      Out.InvertedSet = Out.NoViable;
      fSaveText = saved;
      return;
    }
    int index = 0;
    for (IkivAlternative* alt : alts) {
      ++index;
      if (alt == nullptr) continue;
      Out.Alts.push_back(MakeAlternative(*alt, index, true));
    }
    if (alts.size() == 1 && SingleAltShortcut) {
      Out.Shortcut = true;
      fSaveText = saved;
      return;
    }
    auto built = [&](IkivAlternative* alt) -> const Alternative* {
      for (std::size_t i = 0; i < alts.size(); ++i)
        if (alts[i] == alt)
          for (const auto& a : Out.Alts)
            if (a->Index == static_cast<int>(i) + 1) return a.get();
      return nullptr;
    };
    bool hasPredicates = false;
    for (IkivAlternative* alt : alts)
      if (alt != nullptr && alt->GetSynPred() != nullptr) {
        hasPredicates = true;
        Out.Guessed.push_back(built(alt));
      }
    const int k = fGrammar.getK();
    struct Candidate {
      IkivAlternative* Alt;
      int Depth;
    };
    std::vector<Candidate> branches;
    if (fLexer) {
      for (int depth = k; depth >= 0; --depth)
        for (IkivAlternative* alt : alts)
          if (alt != nullptr && alt->GetSynPred() == nullptr && EffectiveDepth(*alt, k) == depth)
            branches.push_back({alt, depth});
    } else {
      for (IkivAlternative* alt : alts)
        if (alt != nullptr && alt->GetSynPred() == nullptr) branches.push_back({alt, AlternativeDepthLimit(*alt, k)});
    }
    const bool loop = kiv::Supports<IkivBlockWithImpliedExitPath>(&Source) != nullptr;
    for (const Candidate& c : branches) {
      IkivAlternative& alt = *c.Alt;
      if (IsEmptyAlternative(alt)) {
        if (!loop) Out.NeedsErrorClause = false;
        continue;
      }
      if (alt.GetSemPred().empty() && LookaheadIsEmpty(alt, k)) {
        Out.NeedsErrorClause = false;
        if (Out.Default == nullptr) Out.Default = built(&alt);
        continue;
      }
      Branch branch;
      branch.Alt = built(&alt);
      branch.Depth = c.Depth;
      for (int depth = 1; depth <= c.Depth; ++depth) {
        IkivLookaheadPtr set = alt.GetCache(depth);
        if (!HasMembers(set)) break;
        if (set->ContainsEpsilon()) continue;
        branch.Terms.push_back({depth, set->GetMembers()});
      }
      Out.Branches.push_back(std::move(branch));
      Out.GeneratedIf = true;
    }
    if (Out.Default != nullptr) Out.GeneratedIf = true;
    Out.ClosesGroup = hasPredicates;
    fSaveText = saved;
  }

  const Block* BuildBlock(IkivAlternativeBlock& Source, BlockKind Kind) {
    auto block = std::make_unique<Block>();
    Block& out = *block;
    out.Kind = Kind;
    out.Line = Source.GetLine();
    out.Column = Source.GetColumn();
    out.RuleName = fRuleName;
    fProgram.Blocks.push_back(std::move(block));
    if (!Source.GetInitAction().empty()) {
      Op init = At(OpKind::Action, Source);
      ReadAction(Source.GetInitAction(), init);
      init.Guarded = false;
      out.Init.push_back(std::move(init));
    }
    if (auto* loop = kiv::Supports<IkivBlockWithImpliedExitPath>(&Source)) {
      out.NonGreedyDepth = NonGreedyExitDepth(*loop);
      for (int depth = 1; depth <= out.NonGreedyDepth; ++depth) {
        const IkivLookaheadPtr set = loop->GetExitCache(depth);
        if (!set || set->ContainsEpsilon()) continue;
        out.ExitTerms.push_back({depth, set->GetMembers()});
      }
      for (IkivAlternative* alt : Source.GetAlternatives())
        if (alt != nullptr && IsEmptyAlternative(*alt)) out.MayMatchNothing = true;
    }
    BuildCommon(Source, out, Kind == BlockKind::Sub || Kind == BlockKind::Guess);
    PlaceAtFirstAlternative(out);
    return &out;
  }

  // A subrule's own position is not always known; its first element's stands in for it.
  static void PlaceAtFirstAlternative(Block& B) {
    if (B.Line > 0) return;
    for (const auto& alt : B.Alts)
      if (alt->Line > 0) {
        B.Line = alt->Line;
        B.Column = alt->Column;
        return;
      }
  }

  int NonGreedyExitDepth(IkivBlockWithImpliedExitPath& Loop) const {
    if (Loop.GetGreedy()) return 0;
    const int k = fGrammar.getK();
    const int depth = Loop.GetExitLookaheadDepth();
    if (depth == NondeterministicDepth) return k;
    if (depth >= 1 && depth <= k) {
      const IkivLookaheadPtr exit = Loop.GetExitCache(depth);
      if (exit && exit->ContainsEpsilon()) return depth;
    }
    return 0;
  }

  void BuildRule(IkivRuleSymbol& Symbol) {
    IkivRuleBlock& source = *Symbol.getBlock();
    auto rule = std::make_unique<Rule>();
    rule->Name = fLexer ? DecodeLexerRuleName(Symbol.getId()) : Symbol.getId();
    fRuleName = rule->Name;
    rule->Public = Symbol.getAccess() == "public";
    rule->Protected = Symbol.getAccess() == "protected";
    rule->Private = Symbol.getAccess() == "private";
    rule->HandlerKind = source.GetHandlerKind();
    rule->HandlerReraises = Reraises(source.GetHandlerText());
    rule->HandlerText = ActionBody(source.GetHandlerText());
    rule->DefaultHandler = !fLexer && rule->HandlerKind.empty() && source.GetDefaultErrorHandler();
    if (IkivRuleEndElem* end = source.GetEndNode(); end != nullptr && rule->DefaultHandler)
      rule->Follow = MembersOf(fAnalyzer.Follow(1, *end));
    rule->TestLiterals = source.GetTestLiterals();
    if (fLexer)
      if (const IkivTokenSymbolPtr token = fGrammar.getTokenManager()->getTokenSymbol(rule->Name))
        rule->TokenType = token->getTokenType();
    fSaveText = true;
    const TkivAlternativeList& alts = source.GetAlternatives();
    if (alts.size() == 1 && alts.front() != nullptr) {
      auto block = std::make_unique<Block>();
      block->Kind = BlockKind::Rule;
      block->Line = source.GetLine();
      block->Column = source.GetColumn();
      block->RuleName = rule->Name;
      if (!source.GetInitAction().empty()) {
        Op init = At(OpKind::Action, source);
        ReadAction(source.GetInitAction(), init);
        init.Guarded = false;
        block->Init.push_back(std::move(init));
      }
      block->NoViable = MembersOf(source.Look(1));
      std::unique_ptr<Alternative> alt = MakeAlternative(*alts.front(), 1, false);
      rule->Predicate = alt->Predicate;
      alt->SynPred = nullptr;  // ignored for a single alternative
      BuildAlternative(*alts.front(), *alt);
      block->Alts.push_back(std::move(alt));
      block->Shortcut = true;
      rule->SingleAlt = true;
      rule->Body = block.get();
      fProgram.Blocks.push_back(std::move(block));
    } else {
      auto block = std::make_unique<Block>();
      block->Kind = BlockKind::Rule;
      block->Line = source.GetLine();
      block->Column = source.GetColumn();
      block->RuleName = rule->Name;
      if (!source.GetInitAction().empty()) {
        Op init = At(OpKind::Action, source);
        ReadAction(source.GetInitAction(), init);
        init.Guarded = false;
        block->Init.push_back(std::move(init));
      }
      BuildCommon(source, *block, false);
      PlaceAtFirstAlternative(*block);
      rule->Body = block.get();
      fProgram.Blocks.push_back(std::move(block));
    }
    fProgram.RulesByName[rule->Name] = rule.get();
    fProgram.Rules.push_back(std::move(rule));
  }

  void BuildLexerParts() {
    fProgram.CaseSensitive = fLexer->getCaseSensitive();
    fProgram.Filter = fLexer->getFilter();
    fProgram.TestLiterals = fLexer->getTestLiterals();
    if (fProgram.Filter && !fLexer->getFilterRule().empty()) fProgram.FilterRule = fProgram.FindRule(fLexer->getFilterRule());
    if (const IkivRuleSymbolPtr next = fGrammar.getRuleSymbol("mNextToken"); next && next->getBlock() != nullptr) {
      IkivRuleBlock& source = *next->getBlock();
      fRuleName = "NextToken";
      fSaveText = true;
      fProgram.First = MembersOf(source.Look(1));
      auto block = std::make_unique<Block>();
      block->Kind = BlockKind::NextToken;
      block->RuleName = "NextToken";
      BuildCommon(source, *block, false);
      fProgram.NextToken = block.get();
      fProgram.Blocks.push_back(std::move(block));
    }
    // The literal table as the unit's initialize fills it (only when the unit has one).
    bool needed = !fProgram.CaseSensitive;
    for (const std::string& line : fGrammar.getTokenManager()->getVocabulary()) {
      const std::string name = VocabularyLineName(line);
      if (!name.empty() && name[0] == '"') needed = true;
    }
    if (!needed) return;
    for (const std::string& line : fGrammar.getTokenManager()->getVocabulary()) {
      const std::string name = VocabularyLineName(line);
      if (name.size() < 2 || name[0] != '"') continue;
      std::string text = name.substr(1, name.size() - 2);
      if (!fProgram.CaseSensitive) text = FoldedText(text);
      const bool known = std::any_of(fProgram.Literals.begin(), fProgram.Literals.end(), [&](const auto& l) {
        return fProgram.CaseSensitive ? l.first == text : SameText(l.first, text);
      });
      if (!known) fProgram.Literals.emplace_back(text, VocabularyLineType(line));
    }
  }

  IkivGrammar& fGrammar;
  IkivLLkAnalyzer& fAnalyzer;
  Program& fProgram;
  IkivLexerGrammar* fLexer = nullptr;
  std::vector<Op>* fOps = nullptr;
  bool fSaveText = true;
  std::string fRuleName;
  std::unordered_map<std::string, int> fConstants;  // folded constant name -> token type
  std::vector<std::tuple<std::vector<Op>*, std::size_t, std::string>> fPendingCalls;
};

// Passes diagnostics on while the build runs, and drops them while the program is compiled (the
// analyzer is asked again there and would report the same things twice).
class Relay : public IkivToolErrorHandler, public DiagnosticListener {
public:
  Relay(IkivToolErrorHandler* Handler, DiagnosticListener* Listener) : fHandler(Handler), fListener(Listener) {}
  bool Muted = false;
  void HandleWarning(const std::string& Text) override {
    if (!Muted && fHandler) fHandler->HandleWarning(Text);
  }
  void HandleError(const std::string& Text) override {
    if (!Muted && fHandler) fHandler->HandleError(Text);
  }
  void HandleMessage(const std::string& Text) override {
    if (!Muted && fHandler) fHandler->HandleMessage(Text);
  }
  void OnDiagnostic(const Diagnostic& D) override {
    if (!Muted && fListener) fListener->OnDiagnostic(D);
  }

private:
  IkivToolErrorHandler* fHandler;
  DiagnosticListener* fListener;
};

}  // namespace

Grammar::Grammar(std::unique_ptr<Program> Compiled) : fProgram(std::move(Compiled)) {}
Grammar::~Grammar() = default;
bool Grammar::IsLexer() const { return fProgram->Lexer; }
const std::string& Grammar::Name() const { return fProgram->GrammarName; }
std::vector<std::string> Grammar::RuleNames() const {
  std::vector<std::string> names;
  for (const auto& rule : fProgram->Rules) names.push_back(rule->Name);
  return names;
}

std::vector<RuleInfo> Grammar::Rules() const {
  std::vector<RuleInfo> rules;
  for (const auto& rule : fProgram->Rules) {
    RuleInfo info;
    info.Name = rule->Name;
    info.Public = !rule->Protected && !rule->Private;
    if (rule->Body != nullptr) {
      info.Line = rule->Body->Line;
      info.Column = rule->Body->Column;
    }
    rules.push_back(std::move(info));
  }
  return rules;
}

LoadResult LoadGrammar(const std::string& Text, const std::string& Name, const std::string& ExchangeDir,
                       IkivToolErrorHandler* Handler, DiagnosticListener* Listener) {
  LoadResult result;
  Relay relay(Handler, Listener);
  // Declared in creation order (as TkivTool::Run holds its passes), released in reverse.
  std::istringstream input(Text);
  TkivTool tool(&input, Name, std::string(), ExchangeDir, &relay);
  tool.SetDiagnosticListener(&relay);
  std::unique_ptr<TkivLLkAnalyzer> analyzer;
  std::shared_ptr<TkivGrammarMaker> maker;
  std::unique_ptr<TkivDelphiGenerator> generator;
  std::unique_ptr<TkivKivParser> parser;
  auto finish = [&]() {
    result.Errors = tool.GetErrorCount();
    result.Warnings = tool.GetWarningCount();
    return result;
  };
  try {
    analyzer = std::make_unique<TkivLLkAnalyzer>(tool);
    maker = std::make_shared<TkivGrammarMaker>(tool, analyzer.get(), ExchangeDir);
    generator = std::make_unique<TkivDelphiGenerator>(std::string(), ExchangeDir);
    auto lexer = kiv::MakeLexer<TkivKivLexer>(input);
    parser = std::make_unique<TkivKivParser>(lexer, maker, tool, ExchangeDir);
    lexer->InputState->SetFileName(Name);
    parser->InputState->SetFileName(Name);
  } catch (...) {
    tool.Error("Internal error", Name, 0, 0);
    return finish();
  }
  try {
    parser->file();
  } catch (const EkivMismatchedChar& e) {
    tool.Error(LexicalErrorText(e), LastPathComponent(e.FileName()), e.Line(), e.Column());
    return finish();
  } catch (const EkivMismatchedToken& e) {
    tool.Error(SyntaxErrorText(e), LastPathComponent(e.FileName()), e.Line(), e.Column());
    return finish();
  } catch (...) {
    tool.Error("Unexpected exception while reading the grammar", Name, 0, 0);
    return finish();
  }
  if (tool.GetErrorCount() != 0) return finish();
  IkivGrammarPtr grammar = maker->getGrammar();
  if (!grammar) return finish();
  if (const IkivTokenPtr vocabulary = grammar->getImportVocab()) result.ImportVocabulary = LastPathComponent(vocabulary->TokenText());
  try {
    // The generator checks every block as it reaches it; its text stays in memory.
    generator->Generate(*grammar);
  } catch (...) {
    tool.Error("Unexpected exception in generator", Name, 0, 0);
    return finish();
  }
  for (const GeneratedFile& file : generator->Outputs().Files()) {
    const std::string base = LastPathComponent(file.Path);
    if (base.size() > 10 && base.compare(base.size() - 10, 10, "Tokens.txt") == 0) {
      result.VocabularyFile = base;
      result.VocabularyText = file.Text;
    }
  }
  if (tool.GetErrorCount() != 0) return finish();
  relay.Muted = true;
  auto program = std::make_unique<Program>();
  try {
    ProgramBuilder builder(*grammar, *analyzer, *program);
    grammar->setGenerator(&builder);
    builder.Build();
    builder.ResolvePending();
    for (auto& [op, id] : builder.fCalls)
      op->Target = program->FindRule(program->Lexer ? DecodeLexerRuleName(id) : id);
    grammar->setGenerator(generator.get());
  } catch (...) {
    relay.Muted = false;
    tool.Error("Unexpected exception while preparing the grammar for the test rig", Name, 0, 0);
    return finish();
  }
  relay.Muted = false;
  result.Loaded = std::make_shared<Grammar>(std::move(program));
  return finish();
}

}  // namespace kiv::interp
