// tst_qvKivMainFaults.cpp
// The workbench never loses an edit and agrees with the command line: close questions before
// anything is released, outside changes of open files, text that round-trips byte for byte (and
// builds as `kiv build` builds the file, over every grammar of the repository), grammar names
// with brackets, missing grammar files, and saving in a read-only folder.
#include <QDirIterator>
#include <QProcess>
#include <QTreeWidget>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include "mainWindowHelpers.h"
#include "scriptedPrompter.h"
#include "workbench/qvBuildCommand.h"
#include "workbench/qvStatusPanels.h"
#include "workbench/qvWsFileWatcher.h"
#include "workbench/qvWsKivProject.h"
#include "workbench/qvWsTreeView.h"

using namespace testing;

namespace {

// Makes `path` refuse new entries (a folder) or writes (a file): the immutable flag as root, the
// permission bits otherwise. False when neither works here.
bool makeReadOnly(const QString& path, bool readOnly) {
#ifdef Q_OS_UNIX
  if (geteuid() == 0)
    return QProcess::execute(QStringLiteral("chattr"), {readOnly ? QStringLiteral("+i") : QStringLiteral("-i"), path}) == 0;
#endif
  const QFileDevice::Permissions writable = QFileDevice::WriteOwner | QFileDevice::WriteUser;
  const QFileDevice::Permissions now = QFile::permissions(path);
  return QFile::setPermissions(path, readOnly ? now & ~writable : now | writable);
}

// What the message list shows of a `kiv build` run: its lines without the empty lines, the
// lookahead lines (indented) and the command's own notes, each once.
// A grammar with a character 0 in a comment.
const char kWithNul[] = "unit N;\nlexer TN;\n\nA : 'a' ; // a\0b\n";

QStringList listedLines(const QByteArray& output) {
  QStringList lines;
  for (const QString& line : QString::fromUtf8(output).split(QLatin1Char('\n'))) {
    if (line.isEmpty() || line.front().isSpace() || line.startsWith(QStringLiteral("kiv: "))) continue;
    if (!lines.contains(line)) lines << line;
  }
  return lines;
}

}  // namespace

class TestKivMainFaults : public QObject {
  Q_OBJECT

private:
  QTemporaryDir FConfig;
  std::unique_ptr<QTemporaryDir> FDir;
  std::unique_ptr<ScriptedPrompter> FPrompter;

  QString path(const QString& name) const { return FDir->filePath(name); }

  QString makeProject(const std::vector<std::pair<QString, QByteArray>>& grammars) {
    QDir().mkpath(path(QStringLiteral("out")));
    QStringList files;
    for (const auto& [name, text] : grammars) {
      writeFile(path(name + QStringLiteral(".g")), text);
      files << name + QStringLiteral(".g");
    }
    writeProject(path(QStringLiteral("p.kvp")), QStringLiteral("out"), QStringLiteral("out"), files);
    return path(QStringLiteral("p.kvp"));
  }

private slots:
  void initTestCase() { isolateSettings(FConfig.path()); }

  void init() {
    QDir(FConfig.path()).removeRecursively();
    QDir().mkpath(FConfig.path());
    FDir = std::make_unique<QTemporaryDir>();
    FPrompter = std::make_unique<ScriptedPrompter>();
  }

  void cleanup() { FPrompter.reset(); }

  // Quit with two modified grammars, No for the first and Cancel for the second: before, the
  // first one's tab and edit were gone; now every question comes first.
  void noThenCancelKeepsEveryEdit() {
    auto window = showWindow({makeProject({{"A", kGood}, {"B", kWarned}})});
    const IqvWsModulePtr a = window->ProjectModule()->FindChild(QStringLiteral("A"));
    const IqvWsModulePtr b = window->ProjectModule()->FindChild(QStringLiteral("B"));
    for (const IqvWsModulePtr& module : {a, b}) {
      QVERIFY(window->OpenModule(module));
      editOf(module)->insert(QStringLiteral("// edited\n"));
    }
    FPrompter->answers = {kiv::PromptAnswer::No, kiv::PromptAnswer::Cancel};
    QVERIFY(!window->close());
    QCOMPARE(FPrompter->questions, QStringList({"Confirm: Save changes to A?", "Confirm: Save changes to B?"}));
    QCOMPARE(window->EditorPages()->count(), 2);
    QVERIFY(a->GetEditor() && a->IsModified());
    QVERIFY(a->GetText().startsWith(QStringLiteral("// edited\n")));
    QCOMPARE(readBytes(path(QStringLiteral("A.g"))), QByteArray(kGood));

    // Yes for A and No for B: A is written, B is left as it was on disk, and the window goes.
    FPrompter->answers = {kiv::PromptAnswer::Yes, kiv::PromptAnswer::No};
    QVERIFY(window->close());
    QCOMPARE(readBytes(path(QStringLiteral("A.g"))), QByteArray("// edited\n") + kGood);
    QCOMPARE(readBytes(path(QStringLiteral("B.g"))), QByteArray(kWarned));
  }

