// qvWsModuleWizard.cpp
// Disk operations of modules: dialogs, loading, safe writing that respects changes made by other
// programs, and the close questions.
#include "workbench/qvWsModuleWizard.h"

#include <QDir>
#include <QFileInfo>

#include "workbench/qvPrompter.h"
#include "workbench/qvWsDiskSync.h"
#include "workbench/qvTextFile.h"
#include "workbench/qvWsModule.h"

TqvWsModuleWizard::TqvWsModuleWizard(Identity identity, QWidget* mainWindow)
    : FIdentity(std::move(identity)), FMainWindow(mainWindow) {}

IqvWsModulePtr TqvWsModuleWizard::MakeModule(const QString& name) {
  auto module = std::make_shared<TqvWsModule>(name);
  return module;
}

IqvWsModulePtr TqvWsModuleWizard::New() {
  RaiseCount();
  IqvWsModulePtr module = MakeModule(NewModuleName());
  // The wizard stays the module's creator so that saving and closing it work like for any
  // other module (a module without a creator could neither be saved nor asked about).
  module->SetCreator(this);
  module->SetModified(true);
  FCurrent = module;
  return module;
}

IqvWsModulePtr TqvWsModuleWizard::Open(const QString& fileName) {
  QString path = fileName;
  if (path.isEmpty()) {
    kiv::FileDialogRequest request;
    request.title = QStringLiteral("Open ") + FIdentity.fileTypeName + QStringLiteral("...");
    request.directory = FInitialDirectory;
    request.filter = FIdentity.filter;
    request.defaultExtension = FIdentity.defaultExtension;
    path = kiv::Prompter().ChooseOpenFile(FMainWindow, request);
  }
  if (path.isEmpty() || !QFileInfo(path).isFile()) return nullptr;

  QString text;
  kiv::TextFormat format;
  kiv::FileStamp stamp;
  QString error;
  if (!kiv::LoadText(path, text, format, error, &stamp)) {
    kiv::Prompter().ShowMessage(FMainWindow, kiv::MessageKind::Error, FIdentity.fileTypeName,
                                QStringLiteral("Cannot open \"%1\": %2").arg(path, error));
    return nullptr;
  }
  IqvWsModulePtr module = MakeModule(QString());
  module->SetText(text);
  module->Format() = format;
  module->SetDiskStamp(stamp);
  module->SetSeenStamp(stamp);
  module->SetCreator(this);
  module->SetFilePath(path);
  module->SetModified(false);
  FCurrent = module;
  return module;
}

bool TqvWsModuleWizard::saveChildren(IqvWsModule* module) {
  for (int i = 0; i < module->ChildCount(); ++i) {
    const IqvWsModulePtr child = module->Child(i);
    // A child whose changes the user gave up while closing is not saved along with its owner.
    if (FGivenUp.count(child.get()) != 0) continue;
    if (child->IsModified() && !child->Save()) return false;
  }
  return true;
}

bool TqvWsModuleWizard::writeModule(IqvWsModule* module, const QString& path) {
  // Saving over the module's own file never overwrites a change another program made since the
  // text was read or last written, unless the user says so.
  const kiv::DiskChangeKind outside = module->HasFilePath() && QFileInfo(path).absoluteFilePath() == module->GetFilePath()
                                          ? kiv::DiskChangeOf(*module, module->DiskStamp()).kind
                                          : kiv::DiskChangeKind::None;
  if (outside == kiv::DiskChangeKind::Changed || outside == kiv::DiskChangeKind::Appeared) {
    const kiv::PromptAnswer answer = kiv::Prompter().AskYesNoCancel(
        FMainWindow, QStringLiteral("Confirm"),
        QStringLiteral("\"%1\" was changed by another program since it was opened or last saved.\n\n"
                       "Overwrite it with the text of the editor?")
            .arg(QDir::toNativeSeparators(path)));
    if (answer != kiv::PromptAnswer::Yes) return false;
  }
  // The file is replaced only by a complete new version; on failure the old one stays and the
  // module stays modified.
  QString text;
  QString error;
  kiv::FileStamp stamp;
  if (module->TextForFile(path, text, error) && kiv::SaveText(path, text, module->Format(), error, &stamp)) {
    module->SetDiskStamp(stamp);
    module->SetSeenStamp(stamp);
    module->SetMissing(false);
    return true;
  }
  kiv::Prompter().ShowMessage(FMainWindow, kiv::MessageKind::Error, FIdentity.fileTypeName,
                              QStringLiteral("Cannot save \"%1\": %2").arg(QDir::toNativeSeparators(path), error));
  return false;
}

bool TqvWsModuleWizard::Save(IqvWsModule* module) {
  if (!module || !saveChildren(module)) return false;
  if (!module->IsModified()) return true;
  if (!module->HasFilePath()) return SaveAs(module);
  if (!writeModule(module, module->GetFilePath())) return false;
  module->SetModified(false);
  return true;
}

bool TqvWsModuleWizard::SaveAs(IqvWsModule* module) {
  if (!module || !saveChildren(module)) return false;
  if (FIdentity.fileTypeName.isEmpty() || FIdentity.filter.isEmpty() ||
      FIdentity.defaultExtension.isEmpty())
    return false;
  kiv::FileDialogRequest request;
  request.title = QStringLiteral("Save ") + FIdentity.fileTypeName + QStringLiteral("...");
  request.directory = module->HasFilePath() ? QFileInfo(module->GetFilePath()).absolutePath()
                                            : FInitialDirectory;
  request.filter = FIdentity.filter;
  request.defaultExtension = FIdentity.defaultExtension;
  request.fileName = module->GetName();
  const QString path = kiv::Prompter().ChooseSaveFile(FMainWindow, request);
  if (path.isEmpty()) return false;
  if (!writeModule(module, path)) return false;
  module->SetFilePath(path);
  module->SetModified(false);
  return true;
}

bool TqvWsModuleWizard::askToClose(IqvWsModule* module, std::vector<IqvWsModule*>& toSave,
                                    std::set<IqvWsModule*>& givenUp) {
  for (int i = 0; i < module->ChildCount(); ++i)
    if (!askToClose(module->Child(i).get(), toSave, givenUp)) return false;
  // A module without a creator cannot be saved; it closes as it is. An owner whose children
  // alone are modified has nothing of its own to save.
  if (!module->GetCreator() || !module->HasOwnChanges()) return true;
  switch (kiv::Prompter().AskYesNoCancel(FMainWindow, QStringLiteral("Confirm"),
                                         QStringLiteral("Save changes to ") + module->GetName() +
                                             QStringLiteral("?"))) {
    case kiv::PromptAnswer::Yes: toSave.push_back(module); return true;
    case kiv::PromptAnswer::No: givenUp.insert(module); return true;
    case kiv::PromptAnswer::Cancel: return false;
  }
  return false;
}

bool TqvWsModuleWizard::Close(IqvWsModule* module) {
  if (!module) return false;
  // Every question first: a Cancel anywhere leaves every module open and unchanged.
  std::vector<IqvWsModule*> toSave;
  std::set<IqvWsModule*> givenUp;
  if (!askToClose(module, toSave, givenUp)) return false;
  // Then the saves, children before their owner; a module answered No is not saved along with
  // its owner. A save that fails or is cancelled stops the close with everything still open.
  FGivenUp = givenUp;
  bool saved = true;
  for (IqvWsModule* each : toSave) {
    saved = each->HasFilePath() ? each->Save() : each->SaveAs();
    if (!saved) break;
  }
  FGivenUp.clear();
  return saved;
}
