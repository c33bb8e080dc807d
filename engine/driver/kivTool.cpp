// kivTool.cpp - TkivTool's diagnostic operations: counting, the positioned line, panics.
// The build run and the nondeterminism reports live in kivToolRun.cpp and kivToolReports.cpp.
#include "engine/driver/kivTool.h"

#include <utility>

TkivTool::TkivTool(std::istream* Input, std::string FileName, std::string OutputDir,
                   std::string ExchangeDir, IkivToolErrorHandler* ErrorHandler)
    : fInput(Input),
      fFileName(std::move(FileName)),
      fOutputDir(std::move(OutputDir)),
      fExchangeDir(std::move(ExchangeDir)),
      fErrorHandler(ErrorHandler) {}

TkivTool::~TkivTool() = default;

std::string TkivTool::PositionedLine(const std::string& Msg, const std::string& FileName, int Line) {
  return FileName + "(" + std::to_string(Line) + "): " + Msg;
}

void TkivTool::Notify(kiv::DiagnosticKind Kind, const std::string& FileName, int Line, int Column,
                      const std::string& Text) {
  if (fListener) fListener->OnDiagnostic(kiv::Diagnostic{Kind, FileName, Line, Column, Text});
}

void TkivTool::Message(const std::string& Text) {
  if (fErrorHandler) fErrorHandler->HandleError(Text);
  Notify(kiv::DiagnosticKind::Error, "", 0, 0, Text);
}

void TkivTool::Error(const std::string& Msg, const std::string& FileName, int Line, int Column) {
  ++fErrorCount;
  if (fErrorHandler) fErrorHandler->HandleError(PositionedLine(Msg, FileName, Line));
  Notify(kiv::DiagnosticKind::Error, FileName, Line, Column, Msg);
}

void TkivTool::Warning(const std::string& Msg, const std::string& FileName, int Line, int Column) {
  ++fWarningCount;
  if (fErrorHandler) fErrorHandler->HandleWarning(PositionedLine(Msg, FileName, Line));
  Notify(kiv::DiagnosticKind::Warning, FileName, Line, Column, Msg);
}

void TkivTool::Panic(const std::string& Msg) {
  if (fErrorHandler) fErrorHandler->HandleMessage(Msg);
  Notify(kiv::DiagnosticKind::Error, "", 0, 0, Msg);
  throw EkivPanic(Msg);
}
