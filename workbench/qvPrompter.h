// qvPrompter.h
// The one channel through which the workbench asks the user anything: message boxes, the
// Yes/No/Cancel question, file and folder dialogs and the print dialog. Tests install their own.
#pragma once

#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

namespace kiv {

enum class MessageKind { Information, Warning, Error };
enum class PromptAnswer { Yes, No, Cancel };

// What a file dialog needs. The filter uses the "Description (*.ext)|*.ext" pairs that the
// workbench's wizards carry; it is converted to Qt's form when a dialog is shown.
struct FileDialogRequest {
  QString title;
  QString directory;
  QString filter;
  QString defaultExtension;
  QString fileName;  // preset name (save dialogs)
};

// What the print dialog may offer.
struct PrintRequest {
  bool hasSelection = false;
  int pageCount = 1;
};

// Answers of a confirmed print dialog.
enum class PrintRangeKind { All, Selection, Pages };
struct PrintChoice {
  PrintRangeKind range = PrintRangeKind::All;
  int fromPage = 0;
  int toPage = 0;
};

class UserPrompter {
public:
  virtual ~UserPrompter() = default;

  virtual void ShowMessage(QWidget* parent, MessageKind kind, const QString& caption,
                           const QString& text) = 0;
  virtual PromptAnswer AskYesNoCancel(QWidget* parent, const QString& caption,
                                      const QString& text) = 0;
  // Each returns the chosen path(s), or an empty result when the user cancelled.
  virtual QString ChooseOpenFile(QWidget* parent, const FileDialogRequest& request) = 0;
  virtual QStringList ChooseOpenFiles(QWidget* parent, const FileDialogRequest& request) = 0;
  virtual QString ChooseSaveFile(QWidget* parent, const FileDialogRequest& request) = 0;
  virtual QString ChooseFolder(QWidget* parent, const QString& title, const QString& start) = 0;
  // Shows the print dialog for `printer`; false when it was cancelled.
  virtual bool ChoosePrint(QWidget* parent, QPrinter& printer, const PrintRequest& request,
                           PrintChoice& choice) = 0;
  // Asks for a whole number between `minimum` and `maximum`, proposing `value`; false when
  // the user cancelled.
  virtual bool AskNumber(QWidget* parent, const QString& caption, const QString& label, int value,
                         int minimum, int maximum, int& answer) = 0;
};

// The prompter backed by Qt's standard dialogs.
class DialogPrompter : public UserPrompter {
public:
  void ShowMessage(QWidget* parent, MessageKind kind, const QString& caption,
                   const QString& text) override;
  PromptAnswer AskYesNoCancel(QWidget* parent, const QString& caption,
                              const QString& text) override;
  QString ChooseOpenFile(QWidget* parent, const FileDialogRequest& request) override;
  QStringList ChooseOpenFiles(QWidget* parent, const FileDialogRequest& request) override;
  QString ChooseSaveFile(QWidget* parent, const FileDialogRequest& request) override;
  QString ChooseFolder(QWidget* parent, const QString& title, const QString& start) override;
  bool ChoosePrint(QWidget* parent, QPrinter& printer, const PrintRequest& request,
                   PrintChoice& choice) override;
  bool AskNumber(QWidget* parent, const QString& caption, const QString& label, int value,
                 int minimum, int maximum, int& answer) override;
};

// The prompter in use. Without an installed one, a process-wide DialogPrompter answers.
UserPrompter& Prompter();
// Installs `prompter` (borrowed; nullptr restores the dialog prompter).
void SetPrompter(UserPrompter* prompter);

// "KIV Grammar (*.g)|*.g|All (*.*)|*.*" -> "KIV Grammar (*.g);;All (*.*)": the description of
// each pair is kept, and the pattern is appended in brackets when the description lacks it.
QString QtFileFilter(const QString& pairs);

}  // namespace kiv
