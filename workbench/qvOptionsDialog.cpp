// qvOptionsDialog.cpp
// Layout, opening state and confirmation of the environment options dialog.
#include "workbench/qvOptionsDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "workbench/qvAppSettings.h"
#include "workbench/qvWorkbenchSettings.h"

using namespace kiv::settings;

TfrmOptions::TfrmOptions(TqvAppSettings& settings, QWidget* parent)
    : QDialog(parent), FSettings(settings) {
  setObjectName(QStringLiteral("frmOptions"));
  setWindowTitle(QStringLiteral("Options"));

  auto* pages = new QTabWidget(this);
  auto* general = new QWidget;
  pages->addTab(general, QStringLiteral("General"));

  auto* wizards = new QGroupBox(QStringLiteral(" Wizards "), general);
  FLexerWizard = new QCheckBox(QStringLiteral("Run Lexer Wizard when creating new project"));
  FLexerWizard->setObjectName(QStringLiteral("chkLexerWizard"));
  FParserWizard = new QCheckBox(QStringLiteral("Run Parser Wizard when creating new project"));
  FParserWizard->setObjectName(QStringLiteral("chkParserWizard"));
  auto* wizardsLayout = new QVBoxLayout(wizards);
  wizardsLayout->addWidget(FLexerWizard);
  wizardsLayout->addWidget(FParserWizard);

  auto* startup = new QGroupBox(QStringLiteral(" Application startup "), general);
  FEmptyProject = new QRadioButton(QStringLiteral("Create empty project"));
  FEmptyProject->setObjectName(QStringLiteral("rbEmptyProject"));
  FWizardProject = new QRadioButton(QStringLiteral("Create project with selected Wizards"));
  FWizardProject->setObjectName(QStringLiteral("rbWizardProject"));
  FLastProject = new QRadioButton(QStringLiteral("Open the last project"));
  FLastProject->setObjectName(QStringLiteral("rbLastProject"));
  FLastProject->setEnabled(false);
  FEmptyProject->setChecked(true);
  auto* startupLayout = new QVBoxLayout(startup);
  startupLayout->addWidget(FEmptyProject);
  startupLayout->addWidget(FWizardProject);
  startupLayout->addWidget(FLastProject);

  auto* generalLayout = new QVBoxLayout(general);
  generalLayout->addWidget(wizards);
  generalLayout->addWidget(startup);
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

  // Opening state: the check boxes follow their settings; the start-up choice follows
  // "LastProject", then "WizardProject", then "EmptyProject".
  FLexerWizard->setChecked(BoolSetting(FSettings, kOptions, kLexerWizard));
  FParserWizard->setChecked(BoolSetting(FSettings, kOptions, kParserWizard));
  if (BoolSetting(FSettings, kOptions, kLastProject)) FLastProject->setChecked(true);
  else if (BoolSetting(FSettings, kOptions, kWizardProject)) FWizardProject->setChecked(true);
  else if (BoolSetting(FSettings, kOptions, kEmptyProject)) FEmptyProject->setChecked(true);
  FOpened = currentState();

  for (QAbstractButton* control : std::initializer_list<QAbstractButton*>{
           FLexerWizard, FParserWizard, FEmptyProject, FWizardProject, FLastProject})
    connect(control, &QAbstractButton::toggled, this, &TfrmOptions::updateOk);
  connect(FOk, &QPushButton::clicked, this, &TfrmOptions::accept);
  connect(FCancel, &QPushButton::clicked, this, &TfrmOptions::reject);
  updateOk();
}

TfrmOptions::State TfrmOptions::currentState() const {
  return {FLexerWizard->isChecked(), FParserWizard->isChecked(), FEmptyProject->isChecked(),
          FWizardProject->isChecked(), FLastProject->isChecked()};
}

void TfrmOptions::updateOk() { FOk->setEnabled(currentState() != FOpened); }

void TfrmOptions::accept() {
  const auto key = [](const char* text) { return QString::fromLatin1(text); };
  FSettings.Put(key(kOptions), key(kLexerWizard), FLexerWizard->isChecked());
  FSettings.Put(key(kOptions), key(kParserWizard), FParserWizard->isChecked());
  FSettings.Put(key(kOptions), key(kEmptyProject), FEmptyProject->isChecked());
  FSettings.Put(key(kOptions), key(kWizardProject), FWizardProject->isChecked());
  FSettings.Put(key(kOptions), key(kLastProject), FLastProject->isChecked());
  FSettings.Save();
  QDialog::accept();
}
