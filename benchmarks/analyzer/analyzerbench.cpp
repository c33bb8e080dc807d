// analyzerbench.cpp - times the LL(k) analysis of generated parser grammars of N rules for k = 1..6,
// so that the growth of analysis time with N and k can be seen.
//
// Usage: analyzerbench [--loops] [N ...]   (default N = 250 500 1000 2000 4000)
//        analyzerbench --write DIR [--loops] [N ...]
// --write only writes the grammars, as DIR/bench_N_kK.g for k = 1..6, with their vocabulary
// DIR/BenchTokens.txt, so that whole "kiv build" runs can be timed on them.
// Every grammar goes through the real front end and grammar maker; only the analysis (every block
// checked in the order the code generator reaches them) is timed, best of three runs. --loops
// measures grammars made of nested loops whose alternatives each return to the loop after one
// token, the worst case of linear approximate lookahead.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "engine/codegen/kivLLkAnalyzer.h"
#include "engine/codegen/kivLookaheadDump.h"
#include "engine/driver/kivTool.h"
#include "engine/frontend/kivKivLexer.h"
#include "engine/frontend/kivKivParser.h"
#include "engine/graph/kivGrammarMaker.h"
#include "runtime/cpp/kivException.h"

namespace {

constexpr int TokenCount = 40;
// Rules form groups: references stay inside a group, except the recursion back to the group's first
// rule behind a token, as in expression grammars. A group's first rule is referenced by no other
// group, so each group is a start rule of its own.
constexpr int GroupSize = 20;

// The vocabulary the generated grammars import: T0 .. T39.
std::string VocabularyDirectory(std::filesystem::path Dir = {}) {
  if (Dir.empty()) Dir = std::filesystem::temp_directory_path() / ("kiv-analyzerbench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(Dir);
  std::ofstream Out(Dir / "BenchTokens.txt", std::ios::binary);
  Out << "// $Kiv Parser Generator: bench.g -> BenchTokens.txt$\r\nBench\r\n";
  for (int T = 0; T < TokenCount; ++T) Out << "TT_T" << T << "=" << (T + 4) << "\r\n";
  return Dir.string() + "/";
}

std::string Token(unsigned Value) { return "T" + std::to_string(Value % TokenCount); }

std::string RuleName(int Index) { return "r" + std::to_string(Index); }

// A reference to rule Index when it lies in the same group as From, else a token.
std::string RefOrToken(int From, int Index, int N, unsigned Salt) {
  if (Index < N && Index / GroupSize == From / GroupSize) return RuleName(Index);
  return Token(Salt);
}

// N rules of four shapes: operator chains with a loop, optional parts, a (...)+ loop whose
// alternatives share their first token, nested choices, and bracketed recursion to the group start.
std::string GrammarText(int N, int K, bool Loops) {
  std::ostringstream Out;
  Out << "unit Bench;\nparser P;\noptions { importVocab = Bench; k = " << K << "; }\n";
  for (int I = 0; I < N && Loops; ++I) {
    const unsigned S = static_cast<unsigned>(I) * 7919u;
    Out << RuleName(I) << " : ( ( " << Token(S) << " | " << Token(S + 1) << " | " << Token(S + 2) << " )* ( "
        << Token(S + 3) << " | " << Token(S + 4) << " )? " << Token(S + 5) << " | ( " << Token(S + 6) << " )+ | "
        << Token(S + 7) << " ( " << RefOrToken(I, I + 1, N, S + 8) << " )? )* " << Token(S + 9) << " ;\n";
  }
  for (int I = 0; I < N && !Loops; ++I) {
    const unsigned S = static_cast<unsigned>(I) * 7919u;
    const int Start = I / GroupSize * GroupSize;
    const std::string Next = RefOrToken(I, I + 1, N, S + 1);
    const std::string Skip = RefOrToken(I, I + 2, N, S + 2);
    Out << RuleName(I) << " : ";
    switch (I % 4) {
    case 0:
      Out << Next << " ( ( " << Token(S + 3) << " | " << Token(S + 4) << " ) " << Next << " )*";
      break;
    case 1:
      Out << Token(S + 5) << " " << Next << " " << Token(S + 6) << " | " << Token(S + 7) << " ( " << Skip
          << " )? | " << Token(S + 8) << " " << RuleName(Start) << " " << Token(S + 9);
      break;
    case 2:
      Out << "( " << Token(S + 10) << " " << Token(S + 11) << " | " << Token(S + 10) << " " << Token(S + 12)
          << " )+ " << Next << " | " << Token(S + 13);
      break;
    default:
      Out << Token(S + 14) << " ( " << Token(S + 15) << " | " << Next << " ) " << Token(S + 16) << " | " << Skip
          << " " << Token(S + 17);
      break;
    }
    Out << " ;\n";
  }
  return Out.str();
}

struct Parsed {
  std::unique_ptr<TkivTool> Tool;
  std::unique_ptr<TkivLLkAnalyzer> Analyzer;
  std::shared_ptr<TkivGrammarMaker> Maker;
  IkivGrammarPtr Grammar;
};

Parsed Parse(const std::string& Text, const std::string& VocabDir) {
  Parsed P;
  P.Tool = std::make_unique<TkivTool>(nullptr, "bench.g", "", "", nullptr);
  P.Analyzer = std::make_unique<TkivLLkAnalyzer>(*P.Tool);
  P.Maker = std::make_shared<TkivGrammarMaker>(*P.Tool, P.Analyzer.get(), VocabDir);
  std::istringstream In(Text);
  auto Lexer = kiv::MakeLexer<TkivKivLexer>(In);
  Lexer->InputState->SetFileName("bench.g");
  TkivKivParser Parser(Lexer, P.Maker, *P.Tool, "");
  Parser.InputState->SetFileName("bench.g");
  Parser.file();
  P.Grammar = P.Maker->getGrammar();
  return P;
}

double Milliseconds(std::chrono::steady_clock::duration D) {
  return std::chrono::duration<double, std::milli>(D).count();
}

} // namespace

int main(int argc, char** argv) {
  std::vector<int> Sizes;
  bool Loops = false;
  std::string WriteDir;
  for (int I = 1; I < argc; ++I) {
    if (std::string(argv[I]) == "--loops")
      Loops = true;
    else if (std::string(argv[I]) == "--write" && I + 1 < argc)
      WriteDir = argv[++I];
    else
      Sizes.push_back(std::atoi(argv[I]));
  }
  if (Sizes.empty()) Sizes = {250, 500, 1000, 2000, 4000};
  if (!WriteDir.empty()) {
    VocabularyDirectory(WriteDir);
    for (int K = 1; K <= 6; ++K)
      for (int N : Sizes) {
        std::ofstream Out(std::filesystem::path(WriteDir) / ("bench_" + std::to_string(N) + "_k" + std::to_string(K) + ".g"),
                          std::ios::binary);
        Out << GrammarText(N, K, Loops);
      }
    return 0;
  }
  const std::string VocabDir = VocabularyDirectory();

  std::printf("%6s %2s %10s %12s %12s %10s\n", "N", "k", "conflicts", "parse ms", "analysis ms", "us/rule");
  for (int K = 1; K <= 6; ++K) {
    for (int N : Sizes) {
      const std::string Text = GrammarText(N, K, Loops);
      double Best = 1e300;
      double ParseMs = 0;
      int Conflicts = 0;
      for (int Run = 0; Run < 3; ++Run) {
        try {
          const auto T0 = std::chrono::steady_clock::now();
          Parsed P = Parse(Text, VocabDir);
          const auto T1 = std::chrono::steady_clock::now();
          if (!P.Grammar || P.Tool->GetErrorCount() != 0) {
            std::fprintf(stderr, "N=%d k=%d: the generated grammar has errors\n", N, K);
            return 1;
          }
          Conflicts = kiv::AnalyzeGrammar(*P.Grammar);
          const auto T2 = std::chrono::steady_clock::now();
          ParseMs = Milliseconds(T1 - T0);
          Best = std::min(Best, Milliseconds(T2 - T1));
        } catch (const EkivException& E) {
          std::fprintf(stderr, "N=%d k=%d: the generated grammar does not parse (line %d)\n", N, K, E.Line());
          return 1;
        }
      }
      std::printf("%6d %2d %10d %12.2f %12.2f %10.2f\n", N, K, Conflicts, ParseMs, Best, Best * 1000.0 / N);
    }
  }
  return 0;
}
