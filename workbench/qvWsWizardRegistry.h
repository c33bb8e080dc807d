// qvWsWizardRegistry.h
// TqvWsWizardRegistry: the module wizards the workbench offers as "New Items", by category.
#pragma once

#include <QStringList>
#include <vector>

#include "workbench/qvWsModuleIntf.h"

class QWidget;

class TqvWsWizardRegistry {
public:
  // Adds each wizard (once) and gives it `category`.
  void Register(const std::vector<IqvWsModuleWizard*>& wizards, const QString& category);
  const std::vector<IqvWsModuleWizard*>& Wizards() const { return FWizards; }
  // Categories in the order they first appear among the wizards.
  QStringList Categories() const;
  std::vector<IqvWsModuleWizard*> WizardsOf(const QString& category) const;

  // Shows the modal "New Items" dialog; the chosen wizard, or nullptr when cancelled.
  IqvWsModuleWizard* Choose(QWidget* parent) const;

private:
  std::vector<IqvWsModuleWizard*> FWizards;
};
