// kivToolRun.cpp - TkivTool::Run: one grammar file through every pass, in a fixed order.
// Reads as the pipeline: create the passes, parse (which defines symbols and builds the graph),
// stop on errors, then analyse and generate. No exception leaves Run.
#include "engine/driver/kivTool.h"

#include <memory>
#include <ostream>

#include "engine/codegen/kivDelphiGenerator.h"
#include "engine/codegen/kivLLkAnalyzer.h"
#include "engine/codegen/kivLookaheadDump.h"
#include "engine/driver/kivRecognitionReport.h"
#include "engine/frontend/kivKivLexer.h"
#include "engine/frontend/kivKivParser.h"
#include "engine/graph/kivGraphDump.h"
#include "engine/graph/kivGrammarMaker.h"
#include "runtime/cpp/kivExceptionMismatchedChar.h"
#include "runtime/cpp/kivExceptionMismatchedToken.h"

namespace {

// Everything one run creates. Declared in creation order, so members are released in reverse:
// the parser (which holds the lexer) before the maker, the maker before the analyzer it uses.
struct RunPasses {
  std::unique_ptr<TkivLLkAnalyzer> analyzer;
  std::shared_ptr<TkivGrammarMaker> maker;
  std::unique_ptr<TkivDelphiGenerator> generator;
  std::unique_ptr<TkivKivParser> parser;
};

}  // namespace

void TkivTool::Run() {
  fWarningCount = 0;
  fErrorCount = 0;
  fWrittenFiles.clear();
  if (fInput == nullptr || fFileName.empty()) return;

  // Creation: the passes and the grammar-file reader over the input.
  RunPasses passes;
  try {
    passes.analyzer = std::make_unique<TkivLLkAnalyzer>(*this);
    passes.maker = std::make_shared<TkivGrammarMaker>(*this, passes.analyzer.get(), fExchangeDir);
    passes.generator = std::make_unique<TkivDelphiGenerator>(fOutputDir, fExchangeDir);
    auto lexer = kiv::MakeLexer<TkivKivLexer>(*fInput);
    passes.parser = std::make_unique<TkivKivParser>(lexer, passes.maker, *this, fExchangeDir);
    lexer->InputState->SetFileName(fFileName);
    passes.parser->InputState->SetFileName(fFileName);
  } catch (...) {
    Fail("Internal error");
    return;
  }

  // Parse: the maker defines symbols and builds the element graph as the parser reports each
  // construct. The first recognition error ends the parse.
  try {
    passes.parser->file();
  } catch (const EkivMismatchedChar& e) {
    Error(kiv::LexicalErrorText(e), kiv::LastPathComponent(e.FileName()), e.Line(), e.Column());
    return;
  } catch (const EkivMismatchedToken& e) {
    Error(kiv::SyntaxErrorText(e), kiv::LastPathComponent(e.FileName()), e.Line(), e.Column());
    return;
  } catch (...) {
    Fail("Error: Unexpected exception...");
    return;
  }

  // Errors stop the build before anything is written.
  if (fErrorCount != 0) return;
  fGrammar = passes.maker->getGrammar();
  if (!fGrammar) {
    Fail("Internal error");
    return;
  }

  // Generation: the generator asks the analyzer to check every block as it reaches it. A dump
  // replaces generation and writes no file.
  try {
    switch (fOutputKind) {
      case OutputKind::Generate:
        if (fOptimize) fGrammar->setOptimize(true);
        passes.generator->Generate(*fGrammar);
        break;
      case OutputKind::DumpGraph:
        if (fDumpOut) *fDumpOut << kiv::DumpGrammar(*fGrammar, kiv::DumpIdKind::RelativeToRule);
        break;
      case OutputKind::DumpLookahead:
        if (fDumpOut) *fDumpOut << kiv::DumpLookahead(*fGrammar);
        break;
    }
  } catch (...) {
    Fail("Unexpected exception in generator");
    return;
  }

  // Nothing reaches the disk unless the whole run succeeded (see note [all-or-nothing output]).
  if (fOutputKind == OutputKind::Generate && fErrorCount == 0 &&
      passes.generator->Outputs().Commit(*this, fGrammar->getFileName(), fInputPath))
    for (const kiv::GeneratedFile& file : passes.generator->Outputs().Files()) fWrittenFiles.push_back(file.Path);
}

// A run that stops without its outputs is a failed run: the line is sent as it always was, and
// counted, so that no front end can report such a run as a success.
void TkivTool::Fail(const std::string& Text) {
  ++fErrorCount;
  Message(Text);
}
