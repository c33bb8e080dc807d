// kivSynExport.cpp
// HTML and RTF writers over the grammar scanner's tokens.
#include "workbench/authoring/kivSynExport.h"

#include <functional>

#include "workbench/authoring/kivSynScanner.h"
#include "workbench/qvTextFile.h"

namespace kiv {

namespace {

// Calls `onToken` for every token of `text`, and `endLine` between lines.
void forEachToken(const QString& text, const std::function<void(const QString&, SynTokenKind)>& onToken,
                  const std::function<void()>& endLine) {
  KivSynScanner scanner;
  const QStringList lines = SplitEditorLines(text);
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (i > 0) endLine();
    const QByteArray bytes = lines[i].toUtf8();
    const std::string_view line(bytes.constData(), static_cast<size_t>(bytes.size()));
    scanner.SetLine(line, static_cast<int>(i));
    size_t scanned = 0;
    while (!scanner.GetEol()) {
      const std::string_view token = scanner.GetToken();
      onToken(QString::fromUtf8(token.data(), static_cast<qsizetype>(token.size())), scanner.GetTokenKind());
      scanned += token.size();
      scanner.Next();
    }
    // Text after a character 0 is not scanned; it is still exported, uncoloured.
    if (scanned < line.size())
      onToken(QString::fromUtf8(line.data() + scanned, static_cast<qsizetype>(line.size() - scanned)),
           SynTokenKind::Identifier);
  }
}

QString cssClass(SynAttributeKind kind) {
  return QString::fromLatin1(SynAttributeInfo(kind).name).toLower().replace(QLatin1Char(' '), QLatin1Char('-'));
}

QString htmlColor(const SynAttribute& attribute) {
  return QColor(attribute.red, attribute.green, attribute.blue).name();
}

QString rtfEscape(const QString& text) {
  QString out;
  for (const QChar c : text) {
    const ushort code = c.unicode();
    if (c == u'\\' || c == u'{' || c == u'}') out += QLatin1Char('\\') + c;
    else if (c == u'\t') out += QStringLiteral("\\tab ");
    else if (code < 0x20) continue;
    else if (code < 0x80) out += c;
    else out += QStringLiteral("\\u%1?").arg(static_cast<short>(code));
  }
  return out;
}

}  // namespace

QByteArray ExportHtml(const QString& text, const QString& title, const SynExportStyle& style) {
  QString body;
  forEachToken(
      text,
      [&body](const QString& token, SynTokenKind kind) {
        SynAttributeKind attribute;
        const QString escaped = token.toHtmlEscaped();
        if (SynAttributeOf(kind, attribute) && !SynAttributeInfo(attribute).editorDefault)
          body += QStringLiteral("<span class=\"%1\">%2</span>").arg(cssClass(attribute), escaped);
        else
          body += escaped;
      },
      [&body] { body += QLatin1Char('\n'); });

  QString css = QStringLiteral("pre { font-family: '%1', monospace; font-size: %2pt; color: %3; "
                               "background: %4; tab-size: 3; }\n")
                    .arg(style.fontFamily, QString::number(style.pointSize),
                         style.foreground.name(), style.background.name());
  for (int i = 0; i < kSynAttributeCount; ++i) {
    const auto kind = static_cast<SynAttributeKind>(i);
    const SynAttribute& attribute = SynAttributeInfo(kind);
    if (!attribute.editorDefault)
      css += QStringLiteral(".%1 { color: %2; }\n").arg(cssClass(kind), htmlColor(attribute));
  }
  const QString page = QStringLiteral(
                           "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
                           "<title>%1</title>\n<style>\n%2</style>\n</head>\n<body>\n<pre>%3</pre>\n"
                           "</body>\n</html>\n")
                           .arg(title.toHtmlEscaped(), css, body);
  return page.toUtf8();
}

QByteArray ExportRtf(const QString& text, const QString& title, const SynExportStyle& style) {
  // Colour table: 1 is the default colour, 2 + attribute number each attribute's own.
  QString colors = QStringLiteral("{\\colortbl ;");
  const auto addColor = [&colors](const QColor& color) {
    colors += QStringLiteral("\\red%1\\green%2\\blue%3;").arg(color.red()).arg(color.green()).arg(color.blue());
  };
  addColor(style.foreground);
  for (int i = 0; i < kSynAttributeCount; ++i) {
    const SynAttribute& attribute = SynAttributeInfo(static_cast<SynAttributeKind>(i));
    const QColor color = attribute.editorDefault ? style.foreground
                                                 : QColor(attribute.red, attribute.green, attribute.blue);
    addColor(color);
  }
  colors += QLatin1Char('}');

  QString body;
  forEachToken(
      text,
      [&body](const QString& token, SynTokenKind kind) {
        SynAttributeKind attribute = SynAttributeKind::Identifier;
        SynAttributeOf(kind, attribute);
        body += QStringLiteral("{\\cf%1 %2}").arg(QString::number(static_cast<int>(attribute) + 2), rtfEscape(token));
      },
      [&body] { body += QStringLiteral("\\par\n"); });

  const QString document =
      QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl{\\f0\\fmodern\\fcharset0 %1;}}\n%2\n"
                     "{\\info{\\title %3}}\n\\f0\\fs%4\\cf1\n%5\\par\n}\n")
          .arg(rtfEscape(style.fontFamily), colors, rtfEscape(title),
               QString::number(style.pointSize * 2), body);
  return document.toLatin1();
}

}  // namespace kiv
