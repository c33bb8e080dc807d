// qvKivMainBuild.cpp
// The main window as the generator's error handler, the build of one or all grammars with the
// directories they need, and the message list: opening a message's line, walking the errors and
// warnings, copying.
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <algorithm>

#include "workbench/explain/qvExplainView.h"
#include "workbench/qvBuildCommand.h"
#include "workbench/qvKivMain.h"
#include "workbench/qvKivMainShared.h"
#include "workbench/qvMessageList.h"
#include "workbench/qvPrompter.h"
#include "workbench/qvStatusPanels.h"
#include "workbench/qvWsDiskSync.h"
#include "workbench/qvWsKivProject.h"
#include "engine/driver/kivTool.h"

using kiv::MessageImageKind;
using kiv::mainwindow::decodeLine;
using kiv::mainwindow::letWindowMessagesRun;

// ---------------------------------------------------------------------------------------------
// The generator's error handler

void TfrmKivMain::listLine(const std::string& text, MessageImageKind image) {
  const QString caption = decodeLine(text);
  if (caption.isEmpty()) return;
  const bool building = !FBuildingModule.isEmpty();
  if (building && image == MessageImageKind::Error) ++FErrorLines;
  const kiv::MessageListModel::Position position = kiv::MessageListModel::PositionOf(caption);
  if (image != MessageImageKind::None && position.line <= 0) {
    // Warnings without a position are the lookahead lines that belong to the warning before
    // them. During a build everything else is listed, as the command line prints it: a warning
    // the generator placed at line 0 still counts, and an error without a line still means
    // that the build failed.
    if (!building) return;
    if (image == MessageImageKind::Warning && !position.positioned) return;
  }
  if (FMessages->Contains(caption)) return;
  const int row = FMessages->AddItem(caption, image, FBuildingModule);
  if (building && position.positioned) FRowsAwaitingParts << row;
}

void TfrmKivMain::OnDiagnostic(const kiv::Diagnostic& D) {
  // The handler has the line already (a nondeterminism report's lookahead lines too); its parts
  // come here afterwards. The listed row it belongs to is the first one waiting with the same
  // position and text (a diagnostic listed once keeps the column of its first report).
  if (D.Kind == kiv::DiagnosticKind::Continuation) {
    if (FToldRow >= 0) FMessages->AddDetail(FToldRow, decodeLine(D.Text));
    return;
  }
  FToldRow = -1;
  if (D.Line <= 0) return;
  const QString prefix = decodeLine(D.FileName + "(" + std::to_string(D.Line) + "):");
  const QString text = decodeLine(D.Text).trimmed();
  for (qsizetype i = 0; i < FRowsAwaitingParts.size(); ++i) {
    const int row = FRowsAwaitingParts[i];
    const QString caption = FMessages->Caption(row);
    if (!caption.startsWith(prefix) || caption.mid(prefix.size()).trimmed() != text) continue;
    FMessages->SetColumn(row, D.Column);
    FRowsAwaitingParts.removeAt(i);
    FToldRow = row;
    return;
  }
}

void TfrmKivMain::HandleWarning(const std::string& Text) { listLine(Text, MessageImageKind::Warning); }
void TfrmKivMain::HandleError(const std::string& Text) { listLine(Text, MessageImageKind::Error); }
void TfrmKivMain::HandleMessage(const std::string& Text) { listLine(Text, MessageImageKind::None); }

// ---------------------------------------------------------------------------------------------
// Builds

bool TfrmKivMain::offerDirectory(const QString& directory, const QString& what) {
  if (QFileInfo(directory).isDir()) return true;
  if (FDeclinedDirectories.contains(directory)) return false;
  // The command line creates missing directories; here the user is asked first.
  const QString shown = QDir::toNativeSeparators(directory);
  const kiv::PromptAnswer answer = kiv::Prompter().AskYesNoCancel(
      this, QString::fromLatin1(kTitle),
      QStringLiteral("The %1 directory \"%2\" does not exist.\n\nCreate it?").arg(what, shown));
  if (answer == kiv::PromptAnswer::Yes) {
    if (QDir().mkpath(directory) && QFileInfo(directory).isDir()) return true;
    kiv::Prompter().ShowMessage(this, kiv::MessageKind::Error, QString::fromLatin1(kTitle),
                                QStringLiteral("The directory \"%1\" could not be created.").arg(shown));
  }
  FDeclinedDirectories.insert(directory);
  return false;
}

