// kivKivParserTest.cpp - the grammar-file parser's callback sequence for whole grammars and edge cases.
// A recording behavior turns every callback into one line; the sequences are compared whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/frontend/kivKivTokenTypes.h"
#include "tests/engine/frontend/kivFrontendTestSupport.h"

using namespace kiv::kivgrammar;
using kiv::test::TkivFrontendRun;
using Lines = std::vector<std::string>;

namespace {

// The callbacks of a parse that must succeed.
Lines CallsOf(const std::string& Text) {
  TkivFrontendRun run(Text);
  run.Parse();
  return run.Calls();
}

// The calls of one rule inside a parser grammar: everything between the grammar header's calls
// and endGrammarFile.
Lines RuleCalls(const std::string& Rules) {
  Lines calls = CallsOf("unit U;\nparser P;\n" + Rules);
  EXPECT_GE(calls.size(), 3u);
  EXPECT_EQ(calls.back(), "endGrammarFile()");
  return Lines(calls.begin() + 2, calls.end() - 1);
}

} // namespace

TEST(KivParser, FullLexerGrammarGivesEveryCallbackInSourceOrder) {
  const std::string text = R"g(unit CalcLexer;
uses {
  SysUtils; Classes;
}
const {MaxDepth = 10;}
type {TMode = (mA, mB);}
lexer CalcLexer;
options {
  k = 2;
  exportVocab = Calc;
  filter = Skip.Rule;
  testLiterals = false;
  name = "calc";
  esc = '\x41';
  limit = $1F;
}
tokens {
  KW_BEGIN = "begin";
  "end";
  PLUS_OP;
}
memberdecl {procedure Foo;}
WS : ( ' ' | '\t' | '\r' '\n' {newLine;} )+ {_ttype := TT_SKIP;} ;
protected DIGIT : '0'..'9' ;
public NUMBER options { testLiterals = true; } : (DIGIT)+ ( '.' (DIGIT)* )? ;
private ID [AStart: Integer] returns [Result: Integer] local {i: Integer;} {i := 0;}
  : ('a'..'z'! | 'A'..'Z') ( options { greedy = true; } {init;} : LETTER | '_' )* ;
STR : '"' ( ESC | ~'"'! )* '"'! ;
ESC : '\\' ( 'n' | 'x' d1:HEX HEX | ~( 'n' | 'x' ) ) ;
COMMENT : "(*" ( {LA(2) <> ')'}? '*' | ~'*' )* "*)"
        | "//" (~'\n')* '\n' except {Skip;}
        ;
finally {Done;}
LBL : y=d:DIGIT[1] ;
memberdef {procedure TCalcLexer.Foo; begin end;}
)g";
  EXPECT_EQ(CallsOf(text), (Lines{
                               "addUsesUnit(SysUtils)",
                               "addUsesUnit(Classes)",
                               "setConstSection({MaxDepth = 10;})",
                               "setTypeSection({TMode = (mA, mB);})",
                               "startLexerGrammar(t.g, CalcLexer, nil)",
                               "setUnitName(CalcLexer)",
                               "setGrammarOption(k, 2)",
                               "setGrammarOption(exportVocab, Calc)",
                               "setGrammarOption(filter, Skip.Rule)",
                               "setGrammarOption(testLiterals, false)",
                               "setGrammarOption(name, \"calc\")",
                               "setGrammarOption(esc, A)",
                               "setGrammarOption(limit, 31)",
                               "defineTokensEntry(KW_BEGIN, \"begin\")",
                               "defineTokensEntry(nil, \"end\")",
                               "defineTokensEntry(PLUS_OP, nil)",
                               "setMemberDecl({procedure Foo;})",
                               // WS
                               "defineRule(WS, public, true, )",
                               "beginAlternative(true)",
                               "openSubrule(nil, (, 0)",
                               "beginAlternative(true)",
                               "addCharLiteral( , nil, 0, 1, false)",
                               "endAlternative()",
                               "beginAlternative(true)",
                               "addCharLiteral(\t, nil, 0, 1, false)",
                               "endAlternative()",
                               "beginAlternative(true)",
                               "addCharLiteral(\r, nil, 0, 1, false)",
                               "addCharLiteral(\n, nil, 0, 1, false)",
                               "addAction({newLine;})",
                               "endAlternative()",
                               "closeAsOneOrMore()",
                               "closeSubrule()",
                               "addAction({_ttype := TT_SKIP;})",
                               "endAlternative()",
                               "endRule()",
                               // DIGIT
                               "defineRule(DIGIT, protected, true, )",
                               "beginAlternative(true)",
                               "addCharRange(0, 9, nil, 1, false)",
                               "endAlternative()",
                               "endRule()",
                               // NUMBER
                               "defineRule(NUMBER, public, true, )",
                               "setRuleOption(testLiterals, true)",
                               "beginAlternative(true)",
                               "openSubrule(nil, (, 0)",
                               "beginAlternative(true)",
                               "addTokenRef(nil, DIGIT, nil, nil, 0, 1, false)",
                               "endAlternative()",
                               "closeAsOneOrMore()",
                               "closeSubrule()",
                               "openSubrule(nil, (, 0)",
                               "beginAlternative(true)",
                               "addCharLiteral(., nil, 0, 1, false)",
                               "openSubrule(nil, (, 0)",
                               "beginAlternative(true)",
                               "addTokenRef(nil, DIGIT, nil, nil, 0, 1, false)",
                               "endAlternative()",
                               "closeAsZeroOrMore()",
                               "closeSubrule()",
                               "endAlternative()",
                               "closeAsOptional()",
                               "closeSubrule()",
                               "endAlternative()",
                               "endRule()",
                               // ID
                               "defineRule(ID, private, true, )",
                               "setRuleArguments(AStart: Integer)",
                               "setRuleReturns(Result: Integer)",
                               "setRuleLocals({i: Integer;})",
                               "setInitAction({i := 0;})",
                               "beginAlternative(true)",
                               "openSubrule(nil, (, 0)",
                               "beginAlternative(true)",
                               "addCharRange(a, z, nil, 3, false)",
                               "endAlternative()",
                               "beginAlternative(true)",
                               "addCharRange(A, Z, nil, 1, false)",
                               "endAlternative()",
                               "closeSubrule()",
                               "openSubrule(nil, (, 0)",
                               "setSubruleOption(greedy, true)",
                               "setInitAction({init;})",
                               "beginAlternative(true)",
                               "addTokenRef(nil, LETTER, nil, nil, 0, 1, false)",
                               "endAlternative()",
                               "beginAlternative(true)",
                               "addCharLiteral(_, nil, 0, 1, false)",
                               "endAlternative()",
                               "closeAsZeroOrMore()",
                               "closeSubrule()",
                               "endAlternative()",
                               "endRule()",
                               // STR
                               "defineRule(STR, public, true, )",
                               "beginAlternative(true)",
                               "addCharLiteral(\", nil, 0, 1, false)",
                               "openSubrule(nil, (, 0)",
                               "beginAlternative(true)",
                               "addTokenRef(nil, ESC, nil, nil, 0, 1, false)",
                               "endAlternative()",
                               "beginAlternative(true)",
                               "addCharLiteral(\", nil, 1, 3, false)",
                               "endAlternative()",
                               "closeAsZeroOrMore()",
                               "closeSubrule()",
                               "addCharLiteral(\", nil, 0, 3, false)",
                               "endAlternative()",
                               "endRule()",
                               // ESC
                               "defineRule(ESC, public, true, )",
                               "beginAlternative(true)",
                               "addCharLiteral(\\, nil, 0, 1, false)",
                               "openSubrule(nil, (, 0)",
                               "beginAlternative(true)",
                               "addCharLiteral(n, nil, 0, 1, false)",
                               "endAlternative()",
                               "beginAlternative(true)",
                               "addCharLiteral(x, nil, 0, 1, false)",
                               "addTokenRef(nil, HEX, d1, nil, 0, 1, false)",
                               "addTokenRef(nil, HEX, nil, nil, 0, 1, false)",
                               "endAlternative()",
                               "beginAlternative(true)",
                               "openSubrule(nil, (, 1)",
                               "beginAlternative(true)",
                               "addCharLiteral(n, nil, 0, 1, false)",
                               "endAlternative()",
                               "beginAlternative(true)",
                               "addCharLiteral(x, nil, 0, 1, false)",
                               "endAlternative()",
                               "closeSubrule()",
                               "endAlternative()",
                               "closeSubrule()",
                               "endAlternative()",
                               "endRule()",
                               // COMMENT
                               "defineRule(COMMENT, public, true, )",
                               "beginAlternative(true)",
                               "addStringLiteral(\"(*\", nil, 1, false)",
                               "openSubrule(nil, (, 0)",
                               "beginAlternative(true)",
                               "addSemanticPredicate({LA(2) <> ')'})",
                               "addCharLiteral(*, nil, 0, 1, false)",
                               "endAlternative()",
                               "beginAlternative(true)",
                               "addCharLiteral(*, nil, 1, 1, false)",
                               "endAlternative()",
                               "closeAsZeroOrMore()",
                               "closeSubrule()",
                               "addStringLiteral(\"*)\", nil, 1, false)",
                               "endAlternative()",
                               "beginAlternative(true)",
                               "addStringLiteral(\"//\", nil, 1, false)",
                               "openSubrule(nil, (, 0)",
                               "beginAlternative(true)",
                               "addCharLiteral(\n, nil, 1, 1, false)",
                               "endAlternative()",
                               "closeAsZeroOrMore()",
                               "closeSubrule()",
                               "addCharLiteral(\n, nil, 0, 1, false)",
                               "setAltExceptionHandler(except, {Skip;})",
                               "endAlternative()",
                               "setRuleExceptionHandler(finally, {Done;})",
                               "endRule()",
                               // LBL
                               "defineRule(LBL, public, true, )",
                               "beginAlternative(true)",
                               "addTokenRef(y, DIGIT, d, 1, 0, 1, false)",
                               "endAlternative()",
                               "endRule()",
                               "setMemberDef({procedure TCalcLexer.Foo; begin end;})",
                               "endGrammarFile()",
                           }));
}

