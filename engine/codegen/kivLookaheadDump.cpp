// kivLookaheadDump.cpp - the lookahead listing: a visitor that checks every block the way the code
// generator reaches it and prints the caches and depths the analyzer left behind.
#include "engine/codegen/kivLookaheadDump.h"

#include <utility>
#include <vector>

#include "engine/codegen/kivLLkAnalyzer.h"
#include "engine/graph/kivGrammarMaker.h"
#include "engine/graph/kivGraphArena.h"
#include "engine/kivAnalysis.h"
#include "engine/kivGraph.h"

namespace kiv {

namespace {

std::string DepthText(int Depth) {
  return Depth == NondeterministicDepth ? std::string("nondeterministic") : std::to_string(Depth);
}

// Stands in for the grammar's code generator while the dump runs, so that every element dispatches
// to the operation of its own kind here; blocks are checked, everything else is only walked past.
class LookaheadDumper : public IkivCodeGenerator {
public:
  // Without Listing the dumper only checks and counts.
  LookaheadDumper(IkivGrammar& Grammar, IkivLLkAnalyzer& Analyzer, bool Lexical, bool Listing)
      : fGrammar(Grammar), fAnalyzer(Analyzer), fLexical(Lexical), fListing(Listing) {}

  int NondeterministicCount() const { return fNondeterministic; }

  // The text gathered since the last call.
  std::string TakeText() { return std::exchange(fText, std::string()); }

  std::string SetText(const IkivLookaheadPtr& Set) const {
    if (!Set) return "<empty>";
    IkivTokenManagerPtr Manager = fLexical ? nullptr : fGrammar.getTokenManager();
    std::string Text = Set->ToText(Manager.get());
    return Text.empty() ? std::string("<empty>") : Text;
  }

  void Generate(IkivGrammar&) override {}
  void GenAction(IkivActionElem&) override {}
  void GenBlock(IkivAlternativeBlock& Block) override {
    const bool Deterministic = fAnalyzer.CheckBlock(Block);
    List("block", Block, Deterministic, nullptr);
  }
  void GenBlockEnd(IkivBlockEndElem&) override {}
  void GenCharLiteral(IkivCharLiteralElem&) override {}
  void GenCharRange(IkivCharRangeElem&) override {}
  void GenAtom(IkivGrammarAtom&) override {}
  void GenOneOrMore(IkivOneOrMoreBlock& Block) override {
    const bool Deterministic = fAnalyzer.CheckOneOrMore(Block);
    List("loop+", Block, Deterministic, &Block);
  }
  void GenRuleBlock(IkivRuleBlock& Block) override {
    const bool Deterministic = fAnalyzer.CheckBlock(Block);
    List("rule", Block, Deterministic, nullptr);
  }
  void GenRuleEnd(IkivRuleEndElem&) override {}
  void GenRuleRef(IkivRuleRefElem&) override {}
  void GenStringLiteral(IkivStringLiteralElem&) override {}
  void GenSynPred(IkivSynPredBlock& Block) override {
    const bool Deterministic = fAnalyzer.CheckBlock(Block);
    List("synpred", Block, Deterministic, nullptr);
  }
  void GenTokenRange(IkivTokenRangeElem&) override {}
  void GenTreeElement(IkivAlternativeElem&) override {}
  void GenWildcard(IkivWildcardElem&) override {}
  void GenZeroOrMore(IkivZeroOrMoreBlock& Block) override {
    const bool Deterministic = fAnalyzer.CheckZeroOrMore(Block);
    List("loop*", Block, Deterministic, &Block);
  }

private:
  // Counts a checked block and lists it when listing, then visits its alternatives: the predicate
  // first, then every element (end markers dispatch to nothing).
  void List(const char* Kind, IkivAlternativeBlock& Block, bool Deterministic, IkivBlockWithImpliedExitPath* Loop) {
    if (!Deterministic) ++fNondeterministic;
    if (fListing) ListCaches(Kind, Block, Deterministic, Loop);
    for (IkivAlternative* Alt : Block.GetAlternatives()) {
      if (IkivSynPredBlock* Predicate = Alt->GetSynPred()) Predicate->Generate();
      for (IkivAlternativeElem* Elem = Alt->GetHead(); Elem != nullptr; Elem = Elem->GetNext()) Elem->Generate();
    }
  }

  void ListCaches(const char* Kind, IkivAlternativeBlock& Block, bool Deterministic,
                  IkivBlockWithImpliedExitPath* Loop) {
    const int K = fGrammar.getK();
    fText += "  " + std::string(Kind) + (Block.GetInverted() ? " inverted" : "") + " line " +
             std::to_string(Block.GetLine()) + (Deterministic ? "" : " nondeterministic") + "\n";
    const TkivAlternativeList& Alts = Block.GetAlternatives();
    for (std::size_t I = 0; I < Alts.size(); ++I) {
      fText += "    alt " + std::to_string(I + 1) + " depth " + DepthText(Alts[I]->GetLookaheadDepth()) + "\n";
      for (int D = 1; D <= K; ++D)
        if (IkivLookaheadPtr Set = Alts[I]->GetCache(D))
          fText += "      k=" + std::to_string(D) + " " + SetText(Set) + "\n";
    }
    if (Loop != nullptr) {
      fText += "    exit depth " + DepthText(Loop->GetExitLookaheadDepth()) + "\n";
      for (int D = 1; D <= K; ++D)
        if (IkivLookaheadPtr Set = Loop->GetExitCache(D))
          fText += "      k=" + std::to_string(D) + " " + SetText(Set) + "\n";
    }
  }

