// qvWsModuleWizard.cpp
// Disk operations of modules: dialogs, loading, safe writing and the close question.
#include "workbench/qvWsModuleWizard.h"

#include <QFileInfo>

#include "workbench/qvPrompter.h"
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

  QStringList lines;
  kiv::TextFormat format;
  QString error;
  if (!kiv::LoadTextLines(path, lines, format, error)) {
    kiv::Prompter().ShowMessage(FMainWindow, kiv::MessageKind::Error, FIdentity.fileTypeName,
                                QStringLiteral("Cannot open \"%1\": %2").arg(path, error));
    return nullptr;
  }
  IqvWsModulePtr module = MakeModule(QString());
  module->SetLines(lines);
  module->Format() = format;
  module->SetCreator(this);
  module->SetFilePath(path);
  module->SetModified(false);
  FCurrent = module;
  return module;
}

bool TqvWsModuleWizard::saveChildren(IqvWsModule* module) {
  for (int i = 0; i < module->ChildCount(); ++i) {
    const IqvWsModulePtr child = module->Child(i);
    if (child->IsModified() && !child->Save()) return false;
  }
  return true;
}

bool TqvWsModuleWizard::writeModule(IqvWsModule* module, const QString& path) {
  // The file is replaced only by a complete new version; on failure the old one stays and the
  // module stays modified.
  QStringList lines;
  QString error;
  if (module->LinesForFile(path, lines, error) &&
      kiv::SaveTextLines(path, lines, module->Format(), error))
    return true;
  kiv::Prompter().ShowMessage(FMainWindow, kiv::MessageKind::Error, FIdentity.fileTypeName,
                              QStringLiteral("Cannot save \"%1\": %2").arg(path, error));
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

bool TqvWsModuleWizard::Close(IqvWsModule* module) {
  if (!module) return false;
  for (int i = 0; i < module->ChildCount(); ++i)
    if (!module->Child(i)->Close()) return false;
  if (!module->IsModified()) return true;
  switch (kiv::Prompter().AskYesNoCancel(FMainWindow, QStringLiteral("Confirm"),
                                         QStringLiteral("Save changes to ") + module->GetName() +
                                             QStringLiteral("?"))) {
    case kiv::PromptAnswer::Yes: return module->HasFilePath() ? module->Save() : module->SaveAs();
    case kiv::PromptAnswer::No: return true;
    case kiv::PromptAnswer::Cancel: return false;
  }
  return false;
}
