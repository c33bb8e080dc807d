// qvWsKivGrammarWizards.cpp
// Identities of the lexer and parser wizards and the dialog-driven New they share.
#include "workbench/authoring/qvWsKivGrammarWizards.h"

#include "workbench/authoring/qvWsKivLexerWizardDlg.h"
#include "workbench/authoring/qvWsKivParserWizardDlg.h"
#include "workbench/qvWsKivGrammarModule.h"

namespace kiv {

IqvWsModulePtr GrammarDialogWizard::New() {
  std::unique_ptr<TqvWsWizardDlg> dialog = CreateDialog();
  if (dialog->exec() != QDialog::Accepted) return GetCurrentModule();
  RaiseCount();
  IqvWsModulePtr module = MakeModule(NewModuleName());
  module->SetCreator(this);
  module->SetLines(dialog->Lines());
  module->SetModified(true);
  SetCurrentModule(module);
  return module;
}

IqvWsModulePtr GrammarDialogWizard::MakeModule(const QString& name) {
  return std::make_shared<TqvWsKivGrammarModule>(name);
}

}  // namespace kiv

namespace {

TqvWsModuleWizard::Identity grammarIdentity(const char* kind) {
  TqvWsModuleWizard::Identity identity;
  identity.name = QStringLiteral("Kiv%1Wizard").arg(QLatin1String(kind));
  identity.displayName = QStringLiteral("KIV %1").arg(QLatin1String(kind));
  identity.description = QStringLiteral("Create KIV %1 source").arg(QString::fromLatin1(kind).toLower());
  identity.iconResource = QStringLiteral("WsKiv%1Icon").arg(QLatin1String(kind));
  identity.fileTypeName = QStringLiteral("KIV %1 source").arg(QLatin1String(kind));
  identity.filter = TqvWsKivGrammarModule::FileFilter();
  identity.defaultExtension = TqvWsKivGrammarModule::Extension();
  return identity;
}

}  // namespace

TqvWsKivLexerWizard::TqvWsKivLexerWizard(QWidget* mainWindow)
    : GrammarDialogWizard(grammarIdentity("Lexer"), mainWindow) {}

std::unique_ptr<TqvWsWizardDlg> TqvWsKivLexerWizard::CreateDialog() {
  return std::make_unique<TfrmKivLexerWizard>(GetMainWindow());
}

QString TqvWsKivLexerWizard::NewModuleName() const { return QStringLiteral("Lexer%1").arg(GetCount()); }

TqvWsKivParserWizard::TqvWsKivParserWizard(QWidget* mainWindow)
    : GrammarDialogWizard(grammarIdentity("Parser"), mainWindow) {}

std::unique_ptr<TqvWsWizardDlg> TqvWsKivParserWizard::CreateDialog() {
  return std::make_unique<TfrmKivParserWizard>(GetMainWindow());
}

QString TqvWsKivParserWizard::NewModuleName() const { return QStringLiteral("Parser%1").arg(GetCount()); }
