// kivConsoleHandler.h - an IkivToolErrorHandler that prints every line of a build, in order.
// The command line shows exactly what the workbench's message list receives, empty lines included.
// Every line is flushed as it is produced, so a pipe, an IDE or a CI log shows progress and a
// crash loses nothing.
#pragma once

#include <ostream>

#include "engine/kivLibTypes.h"

namespace kiv {

class ConsoleHandler : public IkivToolErrorHandler {
public:
  explicit ConsoleHandler(std::ostream& out) : fOut(out) {}
  void HandleWarning(const std::string& Text) override { Line(Text); }
  void HandleError(const std::string& Text) override { Line(Text); }
  void HandleMessage(const std::string& Text) override { Line(Text); }

private:
  void Line(const std::string& Text) { fOut << Text << '\n' << std::flush; }

  std::ostream& fOut;
};

}  // namespace kiv
