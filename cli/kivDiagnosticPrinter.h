// kivDiagnosticPrinter.h - prints the diagnostics of one build on the console in the form the user
// chose: KIV's own lines, Free Pascal's or GNU's (so that Lazarus, Emacs, Vim and VS Code can jump
// to the place and tell warnings from errors).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "engine/driver/kivDiagnostic.h"
#include "engine/kivLibTypes.h"

namespace kiv {

enum class DiagnosticFormat {
  Kiv,  // name(line): text, exactly the lines the workbench's message list receives
  Fpc,  // path(line,column) Error: text / Warning: text
  Gnu,  // path:line:column: error: text / warning: text
};

// Parses "kiv", "fpc" or "gnu"; false for anything else.
bool ParseDiagnosticFormat(const std::string& Text, DiagnosticFormat& Format);

// Is the error handler and the diagnostic listener of one tool run. Every line is flushed as it is
// produced, so a pipe, an IDE or a CI log shows progress and a crash loses nothing.
class DiagnosticPrinter : public IkivToolErrorHandler, public DiagnosticListener {
public:
  // Name is the tool's name of the grammar, Path the grammar's path as the user gave it (or as the
  // project names it). With Quiet, warnings are left out unless they count as errors.
  DiagnosticPrinter(std::ostream& Out, DiagnosticFormat Format, std::string Name, std::string Path, bool Quiet,
                    bool WarningsAreErrors);

  void HandleWarning(const std::string& Text) override;
  void HandleError(const std::string& Text) override;
  void HandleMessage(const std::string& Text) override;
  void OnDiagnostic(const Diagnostic& D) override;

  // Lines that belong to the last report (its explanation), printed as they stand where its
  // warnings are shown.
  void ReportLines(const std::vector<std::string>& Lines);

  // Warnings and nondeterminism reports seen (the tool's warning count leaves the reports out).
  int WarningsSeen() const { return fWarningsSeen; }

private:
  void Line(const std::string& Text);
  bool ShowsWarnings() const { return !fQuiet || fWarningsAreErrors; }

  std::ostream& fOut;
  DiagnosticFormat fFormat;
  std::string fName;
  std::string fPath;
  bool fQuiet;
  bool fWarningsAreErrors;
  int fWarningsSeen = 0;
  bool fInWarning = false;  // continuation lines follow the kind of their headline
};

} // namespace kiv
