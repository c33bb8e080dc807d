// qvGrammarChecker.h
// TqvGrammarChecker: the background check as you type. After a pause in typing, the shown
// grammar's text is copied and run through the real front end and symbol pass on a worker thread
// (nothing is written); its errors and warnings then become marks in the editor's margin. A
// result for a text that has changed meanwhile is dropped and the check runs again, so typing
// never waits for it.
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <memory>

#include "workbench/check/qvCheckMark.h"
#include "workbench/qvWsModuleIntf.h"

class QTimer;

namespace kiv {

// What one check found.
struct CheckResult {
  CheckMarks marks;
  int errors = 0;
  int warnings = 0;
};

// Runs the check of `text` (the grammar file's bytes) named `name` and collects its diagnostics
// as marks. Thread-safe: it touches nothing but its arguments (and the engine's run lock).
CheckResult CheckGrammarText(const std::string& text, const QString& name, const QString& exchangeDir);

}  // namespace kiv

class TqvGrammarChecker : public QObject {
  Q_OBJECT
public:
  // The pause in typing after which the text is checked.
  static constexpr int kDefaultPauseMs = 700;

  explicit TqvGrammarChecker(QObject* parent = nullptr);
  // Waits for a check under way (its result is dropped).
  ~TqvGrammarChecker() override;

  void SetPause(int milliseconds);
  // The module whose editor is shown, and the exchange folder its vocabulary imports come from.
  // A module not checked at its editor's current text is checked after the pause.
  void Follow(const IqvWsModulePtr& module, const QString& exchangeDir);
  // Called whenever the shown editor may have changed: a new revision restarts the pause.
  void Poke();

  bool IsRunning() const { return FWatcher.isRunning(); }
  // Checks whose results were shown, and those dropped because the text had moved on.
  int ShownCount() const { return FShown; }
  int DroppedCount() const { return FDropped; }

signals:
  // The marks of `module`'s text were shown.
  void Checked(IqvWsModule* module, int errors, int warnings);

private:
  void start();
  void finished();

  QTimer* FPause;
  QFutureWatcher<kiv::CheckResult> FWatcher;
  std::weak_ptr<IqvWsModule> FModule;
  QString FExchangeDir;
  // The revision last scheduled, and the module and revision of the check under way.
  int FScheduledRevision = -1;
  std::weak_ptr<IqvWsModule> FRunningModule;
  int FRunningRevision = -1;
  // The module and revision whose marks are shown.
  std::weak_ptr<IqvWsModule> FShownModule;
  int FShownRevision = -1;
  int FShown = 0;
  int FDropped = 0;
};
