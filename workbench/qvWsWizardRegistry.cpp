// qvWsWizardRegistry.cpp
// Registration of wizards by category and the choice through "New Items".
#include "workbench/qvWsWizardRegistry.h"

#include <algorithm>

#include "workbench/qvNewItemsDialog.h"

void TqvWsWizardRegistry::Register(const std::vector<IqvWsModuleWizard*>& wizards,
                                   const QString& category) {
  for (IqvWsModuleWizard* wizard : wizards) {
    if (!wizard) continue;
    wizard->SetCategory(category);
    if (std::find(FWizards.begin(), FWizards.end(), wizard) == FWizards.end())
      FWizards.push_back(wizard);
  }
}

QStringList TqvWsWizardRegistry::Categories() const {
  QStringList categories;
  for (const IqvWsModuleWizard* wizard : FWizards)
    if (!categories.contains(wizard->GetCategory())) categories << wizard->GetCategory();
  return categories;
}

std::vector<IqvWsModuleWizard*> TqvWsWizardRegistry::WizardsOf(const QString& category) const {
  std::vector<IqvWsModuleWizard*> wizards;
  for (IqvWsModuleWizard* wizard : FWizards)
    if (wizard->GetCategory() == category) wizards.push_back(wizard);
  return wizards;
}

IqvWsModuleWizard* TqvWsWizardRegistry::Choose(QWidget* parent) const {
  TfrmNewItems dialog(*this, parent);
  if (dialog.exec() != QDialog::Accepted) return nullptr;
  return dialog.ChosenWizard();
}
