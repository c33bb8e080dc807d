// qvTextFile.h
// Reading and writing a module's text as lines. Files are decoded as UTF-8 when they are valid
// UTF-8 and as Latin-1 otherwise, so that every byte of an 8-bit grammar survives a round trip;
// saving goes through a temporary file that replaces the old one only when it is complete.
#pragma once

#include <QString>
#include <QStringList>

namespace kiv {

enum class TextEncoding { Utf8, Latin1 };

struct TextFormat {
  TextEncoding encoding = TextEncoding::Utf8;
  bool byteOrderMark = false;
  QString lineEnd = NativeLineEnd();

  static QString NativeLineEnd();
};

// Splits text at CR LF, CR and LF. A final line end does not start another line, as in a file.
QStringList SplitFileLines(const QString& text);
// Splits an editor's text: every line end starts a line, so "a\n" is the lines "a" and "".
QStringList SplitEditorLines(const QString& text);

// Detects the encoding, byte order mark and first line end of `bytes` and decodes them.
QString DecodeText(const QByteArray& bytes, TextFormat& format);
// Encodes `text` in `format`'s encoding; Latin-1 text that gained characters above 255 is
// written as UTF-8 instead of losing them (the format is updated).
QByteArray EncodeText(const QString& text, TextFormat& format);

// Loads `path` into lines; false with `error` set when the file cannot be read.
bool LoadTextLines(const QString& path, QStringList& lines, TextFormat& format, QString& error);
// Writes each line followed by the format's line end through a temporary file in the same
// folder that is renamed over `path`; false with `error` set, and `path` untouched, on failure.
bool SaveTextLines(const QString& path, const QStringList& lines, TextFormat& format,
                   QString& error);
// Writes `bytes` to `path` the same safe way.
bool SaveBytes(const QString& path, const QByteArray& bytes, QString& error);

}  // namespace kiv
