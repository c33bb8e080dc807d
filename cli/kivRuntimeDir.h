// kivRuntimeDir.h - where the Object Pascal runtime that generated units compile against is.
#pragma once

#include <string>

namespace kiv {

// The installed runtime beside the program (<prefix>/share/kiv/runtime/pascal for <prefix>/bin/kiv),
// else the runtime of the source tree the program was built from; empty when neither exists.
std::string PascalRuntimeDirectory();

} // namespace kiv
