// kivDelphiGenerator.cpp - the Delphi unit of a grammar: frame, declarations, rule methods,
// decisions, loops, predicates and atoms. The lexer's dispatch is in kivDelphiLexerDispatch.cpp.
#include "engine/codegen/kivDelphiGenerator.h"
#include "engine/codegen/kivDelphiGeneratorDetail.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

#include "engine/codegen/kivDelphiTemplates.h"
#include "engine/codegen/kivLLkAnalyzer.h"
#include "engine/codegen/kivPascalText.h"
#include "engine/graph/kivGraphArena.h"
#include "engine/model/kivGrammarSymbol.h"
#include "engine/model/kivNames.h"
#include "engine/model/kivTokenManager.h"
#include "runtime/cpp/kivUtils.h"

namespace {

using kiv::delphi::kNextTokenRuleId;
using kiv::delphi::MembersOf;
using kiv::delphi::Unit;

// Wraps generated statements so that PrintAction writes them at the current level: the leading
// blank line it drops stands for the opening brace's line.
std::string AsAction(const std::string& Statements) { return "{\n\n" + Statements + "}"; }

// An alternative that holds only its block end.
bool IsEmptyAlternative(const IkivAlternative& Alt) {
  IkivAlternativeElem* head = Alt.GetHead();
  return head == nullptr || kiv::Supports<IkivBlockEndElem>(head) != nullptr;
}

// Whether Test holds for an element of the alternative's chain, up to its block end.
template <typename Test>
bool AnyInChain(IkivAlternative& Alt, Test&& test) {
  for (IkivAlternativeElem* elem = Alt.GetHead(); elem != nullptr && kiv::Supports<IkivBlockEndElem>(elem) == nullptr;
       elem = elem->GetNext())
    if (test(*elem)) return true;
  return false;
}

bool ContainsPredicateGroup(IkivAlternative& Alt);

// Whether a block, or a block nested in one of its alternatives, holds a syntactic predicate
// group (see note [syntactic predicate groups]).
bool BlockContainsPredicateGroup(IkivAlternativeBlock& Block) {
  for (IkivAlternative* alt : Block.GetAlternatives()) {
    if (alt == nullptr) continue;
    if (alt->GetSynPred() != nullptr || ContainsPredicateGroup(*alt)) return true;
  }
  return false;
}

bool ContainsPredicateGroup(IkivAlternative& Alt) {
  return AnyInChain(Alt, [](IkivAlternativeElem& elem) {
    auto* block = kiv::Supports<IkivAlternativeBlock>(&elem);
    return block != nullptr && BlockContainsPredicateGroup(*block);
  });
}

// Whether a block, its subrules or its syntactic predicates reference the rule RuleId.
bool BlockCallsRule(IkivAlternativeBlock& Block, const std::string& RuleId) {
  for (IkivAlternative* alt : Block.GetAlternatives()) {
    if (alt == nullptr) continue;
    if (IkivSynPredBlock* pred = alt->GetSynPred(); pred != nullptr && BlockCallsRule(*pred, RuleId)) return true;
    const bool calls = AnyInChain(*alt, [&RuleId](IkivAlternativeElem& elem) {
      if (auto* ref = kiv::Supports<IkivRuleRefElem>(&elem)) return kiv::SameText(ref->GetTargetRule(), RuleId);
      auto* block = kiv::Supports<IkivAlternativeBlock>(&elem);
      return block != nullptr && BlockCallsRule(*block, RuleId);
    });
    if (calls) return true;
  }
  return false;
}

// How deeply syntactic predicates nest in a block: 1 for predicates in it or in its subrules, one
// more for each predicate found inside a predicate's own block.
int PredicateNesting(IkivAlternativeBlock& Block) {
  int nesting = 0;
  for (IkivAlternative* alt : Block.GetAlternatives()) {
    if (alt == nullptr) continue;
    if (IkivSynPredBlock* pred = alt->GetSynPred()) nesting = std::max(nesting, 1 + PredicateNesting(*pred));
    AnyInChain(*alt, [&nesting](IkivAlternativeElem& elem) {
      if (auto* block = kiv::Supports<IkivAlternativeBlock>(&elem)) nesting = std::max(nesting, PredicateNesting(*block));
      return false;
    });
  }
  return nesting;
}

// The names of the predicate flag and mark at a nesting level (0 outside any predicate).
std::string PredicateVariable(const char* Base, int Level) {
  return Level == 0 ? std::string(Base) : Base + std::to_string(Level + 1);
}

// Note [names the generated code uses]: rule methods and labels live in the recognizer's scope,
// where they hide what the generated code calls by name: a parser rule "match" the runtime's
// match, a rule "break" the way out of loops (the loops then never end), a label "TT_ID" the token
// type, a label named like a rule that rule's method. A rule or label with such a name is an
// error. The list holds every name the written code uses without a qualifier.
constexpr std::string_view kGeneratedCodeNames[] = {
    "AnsiChar",     "boolean",   "break",       "commit",      "consume",           "ConsumeUntil",
    "continue",     "Copy",      "EkivMismatchedChar", "EkivMismatchedToken", "EkivSemantic", "EOF_CHAR",
    "Exception",    "false",     "fCaseSensitive", "fLiterals", "INC",              "initialize",
    "InputState",   "integer",   "IkivToken",   "LA",          "Length",            "LT",
    "makeToken",    "mark",      "match",       "matchNot",    "NextToken",         "pCreate",
    "reportError",  "ResetText", "result",      "ReturnToken", "rewind",            "SaveConsumedInput",
    "TestLiteral",  "TkivCharSet", "TkivToken", "TokenText",   "true",              "TT_000",
    "TT_EOF",       "TT_SKIP",   "uponEof",
};

} // namespace

TkivDelphiGenerator::TkivDelphiGenerator(std::string UnitDirectory, std::string ExchangeDirectory)
    : TkivCodeGenerator(std::move(UnitDirectory), std::move(ExchangeDirectory)) {}

// ---------------------------------------------------------------------------------------------
// Unit frame
// ---------------------------------------------------------------------------------------------

void TkivDelphiGenerator::Generate(IkivGrammar& Grammar) {
  fGrammar = &Grammar;
  Grammar.setGenerator(this);
  fAnalyzer = Grammar.getAnalyzer();
  fTool = Grammar.getTool();
  SetTabs(0);
  fLexerGrammar = dynamic_cast<IkivLexerGrammar*>(&Grammar);
  fIsLexer = fLexerGrammar != nullptr;
  fOptimize = Grammar.getOptimize();
  // The optimized form labels tokens through the parser's non-virtual entry point.
  fLookaheadExpression = fIsLexer ? "LA(1)" : fOptimize ? "_LT1" : "LT(1)";
  fSaveText = true;
  fSynPredLevel = 0;
  fRuleCopies.clear();
  if (fAnalyzer == nullptr) {
    if (fTool != nullptr) fTool->Panic("No analyzer is set for grammar \"" + Grammar.getGrammarName() + "\".");
    throw std::logic_error("no analyzer is set for the grammar");
  }
  fAnalyzer->SetGrammar(&Grammar);
  fTokenNames = std::make_unique<kiv::TokenVocabularyNames>(*Grammar.getTokenManager());

  WriteVocabularyFile();
  WriteTokenTypesUnit();

  OpenOutput(kiv::JoinOutputPath(UnitDirectory(), Grammar.getUnitName() + ".pas"));
  SetTabs(0);
  WriteFileHeader();
  PrintLine("unit " + Grammar.getUnitName() + ";");
  PrintLine("");
  PrintLine("interface");
  PrintLine("");
  WriteUses();
  WriteDeclarations();
  PrintLine("");

  PrintLine("implementation");
  PrintLine("uses");
  PrintLine(Unit() + "kivException,");
  PrintLine(Unit() + "kivExceptionSemantic,");
  PrintLine(Unit() + (fIsLexer ? "kivExceptionMismatchedChar;" : "kivExceptionMismatchedToken;"));
  PrintLine("");

  // The list grows by the token-dispatch rule while NextToken is written.
  const IkivGrammar::RuleList rules = Grammar.getRules();
  for (const IkivRuleSymbolPtr& symbol : rules)
    if (symbol && symbol->getId() != kNextTokenRuleId) GenRule(*symbol);
  if (fIsLexer) {
    GenNextToken();
    if (LiteralsNeeded()) GenLiteralsInitializer();
  }
  SetTabs(0);
  if (!Grammar.getMemberDef().empty()) PrintAction(Grammar.getMemberDef());
  PrintLine("end.");
  CloseOutput();
}

