// qvKivMainFiles.cpp
// The main window's project and file commands: new, open, save and close, adding and removing
// grammars, the recent lists, and keeping open grammars in step with their files.
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QTabWidget>
#include <QTimer>

#include "workbench/authoring/qvWsKivGrammarWizards.h"
#include "workbench/check/qvGrammarChecker.h"
#include "workbench/qvBuildCommand.h"
#include "workbench/qvKivMain.h"
#include "workbench/qvKivMainShared.h"
#include "workbench/qvMessageList.h"
#include "workbench/qvProjectOptionsDialog.h"
#include "workbench/qvPrompter.h"
#include "workbench/qvRecentFiles.h"
#include "workbench/qvStatusPanels.h"
#include "workbench/qvWorkbenchSettings.h"
#include "workbench/qvWsDiskSync.h"
#include "workbench/qvWsFileWatcher.h"
#include "workbench/qvWsKivProject.h"
#include "workbench/testrig/qvTestPanel.h"
#include "workbench/qvWsKivWizards.h"
#include "workbench/qvWsTreeView.h"

using kiv::mainwindow::key;
using kiv::mainwindow::letWindowMessagesRun;
using namespace kiv::settings;

// ---------------------------------------------------------------------------------------------
// Projects and modules

void TfrmKivMain::setProject(const IqvWsModulePtr& project) {
  FProject = project;
  FTree->ShowModule(project);
  for (int i = 0; i < project->ChildCount(); ++i) FTree->ShowModule(project->Child(i));
  FWatcher->WatchProject(project);
  useProjectFolder();
}

void TfrmKivMain::dropProject() {
  if (!FProject) return;
  FWatcher->WatchProject(nullptr);
  if (FChecker) FChecker->Follow(nullptr, QString());
  if (FTestPanel) FTestPanel->Follow(nullptr, nullptr, QString());
  for (int i = 0; i < FProject->ChildCount(); ++i)
    if (IqvWsModuleEditor* editor = FProject->Child(i)->GetEditor()) editor->SetStatusHandler(nullptr);
  FTree->HideModule(FProject.get());
  FProject.reset();
}

void TfrmKivMain::useProjectFolder() {
  if (!FProject) return;
  // New grammars are saved, and files are added, from the project's folder by default.
  const QString folder = kiv::ProjectFolder(*FProject);
  for (TqvWsModuleWizard* wizard : std::initializer_list<TqvWsModuleWizard*>{
           FGrammarWizard.get(), FLexerWizard.get(), FParserWizard.get()})
    wizard->SetInitialDirectory(folder);
  if (FProject->HasFilePath()) FProjectWizard->SetInitialDirectory(folder);
}

bool TfrmKivMain::OpenModule(const IqvWsModulePtr& module) {
  if (!module) return false;
  const bool hadEditor = module->GetEditor() != nullptr;
  if (!module->OpenEditor(FPages, FStatus)) return false;
  if (!hadEditor)
    if (IqvWsModuleEditor* editor = module->GetEditor())
      editor->SetStatusHandler([this](QsciScintilla*) {
        UpdateState();
        FChecker->Poke();
        FTestPanel->Poke();
      });
  followCurrentEditor();
  UpdateState();
  return true;
}

void TfrmKivMain::newProject() {
  FMessages->Clear();
  if (FProject && !closeAll()) return;
  const IqvWsModulePtr project = FProjectWizard->New();
  setProject(project);
  QVariant unitDir, xchgDir;
  FSettings.Get(key(kProject), key(kDefaultUnitDir), unitDir);
  FSettings.Get(key(kProject), key(kDefaultXchgDir), xchgDir);
  Project()->SetOutputDir(unitDir.toString());
  Project()->SetExchangeDir(xchgDir.toString());
  project->SetModified(false);
  UpdateState();
  if (!BoolSetting(FSettings, kOptions, kWizardProject)) return;
  show();
  letWindowMessagesRun();
  if (BoolSetting(FSettings, kOptions, kLexerWizard)) runWizard(FLexerWizard.get());
  if (BoolSetting(FSettings, kOptions, kParserWizard)) runWizard(FParserWizard.get());
}

void TfrmKivMain::openProject() {
  FMessages->Clear();
  const IqvWsModulePtr project = FProjectWizard->OpenProject(QString());
  if (!project) return;
  if (FProject && !closeAll()) return;
  setProject(project);
  project->SetModified(false);
  FRecentProjects->Add(project->GetFilePath());
}

void TfrmKivMain::openRecentProject(const QString& path) {
  if (!QFileInfo(path).isFile()) {
    kiv::Prompter().ShowMessage(this, kiv::MessageKind::Error, key(kTitle),
                                QStringLiteral("The project \"%1\" is not there any more; it is taken off the list.")
                                    .arg(QDir::toNativeSeparators(path)));
    FRecentProjects->Remove(path);
    return;
  }
  FMessages->Clear();
  // The current project goes first; Cancel on one of its questions keeps it.
  if (FProject && !closeAll()) return;
  const IqvWsModulePtr project = FProjectWizard->OpenProject(path);
  if (!project) return;
  setProject(project);
  project->SetModified(false);
  FRecentProjects->Add(project->GetFilePath());
}

