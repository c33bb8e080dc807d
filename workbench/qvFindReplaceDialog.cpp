// qvFindReplaceDialog.cpp
// Layout of the find and replace dialog and the requests its buttons make.
#include "workbench/qvFindReplaceDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kiv {

FindReplaceDialog::FindReplaceDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("dlgFindReplace"));
  setModal(false);

  FFindEdit = new QLineEdit;
  FFindEdit->setObjectName(QStringLiteral("edFindText"));
  FReplaceEdit = new QLineEdit;
  FReplaceEdit->setObjectName(QStringLiteral("edReplaceText"));
  auto* findLabel = new QLabel(QStringLiteral("Fi&nd what:"));
  findLabel->setBuddy(FFindEdit);
  FReplaceLabel = new QLabel(QStringLiteral("Re&place with:"));
  FReplaceLabel->setBuddy(FReplaceEdit);

  FWholeWord = new QCheckBox(QStringLiteral("Match &whole word only"));
  FWholeWord->setObjectName(QStringLiteral("chkWholeWord"));
  FMatchCase = new QCheckBox(QStringLiteral("Match &case"));
  FMatchCase->setObjectName(QStringLiteral("chkMatchCase"));
  auto* direction = new QGroupBox(QStringLiteral("Direction"));
  FUp = new QRadioButton(QStringLiteral("&Up"));
  FUp->setObjectName(QStringLiteral("rbUp"));
  FDown = new QRadioButton(QStringLiteral("&Down"));
  FDown->setObjectName(QStringLiteral("rbDown"));
  FDown->setChecked(true);
  auto* directionLayout = new QHBoxLayout(direction);
  directionLayout->addWidget(FUp);
  directionLayout->addWidget(FDown);

  FFindNext = new QPushButton(QStringLiteral("&Find Next"));
  FFindNext->setObjectName(QStringLiteral("btnFindNext"));
  FFindNext->setDefault(true);
  FReplace = new QPushButton(QStringLiteral("&Replace"));
  FReplace->setObjectName(QStringLiteral("btnReplace"));
  FReplaceAll = new QPushButton(QStringLiteral("Replace &All"));
  FReplaceAll->setObjectName(QStringLiteral("btnReplaceAll"));
  FCancel = new QPushButton(QStringLiteral("Cancel"));
  FCancel->setObjectName(QStringLiteral("btnCancel"));

  auto* fields = new QGridLayout;
  fields->addWidget(findLabel, 0, 0);
  fields->addWidget(FFindEdit, 0, 1);
  fields->addWidget(FReplaceLabel, 1, 0);
  fields->addWidget(FReplaceEdit, 1, 1);
  auto* left = new QVBoxLayout;
  left->addLayout(fields);
  left->addWidget(FWholeWord);
  left->addWidget(FMatchCase);
  left->addWidget(direction);
  left->addStretch();
  auto* right = new QVBoxLayout;
  right->addWidget(FFindNext);
  right->addWidget(FReplace);
  right->addWidget(FReplaceAll);
  right->addWidget(FCancel);
  right->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left);
  layout->addLayout(right);

  connect(FFindEdit, &QLineEdit::textChanged, this, &FindReplaceDialog::updateButtons);
  connect(FFindNext, &QPushButton::clicked, this, [this] { emit FindRequested(FindText(), Options()); });
  connect(FReplace, &QPushButton::clicked, this, [this] {
    emit ReplaceRequested(FindText(), ReplaceText(), Options() | FindOption::Replace);
  });
  connect(FReplaceAll, &QPushButton::clicked, this, [this] {
    emit ReplaceRequested(FindText(), ReplaceText(), Options() | FindOption::ReplaceAll);
  });
  connect(FCancel, &QPushButton::clicked, this, &QDialog::hide);
  applyMode(Mode::Find);
}

void FindReplaceDialog::ShowAs(Mode mode) {
  applyMode(mode);
  show();
  raise();
  activateWindow();
  FFindEdit->setFocus();
  FFindEdit->selectAll();
}

void FindReplaceDialog::applyMode(Mode mode) {
  FMode = mode;
  const bool replacing = mode == Mode::Replace;
  setWindowTitle(replacing ? QStringLiteral("Replace") : QStringLiteral("Find"));
  FReplaceLabel->setVisible(replacing);
  FReplaceEdit->setVisible(replacing);
  FReplace->setVisible(replacing);
  FReplaceAll->setVisible(replacing);
  updateButtons();
}

QString FindReplaceDialog::FindText() const { return FFindEdit->text(); }
void FindReplaceDialog::SetFindText(const QString& text) { FFindEdit->setText(text); }
QString FindReplaceDialog::ReplaceText() const { return FReplaceEdit->text(); }

FindOptions FindReplaceDialog::Options() const {
  FindOptions options;
  if (FDown->isChecked()) options |= FindOption::Down;
  if (FMatchCase->isChecked()) options |= FindOption::MatchCase;
  if (FWholeWord->isChecked()) options |= FindOption::WholeWord;
  return options;
}

void FindReplaceDialog::updateButtons() {
  const bool hasText = !FFindEdit->text().isEmpty();
  FFindNext->setEnabled(hasText);
  FReplace->setEnabled(hasText);
  FReplaceAll->setEnabled(hasText);
}

}  // namespace kiv
