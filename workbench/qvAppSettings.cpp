// qvAppSettings.cpp
// Registration, typed conversion and QSettings persistence of the workbench settings.
#include "workbench/qvAppSettings.h"

#include <QDate>
#include <QDateTime>
#include <QSettings>
#include <QTime>

#include "workbench/qvPrompter.h"

TqvAppSettings::TqvAppSettings(QString organization, QString application)
    : FOrganization(std::move(organization)), FApplication(std::move(application)) {}

const TSetting* TqvAppSettings::find(const QString& section, const QString& name) const {
  for (const TSetting& setting : FSettings)
    if (setting.Section == section && setting.Name == name) return &setting;
  return nullptr;
}

TSetting* TqvAppSettings::find(const QString& section, const QString& name) {
  return const_cast<TSetting*>(std::as_const(*this).find(section, name));
}

void TqvAppSettings::Register(const QString& section, const QString& name,
                              const QVariant& defaultValue, TqvSettingType type) {
  if (find(section, name)) return;
  FSettings.push_back(TSetting{section, name, type, defaultValue});
}

bool TqvAppSettings::Get(const QString& section, const QString& name, QVariant& value) const {
  const TSetting* setting = find(section, name);
  if (!setting) return false;
  value = setting->Value;
  return true;
}

bool TqvAppSettings::Put(const QString& section, const QString& name, const QVariant& value) {
  TSetting* setting = find(section, name);
  if (!setting) return false;
  setting->Value = value;
  return true;
}

bool TqvAppSettings::ReadValue(TqvSettingType type, const QVariant& stored, QVariant& value) {
  if (!stored.isValid()) return false;
  bool ok = false;
  switch (type) {
    case TqvSettingType::Boolean: {
      if (stored.typeId() == QMetaType::Bool) {
        value = stored.toBool();
        return true;
      }
      const QString text = stored.toString().trimmed().toLower();
      if (text == u"true" || text == u"1") value = true;
      else if (text == u"false" || text == u"0") value = false;
      else return false;
      return true;
    }
    case TqvSettingType::Integer: {
      const int number = stored.toString().trimmed().toInt(&ok);
      if (ok) value = number;
      return ok;
    }
    case TqvSettingType::Float: {
      const double number = stored.toString().trimmed().toDouble(&ok);
      if (ok) value = number;
      return ok;
    }
    case TqvSettingType::String:
      if (!stored.canConvert<QString>()) return false;
      value = stored.toString();
      return true;
    case TqvSettingType::DateTime: {
      const QDateTime moment = stored.typeId() == QMetaType::QDateTime
                                   ? stored.toDateTime()
                                   : QDateTime::fromString(stored.toString(), Qt::ISODateWithMs);
      if (!moment.isValid()) return false;
      value = moment;
      return true;
    }
    case TqvSettingType::Date: {
      const QDate day = stored.typeId() == QMetaType::QDate
                            ? stored.toDate()
                            : QDate::fromString(stored.toString(), Qt::ISODate);
      if (!day.isValid()) return false;
      value = day;
      return true;
    }
    case TqvSettingType::Time: {
      const QTime time = stored.typeId() == QMetaType::QTime
                             ? stored.toTime()
                             : QTime::fromString(stored.toString(), Qt::ISODateWithMs);
      if (!time.isValid()) return false;
      value = time;
      return true;
    }
    case TqvSettingType::Currency: {
      const qlonglong amount = stored.toString().trimmed().toLongLong(&ok);
      if (ok) value = amount;
      return ok;
    }
  }
  return false;
}

QVariant TqvAppSettings::WriteValue(TqvSettingType type, const QVariant& value) {
  // Dates and times are stored as ISO text so that the configuration file stays readable.
  switch (type) {
    case TqvSettingType::Boolean: return value.toBool();
    case TqvSettingType::Integer: return value.toInt();
    case TqvSettingType::Float: return value.toDouble();
    case TqvSettingType::String: return value.toString();
    case TqvSettingType::DateTime: return value.toDateTime().toString(Qt::ISODateWithMs);
    case TqvSettingType::Date: return value.toDate().toString(Qt::ISODate);
    case TqvSettingType::Time: return value.toTime().toString(Qt::ISODateWithMs);
    case TqvSettingType::Currency: return value.toLongLong();
  }
  return value;
}

void TqvAppSettings::reportProblem(const QString& text) {
  FLastProblem = text;
  if (FProblemReported) return;
  FProblemReported = true;
  kiv::Prompter().ShowMessage(nullptr, kiv::MessageKind::Warning, QStringLiteral("Settings"), text);
}

bool TqvAppSettings::Load() {
  FLastProblem.clear();
  if (FApplication.isEmpty()) return true;
  QSettings store(FOrganization, FApplication);
  if (store.status() == QSettings::AccessError) {
    reportProblem(QStringLiteral("The settings in \"%1\" could not be read; defaults are used.")
                      .arg(store.fileName()));
    return false;
  }
  // A damaged file still yields the values that could be parsed; the rest keep their defaults.
  const bool damaged = store.status() == QSettings::FormatError;
  QStringList unreadable;
  for (TSetting& setting : FSettings) {
    store.beginGroup(setting.Section);
    if (store.contains(setting.Name)) {
      QVariant value;
      if (ReadValue(setting.Type, store.value(setting.Name), value)) setting.Value = value;
      else unreadable << setting.Section + QLatin1Char('/') + setting.Name;
    }
    store.endGroup();
  }
  if (damaged) {
    reportProblem(QStringLiteral("The settings file \"%1\" is damaged; settings that could not be "
                                 "read keep their defaults.")
                      .arg(store.fileName()));
    return false;
  }
  if (!unreadable.isEmpty()) {
    reportProblem(QStringLiteral("The settings %1 in \"%2\" are not valid; defaults are used.")
                      .arg(unreadable.join(QStringLiteral(", ")), store.fileName()));
    return false;
  }
  return true;
}

bool TqvAppSettings::Save() {
  FLastProblem.clear();
  if (FApplication.isEmpty()) return true;
  QSettings store(FOrganization, FApplication);
  for (const TSetting& setting : FSettings) {
    store.beginGroup(setting.Section);
    store.setValue(setting.Name, WriteValue(setting.Type, setting.Value));
    store.endGroup();
  }
  store.sync();
  if (store.status() != QSettings::NoError) {
    reportProblem(QStringLiteral("The settings could not be written to \"%1\".")
                      .arg(store.fileName()));
    return false;
  }
  return true;
}
