// qvTextFile.h
// Reading and writing a module's text. Files are decoded as UTF-8 when they are valid UTF-8 and
// as Latin-1 otherwise, and the text is kept exactly as read (line ends, a missing or present
// final line end, a byte order mark), so that loading and saving round-trip every byte. Saving
// goes through a temporary file that replaces the old one only when it is complete.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace kiv {

enum class TextEncoding { Utf8, Latin1 };

struct TextFormat {
  TextEncoding encoding = TextEncoding::Utf8;
  bool byteOrderMark = false;
  // The line end that new lines get (the first one found in the file).
  QString lineEnd = NativeLineEnd();

  static QString NativeLineEnd();
};

// Splits text at CR LF, CR and LF. A final line end does not start another line, as in a file.
QStringList SplitFileLines(const QString& text);
// Splits an editor's text: every line end starts a line, so "a\n" is the lines "a" and "".
QStringList SplitEditorLines(const QString& text);
// The text of `lines`, each followed by `lineEnd` (the form a file of those lines has).
QString JoinFileLines(const QStringList& lines, const QString& lineEnd);

// Detects the encoding, byte order mark and first line end of `bytes` and decodes them.
QString DecodeText(const QByteArray& bytes, TextFormat& format);
// Encodes `text` in `format`'s encoding; Latin-1 text that gained characters above 255 is
// written as UTF-8 instead of losing them (the format is updated).
QByteArray EncodeText(const QString& text, TextFormat& format);

// What a file looked like on disk when it was last read or written: enough to tell whether
// another program has changed it since.
struct FileStamp {
  bool exists = false;
  qint64 size = -1;
  QDateTime modified;
  QByteArray digest;  // of the whole contents; empty when unknown

  // The size and time of `path` now (no digest).
  static FileStamp Of(const QString& path);
  // The stamp of `bytes` just read from or written to `path`.
  static FileStamp Of(const QString& path, const QByteArray& bytes);
  static QByteArray DigestOf(const QByteArray& bytes);
  // Same existence, size and modification time.
  bool SameMetadata(const FileStamp& other) const;
};

// Reads `path` whole; false with `error` set when it cannot be read.
bool ReadFileBytes(const QString& path, QByteArray& bytes, QString& error);
// Loads `path` as text, exactly; `stamp` (when given) receives what was read.
bool LoadText(const QString& path, QString& text, TextFormat& format, QString& error,
              FileStamp* stamp = nullptr);
// Writes `text` encoded in `format` (see SaveBytes).
bool SaveText(const QString& path, const QString& text, TextFormat& format, QString& error,
              FileStamp* stamp = nullptr);
// Writes `bytes` to `path` through a temporary file in the same folder that is renamed over
// `path`. A folder that refuses new files (read-only) is written around: an existing, writable
// file is then overwritten in place. False with `error` set, and `path` untouched, on failure.
// `stamp` (when given) receives the stamp of what was written.
bool SaveBytes(const QString& path, const QByteArray& bytes, QString& error, FileStamp* stamp = nullptr);

}  // namespace kiv