void TkivDelphiGenerator::WriteUses() {
  kiv::SortedNameList uses = fGrammar->getUses();
  uses.Add(TokenTypesUnitName());
  PrintLine("uses");
  Indent();
  for (std::size_t i = 0; i < uses.Count(); ++i) PrintLine(uses[i] + (i + 1 < uses.Count() ? "," : ";"));
  Dedent();
  PrintLine("");
}

void TkivDelphiGenerator::WriteDeclarations() {
  if (const IkivTokenPtr section = fGrammar->getConstSection()) {
    PrintLine("const");
    Indent();
    PrintLine(kiv::CommentBanner('=', 73));
    PrintLine("// Const declarations from grammar.");
    PrintLine(kiv::CommentBanner('=', 73));
    PrintAction(section->TokenText());
    PrintLine("");
    Dedent();
  }
  PrintLine("type");
  Indent();
  if (const IkivTokenPtr section = fGrammar->getTypeSection()) {
    PrintLine(kiv::CommentBanner('=', 73));
    PrintLine("// Type declarations from grammar.");
    PrintLine(kiv::CommentBanner('=', 73));
    PrintAction(section->TokenText());
    PrintLine("");
  }
  PrintLine(kiv::CommentBanner('=', 73));
  PrintLine("// Class " + ClassName() + " declaration");
  PrintLine(kiv::CommentBanner('=', 73));
  PrintLine(ClassName() + (fIsLexer ? " = class( TkivLexer)" : " = class( TkivLLkParser)"));
  PrintLine("");
  if (!fGrammar->getMemberDecl().empty()) {
    PrintAction(fGrammar->getMemberDecl());
    PrintLine("");
  }
  if (fIsLexer && LiteralsNeeded()) {
    PrintLine("protected // Internals");
    PrintLine(Unit() + "procedure initialize; override;");
    PrintLine("");
  }
  WriteRuleDeclarations();
  if (fIsLexer) {
    PrintLine("public");
    Indent();
    PrintLine(TypedDispatch() ? "function  _nextTokenType: integer; override;" : "function  NextToken: IkivToken; override;");
    Dedent();
  }
  PrintLine("end;");
  Dedent();
}

void TkivDelphiGenerator::WriteRuleDeclarations() {
  std::vector<IkivRuleSymbol*> rules;
  std::size_t width = 0;
  for (const IkivRuleSymbolPtr& symbol : fGrammar->getRules()) {
    if (!symbol || !symbol->isDefined() || symbol->getBlock() == nullptr || symbol->getId() == kNextTokenRuleId)
      continue;
    rules.push_back(symbol.get());
    width = std::max(width, kiv::PascalIdentifier(symbol->getId()).size());
  }
  width += 1;

  struct Group {
    const char* Access;
    std::string Heading;
  };
  const Group groups[] = {
      {"private", "private   // Private grammar rules"},
      {"protected", "protected // Protected grammar rules"},
      {"public", fIsLexer ? "protected // Public grammar rules (\"rescoped\")" : "public    // Public grammar rules"},
  };
  // Any access other than private and protected counts as public, so that every written method
  // is declared.
  auto groupOf = [](const std::string& access) -> std::string {
    return (access == "private" || access == "protected") ? access : "public";
  };
  for (const Group& group : groups) {
    bool headed = false;
    for (IkivRuleSymbol* symbol : rules) {
      if (groupOf(symbol->getAccess()) != group.Access) continue;
      if (!headed) {
        PrintLine(group.Heading);
        Indent();
        headed = true;
      }
      PrintLine(RuleHeading(*symbol, *symbol->getBlock(), width));
    }
    if (headed) {
      Dedent();
      PrintLine("");
    }
  }
}

std::string TkivDelphiGenerator::RuleHeading(IkivRuleSymbol& Symbol, IkivRuleBlock& Block, std::size_t Width) const {
  const std::string method = kiv::PascalIdentifier(Symbol.getId());
  const std::string name = Width == 0 ? ClassName() + "." + method : kiv::PadRight(method, Width);
  const std::string args = Block.GetArgDeclaration();
  const std::string returns = Block.GetReturnDeclaration();
  if (fIsLexer && Symbol.getAccess() == "public") return "procedure " + name + "( pCreate: boolean);";
  std::string heading = (returns.empty() ? "procedure " : "function  ") + name;
  if (fIsLexer) {
    heading += "( pCreate: boolean";
    if (!args.empty()) heading += "; " + args;
    heading += ")";
  } else if (!args.empty()) {
    heading += "( " + args + ")";
  }
  if (!returns.empty()) heading += ": " + returns;
  return heading + ";";
}

// ---------------------------------------------------------------------------------------------
// Rule methods
// ---------------------------------------------------------------------------------------------

void TkivDelphiGenerator::GenRule(IkivRuleSymbol& Symbol) {
  if (!Symbol.isDefined()) {
    const IkivRuleRefElem* ref = Symbol.getReference(0);
    ReportError("Rule \"" + DiagnosticRuleName(Symbol.getId()) + "\" is not defined.", ref ? ref->GetLine() : 0,
                ref ? ref->GetColumn() : 0);
    return;
  }
  IkivRuleBlock* block = Symbol.getBlock();
  if (block == nullptr) return;
  // NextToken calls a token rule without arguments and ignores a result; its method has neither.
  if (fIsLexer && Symbol.getAccess() == "public" &&
      (!block->GetArgDeclaration().empty() || !block->GetReturnDeclaration().empty()))
    ReportError("Token rule \"" + DiagnosticRuleName(Symbol.getId()) +
                    "\" cannot have arguments or a return value; a protected rule can.",
                block->GetLine(), block->GetColumn());

  if (const std::string hidden = HiddenName(Symbol.getId(), false); !hidden.empty())
    ReportError("Rule \"" + DiagnosticRuleName(Symbol.getId()) + "\" would hide " + hidden +
                    " from the generated code; choose another name.",
                block->GetLine(), block->GetColumn());

  SetTabs(0);
  fSaveText = true;
  fSynPredLevel = 0;
  fRuleId = Symbol.getId();
  PrintLine(kiv::CommentBanner('=', 76));
  PrintLine("// " + Symbol.getId());
  PrintLine(kiv::CommentBanner('=', 76));
  PrintLine(RuleHeading(Symbol, *block, 0));
  // One flag and mark per predicate nesting level (note [syntactic predicate groups]).
  const int predicateLevels = block->GetSynPredBlocks().empty() ? 0 : std::max(1, PredicateNesting(*block));
  GenLocals(*block, predicateLevels);
  // The class tables of the rule's case statements go here once the rule is written.
  const std::size_t tablesAt = fOutput.Text().size();
  fRuleClassTables.clear();
  fCollectClassTables = fIsLexer && fOptimize;

  PrintLine("begin");
  Indent();
  if (fIsLexer && fOptimize) {
    PrintLine("_begin   := _textStart;");
    PrintLine("_ttype   := TT_" + DecodeLexerRuleName(Symbol.getId()) + ";");
  } else if (fIsLexer) {
    PrintLine("_begin   := Length( TokenText) +1;");
    PrintLine("_token   := nil;");
    PrintLine("_ttype   := TT_" + DecodeLexerRuleName(Symbol.getId()) + ";");
  }
  for (int level = 0; level < predicateLevels; ++level) {
    PrintLine(PredicateVariable("_spMatch", level) + " := false;");
    PrintLine(PredicateVariable("_mkMatch", level) + " := 0;");
  }
  PrintLine("");

  const bool openTry = !block->GetHandlerKind().empty() || (!fIsLexer && block->GetDefaultErrorHandler());
  if (openTry) {
    PrintLine("try");
    Indent();
  }
  GenInitAction(*block);

  // The dispatch may run a copy of the body instead of calling the rule (note [optimized form]).
  IkivOneOrMoreBlock* skipLoop = TypedDispatch() ? SkipLoop(Symbol) : nullptr;
  const bool copyBody = skipLoop == nullptr && TypedDispatch() && PlainTokenRule(Symbol);
  const std::size_t bodyStart = fOutput.Text().size();
  const int bodyLevel = fOutput.Level();
  const std::size_t bodyTables = fRuleClassTables.size();
  const TkivAlternativeList& alts = block->GetAlternatives();
  if (alts.size() == 1) {
    IkivAlternative& alt = *alts.front();
    if (!alt.GetSemPred().empty()) GenSemPredCheck(alt.GetSemPred());
    if (IkivSynPredBlock* pred = alt.GetSynPred())
      ReportWarning("Syntactic predicate ignored for single alternative.", pred->GetLine(), pred->GetColumn());
    fSkipLoopToCapture = skipLoop;
    GenAlternative(alt);
    fSkipLoopToCapture = nullptr;
  } else if (!alts.empty()) {
    fAnalyzer->CheckBlock(*block);
    const TkivDelphiBlockFinishingInfo info = GenCommonBlock(*block, false);
    GenBlockFinish(info, NoViableStatement(*block), true);
  }
  if (copyBody) KeepRuleCopy(bodyStart, bodyLevel, bodyTables, false);

  if (openTry) GenRuleHandler(*block);

  if (fIsLexer) {
    if (block->GetTestLiterals()) {
      if (Symbol.getAccess() == "protected")
        PrintLine(fOptimize ? "_ttype := _testLiteralFrom( _begin, _ttype);"
                            : "_ttype := TestLiteral( Copy( TokenText, _begin, Length(TokenText)-_begin+1), _ttype);");
      else
        PrintLine("_ttype := TestLiteral( _ttype);");
    }
    for (const std::string& line : kiv::ExpandTemplate(fOptimize ? kiv::tmpl::OptimizedLexerRuleTail : kiv::tmpl::LexerRuleTail))
      PrintLine(line);
  }
  Dedent();
  PrintLine("end;");
  PrintLine("");
  fCollectClassTables = false;
  if (!fRuleClassTables.empty()) {
    kiv::PascalWriter tables;
    tables.Line("const");
    tables.Indent();
    for (std::size_t i = 0; i < fRuleClassTables.size(); ++i) {
      if (i > 0) tables.Line("");
      GenClassTable(tables, ClassTableName(static_cast<int>(i + 1)), fRuleClassTables[i]);
    }
    tables.Dedent();
    tables.Line("");
    fOutput.Insert(tablesAt, tables);
    fRuleClassTables.clear();
  }
}

