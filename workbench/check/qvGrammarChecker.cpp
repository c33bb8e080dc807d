// qvGrammarChecker.cpp
// The pause timer, the worker run of the check and the marks it leaves.
#include "workbench/check/qvGrammarChecker.h"

#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include "engine/kivLibTypes.h"
#include "workbench/qvBuildCommand.h"
#include "workbench/qvMessageList.h"
#include "workbench/qvTextFile.h"

namespace kiv {

namespace {

// Collects a check's lines as marks: positioned lines at their line, anything else at line 1,
// and the lookahead lines of a warning into that warning's text.
class MarkCollector : public IkivToolErrorHandler {
public:
  explicit MarkCollector(QString name) : FName(std::move(name)) {}
  CheckResult result;

  void HandleWarning(const std::string& Text) override { add(Text, CheckMarkKind::Warning); }
  void HandleError(const std::string& Text) override { add(Text, CheckMarkKind::Error); }
  void HandleMessage(const std::string& Text) override { add(Text, CheckMarkKind::Error); }

private:
  void add(const std::string& raw, CheckMarkKind kind) {
    TextFormat format;
    const QString text = DecodeText(QByteArray(raw.data(), static_cast<qsizetype>(raw.size())), format);
    if (text.trimmed().isEmpty()) return;
    const MessageListModel::Position position = MessageListModel::PositionOf(text);
    if (!position.positioned && kind == CheckMarkKind::Warning && !result.marks.empty()) {
      result.marks.back().text += QLatin1Char('\n') + text;
      return;
    }
    CheckMark mark;
    mark.kind = kind;
    mark.text = text;
    mark.line = position.positioned && position.module == FName && position.line > 0 ? position.line : 1;
    result.marks.push_back(mark);
    ++(kind == CheckMarkKind::Error ? result.errors : result.warnings);
  }

  QString FName;
};

}  // namespace

CheckResult CheckGrammarText(const std::string& text, const QString& name, const QString& exchangeDir) {
  MarkCollector collector(name);
  // No output directory is needed: a check writes nothing.
  const ToolRunResult run = RunGrammarTool(text, name, exchangeDir, exchangeDir, &collector, ToolRunKind::Check);
  if (!run.failure.isEmpty())
    collector.result.marks.push_back({1, CheckMarkKind::Error, QStringLiteral("Unexpected exception: ") + run.failure});
  return collector.result;
}

}  // namespace kiv

TqvGrammarChecker::TqvGrammarChecker(QObject* parent) : QObject(parent), FPause(new QTimer(this)) {
  FPause->setSingleShot(true);
  FPause->setInterval(kDefaultPauseMs);
  connect(FPause, &QTimer::timeout, this, &TqvGrammarChecker::start);
  connect(&FWatcher, &QFutureWatcher<kiv::CheckResult>::finished, this, &TqvGrammarChecker::finished);
}

TqvGrammarChecker::~TqvGrammarChecker() {
  FWatcher.disconnect(this);
  FWatcher.waitForFinished();
}

void TqvGrammarChecker::SetPause(int milliseconds) { FPause->setInterval(milliseconds); }

void TqvGrammarChecker::Follow(const IqvWsModulePtr& module, const QString& exchangeDir) {
  const bool same = module && FModule.lock() == module;
  FModule = module;
  FExchangeDir = exchangeDir;
  if (!same) FScheduledRevision = -1;
  Poke();
}

void TqvGrammarChecker::Poke() {
  const IqvWsModulePtr module = FModule.lock();
  IqvWsModuleEditor* editor = module ? module->GetEditor() : nullptr;
  if (!editor) {
    FPause->stop();
    return;
  }
  const int revision = editor->Revision();
  if (revision == FScheduledRevision) return;
  FScheduledRevision = revision;
  if (FShownModule.lock() == module && FShownRevision == revision) return;
  FPause->start();
}

void TqvGrammarChecker::start() {
  const IqvWsModulePtr module = FModule.lock();
  IqvWsModuleEditor* editor = module ? module->GetEditor() : nullptr;
  if (!editor) return;
  // One check at a time; the one under way is followed by another when it is done.
  if (FWatcher.isRunning()) return;
  FRunningModule = module;
  FRunningRevision = editor->Revision();
  // The copy is all the worker sees of the editor.
  const std::string text = kiv::GrammarBytes(*module);
  const QString name = module->GetName();
  const QString exchangeDir = FExchangeDir;
  FWatcher.setFuture(QtConcurrent::run([text, name, exchangeDir] { return kiv::CheckGrammarText(text, name, exchangeDir); }));
}

void TqvGrammarChecker::finished() {
  const IqvWsModulePtr module = FRunningModule.lock();
  const int revision = FRunningRevision;
  FRunningModule.reset();
  IqvWsModuleEditor* editor = module ? module->GetEditor() : nullptr;
  if (editor && editor->Revision() == revision) {
    const kiv::CheckResult result = FWatcher.result();
    editor->SetCheckMarks(result.marks);
    FShownModule = module;
    FShownRevision = revision;
    ++FShown;
    emit Checked(module.get(), result.errors, result.warnings);
  } else if (editor) {
    // The text moved on while the check ran: its marks would sit on the wrong lines.
    ++FDropped;
  }
  // Whatever was typed, or shown, meanwhile is checked next.
  FScheduledRevision = -1;
  Poke();
}
