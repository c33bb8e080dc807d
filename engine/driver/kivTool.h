// kivTool.h - TkivTool: counts and formats every diagnostic of one build and runs the passes.
// The tool is the only place that counts errors and writes the positioned line "name(line): text".
#pragma once

#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

#include "engine/driver/kivDiagnostic.h"
#include "engine/kivLibTypes.h"

class TkivTool : public IkivTool {
public:
  // Input is borrowed and may be null (Run then does nothing); the handler is borrowed and may be
  // null (reports are then counted and dropped).
  TkivTool(std::istream* Input, std::string FileName, std::string OutputDir, std::string ExchangeDir,
           IkivToolErrorHandler* ErrorHandler);
  ~TkivTool() override;

  int GetWarningCount() const override { return fWarningCount; }
  int GetErrorCount() const override { return fErrorCount; }
  void Run() override;
  void Message(const std::string& Text) override;
  void Error(const std::string& Msg, const std::string& FileName, int Line, int Column) override;
  void Warning(const std::string& Msg, const std::string& FileName, int Line, int Column) override;
  [[noreturn]] void Panic(const std::string& Msg) override;
  void AltsNondeterminism(const IkivGrammar& Grammar, IkivAlternativeBlock& Block, bool Lexical, int Depth,
                          const TkivLookaheadList& Lookaheads, int AltA, int AltB) override;
  void ExitBranchNondeterminism(const IkivGrammar& Grammar, IkivAlternativeBlock& Block, bool Lexical,
                                int Depth, const TkivLookaheadList& Lookaheads, int Alt) override;

  // What a run produces after a clean parse: the generated files (the default), or instead a text
  // dump of the element graph or of the analyzer's lookahead decisions, written to DumpOut.
  enum class OutputKind { Generate, DumpGraph, DumpLookahead };
  void SetOutput(OutputKind Kind, std::ostream* DumpOut) {
    fOutputKind = Kind;
    fDumpOut = DumpOut;
  }

  // Told every diagnostic as its parts as well (borrowed; may be null).
  void SetDiagnosticListener(kiv::DiagnosticListener* Listener) { fListener = Listener; }
  // Told the decision of each nondeterminism report about the grammar of this run (borrowed; may
  // be null).
  void SetNondeterminismListener(kiv::NondeterminismListener* Listener) { fReportListener = Listener; }

  // Writes every grammar of the run in the optimized form, whatever its "optimize" option says.
  void SetOptimize(bool Optimize) { fOptimize = Optimize; }

  // The files the run wrote, in writing order (empty unless it succeeded).
  const std::vector<std::string>& WrittenFiles() const { return fWrittenFiles; }

  // The grammar file being built, when it is a file: a build never writes onto it.
  void SetInputPath(std::string Path) { fInputPath = std::move(Path); }

  // The grammar kept after a clean parse (null before that); its vocabulary names token sets.
  const IkivGrammarPtr& Grammar() const { return fGrammar; }

  // The positioned diagnostic line: FileName "(" Line "): " Msg. The column is never printed.
  static std::string PositionedLine(const std::string& Msg, const std::string& FileName, int Line);

private:
  void Fail(const std::string& Text);
  void SendReport(const std::string& FileName, int Line, int Column, const std::string& Headline,
                  const std::string& Text, const std::vector<std::string>& LookaheadLines);
  // Hands a reported decision to the nondeterminism listener when it is about this run's grammar.
  void TellDecision(const IkivGrammar& Grammar, IkivAlternativeBlock& Block, int AltA, int AltB);
  void Notify(kiv::DiagnosticKind Kind, const std::string& FileName, int Line, int Column, const std::string& Text);

  std::istream* fInput;
  std::string fFileName;
  std::string fOutputDir;
  std::string fExchangeDir;
  IkivToolErrorHandler* fErrorHandler;
  int fWarningCount = 0;
  int fErrorCount = 0;
  IkivGrammarPtr fGrammar;
  OutputKind fOutputKind = OutputKind::Generate;
  std::ostream* fDumpOut = nullptr;
  std::string fInputPath;
  kiv::DiagnosticListener* fListener = nullptr;
  kiv::NondeterminismListener* fReportListener = nullptr;
  bool fOptimize = false;
  std::vector<std::string> fWrittenFiles;
};
