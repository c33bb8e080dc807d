// qvAbout.h
// What Help > About tells: the version, where the Object Pascal runtime that generated units
// compile against is, and where the documentation is.
#pragma once

#include <QString>

namespace kiv {

QString WorkbenchVersion();
// The installed runtime beside the program when there is one, else the source tree's; empty
// when neither is found.
QString RuntimeFolder();
// The documentation folder, found the same way.
QString DocumentationFolder();
// The About box's text (rich text with a link to the documentation).
QString AboutText();

}  // namespace kiv
