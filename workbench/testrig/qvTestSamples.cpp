// qvTestSamples.cpp
// Reading and writing the remembered samples.
#include "workbench/testrig/qvTestSamples.h"

#include <QDir>
#include <QFileInfo>

#include "workbench/qvTextFile.h"

namespace kiv::testrig {

namespace {

QString rulePath(const QString& projectFolder, const QString& grammar) {
  return QDir(SamplesFolder(projectFolder)).filePath(grammar + QStringLiteral(".rule"));
}

// Writes `bytes` unless the file holds them already.
bool writeIfChanged(const QString& path, const QByteArray& bytes, QString& error) {
  QByteArray old;
  QString ignored;
  if (QFileInfo(path).isFile() && ReadFileBytes(path, old, ignored) && old == bytes) return true;
  return SaveBytes(path, bytes, error);
}

}  // namespace

QString SamplesFolder(const QString& projectFolder) { return QDir(projectFolder).filePath(QStringLiteral(".kiv-samples")); }

QString SamplePath(const QString& projectFolder, const QString& grammar) {
  return QDir(SamplesFolder(projectFolder)).filePath(grammar + QStringLiteral(".txt"));
}

StoredSample ReadSample(const QString& projectFolder, const QString& grammar) {
  StoredSample sample;
  QString error;
  sample.found = ReadFileBytes(SamplePath(projectFolder, grammar), sample.bytes, error);
  QByteArray rule;
  if (ReadFileBytes(rulePath(projectFolder, grammar), rule, error)) sample.startRule = QString::fromUtf8(rule).trimmed();
  return sample;
}

bool WriteSample(const QString& projectFolder, const QString& grammar, const QByteArray& bytes,
                 const QString& startRule, QString& error) {
  const QString path = SamplePath(projectFolder, grammar);
  if (bytes.isEmpty() && startRule.isEmpty() && !QFileInfo(path).exists()) return true;
  if (!QDir().mkpath(SamplesFolder(projectFolder))) {
    error = QStringLiteral("Cannot create the folder \"%1\".").arg(QDir::toNativeSeparators(SamplesFolder(projectFolder)));
    return false;
  }
  if (!writeIfChanged(path, bytes, error)) return false;
  const QString rule = rulePath(projectFolder, grammar);
  if (startRule.isEmpty() && !QFileInfo(rule).exists()) return true;
  return writeIfChanged(rule, startRule.toUtf8() + '\n', error);
}

}  // namespace kiv::testrig
