// qvRecentFiles.cpp
// Reading, ordering and storing a recent-files list.
#include "workbench/qvRecentFiles.h"

#include <QDir>
#include <QFileInfo>

#include "workbench/qvAppSettings.h"

namespace kiv {

namespace {

QString normalized(const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

}  // namespace

RecentFiles::RecentFiles(TqvAppSettings& settings, QString section, QString name)
    : FSettings(settings), FSection(std::move(section)), FName(std::move(name)) {}

QStringList RecentFiles::Entries() const {
  QVariant value;
  if (!FSettings.Get(FSection, FName, value)) return {};
  QStringList entries;
  for (const QString& line : value.toString().split(QLatin1Char('\n'), Qt::SkipEmptyParts))
    if (!entries.contains(line) && entries.size() < kMaxEntries) entries << line;
  return entries;
}

void RecentFiles::Add(const QString& path) {
  if (path.isEmpty()) return;
  const QString entry = normalized(path);
  QStringList entries = Entries();
  entries.removeAll(entry);
  entries.prepend(entry);
  while (entries.size() > kMaxEntries) entries.removeLast();
  store(entries);
}

void RecentFiles::Remove(const QString& path) {
  QStringList entries = Entries();
  entries.removeAll(path);
  entries.removeAll(normalized(path));
  store(entries);
}

void RecentFiles::Clear() { store({}); }

void RecentFiles::store(const QStringList& entries) { FSettings.Put(FSection, FName, entries.join(QLatin1Char('\n'))); }

}  // namespace kiv
