// qvWsKivParserWizardDlg.cpp
// The parser wizard's two pages, the fields that follow the unit name, and the required fields.
#include "workbench/authoring/qvWsKivParserWizardDlg.h"

#include <QHBoxLayout>
#include <QTabWidget>

#include "workbench/authoring/qvWsKivWizardControls.h"

using kiv::NamedCheckBox;
using kiv::NamedEdit;
using Kind = kiv::WizardEdit::InputKind;

TfrmKivParserWizard::TfrmKivParserWizard(QWidget* parent) : TqvWsWizardDlg(parent) {
  setObjectName(QStringLiteral("frmKivParserWizard"));
  setWindowTitle(QStringLiteral("KIV Parser Wizard"));
  Pages()->addTab(makeGeneralPage(), QStringLiteral("General"));
  Pages()->addTab(makeSectionsPage(), QStringLiteral("Sections"));

  connect(FUnitName, &QLineEdit::textChanged, this, &TfrmKivParserWizard::unitNameChanged);
  WatchInputs(Pages());
  UpdateButtons();
  FUnitName->setFocus();
}

QWidget* TfrmKivParserWizard::makeGeneralPage() {
  FUnitName = NamedEdit("edUnitName", Kind::Identifier);
  FClassName = NamedEdit("edClassName", Kind::Identifier);
  FDefaultErrorHandler = NamedCheckBox("chkDefaultErrorHandler", QStringLiteral("Default Error Handler"), false);
  FImportVocab = NamedEdit("edImportVocab", Kind::Identifier);
  FExportVocab = NamedEdit("edExportVocab", Kind::Identifier);

  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(kiv::FormGroup(QStringLiteral("Parser class"),
                                   {{QStringLiteral("Unit name:"), FUnitName},
                                    {QStringLiteral("Class name:"), FClassName}}));
  layout->addWidget(kiv::StackedGroup(QStringLiteral("Parser options"), {FDefaultErrorHandler}));
  layout->addWidget(kiv::FormGroup(QStringLiteral("Token vocabulary"),
                                   {{QStringLiteral("Import:"), FImportVocab},
                                    {QStringLiteral("Export:"), FExportVocab}}));
  layout->addStretch();
  return page;
}

QWidget* TfrmKivParserWizard::makeSectionsPage() {
  FIntfUses = NamedCheckBox("chkIntfUses", QStringLiteral("uses {...}"), true);
  FIntfConst = NamedCheckBox("chkIntfConst", QStringLiteral("const {...}"), true);
  FIntfType = NamedCheckBox("chkIntfType", QStringLiteral("type  {...}"), true);
  FMemberDecl = NamedCheckBox("chkMemberDecl", QStringLiteral("memberdecl {...}"), true);
  // Shown for the unit's layout; generated units take their implementation uses elsewhere.
  FImplUses = NamedCheckBox("chkImplUses", QStringLiteral("uses {...}"), false);
  FImplUses->setEnabled(false);
  FMemberDef = NamedCheckBox("chkMemberDef", QStringLiteral("memberdef {...}"), true);

  auto* page = new QWidget;
  auto* layout = new QHBoxLayout(page);
  layout->addWidget(kiv::StackedGroup(QStringLiteral("Interface"), {FIntfUses, FIntfConst, FIntfType}));
  layout->addWidget(kiv::StackedGroup(QStringLiteral("Class"), {FMemberDecl}));
  layout->addWidget(kiv::StackedGroup(QStringLiteral("Implementation"), {FImplUses, FMemberDef}));
  return page;
}

void TfrmKivParserWizard::unitNameChanged(const QString& unit) {
  FClassName->setText(unit.isEmpty() ? QString() : QStringLiteral("T") + unit);
  FExportVocab->setText(unit);
}

bool TfrmKivParserWizard::RequiredFieldsGiven() const {
  for (const QLineEdit* edit : {FUnitName, FClassName, FImportVocab, FExportVocab})
    if (edit->text().trimmed().isEmpty()) return false;
  return true;
}

kiv::ParserTemplateOptions TfrmKivParserWizard::Options() const {
  kiv::ParserTemplateOptions options;
  options.unitName = FUnitName->text();
  options.className = FClassName->text();
  options.importVocab = FImportVocab->text();
  options.exportVocab = FExportVocab->text();
  options.interfaceUses = FIntfUses->isChecked();
  options.interfaceConst = FIntfConst->isChecked();
  options.interfaceType = FIntfType->isChecked();
  options.memberDecl = FMemberDecl->isChecked();
  options.memberDef = FMemberDef->isChecked();
  options.defaultErrorHandler = FDefaultErrorHandler->isChecked();
  return options;
}

QStringList TfrmKivParserWizard::GenerateLines() const { return kiv::ParserTemplate(Options()); }
