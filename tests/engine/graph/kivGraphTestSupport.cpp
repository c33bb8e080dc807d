// kivGraphTestSupport.cpp - recording tool and visitors, and grammars for the element graph tests.
#include "tests/engine/graph/kivGraphTestSupport.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/codegen/kivLookahead.h"
#include "engine/frontend/kivKivLexer.h"
#include "engine/frontend/kivKivParser.h"
#include "engine/graph/kivGraphDump.h"
#include "engine/graph/kivSubruleInversion.h"
#include "engine/model/kivGrammar.h"
#include "engine/model/kivGrammarSymbol.h"
#include "runtime/cpp/kivException.h"
#include "runtime/cpp/kivToken.h"

namespace kivgraphtest {

IkivTokenPtr Tok(int Type, const std::string& Text, int Line, int Column) {
  auto Token = std::make_shared<TkivToken>(Type, Text);
  Token->SetLine(Line);
  Token->SetColumn(Column);
  return Token;
}

void RecordingTool::Error(const std::string& Msg, const std::string& FileName, int Line, int Column) {
  ++Errors;
  Lines.push_back("error " + FileName + " " + std::to_string(Line) + ":" + std::to_string(Column) + " " + Msg);
}

void RecordingTool::Warning(const std::string& Msg, const std::string& FileName, int Line, int Column) {
  Lines.push_back("warning " + FileName + " " + std::to_string(Line) + ":" + std::to_string(Column) + " " + Msg);
}

void RecordingTool::Panic(const std::string& Msg) {
  Lines.push_back("panic " + Msg);
  throw EkivPanic(Msg);
}

IkivLookaheadPtr RecordingAnalyzer::Record(const char* Name) {
  Calls.push_back(Name);
  return std::make_shared<TkivLookahead>();
}

bool RecordingAnalyzer::CanInvertSubrule(IkivAlternativeBlock& Block, bool ForLexer) {
  Calls.push_back(ForLexer ? "CanInvertSubrule lexer" : "CanInvertSubrule parser");
  return kiv::CanInvertSubrule(Block, ForLexer);
}

DirectGrammar::DirectGrammar(bool Lexer, int K) {
  IkivTokenPtr Name = Tok(TT_UPPER_ID, Lexer ? "L" : "P");
  if (Lexer)
    Grammar = std::make_shared<TkivLexerGrammar>(Name, Tool, nullptr);
  else
    Grammar = std::make_shared<TkivParserGrammar>(Name, Tool, nullptr);
  Grammar->setFileName("t.g");
  Grammar->setAnalyzer(&Analyzer);
  Grammar->setGenerator(&Generator);
  if (K != 1) Grammar->setOption(Tok(TT_LOWER_ID, "k"), Tok(kiv::kivgrammar::TT_INT, std::to_string(K)));
  IkivTokenManagerPtr Manager = Grammar->getTokenManager();
  for (const char* Token : {"A", "B", "C"}) {
    auto Symbol = std::make_shared<TkivTokenSymbol>(Token);
    Symbol->setTokenType(Manager->nextTokenType());
    Manager->define(Symbol);
  }
  auto Begin = std::make_shared<TkivStringSymbol>("\"begin\"");
  Begin->setTokenType(Manager->nextTokenType());
  Manager->define(Begin);
}

// The vocabulary that parser files import: tokens A to F, ID and NUM, and two literals.
std::string VocabularyDirectory() {
  static const std::string Directory = [] {
    std::filesystem::path Dir =
        std::filesystem::temp_directory_path() / ("kiv-graph-tests-" + std::to_string(::getpid()));
    std::filesystem::create_directories(Dir);
    std::ofstream Out(Dir / "VTokens.txt", std::ios::binary);
    Out << "// $Kiv Parser Generator: v.g -> VTokens.txt$\r\nV\r\n";
    int Type = 4;
    for (const char* Name : {"A", "B", "C", "D", "E", "F", "ID", "NUM"})
      Out << "TT_" << Name << "=" << Type++ << "\r\n";
    Out << "LT_begin=\"begin\"=" << Type++ << "\r\n";
    Out << "LT_end=\"end\"=" << Type++ << "\r\n";
    return Dir.string() + "/";
  }();
  return Directory;
}

ParsedGrammar::ParsedGrammar(const std::string& Text)
    : Maker(std::make_shared<TkivGrammarMaker>(Tool, &Analyzer, VocabularyDirectory())) {
  std::istringstream In(Text);
  auto Lexer = kiv::MakeLexer<TkivKivLexer>(In);
  Lexer->InputState->SetFileName("t.g");
  TkivKivParser Parser(Lexer, Maker, Tool, "");
  Parser.InputState->SetFileName("t.g");
  try {
    Parser.file();
  } catch (const EkivPanic&) {
    // Already recorded by the tool.
  } catch (const EkivException& E) {
    Tool.Lines.push_back("syntax error at line " + std::to_string(E.Line()));
  }
  Grammar = Maker->getGrammar();
}

IkivRuleBlock* ParsedGrammar::Rule(const std::string& Id) const {
  if (!Grammar) return nullptr;
  IkivRuleSymbolPtr Symbol = Grammar->getRuleSymbol(Id);
  return Symbol ? Symbol->getBlock() : nullptr;
}

std::string ParsedGrammar::Dump(const std::string& Id) const {
  IkivRuleBlock* Block = Rule(Id);
  return Block != nullptr ? kiv::DumpRule(*Block, kiv::DumpIdKind::RelativeToRule) : std::string();
}

std::string LexerFile(const std::string& Rest) { return "unit U;\nlexer L;\n" + Rest; }
std::string ParserFile(const std::string& Rest) {
  return "unit U;\nparser P;\noptions { importVocab = V; }\n" + Rest;
}

} // namespace kivgraphtest
