// kivToolReports.cpp - TkivTool's nondeterminism reports: a headline and one line per lookahead depth.
// The lines go to the warning handler without counting: a conflict never stops a build.
#include "engine/driver/kivTool.h"

#include <cstdio>
#include <span>

#include "engine/graph/kivGraphArena.h"
#include "engine/kivGraph.h"
#include "engine/kivLookaheadIntf.h"
#include "engine/kivModel.h"
#include "runtime/cpp/kivUtils.h"

namespace {

// The rule a block belongs to, as the grammar was written.
std::string BlockRuleName(IkivAlternativeBlock& Block) {
  std::string Name = Block.GetEnclosingRuleName();
  if (Name.empty())
    if (IkivRuleBlock* Rule = kiv::Supports<IkivRuleBlock>(&Block)) Name = Rule->GetRuleName();
  return Name;
}

// The rule reference that starts an alternative, or null.
IkivRuleRefElem* LeadingRuleRef(IkivAlternativeBlock& Block, int Index) {
  IkivAlternative* Alt = Block.GetAlternative(Index);
  return Alt != nullptr ? kiv::Supports<IkivRuleRefElem>(Alt->GetHead()) : nullptr;
}

// One line per depth 1..Depth: the depth and the set seen there, "<EPS>" when it has no members.
// A depth the list holds no set for prints as empty.
std::vector<std::string> LookaheadLines(bool Lexical, int Depth, const TkivLookaheadList& Lookaheads,
                                        std::span<const std::string> Vocabulary) {
  std::vector<std::string> Lines;
  for (int K = 1; K <= Depth; ++K) {
    char Prefix[32];
    std::snprintf(Prefix, sizeof Prefix, "         k=%d ", K);
    const std::size_t Slot = static_cast<std::size_t>(K - 1);
    const IkivLookahead* Set = Slot < Lookaheads.size() ? Lookaheads[Slot].get() : nullptr;
    std::string Text;
    if (Set == nullptr || Set->GetMembers().none())
      Text = "<EPS>";
    else if (Lexical)
      Text = CharSetText(Set->GetMembers());
    else
      Text = TokenSetText(Set->GetMembers(), Vocabulary);
    Lines.push_back(Prefix + Text);
  }
  return Lines;
}

// Token sets are named through the vocabulary of the grammar the run keeps; before a run has kept
// one, every type prints in its numbered form.
std::span<const std::string> VocabularyOf(const IkivGrammarPtr& Grammar) {
  IkivTokenManagerPtr Manager = Grammar ? Grammar->getTokenManager() : nullptr;
  if (!Manager) return {};
  return Manager->getVocabulary();
}

} // namespace

void TkivTool::AltsNondeterminism(const IkivGrammar& Grammar, IkivAlternativeBlock& Block, bool Lexical, int Depth,
                                  const TkivLookaheadList& Lookaheads, int AltA, int AltB) {
  if (fErrorHandler == nullptr && fListener == nullptr) return;
  IkivRuleRefElem* RefA = LeadingRuleRef(Block, AltA);
  IkivRuleRefElem* RefB = LeadingRuleRef(Block, AltB);
  // Two token rules of the lexer's dispatch rule are reported at line 1.
  int Line = 1, Column = 0;
  std::string Text;
  if (kiv::Supports<IkivRuleBlock>(&Block) != nullptr && RefA != nullptr && RefB != nullptr && Lexical &&
      Block.GetAstEnabled()) {
    Text = "Lexical nondeterminism between rules \"" + DecodeLexerRuleName(RefA->GetTargetRule()) + "\" and \"" +
           DecodeLexerRuleName(RefB->GetTargetRule()) + "\"";
  } else {
    Line = Block.GetLine();
    Column = Block.GetColumn();
    Text = std::string(Lexical ? "lexical " : "") + "nondeterminism between alts " + std::to_string(AltA + 1) +
           " and " + std::to_string(AltB + 1) + " of block in rule \"" + BlockRuleName(Block) + "\"";
  }
  SendReport(Grammar.getFileName(), Line, Column, Grammar.getFileName() + "(" + std::to_string(Line) + "): " + Text,
             Text, LookaheadLines(Lexical, Depth, Lookaheads, VocabularyOf(fGrammar)));
  TellDecision(Grammar, Block, AltA, AltB);
}

void TkivTool::ExitBranchNondeterminism(const IkivGrammar& Grammar, IkivAlternativeBlock& Block, bool Lexical,
                                        int Depth, const TkivLookaheadList& Lookaheads, int Alt) {
  if (fErrorHandler == nullptr && fListener == nullptr) return;
  // The alternative is printed as the analyzer numbers it (from 0) and the rule name unquoted.
  const std::string Text = std::string(Lexical ? "lexical" : "") + " nondeterminism between alt " +
                           std::to_string(Alt) + " and exit branch of block in rule " + BlockRuleName(Block) + ".";
  const std::string Head = Grammar.getFileName() + "(" + std::to_string(Block.GetLine()) + "):" + Text;
  std::string Plain = Text;
  while (!Plain.empty() && Plain.front() == ' ') Plain.erase(0, 1);
  SendReport(Grammar.getFileName(), Block.GetLine(), Block.GetColumn(), Head, Plain,
             LookaheadLines(Lexical, Depth, Lookaheads, VocabularyOf(fGrammar)));
  TellDecision(Grammar, Block, Alt, -1);
}

void TkivTool::TellDecision(const IkivGrammar& Grammar, IkivAlternativeBlock& Block, int AltA, int AltB) {
  if (fReportListener != nullptr && fGrammar.get() == &Grammar)
    fReportListener->OnNondeterminism(*fGrammar, Block, AltA, AltB);
}

// A report goes to the handler as an empty line, the headline and the lookahead lines, none of
// them counted; the listener hears the headline as a warning with its parts.
void TkivTool::SendReport(const std::string& FileName, int Line, int Column, const std::string& Headline,
                          const std::string& Text, const std::vector<std::string>& LookaheadLines) {
  if (fErrorHandler) {
    fErrorHandler->HandleWarning("");
    fErrorHandler->HandleWarning(Headline);
    for (const std::string& L : LookaheadLines) fErrorHandler->HandleWarning(L);
  }
  Notify(kiv::DiagnosticKind::Warning, FileName, Line, Column, Text);
  for (const std::string& L : LookaheadLines) Notify(kiv::DiagnosticKind::Continuation, FileName, Line, Column, L);
}
