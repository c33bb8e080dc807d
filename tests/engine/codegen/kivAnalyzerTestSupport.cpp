// kivAnalyzerTestSupport.cpp - grammars for the analyzer tests, read through the real front end.
#include "tests/engine/codegen/kivAnalyzerTestSupport.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "engine/frontend/kivKivLexer.h"
#include "engine/frontend/kivKivParser.h"
#include "engine/graph/kivGraphArena.h"
#include "runtime/cpp/kivException.h"
#include "runtime/cpp/kivExceptionMismatchedToken.h"

namespace kivanalyzertest {

namespace {

// The directory holding "VTokens.txt", the vocabulary parser files import.
std::string VocabularyDirectory() {
  static const std::string Directory = [] {
    std::filesystem::path Dir =
        std::filesystem::temp_directory_path() / ("kiv-analyzer-tests-" + std::to_string(::getpid()));
    std::filesystem::create_directories(Dir);
    std::ofstream Out(Dir / "VTokens.txt", std::ios::binary);
    Out << "// $Kiv Parser Generator: v.g -> VTokens.txt$\r\nV\r\n";
    int Type = 4;
    for (const char* Name : {"A", "B", "C", "D", "E", "F", "ID", "NUM"}) Out << "TT_" << Name << "=" << Type++ << "\r\n";
    Out << "LT_begin=\"begin\"=" << Type++ << "\r\n";
    Out << "LT_end=\"end\"=" << Type++ << "\r\n";
    return Dir.string() + "/";
  }();
  return Directory;
}

} // namespace

Analyzed::Analyzed(const std::string& Text)
    : Maker(std::make_shared<TkivGrammarMaker>(Tool, &Analyzer, VocabularyDirectory())) {
  std::istringstream In(Text);
  auto Lexer = kiv::MakeLexer<TkivKivLexer>(In);
  Lexer->InputState->SetFileName("t.g");
  TkivKivParser Parser(Lexer, Maker, Tool, "");
  Parser.InputState->SetFileName("t.g");
  try {
    Parser.file();
  } catch (const EkivMismatchedToken& E) {
    ADD_FAILURE() << "token " << E.TokenText() << " type " << E.TokenType() << " at " << E.Line();
  } catch (const EkivException& E) {
    ADD_FAILURE() << "grammar text rejected at line " << E.Line() << ":" << E.Column() << " kind " << static_cast<int>(E.Kind());
  }
  Grammar = Maker->getGrammar();
  if (!Grammar) {
    ADD_FAILURE() << "no grammar was built";
    return;
  }
  EXPECT_EQ(Handler.Lines, std::vector<std::string>{}) << "diagnostics while reading the grammar";
  Handler.Lines.clear();
  Analyzer.SetGrammar(Grammar.get());
}

IkivRuleBlock& Analyzed::Rule(const std::string& Id) const {
  IkivRuleSymbolPtr Symbol = Grammar ? Grammar->getRuleSymbol(Id) : nullptr;
  IkivRuleBlock* Block = Symbol ? Symbol->getBlock() : nullptr;
  if (Block == nullptr) throw std::runtime_error("no rule " + Id);
  return *Block;
}

IkivAlternativeBlock& Analyzed::Subrule(const std::string& Id, int Alt, int Position) const {
  IkivAlternative* Alternative = Rule(Id).GetAlternative(Alt);
  if (Alternative == nullptr) throw std::runtime_error("no alternative");
  IkivAlternativeElem* Elem = Alternative->GetHead();
  for (int I = 0; I < Position && Elem != nullptr; ++I) Elem = Elem->GetNext();
  IkivAlternativeBlock* Block = kiv::Supports<IkivAlternativeBlock>(Elem);
  if (Block == nullptr) throw std::runtime_error("no block at that position");
  return *Block;
}

std::vector<std::string> Analyzed::TakeLines() { return std::exchange(Handler.Lines, {}); }

std::string Analyzed::SetText(const IkivLookaheadPtr& Set) const {
  if (!Set) return "<none>";
  const bool Lexical = kiv::Supports<IkivLexerGrammar>(Grammar.get()) != nullptr;
  IkivTokenManagerPtr Manager = Lexical ? nullptr : Grammar->getTokenManager();
  return Set->ToText(Manager.get());
}

std::string Analyzed::AltSet(IkivAlternativeBlock& Block, int Alt, int K) const {
  IkivAlternative* Alternative = Block.GetAlternative(Alt);
  return Alternative != nullptr ? SetText(Alternative->GetCache(K)) : "<no alternative>";
}

std::string Analyzed::First(const std::string& Id, int K) {
  return SetText(Analyzer.RuleFirst(K, Id));
}

std::string Analyzed::Follow(const std::string& Id, int K) {
  return SetText(Analyzer.Follow(K, *Rule(Id).GetEndNode()));
}

std::string LexerFile(const std::string& Rules, int K) {
  return "unit U;\nlexer L;\noptions { k = " + std::to_string(K) + "; }\n" + Rules;
}

std::string ParserFile(const std::string& Rules, int K) {
  return "unit U;\nparser P;\noptions { importVocab = V; k = " + std::to_string(K) + "; }\n" + Rules;
}

} // namespace kivanalyzertest