TEST(KivParser, FullParserGrammarGivesEveryCallbackInSourceOrder) {
  const std::string text = R"g(unit CalcParser;
parser CalcParser;
options {
  k = 2;
  importVocab = Calc;
  superClass = kiv.Base.TParser;
}
memberdecl {FCount: Integer;}
expr [ALevel: Integer] returns [Value: Integer]
  : l=term[ALevel]! ( ( PLUS | MINUS ) r=term[0] { Value := l + r; } )*
  ;
term options { defaultErrorHandler = false; }
  : (INT) => n:INT! [n1]
  | ID .. "end"!
  | "begin"! . !
  | lbl:.
  | ~SEMI!
  | sub:~( PLUS | MINUS )
  | inner:( {init;} : call | )?
  | {FCount > 0}? ID
  | v=ID[tokenArg]
  |
  ;
stmt : a=b:expr[1]!
lost: expr
  ;
call : ID except {Recover;} ;
)g";
  TkivFrontendRun run(text);
  run.Parse();
  EXPECT_EQ(run.Calls(), (Lines{
                             "startParserGrammar(t.g, CalcParser, nil)",
                             "setUnitName(CalcParser)",
                             "setGrammarOption(k, 2)",
                             "setGrammarOption(importVocab, Calc)",
                             "setGrammarOption(superClass, kiv.Base.TParser)",
                             "setMemberDecl({FCount: Integer;})",
                             // expr
                             "defineRule(expr, public, true, )",
                             "setRuleArguments(ALevel: Integer)",
                             "setRuleReturns(Value: Integer)",
                             "beginAlternative(true)",
                             "addRuleRef(l, term, nil, ALevel, 3)",
                             "openSubrule(nil, (, 0)",
                             "beginAlternative(true)",
                             "openSubrule(nil, (, 0)",
                             "beginAlternative(true)",
                             "addTokenRef(nil, PLUS, nil, nil, 0, 1, false)",
                             "endAlternative()",
                             "beginAlternative(true)",
                             "addTokenRef(nil, MINUS, nil, nil, 0, 1, false)",
                             "endAlternative()",
                             "closeSubrule()",
                             "addRuleRef(r, term, nil, 0, 1)",
                             "addAction({ Value := l + r; })",
                             "endAlternative()",
                             "closeAsZeroOrMore()",
                             "closeSubrule()",
                             "endAlternative()",
                             "endRule()",
                             // term
                             "defineRule(term, public, true, )",
                             "setRuleOption(defaultErrorHandler, false)",
                             "beginAlternative(true)",
                             "openSubrule(nil, (, 0)",
                             "beginAlternative(true)",
                             "addTokenRef(nil, INT, nil, nil, 0, 1, false)",
                             "endAlternative()",
                             "closeAsSynPredicate()",
                             "closeSubrule()",
                             "addTokenRef(nil, INT, n, n1, 0, 3, false)",
                             "endAlternative()",
                             "beginAlternative(true)",
                             "addTokenRange(ID, \"end\", nil, 3, false)",
                             "endAlternative()",
                             "beginAlternative(true)",
                             "addStringLiteral(\"begin\", nil, 3, false)",
                             "addWildcard(., nil, 3)",
                             "endAlternative()",
                             "beginAlternative(true)",
                             "addWildcard(., lbl, 1)",
                             "endAlternative()",
                             "beginAlternative(true)",
                             "addTokenRef(nil, SEMI, nil, nil, 1, 3, false)",
                             "endAlternative()",
                             "beginAlternative(true)",
                             "openSubrule(sub, (, 1)",
                             "beginAlternative(true)",
                             "addTokenRef(nil, PLUS, nil, nil, 0, 1, false)",
                             "endAlternative()",
                             "beginAlternative(true)",
                             "addTokenRef(nil, MINUS, nil, nil, 0, 1, false)",
                             "endAlternative()",
                             "closeSubrule()",
                             "endAlternative()",
                             "beginAlternative(true)",
                             "openSubrule(inner, (, 0)",
                             "setInitAction({init;})",
                             "beginAlternative(true)",
                             "addRuleRef(nil, call, nil, nil, 1)",
                             "endAlternative()",
                             "beginAlternative(true)",
                             "endAlternative()",
                             "closeAsOptional()",
                             "closeSubrule()",
                             "endAlternative()",
                             "beginAlternative(true)",
                             "addSemanticPredicate({FCount > 0})",
                             "addTokenRef(nil, ID, nil, nil, 0, 1, false)",
                             "endAlternative()",
                             "beginAlternative(true)",
                             "addTokenRef(v, ID, nil, tokenArg, 0, 1, false)",
                             "endAlternative()",
                             "beginAlternative(true)",
                             "endAlternative()",
                             "endRule()",
                             // stmt: the label in column 1 warns, and parsing goes on with its element
                             "defineRule(stmt, public, true, )",
                             "beginAlternative(true)",
                             "addRuleRef(a, expr, b, 1, 3)",
                             "addRuleRef(nil, expr, lost, nil, 1)",
                             "endAlternative()",
                             "endRule()",
                             // call
                             "defineRule(call, public, true, )",
                             "beginAlternative(true)",
                             "addTokenRef(nil, ID, nil, nil, 0, 1, false)",
                             "setAltExceptionHandler(except, {Recover;})",
                             "endAlternative()",
                             "endRule()",
                             "endGrammarFile()",
                         }));
  EXPECT_EQ(run.Diagnostics.Lines, (Lines{"warning:t.g(25): Did you forget to close the previous rule?"}));
  EXPECT_EQ(run.Tool.GetWarningCount(), 1);
}

