// typingbench.cpp - typing into a 1 MB grammar in the workbench while the background check runs.
// Prints the check's time on its worker thread, the main thread's share of starting a check (the
// copy of the text), the time each keystroke takes, and the longest stretch in which the main
// thread could not run its event loop. Run offscreen: QT_QPA_PLATFORM=offscreen ./typingbench
// (KIV_BENCH_NO_CHECK=1 types without the check, for comparison).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "workbench/check/qvGrammarChecker.h"
#include "workbench/qvBuildCommand.h"
#include "workbench/qvKivMain.h"
#include "workbench/qvWsKivGrammarEditor.h"

namespace {

// A parser of about `bytes` bytes: a chain of rules, and one undefined token at the end so that
// the check has something to mark.
QByteArray bigGrammar(qsizetype bytes) {
  QByteArray text = "unit Big;\nparser TBig;\n\nr0 : ;\n";
  for (int i = 1; text.size() < bytes; ++i)
    text += "rule" + QByteArray::number(i) + " : r0 | rule" + QByteArray::number(i - 1) + " r0 ;\n";
  text.replace("rule0 ", "r0 ");
  return text + "a : MISSING ;\n";
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QStandardPaths::setTestModeEnabled(true);
  QTemporaryDir scratch;
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, scratch.filePath(QStringLiteral("config")));
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scratch.filePath(QStringLiteral("config")));

  const QByteArray grammar = bigGrammar(1000 * 1000);
  QFile file(scratch.filePath(QStringLiteral("Big.g")));
  if (!file.open(QIODevice::WriteOnly) || file.write(grammar) != grammar.size()) return 1;
  file.close();
  QFile project(scratch.filePath(QStringLiteral("big.kvp")));
  if (!project.open(QIODevice::WriteOnly)) return 1;
  project.write("KIV project\r\n   Grammar   = \"Big.g\"\r\nEnd\r\n");
  project.close();

  TfrmKivMain window({project.fileName()});
  window.resize(1000, 700);
  window.show();
  QElapsedTimer clock;
  clock.start();
  const IqvWsModulePtr module = window.ProjectModule()->Child(0);
  window.OpenModule(module);
  const double openMs = clock.nsecsElapsed() / 1e6;
  // For comparison: KIV_BENCH_NO_CHECK=1 types without the background check.
  if (qEnvironmentVariableIsSet("KIV_BENCH_NO_CHECK")) window.Checker()->SetPause(100000000);
  auto* editor = dynamic_cast<TqvWsKivGrammarEditor*>(module->GetEditor());
  QsciScintilla* edit = editor->Edit();

  // The main thread's part of a check: the copy of the text it hands to the worker.
  clock.restart();
  const std::string copy = kiv::GrammarBytes(*module);
  const double copyMs = clock.nsecsElapsed() / 1e6;
  clock.restart();
  const kiv::CheckResult direct = kiv::CheckGrammarText(copy, module->GetName(), scratch.path());
  const double checkMs = clock.nsecsElapsed() / 1e6;

  // The longest gap between two turns of the event loop, seen by a 1 ms timer.
  qint64 longestGap = 0;
  QElapsedTimer gap;
  gap.start();
  QTimer beat;
  beat.setInterval(1);
  QObject::connect(&beat, &QTimer::timeout, [&] {
    longestGap = std::max(longestGap, gap.nsecsElapsed());
    gap.restart();
  });
  beat.start();

  // Type in bursts: a pause long enough for a check to start, then keys while it runs.
  std::vector<double> keys;
  int typedDuringCheck = 0;
  edit->setCursorPosition(edit->lines() / 2, 0);
  for (int burst = 0; burst < 8; ++burst) {
    QTest::qWait(TqvGrammarChecker::kDefaultPauseMs + 50);
    for (int i = 0; i < 40; ++i) {
      const bool checking = window.Checker()->IsRunning();
      clock.restart();
      QTest::keyClick(edit, static_cast<char>('a' + i % 26));
      QCoreApplication::processEvents();
      keys.push_back(clock.nsecsElapsed() / 1e6);
      if (checking) ++typedDuringCheck;
      QTest::qWait(15);
    }
  }
  QTest::qWait(TqvGrammarChecker::kDefaultPauseMs + 50);
  for (int waited = 0; window.Checker()->IsRunning() && waited < 20000; waited += 10) QTest::qWait(10);
  QTest::qWait(100);  // the finished check's marks are shown from the event loop
  beat.stop();

  std::printf("grammar: %lld bytes, %d lines\n", static_cast<long long>(grammar.size()), edit->lines());
  std::printf("open in the editor: %.1f ms\n", openMs);
  std::printf("check on the worker (front end + symbol pass): %.1f ms, %zu mark(s)\n", checkMs, direct.marks.size());
  std::printf("main thread's share of starting a check (text copy): %.1f ms\n", copyMs);
  std::printf("keystrokes: %zu, %d while a check ran; median %.2f ms, longest %.2f ms\n", keys.size(),
              typedDuringCheck, median(keys), *std::max_element(keys.begin(), keys.end()));
  std::printf("checks shown %d, dropped (text moved on) %d\n", window.Checker()->ShownCount(),
              window.Checker()->DroppedCount());
  std::printf("longest event-loop gap while typing and checking: %.1f ms\n", longestGap / 1e6);
  window.ProjectModule()->SetModified(false);
  module->SetModified(false);
  return 0;
}
