// kivConsoleHandler.h - an IkivToolErrorHandler that prints every line of a build, in order.
// The command line shows exactly what the workbench's message list receives, empty lines included.
#pragma once

#include <ostream>

#include "engine/kivLibTypes.h"

namespace kiv {

class ConsoleHandler : public IkivToolErrorHandler {
public:
  explicit ConsoleHandler(std::ostream& out) : fOut(out) {}
  void HandleWarning(const std::string& Text) override { fOut << Text << '\n'; }
  void HandleError(const std::string& Text) override { fOut << Text << '\n'; }
  void HandleMessage(const std::string& Text) override { fOut << Text << '\n'; }

private:
  std::ostream& fOut;
};

}  // namespace kiv
