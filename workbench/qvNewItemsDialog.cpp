// qvNewItemsDialog.cpp
// Tabs, icon lists and OK enabling of the "New Items" dialog.
#include "workbench/qvNewItemsDialog.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "workbench/qvIcons.h"
#include "workbench/qvWsWizardRegistry.h"

namespace {
constexpr int kWizardRole = Qt::UserRole + 1;
}

TfrmNewItems::TfrmNewItems(const TqvWsWizardRegistry& registry, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmNewItems"));
  setWindowTitle(QStringLiteral("New Items"));
  setModal(true);

  FPages = new QTabWidget(this);
  FPages->setObjectName(QStringLiteral("pcNewItems"));
  for (const QString& category : registry.Categories()) {
    auto* list = new QListWidget;
    list->setObjectName(QStringLiteral("lv_") + category);
    list->setViewMode(QListView::IconMode);
    list->setIconSize(QSize(32, 32));
    list->setGridSize(QSize(96, 72));
    list->setMovement(QListView::Static);
    list->setResizeMode(QListView::Adjust);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    for (IqvWsModuleWizard* wizard : registry.WizardsOf(category)) {
      auto* item = new QListWidgetItem(kiv::ResourceIcon(wizard->GetIconResource()),
                                       wizard->GetDisplayName(), list);
      item->setData(kWizardRole, QVariant::fromValue(static_cast<void*>(wizard)));
      item->setToolTip(wizard->GetDescription());
    }
    connect(list, &QListWidget::itemSelectionChanged, this, &TfrmNewItems::updateOk);
    connect(list, &QListWidget::itemDoubleClicked, this, [this, list](QListWidgetItem* item) {
      list->setCurrentItem(item);
      accept();
    });
    FPages->addTab(list, category);
    FLists.push_back(list);
  }
  connect(FPages, &QTabWidget::currentChanged, this, &TfrmNewItems::updateOk);

  FOk = new QPushButton(QStringLiteral("OK"));
  FOk->setObjectName(QStringLiteral("btnOk"));
  FOk->setDefault(true);
  FCancel = new QPushButton(QStringLiteral("Cancel"));
  FCancel->setObjectName(QStringLiteral("btnCancel"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(FOk);
  buttons->addWidget(FCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(FPages);
  layout->addLayout(buttons);
  resize(420, 300);

  connect(FOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(FCancel, &QPushButton::clicked, this, &QDialog::reject);
  updateOk();
}

QListWidget* TfrmNewItems::List(int page) const {
  if (page < 0 || page >= static_cast<int>(FLists.size())) return nullptr;
  return FLists[static_cast<size_t>(page)];
}

IqvWsModuleWizard* TfrmNewItems::ChosenWizard() const {
  const QListWidget* list = List(FPages->currentIndex());
  if (!list) return nullptr;
  const QList<QListWidgetItem*> selected = list->selectedItems();
  if (selected.isEmpty()) return nullptr;
  return static_cast<IqvWsModuleWizard*>(selected.first()->data(kWizardRole).value<void*>());
}

void TfrmNewItems::updateOk() { FOk->setEnabled(ChosenWizard() != nullptr); }
