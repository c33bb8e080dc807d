// qvWsKivLexerWizardDlg.h
// TfrmKivLexerWizard: asks for a new lexer grammar's class, options, comment and white-space
// rules and sections, and writes the lexer template from them.
#pragma once

#include "workbench/authoring/qvWsKivGrammarTemplates.h"
#include "workbench/authoring/qvWsWizardDlg.h"

class QCheckBox;

class TfrmKivLexerWizard : public TqvWsWizardDlg {
  Q_OBJECT
public:
  explicit TfrmKivLexerWizard(QWidget* parent = nullptr);

  // The dialog's current choices.
  kiv::LexerTemplateOptions Options() const;

protected:
  QStringList GenerateLines() const override;
  bool RequiredFieldsGiven() const override;

private:
  QWidget* makeGeneralPage();
  QWidget* makeRulesPage();
  QWidget* makeSectionsPage();
  void unitNameChanged(const QString& unit);
  void updateEnabling();

  kiv::WizardEdit* FUnitName;
  kiv::WizardEdit* FClassName;
  QCheckBox* FCaseSensitive;
  QCheckBox* FTestLiterals;
  QCheckBox* FFilterLexer;
  kiv::WizardEdit* FFilterRule;
  kiv::WizardEdit* FImportVocab;
  kiv::WizardEdit* FExportVocab;
  QCheckBox* FSingleLine;
  kiv::WizardEdit* FSingleLineBegin;
  QCheckBox* FMultiLine;
  kiv::WizardEdit* FMultiLineBegin;
  kiv::WizardEdit* FMultiLineEnd;
  QCheckBox* FCrLf;
  QCheckBox* FLf;
  QCheckBox* FCr;
  QCheckBox* FSpace;
  QCheckBox* FTab;
  QCheckBox* FIntfUses;
  QCheckBox* FIntfConst;
  QCheckBox* FIntfType;
  QCheckBox* FTokens;
  QCheckBox* FMemberDecl;
  QCheckBox* FImplUses;
  QCheckBox* FMemberDef;
};