void TfrmKivMain::openRecentFile(const QString& path) {
  if (!QFileInfo(path).isFile()) {
    kiv::Prompter().ShowMessage(this, kiv::MessageKind::Error, key(kTitle),
                                QStringLiteral("The grammar \"%1\" is not there any more; it is taken off the list.")
                                    .arg(QDir::toNativeSeparators(path)));
    FRecentFiles->Remove(path);
    return;
  }
  addGrammarFile(path);
}

void TfrmKivMain::fillRecentMenu(QMenu* menu, kiv::RecentFiles& list, void (TfrmKivMain::*open)(const QString&)) {
  menu->clear();
  const QStringList entries = list.Entries();
  for (int i = 0; i < entries.size(); ++i) {
    // "&1" to "&8" choose an entry from the keyboard.
    const QString path = entries[i];
    QAction* entry = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)));
    connect(entry, &QAction::triggered, this, [this, path, open] {
      (this->*open)(path);
      afterCommand();
    });
  }
  if (entries.isEmpty()) menu->addAction(QStringLiteral("(empty)"))->setEnabled(false);
  menu->addSeparator();
  QAction* clear = menu->addAction(QStringLiteral("&Clear list"));
  clear->setEnabled(!entries.isEmpty());
  connect(clear, &QAction::triggered, this, [&list] { list.Clear(); });
}

bool TfrmKivMain::closeAll() {
  FMessages->Clear();
  if (!FProject) return true;
  if (!FProject->Close()) return false;
  dropProject();
  return true;
}

void TfrmKivMain::closeAllCommand() { closeAll(); }

void TfrmKivMain::runWizard(IqvWsModuleWizard* wizard) {
  if (!wizard || !FProject) return;
  // A cancelled wizard answers the module it made before.
  auto* moduleWizard = dynamic_cast<TqvWsModuleWizard*>(wizard);
  const IqvWsModulePtr before = moduleWizard ? moduleWizard->GetCurrentModule() : nullptr;
  const IqvWsModulePtr module = wizard->New();
  if (!module || module == before) return;
  addNewModule(module);
}

void TfrmKivMain::addNewModule(const IqvWsModulePtr& module) {
  // A grammar file of the wizard's default name may already be in the project: the new module
  // then takes the next free number rather than being lost.
  if (FProject->FindChild(module->GetName())) {
    if (auto* named = dynamic_cast<TqvWsModule*>(module.get())) {
      QString base = module->GetName();
      while (!base.isEmpty() && base.back().isDigit()) base.chop(1);
      int number = 1;
      while (FProject->FindChild(base + QString::number(number))) ++number;
      named->SetName(base + QString::number(number));
    }
  }
  if (FProject->AddChild(module) < 0) return;
  FTree->ShowModule(module);
  OpenModule(module);
  module->SetModified(true);
  if (IqvWsModuleEditor* editor = module->GetEditor()) editor->Focus();
}

void TfrmKivMain::newGrammar() {
  if (!FProject) return;
  IqvWsModuleWizard* wizard = FRegistry.Choose(this);
  if (wizard) runWizard(wizard);
}

void TfrmKivMain::saveModule() {
  if (FPages->count() == 0 || !FPages->currentWidget()) {
    kiv::Prompter().ShowMessage(this, kiv::MessageKind::Information, key(kTitle), QStringLiteral("no active page"));
    return;
  }
  const IqvWsModulePtr module = CurrentModule();
  if (!module) {
    kiv::Prompter().ShowMessage(this, kiv::MessageKind::Information, key(kTitle), QStringLiteral("no module"));
    return;
  }
  module->Save();
}

void TfrmKivMain::saveModuleAs() {
  const IqvWsModulePtr module = CurrentModule();
  if (!module || !module->SaveAs()) return;
  // The project now lists the grammar under its new path.
  FProject->SetModified(true);
  FRecentFiles->Add(module->GetFilePath());
  syncTabCaptions();
}

void TfrmKivMain::saveProjectAs() {
  if (!FProject || !FProject->SaveAs()) return;
  FRecentProjects->Add(FProject->GetFilePath());
  useProjectFolder();
}

void TfrmKivMain::saveAll() {
  if (FProject && FProject->Save()) FRecentProjects->Add(FProject->GetFilePath());
}

void TfrmKivMain::closeModule() {
  if (const IqvWsModulePtr module = CurrentModule()) module->Close();
}

void TfrmKivMain::closePage(int index) {
  // A tab's close button closes its module as Close does (asking when it is modified).
  if (const IqvWsModulePtr module = moduleOfPage(FPages->widget(index))) module->Close();
  UpdateState();
}

