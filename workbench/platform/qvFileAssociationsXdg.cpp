// qvFileAssociationsXdg.cpp
// Associations on free desktops: a shared-MIME package and a desktop entry in the user's data
// folder, followed by a refresh of the MIME and desktop databases where their tools exist.
#include "workbench/platform/qvFileAssociations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "workbench/qvTextFile.h"

namespace kiv {

namespace {

// Runs `tool` on `folder` when the tool is installed; its failure is noted, not fatal.
void refresh(const QString& tool, const QString& folder, QStringList& notes) {
  const QString program = QStandardPaths::findExecutable(tool);
  if (program.isEmpty() || !QFileInfo(folder).isDir()) return;
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, {folder});
  if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
      process.exitCode() != 0) {
    const QString output = QString::fromLocal8Bit(process.readAll()).trimmed();
    notes << QStringLiteral("%1 %2 failed%3").arg(tool, folder, output.isEmpty() ? QString() : QStringLiteral(": ") + output);
  }
}

void refreshDatabases(const QString& dataHome, QStringList& notes) {
  refresh(QStringLiteral("update-mime-database"), dataHome + QStringLiteral("/mime"), notes);
  refresh(QStringLiteral("update-desktop-database"), dataHome + QStringLiteral("/applications"), notes);
}

bool writeFile(const QString& path, const QByteArray& bytes, QString& error) {
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
    error = QStringLiteral("cannot create the folder of \"%1\"").arg(path);
    return false;
  }
  QString problem;
  if (SaveBytes(path, bytes, problem)) return true;
  error = QStringLiteral("cannot write \"%1\": %2").arg(path, problem);
  return false;
}

bool removeFile(const QString& path, QString& error) {
  if (!QFileInfo::exists(path) || QFile::remove(path)) return true;
  error = QStringLiteral("cannot remove \"%1\"").arg(path);
  return false;
}

}  // namespace

bool RegisterFileAssociations(const QString& programPath, QString& error, QStringList& notes) {
  const QString program = QFileInfo(programPath).absoluteFilePath();
  if (DesktopExecArgument(program).isEmpty()) {
    error = QStringLiteral("the program path \"%1\" cannot be written into a desktop entry").arg(program);
    return false;
  }
  const QString dataHome = XdgDataHome();
  if (!writeFile(MimePackagePath(dataHome), MimePackageText(), error) ||
      !writeFile(DesktopEntryPath(dataHome), DesktopEntryText(program), error))
    return false;
  refreshDatabases(dataHome, notes);
  return true;
}

bool RemoveFileAssociations(QString& error, QStringList& notes) {
  const QString dataHome = XdgDataHome();
  const bool removed = removeFile(DesktopEntryPath(dataHome), error) && removeFile(MimePackagePath(dataHome), error);
  refreshDatabases(dataHome, notes);
  return removed;
}

}  // namespace kiv
