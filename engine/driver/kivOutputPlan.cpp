// kivOutputPlan.cpp - a grammar's output files from its header and options, and the files that
// two grammars of one build would both write.
#include "engine/driver/kivOutputPlan.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>

#include "engine/codegen/kivLLkAnalyzer.h"
#include "engine/codegen/kivPascalText.h"
#include "engine/driver/kivTool.h"
#include "engine/frontend/kivKivLexer.h"
#include "engine/frontend/kivKivParser.h"
#include "engine/graph/kivGrammarMaker.h"

namespace fs = std::filesystem;

namespace kiv {
namespace {

// The key under which two names of one file compare equal: absolute and clean, and on Windows,
// where file names ignore case, in one case.
std::string FileKey(const std::string& Path) {
  std::error_code ec;
  fs::path absolute = fs::absolute(fs::path(Path), ec);
  if (ec) absolute = fs::path(Path);
  std::string key = absolute.lexically_normal().generic_string();
#if defined(_WIN32)
  std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
#endif
  return key;
}

} // namespace

GrammarOutputs PlanOutputs(const std::string& Text, const std::string& Name, const std::string& InputPath,
                           const std::string& OutputDir, const std::string& ExchangeDir) {
  GrammarOutputs outputs{Name, InputPath, {}};
  // The passes report through a tool without a handler: the grammar's own build reports.
  std::istringstream input(Text);
  TkivTool quiet(&input, Name, OutputDir, ExchangeDir, nullptr);
  IkivGrammarPtr grammar;
  try {
    TkivLLkAnalyzer analyzer(quiet);
    auto maker = std::make_shared<TkivGrammarMaker>(quiet, &analyzer, ExchangeDir);
    {
      auto lexer = kiv::MakeLexer<TkivKivLexer>(input);
      TkivKivParser parser(lexer, maker, quiet, ExchangeDir);
      try {
        parser.file();
      } catch (...) {
        // What was read before the error still names the outputs.
      }
    }
    grammar = maker->getGrammar();
    if (!grammar || grammar->getUnitName().empty()) return outputs;
    std::string vocabulary = grammar->getExportVocab();
    if (vocabulary.empty()) vocabulary = grammar->getUnitName();
    outputs.Files = {JoinOutputPath(ExchangeDir, vocabulary + "Tokens.txt"),
                     JoinOutputPath(OutputDir, vocabulary + "Tokens.pas"),
                     JoinOutputPath(OutputDir, grammar->getUnitName() + ".pas")};
  } catch (...) {
    outputs.Files.clear();
  }
  return outputs;
}

std::vector<OutputClash> FindOutputClashes(const std::vector<GrammarOutputs>& Grammars) {
  std::vector<OutputClash> clashes;
  std::map<std::string, std::size_t> inputs;
  for (std::size_t g = 0; g < Grammars.size(); ++g)
    if (!Grammars[g].InputPath.empty()) inputs.emplace(FileKey(Grammars[g].InputPath), g);
  std::map<std::string, std::size_t> writers;
  for (std::size_t g = 0; g < Grammars.size(); ++g) {
    for (const std::string& file : Grammars[g].Files) {
      const std::string key = FileKey(file);
      // The grammar's own file is refused by its build; another grammar's file is a clash.
      if (auto in = inputs.find(key); in != inputs.end() && in->second != g) {
        clashes.push_back(OutputClash{g, in->second, file, true});
        continue;
      }
      auto [writer, fresh] = writers.emplace(key, g);
      if (!fresh && writer->second != g) clashes.push_back(OutputClash{g, writer->second, file, false});
    }
  }
  return clashes;
}

std::string ClashText(const std::vector<GrammarOutputs>& Grammars, const OutputClash& Clash) {
  const std::string& other = Grammars[Clash.Other].Name;
  if (Clash.IsGrammarFile)
    return "Refusing to overwrite \"" + Clash.File + "\": it is the grammar file of \"" + other + "\"";
  return "\"" + Clash.File + "\" is written by grammar \"" + other +
         "\" too; give one of them another unit name or export vocabulary";
}

} // namespace kiv
