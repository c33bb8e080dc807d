// qvWorkbenchSettings.cpp
// Registration of the workbench settings table.
#include "workbench/qvWorkbenchSettings.h"

#include "workbench/qvAppSettings.h"

namespace kiv::settings {

void RegisterWorkbenchSettings(TqvAppSettings& store) {
  const auto key = [](const char* text) { return QString::fromLatin1(text); };
  for (const char* bound : {kLeft, kTop, kWidth, kHeight})
    store.Register(key(kMainForm), key(bound), kUnsetBound, TqvSettingType::Integer);
  store.Register(key(kOptions), key(kLexerWizard), false, TqvSettingType::Boolean);
  store.Register(key(kOptions), key(kParserWizard), false, TqvSettingType::Boolean);
  store.Register(key(kOptions), key(kEmptyProject), true, TqvSettingType::Boolean);
  store.Register(key(kOptions), key(kWizardProject), false, TqvSettingType::Boolean);
  store.Register(key(kOptions), key(kLastProject), false, TqvSettingType::Boolean);
  store.Register(key(kProject), key(kDefaultUnitDir), QString(), TqvSettingType::String);
  store.Register(key(kProject), key(kDefaultXchgDir), QString(), TqvSettingType::String);
  store.Register(key(kRecent), key(kRecentProjects), QString(), TqvSettingType::String);
  store.Register(key(kRecent), key(kRecentFiles), QString(), TqvSettingType::String);
}

bool BoolSetting(const TqvAppSettings& store, const char* section, const char* name) {
  QVariant value;
  return store.Get(QString::fromLatin1(section), QString::fromLatin1(name), value) &&
         value.toBool();
}

int BoundSetting(const TqvAppSettings& store, const char* section, const char* name) {
  QVariant value(kUnsetBound);
  store.Get(QString::fromLatin1(section), QString::fromLatin1(name), value);
  return value.toInt();
}

}  // namespace kiv::settings