  // Another program changes an open grammar: before, nothing noticed it, the next save
  // overwrote it and builds used the stale text.
  void outsideChangesAreTakenInAndNeverOverwritten() {
    auto window = showWindow({makeProject({{"Good", kGood}})});
    const IqvWsModulePtr good = window->ProjectModule()->FindChild(QStringLiteral("Good"));
    QVERIFY(window->OpenModule(good));
    QTRY_VERIFY(window->Watcher()->WatchedFiles().contains(good->GetFilePath()));
    editOf(good)->setCursorPosition(2, 0);

    // Unmodified: reloaded at once, the caret stays on its line, Undo can bring the old text back.
    const QByteArray outside = QByteArray("// changed outside\n") + kGood;
    writeFile(good->GetFilePath(), outside);
    QTRY_COMPARE(good->GetText().toUtf8(), outside);
    QCOMPARE(caretLine(good), 2);
    QVERIFY(!good->IsModified());
    QVERIFY(good->GetEditor()->CanUndo());
    QVERIFY(window->StatusPanels()->Note().contains(QStringLiteral("reloaded")));
    QVERIFY(FPrompter->questions.isEmpty());

    // Modified: the user is asked; "No" keeps the editor's text...
    editOf(good)->setCursorPosition(0, 0);
    editOf(good)->insert(QStringLiteral("// mine\n"));
    FPrompter->answers = {kiv::PromptAnswer::No};
    const QByteArray second = QByteArray("// changed again, longer\n") + kGood;
    writeFile(good->GetFilePath(), second);
    QTRY_COMPARE(FPrompter->questions.size(), 1);
    QVERIFY(FPrompter->questions[0].startsWith(QStringLiteral("File changed on disk: ")));
    QVERIFY(good->GetText().startsWith(QStringLiteral("// mine\n")));
    QVERIFY(good->IsModified());

    // ...and the save asks before it overwrites that outside change.
    FPrompter->answers = {kiv::PromptAnswer::No};
    action(*window, "actFileSave")->trigger();
    QCOMPARE(FPrompter->questions.size(), 2);
    QVERIFY(FPrompter->questions[1].contains(QStringLiteral("was changed by another program since it was opened")));
    QCOMPARE(readBytes(good->GetFilePath()), second);
    QVERIFY(good->IsModified());
    FPrompter->answers = {kiv::PromptAnswer::Yes};
    action(*window, "actFileSave")->trigger();
    QCOMPARE(readBytes(good->GetFilePath()), good->GetText().toUtf8());
    QVERIFY(!good->IsModified());

    // A build right after an outside change reads the new text, not the stale one.
    writeFile(good->GetFilePath(), kBad);
    action(*window, "actProjectBuild")->trigger();
    QCOMPARE(captions(*window).last(), QStringLiteral("Good: 3 Error(s), 0 Warning(s)"));
    QCOMPARE(good->GetText(), QString::fromLatin1(kBad));

    // Deleted: shown as missing, the text stays (modified), and saving writes the file again.
    QVERIFY(QFile::remove(good->GetFilePath()));
    QTreeWidgetItem* node = window->Tree()->NodeOf(good.get());
    QTRY_COMPARE(window->Tree()->ImageIndexOf(node), TqvWsTreeView::kMissingModuleImage);
    QVERIFY(good->IsMissing() && good->IsModified());
    QCOMPARE(good->GetText(), QString::fromLatin1(kBad));
    action(*window, "actFileSave")->trigger();
    QCOMPARE(readBytes(good->GetFilePath()), QByteArray(kBad));
    QCOMPARE(window->Tree()->ImageIndexOf(node), TqvWsTreeView::kModuleImage);
    QVERIFY(!good->IsMissing());
  }