void TkivDelphiGenerator::GenLocals(IkivRuleBlock& Block, int PredicateLevels) {
  struct Local {
    std::string Name;
    std::string Type;
    std::string Key() const { return Name + "=" + Type; }
  };
  std::vector<Local> locals;
  auto add = [&locals](const std::string& name, const std::string& type) {
    const Local local{name, type};
    const auto at = std::lower_bound(locals.begin(), locals.end(), local, [](const Local& a, const Local& b) {
      return kiv::CompareText(a.Key(), b.Key()) < 0;
    });
    if (at != locals.end() && kiv::SameText(at->Key(), local.Key())) return;
    locals.insert(at, local);
  };

  std::vector<Local> labels;
  std::vector<std::string> clashes;
  for (IkivAlternativeElem* elem : Block.GetLabeledElements()) {
    if (elem == nullptr) continue;
    const std::string label = elem->GetLabel();
    if (label.empty()) continue;
    if (kiv::SameText(label, "result")) {
      // The name of a function's result; NextToken alone labels its calls so (see GenNextToken).
      ReportError("A label cannot be named \"" + label + "\": the generated code keeps that name for results.",
                  elem->GetLine(), elem->GetColumn());
      continue;
    }
    // A lexer label receives LA(1), a character, unless it labels a rule reference, which hands
    // back the rule's token.
    const bool character = fIsLexer && kiv::Supports<IkivRuleRefElem>(elem) == nullptr;
    const std::string type = character ? "AnsiChar" : "IkivToken";
    if (const std::string hidden = HiddenName(label, true); !hidden.empty()) {
      if (std::find(clashes.begin(), clashes.end(), label) != clashes.end()) continue;
      clashes.push_back(label);
      ReportError("Label \"" + label + "\" would hide " + hidden + " from the generated code; choose another name.",
                  elem->GetLine(), elem->GetColumn());
      continue;
    }
    // A label may be used twice, but one variable cannot hold a character and a token.
    const auto other = std::find_if(labels.begin(), labels.end(), [&](const Local& l) {
      return kiv::SameText(l.Name, label) && l.Type != type;
    });
    if (other != labels.end()) {
      if (std::find(clashes.begin(), clashes.end(), other->Name) != clashes.end()) continue;
      clashes.push_back(other->Name);
      ReportError("Label \"" + label + "\" stands for a character and for a rule reference in rule \"" +
                      DiagnosticRuleName(fRuleId) + "\".",
                  elem->GetLine(), elem->GetColumn());
      continue;
    }
    labels.push_back({label, type});
    add(kiv::PascalIdentifier(label), type);
  }
  for (IkivAlternativeBlock* loop : Block.GetLoopCounterBlocks())
    if (loop != nullptr) add(LoopCounter(*loop), "integer");
  for (int level = 0; level < PredicateLevels; ++level) {
    add(PredicateVariable("_spMatch", level), "boolean");
    add(PredicateVariable("_mkMatch", level), "integer");
  }
  if (fIsLexer) {
    add("_begin", "integer");
    add("_ttype", "integer");
    add("_save", "integer");
    if (!fOptimize) add("_token", "IkivToken");
  }

  const std::string code = Block.GetLocalDeclarations();
  if (locals.empty() && code.empty()) return;
  PrintLine("var");
  Indent();
  for (const Local& local : locals) PrintLine(local.Name + ": " + local.Type + ";");
  if (!code.empty()) PrintAction(code);
  Dedent();
  PrintLine("");
}

void TkivDelphiGenerator::GenRuleHandler(IkivRuleBlock& Block) {
  const std::string kind = Block.GetHandlerKind().empty() ? "except" : Block.GetHandlerKind();
  const bool except = kind != "finally";
  PrintLine("");
  Dedent();
  PrintLine(kind);
  Indent();
  if (except) {
    PrintLine("on e:Exception do");
    PrintLine("begin");
    Indent();
  }
  const bool guessing = fGrammar->hasSyntacticPredicates();
  if (guessing) {
    PrintLine("if InputState.Guessing = 0 then");
    PrintLine("begin");
    Indent();
  }
  if (!Block.GetHandlerKind().empty()) {
    PrintAction(Block.GetHandlerText());
  } else {
    kiv::MemberSet follow;
    if (IkivRuleEndElem* end = Block.GetEndNode()) follow = MembersOf(fAnalyzer->Follow(1, *end));
    PrintLine("reportError(e);");
    PrintLine("Consume;");
    PrintLine("ConsumeUntil( [" + fTokenNames->SetText(follow) + "]);");
  }
  if (guessing) {
    Dedent();
    PrintLine("end");
    if (except) {
      PrintLine("else");
      PrintLine(Unit() + "Raise;");
    }
  }
  Dedent();
  PrintLine("end;");
  if (except) {
    Dedent();
    PrintLine("end;");
  }
}

// ---------------------------------------------------------------------------------------------
// Alternatives and decisions
// ---------------------------------------------------------------------------------------------

