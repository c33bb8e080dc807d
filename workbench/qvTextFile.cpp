// qvTextFile.cpp
// Line splitting, encoding detection, file stamps and safe saving of text files.
#include "workbench/qvTextFile.h"

#include <algorithm>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

QString JoinFileLines(const QStringList& lines, const QString& lineEnd) {
  QString text;
  for (const QString& line : lines) text += line + lineEnd;
  return text;
}

FileStamp FileStamp::Of(const QString& path) {
  FileStamp stamp;
  const QFileInfo info(path);
  stamp.exists = info.exists();
  if (!stamp.exists) return stamp;
  stamp.size = info.size();
  stamp.modified = info.lastModified().toUTC();
  return stamp;
}

FileStamp FileStamp::Of(const QString& path, const QByteArray& bytes) {
  FileStamp stamp = Of(path);
  stamp.digest = DigestOf(bytes);
  return stamp;
}

QByteArray FileStamp::DigestOf(const QByteArray& bytes) {
  return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

bool FileStamp::SameMetadata(const FileStamp& other) const {
  return exists == other.exists && size == other.size && modified == other.modified;
}

bool ReadFileBytes(const QString& path, QByteArray& bytes, QString& error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    error = file.errorString();
    return false;
  }
  bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    error = file.errorString();
    return false;
  }
  return true;
}

bool LoadText(const QString& path, QString& text, TextFormat& format, QString& error, FileStamp* stamp) {
  QByteArray bytes;
  if (!ReadFileBytes(path, bytes, error)) return false;
  text = DecodeText(bytes, format);
  if (stamp) *stamp = FileStamp::Of(path, bytes);
  return true;
}

namespace {

// Why a save could not even start, in terms of what the user can change.
QString openFailure(const QString& path, const QString& reason) {
  const QFileInfo info(path);
  const QString folder = QDir::toNativeSeparators(info.absolutePath());
  if (!QFileInfo(info.absolutePath()).isDir())
    return QStringLiteral("the folder \"%1\" does not exist").arg(folder);
  if (info.isDir()) return QStringLiteral("a folder of that name is in the way");
  if (!info.exists())
    return QStringLiteral("the folder \"%1\" does not accept new files (%2)").arg(folder, reason);
  return QStringLiteral("the folder \"%1\" does not accept new files and the file itself cannot be "
                        "written (%2)")
      .arg(folder, reason);
}

}  // namespace

namespace {

// Overwrites an existing file where it is. Nothing is truncated before the new bytes are in.
bool writeInPlace(const QString& path, const QByteArray& bytes, QString& error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadWrite)) {
    error = file.errorString();
    return false;
  }
  if (file.write(bytes) != bytes.size() || !file.resize(bytes.size()) || !file.flush()) {
    error = file.errorString();
    return false;
  }
  file.close();
  return true;
}

}  // namespace

bool SaveBytes(const QString& path, const QByteArray& bytes, QString& error, FileStamp* stamp) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    const QString reason = file.errorString();
    // The folder takes no temporary file (it is read-only): a file that exists and may be
    // written is then overwritten in place.
    QString inPlace;
    if (QFileInfo(path).isFile() && writeInPlace(path, bytes, inPlace)) {
      if (stamp) *stamp = FileStamp::Of(path, bytes);
      return true;
    }
    error = openFailure(path, inPlace.isEmpty() ? reason : inPlace);
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
  if (stamp) *stamp = FileStamp::Of(path, bytes);
  return true;
}

bool SaveText(const QString& path, const QString& text, TextFormat& format, QString& error,
              FileStamp* stamp) {
  return SaveBytes(path, EncodeText(text, format), error, stamp);
}

}  // namespace kiv