  // The editor dropped the file's last line end and the build text had none, so a grammar
  // ending in a "//" comment failed in the workbench ("Expecting [#10,#13] but found #0").
  void textRoundTripsByteForByte() {
    const std::vector<std::pair<QString, QByteArray>> files = {
        {"Lf", QByteArray(kGood) + "// last line is a comment\n"},
        {"CrLfNoEnd", "unit C;\r\nlexer TC;\r\n\r\nA : 'a' ;\r\n// no line end"},
        {"Cr", "unit R;\rlexer TR;\r\rA : 'a' ;\r"},
        {"Mixed", "unit M;\r\nlexer TM;\n\nA : 'a' ;\r\n"},
        {"Bom", "\xEF\xBB\xBFunit B;\nlexer TB;\n\nA : 'a' ; // caf\xC3\xA9\n"},
        {"Latin", "unit L;\nlexer TL;\n\nA : 'a' ; // caf\xE9\n"},
        {"Nul", QByteArray(kWithNul, sizeof(kWithNul) - 1)},
    };
    auto window = showWindow({makeProject(files)});
    for (const auto& [name, bytes] : files) {
      const IqvWsModulePtr module = window->ProjectModule()->FindChild(name);
      QVERIFY2(module, qPrintable(name));
      QCOMPARE(QByteArray::fromStdString(kiv::GrammarBytes(*module)), bytes);
      // Through the editor and back to the disk.
      QVERIFY(window->OpenModule(module));
      QCOMPARE(QByteArray::fromStdString(kiv::GrammarBytes(*module)), bytes);
      module->SetModified(true);
      QVERIFY(module->Save());
      QCOMPARE(readBytes(module->GetFilePath()), bytes);
    }
    // The grammar whose last line is a comment builds clean.
    window->BuildModule(window->ProjectModule()->FindChild(QStringLiteral("Lf")).get());
    QCOMPARE(captions(*window).last(), QStringLiteral("Lf: 0 Error(s), 0 Warning(s)"));
  }

  // Every grammar of examples/ and tests/, built twice in the order of its folder (so that
  // parsers find their lexers' vocabularies): the list shows what `kiv build` prints.
  void workbenchAgreesWithTheCommandLine() {
    std::map<QString, QStringList> folders;
    for (const char* top : {"examples", "tests"}) {
      QDirIterator it(QDir(QStringLiteral(KIV_SOURCE_ROOT)).filePath(QString::fromLatin1(top)), {QStringLiteral("*.g")},
                      QDir::Files, QDirIterator::Subdirectories);
      while (it.hasNext()) {
        const QFileInfo file(it.next());
        folders[file.absolutePath()] << file.fileName();
      }
    }
    QVERIFY(folders.size() > 10);
    int compared = 0;
    int index = 0;
    for (auto& [folder, names] : folders) {
      names.sort();
      const QString cli = path(QStringLiteral("cli/%1").arg(index));
      const QString workbench = path(QStringLiteral("wb/%1").arg(index));
      ++index;
      for (const QString& name : names) {
        writeFile(QDir(cli).filePath(name), readBytes(QDir(folder).filePath(name)));
        writeFile(QDir(workbench).filePath(name), readBytes(QDir(folder).filePath(name)));
      }
      writeProject(QDir(workbench).filePath(QStringLiteral("p.kvp")), QString(), QString(), names);
      auto window = std::make_unique<TfrmKivMain>(QStringList{QDir(workbench).filePath(QStringLiteral("p.kvp"))});
      QVERIFY(window->Project());
      for (int pass = 0; pass < 2; ++pass) {
        for (const QString& name : names) {
          QProcess kiv;
          kiv.start(QStringLiteral(KIV_PROGRAM), {QStringLiteral("build"), QDir(cli).filePath(name)});
          QVERIFY(kiv.waitForFinished(60000));
          const QStringList expected = listedLines(kiv.readAllStandardOutput());

          window->Messages()->Clear();
          const IqvWsModulePtr module = window->ProjectModule()->FindChild(QFileInfo(name).completeBaseName());
          QVERIFY2(module, qPrintable(name));
          QVERIFY(window->BuildModule(module.get()));
          // Paths in the texts name each side's own folder.
          QString shown = captions(*window).join(QLatin1Char('\n'));
          shown.replace(QDir::toNativeSeparators(QDir(workbench).absolutePath()), QStringLiteral("<folder>"));
          QString printed = expected.join(QLatin1Char('\n'));
          printed.replace(QDir::toNativeSeparators(QDir(cli).absolutePath()), QStringLiteral("<folder>"));
          QCOMPARE(shown, printed);
          ++compared;
        }
      }
    }
    QVERIFY(compared >= 80);
  }

