// qvAppSettings.h
// TqvAppSettings: the workbench's small typed settings store. Every setting is registered with
// a section, a name, a type and a default; Load and Save move all of them through QSettings.
#pragma once

#include <QString>
#include <QVariant>
#include <vector>

class QSettings;

// The stored kinds of value. The numbers are part of the store's contract.
enum class TqvSettingType {
  Boolean = 0,
  Integer = 1,
  Float = 2,
  String = 3,
  DateTime = 4,
  Date = 5,
  Time = 6,
  Currency = 7,  // a 64-bit integer of ten-thousandths
};

struct TSetting {
  QString Section;
  QString Name;
  TqvSettingType Type = TqvSettingType::String;
  QVariant Value;
};

class TqvAppSettings {
public:
  // The store lives under the organization "Orvanth" and the application "KIV"; each section is
  // a QSettings group. An empty application name turns Load and Save into no-ops.
  explicit TqvAppSettings(QString organization = QStringLiteral("Orvanth"),
                          QString application = QStringLiteral("KIV"));

  // Adds a setting unless one with the same section and name exists (the first one wins).
  void Register(const QString& section, const QString& name, const QVariant& defaultValue,
                TqvSettingType type);
  // Copies the current value into `value`; false (and `value` untouched) when unregistered.
  bool Get(const QString& section, const QString& name, QVariant& value) const;
  // Replaces the current value; false when unregistered.
  bool Put(const QString& section, const QString& name, const QVariant& value);

  // Reads every registered setting that is stored; a missing or unreadable value keeps the
  // current one, and a damaged file gives what could be parsed. Returns false when the
  // configuration could not be read cleanly; the first such problem of the store's life is
  // reported to the user once, later ones are only recorded.
  bool Load();
  // Writes every registered setting. Returns false when the configuration could not be written;
  // reported like Load's problems.
  bool Save();

  const std::vector<TSetting>& Settings() const { return FSettings; }
  // The text of the last Load or Save problem, empty after a clean run.
  const QString& LastProblem() const { return FLastProblem; }

  // Typed reading and writing of one value; the reader answers false when `stored` is not a
  // valid value of that type.
  static bool ReadValue(TqvSettingType type, const QVariant& stored, QVariant& value);
  static QVariant WriteValue(TqvSettingType type, const QVariant& value);

private:
  const TSetting* find(const QString& section, const QString& name) const;
  TSetting* find(const QString& section, const QString& name);
  void reportProblem(const QString& text);

  QString FOrganization;
  QString FApplication;
  std::vector<TSetting> FSettings;
  QString FLastProblem;
  bool FProblemReported = false;
};
