// qvFileAssociations.cpp
// The association table and the texts of the desktop files, which do not depend on the
// platform the workbench runs on.
#include "workbench/platform/qvFileAssociations.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

static void registerPlatformFiles() { Q_INIT_RESOURCE(qvPlatform); }

namespace kiv {

namespace {

QByteArray resourceBytes(const QString& name) {
  static const bool registered = (registerPlatformFiles(), true);
  Q_UNUSED(registered);
  QFile file(QStringLiteral(":/kiv/platform/") + name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

const std::vector<FileAssociation>& KivFileAssociations() {
  static const std::vector<FileAssociation> associations{
      {QStringLiteral("kvp"), QStringLiteral("KIV project"), QStringLiteral("open")},
      {QStringLiteral("g"), QStringLiteral("KIV grammar"), QString()},
  };
  return associations;
}

QString WindowsOpenCommand(const QString& programPath) {
  return QLatin1Char('"') + QDir::toNativeSeparators(programPath) + QStringLiteral("\" \"%1\"");
}

QString DesktopExecArgument(const QString& programPath) {
  if (programPath.contains(QLatin1Char('\n')) || programPath.contains(QLatin1Char('\r'))) return {};
  // Characters that make the argument need quotes, and those that must be escaped inside them.
  static const QString reserved = QStringLiteral(" \t\"'\\><~|&;$*?#()`");
  static const QString escapedInQuotes = QStringLiteral("\"`$\\");
  bool needsQuotes = false;
  for (const QChar c : programPath) needsQuotes = needsQuotes || reserved.contains(c);
  QString argument;
  if (needsQuotes) {
    argument = QLatin1Char('"');
    for (const QChar c : programPath) {
      if (escapedInQuotes.contains(c)) argument += QLatin1Char('\\');
      argument += c;
    }
    argument += QLatin1Char('"');
  } else {
    argument = programPath;
  }
  // An Exec value is also a string value, whose backslashes are escaped once more, and field
  // codes start with "%".
  argument.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
  argument.replace(QLatin1Char('%'), QStringLiteral("%%"));
  return argument;
}

QString XdgDataHome() {
  const QString configured = qEnvironmentVariable("XDG_DATA_HOME");
  if (!configured.isEmpty() && QDir::isAbsolutePath(configured)) return QDir::cleanPath(configured);
  return QDir::homePath() + QStringLiteral("/.local/share");
}

QString MimePackagePath(const QString& dataHome) {
  return dataHome + QStringLiteral("/mime/packages/kiv-workbench.xml");
}

QString DesktopEntryPath(const QString& dataHome) {
  return dataHome + QStringLiteral("/applications/kiv-workbench.desktop");
}

QByteArray MimePackageText() { return resourceBytes(QStringLiteral("kiv-workbench.xml")); }

QByteArray DesktopEntryText(const QString& programPath) {
  QByteArray text = resourceBytes(QStringLiteral("kiv-workbench.desktop.in"));
  text.replace("@KIV_EXEC@", DesktopExecArgument(programPath).toUtf8());
  return text;
}

}  // namespace kiv
