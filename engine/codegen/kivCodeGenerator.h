// kivCodeGenerator.h - TkivCodeGenerator: the base of the target-source generator: output files,
// printing with indentation, re-indented embedded code, the vocabulary file and the token-types unit.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "engine/codegen/kivCharFormatter.h"
#include "engine/codegen/kivGeneratedFiles.h"
#include "engine/codegen/kivPascalWriter.h"
#include "engine/kivAnalysis.h"
#include "engine/kivModel.h"

// Note [whole-file output]: a file's text is collected in memory and handed to the run's
// kiv::GeneratedFiles when the file is closed; nothing reaches the disk until the driver commits
// them after a run without errors (see note [all-or-nothing output]).
class TkivCodeGenerator : public IkivCodeGenerator {
public:
  // Generated units go to UnitDirectory, vocabulary files to ExchangeDirectory. A directory may be
  // given with or without its trailing separator; an empty one is the current directory.
  TkivCodeGenerator(std::string UnitDirectory, std::string ExchangeDirectory);

  // The base writes nothing; the derived generator writes the grammar's files.
  void Generate(IkivGrammar& Grammar) override;

  // The lexer rule name encoding: a token rule ID lives in the symbol table and in generated
  // code as mID.
  static std::string EncodeLexerRuleName(const std::string& Name);
  static std::string DecodeLexerRuleName(const std::string& Name);

  // The version text written into every generated file's header.
  static constexpr const char* VersionText = "1.0.1.0d";
  static constexpr const char* TokenTypesSuffix = "Tokens";
  static constexpr const char* TokenTypesExtension = ".txt";
  static constexpr const char* LiteralPrefix = "LT_";
  static constexpr const char* TokenPrefix = "TT_";

  const std::string& UnitDirectory() const { return fUnitDirectory; }
  const std::string& ExchangeDirectory() const { return fExchangeDirectory; }
  // What Generate produced, in writing order: vocabulary file, token-types unit, recognizer unit.
  const kiv::GeneratedFiles& Outputs() const { return fOutputs; }

protected:
  // --- printing (through the current output) ---
  void PrintTabs();
  void PrintRaw(const std::string& Text);
  void PrintLineRaw(const std::string& Text);
  void Print(const std::string& Text);
  void PrintLine(const std::string& Text);
  // Embedded code (an action with its braces) re-indented at the current level; see
  // kiv::ReindentAction.
  void PrintAction(const std::string& Action);
  void Indent() { fOutput.Indent(); }
  void Dedent() { fOutput.Dedent(); }
  int Tabs() const { return fOutput.Level(); }
  void SetTabs(int Level) { fOutput.SetLevel(Level); }

  // --- files ---
  // Starts collecting the text of the named file (see note [whole-file output]).
  void OpenOutput(const std::string& FileName);
  // Hands the collected text of the file opened last to the generated files.
  void CloseOutput();
  // Adds FileName with Text to the generated files.
  void WriteWholeFile(const std::string& FileName, const std::string& Text);

  // The vocabulary exchange file. Without an export vocabulary the grammar's unit name becomes
  // the export vocabulary first; every literal gets its label here.
  void WriteVocabularyFile();
  // The unit that declares the token types under the names generated code uses.
  void WriteTokenTypesUnit();
  // The six comment lines that open every generated unit, and the compiler-mode line after them.
  void WriteFileHeader();

  // The export vocabulary + "Tokens": the token-types unit's name.
  std::string TokenTypesUnitName() const;

  // Diagnostics of the grammar being generated, at a position of its file.
  void ReportError(const std::string& Msg, int Line, int Column) const;
  void ReportWarning(const std::string& Msg, int Line, int Column) const;

  IkivGrammar* fGrammar = nullptr;
  IkivTool* fTool = nullptr;
  IkivLLkAnalyzer* fAnalyzer = nullptr;
  std::unique_ptr<IkivCharFormatter> fCharFormatter;
  std::string fOutputFileName;
  kiv::PascalWriter fOutput;

private:
  // Gives every literal of the vocabulary that has no label the label generated code names it
  // by (see kiv::LiteralLabel).
  void LabelLiterals();

  std::string fUnitDirectory;
  std::string fExchangeDirectory;
  kiv::GeneratedFiles fOutputs;
};
