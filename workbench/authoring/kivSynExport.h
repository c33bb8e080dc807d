// kivSynExport.h
// Writes grammar text as an HTML page or an RTF document coloured by the grammar highlighter's
// attributes, for the editor's export commands.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>

namespace kiv {

struct SynExportStyle {
  QString fontFamily = QStringLiteral("Courier New");
  int pointSize = 10;
  QColor foreground = Qt::black;  // the editor's default text colour
  QColor background = Qt::white;
};

// A complete UTF-8 HTML page titled `title` with the text in a <pre> block.
QByteArray ExportHtml(const QString& text, const QString& title, const SynExportStyle& style = {});
// A complete RTF document; characters outside ASCII are written as \u escapes.
QByteArray ExportRtf(const QString& text, const QString& title, const SynExportStyle& style = {});

}  // namespace kiv
