// qvWsTreeView.cpp
// Nodes for modules, their images, the observer reactions and moving grammars.
#include "workbench/qvWsTreeView.h"

#include <QCursor>
#include <QDir>
#include <QHeaderView>

#include "workbench/qvIcons.h"

TqvWsTreeView::TqvWsTreeView(QWidget* parent) : QTreeWidget(parent) {
  setObjectName(QStringLiteral("tvProject"));
  setHeaderHidden(true);
  setColumnCount(1);
  setIconSize(QSize(16, 16));
  setSelectionMode(QAbstractItemView::SingleSelection);
  for (const char* name : {"qvWsWorkspace", "qvWsProject", "qvWsModule"}) {
    const QIcon icon = kiv::ResourceIcon(QString::fromLatin1(name));
    for (int copy = 0; copy < 4; ++copy) FImages.push_back(icon);
  }
  // The second module image is the greyed one of a missing grammar file.
  const QIcon module = FImages[kModuleImage];
  FImages[kMissingModuleImage] = QIcon(module.pixmap(QSize(16, 16), QIcon::Disabled));
  connect(this, &QTreeWidget::currentItemChanged, this, [this] { emit Changed(); });
}

TqvWsTreeView::~TqvWsTreeView() {
  for (const auto& [node, module] : FModules) module->RemoveObserver(this);
}

void TqvWsTreeView::setImage(QTreeWidgetItem* node, int index) {
  node->setData(0, kImageIndexRole, index);
  if (index >= 0 && index < static_cast<int>(FImages.size()))
    node->setIcon(0, FImages[static_cast<size_t>(index)]);
}

int TqvWsTreeView::ImageIndexOf(const QTreeWidgetItem* node) const {
  return node ? node->data(0, kImageIndexRole).toInt() : -1;
}

QTreeWidgetItem* TqvWsTreeView::NodeOf(const IqvWsModule* module) const {
  const auto found = FNodes.find(module);
  return found == FNodes.end() ? nullptr : found->second;
}

void TqvWsTreeView::ShowModule(const IqvWsModulePtr& module) {
  if (!module || NodeOf(module.get())) return;
  module->AddObserver(this);
  QTreeWidgetItem* node = nullptr;
  if (QTreeWidgetItem* ownerNode = NodeOf(module->GetOwner())) {
    node = new QTreeWidgetItem(ownerNode, QStringList(module->GetName()));
    showState(node, module.get());
    ownerNode->setExpanded(true);
  } else {
    node = new QTreeWidgetItem(this, QStringList(module->GetName()));
    setImage(node, module->GetKind() == kiv::kModuleKindProject ? kProjectImage : kWorkspaceImage);
    setCurrentItem(node);
  }
  FModules[node] = module;
  FNodes[module.get()] = node;
}

void TqvWsTreeView::forget(QTreeWidgetItem* node) {
  for (int i = 0; i < node->childCount(); ++i) forget(node->child(i));
  const auto found = FModules.find(node);
  if (found == FModules.end()) return;
  found->second->RemoveObserver(this);
  FNodes.erase(found->second.get());
  FModules.erase(found);
}

void TqvWsTreeView::HideModule(IqvWsModule* module) {
  QTreeWidgetItem* node = NodeOf(module);
  if (!node) return;
  // The node's module reference goes last: `module` may live only through it.
  const IqvWsModulePtr keep = FModules[node];
  forget(node);
  delete node;
}

IqvWsModulePtr TqvWsTreeView::SelectedModule() const {
  const auto found = FModules.find(currentItem());
  return found == FModules.end() ? nullptr : found->second;
}

IqvWsModulePtr TqvWsTreeView::ModuleAt(const QPoint& viewportPos) const {
  const auto found = FModules.find(itemAt(viewportPos));
  return found == FModules.end() ? nullptr : found->second;
}

IqvWsModulePtr TqvWsTreeView::ModuleUnderCursor() const {
  return ModuleAt(viewport()->mapFromGlobal(QCursor::pos()));
}

bool TqvWsTreeView::CanMoveDown() const {
  const QTreeWidgetItem* node = currentItem();
  return node && node->parent() && node->parent()->indexOfChild(const_cast<QTreeWidgetItem*>(node)) <
                                       node->parent()->childCount() - 1;
}

bool TqvWsTreeView::CanMoveUp() const {
  const QTreeWidgetItem* node = currentItem();
  return node && node->parent() && node->parent()->indexOfChild(const_cast<QTreeWidgetItem*>(node)) > 0;
}

void TqvWsTreeView::moveSelected(int step) {
  QTreeWidgetItem* node = currentItem();
  const IqvWsModulePtr module = SelectedModule();
  if (!node || !module || !node->parent()) return;
  QTreeWidgetItem* parentNode = node->parent();
  const int index = parentNode->indexOfChild(node);
  const int target = index + step;
  if (target >= 0 && target < parentNode->childCount()) {
    parentNode->takeChild(index);
    parentNode->insertChild(target, node);
    setCurrentItem(node);
  }
  if (IqvWsModule* owner = module->GetOwner()) {
    if (step > 0) owner->MoveChildDown(module.get());
    else owner->MoveChildUp(module.get());
  }
  emit Changed();
}

void TqvWsTreeView::MoveDown() { moveSelected(+1); }
void TqvWsTreeView::MoveUp() { moveSelected(-1); }

void TqvWsTreeView::ModuleLoaded(IqvWsModule*) {}
void TqvWsTreeView::ModuleClosed(IqvWsModule*) {}
void TqvWsTreeView::ModuleSaved(IqvWsModule*) {}
void TqvWsTreeView::ChildAdded(IqvWsModule*) {}

void TqvWsTreeView::showState(QTreeWidgetItem* node, IqvWsModule* module) {
  node->setText(0, module->GetName());
  if (!node->parent()) return;
  const bool missing = module->IsMissing();
  setImage(node, missing ? kMissingModuleImage : kModuleImage);
  node->setForeground(0, missing ? palette().brush(QPalette::Disabled, QPalette::Text) : palette().brush(QPalette::Text));
  const QString path = QDir::toNativeSeparators(module->GetFilePath());
  node->setToolTip(0, missing ? QStringLiteral("Grammar file \"%1\" not found").arg(path) : path);
}

void TqvWsTreeView::ModulePathChanged(IqvWsModule* module) {
  if (QTreeWidgetItem* node = NodeOf(module)) showState(node, module);
}

void TqvWsTreeView::ModuleStateChanged(IqvWsModule* module) {
  if (QTreeWidgetItem* node = NodeOf(module)) showState(node, module);
}

void TqvWsTreeView::ChildRemoved(IqvWsModule* module) { HideModule(module); }
