// qvWsWizardDlg.h
// TqvWsWizardDlg: the modal dialog base of the grammar wizards. It owns the generated grammar
// lines, the "OK", "Cancel" and "Preview" buttons and the preview window; the input fields
// (kiv::WizardEdit) accept typed text only.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QStringList>

class QPushButton;
class QTabWidget;

namespace kiv {

// A text field of a wizard dialog. Text can only be typed: pasting (by key, context menu, drop
// or middle click) is refused. The kind decides which typed characters are taken.
class WizardEdit : public QLineEdit {
  Q_OBJECT
public:
  enum class InputKind {
    Identifier,  // letters, digits and "_"; while the field is empty only a letter
    RuleName,    // as Identifier, and a lower-case letter typed into the empty field becomes upper case
    NoBlanks,    // anything but the blank
  };

  explicit WizardEdit(InputKind kind, QWidget* parent = nullptr);
  InputKind Kind() const { return FKind; }

protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

private:
  InputKind FKind;
};

// Shows `lines` in a modal window captioned "Preview ..." with a read-only, highlighted editor.
void ShowGrammarPreview(QWidget* parent, const QStringList& lines);

}  // namespace kiv

class TqvWsWizardDlg : public QDialog {
  Q_OBJECT
public:
  explicit TqvWsWizardDlg(QWidget* parent = nullptr);

  // The grammar built by the last "OK" or "Preview".
  const QStringList& Lines() const { return FLines; }

  QTabWidget* Pages() const { return FPages; }
  QPushButton* OkButton() const { return FOk; }
  QPushButton* CancelButton() const { return FCancel; }
  QPushButton* PreviewButton() const { return FPreview; }

  // Rebuilds the lines, then closes with OK.
  void accept() override;
  // Rebuilds the lines and shows them in the preview window.
  void Preview();

protected:
  // The grammar text for the dialog's current choices.
  virtual QStringList GenerateLines() const = 0;
  // Whether every required field holds more than blanks.
  virtual bool RequiredFieldsGiven() const = 0;
  // Enables "OK" and "Preview" together when the required fields are given; the subclass calls
  // it on every change of a field or option.
  void UpdateButtons();
  // Calls UpdateButtons whenever any field or option below `root` changes.
  void WatchInputs(QWidget* root);

private:
  QStringList FLines;
  QTabWidget* FPages;
  QPushButton* FOk;
  QPushButton* FCancel;
  QPushButton* FPreview;
};