void TkivDelphiGenerator::GenAlternative(IkivAlternative& Alt) {
  const bool saved = fSaveText;
  fSaveText = fSaveText && Alt.GetAstEnabled();
  const std::string kind = Alt.GetHandlerKind();
  if (!kind.empty()) {
    PrintLine("try");
    Indent();
  }
  for (IkivAlternativeElem* elem = Alt.GetHead(); elem != nullptr && kiv::Supports<IkivBlockEndElem>(elem) == nullptr;
       elem = elem->GetNext()) {
    if (auto* loop = kiv::Supports<IkivOneOrMoreBlock>(elem); loop != nullptr && loop == fSkipLoopToCapture)
      CaptureSkipLoop(*loop);
    else
      elem->Generate();
  }
  if (!kind.empty()) {
    const bool except = kind != "finally";
    PrintLine("");
    Dedent();
    PrintLine(kind);
    Indent();
    if (except) {
      PrintLine("on e:Exception do");
      PrintLine("begin");
      Indent();
    }
    const bool guessing = fGrammar->hasSyntacticPredicates();
    if (guessing) {
      PrintLine("if InputState.Guessing = 0 then");
      PrintLine("begin");
      Indent();
    }
    PrintAction(Alt.GetHandlerText());
    if (guessing) {
      Dedent();
      // While guessing, the failure must reach the syntactic predicate, as the rule handler lets
      // it: swallowed, the guess went on as if the alternative had matched, and a loop around the
      // alternative could go round for ever without consuming.
      if (except) {
        PrintLine("end");
        PrintLine("else");
        PrintLine(Unit() + "Raise;");
      } else {
        PrintLine("end;");
      }
    }
    if (except) {
      Dedent();
      PrintLine("end;");
    }
    Dedent();
    // Closed as a complete statement: the alternative may be followed by further statements
    // (a rule's or a subrule's only alternative).
    PrintLine("end;");
  }
  fSaveText = saved;
}

std::vector<TkivDelphiGenerator::Branch> TkivDelphiGenerator::OrderedBranches(IkivAlternativeBlock& Block) const {
  // The order of the tests: in a lexer deeper lookahead first (the earlier alternative first among
  // equals), in a parser the order of the alternatives.
  const int k = fGrammar->getK();
  const TkivAlternativeList& alts = Block.GetAlternatives();
  std::vector<Branch> branches;
  if (fIsLexer) {
    for (int depth = k; depth >= 0; --depth)
      for (IkivAlternative* alt : alts)
        if (alt != nullptr && alt->GetSynPred() == nullptr && kiv::EffectiveDepth(*alt, k) == depth)
          branches.push_back({alt, depth});
  } else {
    for (IkivAlternative* alt : alts)
      if (alt != nullptr && alt->GetSynPred() == nullptr) branches.push_back({alt, kiv::AlternativeDepthLimit(*alt, k)});
  }
  return branches;
}

bool TkivDelphiGenerator::CaseDispatchApplies(const std::vector<Branch>& Branches) const {
  // A case statement needs every tested branch to test LA(1) alone, without a predicate, against
  // a set that no other branch tests (see note [optimized form]).
  const int k = fGrammar->getK();
  kiv::MemberSet seen;
  bool any = false;
  for (const Branch& branch : Branches) {
    IkivAlternative& alt = *branch.Alt;
    if (IsEmptyAlternative(alt)) continue;
    if (!alt.GetSemPred().empty()) return false;
    if (kiv::LookaheadIsEmpty(alt, k)) continue;
    if (!kiv::TestsFirstOnly(alt, branch.Depth)) return false;
    const kiv::MemberSet members = MembersOf(alt.GetCache(1));
    if ((seen & members).any()) return false;
    seen |= members;
    any = true;
  }
  return any;
}

std::vector<int> TkivDelphiGenerator::DispatchClasses(IkivAlternativeBlock& Block) const {
  const TkivAlternativeList& alts = Block.GetAlternatives();
  const bool hasPredicates = std::any_of(alts.begin(), alts.end(), [](IkivAlternative* alt) {
    return alt != nullptr && alt->GetSynPred() != nullptr;
  });
  const std::vector<Branch> branches = OrderedBranches(Block);
  if (!fOptimize || !fIsLexer || hasPredicates || !CaseDispatchApplies(branches)) return {};
  return CaseClasses(branches, true);
}

std::vector<int> TkivDelphiGenerator::CaseClasses(const std::vector<Branch>& Branches, bool Dispatch) const {
  const int k = fGrammar->getK();
  // The case branches in the order GenCommonBlock writes them, numbered from 1.
  std::vector<int> classes(256, 0);
  int count = 0;
  for (const Branch& branch : Branches) {
    IkivAlternative& alt = *branch.Alt;
    if (IsEmptyAlternative(alt) || (alt.GetSemPred().empty() && kiv::LookaheadIsEmpty(alt, k))) continue;
    ++count;
    const kiv::MemberSet members = MembersOf(alt.GetCache(1));
    for (std::size_t code = 0; code < classes.size() && code < members.size(); ++code)
      if (members.test(code)) classes[code] = count;
  }
  if (count > 255) return {};
  // The labels of the case statement on the character itself, as the compiler counts them (runs
  // of neighbouring characters of one branch are one label), and the distance they span.
  int labels = 0;
  int first = -1;
  int last = -1;
  for (int code = 0; code < 256; ++code) {
    if (classes[static_cast<std::size_t>(code)] == 0) continue;
    if (first < 0) first = code;
    last = code;
    if (code == 0 || classes[static_cast<std::size_t>(code - 1)] != classes[static_cast<std::size_t>(code)]) ++labels;
  }
  // Free Pascal tests a case statement label after label, unless it has at least twelve labels
  // spanning fewer than four times as many values: then it jumps through a table. A case that
  // makes a table as it is needs no class table. The dispatch's class labels are made enough
  // for a jump table (see GenCommonBlock); elsewhere the classes are tested one after the other,
  // which pays when there are far fewer classes than labels.
  const bool table = labels >= kMinJumpTableLabels && last - first < 4 * labels;
  if (table) return {};
  if (Dispatch ? labels < kMinClassDispatchLabels : labels < 2 * count + 2) return {};
  return classes;
}

std::string TkivDelphiGenerator::ClassTableName(int Index) {
  return Index == 0 ? "_charClass" : "_charClass" + std::to_string(Index);
}

void TkivDelphiGenerator::GenClassTable(kiv::PascalWriter& Out, const std::string& Name, const std::vector<int>& Classes) {
  Out.Line("// The branch of the case statement on " + Name + " for each character (0: none).");
  Out.Line(Name + ": array[AnsiChar] of Byte = (");
  Out.Indent();
  for (int row = 0; row < 16; ++row) {
    std::string line;
    for (int column = 0; column < 16; ++column) {
      const int code = row * 16 + column;
      line += std::to_string(Classes[static_cast<std::size_t>(code)]);
      line += code == 255 ? ");" : column == 15 ? "," : ", ";
    }
    Out.Line(line);
  }
  Out.Dedent();
}