  // "lex (1).g" built, but its messages led nowhere: the name was taken before the first "(".
  void namesWithBracketsNavigate() {
    auto window = showWindow({makeProject({{"lex (1)", "unit L1;\nlexer TL1;\n\nA : MISSING ;\n"}})});
    action(*window, "actProjectBuildAll")->trigger();
    QCOMPARE(captions(*window).first(), QStringLiteral("lex (1)(4): Rule \"MISSING\" is not defined."));
    QVERIFY(window->OpenMessage(0));
    const IqvWsModulePtr module = window->ProjectModule()->FindChild(QStringLiteral("lex (1)"));
    QCOMPARE(window->CurrentModule(), module);
    QCOMPARE(caretLine(module), 3);

    const auto position = kiv::MessageListModel::PositionOf(
        QStringLiteral("a (2)(20):lexical nondeterminism between alt 1 and exit branch of block in rule ID."));
    QCOMPARE(position.module, QStringLiteral("a (2)"));
    QCOMPARE(position.line, 20);
    QCOMPARE(kiv::MessageListModel::PositionOf(QStringLiteral("x(-2): y")).line, -2);
  }

  // A project entry whose file is missing looked like any other and built as
  // "gone(1): Unexpected token:".
  void missingGrammarIsShownAndReported() {
    writeFile(path(QStringLiteral("Good.g")), kGood);
    QDir().mkpath(path(QStringLiteral("out")));
    writeProject(path(QStringLiteral("p.kvp")), QStringLiteral("out"), QStringLiteral("out"),
                 {QStringLiteral("gone.g"), QStringLiteral("Good.g")});
    auto window = showWindow({path(QStringLiteral("p.kvp"))});
    const IqvWsModulePtr gone = window->ProjectModule()->FindChild(QStringLiteral("gone"));
    QVERIFY(gone && gone->IsMissing());
    QTreeWidgetItem* node = window->Tree()->NodeOf(gone.get());
    const QString shown = QDir::toNativeSeparators(path(QStringLiteral("gone.g")));
    QCOMPARE(window->Tree()->ImageIndexOf(node), TqvWsTreeView::kMissingModuleImage);
    QCOMPARE(node->toolTip(0), QStringLiteral("Grammar file \"%1\" not found").arg(shown));
    QVERIFY(node->foreground(0).color() != window->Tree()->NodeOf(window->ProjectModule()->Child(1).get())->foreground(0).color());

    action(*window, "actProjectBuildAll")->trigger();
    QCOMPARE(captions(*window), QStringList({QStringLiteral("gone(1): Grammar file \"%1\" not found").arg(shown),
                                             "gone: 1 Error(s), 0 Warning(s)", "Good: 0 Error(s), 0 Warning(s)"}));
    QCOMPARE(window->Messages()->Image(0), kiv::MessageImageKind::Error);

    // The file comes back: the module takes it in and builds.
    writeFile(path(QStringLiteral("gone.g")), "unit Gone;\nlexer TGone;\n\nB : 'b' ;\n");
    QTRY_VERIFY(!gone->IsMissing());
    QCOMPARE(window->Tree()->ImageIndexOf(node), TqvWsTreeView::kModuleImage);
    action(*window, "actProjectBuildAll")->trigger();
    QCOMPARE(captions(*window).first(), QStringLiteral("gone: 0 Error(s), 0 Warning(s)"));
  }

