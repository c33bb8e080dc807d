// qvWsKivLexerWizardDlg.cpp
// The lexer wizard's three pages, the fields that follow the unit name and the comment begin,
// and the required fields.
#include "workbench/authoring/qvWsKivLexerWizardDlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabWidget>

#include "workbench/authoring/qvWsKivWizardControls.h"

using kiv::NamedCheckBox;
using kiv::NamedEdit;
using Kind = kiv::WizardEdit::InputKind;

TfrmKivLexerWizard::TfrmKivLexerWizard(QWidget* parent) : TqvWsWizardDlg(parent) {
  setObjectName(QStringLiteral("frmKivLexerWizard"));
  setWindowTitle(QStringLiteral("KIV Lexer Wizard"));
  Pages()->addTab(makeGeneralPage(), QStringLiteral("General"));
  Pages()->addTab(makeRulesPage(), QStringLiteral("Rules"));
  Pages()->addTab(makeSectionsPage(), QStringLiteral("Sections"));

  connect(FUnitName, &QLineEdit::textChanged, this, &TfrmKivLexerWizard::unitNameChanged);
  connect(FMultiLineBegin, &QLineEdit::textChanged, this,
          [this](const QString& begin) { FMultiLineEnd->setText(kiv::MirroredCommentEnd(begin)); });
  for (QCheckBox* box : {FFilterLexer, FSingleLine, FMultiLine})
    connect(box, &QCheckBox::toggled, this, &TfrmKivLexerWizard::updateEnabling);
  WatchInputs(Pages());
  updateEnabling();
  UpdateButtons();
  FUnitName->setFocus();
}

QWidget* TfrmKivLexerWizard::makeGeneralPage() {
  FUnitName = NamedEdit("edUnitName", Kind::Identifier);
  FClassName = NamedEdit("edClassName", Kind::Identifier);
  FCaseSensitive = NamedCheckBox("chkCaseSensitive", QStringLiteral("Case sensitive"), false);
  FTestLiterals = NamedCheckBox("chkTestLiterals", QStringLiteral("Test literals"), false);
  FFilterLexer = NamedCheckBox("chkFilterLexer", QStringLiteral("Filter lexer"), false);
  FFilterRule = NamedEdit("edFilterRule", Kind::RuleName);
  FImportVocab = NamedEdit("edImportVocab", Kind::Identifier);
  FExportVocab = NamedEdit("edExportVocab", Kind::Identifier);

  auto* options = new QGroupBox(QStringLiteral("Lexer options"));
  auto* optionsLayout = new QVBoxLayout(options);
  optionsLayout->addWidget(FCaseSensitive);
  optionsLayout->addWidget(FTestLiterals);
  auto* filterRow = new QHBoxLayout;
  filterRow->addWidget(FFilterLexer);
  filterRow->addWidget(FFilterRule, 1);
  optionsLayout->addLayout(filterRow);
  optionsLayout->addStretch();

  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(kiv::FormGroup(QStringLiteral("Lexer class"),
                                   {{QStringLiteral("Unit name:"), FUnitName},
                                    {QStringLiteral("Class name:"), FClassName}}));
  layout->addWidget(options);
  layout->addWidget(kiv::FormGroup(QStringLiteral("Token vocabulary"),
                                   {{QStringLiteral("Import:"), FImportVocab},
                                    {QStringLiteral("Export:"), FExportVocab}}));
  layout->addStretch();
  return page;
}

QWidget* TfrmKivLexerWizard::makeRulesPage() {
  FSingleLine = NamedCheckBox("chkSingleLineComment", QStringLiteral("Single line comment"), true);
  FSingleLineBegin = NamedEdit("edSingleLineBegin", Kind::NoBlanks, QStringLiteral("//"));
  FMultiLine = NamedCheckBox("chkMultiLineComment", QStringLiteral("Multi line comment"), true);
  FMultiLineBegin = NamedEdit("edMultiLineBegin", Kind::NoBlanks, QStringLiteral("(*"));
  FMultiLineEnd = NamedEdit("edMultiLineEnd", Kind::NoBlanks, QStringLiteral("*)"));
  FCrLf = NamedCheckBox("chkCrLf", QStringLiteral("Microsoft format (CR LF)"), true);
  FLf = NamedCheckBox("chkLf", QStringLiteral("Unix format (LF)"), true);
  FCr = NamedCheckBox("chkCr", QStringLiteral("Macintosh format (CR)"), true);
  FSpace = NamedCheckBox("chkSpace", QStringLiteral("Space character"), true);
  FTab = NamedCheckBox("chkTab", QStringLiteral("TAB character"), true);

  auto* comments = new QGroupBox(QStringLiteral("Comments"));
  auto* grid = new QGridLayout(comments);
  grid->addWidget(FSingleLine, 0, 0);
  grid->addWidget(new QLabel(QStringLiteral("Begin:")), 0, 1);
  grid->addWidget(FSingleLineBegin, 0, 2);
  grid->addWidget(FMultiLine, 1, 0);
  grid->addWidget(new QLabel(QStringLiteral("Begin:")), 1, 1);
  grid->addWidget(FMultiLineBegin, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("End:")), 1, 3);
  grid->addWidget(FMultiLineEnd, 1, 4);

  auto* lower = new QHBoxLayout;
  lower->addWidget(kiv::StackedGroup(QStringLiteral("NewLine"), {FCrLf, FLf, FCr}));
  lower->addWidget(kiv::StackedGroup(QStringLiteral("WhiteSpace"), {FSpace, FTab}));
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(comments);
  layout->addLayout(lower);
  layout->addStretch();
  return page;
}

