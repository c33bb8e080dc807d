// qvWsKivWizards.h
// The wizards of the two file types that need no dialog: TqvWsKivGrammarWizard (grammar
// files) and TqvWsKivProjectWizard (project files).
#pragma once

#include "workbench/qvWsModuleWizard.h"

class TqvWsKivGrammarWizard : public TqvWsModuleWizard {
public:
  explicit TqvWsKivGrammarWizard(QWidget* mainWindow = nullptr);

protected:
  IqvWsModulePtr MakeModule(const QString& name) override;
};

class TqvWsKivProjectWizard : public TqvWsModuleWizard {
public:
  // `grammarWizard` (borrowed) opens the grammar files of the projects this wizard makes.
  explicit TqvWsKivProjectWizard(IqvWsModuleWizard* grammarWizard, QWidget* mainWindow = nullptr);

  // Opens a project file, reads it (its grammars become children) and marks it unmodified;
  // nullptr when nothing was opened. An empty file name asks the user.
  IqvWsModulePtr OpenProject(const QString& fileName);

protected:
  IqvWsModulePtr MakeModule(const QString& name) override;
  QString NewModuleName() const override { return QStringLiteral("kivProject"); }

private:
  IqvWsModuleWizard* FGrammarWizard;
};
