// qvWsKivWizardControls.h
// Small builders for the controls the two grammar wizard dialogs share: named check boxes,
// labelled fields, group boxes and the "Sections" page.
#pragma once

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>
#include <initializer_list>

#include "workbench/authoring/qvWsWizardDlg.h"

namespace kiv {

inline QCheckBox* NamedCheckBox(const char* name, const QString& caption, bool checked) {
  auto* box = new QCheckBox(caption);
  box->setObjectName(QString::fromLatin1(name));
  box->setChecked(checked);
  return box;
}

inline WizardEdit* NamedEdit(const char* name, WizardEdit::InputKind kind, const QString& text = QString()) {
  auto* edit = new WizardEdit(kind);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setText(text);
  return edit;
}

// A group box holding `widgets` one below the other.
inline QGroupBox* StackedGroup(const QString& title, std::initializer_list<QWidget*> widgets) {
  auto* group = new QGroupBox(title);
  auto* layout = new QVBoxLayout(group);
  for (QWidget* widget : widgets) layout->addWidget(widget);
  layout->addStretch();
  return group;
}

// A group box of labelled fields.
inline QGroupBox* FormGroup(const QString& title, std::initializer_list<std::pair<QString, QWidget*>> rows) {
  auto* group = new QGroupBox(title);
  auto* layout = new QFormLayout(group);
  for (const auto& [label, widget] : rows) layout->addRow(label, widget);
  return group;
}

}  // namespace kiv