QWidget* TfrmKivLexerWizard::makeSectionsPage() {
  FIntfUses = NamedCheckBox("chkIntfUses", QStringLiteral("uses {...}"), true);
  FIntfConst = NamedCheckBox("chkIntfConst", QStringLiteral("const {...}"), true);
  FIntfType = NamedCheckBox("chkIntfType", QStringLiteral("type  {...}"), true);
  FTokens = NamedCheckBox("chkTokens", QStringLiteral("tokens {...}"), true);
  FMemberDecl = NamedCheckBox("chkMemberDecl", QStringLiteral("memberdecl {...}"), true);
  // Shown for the unit's layout; generated units take their implementation uses elsewhere.
  FImplUses = NamedCheckBox("chkImplUses", QStringLiteral("uses {...}"), false);
  FImplUses->setEnabled(false);
  FMemberDef = NamedCheckBox("chkMemberDef", QStringLiteral("memberdef {...}"), true);

  auto* page = new QWidget;
  auto* layout = new QHBoxLayout(page);
  layout->addWidget(kiv::StackedGroup(QStringLiteral("Interface"), {FIntfUses, FIntfConst, FIntfType}));
  layout->addWidget(kiv::StackedGroup(QStringLiteral("Class"), {FTokens, FMemberDecl}));
  layout->addWidget(kiv::StackedGroup(QStringLiteral("Implementation"), {FImplUses, FMemberDef}));
  return page;
}

void TfrmKivLexerWizard::unitNameChanged(const QString& unit) {
  FClassName->setText(unit.isEmpty() ? QString() : QStringLiteral("T") + unit);
  FExportVocab->setText(unit);
}

void TfrmKivLexerWizard::updateEnabling() {
  FFilterRule->setEnabled(FFilterLexer->isChecked());
  FSingleLineBegin->setEnabled(FSingleLine->isChecked());
  FMultiLineBegin->setEnabled(FMultiLine->isChecked());
  FMultiLineEnd->setEnabled(FMultiLine->isChecked());
}

bool TfrmKivLexerWizard::RequiredFieldsGiven() const {
  const auto given = [](const QLineEdit* edit) { return !edit->text().trimmed().isEmpty(); };
  if (!given(FUnitName) || !given(FClassName) || !given(FExportVocab)) return false;
  if (FSingleLine->isChecked() && !given(FSingleLineBegin)) return false;
  if (FMultiLine->isChecked() && (!given(FMultiLineBegin) || !given(FMultiLineEnd))) return false;
  return true;
}

kiv::LexerTemplateOptions TfrmKivLexerWizard::Options() const {
  kiv::LexerTemplateOptions options;
  options.unitName = FUnitName->text();
  options.className = FClassName->text();
  options.importVocab = FImportVocab->text();
  options.exportVocab = FExportVocab->text();
  options.interfaceUses = FIntfUses->isChecked();
  options.interfaceConst = FIntfConst->isChecked();
  options.interfaceType = FIntfType->isChecked();
  options.memberDecl = FMemberDecl->isChecked();
  options.memberDef = FMemberDef->isChecked();
  options.caseSensitive = FCaseSensitive->isChecked();
  options.testLiterals = FTestLiterals->isChecked();
  options.filterLexer = FFilterLexer->isChecked();
  options.filterRule = FFilterRule->text();
  options.tokens = FTokens->isChecked();
  options.singleLineComment = FSingleLine->isChecked();
  options.singleLineBegin = FSingleLineBegin->text();
  options.multiLineComment = FMultiLine->isChecked();
  options.multiLineBegin = FMultiLineBegin->text();
  options.multiLineEnd = FMultiLineEnd->text();
  options.newLineCrLf = FCrLf->isChecked();
  options.newLineLf = FLf->isChecked();
  options.newLineCr = FCr->isChecked();
  options.whiteSpaceSpace = FSpace->isChecked();
  options.whiteSpaceTab = FTab->isChecked();
  return options;
}

QStringList TfrmKivLexerWizard::GenerateLines() const { return kiv::LexerTemplate(Options()); }