TEST(KivParser, OptionValuesArePassedAsTokens) {
  TkivFrontendRun run("unit U;\nparser P;\noptions {\n  a = x.Y\n  .z;\n  b = low;\n  c = \"s\\\"t\";\n"
                      "  d = '\\n';\n  e = $10;\n}\n");
  run.Parse();
  const auto* qualified = run.Behavior->Find("setGrammarOption(a,");
  ASSERT_NE(qualified, nullptr);
  // A qualified id becomes one upper-case id token positioned at its last part.
  const IkivTokenPtr value = qualified->Tokens.at(1);
  EXPECT_EQ(value->TokenType(), TT_UPPER_ID);
  EXPECT_EQ(value->TokenText(), "x.Y.z");
  EXPECT_EQ(value->Line(), 5);
  EXPECT_EQ(value->Column(), 4);
  EXPECT_EQ(qualified->Tokens.at(0)->TokenType(), TT_LOWER_ID);
  EXPECT_EQ(run.Behavior->Find("setGrammarOption(b,")->Tokens.at(1)->TokenType(), TT_UPPER_ID);
  // Strings, characters and integers are handed on as scanned.
  const IkivTokenPtr str = run.Behavior->Find("setGrammarOption(c,")->Tokens.at(1);
  EXPECT_EQ(str->TokenType(), TT_STRING);
  EXPECT_EQ(str->TokenText(), "\"s\"t\"");
  EXPECT_EQ(run.Behavior->Find("setGrammarOption(d,")->Tokens.at(1)->TokenType(), TT_CHAR);
  EXPECT_EQ(run.Behavior->Find("setGrammarOption(d,")->Tokens.at(1)->TokenText(), "\n");
  const IkivTokenPtr number = run.Behavior->Find("setGrammarOption(e,")->Tokens.at(1);
  EXPECT_EQ(number->TokenType(), TT_INT);
  EXPECT_EQ(number->TokenText(), "16");
  EXPECT_EQ(number->Line(), 9);
}

