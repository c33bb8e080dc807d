// tst_qvFileAssociations.cpp
// "/Assoc" and "/Disassoc" of the real program against a temporary data folder: exactly the
// MIME package and the desktop entry appear and go again, the desktop databases are refreshed,
// and paths are quoted for desktop entries and Windows commands.
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "workbench/platform/qvFileAssociations.h"

namespace {

QStringList filesBelow(const QString& root) {
  QStringList files;
  QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) files << QDir(root).relativeFilePath(it.next());
  files.sort();
  return files;
}

QByteArray readBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeScript(const QString& path, const QByteArray& text) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(text);
  file.close();
  QVERIFY(file.setPermissions(file.permissions() | QFileDevice::ExeOwner));
}

}  // namespace

class TestFileAssociations : public QObject {
  Q_OBJECT

private slots:
  void assocThenDisassocLeaveTheDataFolderAsItWas() {
    QTemporaryDir root;
    const QString data = root.filePath(QStringLiteral("data"));
    const QString bin = root.filePath(QStringLiteral("bin"));
    const QString log = root.filePath(QStringLiteral("refresh.log"));
    QDir().mkpath(data + QStringLiteral("/mime/packages"));
    QDir().mkpath(bin);
    QFile other(data + QStringLiteral("/mime/packages/other.xml"));
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.close();
    // Stand-ins for the database tools record how they were called.
    for (const char* tool : {"update-mime-database", "update-desktop-database"})
      writeScript(bin + QLatin1Char('/') + QLatin1String(tool),
                  "#!/bin/sh\necho \"" + QByteArray(tool) + " $1\" >> '" + log.toUtf8() + "'\n");

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), data);
    environment.insert(QStringLiteral("PATH"), bin);
    const auto run = [&](const QString& argument) {
      QProcess program;
      program.setProcessEnvironment(environment);
      program.start(QStringLiteral(KIV_WORKBENCH_PROGRAM), {argument});
      if (!program.waitForFinished(60000)) return -1;
      return program.exitCode();
    };

    // The switch is recognised whatever its letter case, and no window is opened.
    QCOMPARE(run(QStringLiteral("/ASSOC")), 0);
    QCOMPARE(filesBelow(data), QStringList({"applications/kiv-workbench.desktop", "mime/packages/kiv-workbench.xml",
                                            "mime/packages/other.xml"}));
    const QByteArray mime = readBytes(data + QStringLiteral("/mime/packages/kiv-workbench.xml"));
    QVERIFY(mime.contains("<glob pattern=\"*.kvp\"/>"));
    QVERIFY(mime.contains("<comment>KIV project</comment>"));
    QVERIFY(mime.contains("<glob pattern=\"*.g\"/>"));
    QVERIFY(mime.contains("<comment>KIV grammar</comment>"));
    const QByteArray entry = readBytes(data + QStringLiteral("/applications/kiv-workbench.desktop"));
    const QString program = QFileInfo(QStringLiteral(KIV_WORKBENCH_PROGRAM)).absoluteFilePath();
    QVERIFY2(entry.contains("\nExec=" + kiv::DesktopExecArgument(program).toUtf8() + " %f\n"), entry.constData());
    QVERIFY(entry.contains("\nMimeType=application/x-kiv-project;\n"));
    QCOMPARE(readBytes(log), "update-mime-database " + data.toUtf8() + "/mime\nupdate-desktop-database " +
                                 data.toUtf8() + "/applications\n");

    QCOMPARE(run(QStringLiteral("/disassoc")), 0);
    QCOMPARE(filesBelow(data), QStringList({"mime/packages/other.xml"}));
    QCOMPARE(readBytes(log).count("update-mime-database"), 2);
    // Removing twice is harmless.
    QCOMPARE(run(QStringLiteral("/Disassoc")), 0);

    // Without the tools the files are still written.
    environment.insert(QStringLiteral("PATH"), root.filePath(QStringLiteral("nowhere")));
    QCOMPARE(run(QStringLiteral("/Assoc")), 0);
    QCOMPARE(filesBelow(data).size(), 3);
  }

  void pathsAreQuotedForTheirCommandLines() {
    QCOMPARE(kiv::DesktopExecArgument(QStringLiteral("/opt/kiv/bin/kiv-workbench")),
             QStringLiteral("/opt/kiv/bin/kiv-workbench"));
    QCOMPARE(kiv::DesktopExecArgument(QStringLiteral("/opt/my tools/kiv")), QStringLiteral("\"/opt/my tools/kiv\""));
    // Inside quotes $ and \ are escaped, and the value's own backslashes are doubled again.
    QCOMPARE(kiv::DesktopExecArgument(QStringLiteral("/a b/$x\\y")), QStringLiteral("\"/a b/\\\\$x\\\\\\\\y\""));
    QCOMPARE(kiv::DesktopExecArgument(QStringLiteral("/opt/100%/kiv")), QStringLiteral("/opt/100%%/kiv"));
    QCOMPARE(kiv::DesktopExecArgument(QStringLiteral("/opt/a\nb")), QString());
    QCOMPARE(kiv::WindowsOpenCommand(QStringLiteral("C:/Program Files/KIV/kiv-workbench.exe")),
             QDir::toNativeSeparators(QStringLiteral("\"C:/Program Files/KIV/kiv-workbench.exe\"")) +
                 QStringLiteral(" \"%1\""));
    QCOMPARE(kiv::KivFileAssociations().size(), size_t(2));
    QCOMPARE(kiv::KivFileAssociations()[1].verb, QString());
  }
};

QTEST_GUILESS_MAIN(TestFileAssociations)
#include "tst_qvFileAssociations.moc"