  IkivGrammar& fGrammar;
  IkivLLkAnalyzer& fAnalyzer;
  bool fLexical;
  bool fListing;
  int fNondeterministic = 0;
  std::string fText;
};

// Puts the grammar's own code generator back when the dump ends, also when a panic unwinds.
class GeneratorSwap {
public:
  GeneratorSwap(IkivGrammar& Grammar, IkivCodeGenerator* StandIn)
      : fGrammar(Grammar), fSaved(Grammar.getGenerator()) {
    fGrammar.setGenerator(StandIn);
  }
  ~GeneratorSwap() { fGrammar.setGenerator(fSaved); }
  GeneratorSwap(const GeneratorSwap&) = delete;
  GeneratorSwap& operator=(const GeneratorSwap&) = delete;

private:
  IkivGrammar& fGrammar;
  IkivCodeGenerator* fSaved;
};

// Checks the blocks of every defined rule in definition order, calling Done(rule block) after each
// rule, then, in a lexer grammar, builds and checks the token-dispatch rule; answers that rule's
// block (null when there is none).
template <class AfterRule>
IkivRuleBlock* CheckInGeneratorOrder(IkivGrammar& Grammar, bool Lexical, AfterRule Done) {
  const IkivGrammar::RuleList Symbols = Grammar.getRules();
  for (const IkivRuleSymbolPtr& Symbol : Symbols) {
    IkivRuleBlock* Block = Symbol->isDefined() ? Symbol->getBlock() : nullptr;
    if (Block == nullptr) continue;
    Block->Generate();
    Done(*Block);
  }
  if (!Lexical) return nullptr;
  IkivRuleBlock* Dispatch = TkivGrammarMaker::CreateNextTokenRule(Grammar, Symbols, "NextToken");
  if (Dispatch == nullptr || Dispatch->GetAlternatives().empty()) return nullptr;
  Dispatch->Generate();
  return Dispatch;
}

} // namespace

int AnalyzeGrammar(IkivGrammar& Grammar) {
  IkivLLkAnalyzer* Analyzer = Grammar.getAnalyzer();
  if (Analyzer == nullptr) return -1;
  Analyzer->SetGrammar(&Grammar);
  const bool Lexical = Supports<IkivLexerGrammar>(&Grammar) != nullptr;
  LookaheadDumper Checker(Grammar, *Analyzer, Lexical, false);
  GeneratorSwap Swap(Grammar, &Checker);
  CheckInGeneratorOrder(Grammar, Lexical, [](IkivRuleBlock&) {});
  return Checker.NondeterministicCount();
}

std::string DumpLookahead(IkivGrammar& Grammar) {
  IkivLLkAnalyzer* Analyzer = Grammar.getAnalyzer();
  if (Analyzer == nullptr) return {};
  Analyzer->SetGrammar(&Grammar);
  const bool Lexical = Supports<IkivLexerGrammar>(&Grammar) != nullptr;
  LookaheadDumper Dumper(Grammar, *Analyzer, Lexical, true);
  GeneratorSwap Swap(Grammar, &Dumper);

  struct RuleText {
    std::string Name;
    IkivRuleBlock* Block;
    std::string Blocks;
    std::string Follow;
  };
  std::vector<RuleText> Rules;
  IkivRuleBlock* Dispatch = CheckInGeneratorOrder(Grammar, Lexical, [&](IkivRuleBlock& Block) {
    Rules.push_back({Block.GetRuleName(), &Block, Dumper.TakeText(), {}});
  });
  const std::string NextToken = Dispatch != nullptr ? "rule NextToken\n" + Dumper.TakeText() : std::string();

  // FOLLOW of every rule first: computing it may fill FIRST caches of the rules it passes.
  const int K = Grammar.getK();
  for (RuleText& Rule : Rules)
    if (IkivRuleEndElem* End = Rule.Block->GetEndNode())
      for (int D = 1; D <= K; ++D)
        Rule.Follow += "  FOLLOW k=" + std::to_string(D) + " " + Dumper.SetText(Analyzer->Follow(D, *End)) + "\n";
  std::string Out;
  for (const RuleText& Rule : Rules) {
    Out += "rule " + Rule.Name + "\n" + Rule.Blocks;
    for (int D = 1; D <= K; ++D)
      if (IkivLookaheadPtr First = Rule.Block->GetCache(D))
        Out += "  FIRST k=" + std::to_string(D) + " " + Dumper.SetText(First) + "\n";
    Out += Rule.Follow;
  }
  return Out + NextToken;
}

} // namespace kiv