TEST(KivParser, LabelWarningOnlyInColumnOne) {
  TkivFrontendRun run("unit U;\nparser P;\nr : a\n  x:b\nc : d\n\ty:e ;\n");
  run.Parse();
  EXPECT_EQ(run.Diagnostics.Lines, (Lines{"warning:t.g(5): Did you forget to close the previous rule?"}));
  const auto* labeled = run.Behavior->Find("addRuleRef(nil, d, c,");
  ASSERT_NE(labeled, nullptr);
  EXPECT_EQ(labeled->Tokens.at(2)->Line(), 5);
  EXPECT_EQ(labeled->Tokens.at(2)->Column(), 1);
  EXPECT_NE(run.Behavior->Find("addRuleRef(nil, e, y, nil, 1)"), nullptr);
}

TEST(KivParser, BlockKeywordsAfterCommentsOpenTheirBlocks) {
  EXPECT_EQ(RuleCalls("r options // rule options\n (* more *) { k = 1; }\n"
                      "  : ( options /* sub */ { greedy = false; } : a )\n  ;\n"),
            (Lines{"defineRule(r, public, true, )", "setRuleOption(k, 1)", "beginAlternative(true)",
                   "openSubrule(nil, (, 0)", "setSubruleOption(greedy, false)", "beginAlternative(true)",
                   "addRuleRef(nil, a, nil, nil, 1)", "endAlternative()", "closeSubrule()", "endAlternative()",
                   "endRule()"}));
  EXPECT_EQ(CallsOf("unit U; uses // units\n{ A; b; } parser P;"),
            (Lines{"addUsesUnit(A)", "addUsesUnit(b)", "startParserGrammar(t.g, P, nil)", "setUnitName(U)",
                   "endGrammarFile()"}));
}