TkivDelphiBlockFinishingInfo TkivDelphiGenerator::GenCommonBlock(IkivAlternativeBlock& Block, bool SingleAltShortcut) {
  TkivDelphiBlockFinishingInfo info;
  const bool runLoop = fRunLoop == &Block;
  const std::string runCounter = fRunCounter;
  fRunLoop = nullptr;
  const bool saved = fSaveText;
  fSaveText = fSaveText && Block.GetAstEnabled();
  const TkivAlternativeList& alts = Block.GetAlternatives();

  if (Block.GetInverted() && fAnalyzer->CanInvertSubrule(Block, fIsLexer)) {
    const kiv::MemberSet members = MembersOf(Block.Look(1));
    if (!Block.GetLabel().empty() && fSynPredLevel == 0)
      PrintLine(kiv::PascalIdentifier(Block.GetLabel()) + ":= " + fLookaheadExpression + ";");
    PrintLine((FastChars() ? "_match( [" : "match( [") + SetText(members) + "]);");
    fSaveText = saved;
    return info;
  }

  if (alts.size() == 1 && SingleAltShortcut) {
    IkivAlternative& alt = *alts.front();
    if (IkivSynPredBlock* pred = alt.GetSynPred())
      ReportWarning("Syntactic predicate superfluous for single alternative.", pred->GetLine(), pred->GetColumn());
    if (!alt.GetSemPred().empty()) GenSemPredCheck(alt.GetSemPred());
    GenAlternative(alt);
    fSaveText = saved;
    return info;
  }

  const bool hasPredicates = std::any_of(alts.begin(), alts.end(), [](IkivAlternative* alt) {
    return alt != nullptr && alt->GetSynPred() != nullptr;
  });
  if (hasPredicates) {
    // See note [syntactic predicate groups].
    PrintLine(SpMatch() + " := false;");
    for (IkivAlternative* alt : alts) {
      if (alt == nullptr || alt->GetSynPred() == nullptr) continue;
      PrintLine("if not " + SpMatch() + " then");
      PrintLine("begin");
      Indent();
      GenSynPredAttempt(*alt->GetSynPred());
      Indent();
      GenAlternative(*alt);
      if (ContainsPredicateGroup(*alt)) PrintLine(SpMatch() + " := true;");
      Dedent();
      PrintLine("end;");
      Dedent();
      PrintLine("end;");
      PrintLine("");
    }
    PrintLine("if not " + SpMatch() + " then");
    PrintLine("begin");
    Indent();
  }

  const int k = fGrammar->getK();
  const std::vector<Branch> branches = OrderedBranches(Block);

  // See note [decision chains].
  IkivAlternative* defaultBranch = nullptr;
  bool open = false;
  const kiv::MemberFormatter format = SetFormat();
  // An empty alternative of a loop matches nothing and is the way out of the loop: the clause
  // that leaves the loop stays (see GenOneOrMore), or the loop would go round for ever.
  const bool loop = kiv::Supports<IkivBlockWithImpliedExitPath>(&Block) != nullptr;
  const bool dispatch = fOptimize && CaseDispatchApplies(branches);
  // The lexer's dispatch may select its branch through the class table GenNextToken wrote, a
  // case statement in a lexer rule through one of the rule's (see note [optimized form]).
  std::string table;
  int padTo = 0;
  if (dispatch && fClassDispatch == &Block) {
    table = ClassTableName(0);
    padTo = kMinJumpTableLabels;
  } else if (dispatch && fCollectClassTables) {
    std::vector<int> classes = CaseClasses(branches, false);
    if (!classes.empty()) {
      fRuleClassTables.push_back(std::move(classes));
      table = ClassTableName(static_cast<int>(fRuleClassTables.size()));
    }
  }
  const bool classes = !table.empty();
  fClassDispatch = nullptr;
  int classCount = 0;
  if (dispatch) {
    const std::string look = !fIsLexer ? "_LA(1)" : FastChars() ? "_LA1" : "LA(1)";
    PrintLine(classes ? "case " + table + "[" + look + "] of" : "case " + look + " of");
    Indent();
  }
  for (const Branch& branch : branches) {
    IkivAlternative& alt = *branch.Alt;
    if (IsEmptyAlternative(alt)) {
      if (!loop) info.NeedsErrorClause = false;
      continue;
    }
    const std::string predicate = alt.GetSemPred();
    if (predicate.empty() && kiv::LookaheadIsEmpty(alt, k)) {
      info.NeedsErrorClause = false;
      if (defaultBranch == nullptr) defaultBranch = &alt;
      continue;
    }
    if (dispatch) {
      const kiv::MemberSet members = MembersOf(alt.GetCache(1));
      PrintLine((classes ? std::to_string(++classCount) : format(members)) + ":");
      PrintLine("begin");
      Indent();
      if (!fIsLexer && members.count() == 1) {
        fTestedToken = alt.GetHead();
        for (std::size_t type = 0; type < members.size(); ++type)
          if (members.test(type)) fTestedType = static_cast<int>(type);
      }
      if (!(runLoop && !hasPredicates && GenRunScan(alt, members, runCounter))) GenAlternative(alt);
      fTestedToken = nullptr;
      Dedent();
      PrintLine("end;");
      info.GeneratedSwitch = true;
      continue;
    }
    std::string test = kiv::AlternativeTest(alt, branch.Depth, format);
    if (fOptimize && !fIsLexer) test = OptimizedParserTest(test);
    if (FastChars()) test = OptimizedLexerTest(test);
    if (!predicate.empty()) {
      const std::string p = kiv::ActionBody(predicate);
      test = test == "true" ? "( " + p + ")" : "(" + test + " and (" + p + "))";
    }
    if (!open) {
      PrintLine("if " + test + " then");
    } else {
      PrintLine("end");
      PrintLine("");
      PrintLine("else if " + test + " then");
    }
    PrintLine("begin");
    Indent();
    GenAlternative(alt);
    Dedent();
    open = true;
    info.GeneratedIf = true;
  }
  if (dispatch) {
    if (classes && classCount < padTo) {
      // They still set the result, or the compiler warns that it may be left unset.
      PrintLine("// (no character has the classes from here on: with this many labels the compiler");
      PrintLine("// selects the branch through a jump table)");
      // (The typed dispatch answers a type, NextToken a token: TT_SKIP and nil go round again.)
      const std::string skip = fInTypedDispatch ? "result := TT_SKIP;" : "result := nil;";
      while (classCount < padTo) PrintLine(std::to_string(++classCount) + ": " + skip);
    }
    Dedent();
    if (defaultBranch != nullptr) {
      PrintLine("else");
      Indent();
      PrintLine("begin");
      Indent();
      GenAlternative(*defaultBranch);
      Dedent();
      PrintLine("end;");
      Dedent();
    }
    info.ClosesPredicateGroup = hasPredicates;
    fSaveText = saved;
    return info;
  }
  if (defaultBranch != nullptr) {
    if (open) {
      PrintLine("end");
      PrintLine("else");
    }
    PrintLine("begin");
    Indent();
    GenAlternative(*defaultBranch);
    Dedent();
    open = true;
    info.GeneratedIf = true;
  }
  if (open) PrintLine(info.NeedsErrorClause ? "end" : "end;");

  info.ClosesPredicateGroup = hasPredicates;
  fSaveText = saved;
  return info;
}

void TkivDelphiGenerator::GenBlockFinish(const TkivDelphiBlockFinishingInfo& Info, const std::string& Statement,
                                         bool SingleStatement) {
  if (Info.GeneratedSwitch) {
    // A case statement (see note [optimized form]): its else part takes a statement list.
    if (Info.NeedsErrorClause) {
      PrintLine("else");
      Indent();
      PrintAction(AsAction(Statement));
      Dedent();
    }
    PrintLine("end;");
  } else if (Info.NeedsErrorClause && Info.GeneratedIf) {
    PrintLine("");
    PrintLine("else");
    if (!SingleStatement) PrintLine("begin");
    Indent();
    PrintAction(AsAction(Statement));
    Dedent();
    if (!SingleStatement) PrintLine("end;");
  } else if (Info.NeedsErrorClause && Info.ClosesPredicateGroup) {
    // Every alternative has a syntactic predicate and none of them matched.
    PrintAction(AsAction(Statement));
  }
  if (!Info.Postscript.empty()) PrintAction(AsAction(Info.Postscript));
  if (Info.ClosesPredicateGroup) {
    Dedent();
    PrintLine("end;");
  }
}

void TkivDelphiGenerator::GenSynPredAttempt(IkivSynPredBlock& Block) {
  PrintLine(MkMatch() + " := mark;");
  PrintLine(SpMatch() + " := true;");
  PrintLine("");
  PrintLine("InputState.Guessing := InputState.Guessing + 1;");
  PrintLine("");
  PrintLine("try");
  Indent();
  ++fSynPredLevel;
  GenBlock(Block);
  --fSynPredLevel;
  Dedent();
  PrintLine("except");
  Indent();
  PrintLine(SpMatch() + " := false;");
  Dedent();
  PrintLine("end;");
  PrintLine("");
  PrintLine("rewind( " + MkMatch() + ");");
  PrintLine("InputState.Guessing := InputState.Guessing - 1;");
  PrintLine("");
  PrintLine("if " + SpMatch() + " then");
  PrintLine("begin");
}

std::string TkivDelphiGenerator::SpMatch() const { return PredicateVariable("_spMatch", fSynPredLevel); }

std::string TkivDelphiGenerator::MkMatch() const { return PredicateVariable("_mkMatch", fSynPredLevel); }

void TkivDelphiGenerator::GenSemPredCheck(const std::string& Predicate) {
  const std::string p = kiv::ActionBody(Predicate);
  PrintLine("");
  PrintLine("if not (" + p + ") then");
  Indent();
  if (fOptimize)
    PrintLine("_raiseSemantic(" + kiv::PascalStringLiteral(p) + ");");
  else
    PrintLine("Raise EkivSemantic.Create(" + kiv::PascalStringLiteral(p) +
              ", InputState.FileName, InputState.Line, InputState.Column);");
  PrintLine("");
  Dedent();
}

