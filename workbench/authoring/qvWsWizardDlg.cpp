// qvWsWizardDlg.cpp
// Typed-only input fields, the wizard dialog's buttons and enabling, and the preview window.
#include "workbench/authoring/qvWsWizardDlg.h"

#include <QAbstractButton>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <Qsci/qsciscintilla.h>

#include "workbench/authoring/qvWsKivSynHL.h"

namespace kiv {

namespace {

bool isAsciiLetter(QChar c) {
  return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

bool isAsciiDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Keys that edit or move rather than type: they pass unfiltered.
bool isControlText(const QString& text) {
  return text.isEmpty() || text[0].unicode() < 0x20 || text[0].unicode() == 0x7f;
}

}  // namespace

WizardEdit::WizardEdit(InputKind kind, QWidget* parent) : QLineEdit(parent), FKind(kind) {
  setContextMenuPolicy(Qt::NoContextMenu);
  setAcceptDrops(false);
  // Composed input would bypass the key filter; identifiers are plain ASCII anyway.
  if (kind != InputKind::NoBlanks) setAttribute(Qt::WA_InputMethodEnabled, false);
}

void WizardEdit::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Paste) ||
      (event->key() == Qt::Key_Insert && event->modifiers() == Qt::ShiftModifier)) {
    event->accept();
    return;
  }
  const QString typed = event->text();
  if (isControlText(typed) || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  if (FKind == InputKind::NoBlanks) {
    if (typed.contains(QLatin1Char(' '))) event->accept();
    else QLineEdit::keyPressEvent(event);
    return;
  }
  for (const QChar c : typed) {
    const bool wordChar = isAsciiLetter(c) || isAsciiDigit(c) || c == QLatin1Char('_');
    // The rule looks at the whole field, as documented for these wizards: a non-empty field
    // takes a digit anywhere.
    if (!wordChar || (text().isEmpty() && !isAsciiLetter(c))) {
      event->accept();
      return;
    }
  }
  if (FKind == InputKind::RuleName && text().isEmpty() && typed.size() == 1 && typed[0].isLower()) {
    insert(typed.toUpper());
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void WizardEdit::mousePressEvent(QMouseEvent* event) {
  // The middle button pastes the selection on X11.
  if (event->button() == Qt::MiddleButton) {
    event->accept();
    return;
  }
  QLineEdit::mousePressEvent(event);
}

void WizardEdit::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton) {
    event->accept();
    return;
  }
  QLineEdit::mouseReleaseEvent(event);
}

void ShowGrammarPreview(QWidget* parent, const QStringList& lines) {
  QDialog window(parent);
  window.setObjectName(QStringLiteral("frmPreview"));
  window.setWindowTitle(QStringLiteral("Preview ..."));
  auto* edit = new QsciScintilla(&window);
  edit->setObjectName(QStringLiteral("PreviewEdit"));
  edit->setUtf8(true);
  const QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  edit->setFont(font);
  // The highlighter belongs to the window and goes with it.
  auto* highlighter = new TqvWsKivSynHL(&window);
  highlighter->setDefaultFont(font);
  highlighter->setFont(font, -1);
  edit->setLexer(highlighter);
  edit->setTabWidth(3);
  edit->setText(lines.join(QLatin1Char('\n')));
  edit->setReadOnly(true);
  auto* close = new QPushButton(QStringLiteral("Close"), &window);
  close->setObjectName(QStringLiteral("btnClose"));
  QObject::connect(close, &QPushButton::clicked, &window, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(&window);
  layout->addWidget(edit);
  layout->addLayout(buttons);
  window.resize(720, 560);
  window.exec();
}

}  // namespace kiv

TqvWsWizardDlg::TqvWsWizardDlg(QWidget* parent) : QDialog(parent) {
  setModal(true);
  FPages = new QTabWidget(this);
  FPages->setObjectName(QStringLiteral("pcWizard"));
  FOk = new QPushButton(QStringLiteral("OK"), this);
  FOk->setObjectName(QStringLiteral("btnOk"));
  FOk->setDefault(true);
  FCancel = new QPushButton(QStringLiteral("Cancel"), this);
  FCancel->setObjectName(QStringLiteral("btnCancel"));
  FPreview = new QPushButton(QStringLiteral("Preview"), this);
  FPreview->setObjectName(QStringLiteral("btnPreview"));
  FOk->setEnabled(false);
  FPreview->setEnabled(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(FPreview);
  buttons->addStretch();
  buttons->addWidget(FOk);
  buttons->addWidget(FCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(FPages);
  layout->addLayout(buttons);

  connect(FOk, &QPushButton::clicked, this, &TqvWsWizardDlg::accept);
  connect(FCancel, &QPushButton::clicked, this, &TqvWsWizardDlg::reject);
  connect(FPreview, &QPushButton::clicked, this, &TqvWsWizardDlg::Preview);
}

void TqvWsWizardDlg::accept() {
  // Enter in a field reaches the default button even while it is disabled.
  if (!RequiredFieldsGiven()) return;
  FLines = GenerateLines();
  QDialog::accept();
}

void TqvWsWizardDlg::Preview() {
  if (!RequiredFieldsGiven()) return;
  FLines = GenerateLines();
  kiv::ShowGrammarPreview(this, FLines);
}

void TqvWsWizardDlg::UpdateButtons() {
  const bool given = RequiredFieldsGiven();
  FOk->setEnabled(given);
  FPreview->setEnabled(given);
}

void TqvWsWizardDlg::WatchInputs(QWidget* root) {
  for (QLineEdit* edit : root->findChildren<QLineEdit*>())
    connect(edit, &QLineEdit::textChanged, this, &TqvWsWizardDlg::UpdateButtons);
  for (QAbstractButton* button : root->findChildren<QAbstractButton*>())
    if (button->isCheckable()) connect(button, &QAbstractButton::toggled, this, &TqvWsWizardDlg::UpdateButtons);
}
