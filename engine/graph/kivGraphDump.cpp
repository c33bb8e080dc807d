// kivGraphDump.cpp - writes rules, blocks, alternatives and elements in the dump format.
#include "engine/graph/kivGraphDump.h"

#include <sstream>

#include "engine/graph/kivGraphArena.h"

namespace kiv {

namespace {

class GraphDumper {
public:
  GraphDumper(IkivRuleBlock& Rule, DumpIdKind Ids) : fBase(Ids == DumpIdKind::RelativeToRule ? Rule.GetID() : 0) {}

  std::string Text() const { return fOut.str(); }

  void WriteRule(IkivRuleBlock& Rule) {
    fOut << "rule " << Rule.GetRuleName() << " " << Id(Rule);
    Attribute("args", Bracketed(Rule.GetArgDeclaration()));
    Attribute("returns", Bracketed(Rule.GetReturnDeclaration()));
    Attribute("locals", Rule.GetLocalDeclarations());
    Attribute("init", Rule.GetInitAction());
    Attribute("ignore", Rule.GetIgnoreRule());
    if (!Rule.GetHandlerKind().empty()) Attribute(Rule.GetHandlerKind(), Rule.GetHandlerText());
    if (Rule.GetDefaultErrorHandler()) fOut << " defaultErrorHandler";
    if (Rule.GetTestLiterals()) fOut << " testLiterals";
    if (!Rule.GetGenerateAmbigWarnings()) fOut << " generateAmbigWarnings=false";
    if (!Rule.GetAstEnabled()) fOut << " noast";
    if (Rule.GetHasSynPred()) fOut << " hassynpred";
    std::string Labels;
    for (IkivAlternativeElem* E : Rule.GetLabeledElements()) Labels += (Labels.empty() ? "" : ",") + E->GetLabel();
    Attribute("labels", Labels);
    Attribute("loops", BlockNumbers(Rule.GetLoopCounterBlocks()));
    Attribute("synpreds", BlockNumbers(Rule.GetSynPredBlocks()));
    fOut << "\n";
    WriteAlternatives(Rule, 1);
  }

private:
  static std::string Bracketed(const std::string& Text) { return Text.empty() ? Text : "[" + Text + "]"; }

  std::string Id(const IkivAlternativeBlock& Block) const { return "#" + std::to_string(Block.GetID() - fBase); }

  std::string BlockNumbers(const TkivBlockList& Blocks) const {
    std::string Text;
    for (IkivAlternativeBlock* B : Blocks) Text += (Text.empty() ? "" : ",") + Id(*B);
    return Text;
  }

  void Attribute(const std::string& Name, const std::string& Value) {
    if (!Value.empty()) fOut << " " << Name << "=" << Value;
  }

  void Indent(int Depth) { fOut << std::string(static_cast<std::size_t>(Depth) * 2, ' '); }

  void WriteAlternatives(IkivAlternativeBlock& Block, int Depth) {
    int Number = 0;
    for (IkivAlternative* Alt : Block.GetAlternatives()) {
      Indent(Depth);
      fOut << "alt " << ++Number;
      Attribute("sempred", Alt->GetSemPred());
      if (!Alt->GetHandlerKind().empty()) Attribute(Alt->GetHandlerKind(), Alt->GetHandlerText());
      if (!Alt->GetAstEnabled()) fOut << " noast";
      if (Alt->GetSynPred() != nullptr) {
        fOut << " synpred\n";
        WriteBlock(*Alt->GetSynPred(), Depth + 1);
      } else {
        fOut << "\n";
      }
      for (IkivAlternativeElem* E = Alt->GetHead(); E != nullptr; E = E->GetNext()) WriteElement(*E, Depth + 1);
    }
  }

  void WriteBlock(IkivAlternativeBlock& Block, int Depth) {
    Indent(Depth);
    fOut << "(" << (Block.GetInverted() ? "~" : "") << " " << Id(Block);
    Attribute("label", Block.GetLabel());
    Attribute("init", Block.GetInitAction());
    if (!Block.GetGreedy()) fOut << " greedy=false";
    if (Block.GetGreedyGiven()) fOut << " greedygiven";
    if (!Block.GetWarnWhenFollowAmbig()) fOut << " warnWhenFollowAmbig=false";
    if (!Block.GetGenerateAmbigWarnings()) fOut << " generateAmbigWarnings=false";
    if (!Block.GetAstEnabled()) fOut << " noast";
    if (Block.GetHasSynPred()) fOut << " hassynpred";
    if (Block.GetHasAction()) fOut << " hasaction";
    fOut << "\n";
    WriteAlternatives(Block, Depth + 1);
    Indent(Depth);
    fOut << ")" << Block.ToText() << "\n";
  }

  // The text form without its leading blank; end markers name their block.
  void WriteElement(IkivAlternativeElem& E, int Depth) {
    if (IkivAlternativeBlock* Nested = Supports<IkivAlternativeBlock>(&E)) {
      WriteBlock(*Nested, Depth);
      return;
    }
    Indent(Depth);
    if (IkivRuleEndElem* RuleEnd = Supports<IkivRuleEndElem>(&E)) {
      IkivAlternativeBlock* Owner = RuleEnd->GetBlock();
      IkivRuleBlock* Rule = Supports<IkivRuleBlock>(Owner);
      fOut << "[RuleEnd " << (Rule != nullptr ? Rule->GetRuleName() : std::string("?")) << "]\n";
      return;
    }
    if (IkivBlockEndElem* End = Supports<IkivBlockEndElem>(&E)) {
      fOut << "[BlkEnd " << (End->GetBlock() != nullptr ? Id(*End->GetBlock()) : "?") << "]\n";
      return;
    }
    if (IkivRuleRefElem* Ref = Supports<IkivRuleRefElem>(&E)) {
      if (!Ref->GetAssignedVariable().empty()) fOut << Ref->GetAssignedVariable() << "=";
      if (!Ref->GetLabel().empty()) fOut << Ref->GetLabel() << ":";
      fOut << Ref->GetTargetRule() << Bracketed(Ref->GetArguments());
    } else {
      std::string Text = E.ToText();
      if (!Text.empty() && Text[0] == ' ') Text.erase(0, 1);
      fOut << Text;
    }
    if (IkivGrammarAtom* Atom = Supports<IkivGrammarAtom>(&E)) {
      fOut << " <" << Atom->GetType() << ">";
      Attribute("AST", Atom->GetAstNodeType());
    }
    if (E.GetAstMode() == kiv::amSuppress) fOut << " !";
    if (E.GetAstMode() == kiv::amRoot) fOut << " ^";
    fOut << "\n";
  }

  int fBase;
  std::ostringstream fOut;
};

} // namespace

std::string DumpRule(IkivRuleBlock& Rule, DumpIdKind Ids) {
  GraphDumper Dumper(Rule, Ids);
  Dumper.WriteRule(Rule);
  return Dumper.Text();
}

std::string DumpGrammar(IkivGrammar& Grammar, DumpIdKind Ids) {
  std::string Text;
  for (const IkivRuleSymbolPtr& Symbol : Grammar.getRules()) {
    if (!Symbol || Symbol->getBlock() == nullptr) continue;
    if (!Text.empty()) Text += "\n";
    Text += DumpRule(*Symbol->getBlock(), Ids);
  }
  return Text;
}

} // namespace kiv