void TkivDelphiGenerator::GenInitAction(IkivAlternativeBlock& Block) {
  const std::string action = Block.GetInitAction();
  if (action.empty()) return;
  PrintAction(action);
  PrintLine("");
}

std::string TkivDelphiGenerator::NoViableStatement(IkivAlternativeBlock& Block) {
  const std::string members = SetText(MembersOf(Block.Look(1)));
  if (fOptimize) return (fIsLexer ? "_raiseNoViableChar( [" : "_raiseNoViableToken( [") + members + "]);";
  if (fIsLexer)
    return "Raise EkivMismatchedChar.Create( LA(1), [" + members +
           "], InputState.FileName, InputState.Line, InputState.Column);";
  return "Raise EkivMismatchedToken.Create( LT(1), [" + members + "], InputState.FileName);";
}

bool TkivDelphiGenerator::RunLoopSet(IkivAlternativeBlock& Block, kiv::MemberSet& Set,
                                     std::vector<IkivAlternativeBlock*>& Inverted) const {
  // Each branch must be a case branch that GenRunScan writes as a run, and there must be nothing
  // else (an empty alternative only leaves the loop).
  const int k = fGrammar->getK();
  const TkivAlternativeList& alts = Block.GetAlternatives();
  for (IkivAlternative* alt : alts)
    if (alt != nullptr && alt->GetSynPred() != nullptr) return false;
  const std::vector<Branch> branches = OrderedBranches(Block);
  if (!CaseDispatchApplies(branches)) return false;
  Set.reset();
  Inverted.clear();
  for (const Branch& branch : branches) {
    IkivAlternative& alt = *branch.Alt;
    if (IsEmptyAlternative(alt)) continue;
    if (kiv::LookaheadIsEmpty(alt, k)) return false;
    const kiv::MemberSet members = MembersOf(alt.GetCache(1));
    kiv::MemberSet matched;
    IkivAlternativeBlock* block = nullptr;
    if (!RunScanShape(alt, members, matched, block)) return false;
    if (block != nullptr) {
      if (!fAnalyzer->CanInvertSubrule(*block, true)) return false;
      matched = MembersOf(block->Look(1));
      Inverted.push_back(block);
    }
    if (matched != members) return false;
    Set |= members;
  }
  return true;
}

bool TkivDelphiGenerator::GenRunLoop(IkivBlockWithImpliedExitPath& Loop, const std::string& Counter) {
  if (NonGreedyExitDepth(Loop) != 0) return false;
  kiv::MemberSet set;
  std::vector<IkivAlternativeBlock*> inverted;
  if (!RunLoopSet(Loop, set, inverted)) return false;
  // The checks the branches' run scans make (see GenRunScan), in the same order.
  for (IkivAlternativeBlock* block : inverted) fAnalyzer->CheckBlock(*block);
  const std::string scan = RunScanCall(set);
  if (Counter.empty()) {
    // A run that is not there at all would take the run scan's general path: the loop is
    // often left at once.
    PrintLine("case " + std::string(FastChars() ? "_LA1" : "LA(1)") + " of");
    Indent();
    PrintLine(SetFormat()(set) + ":");
    Indent();
    PrintLine(scan + ";");
    Dedent();
    Dedent();
    PrintLine("end;");
  } else {
    PrintLine(Counter + " := " + scan + ";");
    // With an empty alternative the loop may match nothing at all, as (...)* does.
    const TkivAlternativeList& alts = Loop.GetAlternatives();
    const bool mayMatchNothing = std::any_of(alts.begin(), alts.end(), [](IkivAlternative* alt) {
      return alt != nullptr && IsEmptyAlternative(*alt);
    });
    if (!mayMatchNothing) {
      PrintLine("if " + Counter + " < 1 then");
      Indent();
      PrintLine(NoViableStatement(Loop));
      Dedent();
    }
  }
  return true;
}

std::string TkivDelphiGenerator::LoopCounter(IkivAlternativeBlock& Loop) {
  const std::string label = Loop.GetLabel();
  return "_cnt_" + (label.empty() ? std::to_string(Loop.GetID()) : label);
}

bool TkivDelphiGenerator::RunScanShape(IkivAlternative& Alt, const kiv::MemberSet& Members, kiv::MemberSet& Matched,
                                       IkivAlternativeBlock*& Inverted) const {
  Inverted = nullptr;
  // EOF_CHAR (code 0) in the set would let the run go on at the end of the input.
  if (Members.test(0) || !Alt.GetHandlerKind().empty() || !Alt.GetSemPred().empty()) return false;
  IkivAlternativeElem* elem = Alt.GetHead();
  if (elem == nullptr || elem->GetNext() == nullptr || kiv::Supports<IkivBlockEndElem>(elem->GetNext()) == nullptr)
    return false;
  if (!elem->GetLabel().empty() || elem->GetAstMode() != kiv::amDefault) return false;
  Matched.reset();
  if (auto* literal = kiv::Supports<IkivCharLiteralElem>(elem)) {
    if (literal->GetInverted()) return false;
    Matched.set(static_cast<std::size_t>(kiv::CharCode(static_cast<char>(literal->GetType()))));
  } else if (auto* range = kiv::Supports<IkivCharRangeElem>(elem)) {
    const int first = kiv::CharCode(range->GetFirst());
    const int last = kiv::CharCode(range->GetLast());
    kiv::IncludeRange(Matched, std::min(first, last), std::max(first, last));
  } else if (auto* block = kiv::Supports<IkivAlternativeBlock>(elem)) {
    if (kiv::Supports<IkivBlockWithImpliedExitPath>(block) != nullptr || !block->GetInverted() ||
        !block->GetInitAction().empty() || !block->GetAstEnabled())
      return false;
    Inverted = block;
  } else {
    return false;
  }
  return true;
}

std::string TkivDelphiGenerator::RunScanCall(const kiv::MemberSet& Members) {
  // The compiler tests a constant set range by range: a set of more than
  // two ranges is tested through its bits instead.
  int ranges = 0;
  for (std::size_t code = 0; code < Members.size(); ++code)
    if (Members.test(code) && (code == 0 || !Members.test(code - 1))) ++ranges;
  return std::string(ranges > 2 ? "_scanRunBits" : "_scanRun") + "( [" + kiv::CharSetForm(Members) + "])";
}

bool TkivDelphiGenerator::GenRunScan(IkivAlternative& Alt, const kiv::MemberSet& Members, const std::string& Counter) {
  kiv::MemberSet matched;
  IkivAlternativeBlock* block = nullptr;
  if (!RunScanShape(Alt, Members, matched, block)) return false;
  if (block != nullptr) {
    // The checks GenBlock makes, so that the diagnostics stay the same.
    fAnalyzer->CheckBlock(*block);
    if (!fAnalyzer->CanInvertSubrule(*block, true)) return false;
    matched = MembersOf(block->Look(1));
  }
  if (matched != Members) return false;
  const std::string scan = RunScanCall(Members);
  if (Counter.empty())
    PrintLine(scan + ";");
  else
    PrintLine(Counter + " := " + Counter + " + " + scan + " - 1;");
  return true;
}

int TkivDelphiGenerator::NonGreedyExitDepth(IkivBlockWithImpliedExitPath& Loop) const {
  if (Loop.GetGreedy()) return 0;
  const int k = fGrammar->getK();
  const int depth = Loop.GetExitLookaheadDepth();
  if (depth == kiv::NondeterministicDepth) return k;
  if (depth >= 1 && depth <= k) {
    const IkivLookaheadPtr exit = Loop.GetExitCache(depth);
    if (exit && exit->ContainsEpsilon()) return depth;
  }
  return 0;
}

// ---------------------------------------------------------------------------------------------
// Blocks and loops
// ---------------------------------------------------------------------------------------------

void TkivDelphiGenerator::GenBlock(IkivAlternativeBlock& Block) {
  GenInitAction(Block);
  fAnalyzer->CheckBlock(Block);
  const TkivDelphiBlockFinishingInfo info = GenCommonBlock(Block, true);
  GenBlockFinish(info, NoViableStatement(Block), true);
}

