// qvWsKivGrammarWizards.h
// The module wizards that write a new grammar from a dialog: TqvWsKivLexerWizard and
// TqvWsKivParserWizard. Both make grammar modules named after the wizard and its count.
#pragma once

#include <memory>

#include "workbench/qvWsModuleWizard.h"

class TqvWsWizardDlg;

namespace kiv {

// A wizard whose New shows a dialog and puts the dialog's grammar into the new module.
class GrammarDialogWizard : public TqvWsModuleWizard {
public:
  using TqvWsModuleWizard::TqvWsModuleWizard;

  // Shows the dialog modally; only when it closes with OK is a module made (named with the
  // raised count), made current, marked modified and given the dialog's lines. Answers the
  // current module, which a cancelled dialog leaves as it was.
  IqvWsModulePtr New() override;

protected:
  virtual std::unique_ptr<TqvWsWizardDlg> CreateDialog() = 0;
  IqvWsModulePtr MakeModule(const QString& name) override;
};

}  // namespace kiv

class TqvWsKivLexerWizard : public kiv::GrammarDialogWizard {
public:
  explicit TqvWsKivLexerWizard(QWidget* mainWindow = nullptr);

protected:
  std::unique_ptr<TqvWsWizardDlg> CreateDialog() override;
  QString NewModuleName() const override;
};

class TqvWsKivParserWizard : public kiv::GrammarDialogWizard {
public:
  explicit TqvWsKivParserWizard(QWidget* mainWindow = nullptr);

protected:
  std::unique_ptr<TqvWsWizardDlg> CreateDialog() override;
  QString NewModuleName() const override;
};
