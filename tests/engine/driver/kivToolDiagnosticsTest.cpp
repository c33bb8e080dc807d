// kivToolDiagnosticsTest.cpp - the tool's counting and line format, with and without a handler.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "engine/driver/kivTool.h"

namespace {

// Records every call in order as "kind:text".
class RecordingHandler : public IkivToolErrorHandler {
public:
  std::vector<std::string> Lines;
  void HandleWarning(const std::string& Text) override { Lines.push_back("warning:" + Text); }
  void HandleError(const std::string& Text) override { Lines.push_back("error:" + Text); }
  void HandleMessage(const std::string& Text) override { Lines.push_back("message:" + Text); }
};

TEST(ToolDiagnostics, ErrorAndWarningCountThenSendPositionedLineWithoutColumn) {
  RecordingHandler handler;
  TkivTool tool(nullptr, "a.g", "", "", &handler);
  tool.Error("x", "a.g", 12, 77);
  tool.Warning("y", "calc", 3, 5);
  tool.Warning("z", "calc", 0, 0);
  EXPECT_EQ(tool.GetErrorCount(), 1);
  EXPECT_EQ(tool.GetWarningCount(), 2);
  EXPECT_EQ(handler.Lines,
            (std::vector<std::string>{"error:a.g(12): x", "warning:calc(3): y", "warning:calc(0): z"}));
}

TEST(ToolDiagnostics, WithoutHandlerReportsAreCountedAndDropped) {
  TkivTool tool(nullptr, "a.g", "", "", nullptr);
  tool.Warning("w", "a.g", 1, 1);
  tool.Error("e", "a.g", 1, 1);
  tool.Message("m");
  EXPECT_EQ(tool.GetWarningCount(), 1);
  EXPECT_EQ(tool.GetErrorCount(), 1);
  EXPECT_THROW(tool.Panic("p"), EkivPanic);
}

TEST(ToolDiagnostics, MessageAndPanicCountNothing) {
  RecordingHandler handler;
  TkivTool tool(nullptr, "a.g", "", "", &handler);
  tool.Message("plain text");
  try {
    tool.Panic("A grammar already started");
    FAIL() << "Panic must raise EkivPanic";
  } catch (const EkivPanic& e) {
    EXPECT_EQ(e.Message(), "A grammar already started");
    EXPECT_STREQ(e.what(), "A grammar already started");
  }
  EXPECT_EQ(tool.GetErrorCount(), 0);
  EXPECT_EQ(tool.GetWarningCount(), 0);
  EXPECT_EQ(handler.Lines,
            (std::vector<std::string>{"error:plain text", "message:A grammar already started"}));
}

TEST(ToolDiagnostics, RunResetsCountsAndDoesNothingWithoutInputOrName) {
  RecordingHandler handler;
  std::istringstream text("lexer grammar L;");
  TkivTool noName(&text, "", "", "", &handler);
  noName.Error("e", "a.g", 1, 1);
  noName.Run();
  EXPECT_EQ(noName.GetErrorCount(), 0);

  TkivTool noStream(nullptr, "a.g", "", "", &handler);
  noStream.Warning("w", "a.g", 1, 1);
  noStream.Run();
  EXPECT_EQ(noStream.GetWarningCount(), 0);
  EXPECT_EQ(handler.Lines.size(), 2u);  // only the two reports made before Run
}

}  // namespace