bool TfrmKivMain::BuildModule(IqvWsModule* module) {
  TqvWsKivProject* project = Project();
  if (!project) return false;
  // Relative and empty directories are taken from the project file's folder, never from the
  // directory the workbench happened to be started in.
  const QString folder = kiv::ProjectFolder(*FProject);
  const QString outputDir = kiv::ResolveProjectDirectory(folder, project->GetOutputDir());
  const QString exchangeDir = kiv::ResolveProjectDirectory(folder, project->GetExchangeDir());
  const QString projectName = FProject->GetName();
  bool refused = false;
  if (!offerDirectory(outputDir, QStringLiteral("grammar units"))) {
    HandleError(QStringLiteral("%1(%2): Grammar units directory \"%3\" doesn't exists. Check project options!")
                    .arg(projectName).arg(1).arg(QDir::toNativeSeparators(outputDir))
                    .toStdString());
    refused = true;
  }
  if (!offerDirectory(exchangeDir, QStringLiteral("exchange files"))) {
    HandleError(QStringLiteral("%1(%2): Exchange files directory \"%3\" doesn't exists. Check project options!")
                    .arg(projectName).arg(1).arg(QDir::toNativeSeparators(exchangeDir))
                    .toStdString());
    refused = true;
  }
  if (refused || !module) return false;

  // The build reads the module's text; first it takes in what other programs did to the file.
  for (int i = 0; i < FProject->ChildCount(); ++i)
    if (FProject->Child(i).get() == module) SyncWithDisk({FProject->Child(i)});

  FErrorLines = 0;
  kiv::mainwindow::WaitCursor wait;
  letWindowMessagesRun();

  const QString name = module->GetName();
  int row = FMessages->AddItem(QStringLiteral("Compiling %1 ...").arg(name), MessageImageKind::Build, name);
  FMessageView->scrollToBottom();
  letWindowMessagesRun();

  FBuildingModule = name;
  kiv::ToolRunResult result;
  if (module->IsMissing() && !module->IsModified()) {
    // Nothing to read: the build's error, positioned like the module's other errors.
    HandleError(QStringLiteral("%1(1): Grammar file \"%2\" not found")
                    .arg(name, QDir::toNativeSeparators(module->GetFilePath()))
                    .toStdString());
  } else {
    const std::string text = kiv::GrammarBytes(*module);
    // The grammar's own file is never written over.
    result = kiv::RunGrammarTool(text, name, outputDir, exchangeDir, this, kiv::ToolRunKind::Build,
                                 module->HasFilePath() ? module->GetFilePath() : QString(), this);
    if (!result.failure.isEmpty())
      HandleError((QStringLiteral("Unexpected exception: ") + result.failure).toStdString());
  }
  FBuildingModule.clear();
  FRowsAwaitingParts.clear();
  FToldRow = -1;
  letWindowMessagesRun();

  // The generator's own counts, as the command line prints them; an error line that the
  // generator did not count still fails the build.
  const int errors = std::max(result.errors, FErrorLines > 0 ? 1 : 0);
  const int warnings = result.warnings;
  // With diagnostics listed, the summary moves below them.
  if (row != FMessages->Count() - 1) {
    FMessages->RemoveItem(row);
    row = FMessages->AddItem(QString(), MessageImageKind::Build, name);
  }
  FMessages->SetCaption(row, QStringLiteral("%1: %2 Error(s), %3 Warning(s)").arg(name).arg(errors).arg(warnings));
  FMessageView->scrollToBottom();
  UpdateState();
  return true;
}

void TfrmKivMain::BuildCurrent() {
  FMessages->Clear();
  FDeclinedDirectories.clear();
  BuildModule(CurrentModule().get());
  FDeclinedDirectories.clear();
}

