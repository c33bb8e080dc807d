// qvFindReplaceDialog.h
// The find and replace dialogs: a modeless dialog that gathers the search text, the replacement
// and the options, and hands each request to whoever listens (the main window forwards them to
// the current editor).
#pragma once

#include <QDialog>

#include "workbench/qvFindOptions.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kiv {

class FindReplaceDialog : public QDialog {
  Q_OBJECT
public:
  enum class Mode { Find, Replace };

  explicit FindReplaceDialog(QWidget* parent = nullptr);

  // Shows the dialog as the find dialog or as the replace dialog.
  void ShowAs(Mode mode);
  Mode CurrentMode() const { return FMode; }

  QString FindText() const;
  void SetFindText(const QString& text);
  QString ReplaceText() const;
  // Direction, match case and whole word as currently chosen.
  FindOptions Options() const;

  QLineEdit* FindEdit() const { return FFindEdit; }
  QLineEdit* ReplaceEdit() const { return FReplaceEdit; }
  QCheckBox* MatchCaseBox() const { return FMatchCase; }
  QCheckBox* WholeWordBox() const { return FWholeWord; }
  QRadioButton* UpButton() const { return FUp; }
  QRadioButton* DownButton() const { return FDown; }
  QPushButton* FindNextButton() const { return FFindNext; }
  QPushButton* ReplaceButton() const { return FReplace; }
  QPushButton* ReplaceAllButton() const { return FReplaceAll; }

signals:
  void FindRequested(const QString& text, kiv::FindOptions options);
  void ReplaceRequested(const QString& findText, const QString& replacement, kiv::FindOptions options);

private:
  void applyMode(Mode mode);
  void updateButtons();

  Mode FMode = Mode::Find;
  QLineEdit* FFindEdit;
  QLabel* FReplaceLabel;
  QLineEdit* FReplaceEdit;
  QCheckBox* FMatchCase;
  QCheckBox* FWholeWord;
  QRadioButton* FUp;
  QRadioButton* FDown;
  QPushButton* FFindNext;
  QPushButton* FReplace;
  QPushButton* FReplaceAll;
  QPushButton* FCancel;
};

}  // namespace kiv
