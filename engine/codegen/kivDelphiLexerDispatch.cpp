// kivDelphiLexerDispatch.cpp - the lexer's dispatch: NextToken (or, in the optimized form,
// _nextTokenType), the token rules it runs itself instead of calling them, and the literal table.
#include <algorithm>
#include <initializer_list>
#include <string_view>

#include "engine/codegen/kivDelphiGenerator.h"
#include "engine/codegen/kivDelphiGeneratorDetail.h"
#include "engine/codegen/kivDelphiTemplates.h"
#include "engine/codegen/kivLLkAnalyzer.h"
#include "engine/codegen/kivPascalText.h"
#include "engine/graph/kivGrammarMaker.h"
#include "engine/graph/kivGraphArena.h"
#include "engine/model/kivGrammarSymbol.h"
#include "engine/model/kivNames.h"
#include "engine/model/kivTokenManager.h"
#include "runtime/cpp/kivTypes.h"
#include "runtime/cpp/kivUtils.h"

namespace {

using kiv::delphi::kNextTokenRuleId;
using kiv::delphi::MembersOf;
using kiv::delphi::Unit;

std::string JoinLines(const std::vector<std::string>& Lines) {
  std::string text;
  for (std::size_t i = 0; i < Lines.size(); ++i) {
    if (i > 0) text += '\n';
    text += Lines[i];
  }
  return text;
}

// Whether an action is the one statement Words (its words and symbols, a final ";" aside).
bool IsOnlyStatement(const IkivActionElem& Action, std::initializer_list<std::string_view> Words) {
  std::vector<std::string> words = kiv::ActionWords(kiv::ActionBody(Action.GetActionText()));
  if (!words.empty() && words.back() == ";") words.pop_back();
  return !Action.GetIsSemPred() &&
         std::equal(words.begin(), words.end(), Words.begin(), Words.end(),
                    [](const std::string& a, std::string_view b) { return kiv::SameText(a, std::string(b)); });
}

// An alternative without a predicate or handler of its own.
bool UnguardedAlternative(IkivAlternative* Alt) {
  return Alt != nullptr && Alt->GetSemPred().empty() && Alt->GetSynPred() == nullptr && Alt->GetHandlerKind().empty();
}

std::string LowerCase(std::string Text) {
  for (char& c : Text) c = kiv::LowerAscii(c);
  return Text;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Token rules the dispatch runs itself
// ---------------------------------------------------------------------------------------------

bool TkivDelphiGenerator::CopyableRule(IkivRuleSymbol& Symbol) const {
  // The dispatch never runs while the lexer guesses, so a copy need not ask.
  IkivRuleBlock* block = Symbol.getBlock();
  return block != nullptr && Symbol.getAccess() == "public" && block->GetHandlerKind().empty() &&
         block->GetInitAction().empty() && !block->GetTestLiterals() && block->GetLocalDeclarations().empty() &&
         block->GetArgDeclaration().empty() && block->GetReturnDeclaration().empty();
}

IkivOneOrMoreBlock* TkivDelphiGenerator::SkipLoop(IkivRuleSymbol& Symbol) const {
  if (!CopyableRule(Symbol)) return nullptr;
  const TkivAlternativeList& alts = Symbol.getBlock()->GetAlternatives();
  if (alts.size() != 1 || !UnguardedAlternative(alts.front())) return nullptr;
  IkivAlternative& alt = *alts.front();
  auto* loop = kiv::Supports<IkivOneOrMoreBlock>(alt.GetHead());
  if (loop == nullptr || alt.GetHead()->GetAstMode() != kiv::amDefault || !CopyableContent(*loop)) return nullptr;
  auto* action = kiv::Supports<IkivActionElem>(loop->GetNext());
  if (action == nullptr || kiv::Supports<IkivBlockEndElem>(action->GetNext()) == nullptr) return nullptr;
  return IsOnlyStatement(*action, {"_ttype", ":=", "TT_SKIP"}) ? loop : nullptr;
}

bool TkivDelphiGenerator::PlainTokenRule(IkivRuleSymbol& Symbol) const {
  return CopyableRule(Symbol) && !Symbol.getBlock()->GetAlternatives().empty() && CopyableContent(*Symbol.getBlock());
}

bool TkivDelphiGenerator::CopyableContent(IkivAlternativeBlock& Block) {
  // Nothing that reads the rule's locals (labels, predicate flags) or runs the user's code.
  if (!Block.GetInitAction().empty() || !Block.GetLabel().empty()) return false;
  for (IkivAlternative* alt : Block.GetAlternatives()) {
    if (!UnguardedAlternative(alt)) return false;
    for (IkivAlternativeElem* elem = alt->GetHead(); elem != nullptr && kiv::Supports<IkivBlockEndElem>(elem) == nullptr;
         elem = elem->GetNext()) {
      if (!elem->GetLabel().empty() || elem->GetAstMode() != kiv::amDefault) return false;
      if (kiv::Supports<IkivCharLiteralElem>(elem) != nullptr || kiv::Supports<IkivCharRangeElem>(elem) != nullptr)
        continue;
      if (auto* block = kiv::Supports<IkivAlternativeBlock>(elem)) {
        if (!CopyableContent(*block)) return false;
        continue;
      }
      auto* action = kiv::Supports<IkivActionElem>(elem);
      if (action == nullptr ||
          !(IsOnlyStatement(*action, {"newLine"}) || IsOnlyStatement(*action, {"newLine", "(", ")"})))
        return false;
    }
  }
  return true;
}

void TkivDelphiGenerator::CaptureSkipLoop(IkivOneOrMoreBlock& Loop) {
  fSkipLoopToCapture = nullptr;
  const std::size_t start = fOutput.Text().size();
  const int level = fOutput.Level();
  const std::size_t tables = fRuleClassTables.size();
  Loop.Generate();
  KeepRuleCopy(start, level, tables, true);
}

void TkivDelphiGenerator::KeepRuleCopy(std::size_t Start, int Level, std::size_t Tables, bool Skip) {
  // A class table of the rule is a local of the rule, out of the dispatch's reach.
  if (fRuleClassTables.size() != Tables) return;
  RuleCopyText copy{fOutput.Text().substr(Start), Level, {}, Skip};
  if (IkivRuleSymbolPtr rule = fGrammar->getRuleSymbol(fRuleId); rule && rule->getBlock() != nullptr)
    for (IkivAlternativeBlock* loop : rule->getBlock()->GetLoopCounterBlocks())
      if (loop != nullptr) copy.Counters.push_back(LoopCounter(*loop));
  fRuleCopies[fRuleId] = std::move(copy);
}

void TkivDelphiGenerator::GenRuleCopy(IkivRuleSymbol& Symbol) {
  const RuleCopyText& copy = fRuleCopies.at(Symbol.getId());
  const std::string type = "TT_" + DecodeLexerRuleName(Symbol.getId());
  // The result first: the compiler sees it set on every path through the copy.
  PrintLine("result := " + (copy.Skip ? std::string("TT_SKIP") : type) + ";");
  const std::size_t indent = static_cast<std::size_t>(copy.Level) * kiv::PascalWriter::IndentUnit.size();
  std::size_t at = 0;
  while (at < copy.Text.size()) {
    std::size_t end = copy.Text.find("\r\n", at);
    if (end == std::string::npos) end = copy.Text.size();
    const std::string line = copy.Text.substr(at, end - at);
    std::size_t blanks = 0;
    while (blanks < indent && blanks < line.size() && line[blanks] == ' ') ++blanks;
    PrintLine(line.substr(blanks));
    at = end + 2;
  }
  // The round's text starts at 1 (ResetText began it), where the rule's _textStart would be.
  if (!copy.Skip) PrintLine("_finishRule( " + type + ", 1, false);");
}

// ---------------------------------------------------------------------------------------------
// Lexer: NextToken and the literal table
// ---------------------------------------------------------------------------------------------

void TkivDelphiGenerator::GenNextToken() {
  SetTabs(0);
  fSaveText = true;
  fSynPredLevel = 0;
  PrintLine(kiv::CommentBanner('-', 76));
  PrintLine("// NextToken");
  PrintLine(kiv::CommentBanner('-', 76));
  const bool typed = TypedDispatch();
  PrintLine("function " + ClassName() + (typed ? "._nextTokenType : integer;" : ".NextToken : IkivToken;"));

  if (!AnyPublicRule()) {
    for (const std::string& line : kiv::ExpandTemplate(kiv::tmpl::NextTokenWithoutRules)) PrintLine(line);
    return;
  }

  const IkivGrammar::RuleList rules = fGrammar->getRules();
  IkivRuleBlock* block = TkivGrammarMaker::CreateNextTokenRule(*fGrammar, rules, "NextToken");
  auto symbol = std::make_shared<TkivRuleSymbol>(kNextTokenRuleId);
  symbol->setBlock(block);
  symbol->setDefined(true);
  symbol->setAccess("private");
  fGrammar->addRuleSymbol(symbol);
  fAnalyzer->CheckBlock(*block);
  const kiv::MemberSet first = MembersOf(block->Look(1));

  const bool filter = fLexerGrammar->getFilter();
  const std::string filterRule = filter ? fLexerGrammar->getFilterRule() : std::string();
  if (!filter && !fOptimize) {
    PrintLine("var");
    PrintLine(Unit() + "_first   : TkivCharSet;");
    PrintLine("");
  } else if (!filterRule.empty()) {
    PrintLine("var");
    PrintLine(Unit() + "_mark    : integer;");
    PrintLine("");
  } else if (typed) {
    // The counters of the rule copies the dispatch runs.
    std::vector<std::string> counters;
    for (const auto& [rule, copy] : fRuleCopies) counters.insert(counters.end(), copy.Counters.begin(), copy.Counters.end());
    std::sort(counters.begin(), counters.end());
    if (!counters.empty()) {
      PrintLine("var");
      for (const std::string& counter : counters) PrintLine(Unit() + counter + ": integer;");
      PrintLine("");
    }
  }
  // A long case statement on the character is one on its class (see note [optimized form]).
  const std::vector<int> classes = DispatchClasses(*block);
  if (!classes.empty()) {
    kiv::PascalWriter table;
    table.Line("const");
    table.Indent();
    GenClassTable(table, ClassTableName(0), classes);
    table.Dedent();
    table.Line("");
    fOutput.Insert(fOutput.Text().size(), table);
    fClassDispatch = block;
  }
  PrintLine("begin");
  Indent();
  if (!filter && !fOptimize) {
    PrintLine("_first := [" + kiv::CharSetForm(first) + "];");
    PrintLine("");
  }
  PrintLine("while( true) do");
  PrintLine("begin");
  Indent();
  if (!filterRule.empty()) {
    const IkivRuleSymbolPtr rule = fGrammar->getRuleSymbol(EncodeLexerRuleName(filterRule));
    if (!rule || !rule->isDefined())
      ReportError("Filter rule \"" + filterRule + "\" does not exist in this lexer.", 0, 0);
    else if (rule->getAccess() != "protected")
      ReportError("Filter rule \"" + filterRule + "\" must be protected.", 0, 0);
    PrintLine("_mark := mark;");
  }
  PrintLine("ResetText;");
  PrintLine("");
  // Without a filter the handler only raised again (see note [optimized form]).
  const bool guarded = filter || !fOptimize;
  if (guarded) {
    PrintLine("try");
    Indent();
  }

  for (IkivAlternative* alt : block->GetAlternatives()) {
    const IkivLookaheadPtr set = alt != nullptr ? alt->GetCache(1) : nullptr;
    if (set && (set->GetEpsilonDepths().any() || set->ContainsEpsilon())) {
      ReportWarning("Optional path found in NextToken.", 0, 0);
      break;
    }
  }

  fInTypedDispatch = typed;
  const TkivDelphiBlockFinishingInfo info = GenCommonBlock(*block, false);
  std::vector<std::string> otherwise;
  if (!filter && fOptimize)
    otherwise = kiv::ExpandTemplate(kiv::tmpl::OptimizedNextTokenMismatch, {{"First", kiv::CharSetForm(first)}});
  else if (!filter)
    otherwise = kiv::ExpandTemplate(kiv::tmpl::NextTokenMismatch);
  else if (filterRule.empty())
    otherwise = kiv::ExpandTemplate(kiv::tmpl::NextTokenFilterSkip);
  else
    otherwise = kiv::ExpandTemplate(kiv::tmpl::NextTokenFilterRule, {{"Rule", filterRule}});
  GenBlockFinish(info,
                 JoinLines(kiv::ExpandTemplate(typed ? kiv::tmpl::TypedNextTokenEndOfInput : kiv::tmpl::NextTokenEndOfInput,
                                               {{"Otherwise", JoinLines(otherwise)}})),
                 false);
  fInTypedDispatch = false;
  if (!filterRule.empty()) {
    PrintLine("");
    PrintLine("commit;");
  }

  PrintLine("");
  PrintLine(kiv::CommentBanner('-', 62));
  PrintLine("// If we found a SKIP token, then try again...");
  PrintLine(kiv::CommentBanner('-', 62));
  PrintLine(typed ? "if result = TT_SKIP then" : "if result = nil then");
  PrintLine(Unit() + "continue;");
  PrintLine("");
  if (fLexerGrammar->getTestLiterals()) {
    PrintLine(kiv::CommentBanner('-', 62));
    PrintLine("// Literals test");
    PrintLine(kiv::CommentBanner('-', 62));
    PrintLine(typed ? "result := TestLiteral(result);" : "result.TokenType := TestLiteral(result.TokenType);");
    PrintLine("");
  }
  PrintLine(kiv::CommentBanner('-', 62));
  PrintLine("// Now we have a valid token, so exit the function");
  PrintLine(kiv::CommentBanner('-', 62));
  PrintLine("break;");
  if (guarded) {
    PrintLine("");
    Dedent();
    PrintLine("except");
    Indent();
    std::vector<std::string> recovery;
    if (!filter)
      recovery = {"Raise;"};
    else if (filterRule.empty())
      recovery = kiv::ExpandTemplate(kiv::tmpl::NextTokenRecoverByConsuming);
    else
      recovery = kiv::ExpandTemplate(kiv::tmpl::NextTokenRecoverWithFilterRule, {{"Rule", filterRule}});
    for (const std::string& line : recovery) PrintLine(line);
    Dedent();
    PrintLine("end;");
  }
  Dedent();
  PrintLine("end;");
  Dedent();
  PrintLine("end;");
  PrintLine("");
}

bool TkivDelphiGenerator::AnyPublicRule() const {
  const IkivGrammar::RuleList rules = fGrammar->getRules();
  return std::any_of(rules.begin(), rules.end(), [](const IkivRuleSymbolPtr& symbol) {
    return symbol && symbol->getId() != kNextTokenRuleId && symbol->getAccess() == "public";
  });
}

bool TkivDelphiGenerator::TypedDispatch() const {
  return fIsLexer && fOptimize && !fLexerGrammar->getFilter() && AnyPublicRule();
}

bool TkivDelphiGenerator::LiteralsNeeded() const {
  if (!fIsLexer) return false;
  if (!fLexerGrammar->getCaseSensitive()) return true;
  for (const std::string& line : fGrammar->getTokenManager()->getVocabulary()) {
    const std::string name = kiv::VocabularyLineName(line);
    if (!name.empty() && name[0] == '"') return true;
  }
  return false;
}

void TkivDelphiGenerator::GenLiteralsInitializer() {
  SetTabs(0);
  PrintLine(kiv::CommentBanner('-', 76));
  PrintLine("// InitLiterals");
  PrintLine(kiv::CommentBanner('-', 76));
  PrintLine("procedure " + ClassName() + ".initialize;");
  PrintLine("begin");
  Indent();
  const bool caseSensitive = fLexerGrammar->getCaseSensitive();
  if (!caseSensitive) {
    PrintLine("fCaseSensitive          := false;");
    PrintLine("fLiterals.CaseSensitive := false;");
    PrintLine("");
  }
  struct Literal {
    std::string Text;
    int Type;
  };
  std::vector<Literal> literals;
  std::size_t width = 0;
  for (const std::string& line : fGrammar->getTokenManager()->getVocabulary()) {
    const std::string name = kiv::VocabularyLineName(line);
    if (name.size() < 2 || name[0] != '"') continue;
    std::string text = name.substr(1, name.size() - 2);
    if (!caseSensitive) text = LowerCase(text);
    width = std::max(width, text.size());
    literals.push_back({text, kiv::VocabularyLineType(line)});
  }
  width += 1;
  for (const Literal& literal : literals)
    PrintLine("fLiterals.Add(" + kiv::PascalStringLiteral(literal.Text) + "," + std::string(width - literal.Text.size(), ' ') +
              " " + std::to_string(literal.Type) + ");");
  Dedent();
  PrintLine("end;");
  PrintLine("");
}
