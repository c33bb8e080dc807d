// kivRecognitionReportTest.cpp - the texts the build run writes for lexical and syntax errors.
#include <gtest/gtest.h>

#include <memory>

#include "engine/driver/kivRecognitionReport.h"
#include "runtime/cpp/kivExceptionMismatchedChar.h"
#include "runtime/cpp/kivExceptionMismatchedToken.h"
#include "runtime/cpp/kivToken.h"

namespace {

TEST(RecognitionReport, LexicalTextsByKind) {
  EXPECT_EQ(kiv::LexicalErrorText(EkivMismatchedChar('x', 'y', "a.g", 1, 1)), "Unexpected token: 'x'");
  // A negated single character still reads as an unexpected token.
  EXPECT_EQ(kiv::LexicalErrorText(EkivMismatchedChar('\t', 'q', "a.g", 1, 1, true)), "Unexpected token: #9");

  TkivCharSet digits = kiv::CharRange('0', '9');
  EXPECT_EQ(kiv::LexicalErrorText(EkivMismatchedChar('x', digits, "a.g", 7, 3)),
            "Expecting ['0'..'9'] but found 'x'");
  EXPECT_EQ(kiv::LexicalErrorText(EkivMismatchedChar('\'', digits, "a.g", 7, 3, true)),
            "Not expecting ['0'..'9'] and found ''''");
  EXPECT_EQ(kiv::LexicalErrorText(EkivMismatchedChar(std::string("beX"), std::string("begin"), "a.g", 1, 1)),
            "Unexpected string token: beX");
}

TEST(RecognitionReport, SyntaxTextNamesTheFoundToken) {
  auto token = std::make_shared<TkivToken>(29, ";");
  EXPECT_EQ(kiv::SyntaxErrorText(EkivMismatchedToken(token, 46, "a.g")), "Unexpected token: ;");
}

TEST(RecognitionReport, FileNameIsReducedToItsLastComponent) {
  EXPECT_EQ(kiv::LastPathComponent("dir/sub/calc"), "calc");
  EXPECT_EQ(kiv::LastPathComponent("C:\\work\\calc.g"), "calc.g");
  EXPECT_EQ(kiv::LastPathComponent("D:calc"), "calc");
  EXPECT_EQ(kiv::LastPathComponent("calc"), "calc");
}

}  // namespace