void TfrmKivMain::exportHtml() {
  if (const IqvWsModulePtr module = CurrentModule())
    if (module->GetEditor()) module->GetEditor()->ExportHTML(module->GetName());
}

void TfrmKivMain::exportRtf() {
  if (const IqvWsModulePtr module = CurrentModule())
    if (module->GetEditor()) module->GetEditor()->ExportRTF(module->GetName());
}

void TfrmKivMain::print() {
  if (const IqvWsModulePtr module = CurrentModule())
    if (module->GetEditor()) module->GetEditor()->Print(module->GetName(), QString());
}

void TfrmKivMain::addFiles() {
  if (!FProject) return;
  kiv::FileDialogRequest request;
  request.title = QStringLiteral("Open ") + FGrammarWizard->GetIdentity().fileTypeName + QStringLiteral("...");
  request.directory = kiv::ProjectFolder(*FProject);
  request.filter = FGrammarWizard->GetIdentity().filter;
  request.defaultExtension = FGrammarWizard->GetIdentity().defaultExtension;
  const QStringList files = kiv::Prompter().ChooseOpenFiles(this, request);
  for (const QString& file : files) {
    const IqvWsModulePtr module = FGrammarWizard->Open(file);
    if (!module) continue;
    const int added = FProject->AddChild(module);
    if (added == -2) {
      HandleError((FProject->GetName() + QStringLiteral("(1): Module \"") + module->GetName() +
                   QStringLiteral("\" already in the project"))
                      .toStdString());
      continue;
    }
    if (added < 0) continue;
    FTree->ShowModule(module);
    OpenModule(module);
    FRecentFiles->Add(module->GetFilePath());
  }
}

void TfrmKivMain::addGrammarFile(const QString& path) {
  if (!FProject) return;
  const QString absolute = QFileInfo(path).absoluteFilePath();
  for (int i = 0; i < FProject->ChildCount(); ++i) {
    const IqvWsModulePtr child = FProject->Child(i);
    if (child->GetFilePath() != absolute) continue;
    if (OpenModule(child) && child->GetEditor()) child->GetEditor()->Focus();
    FRecentFiles->Add(absolute);
    return;
  }
  const IqvWsModulePtr module = FGrammarWizard->Open(absolute);
  if (!module) return;
  if (FProject->AddChild(module) == -2) {
    HandleError((FProject->GetName() + QStringLiteral("(1): Module \"") + module->GetName() +
                 QStringLiteral("\" already in the project"))
                    .toStdString());
    return;
  }
  FTree->ShowModule(module);
  OpenModule(module);
  FRecentFiles->Add(absolute);
}

void TfrmKivMain::removeFile() {
  const IqvWsModulePtr module = FTree->SelectedModule();
  if (!FProject || !module || module->GetKind() != kiv::kModuleKindGrammar) return;
  if (!module->Close()) return;
  FProject->RemoveChild(module.get());
}

void TfrmKivMain::moveFileUp() { FTree->MoveUp(); }
void TfrmKivMain::moveFileDown() { FTree->MoveDown(); }

void TfrmKivMain::projectOptions() {
  TqvWsKivProject* project = Project();
  if (!project) return;
  TfrmProjectOptions dialog(FSettings, this);
  dialog.SetOutputDir(project->GetOutputDir());
  dialog.SetExchangeDir(project->GetExchangeDir());
  if (dialog.exec() != QDialog::Accepted) return;
  project->SetOutputDir(dialog.OutputDir());
  project->SetExchangeDir(dialog.ExchangeDir());
  FProject->SetModified(true);
}

// ---------------------------------------------------------------------------------------------
// Outside changes

void TfrmKivMain::SyncWithDisk() {
  if (!FProject) return;
  std::vector<IqvWsModulePtr> modules;
  for (int i = 0; i < FProject->ChildCount(); ++i) modules.push_back(FProject->Child(i));
  SyncWithDisk(modules);
}

void TfrmKivMain::SyncWithDisk(const std::vector<IqvWsModulePtr>& modules) {
  // A question about one file must not start another look at the files; what changes meanwhile
  // is looked at once the question is answered.
  if (FSyncing) {
    FSyncAgain = true;
    return;
  }
  FSyncing = true;
  QStringList notes;
  for (const IqvWsModulePtr& module : modules) {
    const kiv::DiskSyncKind kind = kiv::SyncWithDisk(*module, this);
    const QString note = kiv::DiskSyncNote(*module, kind);
    if (!note.isEmpty()) notes << note;
  }
  FSyncing = false;
  if (!notes.isEmpty()) FStatus->ShowNote(notes.join(QStringLiteral("; ")));
  UpdateState();
  if (FSyncAgain) {
    FSyncAgain = false;
    QTimer::singleShot(0, this, [this] { SyncWithDisk(); });
  }
}
