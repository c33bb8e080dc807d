// qvKivMainShared.h
// Small helpers that the main window's source files share (not used elsewhere).
#pragma once

#include <QApplication>
#include <QString>
#include <string>

#include "workbench/qvTextFile.h"

namespace kiv::mainwindow {

inline QString key(const char* text) { return QString::fromLatin1(text); }

// Lets the window repaint during a build without taking the user's input, so that no command
// starts while a build runs.
inline void letWindowMessagesRun() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

// The hourglass for the length of a scope.
class WaitCursor {
public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

// The generator's lines are 8-bit text: UTF-8 when they are valid UTF-8, Latin-1 otherwise.
inline QString decodeLine(const std::string& text) {
  TextFormat format;
  return DecodeText(QByteArray(text.data(), static_cast<qsizetype>(text.size())), format);
}

}  // namespace kiv::mainwindow
