// qvWsTreeView.h
// TqvWsTreeView: the project tree. It shows modules as nodes (the project as a root, its
// grammars below; a grammar whose file is missing greyed, with a tool tip that says so),
// observes them to follow renames, removals and missing files, and moves grammars up and down in
// the project order.
#pragma once

#include <QIcon>
#include <QTreeWidget>
#include <map>
#include <vector>

#include "workbench/qvWsModuleIntf.h"

class TqvWsTreeView : public QTreeWidget, public IqvWsModuleObserver {
  Q_OBJECT
public:
  // Image list indices: four workspace images, four project images, four module images.
  static constexpr int kWorkspaceImage = 0;
  static constexpr int kProjectImage = 4;
  static constexpr int kModuleImage = 8;
  // A grammar whose file is missing: the module image, greyed.
  static constexpr int kMissingModuleImage = 9;
  static constexpr int kImageIndexRole = Qt::UserRole + 1;

  explicit TqvWsTreeView(QWidget* parent = nullptr);
  ~TqvWsTreeView() override;

  // Adds a node for `module` (under its owner's node when it has an owner that is shown) and
  // observes it.
  void ShowModule(const IqvWsModulePtr& module);
  // Deletes the module's node (and the nodes below it) and stops observing them.
  void HideModule(IqvWsModule* module);

  IqvWsModulePtr SelectedModule() const;
  // The module whose node is at `viewportPos`, or nullptr when no item is there.
  IqvWsModulePtr ModuleAt(const QPoint& viewportPos) const;
  // The module under the mouse cursor.
  IqvWsModulePtr ModuleUnderCursor() const;
  QTreeWidgetItem* NodeOf(const IqvWsModule* module) const;
  int ImageIndexOf(const QTreeWidgetItem* node) const;
  const std::vector<QIcon>& Images() const { return FImages; }

  // Swap the selected module's node with its next / previous sibling and tell the owner.
  void MoveDown();
  void MoveUp();
  bool CanMoveDown() const;
  bool CanMoveUp() const;

  void ModuleLoaded(IqvWsModule* module) override;
  void ModuleClosed(IqvWsModule* module) override;
  void ModuleSaved(IqvWsModule* module) override;
  void ModulePathChanged(IqvWsModule* module) override;
  void ChildAdded(IqvWsModule* module) override;
  void ChildRemoved(IqvWsModule* module) override;
  void ModuleStateChanged(IqvWsModule* module) override;

signals:
  // The tree's change event: selection moved or the order changed.
  void Changed();

private:
  void setImage(QTreeWidgetItem* node, int index);
  // The node's text, image, colour and tool tip for its module's state.
  void showState(QTreeWidgetItem* node, IqvWsModule* module);
  void forget(QTreeWidgetItem* node);
  void moveSelected(int step);

  std::vector<QIcon> FImages;
  std::map<const QTreeWidgetItem*, IqvWsModulePtr> FModules;
  std::map<const IqvWsModule*, QTreeWidgetItem*> FNodes;
};