TEST(KivParser, EmptyAlternativesAndSubruleSuffixes) {
  EXPECT_EQ(RuleCalls("r : ( | a )+ ( b ) ( c )=> ;"), (Lines{"defineRule(r, public, true, )",
                                                              "beginAlternative(true)",
                                                              "openSubrule(nil, (, 0)",
                                                              "beginAlternative(true)",
                                                              "endAlternative()",
                                                              "beginAlternative(true)",
                                                              "addRuleRef(nil, a, nil, nil, 1)",
                                                              "endAlternative()",
                                                              "closeAsOneOrMore()",
                                                              "closeSubrule()",
                                                              "openSubrule(nil, (, 0)",
                                                              "beginAlternative(true)",
                                                              "addRuleRef(nil, b, nil, nil, 1)",
                                                              "endAlternative()",
                                                              "closeSubrule()",
                                                              "openSubrule(nil, (, 0)",
                                                              "beginAlternative(true)",
                                                              "addRuleRef(nil, c, nil, nil, 1)",
                                                              "endAlternative()",
                                                              "closeAsSynPredicate()",
                                                              "closeSubrule()",
                                                              "endAlternative()",
                                                              "endRule()"}));
  EXPECT_EQ(RuleCalls("r : ;"),
            (Lines{"defineRule(r, public, true, )", "beginAlternative(true)", "endAlternative()", "endRule()"}));
}

