// qvWsKivParserWizardDlg.h
// TfrmKivParserWizard: asks for a new parser grammar's class, its option, its vocabularies and
// sections, and writes the parser template from them.
#pragma once

#include "workbench/authoring/qvWsKivGrammarTemplates.h"
#include "workbench/authoring/qvWsWizardDlg.h"

class QCheckBox;

class TfrmKivParserWizard : public TqvWsWizardDlg {
  Q_OBJECT
public:
  explicit TfrmKivParserWizard(QWidget* parent = nullptr);

  // The dialog's current choices.
  kiv::ParserTemplateOptions Options() const;

protected:
  QStringList GenerateLines() const override;
  bool RequiredFieldsGiven() const override;

private:
  QWidget* makeGeneralPage();
  QWidget* makeSectionsPage();
  void unitNameChanged(const QString& unit);

  kiv::WizardEdit* FUnitName;
  kiv::WizardEdit* FClassName;
  QCheckBox* FDefaultErrorHandler;
  kiv::WizardEdit* FImportVocab;
  kiv::WizardEdit* FExportVocab;
  QCheckBox* FIntfUses;
  QCheckBox* FIntfConst;
  QCheckBox* FIntfType;
  QCheckBox* FMemberDecl;
  QCheckBox* FImplUses;
  QCheckBox* FMemberDef;
};
