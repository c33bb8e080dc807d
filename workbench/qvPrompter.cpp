// qvPrompter.cpp
// Qt dialogs behind the workbench's prompt channel, and the installed-prompter switch.
#include "workbench/qvPrompter.h"

#include <memory>

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace kiv {

namespace {

UserPrompter* installedPrompter = nullptr;

QFileDialog* makeFileDialog(QWidget* parent, const FileDialogRequest& request) {
  auto* dialog = new QFileDialog(parent, request.title, request.directory);
  dialog->setNameFilter(QtFileFilter(request.filter));
  dialog->setDefaultSuffix(request.defaultExtension);
  if (!request.fileName.isEmpty()) dialog->selectFile(request.fileName);
  return dialog;
}

}  // namespace

UserPrompter& Prompter() {
  static DialogPrompter dialogs;
  return installedPrompter ? *installedPrompter : dialogs;
}

void SetPrompter(UserPrompter* prompter) { installedPrompter = prompter; }

QString QtFileFilter(const QString& pairs) {
  const QStringList parts = pairs.split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i].trimmed();
    const QString pattern = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
    if (!description.contains(QLatin1Char('('))) description += QStringLiteral(" (%1)").arg(pattern);
    filters << description;
  }
  if (filters.isEmpty() && !pairs.isEmpty()) filters << pairs;
  return filters.join(QStringLiteral(";;"));
}

void DialogPrompter::ShowMessage(QWidget* parent, MessageKind kind, const QString& caption,
                                 const QString& text) {
  switch (kind) {
    case MessageKind::Information: QMessageBox::information(parent, caption, text); break;
    case MessageKind::Warning: QMessageBox::warning(parent, caption, text); break;
    case MessageKind::Error: QMessageBox::critical(parent, caption, text); break;
  }
}

PromptAnswer DialogPrompter::AskYesNoCancel(QWidget* parent, const QString& caption,
                                            const QString& text) {
  const auto button = QMessageBox::question(
      parent, caption, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
      QMessageBox::Yes);
  if (button == QMessageBox::Yes) return PromptAnswer::Yes;
  if (button == QMessageBox::No) return PromptAnswer::No;
  return PromptAnswer::Cancel;
}

QString DialogPrompter::ChooseOpenFile(QWidget* parent, const FileDialogRequest& request) {
  std::unique_ptr<QFileDialog> dialog(makeFileDialog(parent, request));
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  dialog->setFileMode(QFileDialog::ExistingFile);
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return {};
  return dialog->selectedFiles().first();
}

QStringList DialogPrompter::ChooseOpenFiles(QWidget* parent, const FileDialogRequest& request) {
  std::unique_ptr<QFileDialog> dialog(makeFileDialog(parent, request));
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  dialog->setFileMode(QFileDialog::ExistingFiles);
  if (dialog->exec() != QDialog::Accepted) return {};
  return dialog->selectedFiles();
}

QString DialogPrompter::ChooseSaveFile(QWidget* parent, const FileDialogRequest& request) {
  std::unique_ptr<QFileDialog> dialog(makeFileDialog(parent, request));
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setFileMode(QFileDialog::AnyFile);
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return {};
  return dialog->selectedFiles().first();
}

QString DialogPrompter::ChooseFolder(QWidget* parent, const QString& title,
                                     const QString& start) {
  return QFileDialog::getExistingDirectory(parent, title, start);
}

bool DialogPrompter::ChoosePrint(QWidget* parent, QPrinter& printer, const PrintRequest& request,
                                 PrintChoice& choice) {
  QPrintDialog dialog(&printer, parent);
  QAbstractPrintDialog::PrintDialogOptions options = QAbstractPrintDialog::PrintToFile;
  if (request.hasSelection) options |= QAbstractPrintDialog::PrintSelection;
  if (request.pageCount > 1) {
    options |= QAbstractPrintDialog::PrintPageRange;
    dialog.setMinMax(1, request.pageCount);
    printer.setFromTo(0, 0);  // all pages preselected
  }
  dialog.setOptions(options);
  if (dialog.exec() != QDialog::Accepted) return false;
  switch (dialog.printRange()) {
    case QAbstractPrintDialog::Selection: choice.range = PrintRangeKind::Selection; break;
    case QAbstractPrintDialog::PageRange:
      choice.range = PrintRangeKind::Pages;
      choice.fromPage = printer.fromPage();
      choice.toPage = printer.toPage();
      break;
    default: choice.range = PrintRangeKind::All; break;
  }
  return true;
}

bool DialogPrompter::AskNumber(QWidget* parent, const QString& caption, const QString& label,
                               int value, int minimum, int maximum, int& answer) {
  bool ok = false;
  const int number = QInputDialog::getInt(parent, caption, label, value, minimum, maximum, 1, &ok);
  if (ok) answer = number;
  return ok;
}

}  // namespace kiv
