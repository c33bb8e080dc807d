// qvProjectOptionsDialog.cpp
// Layout, folder browsing and confirmation of the project options dialog.
#include "workbench/qvProjectOptionsDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "workbench/qvAppSettings.h"
#include "workbench/qvPrompter.h"
#include "workbench/qvWorkbenchSettings.h"

TfrmProjectOptions::TfrmProjectOptions(TqvAppSettings& settings, QWidget* parent)
    : QDialog(parent), FSettings(settings) {
  setObjectName(QStringLiteral("frmProjectOptions"));
  setWindowTitle(QStringLiteral("Project options"));

  auto* pages = new QTabWidget(this);
  auto* general = new QWidget;
  pages->addTab(general, QStringLiteral("General"));

  auto* group = new QGroupBox(QStringLiteral(" Output directory for generated ...  "), general);
  FUnitDir = new QLineEdit;
  FUnitDir->setObjectName(QStringLiteral("edUnitDir"));
  FXchgDir = new QLineEdit;
  FXchgDir->setObjectName(QStringLiteral("edXchgDir"));
  FUnitBrowse = new QPushButton(QStringLiteral("..."));
  FUnitBrowse->setObjectName(QStringLiteral("btnUnitDir"));
  FXchgBrowse = new QPushButton(QStringLiteral("..."));
  FXchgBrowse->setObjectName(QStringLiteral("btnXchgDir"));
  auto* unitLabel = new QLabel(QStringLiteral("Grammar units:"));
  unitLabel->setBuddy(FUnitDir);
  auto* xchgLabel = new QLabel(QStringLiteral("Exchange files:"));
  xchgLabel->setBuddy(FXchgDir);
  auto* grid = new QGridLayout(group);
  grid->addWidget(unitLabel, 0, 0);
  grid->addWidget(FUnitDir, 0, 1);
  grid->addWidget(FUnitBrowse, 0, 2);
  grid->addWidget(xchgLabel, 1, 0);
  grid->addWidget(FXchgDir, 1, 1);
  grid->addWidget(FXchgBrowse, 1, 2);

  FSetAsDefault = new QCheckBox(QStringLiteral("Set as default"));
  FSetAsDefault->setObjectName(QStringLiteral("chkSetAsDefault"));

  auto* generalLayout = new QVBoxLayout(general);
  generalLayout->addWidget(group);
  generalLayout->addWidget(FSetAsDefault);
  generalLayout->addStretch();

  FOk = new QPushButton(QStringLiteral("OK"));
  FOk->setObjectName(QStringLiteral("btnOk"));
  FOk->setDefault(true);
  FCancel = new QPushButton(QStringLiteral("Cancel"));
  FCancel->setObjectName(QStringLiteral("btnCancel"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(FOk);
  buttons->addWidget(FCancel);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages);
  layout->addLayout(buttons);
  resize(460, sizeHint().height());

  connect(FUnitBrowse, &QPushButton::clicked, this, [this] { browse(FUnitDir); });
  connect(FXchgBrowse, &QPushButton::clicked, this, [this] { browse(FXchgDir); });
  connect(FOk, &QPushButton::clicked, this, &TfrmProjectOptions::accept);
  connect(FCancel, &QPushButton::clicked, this, &TfrmProjectOptions::reject);
}

void TfrmProjectOptions::SetOutputDir(const QString& dir) { FUnitDir->setText(dir); }
void TfrmProjectOptions::SetExchangeDir(const QString& dir) { FXchgDir->setText(dir); }
QString TfrmProjectOptions::OutputDir() const { return FUnitDir->text(); }
QString TfrmProjectOptions::ExchangeDir() const { return FXchgDir->text(); }

void TfrmProjectOptions::browse(QLineEdit* field) {
  const QString folder =
      kiv::Prompter().ChooseFolder(this, QStringLiteral("Select folder"), field->text());
  if (!folder.isEmpty()) field->setText(folder);
}

void TfrmProjectOptions::accept() {
  // A project file stores directories in double quotes without any escape.
  if (OutputDir().contains(QLatin1Char('"')) || ExchangeDir().contains(QLatin1Char('"'))) {
    kiv::Prompter().ShowMessage(
        this, kiv::MessageKind::Error, windowTitle(),
        QStringLiteral("A directory name containing a double quote (\") cannot be stored in a "
                       "project file."));
    return;
  }
  if (FSetAsDefault->isChecked()) {
    using namespace kiv::settings;
    FSettings.Put(QString::fromLatin1(kProject), QString::fromLatin1(kDefaultUnitDir), OutputDir());
    FSettings.Put(QString::fromLatin1(kProject), QString::fromLatin1(kDefaultXchgDir),
                  ExchangeDir());
  }
  QDialog::accept();
}
