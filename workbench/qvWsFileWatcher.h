// qvWsFileWatcher.h
// TqvWsFileWatcher: watches the files of a project's grammar modules, and their folders (so that
// a file deleted, put back or replaced by another program's atomic save is noticed too), and
// reports, after a short calm, that the disk may have changed.
#pragma once

#include <QObject>
#include <map>

#include "workbench/qvWsModuleIntf.h"

class QFileSystemWatcher;
class QTimer;

class TqvWsFileWatcher : public QObject, public IqvWsModuleObserver {
  Q_OBJECT
public:
  explicit TqvWsFileWatcher(QObject* parent = nullptr);
  ~TqvWsFileWatcher() override;

  // Watches the grammar modules of `project` as they come and go; nullptr stops watching.
  void WatchProject(const IqvWsModulePtr& project);
  // The files watched now (for tests and the status of a module).
  QStringList WatchedFiles() const;

  void ModuleLoaded(IqvWsModule*) override {}
  void ModuleClosed(IqvWsModule*) override {}
  void ModuleSaved(IqvWsModule*) override {}
  void ModulePathChanged(IqvWsModule* module) override;
  void ChildAdded(IqvWsModule* module) override;
  void ChildRemoved(IqvWsModule* module) override;

signals:
  // Something changed in a watched file or folder; the receiver looks at each module's file.
  void DiskChanged();

private:
  void watchModule(const IqvWsModulePtr& module);
  void forget(IqvWsModule* module);
  void refreshPaths();
  void noticed();

  QFileSystemWatcher* FWatcher;
  QTimer* FCalm;
  IqvWsModulePtr FProject;
  std::map<IqvWsModule*, IqvWsModulePtr> FModules;
};