void TkivDelphiGenerator::GenZeroOrMore(IkivZeroOrMoreBlock& Block) {
  // A loop of runs only is one run over all their characters (see note [optimized form]).
  const bool runs = fOptimize && fIsLexer && Block.GetInitAction().empty();
  if (runs) {
    fAnalyzer->CheckZeroOrMore(Block);
    if (GenRunLoop(Block, "")) return;
  }
  PrintLine("");
  PrintLine("while(true) do");
  PrintLine("begin");
  Indent();
  GenInitAction(Block);
  if (!runs) fAnalyzer->CheckZeroOrMore(Block);
  const int exitDepth = NonGreedyExitDepth(Block);
  if (exitDepth != 0) {
    PrintLine("// non-greedy exit test");
    PrintLine("if" + kiv::LoopExitTest(Block, exitDepth, SetFormat()) + " then");
    Indent();
    PrintLine("break;");
    PrintLine("");
    Dedent();
  }
  if (fOptimize && fIsLexer && exitDepth == 0 && Block.GetInitAction().empty()) {
    fRunLoop = &Block;
    fRunCounter.clear();
  }
  const TkivDelphiBlockFinishingInfo info = GenCommonBlock(Block, false);
  if (!info.GeneratedIf && !info.GeneratedSwitch && !info.ClosesPredicateGroup)
    PrintLine("break;");  // only empty alternatives: no decision to leave by
  else
    GenBlockFinish(info, Unit() + "break;", true);
  Dedent();
  PrintLine("end;");
  PrintLine("");
}

void TkivDelphiGenerator::GenOneOrMore(IkivOneOrMoreBlock& Block) {
  const std::string counter = LoopCounter(Block);
  // A loop of runs only is one run over all their characters (see note [optimized form]).
  const bool runs = fOptimize && fIsLexer && Block.GetInitAction().empty();
  if (runs) {
    fAnalyzer->CheckOneOrMore(Block);
    if (GenRunLoop(Block, counter)) return;
  }
  PrintLine(counter + " := 0;");
  PrintLine("");
  PrintLine("while(true) do");
  PrintLine("begin");
  Indent();
  GenInitAction(Block);
  if (!runs) fAnalyzer->CheckOneOrMore(Block);
  const int exitDepth = NonGreedyExitDepth(Block);
  if (exitDepth != 0) {
    PrintLine("// non-greedy exit test");
    PrintLine("if (" + counter + " >= 1) and ");
    Indent();
    PrintAction(AsAction(kiv::LoopExitTest(Block, exitDepth, SetFormat())));
    PrintLine("then break;");
    PrintLine("");
    Dedent();
  }
  if (fOptimize && fIsLexer && exitDepth == 0 && Block.GetInitAction().empty()) {
    fRunLoop = &Block;
    fRunCounter = counter;
  }
  const TkivDelphiBlockFinishingInfo info = GenCommonBlock(Block, false);
  // With an empty alternative the loop may match nothing at all, so it ends as (...)* does.
  const TkivAlternativeList& alts = Block.GetAlternatives();
  const bool mayMatchNothing = std::any_of(alts.begin(), alts.end(), [](IkivAlternative* alt) {
    return alt != nullptr && IsEmptyAlternative(*alt);
  });
  if (!info.GeneratedIf && !info.GeneratedSwitch && !info.ClosesPredicateGroup)
    PrintLine("break;");  // only empty alternatives: no decision to leave by
  else
    GenBlockFinish(info,
                   mayMatchNothing ? "break;"
                                   : "if " + counter + " >= 1 then\n" + Unit() + "break\nelse\n" + Unit() +
                                         NoViableStatement(Block),
                   false);
  PrintLine("");
  PrintLine("INC(" + counter + ");");
  Dedent();
  PrintLine("end;");
}

// ---------------------------------------------------------------------------------------------
// Elements
// ---------------------------------------------------------------------------------------------

void TkivDelphiGenerator::GenAction(IkivActionElem& Action) {
  if (Action.GetIsSemPred()) {
    GenSemPredCheck(Action.GetActionText());
    return;
  }
  if (!fGrammar->hasSyntacticPredicates()) {
    PrintAction(Action.GetActionText());
    return;
  }
  PrintLine("");
  PrintLine("if InputState.Guessing = 0 then");
  PrintLine("begin");
  Indent();
  PrintAction(Action.GetActionText());
  Dedent();
  PrintLine("end;");
}

std::string TkivDelphiGenerator::TokenMatch(const IkivGrammarAtom& Atom, const std::string& Name) {
  const bool tested = fTestedToken != nullptr && fTestedToken == &Atom && fTestedType == Atom.GetType();
  fTestedToken = nullptr;
  if (Atom.GetInverted()) return "matchNot(" + Name + ");";
  if (!fOptimize) return "match(" + Name + ");";
  // The branch's case statement has just found this token as LA(1).
  if (tested) return "_consume;";
  return "_match(" + Name + ");";
}

std::string TkivDelphiGenerator::OptimizedParserTest(const std::string& Test) {
  // The terms are "LA(n) in [...]" between parentheses; token names hold no parenthesis.
  std::string result;
  std::size_t from = 0;
  for (std::size_t at = Test.find("LA("); at != std::string::npos; at = Test.find("LA(", from)) {
    result.append(Test, from, at - from);
    result += "_LA(";
    from = at + 3;
  }
  result.append(Test, from, std::string::npos);
  return result;
}

bool TkivDelphiGenerator::FastChars() const {
  return fOptimize && fIsLexer && fLexerGrammar->getCaseSensitive();
}

std::string TkivDelphiGenerator::OptimizedLexerTest(const std::string& Test) {
  // Characters in the sets are quoted one by one, so "LA(1)" is only ever the look-ahead.
  std::string result;
  std::size_t from = 0;
  for (std::size_t at = Test.find("LA(1)"); at != std::string::npos; at = Test.find("LA(1)", from)) {
    result.append(Test, from, at - from);
    result += "_LA1";
    from = at + 5;
  }
  result.append(Test, from, std::string::npos);
  return result;
}

void TkivDelphiGenerator::GenLabel(const std::string& Label, const std::string& Separator) {
  PrintLine(kiv::PascalIdentifier(Label) + Separator + fLookaheadExpression + ";");
}

bool TkivDelphiGenerator::SuppressesSaving(int AstMode) const {
  // Only a lexer keeps the text it consumes; a parser has nothing to switch.
  return fIsLexer && fSaveText && AstMode != kiv::amDefault;
}

void TkivDelphiGenerator::GenMatchLine(const std::string& Line, bool Suppress) {
  if (Suppress) PrintLine("SaveConsumedInput := false;");
  PrintLine(Line);
  if (Suppress) PrintLine("SaveConsumedInput := true;");
}

void TkivDelphiGenerator::GenCharLiteral(IkivCharLiteralElem& Atom) {
  if (!fIsLexer) {
    ReportError("Cannot reference character literals in non-lexer grammar: \"" + Atom.GetText() + "\".", 0, 0);
    return;
  }
  // A character literal's label is assigned even inside a syntactic predicate.
  if (!Atom.GetLabel().empty()) GenLabel(Atom.GetLabel());
  const std::string c = CharText(static_cast<char>(Atom.GetType()));
  GenMatchLine((Atom.GetInverted() ? "matchNot(" : FastChars() ? "_match(" : "match(") + c + ");",
               SuppressesSaving(Atom.GetAstMode()));
}

void TkivDelphiGenerator::GenCharRange(IkivCharRangeElem& Range) {
  if (!Range.GetLabel().empty() && fSynPredLevel == 0) GenLabel(Range.GetLabel(), ":=");
  const int first = kiv::CharCode(Range.GetFirst());
  const int last = kiv::CharCode(Range.GetLast());
  kiv::MemberSet members;
  kiv::IncludeRange(members, std::min(first, last), std::max(first, last));
  GenMatchLine((FastChars() ? "_match( [" : "match( [") + kiv::CharSetForm(members) + "]);",
               SuppressesSaving(Range.GetAstMode()));
}

void TkivDelphiGenerator::GenStringLiteral(IkivStringLiteralElem& Atom) {
  if (!Atom.GetLabel().empty() && fSynPredLevel == 0) GenLabel(Atom.GetLabel());
  const std::string match = Atom.GetInverted() ? "matchNot(" : "match(";
  if (fIsLexer) {
    GenMatchLine(match + kiv::PascalStringLiteral(Atom.GetProcessedText()) + ");", SuppressesSaving(Atom.GetAstMode()));
    return;
  }
  std::string name;
  const auto literal =
      std::dynamic_pointer_cast<IkivStringSymbol>(fGrammar->getTokenManager()->getTokenSymbol(Atom.GetText()));
  if (literal) name = literal->getLabel();
  if (name.empty()) name = fTokenNames->Name(Atom.GetType());
  GenMatchLine(TokenMatch(Atom, name), false);
}