  // Two grammars of one project with the same unit wrote over each other's files one after the
  // other, and a grammar named like its own unit was overwritten by it. Now "Build all" first
  // lists the clashes as `kiv build p.kvp` does and builds nothing, and no build writes over the
  // grammar it builds.
  void buildsNeverWriteOverGrammarsOrEachOther() {
    const QString project = makeProject({{"First", "unit Same;\nlexer TFirst;\n\nA : 'a' ;\n"},
                                         {"Second", "unit Same;\nlexer TSecond;\n\nB : 'b' ;\n"}});
    auto window = showWindow({project});
    action(*window, "actProjectBuildAll")->trigger();
    QProcess kiv;
    kiv.start(QStringLiteral(KIV_PROGRAM), {QStringLiteral("build"), project});
    QVERIFY(kiv.waitForFinished(60000));
    QCOMPARE(kiv.exitCode(), 1);
    QCOMPARE(captions(*window), listedLines(kiv.readAllStandardOutput()));
    QCOMPARE(captions(*window).size(), 4);  // the three files, and the line that nothing was built
    QCOMPARE(captions(*window).last(), QStringLiteral("p: 3 Error(s), nothing was built"));
    QVERIFY2(captions(*window).first().startsWith(QStringLiteral("Second(1): \"")), qPrintable(captions(*window).first()));
    QVERIFY(QDir(path(QStringLiteral("out"))).isEmpty());
    // The clash opens the later grammar at its first line.
    QVERIFY(window->OpenMessage(0));
    QCOMPARE(window->CurrentModule()->GetName(), QStringLiteral("Second"));
    QCOMPARE(caretLine(window->CurrentModule()), 0);

    // The second grammar renamed in the editor (not saved): the build uses that text and goes on.
    editOf(window->CurrentModule())->setText(QStringLiteral("unit Other;\nlexer TSecond;\n\nB : 'b' ;\n"));
    action(*window, "actProjectBuildAll")->trigger();
    QCOMPARE(captions(*window), QStringList({"First: 0 Error(s), 0 Warning(s)", "Second: 0 Error(s), 0 Warning(s)"}));
    QVERIFY(QFileInfo::exists(path(QStringLiteral("out/Other.pas"))));

    // A grammar kept in "Self.pas" whose unit is Self, built into its own folder.
    const QByteArray self = "unit Self;\nlexer TSelf;\n\nA : 'a' ;\n";
    writeFile(path(QStringLiteral("Self.pas")), self);
    writeProject(path(QStringLiteral("s.kvp")), QString(), QString(), {QStringLiteral("Self.pas")});
    window.reset();
    window = showWindow({path(QStringLiteral("s.kvp"))});
    action(*window, "actProjectBuildAll")->trigger();
    QVERIFY2(captions(*window).first().startsWith(QStringLiteral("Self(1): Refusing to overwrite")),
             qPrintable(captions(*window).join(QLatin1Char('\n'))));
    QCOMPARE(captions(*window).last(), QStringLiteral("Self: 1 Error(s), 0 Warning(s)"));
    QCOMPARE(readBytes(path(QStringLiteral("Self.pas"))), self);
  }

  // A writable file in a read-only folder could not be saved (the safe save needs a new file
  // beside it).
  void readOnlyFolderSavesInPlace() {
    const QString folder = path(QStringLiteral("locked"));
    writeFile(QDir(folder).filePath(QStringLiteral("Good.g")), kGood);
    writeProject(path(QStringLiteral("p.kvp")), QString(), QString(), {QStringLiteral("locked/Good.g")});
    auto window = showWindow({path(QStringLiteral("p.kvp"))});
    const IqvWsModulePtr good = window->ProjectModule()->FindChild(QStringLiteral("Good"));
    QVERIFY(window->OpenModule(good));
    if (!makeReadOnly(folder, true)) QSKIP("this system cannot make a folder read-only");
    editOf(good)->insert(QStringLiteral("// saved in place\n"));
    action(*window, "actFileSave")->trigger();
    const QByteArray written = readBytes(good->GetFilePath());
    const bool fileLocked = makeReadOnly(good->GetFilePath(), true);
    QCOMPARE(written, QByteArray("// saved in place\n") + kGood);
    QVERIFY(FPrompter->messages.empty());
    QVERIFY(!good->IsModified());

    // Neither the folder nor the file may be written: a clear error, and the edit stays.
    if (fileLocked) {
      editOf(good)->insert(QStringLiteral("// kept\n"));
      action(*window, "actFileSave")->trigger();
      QCOMPARE(FPrompter->messages.size(), size_t(1));
      QVERIFY2(FPrompter->messages[0].text.contains(QStringLiteral("does not accept new files and the file itself cannot be written")),
               qPrintable(FPrompter->messages[0].text));
      QVERIFY(good->IsModified());
      makeReadOnly(good->GetFilePath(), false);
    }
    makeReadOnly(folder, false);
    FPrompter->answers = {kiv::PromptAnswer::No};
  }
};

QTEST_MAIN(TestKivMainFaults)
#include "tst_qvKivMainFaults.moc"
