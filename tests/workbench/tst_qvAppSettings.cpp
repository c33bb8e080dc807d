// tst_qvAppSettings.cpp
// The settings store against a temporary configuration folder, and the two options dialogs.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "scriptedPrompter.h"
#include "workbench/qvAppSettings.h"
#include "workbench/qvOptionsDialog.h"
#include "workbench/qvProjectOptionsDialog.h"
#include "workbench/qvWorkbenchSettings.h"

using namespace kiv::settings;

namespace {
QString key(const char* text) { return QString::fromLatin1(text); }
QVariant get(const TqvAppSettings& store, const char* section, const char* name) {
  QVariant value;
  store.Get(key(section), key(name), value);
  return value;
}
}  // namespace

class TestAppSettings : public QObject {
  Q_OBJECT

private:
  QTemporaryDir FConfig;
  QString configFile() const { return FConfig.path() + QStringLiteral("/Orvanth/KIV.conf"); }
  void clearConfig() {
    QFile::remove(configFile());
    QDir(configFile()).removeRecursively();
  }

private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(FConfig.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, FConfig.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, FConfig.path());
  }
  void init() { clearConfig(); }

  void registerGetPut() {
    TqvAppSettings store;
    store.Register("S", "N", 1, TqvSettingType::Integer);
    store.Register("S", "N", 2, TqvSettingType::Integer);  // the first registration wins
    QVariant value(99);
    QVERIFY(store.Get("S", "N", value));
    QCOMPARE(value.toInt(), 1);
    QVERIFY(store.Put("S", "N", 5));
    QVERIFY(store.Get("S", "N", value));
    QCOMPARE(value.toInt(), 5);

    // Section and name compare exactly; refusals leave the value untouched.
    RegisterWorkbenchSettings(store);
    value = QStringLiteral("untouched");
    QVERIFY(!store.Get("Options", "lastproject", value));
    QCOMPARE(value.toString(), QStringLiteral("untouched"));
    QVERIFY(!store.Put("options", "LastProject", true));
    // The one test setting, the table's eleven and the two recent-file lists.
    QCOMPARE(store.Settings().size(), size_t(14));
  }

  void freshUserGetsDefaults() {
    TqvAppSettings store;
    RegisterWorkbenchSettings(store);
    ScriptedPrompter prompter;
    QVERIFY(store.Load());
    for (const char* bound : {kLeft, kTop, kWidth, kHeight})
      QCOMPARE(get(store, kMainForm, bound).toInt(), kUnsetBound);
    QCOMPARE(get(store, kOptions, kEmptyProject).toBool(), true);
    QCOMPARE(get(store, kOptions, kWizardProject).toBool(), false);
    QCOMPARE(get(store, kProject, kDefaultUnitDir).toString(), QString());
    QVERIFY(prompter.messages.empty());
  }

  void roundTripEveryType() {
    const QDateTime moment(QDate(2024, 2, 29), QTime(13, 14, 15, 16));
    {
      TqvAppSettings store;
      RegisterWorkbenchSettings(store);
      store.Register("Extra", "Float", 0.0, TqvSettingType::Float);
      store.Register("Extra", "Moment", QDateTime(), TqvSettingType::DateTime);
      store.Register("Extra", "Day", QDate(), TqvSettingType::Date);
      store.Register("Extra", "Time", QTime(), TqvSettingType::Time);
      store.Register("Extra", "Money", qlonglong(0), TqvSettingType::Currency);
      QVERIFY(store.Put(key(kMainForm), key(kLeft), 120));
      QVERIFY(store.Put(key(kOptions), key(kLexerWizard), true));
      QVERIFY(store.Put(key(kOptions), key(kEmptyProject), false));
      QVERIFY(store.Put(key(kProject), key(kDefaultUnitDir), QStringLiteral("/tmp/units dir")));
      store.Put("Extra", "Float", 2.5);
      store.Put("Extra", "Moment", moment);
      store.Put("Extra", "Day", moment.date());
      store.Put("Extra", "Time", moment.time());
      store.Put("Extra", "Money", qlonglong(123456789012345));
      QVERIFY(store.Save());
    }
    TqvAppSettings store;
    RegisterWorkbenchSettings(store);
    store.Register("Extra", "Float", 0.0, TqvSettingType::Float);
    store.Register("Extra", "Moment", QDateTime(), TqvSettingType::DateTime);
    store.Register("Extra", "Day", QDate(), TqvSettingType::Date);
    store.Register("Extra", "Time", QTime(), TqvSettingType::Time);
    store.Register("Extra", "Money", qlonglong(0), TqvSettingType::Currency);
    QVERIFY(store.Load());
    QCOMPARE(get(store, kMainForm, kLeft).toInt(), 120);
    QCOMPARE(get(store, kMainForm, kTop).toInt(), kUnsetBound);
    QCOMPARE(get(store, kOptions, kLexerWizard), QVariant(true));
    QCOMPARE(get(store, kOptions, kEmptyProject), QVariant(false));
    QCOMPARE(get(store, kProject, kDefaultUnitDir).toString(), QStringLiteral("/tmp/units dir"));
    QCOMPARE(get(store, "Extra", "Float").toDouble(), 2.5);
    QCOMPARE(get(store, "Extra", "Moment").toDateTime(), moment);
    QCOMPARE(get(store, "Extra", "Day").toDate(), moment.date());
    QCOMPARE(get(store, "Extra", "Time").toTime(), moment.time());
    QCOMPARE(get(store, "Extra", "Money").toLongLong(), 123456789012345LL);
  }

  void damagedConfigurationIsReportedOnceAndRepaired() {
    QDir().mkpath(FConfig.path() + QStringLiteral("/Orvanth"));
    QFile file(configFile());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Options\nLexerWizard=true\n[MainForm]\nLeft=12\nTop=x\n");
    file.close();

    ScriptedPrompter prompter;
    TqvAppSettings store;
    RegisterWorkbenchSettings(store);
    QVERIFY(!store.Load());
    QCOMPARE(get(store, kMainForm, kLeft).toInt(), 12);  // what could be parsed is kept
    QCOMPARE(get(store, kMainForm, kTop).toInt(), kUnsetBound);
    QCOMPARE(prompter.messages.size(), size_t(1));
    QVERIFY(prompter.messages[0].text.contains(configFile()));

    // Saving writes a clean file that loads without complaint.
    QVERIFY(store.Save());
    TqvAppSettings reloaded;
    RegisterWorkbenchSettings(reloaded);
    QVERIFY(reloaded.Load());
    QCOMPARE(get(reloaded, kMainForm, kLeft).toInt(), 12);
    QCOMPARE(prompter.messages.size(), size_t(1));
  }

  void unreadableValuesKeepTheirDefault() {
    QDir().mkpath(FConfig.path() + QStringLiteral("/Orvanth"));
    QFile file(configFile());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[MainForm]\nLeft=abc\nTop=7\n[Options]\nLexerWizard=perhaps\n");
    file.close();

    ScriptedPrompter prompter;
    TqvAppSettings store;
    RegisterWorkbenchSettings(store);
    QVERIFY(!store.Load());
    QCOMPARE(get(store, kMainForm, kLeft).toInt(), kUnsetBound);
    QCOMPARE(get(store, kMainForm, kTop).toInt(), 7);
    QCOMPARE(get(store, kOptions, kLexerWizard).toBool(), false);
    QCOMPARE(prompter.messages.size(), size_t(1));
    QVERIFY(prompter.messages[0].text.contains(QStringLiteral("MainForm/Left")));
  }

  void unwritableConfigurationReportsOnce() {
    QDir().mkpath(configFile());  // a folder where the file should be
    ScriptedPrompter prompter;
    TqvAppSettings store;
    RegisterWorkbenchSettings(store);
    QVERIFY(!store.Load());
    QVERIFY(!store.Save());
    QVERIFY(!store.Save());
    QCOMPARE(prompter.messages.size(), size_t(1));
  }

  void optionsDialogEnablesOkOnlyWhenChanged() {
    TqvAppSettings store;
    RegisterWorkbenchSettings(store);
    store.Put(key(kOptions), key(kParserWizard), true);
    store.Put(key(kOptions), key(kWizardProject), true);
    TfrmOptions dialog(store);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Options"));
    QVERIFY(!dialog.LexerWizardBox()->isChecked());
    QVERIFY(dialog.ParserWizardBox()->isChecked());
    QVERIFY(dialog.WizardProjectButton()->isChecked());
    QVERIFY(!dialog.LastProjectButton()->isEnabled());
    QVERIFY(!dialog.OkButton()->isEnabled());

    dialog.LexerWizardBox()->click();
    QVERIFY(dialog.OkButton()->isEnabled());
    dialog.LexerWizardBox()->click();
    QVERIFY(!dialog.OkButton()->isEnabled());
    dialog.EmptyProjectButton()->click();
    QVERIFY(dialog.OkButton()->isEnabled());
    dialog.WizardProjectButton()->click();
    QVERIFY(!dialog.OkButton()->isEnabled());

    // OK stores the five controls and saves the store at once.
    dialog.EmptyProjectButton()->click();
    dialog.LexerWizardBox()->click();
    dialog.OkButton()->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    TqvAppSettings reloaded;
    RegisterWorkbenchSettings(reloaded);
    QVERIFY(reloaded.Load());
    QCOMPARE(get(reloaded, kOptions, kLexerWizard).toBool(), true);
    QCOMPARE(get(reloaded, kOptions, kParserWizard).toBool(), true);
    QCOMPARE(get(reloaded, kOptions, kEmptyProject).toBool(), true);
    QCOMPARE(get(reloaded, kOptions, kWizardProject).toBool(), false);
    QCOMPARE(get(reloaded, kOptions, kLastProject).toBool(), false);
  }

  void projectOptionsDialog() {
    TqvAppSettings store;
    RegisterWorkbenchSettings(store);
    ScriptedPrompter prompter;
    TfrmProjectOptions dialog(store);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Project options"));
    dialog.SetOutputDir(QStringLiteral("/old/units"));
    dialog.SetExchangeDir(QStringLiteral("/old/xchg"));

    // Browsing starts at the field's text; a chosen folder replaces it, cancelling keeps it.
    prompter.files = {QStringLiteral("/new/units"), QString()};
    dialog.UnitDirBrowse()->click();
    dialog.XchgDirBrowse()->click();
    QCOMPARE(prompter.folderRequests,
             QStringList({QStringLiteral("Select folder: /old/units"), QStringLiteral("Select folder: /old/xchg")}));
    QCOMPARE(dialog.OutputDir(), QStringLiteral("/new/units"));
    QCOMPARE(dialog.ExchangeDir(), QStringLiteral("/old/xchg"));

    // A directory a project file cannot store is refused.
    dialog.XchgDirEdit()->setText(QStringLiteral("/a\"b"));
    dialog.OkButton()->click();
    QVERIFY(dialog.result() != QDialog::Accepted);
    QCOMPARE(prompter.messages.size(), size_t(1));

    dialog.XchgDirEdit()->setText(QStringLiteral("/new/xchg"));
    dialog.SetAsDefaultBox()->setChecked(true);
    dialog.OkButton()->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(get(store, kProject, kDefaultUnitDir).toString(), QStringLiteral("/new/units"));
    QCOMPARE(get(store, kProject, kDefaultXchgDir).toString(), QStringLiteral("/new/xchg"));
  }
};

QTEST_MAIN(TestAppSettings)
#include "tst_qvAppSettings.moc"
