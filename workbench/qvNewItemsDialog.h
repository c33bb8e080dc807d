// qvNewItemsDialog.h
// TfrmNewItems: the modal "New Items" dialog, one tab per wizard category, each a list of
// large icons; double-clicking an item chooses it.
#pragma once

#include <QDialog>
#include <vector>

class IqvWsModuleWizard;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTabWidget;
class TqvWsWizardRegistry;

class TfrmNewItems : public QDialog {
  Q_OBJECT
public:
  TfrmNewItems(const TqvWsWizardRegistry& registry, QWidget* parent = nullptr);

  // The wizard of the selected item on the shown tab, or nullptr.
  IqvWsModuleWizard* ChosenWizard() const;

  QTabWidget* Pages() const { return FPages; }
  QListWidget* List(int page) const;
  QPushButton* OkButton() const { return FOk; }

private:
  void updateOk();

  QTabWidget* FPages;
  std::vector<QListWidget*> FLists;
  QPushButton* FOk;
  QPushButton* FCancel;
};
