// mainWindowHelpers.h
// What the main window's test suites share: files and projects in a scratch folder, the message
// list's captions, actions and editors by name, and a fresh, isolated settings store.
#pragma once

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <Qsci/qsciscintilla.h>
#include <QtTest>

#include "workbench/qvKivMain.h"
#include "workbench/qvMessageList.h"
#include "workbench/qvWsKivGrammarEditor.h"

namespace testing {

// A clean lexer, one with a warning only, and a parser with three errors on line 4.
inline const char kGood[] = "unit Good;\nlexer TGood;\n\nA : 'a' ;\n";
inline const char kWarned[] = "unit W;\nlexer TW;\n\nA : ( 'a' )=> 'a' ;\n";
inline const char kBad[] = "unit Bad;\nparser TBad;\n\nstart : A B ) ;\n";

inline void writeFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

inline QByteArray readBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A project file listing `grammars` (paths relative to it) with the two directories.
inline void writeProject(const QString& path, const QString& outputDir, const QString& exchangeDir,
                         const QStringList& grammars) {
  QByteArray text = "KIV project\r\n";
  if (!outputDir.isEmpty()) text += "   OutputDir = \"" + outputDir.toUtf8() + "\"\r\n";
  if (!exchangeDir.isEmpty()) text += "   ExchangeDir = \"" + exchangeDir.toUtf8() + "\"\r\n";
  for (const QString& grammar : grammars) text += "   Grammar   = \"" + grammar.toUtf8() + "\"\r\n";
  writeFile(path, text + "End\r\n");
}

inline QStringList captions(const TfrmKivMain& window) {
  QStringList list;
  for (int row = 0; row < window.Messages()->Count(); ++row) list << window.Messages()->Caption(row);
  return list;
}

inline QAction* action(const TfrmKivMain& window, const char* name) {
  auto* found = window.findChild<QAction*>(QString::fromLatin1(name));
  if (!found) qFatal("no action %s", name);
  return found;
}

inline TqvWsKivGrammarEditor* editorOf(const IqvWsModulePtr& module) {
  return dynamic_cast<TqvWsKivGrammarEditor*>(module->GetEditor());
}

inline QsciScintilla* editOf(const IqvWsModulePtr& module) {
  TqvWsKivGrammarEditor* editor = editorOf(module);
  return editor ? editor->Edit() : nullptr;
}

inline int caretLine(const IqvWsModulePtr& module) {
  int line = -1, index = -1;
  editOf(module)->getCursorPosition(&line, &index);
  return line;
}

// Points QSettings at `folder` for the whole test program.
inline void isolateSettings(const QString& folder) {
  QStandardPaths::setTestModeEnabled(true);
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}

inline std::unique_ptr<TfrmKivMain> showWindow(const QStringList& arguments) {
  auto window = std::make_unique<TfrmKivMain>(arguments);
  window->show();
  window->activateWindow();
  if (!QTest::qWaitForWindowActive(window.get())) qWarning("window not active");
  return window;
}

}  // namespace testing
