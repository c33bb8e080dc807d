// qvTextFile.cpp
// Line splitting, encoding detection and safe saving of text files.
#include "workbench/qvTextFile.h"

#include <algorithm>

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace kiv {

QString TextFormat::NativeLineEnd() {
#ifdef Q_OS_WIN
  return QStringLiteral("\r\n");
#else
  return QStringLiteral("\n");
#endif
}

namespace {

// Splits at CR LF, CR and LF; `keepFinal` decides whether a trailing line end yields "".
QStringList splitLines(const QString& text, bool keepFinal) {
  QStringList lines;
  qsizetype start = 0;
  const qsizetype size = text.size();
  for (qsizetype i = 0; i < size; ++i) {
    const QChar c = text[i];
    if (c != u'\r' && c != u'\n') continue;
    lines << text.mid(start, i - start);
    if (c == u'\r' && i + 1 < size && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  if (start < size || keepFinal) lines << text.mid(start);
  return lines;
}

}  // namespace

QStringList SplitFileLines(const QString& text) {
  if (text.isEmpty()) return {};
  return splitLines(text, false);
}

QStringList SplitEditorLines(const QString& text) { return splitLines(text, true); }

QString DecodeText(const QByteArray& bytes, TextFormat& format) {
  format.byteOrderMark = bytes.startsWith("\xEF\xBB\xBF");
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString text = utf8(bytes);
  if (utf8.hasError()) {
    format.encoding = TextEncoding::Latin1;
    format.byteOrderMark = false;
    text = QString::fromLatin1(bytes);
  } else {
    format.encoding = TextEncoding::Utf8;
  }
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == u'\n') {
      format.lineEnd = QStringLiteral("\n");
      break;
    }
    if (text[i] == u'\r') {
      const bool crlf = i + 1 < text.size() && text[i + 1] == u'\n';
      format.lineEnd = crlf ? QStringLiteral("\r\n") : QStringLiteral("\r");
      break;
    }
  }
  return text;
}

QByteArray EncodeText(const QString& text, TextFormat& format) {
  if (format.encoding == TextEncoding::Latin1) {
    const bool fits = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 256; });
    if (fits) return text.toLatin1();
    format.encoding = TextEncoding::Utf8;
  }
  QByteArray bytes = text.toUtf8();
  if (format.byteOrderMark) bytes.prepend("\xEF\xBB\xBF");
  return bytes;
}

bool LoadTextLines(const QString& path, QStringList& lines, TextFormat& format, QString& error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    error = file.errorString();
    return false;
  }
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    error = file.errorString();
    return false;
  }
  lines = SplitFileLines(DecodeText(bytes, format));
  return true;
}

bool SaveBytes(const QString& path, const QByteArray& bytes, QString& error) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    error = file.errorString();
    return false;
  }
  if (file.write(bytes) != bytes.size()) {
    error = file.errorString();
    file.cancelWriting();
    return false;
  }
  if (!file.commit()) {
    error = file.errorString();
    return false;
  }
  return true;
}

bool SaveTextLines(const QString& path, const QStringList& lines, TextFormat& format,
                   QString& error) {
  QString text;
  for (const QString& line : lines) text += line + format.lineEnd;
  return SaveBytes(path, EncodeText(text, format), error);
}

}  // namespace kiv
