// kivLookaheadDumpTest.cpp - golden listings of what the analyzer decides for whole grammars.
#include <gtest/gtest.h>

#include "engine/codegen/kivLookaheadDump.h"
#include "tests/engine/codegen/kivAnalyzerTestSupport.h"

using namespace kivanalyzertest;

TEST(LookaheadDump, ParserGrammar) {
  Analyzed G(ParserFile("s : e ;\n"
                        "e : t ( ( A | B ) t )* ;\n"
                        "t : ID | NUM | C e D | ID E ;\n",
                        2));
  EXPECT_EQ(kiv::DumpLookahead(*G.Grammar), R"(rule s
  rule line 4
    alt 1 depth 1
      k=1 TT_C,TT_ID..TT_NUM
  FOLLOW k=1 TT_EOF
  FOLLOW k=2 TT_EOF
rule e
  rule line 5
    alt 1 depth 1
      k=1 TT_C,TT_ID..TT_NUM
  loop* line 5
    alt 1 depth 1
      k=1 TT_A..TT_B
    exit depth 1
      k=1 TT_EOF,TT_D
  block line 5
    alt 1 depth 1
      k=1 TT_A
    alt 2 depth 1
      k=1 TT_B
  FIRST k=1 TT_C,TT_ID..TT_NUM
  FOLLOW k=1 TT_EOF,TT_D
  FOLLOW k=2 TT_EOF,TT_A..TT_B,TT_D
rule t
  rule line 6
    alt 1 depth 2
      k=1 TT_ID
      k=2 TT_EOF,TT_A..TT_B,TT_D
    alt 2 depth 1
      k=1 TT_NUM
    alt 3 depth 1
      k=1 TT_C
    alt 4 depth 2
      k=1 TT_ID
      k=2 TT_E
  FIRST k=1 TT_C,TT_ID..TT_NUM
  FOLLOW k=1 TT_EOF,TT_A..TT_B,TT_D
  FOLLOW k=2 TT_EOF,TT_A..TT_D,TT_ID..TT_NUM
)");
  EXPECT_EQ(G.TakeLines(), std::vector<std::string>{});
}

// Identifiers and the keyword "if" cannot be told apart within two characters: the dispatch rule
// reports the two lexer rules. A protected rule is not dispatched to.
TEST(LookaheadDump, LexerGrammarWithTokenDispatch) {
  Analyzed G(LexerFile("ID : ( 'a'..'z' )+ ;\n"
                       "IF : \"if\" ;\n"
                       "protected DIGIT : '0'..'9' ;\n"
                       "NUM : ( DIGIT )+ ( '.' )? ;\n",
                       2));
  EXPECT_EQ(kiv::DumpLookahead(*G.Grammar), R"(rule ID
  rule line 4
    alt 1 depth 1
      k=1 'a'..'z'
  loop+ line 4
    alt 1 depth 1
      k=1 'a'..'z'
    exit depth 1
      k=1 + <epsilon>; depths=1
  FIRST k=1 'a'..'z'
  FIRST k=2 'a'..'z'+ <epsilon>; depths=1
  FOLLOW k=1 + <epsilon>; depths=1
  FOLLOW k=2 + <epsilon>; depths=2
rule IF
  rule line 5
    alt 1 depth 1
      k=1 'i'
  FIRST k=1 'i'
  FIRST k=2 'f'
  FOLLOW k=1 + <epsilon>; depths=1
  FOLLOW k=2 + <epsilon>; depths=2
rule DIGIT
  rule line 6
    alt 1 depth 1
      k=1 '0'..'9'
  FIRST k=1 '0'..'9'
  FIRST k=2 + <epsilon>; depths=1
  FOLLOW k=1 '.','0'..'9'+ <epsilon>; depths=1
  FOLLOW k=2 '.','0'..'9'+ <epsilon>; depths=1,2
rule NUM
  rule line 7
    alt 1 depth 1
      k=1 '0'..'9'
  loop+ line 7
    alt 1 depth 1
      k=1 '0'..'9'
    exit depth 1
      k=1 '.'+ <epsilon>; depths=1
  block line 7
    alt 1 depth 1
      k=1 '.'
    alt 2 depth 1
      k=1 + <epsilon>; depths=1
  FIRST k=1 '0'..'9'
  FOLLOW k=1 + <epsilon>; depths=1
  FOLLOW k=2 + <epsilon>; depths=2
rule NextToken
  rule line 0 nondeterministic
    alt 1 depth nondeterministic
      k=1 'a'..'z'
      k=2 'a'..'z'+ <epsilon>; depths=1
    alt 2 depth nondeterministic
      k=1 'i'
      k=2 'f'
    alt 3 depth 1
      k=1 '0'..'9'
)");
  EXPECT_EQ(G.TakeLines(), (std::vector<std::string>{"W:", "W:t.g(1): Lexical nondeterminism between rules \"ID\" and \"IF\"",
                                                     "W:         k=1 'i'", "W:         k=2 'f'"}));
}

TEST(LookaheadDump, PredicatesInvertedBlocksAndTheGrammarsOwnGeneratorIsKept) {
  Analyzed G(ParserFile("r : ( A B )=> A B | ~( A | B ) ;\n", 2));
  IkivCodeGenerator* Before = G.Grammar->getGenerator();
  EXPECT_EQ(kiv::DumpLookahead(*G.Grammar), R"(rule r
  rule line 4
    alt 1 depth 1
      k=1 TT_A
    alt 2 depth 1
      k=1 TT_C..LT_end
  synpred line 4
    alt 1 depth 1
      k=1 TT_A
  block inverted line 4
    alt 1 depth 1
      k=1 TT_A
    alt 2 depth 1
      k=1 TT_B
  FOLLOW k=1 TT_EOF
  FOLLOW k=2 TT_EOF
)");
  EXPECT_EQ(G.Grammar->getGenerator(), Before);
}
