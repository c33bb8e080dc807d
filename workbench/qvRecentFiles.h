// qvRecentFiles.h
// A list of recently used files kept in one string setting: absolute paths, most recent first,
// each once, at most kMaxEntries.
#pragma once

#include <QString>
#include <QStringList>

class TqvAppSettings;

namespace kiv {

class RecentFiles {
public:
  static constexpr int kMaxEntries = 8;

  // The list lives in the setting `section`/`name` of `settings` (borrowed).
  RecentFiles(TqvAppSettings& settings, QString section, QString name);

  QStringList Entries() const;
  // Puts `path` first.
  void Add(const QString& path);
  void Remove(const QString& path);
  void Clear();

private:
  void store(const QStringList& entries);

  TqvAppSettings& FSettings;
  QString FSection;
  QString FName;
};

}  // namespace kiv
