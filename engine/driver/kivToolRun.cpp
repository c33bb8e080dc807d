// kivToolRun.cpp - TkivTool::Run: wires the passes together and runs them in order.
// Until the front end, grammar maker and generators are linked into the engine, a run only resets
// the counts; the phases are added here stage by stage.
#include "engine/driver/kivTool.h"

void TkivTool::Run() {
  fWarningCount = 0;
  fErrorCount = 0;
  if (fInput == nullptr || fFileName.empty()) return;
}