TEST(KivParser, ArgumentsComeBeforeReturnsAndEitherMayBeAbsent) {
  EXPECT_EQ(RuleCalls("r [a] returns [b] : ;\ns returns [c] : ;\nt [d] {init} : ;"),
            (Lines{"defineRule(r, public, true, )", "setRuleArguments(a)", "setRuleReturns(b)",
                   "beginAlternative(true)", "endAlternative()", "endRule()", "defineRule(s, public, true, )",
                   "setRuleReturns(c)", "beginAlternative(true)", "endAlternative()", "endRule()",
                   "defineRule(t, public, true, )", "setRuleArguments(d)", "setInitAction({init})",
                   "beginAlternative(true)", "endAlternative()", "endRule()"}));
}

TEST(KivParser, PredicatesActionsAndSubruleInitActions) {
  // An action directly followed by "?" is a predicate; an action followed by ":" at the start of a
  // subrule is its init action, anywhere else an action element.
  EXPECT_EQ(RuleCalls("r : {p}? ( {i} : {a} x ) ( {b} ) ;"),
            (Lines{"defineRule(r, public, true, )", "beginAlternative(true)", "addSemanticPredicate({p})",
                   "openSubrule(nil, (, 0)", "setInitAction({i})", "beginAlternative(true)", "addAction({a})",
                   "addRuleRef(nil, x, nil, nil, 1)", "endAlternative()", "closeSubrule()",
                   "openSubrule(nil, (, 0)", "beginAlternative(true)", "addAction({b})", "endAlternative()",
                   "closeSubrule()", "endAlternative()", "endRule()"}));
}

TEST(KivParser, TokenArgumentsPositionsFollowLiteralsWithLineBreaks) {
  // Line breaks inside strings and characters count, so positions after them stay true.
  TkivFrontendRun run("unit U;\nlexer L;\nA : \"x\ny\" '\n' ;\nB : 'b' ;\n");
  run.Parse();
  const auto* rule = run.Behavior->Find("defineRule(B,");
  ASSERT_NE(rule, nullptr);
  EXPECT_EQ(rule->Tokens.at(0)->Line(), 6);
  EXPECT_EQ(rule->Tokens.at(0)->Column(), 1);
}