bool TfrmKivMain::reportOutputClashes() {
  TqvWsKivProject* project = Project();
  const QString folder = kiv::ProjectFolder(*FProject);
  const QString outputDir = kiv::ResolveProjectDirectory(folder, project->GetOutputDir());
  const QString exchangeDir = kiv::ResolveProjectDirectory(folder, project->GetExchangeDir());
  std::vector<kiv::GrammarOutputs> plans;
  for (int i = 0; i < FProject->ChildCount(); ++i) {
    const IqvWsModulePtr module = FProject->Child(i);
    // A grammar with nothing to read reports that in its own build.
    if (module->IsMissing() && !module->IsModified()) continue;
    plans.push_back(kiv::PlanGrammarOutputs(kiv::GrammarBytes(*module), module->GetName(),
                                            module->HasFilePath() ? module->GetFilePath() : QString(), outputDir,
                                            exchangeDir));
  }
  const std::vector<kiv::OutputClash> clashes = kiv::FindOutputClashes(plans);
  if (clashes.empty()) return false;
  // Each clash is an error at line 1 of the later grammar, which a double click opens.
  for (const kiv::OutputClash& clash : clashes) {
    const QString name = QString::fromStdString(plans[clash.Grammar].Name);
    const QString caption = decodeLine(TkivTool::PositionedLine(kiv::ClashText(plans, clash), plans[clash.Grammar].Name, 1));
    if (!FMessages->Contains(caption)) FMessages->AddItem(caption, MessageImageKind::Error, name);
  }
  FMessages->AddItem(QStringLiteral("%1: %2 Error(s), nothing was built").arg(FProject->GetName()).arg(clashes.size()),
                     MessageImageKind::Build, FProject->GetName());
  FMessageView->scrollToBottom();
  return true;
}

bool TfrmKivMain::BuildAll() {
  FMessages->Clear();
  if (!FProject) return false;
  // Every grammar as its file now is, before anything is planned or built.
  SyncWithDisk();
  if (reportOutputClashes()) {
    UpdateState();
    return false;
  }
  // A directory the user declined to create is asked about once per "Build all".
  FDeclinedDirectories.clear();
  // The project order as it stands when the build starts.
  std::vector<IqvWsModulePtr> modules;
  for (int i = 0; i < FProject->ChildCount(); ++i) modules.push_back(FProject->Child(i));
  for (const IqvWsModulePtr& module : modules) BuildModule(module.get());
  FDeclinedDirectories.clear();
  return true;
}

void TfrmKivMain::buildAllCommand() { BuildAll(); }

// ---------------------------------------------------------------------------------------------
// Messages

namespace {

// The character index in the editor's line `line` of the generator's column `column`, which
// counts the bytes of the line as the file holds them (1-based; 0 when unknown).
int characterOfColumn(IqvWsModule& module, int line, int column) {
  if (column <= 1 || !module.GetEditor()) return 0;
  const QStringList lines = module.GetEditor()->GetLines();
  if (line < 1 || line > lines.size()) return 0;
  const QString& text = lines[line - 1];
  kiv::TextFormat format = module.Format();
  // A byte order mark is read as the first line's first characters.
  qsizetype before = line == 1 && format.byteOrderMark ? 3 : 0;
  format.byteOrderMark = false;
  int index = 0;
  while (index < text.size() && before < column - 1) {
    const int width = text.at(index).isHighSurrogate() && index + 1 < text.size() ? 2 : 1;
    before += kiv::EncodeText(text.mid(index, width), format).size();
    index += width;
  }
  return index;
}

}  // namespace

bool TfrmKivMain::OpenMessage(int row) {
  if (!FProject || row < 0 || row >= FMessages->Count()) return false;
  const MessageImageKind image = FMessages->Image(row);
  if (image == MessageImageKind::Build || image == MessageImageKind::None) return false;
  const QString caption = FMessages->Caption(row);
  const IqvWsModulePtr module = FProject->FindChild(FMessages->ModuleOf(row));
  if (!module || !OpenModule(module)) return false;
  IqvWsModuleEditor* editor = module->GetEditor();
  if (!editor) return false;
  const int line = std::max(1, kiv::MessageListModel::LineNumberOf(caption));
  editor->GotoPosition(line, characterOfColumn(*module, line, FMessages->Column(row)));
  editor->HighlightLine(line, image == MessageImageKind::Error ? kiv::CheckMarkKind::Error : kiv::CheckMarkKind::Warning);
  editor->Focus();
  UpdateState();
  return true;
}

