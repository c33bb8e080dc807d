// qvTestSamples.h
// Where the Test panel remembers its samples: beside the project file, in the folder
// ".kiv-samples", one file per grammar holding the sample's bytes ("<grammar>.txt") and one
// holding the start rule ("<grammar>.rule"). The project file itself is not touched.
#pragma once

#include <QByteArray>
#include <QString>

namespace kiv::testrig {

struct StoredSample {
  bool found = false;  // a sample file was there
  QByteArray bytes;
  QString startRule;
};

// The samples folder of the project whose file is in `projectFolder`.
QString SamplesFolder(const QString& projectFolder);
QString SamplePath(const QString& projectFolder, const QString& grammar);

StoredSample ReadSample(const QString& projectFolder, const QString& grammar);
// Writes what differs from the files; an empty sample without a file writes nothing. False with
// `error` set when a file cannot be written.
bool WriteSample(const QString& projectFolder, const QString& grammar, const QByteArray& bytes,
                 const QString& startRule, QString& error);

}  // namespace kiv::testrig
