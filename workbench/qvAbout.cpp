// qvAbout.cpp
// Finding the runtime and documentation folders, and the About text.
#include "workbench/qvAbout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#ifndef KIV_VERSION
#define KIV_VERSION "unknown"
#endif
#ifndef KIV_SOURCE_DIR
#define KIV_SOURCE_DIR ""
#endif

namespace kiv {

namespace {

// The first of the installed place (relative to the program's folder) and the source tree's
// place that exists.
QString firstFolder(const QString& installed, const QString& inSources, const QString& marker) {
  QStringList candidates;
  const QString programFolder = QCoreApplication::applicationDirPath();
  if (!programFolder.isEmpty()) candidates << QDir(programFolder).filePath(installed);
  if (!QString::fromUtf8(KIV_SOURCE_DIR).isEmpty())
    candidates << QDir(QString::fromUtf8(KIV_SOURCE_DIR)).filePath(inSources);
  for (const QString& candidate : candidates)
    if (QFileInfo::exists(QDir(candidate).filePath(marker))) return QDir::cleanPath(candidate);
  return {};
}

}  // namespace

QString WorkbenchVersion() { return QStringLiteral(KIV_VERSION); }

QString RuntimeFolder() {
  return firstFolder(QStringLiteral("../share/kiv/runtime/pascal"), QStringLiteral("runtime/pascal"),
                     QStringLiteral("kivLexer.pas"));
}

QString DocumentationFolder() {
  return firstFolder(QStringLiteral("../share/doc/kiv"), QStringLiteral("docs"), QStringLiteral("workbench.md"));
}

QString AboutText() {
  const QString runtime = RuntimeFolder();
  const QString docs = DocumentationFolder();
  QString text = QStringLiteral("<p><b>Kiv Parser Generator</b> %1</p>"
                                "<p>Writes LL(k) recognizers in Object Pascal from KIV grammars.</p>")
                     .arg(WorkbenchVersion().toHtmlEscaped());
  text += QStringLiteral("<p>Object Pascal runtime: %1</p>")
              .arg(runtime.isEmpty() ? QStringLiteral("not found") : QDir::toNativeSeparators(runtime).toHtmlEscaped());
  if (docs.isEmpty()) {
    text += QStringLiteral("<p>Documentation: not found</p>");
  } else {
    const QString url = QUrl::fromLocalFile(QDir(docs).filePath(QStringLiteral("workbench.md"))).toString();
    text += QStringLiteral("<p>Documentation: <a href=\"%1\">%2</a></p>")
                .arg(url.toHtmlEscaped(), QDir::toNativeSeparators(docs).toHtmlEscaped());
  }
  return text;
}

}  // namespace kiv