bool TfrmKivMain::IsExplainable(int row) const {
  if (!FProject || row < 0 || row >= FMessages->Count() || FMessages->Image(row) != MessageImageKind::Warning) return false;
  // The reports' own words: "nondeterminism between alts ..." and "... between alt N and exit branch".
  if (!FMessages->Caption(row).contains(QStringLiteral("ondeterminism between"))) return false;
  return FProject->FindChild(FMessages->ModuleOf(row)) != nullptr;
}

bool TfrmKivMain::ExplainMessage(int row) {
  if (!IsExplainable(row)) return false;
  const IqvWsModulePtr module = FProject->FindChild(FMessages->ModuleOf(row));
  // The explanation reads the text as the editor holds it, and takes in outside changes first.
  SyncWithDisk({module});
  // The branches are marked in the grammar's editor, which is shown for that.
  if (!OpenModule(module)) return false;
  TqvWsKivProject* project = Project();
  const QString exchangeDir = kiv::ResolveProjectDirectory(kiv::ProjectFolder(*FProject), project->GetExchangeDir());
  if (FExplainDock->isHidden()) {
    FExplainDock->show();
    // The bottom area grows to a height that both derivations can be read in, and beside the
    // message list the panel takes two thirds of the width.
    constexpr int kExplainHeight = 300;
    if (FExplainDock->height() < kExplainHeight) resizeDocks({FExplainDock}, {kExplainHeight}, Qt::Vertical);
    if (!FExplainDock->isFloating() && dockWidgetArea(FExplainDock) == dockWidgetArea(FMessageDock))
      resizeDocks({FMessageDock, FExplainDock}, {width() / 3, width() - width() / 3}, Qt::Horizontal);
  }
  FExplainDock->raise();
  FExplainView->Explain(module, FMessages->Caption(row), FMessages->Column(row), exchangeDir);
  return true;
}

void TfrmKivMain::explainCurrentMessage() {
  if (FMessageView->currentIndex().isValid()) ExplainMessage(FMessageView->currentIndex().row());
}

void TfrmKivMain::messageActivated(const QModelIndex& index) {
  if (index.isValid()) OpenMessage(index.row());
}

void TfrmKivMain::walkMessages(int step) {
  const int count = FMessages->Count();
  const auto isDiagnostic = [this](int row) {
    return FMessages->Image(row) == MessageImageKind::Error || FMessages->Image(row) == MessageImageKind::Warning;
  };
  const int current = FMessageView->currentIndex().isValid() ? FMessageView->currentIndex().row() : (step > 0 ? -1 : count);
  for (int i = 1; i <= count; ++i) {
    // Past the last message the walk goes on from the first (and back from the first to the last).
    const int raw = current + step * i;
    const int row = ((raw % count) + count) % count;
    if (!isDiagnostic(row)) continue;
    const bool wrapped = step > 0 ? raw >= count : raw < 0;
    FMessageView->setCurrentIndex(FMessages->index(row));
    FMessageView->scrollTo(FMessages->index(row));
    OpenMessage(row);
    FStatus->ShowNote(wrapped ? (step > 0 ? QStringLiteral("Last message passed: back at the first")
                                          : QStringLiteral("First message passed: back at the last"))
                              : QString());
    return;
  }
  FStatus->ShowNote(QStringLiteral("No errors or warnings listed"));
}

void TfrmKivMain::nextMessage() { walkMessages(+1); }
void TfrmKivMain::previousMessage() { walkMessages(-1); }

void TfrmKivMain::copyMessages() {
  QApplication::clipboard()->setText(FMessages->CopyText(FMessageView->SelectedRows()));
}

void TfrmKivMain::clearMessages() { FMessages->Clear(); }
