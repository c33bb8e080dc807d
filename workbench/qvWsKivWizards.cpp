// qvWsKivWizards.cpp
// Identities and module types of the grammar-file and project-file wizards.
#include "workbench/qvWsKivWizards.h"

#include "workbench/qvWsKivGrammarModule.h"
#include "workbench/qvWsKivProject.h"

namespace {

TqvWsModuleWizard::Identity grammarIdentity() {
  TqvWsModuleWizard::Identity identity;
  identity.name = QStringLiteral("KivGrammarWizard");
  identity.fileTypeName = QStringLiteral("KIV Grammar source");
  identity.filter = TqvWsKivGrammarModule::FileFilter();
  identity.defaultExtension = TqvWsKivGrammarModule::Extension();
  return identity;
}

TqvWsModuleWizard::Identity projectIdentity() {
  TqvWsModuleWizard::Identity identity;
  identity.name = QStringLiteral("KivProjectWizard");
  identity.displayName = QStringLiteral("KIV Project");
  identity.fileTypeName = QStringLiteral("KIV Project");
  identity.filter = TqvWsKivProject::FileFilter();
  identity.defaultExtension = TqvWsKivProject::Extension();
  return identity;
}

}  // namespace

TqvWsKivGrammarWizard::TqvWsKivGrammarWizard(QWidget* mainWindow)
    : TqvWsModuleWizard(grammarIdentity(), mainWindow) {}

IqvWsModulePtr TqvWsKivGrammarWizard::MakeModule(const QString& name) {
  return std::make_shared<TqvWsKivGrammarModule>(name);
}

TqvWsKivProjectWizard::TqvWsKivProjectWizard(IqvWsModuleWizard* grammarWizard, QWidget* mainWindow)
    : TqvWsModuleWizard(projectIdentity(), mainWindow), FGrammarWizard(grammarWizard) {}

IqvWsModulePtr TqvWsKivProjectWizard::MakeModule(const QString& name) {
  auto project = std::make_shared<TqvWsKivProject>(name);
  project->SetGrammarWizard(FGrammarWizard);
  return project;
}

IqvWsModulePtr TqvWsKivProjectWizard::OpenProject(const QString& fileName) {
  IqvWsModulePtr project = Open(fileName);
  if (!project) return nullptr;
  project->Loaded();
  project->SetModified(false);
  return project;
}
