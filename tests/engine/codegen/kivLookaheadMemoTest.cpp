// kivLookaheadMemoTest.cpp - the analyzer's lookahead memo changes nothing but speed: every cache,
// depth and diagnostic is the same with the memo on and off, for chosen and for random grammars.
#include <gtest/gtest.h>

#include <random>

#include "engine/codegen/kivLookaheadDump.h"
#include "tests/engine/codegen/kivAnalyzerTestSupport.h"

using namespace kivanalyzertest;

namespace {

// The lookahead listing and every diagnostic line, with the memo on or off.
std::string Analysis(const std::string& Text, bool Memo) {
  Analyzed G(Text);
  if (!G.Grammar) return "<no grammar>";
  G.Analyzer.EnableLookaheadMemo(Memo);
  std::string Out = kiv::DumpLookahead(*G.Grammar);
  for (const std::string& Line : G.TakeLines()) Out += Line + "\n";
  return Out;
}

void ExpectSameWithAndWithoutMemo(const std::string& Text) {
  EXPECT_EQ(Analysis(Text, true), Analysis(Text, false)) << Text;
}

// A small random grammar: rules referring to each other (left recursion and FOLLOW cycles
// included), nested blocks of every suffix, empty alternatives, wildcards, inverted atoms,
// predicates and block options.
class RandomGrammar {
public:
  RandomGrammar(unsigned Seed, bool Lexer) : fRandom(Seed), fLexer(Lexer) {}

  std::string Rules(int Count) {
    std::string Out;
    for (int I = 0; I < Count; ++I) Out += RuleName(I) + " : " + Alternatives(Count, 2) + " ;\n";
    return Out;
  }

private:
  int Pick(int N) { return std::uniform_int_distribution<int>(0, N - 1)(fRandom); }
  std::string RuleName(int I) const { return fLexer ? std::string(1, static_cast<char>('P' + I)) : "r" + std::to_string(I); }

  std::string Atom(int Rules) {
    static const char* const ParserAtoms[] = {"A", "B", "C", "D", "~A", ".", "\"begin\"", "A..C"};
    static const char* const LexerAtoms[] = {"'a'", "'b'", "'c'", "~'a'", ".", "\"ab\"", "'a'..'c'", "\"ba\""};
    if (Pick(4) == 0) return RuleName(Pick(Rules));
    if (Pick(8) == 0) return "{act}";
    return fLexer ? LexerAtoms[Pick(8)] : ParserAtoms[Pick(8)];
  }

  std::string Alternatives(int Rules, int Nesting) {
    std::string Out;
    const int Count = 1 + Pick(3);
    for (int A = 0; A < Count; ++A) {
      if (A > 0) Out += " | ";
      if (Pick(6) == 0 && Nesting > 0) Out += "( " + Atom(Rules) + " )=> ";
      const int Length = Pick(4);
      for (int E = 0; E < Length; ++E) Out += Element(Rules, Nesting) + " ";
    }
    return Out;
  }

  std::string Element(int Rules, int Nesting) {
    if (Nesting == 0 || Pick(3) != 0) return Atom(Rules);
    static const char* const Suffixes[] = {"", "?", "*", "+"};
    static const char* const Options[] = {"", "", "options { greedy = true; } : ", "options { greedy = false; } : ",
                                          "options { warnWhenFollowAmbig = false; } : "};
    return "( " + std::string(Options[Pick(5)]) + Alternatives(Rules, Nesting - 1) + ")" + Suffixes[Pick(4)];
  }

  std::mt19937 fRandom;
  bool fLexer;
};

} // namespace

TEST(LookaheadMemo, ChosenGrammarsAnalyseAlikeWithAndWithoutIt) {
  ExpectSameWithAndWithoutMemo(ParserFile("r : ( ( A | B | C )* ( D | E )? F | ( ID )+ | NUM ( r )? )* \"end\" ;\n", 4));
  ExpectSameWithAndWithoutMemo(ParserFile("s : a E | b A ;\na : B b | C ;\nb : D a | F ;\n", 3));
  ExpectSameWithAndWithoutMemo(ParserFile("e : e A | B ;\nf : g ;\ng : f A | ;\n", 2));
  ExpectSameWithAndWithoutMemo(ParserFile("r : ( ( A )? | . | B )* C ;\ns : ( x | A )+ ;\n", 3));
  ExpectSameWithAndWithoutMemo(LexerFile("ID : ( 'a'..'z' | '_' )+ ;\nSTR : '\"' ( ~'\"' | '\\\\' . )* '\"' ;\n"
                                         "NUM : ( '0'..'9' )+ ( '.' ( '0'..'9' )* )? ;\n",
                                         3));
}

TEST(LookaheadMemo, RandomParserGrammarsAnalyseAlikeWithAndWithoutIt) {
  for (unsigned Seed = 1; Seed <= 80; ++Seed) {
    RandomGrammar Random(Seed, false);
    ExpectSameWithAndWithoutMemo(ParserFile(Random.Rules(4), 1 + static_cast<int>(Seed % 3)));
  }
}

TEST(LookaheadMemo, RandomLexerGrammarsAnalyseAlikeWithAndWithoutIt) {
  for (unsigned Seed = 1; Seed <= 80; ++Seed) {
    RandomGrammar Random(Seed, true);
    ExpectSameWithAndWithoutMemo(LexerFile(Random.Rules(4), 1 + static_cast<int>(Seed % 3)));
  }
}
