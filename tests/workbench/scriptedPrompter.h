// scriptedPrompter.h
// A prompter for tests: answers questions and dialogs from a script and records what was asked.
#pragma once

#include <QPrinter>
#include <deque>
#include <vector>

#include "workbench/qvPrompter.h"

class ScriptedPrompter : public kiv::UserPrompter {
public:
  struct Message {
    kiv::MessageKind kind;
    QString caption;
    QString text;
  };

  ScriptedPrompter() { kiv::SetPrompter(this); }
  ~ScriptedPrompter() override { kiv::SetPrompter(nullptr); }

  // Scripted answers, used in order. An empty file name cancels a dialog; when the script runs
  // out, questions are cancelled and dialogs answer nothing.
  std::deque<kiv::PromptAnswer> answers;
  std::deque<QString> files;
  bool acceptPrint = false;
  kiv::PrintChoice printChoice;
  QString printFile;
  std::deque<int> numbers;  // answers of AskNumber; none left cancels

  // What was asked.
  std::vector<Message> messages;
  QStringList questions;
  std::vector<kiv::FileDialogRequest> fileRequests;
  QStringList folderRequests;
  std::vector<kiv::PrintRequest> printRequests;
  QStringList numberRequests;

  void ShowMessage(QWidget*, kiv::MessageKind kind, const QString& caption, const QString& text) override {
    messages.push_back({kind, caption, text});
  }
  kiv::PromptAnswer AskYesNoCancel(QWidget*, const QString& caption, const QString& text) override {
    questions << caption + QStringLiteral(": ") + text;
    if (answers.empty()) return kiv::PromptAnswer::Cancel;
    const kiv::PromptAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  QString ChooseOpenFile(QWidget*, const kiv::FileDialogRequest& request) override { return nextFile(request); }
  QStringList ChooseOpenFiles(QWidget*, const kiv::FileDialogRequest& request) override {
    const QString file = nextFile(request);
    return file.isEmpty() ? QStringList() : QStringList(file);
  }
  QString ChooseSaveFile(QWidget*, const kiv::FileDialogRequest& request) override { return nextFile(request); }
  QString ChooseFolder(QWidget*, const QString& title, const QString& start) override {
    folderRequests << title + QStringLiteral(": ") + start;
    return popFile();
  }
  bool ChoosePrint(QWidget*, QPrinter& printer, const kiv::PrintRequest& request,
                   kiv::PrintChoice& choice) override {
    printRequests.push_back(request);
    if (!acceptPrint) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printFile);
    choice = printChoice;
    return true;
  }

  bool AskNumber(QWidget*, const QString& caption, const QString& label, int value, int minimum,
                 int maximum, int& answer) override {
    numberRequests << QStringLiteral("%1: %2 %3 [%4..%5]").arg(caption, label).arg(value).arg(minimum).arg(maximum);
    if (numbers.empty()) return false;
    answer = numbers.front();
    numbers.pop_front();
    return true;
  }

private:
  QString nextFile(const kiv::FileDialogRequest& request) {
    fileRequests.push_back(request);
    return popFile();
  }
  QString popFile() {
    if (files.empty()) return {};
    const QString file = files.front();
    files.pop_front();
    return file;
  }
};
