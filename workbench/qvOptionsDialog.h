// qvOptionsDialog.h
// TfrmOptions: the environment options dialog. It edits the five "Options" settings and saves
// the store when confirmed; "OK" is enabled only while something differs from the opened state.
#pragma once

#include <QDialog>
#include <array>

class QCheckBox;
class QPushButton;
class QRadioButton;
class TqvAppSettings;

class TfrmOptions : public QDialog {
  Q_OBJECT
public:
  TfrmOptions(TqvAppSettings& settings, QWidget* parent = nullptr);

  QCheckBox* LexerWizardBox() const { return FLexerWizard; }
  QCheckBox* ParserWizardBox() const { return FParserWizard; }
  QRadioButton* EmptyProjectButton() const { return FEmptyProject; }
  QRadioButton* WizardProjectButton() const { return FWizardProject; }
  QRadioButton* LastProjectButton() const { return FLastProject; }
  QPushButton* OkButton() const { return FOk; }

  void accept() override;

private:
  // The five controls' states in the order lexer, parser, empty, wizard, last.
  using State = std::array<bool, 5>;
  State currentState() const;
  void updateOk();

  TqvAppSettings& FSettings;
  QCheckBox* FLexerWizard;
  QCheckBox* FParserWizard;
  QRadioButton* FEmptyProject;
  QRadioButton* FWizardProject;
  QRadioButton* FLastProject;
  QPushButton* FOk;
  QPushButton* FCancel;
  State FOpened{};
};