void TkivDelphiGenerator::GenAtom(IkivGrammarAtom& Atom) {
  if (kiv::Supports<IkivTokenRefElem>(&Atom) == nullptr) {
    PrintLine("***InternalError:GrammarAtom generation***");
    return;
  }
  if (fIsLexer) {
    if (fTool != nullptr) fTool->Panic("Token reference found in lexer...");
    throw std::logic_error("Token reference found in lexer...");
  }
  if (!Atom.GetLabel().empty() && fSynPredLevel == 0) GenLabel(Atom.GetLabel());
  GenMatchLine(TokenMatch(Atom, fTokenNames->Name(Atom.GetType())), false);
}

void TkivDelphiGenerator::GenTokenRange(IkivTokenRangeElem& Range) {
  if (fIsLexer) return;
  if (!Range.GetLabel().empty() && fSynPredLevel == 0) GenLabel(Range.GetLabel());
  kiv::MemberSet members;
  kiv::IncludeRange(members, std::min(Range.GetFirst(), Range.GetLast()), std::max(Range.GetFirst(), Range.GetLast()));
  GenMatchLine("match( [" + fTokenNames->SetText(members) + "]);", false);
}

void TkivDelphiGenerator::GenWildcard(IkivWildcardElem& Atom) {
  if (!Atom.GetLabel().empty() && fSynPredLevel == 0) GenLabel(Atom.GetLabel());
  if (fIsLexer)
    GenMatchLine("matchNot( EOF_CHAR );", fSaveText && Atom.GetAstMode() == kiv::amSuppress);
  else
    GenMatchLine("matchNot( " + fTokenNames->Name(0) + ");", false);
}

void TkivDelphiGenerator::GenRuleRef(IkivRuleRefElem& Ref) {
  const std::string target = Ref.GetTargetRule();
  const IkivRuleSymbolPtr symbol = fGrammar->getRuleSymbol(target);
  if (!symbol || !symbol->isDefined()) {
    ReportError("Rule \"" + DiagnosticRuleName(target) + "\" is not defined.", Ref.GetLine(), Ref.GetColumn());
    return;
  }
  const IkivRuleBlock* block = symbol->getBlock();
  const std::string name = DiagnosticRuleName(target);
  const bool restoreText = fIsLexer && (!fSaveText || Ref.GetAstMode() == kiv::amSuppress);
  if (restoreText) PrintLine(fOptimize ? "_save := _textLength;" : "_save := Length( TokenText);");

  // Note [calls that would not compile]: the two warnings below leave out what the target rule
  // cannot take, so that the unit still compiles; a target that needs arguments it is not given
  // is an error. A token rule of a lexer is called by NextToken and has neither (see GenRule).
  const bool tokenRule = fIsLexer && symbol->getAccess() == "public";
  const bool returns = block != nullptr && !block->GetReturnDeclaration().empty() && !tokenRule;
  const bool takesArgs = block != nullptr && !block->GetArgDeclaration().empty() && !tokenRule;
  std::string line;
  if (!Ref.GetAssignedVariable().empty()) {
    if (!returns)
      ReportWarning("Rule \"" + name + "\" has no return value.", Ref.GetLine(), Ref.GetColumn());
    else
      line += kiv::PascalIdentifier(Ref.GetAssignedVariable()) + " := ";
  }
  std::string args = Ref.GetArguments();
  if (!args.empty() && !takesArgs) {
    ReportWarning("Rule \"" + name + "\" accepts no arguments.", Ref.GetLine(), Ref.GetColumn());
    args.clear();
  } else if (args.empty() && takesArgs) {
    ReportError("Rule \"" + name + "\" needs arguments.", Ref.GetLine(), Ref.GetColumn());
  }
  const std::string method = kiv::PascalIdentifier(symbol->getId());
  if (fIsLexer && fInTypedDispatch) {
    // A rule that only skips runs its loop here, and the round starts again; a plain rule runs
    // its body here (note [optimized form]).
    if (fRuleCopies.count(symbol->getId()) != 0) {
      GenRuleCopy(*symbol);
      return;
    }
    // The rule leaves its type and text for the token buffer or NextToken (note [optimized form]).
    PrintLine(method + "(false);");
    PrintLine("result := _ruleType;");
    return;
  }
  if (fIsLexer) {
    line += method + "(" + (Ref.GetLabel().empty() ? "false" : "true") + (args.empty() ? "" : ", " + args) + ");";
  } else if (args.empty() && returns && kiv::SameText(symbol->getId(), fRuleId)) {
    // Inside a function its bare name is its result: a rule that calls itself needs the brackets.
    line += method + "();";
  } else {
    line += method + (args.empty() ? "" : "(" + args + ")") + ";";
  }
  PrintLine(line);

  if (restoreText) PrintLine(fOptimize ? "_truncateText( _save);" : "TokenText := Copy(TokenText, 1, _save);");
  if (fIsLexer && !Ref.GetLabel().empty()) PrintLine(kiv::PascalIdentifier(Ref.GetLabel()) + " := ReturnToken;");
}

void TkivDelphiGenerator::GenSynPred(IkivSynPredBlock& /*Block*/) {
  PrintLine("***InternalError:SynPredBlock generation***");
}

void TkivDelphiGenerator::GenBlockEnd(IkivBlockEndElem& /*End*/) { PrintLine("***InternalError:BlockEndElem generation***"); }

void TkivDelphiGenerator::GenRuleEnd(IkivRuleEndElem& /*End*/) { PrintLine("***InternalError:RuleEndElem generation***"); }

void TkivDelphiGenerator::GenRuleBlock(IkivRuleBlock& /*Block*/) { PrintLine("***InternalError:RuleBlock generation***"); }

void TkivDelphiGenerator::GenTreeElement(IkivAlternativeElem& /*Elem*/) {
  PrintLine("***InternalError:TreeElement generation***");
}

// ---------------------------------------------------------------------------------------------
// Text forms
// ---------------------------------------------------------------------------------------------

std::string TkivDelphiGenerator::SetText(const kiv::MemberSet& Members) const { return SetFormat()(Members); }

kiv::MemberFormatter TkivDelphiGenerator::SetFormat() const {
  if (fIsLexer) return [](const kiv::MemberSet& members) { return kiv::CharSetForm(members); };
  const kiv::TokenVocabularyNames* names = fTokenNames.get();
  return [names](const kiv::MemberSet& members) { return names->SetText(members); };
}

std::string TkivDelphiGenerator::ClassName() const { return kiv::PascalIdentifier(fGrammar->getGrammarName()); }

std::string TkivDelphiGenerator::HiddenName(const std::string& Identifier, bool Label) const {
  for (const std::string_view name : kGeneratedCodeNames)
    if (kiv::SameText(Identifier, std::string(name))) return std::string(name);
  for (const std::string& name : fTokenNames->LineNames())
    if (!name.empty() && kiv::SameText(Identifier, name)) return name;
  // A label hides a rule's method only from the rule it stands in, which matters when that rule
  // calls it, inside a syntactic predicate too (where calls are not counted as uses of the rule).
  if (Label) {
    const IkivRuleSymbolPtr current = fGrammar->getRuleSymbol(fRuleId);
    IkivRuleBlock* block = current ? current->getBlock() : nullptr;
    for (const IkivRuleSymbolPtr& symbol : fGrammar->getRules()) {
      if (!symbol || !symbol->isDefined() || !kiv::SameText(Identifier, symbol->getId())) continue;
      if (block != nullptr && BlockCallsRule(*block, symbol->getId()))
        return "the method of rule \"" + DiagnosticRuleName(symbol->getId()) + "\"";
    }
  }
  return {};
}

std::string TkivDelphiGenerator::DiagnosticRuleName(const std::string& Id) const {
  return fIsLexer ? DecodeLexerRuleName(Id) : Id;
}
