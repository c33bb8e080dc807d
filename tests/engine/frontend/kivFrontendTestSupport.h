// kivFrontendTestSupport.h - runs the grammar-file lexer and parser over a text for the tests.
// The tool is real, so warnings come out as the positioned lines the build shows.
#pragma once

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/driver/kivTool.h"
#include "engine/frontend/kivKivLexer.h"
#include "engine/frontend/kivKivParser.h"
#include "tests/engine/frontend/kivRecordingBehavior.h"

namespace kiv::test {

// Collects the tool's lines as "kind:text".
class TkivCollectingHandler : public IkivToolErrorHandler {
public:
  std::vector<std::string> Lines;
  void HandleWarning(const std::string& Text) override { Lines.push_back("warning:" + Text); }
  void HandleError(const std::string& Text) override { Lines.push_back("error:" + Text); }
  void HandleMessage(const std::string& Text) override { Lines.push_back("message:" + Text); }
};

// One parse of Text as the file "t.g". Parse() lets recognition exceptions through; the
// callbacks made before an exception stay recorded.
struct TkivFrontendRun {
  explicit TkivFrontendRun(const std::string& Text)
      : Input(Text), Tool(&Input, "t.g", "", "", &Diagnostics),
        Behavior(std::make_shared<TkivRecordingBehavior>()) {}

  void Parse() {
    auto lexer = kiv::MakeLexer<TkivKivLexer>(Input);
    lexer->InputState->SetFileName("t.g");
    TkivKivParser parser(lexer, Behavior, Tool, "exchange");
    parser.InputState->SetFileName("t.g");
    parser.file();
  }

  std::vector<std::string> Calls() const { return Behavior->Lines(); }

  std::istringstream Input;
  TkivCollectingHandler Diagnostics;
  TkivTool Tool;
  std::shared_ptr<TkivRecordingBehavior> Behavior;
};

} // namespace kiv::test
