// kivDiagnosticPrinter.cpp - the three console forms of a diagnostic.
#include "cli/kivDiagnosticPrinter.h"

#include <algorithm>

namespace kiv {

bool ParseDiagnosticFormat(const std::string& Text, DiagnosticFormat& Format) {
  if (Text == "kiv") Format = DiagnosticFormat::Kiv;
  else if (Text == "fpc") Format = DiagnosticFormat::Fpc;
  else if (Text == "gnu") Format = DiagnosticFormat::Gnu;
  else return false;
  return true;
}

DiagnosticPrinter::DiagnosticPrinter(std::ostream& Out, DiagnosticFormat Format, std::string Name, std::string Path,
                                     bool Quiet, bool WarningsAreErrors)
    : fOut(Out), fFormat(Format), fName(std::move(Name)), fPath(std::move(Path)), fQuiet(Quiet),
      fWarningsAreErrors(WarningsAreErrors) {}

void DiagnosticPrinter::Line(const std::string& Text) { fOut << Text << '\n' << std::flush; }

// KIV's own form: the handler's lines as they are. Warning lines include the empty line and the
// lookahead lines of nondeterminism reports.
void DiagnosticPrinter::HandleWarning(const std::string& Text) {
  if (fFormat == DiagnosticFormat::Kiv && ShowsWarnings()) Line(Text);
}

void DiagnosticPrinter::HandleError(const std::string& Text) {
  if (fFormat == DiagnosticFormat::Kiv) Line(Text);
}

void DiagnosticPrinter::HandleMessage(const std::string& Text) {
  if (fFormat == DiagnosticFormat::Kiv) Line(Text);
}

void DiagnosticPrinter::ReportLines(const std::vector<std::string>& Lines) {
  if (!ShowsWarnings()) return;
  for (const std::string& L : Lines) Line(L);
}

void DiagnosticPrinter::OnDiagnostic(const Diagnostic& D) {
  if (D.Kind == DiagnosticKind::Warning) ++fWarningsSeen;
  if (D.Kind != DiagnosticKind::Continuation) fInWarning = D.Kind == DiagnosticKind::Warning;
  if (fFormat == DiagnosticFormat::Kiv) return;
  if (fInWarning && !ShowsWarnings()) return;
  if (D.Kind == DiagnosticKind::Continuation) {
    Line(D.Text);
    return;
  }
  const bool error = D.Kind == DiagnosticKind::Error;
  // Diagnostics of this grammar name its file as the user gave it.
  const std::string file = D.FileName.empty() ? std::string() : (D.FileName == fName ? fPath : D.FileName);
  const int line = std::max(D.Line, 1);
  const int column = std::max(D.Column, 1);
  if (fFormat == DiagnosticFormat::Fpc) {
    const std::string severity = error ? "Error: " : "Warning: ";
    Line(file.empty() ? severity + D.Text
                      : file + "(" + std::to_string(line) + "," + std::to_string(column) + ") " + severity + D.Text);
  } else {
    const std::string severity = error ? "error: " : "warning: ";
    Line(file.empty() ? (fPath.empty() ? "kiv" : fPath) + ": " + severity + D.Text
                      : file + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + severity + D.Text);
  }
}

} // namespace kiv
