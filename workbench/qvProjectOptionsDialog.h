// qvProjectOptionsDialog.h
// TfrmProjectOptions: edits a project's output (grammar units) and exchange directories, with
// folder browsing and "Set as default" for new projects.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class TqvAppSettings;

class TfrmProjectOptions : public QDialog {
  Q_OBJECT
public:
  TfrmProjectOptions(TqvAppSettings& settings, QWidget* parent = nullptr);

  void SetOutputDir(const QString& dir);
  void SetExchangeDir(const QString& dir);
  QString OutputDir() const;
  QString ExchangeDir() const;

  QLineEdit* UnitDirEdit() const { return FUnitDir; }
  QLineEdit* XchgDirEdit() const { return FXchgDir; }
  QPushButton* UnitDirBrowse() const { return FUnitBrowse; }
  QPushButton* XchgDirBrowse() const { return FXchgBrowse; }
  QCheckBox* SetAsDefaultBox() const { return FSetAsDefault; }
  QPushButton* OkButton() const { return FOk; }

  // Refuses directories that a project file cannot hold; with "Set as default" checked also
  // puts both texts into the default-directory settings (they are written at exit).
  void accept() override;

private:
  void browse(QLineEdit* field);

  TqvAppSettings& FSettings;
  QLineEdit* FUnitDir;
  QLineEdit* FXchgDir;
  QPushButton* FUnitBrowse;
  QPushButton* FXchgBrowse;
  QCheckBox* FSetAsDefault;
  QPushButton* FOk;
  QPushButton* FCancel;
};
