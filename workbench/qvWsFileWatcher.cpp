// qvWsFileWatcher.cpp
// Module files and folders in a QFileSystemWatcher, kept in step with the project's modules.
#include "workbench/qvWsFileWatcher.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSet>
#include <QTimer>

namespace {

// Editors and version control write a file in several steps; one look after they are done.
constexpr int kCalmMs = 150;

}  // namespace

TqvWsFileWatcher::TqvWsFileWatcher(QObject* parent)
    : QObject(parent), FWatcher(new QFileSystemWatcher(this)), FCalm(new QTimer(this)) {
  FCalm->setSingleShot(true);
  FCalm->setInterval(kCalmMs);
  connect(FCalm, &QTimer::timeout, this, [this] {
    // A file replaced by a rename drops out of the watch list; watch it again.
    refreshPaths();
    emit DiskChanged();
  });
  connect(FWatcher, &QFileSystemWatcher::fileChanged, this, &TqvWsFileWatcher::noticed);
  connect(FWatcher, &QFileSystemWatcher::directoryChanged, this, &TqvWsFileWatcher::noticed);
}

TqvWsFileWatcher::~TqvWsFileWatcher() { WatchProject(nullptr); }

void TqvWsFileWatcher::noticed() { FCalm->start(); }

void TqvWsFileWatcher::WatchProject(const IqvWsModulePtr& project) {
  if (FProject) FProject->RemoveObserver(this);
  for (const auto& [module, kept] : FModules) kept->RemoveObserver(this);
  FModules.clear();
  FProject = project;
  if (FProject) {
    FProject->AddObserver(this);
    for (int i = 0; i < FProject->ChildCount(); ++i) watchModule(FProject->Child(i));
  }
  refreshPaths();
}

void TqvWsFileWatcher::watchModule(const IqvWsModulePtr& module) {
  if (!module || FModules.count(module.get()) != 0) return;
  FModules[module.get()] = module;
  module->AddObserver(this);
}

void TqvWsFileWatcher::forget(IqvWsModule* module) {
  const auto found = FModules.find(module);
  if (found == FModules.end()) return;
  const IqvWsModulePtr keep = found->second;
  keep->RemoveObserver(this);
  FModules.erase(found);
}

void TqvWsFileWatcher::refreshPaths() {
  QSet<QString> wanted;
  for (const auto& [module, kept] : FModules) {
    if (!kept->HasFilePath()) continue;
    const QFileInfo info(kept->GetFilePath());
    wanted << info.absoluteFilePath() << info.absolutePath();
  }
  const QStringList watched = FWatcher->files() + FWatcher->directories();
  QStringList stale;
  for (const QString& path : watched)
    if (!wanted.contains(path)) stale << path;
  if (!stale.isEmpty()) FWatcher->removePaths(stale);
  QStringList missing;
  for (const QString& path : wanted)
    if (!watched.contains(path) && QFileInfo::exists(path)) missing << path;
  if (!missing.isEmpty()) FWatcher->addPaths(missing);
}

QStringList TqvWsFileWatcher::WatchedFiles() const { return FWatcher->files(); }

void TqvWsFileWatcher::ModulePathChanged(IqvWsModule*) { refreshPaths(); }

void TqvWsFileWatcher::ChildAdded(IqvWsModule* module) {
  if (!FProject || module->GetOwner() != FProject.get()) return;
  for (int i = 0; i < FProject->ChildCount(); ++i)
    if (FProject->Child(i).get() == module) watchModule(FProject->Child(i));
  refreshPaths();
}

void TqvWsFileWatcher::ChildRemoved(IqvWsModule* module) {
  forget(module);
  refreshPaths();
}
