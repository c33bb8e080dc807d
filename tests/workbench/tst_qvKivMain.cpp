// tst_qvKivMain.cpp
// The main window: start-up arguments and settings, the message list as the generator's error
// handler, builds of one and of all grammars with their summaries, directory checks, message
// navigation and copying, command enabling, wizards, closing, bounds and panel toggles.
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <Qsci/qsciscintilla.h>
#include <QtTest>

#include "modalHelper.h"
#include "scriptedPrompter.h"
#include "workbench/authoring/qvWsKivLexerWizardDlg.h"
#include "workbench/authoring/qvWsKivParserWizardDlg.h"
#include "workbench/qvKivMain.h"
#include "workbench/qvMessageList.h"
#include "workbench/qvNewItemsDialog.h"
#include "workbench/qvOptionsDialog.h"
#include "workbench/qvProjectOptionsDialog.h"
#include "workbench/qvWorkbenchSettings.h"
#include "workbench/qvWsKivGrammarEditor.h"
#include "workbench/qvWsKivProject.h"
#include "workbench/qvWsTreeView.h"

namespace {

// A clean lexer, one with a warning only, one with repeated and unplaced errors, and a parser
// with three errors on line 4.
const char kGood[] = "unit Good;\nlexer TGood;\n\nA : 'a' ;\n";
const char kWarned[] = "unit W;\nlexer TW;\n\nA : ( 'a' )=> 'a' ;\n";
const char kRepeated[] = "unit Dup;\nlexer TDup;\n\nA : MISSING MISSING ;\n";
const char kBad[] = "unit Bad;\nparser TBad;\n\nstart : A B ) ;\n";
const char kUnprotectedFilter[] = "unit Pf;\nlexer TPf;\noptions { filter = JUNK; }\n\nWORD : ( 'a'..'z' )+ ;\nJUNK : . ;\n";

void writeFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

// A project file listing `grammars` (paths relative to it) with the two directories.
void writeProject(const QString& path, const QString& outputDir, const QString& exchangeDir,
                  const QStringList& grammars) {
  QByteArray text = "KIV project\r\n";
  if (!outputDir.isEmpty()) text += "   OutputDir = \"" + outputDir.toUtf8() + "\"\r\n";
  if (!exchangeDir.isEmpty()) text += "   ExchangeDir = \"" + exchangeDir.toUtf8() + "\"\r\n";
  for (const QString& grammar : grammars) text += "   Grammar   = \"" + grammar.toUtf8() + "\"\r\n";
  writeFile(path, text + "End\r\n");
}

QStringList captions(const TfrmKivMain& window) {
  QStringList list;
  for (int row = 0; row < window.Messages()->Count(); ++row) list << window.Messages()->Caption(row);
  return list;
}

QList<int> images(const TfrmKivMain& window) {
  QList<int> list;
  for (int row = 0; row < window.Messages()->Count(); ++row)
    list << static_cast<int>(window.Messages()->Image(row));
  return list;
}

QAction* action(const TfrmKivMain& window, const char* name) {
  auto* found = window.findChild<QAction*>(QString::fromLatin1(name));
  if (!found) qFatal("no action %s", name);
  return found;
}

QsciScintilla* editOf(const IqvWsModulePtr& module) {
  auto* editor = dynamic_cast<TqvWsKivGrammarEditor*>(module->GetEditor());
  return editor ? editor->Edit() : nullptr;
}

int caretLine(const IqvWsModulePtr& module) {
  int line = -1, index = -1;
  editOf(module)->getCursorPosition(&line, &index);
  return line;
}

void doubleClickRow(TfrmKivMain& window, int row) {
  kiv::MessageListView* view = window.MessageView();
  view->scrollTo(window.Messages()->index(row));
  const QRect rect = view->visualRect(window.Messages()->index(row));
  // A double click follows a first click on the same item.
  QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
  QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

void putSettings(std::initializer_list<std::pair<const char*, QVariant>> options) {
  TqvAppSettings store;
  kiv::settings::RegisterWorkbenchSettings(store);
  store.Load();
  for (const auto& [name, value] : options) {
    const QString section = QString::fromLatin1(name).startsWith(QLatin1String("Default"))
                                ? QString::fromLatin1(kiv::settings::kProject)
                                : QString::fromLatin1(kiv::settings::kOptions);
    QVERIFY(store.Put(section, QString::fromLatin1(name), value));
  }
  QVERIFY(store.Save());
}

}  // namespace

class TestKivMain : public QObject {
  Q_OBJECT

private:
  QTemporaryDir FConfig;
  std::unique_ptr<QTemporaryDir> FDir;
  std::unique_ptr<ScriptedPrompter> FPrompter;
  QString FStartDir = QDir::currentPath();

  QString path(const QString& name) const { return FDir->filePath(name); }

  // A project "p" in a fresh folder with an "out" directory and the given grammars.
  QString makeProject(const std::vector<std::pair<QString, QByteArray>>& grammars,
                      const QString& outputDir = QStringLiteral("out"),
                      const QString& exchangeDir = QStringLiteral("out")) {
    QDir().mkpath(path(QStringLiteral("out")));
    QStringList files;
    for (const auto& [name, text] : grammars) {
      writeFile(path(name + QStringLiteral(".g")), text);
      files << name + QStringLiteral(".g");
    }
    writeProject(path(QStringLiteral("p.kvp")), outputDir, exchangeDir, files);
    return path(QStringLiteral("p.kvp"));
  }

  std::unique_ptr<TfrmKivMain> showWindow(const QStringList& arguments) {
    auto window = std::make_unique<TfrmKivMain>(arguments);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get())) qWarning("window not active");
    return window;
  }

private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, FConfig.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, FConfig.path());
  }

  void init() {
    QDir(FConfig.path()).removeRecursively();
    QDir().mkpath(FConfig.path());
    FDir = std::make_unique<QTemporaryDir>();
    FPrompter = std::make_unique<ScriptedPrompter>();
  }

  void cleanup() {
    QDir::setCurrent(FStartDir);
    FPrompter.reset();
  }

  void startUpArguments() {
    const QString project = makeProject({{"Good", kGood}});
    {
      auto window = showWindow({project});
      QVERIFY(window->Project());
      QCOMPARE(window->ProjectModule()->GetName(), QStringLiteral("p"));
      QCOMPARE(window->ProjectModule()->ChildCount(), 1);
      QVERIFY(!window->ProjectModule()->IsModified());
      QCOMPARE(window->windowTitle(), QStringLiteral("Kiv Parser Generator - p"));
      QCOMPARE(window->Tree()->topLevelItem(0)->childCount(), 1);
    }
    {
      // The extension is compared exactly: a ".KVP" file opens nothing.
      QFile::copy(project, path(QStringLiteral("upper.KVP")));
      auto window = showWindow({path(QStringLiteral("upper.KVP"))});
      QVERIFY(!window->Project());
      QCOMPARE(window->windowTitle(), QStringLiteral("Kiv Parser Generator"));
      for (const char* name : {"actFileWizard", "actFileCloseAll", "actProjectBuildAll", "actProjectAddFile",
                               "actEditUndo", "actSearchFind", "actFileSave"})
        QVERIFY2(!action(*window, name)->isEnabled(), name);
      QVERIFY(action(*window, "actFileNewProject")->isEnabled());
      QVERIFY(action(*window, "actFileOpenProject")->isEnabled());
      QVERIFY(FPrompter->messages.empty());
    }
    {
      // A missing project file is reported.
      auto window = showWindow({path(QStringLiteral("none.kvp"))});
      QVERIFY(!window->Project());
      QCOMPARE(FPrompter->messages.size(), size_t(1));
    }
    // No argument, or two: a new, unmodified project with the default directories.
    putSettings({{"DefaultUnitDir", QStringLiteral("units")}, {"DefaultXchgDir", QStringLiteral("xchg")}});
    for (const QStringList& arguments : {QStringList(), QStringList({project, project})}) {
      auto window = showWindow(arguments);
      QVERIFY(window->Project());
      QCOMPARE(window->ProjectModule()->GetName(), QStringLiteral("kivProject"));
      QCOMPARE(window->Project()->GetOutputDir(), QStringLiteral("units"));
      QCOMPARE(window->Project()->GetExchangeDir(), QStringLiteral("xchg"));
      QVERIFY(!window->ProjectModule()->IsModified());
      QVERIFY(!action(*window, "actFileSaveAll")->isEnabled());
      QCOMPARE(window->EditorPages()->count(), 0);
    }
  }

  void handlerListsEachPositionedLineOnce() {
    auto window = showWindow({});
    window->HandleWarning("a(3): w");
    window->HandleWarning("a(3): w");
    window->HandleWarning("");
    window->HandleWarning("         k=1 'a'..'z'");
    window->HandleError("Internal error");  // no position and no build running
    window->HandleError("a(0): e");
    window->HandleMessage("fatal");
    window->HandleMessage("fatal");
    window->HandleError("a(2): e");
    QCOMPARE(captions(*window), QStringList({"a(3): w", "fatal", "a(2): e"}));
    QCOMPARE(images(*window), QList<int>({1, -1, 0}));

    // The pop-up menu is there only while the list has items; Copy labels every selected item.
    QCOMPARE(window->MessageView()->contextMenuPolicy(), Qt::CustomContextMenu);
    window->MessageView()->selectAll();
    action(*window, "actMessagesCopy")->trigger();
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("[Warning] a(3): w\r\n[Info   ] fatal\r\n[Error  ] a(2): e\r\n"));
    window->MessageView()->clearSelection();
    window->MessageView()->selectionModel()->select(window->Messages()->index(2),
                                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    action(*window, "actMessagesCopy")->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("[Error  ] a(2): e\r\n"));
    QCOMPARE(window->MessageView()->columnWidth(0), window->MessageView()->width() - 4);
    action(*window, "actMessagesClear")->trigger();
    QCOMPARE(window->Messages()->Count(), 0);
    QCOMPARE(window->MessageView()->contextMenuPolicy(), Qt::NoContextMenu);

    QCOMPARE(kiv::MessageListModel::LineNumberOf(QStringLiteral("x(12): y (3)")), 12);
    QCOMPARE(kiv::MessageListModel::LineNumberOf(QStringLiteral("x)(12")), 0);
    QCOMPARE(kiv::MessageListModel::LineNumberOf(QStringLiteral("x(a): y")), 0);
    QCOMPARE(kiv::MessageListModel::ModuleNameOf(QStringLiteral("Calc(3): y (z)")), QStringLiteral("Calc"));
  }

  void buildSummaries() {
    auto window = showWindow({makeProject({{"Good", kGood}, {"W", kWarned}, {"Dup", kRepeated}, {"Pf", kUnprotectedFilter}})});
    const IqvWsModulePtr project = window->ProjectModule();

    // No diagnostics: the "Compiling" item is reused for the summary.
    QVERIFY(window->OpenModule(project->FindChild(QStringLiteral("Good"))));
    QStringList inserted;
    connect(window->Messages(), &QAbstractItemModel::rowsInserted, this,
            [&](const QModelIndex&, int first) { inserted << window->Messages()->Caption(first); });
    QSignalSpy removed(window->Messages(), &QAbstractItemModel::rowsRemoved);
    QVERIFY(action(*window, "actProjectBuild")->isEnabled());
    action(*window, "actProjectBuild")->trigger();
    QCOMPARE(inserted, QStringList({"Compiling Good ..."}));
    QCOMPARE(removed.count(), 0);
    QCOMPARE(captions(*window), QStringList({"Good: 0 Error(s), 0 Warning(s)"}));
    QCOMPARE(images(*window), QList<int>({2}));
    QVERIFY(QFileInfo::exists(path(QStringLiteral("out/Good.pas"))));

    // The build reads the editor's text, not the file.
    editOf(project->FindChild(QStringLiteral("Good")))->setText(QString::fromLatin1(kBad));
    action(*window, "actProjectBuild")->trigger();
    QCOMPARE(captions(*window).last(), QStringLiteral("Good: 3 Error(s), 0 Warning(s)"));

    // Warnings only: the summary moves below them; lookahead lines are not listed.
    QVERIFY(window->OpenModule(project->FindChild(QStringLiteral("W"))));
    action(*window, "actProjectBuild")->trigger();
    QCOMPARE(captions(*window), QStringList({"W(4): Syntactic predicate ignored for single alternative.",
                                             "W: 0 Error(s), 1 Warning(s)"}));
    QCOMPARE(images(*window), QList<int>({1, 2}));

    // A diagnostic reported several times is listed once; the summary gives the generator's own
    // counts, as the command line prints them.
    QVERIFY(window->OpenModule(project->FindChild(QStringLiteral("Dup"))));
    action(*window, "actProjectBuild")->trigger();
    QCOMPARE(captions(*window).first(), QStringLiteral("Dup(4): Rule \"MISSING\" is not defined."));
    QCOMPARE(captions(*window).filter(QStringLiteral("Dup(4)")).size(), 1);
    QCOMPARE(captions(*window).last(), QStringLiteral("Dup: 5 Error(s), 0 Warning(s)"));

    // An error without a usable line still fails the build visibly; the nondeterminism report
    // is listed and, as the generator counts, not counted.
    QVERIFY(window->OpenModule(project->FindChild(QStringLiteral("Pf"))));
    action(*window, "actProjectBuild")->trigger();
    QVERIFY(captions(*window).contains(QStringLiteral("Pf(0): Filter rule \"JUNK\" must be protected.")));
    QCOMPARE(captions(*window).last(), QStringLiteral("Pf: 1 Error(s), 0 Warning(s)"));
    // The report's lookahead lines are no items; its tool tip shows them.
    const int report = static_cast<int>(captions(*window).indexOf(
        QStringLiteral("Pf(1): Lexical nondeterminism between rules \"WORD\" and \"JUNK\"")));
    QVERIFY(report >= 0);
    QCOMPARE(window->Messages()->data(window->Messages()->index(report), Qt::ToolTipRole).toString(),
             captions(*window)[report] + QStringLiteral("\n         k=1 'a'..'z'"));
  }

  void buildAllAndNavigation() {
    auto window = showWindow({makeProject({{"Bad", kBad}, {"Good", kGood}, {"W", kWarned}})});
    QVERIFY(action(*window, "actProjectBuildAll")->isEnabled());
    QVERIFY(!action(*window, "actProjectBuild")->isEnabled());  // no module is shown
    action(*window, "actProjectBuildAll")->trigger();
    const QStringList list = captions(*window);
    QCOMPARE(list.filter(QStringLiteral("Error(s)")),
             QStringList({"Bad: 3 Error(s), 0 Warning(s)", "Good: 0 Error(s), 0 Warning(s)",
                          "W: 0 Error(s), 1 Warning(s)"}));
    QCOMPARE(list.first(), QStringLiteral("Bad(4): Undefined token symbol: A"));
    QCOMPARE(list.indexOf(QStringLiteral("Bad: 3 Error(s), 0 Warning(s)")), 3);

    // Double-clicking an error opens its module at the line.
    doubleClickRow(*window, 0);
    const IqvWsModulePtr bad = window->ProjectModule()->FindChild(QStringLiteral("Bad"));
    QTRY_COMPARE(window->CurrentModule(), bad);
    QCOMPARE(caretLine(bad), 3);
    QCOMPARE(window->EditorPages()->tabText(window->EditorPages()->currentIndex()), QStringLiteral("Bad"));
    // A summary item does nothing.
    doubleClickRow(*window, list.indexOf(QStringLiteral("Good: 0 Error(s), 0 Warning(s)")));
    QCOMPARE(window->CurrentModule(), bad);
    QVERIFY(!window->ProjectModule()->FindChild(QStringLiteral("Good"))->GetEditor());
    // So does a warning: it opens W.
    doubleClickRow(*window, list.indexOf(QStringLiteral("W(4): Syntactic predicate ignored for single alternative.")));
    QTRY_COMPARE(window->CurrentModule(), window->ProjectModule()->FindChild(QStringLiteral("W")));
    // A grammar activated in the tree opens too.
    QTreeWidgetItem* goodNode = window->Tree()->topLevelItem(0)->child(1);
    window->Tree()->setCurrentItem(goodNode);
    emit window->Tree()->itemActivated(goodNode, 0);
    QCOMPARE(window->CurrentModule()->GetName(), QStringLiteral("Good"));
  }

  void directoriesComeFromTheProjectFolder() {
    QDir().mkpath(path(QStringLiteral("gen")));
    const QString project = makeProject({{"Good", kGood}}, QStringLiteral("gen"), QString());
    QTemporaryDir elsewhere;
    QDir::setCurrent(elsewhere.path());
    auto window = showWindow({project});
    action(*window, "actProjectBuildAll")->trigger();
    QCOMPARE(captions(*window), QStringList({"Good: 0 Error(s), 0 Warning(s)"}));
    QVERIFY(QFileInfo::exists(path(QStringLiteral("gen/Good.pas"))));
    QVERIFY(QFileInfo::exists(path(QStringLiteral("GoodTokens.txt"))));  // the empty exchange dir
    QVERIFY(QDir(elsewhere.path()).isEmpty());

    // Missing directories refuse the build with both messages, positioned at the project.
    window->Project()->SetOutputDir(QStringLiteral("missing"));
    window->Project()->SetExchangeDir(path(QStringLiteral("gone")));
    action(*window, "actProjectBuildAll")->trigger();
    const QString folder = QDir::toNativeSeparators(QFileInfo(project).absolutePath());
    QCOMPARE(captions(*window),
             QStringList({QStringLiteral("p(1): Grammar units directory \"%1\" doesn't exists. Check project options!")
                              .arg(folder + QDir::separator() + QStringLiteral("missing")),
                          QStringLiteral("p(1): Exchange files directory \"%1\" doesn't exists. Check project options!")
                              .arg(folder + QDir::separator() + QStringLiteral("gone"))}));
    QCOMPARE(images(*window), QList<int>({0, 0}));

    // A unit that cannot be written is a counted error, not a silent success.
    window->Project()->SetOutputDir(QStringLiteral("gen"));
    window->Project()->SetExchangeDir(QString());
    QFile::remove(path(QStringLiteral("gen/Good.pas")));
    QDir().mkpath(path(QStringLiteral("gen/Good.pas")));
    action(*window, "actProjectBuildAll")->trigger();
    QVERIFY2(!captions(*window).last().startsWith(QStringLiteral("Good: 0 Error(s)")),
             qPrintable(captions(*window).join(QLatin1Char('\n'))));

    // A project written on Windows: "\" separates in its directories and grammar paths, as the
    // command line reads them (before, "gen\win" was one strange folder name here).
    window.reset();
    QDir().mkpath(path(QStringLiteral("gen/win")));
    writeFile(path(QStringLiteral("sub/Win.g")), "unit Win;\nlexer TWin;\n\nA : 'a' ;\n");
    writeProject(path(QStringLiteral("w.kvp")), QStringLiteral("gen\\win"), QStringLiteral("gen\\win"),
                 {QStringLiteral("sub\\Win.g")});
    window = showWindow({path(QStringLiteral("w.kvp"))});
    const IqvWsModulePtr win = window->ProjectModule()->FindChild(QStringLiteral("Win"));
    QVERIFY(win && !win->IsMissing());
    action(*window, "actProjectBuildAll")->trigger();
    QCOMPARE(captions(*window), QStringList({"Win: 0 Error(s), 0 Warning(s)"}));
    QVERIFY(QFileInfo::exists(path(QStringLiteral("gen/win/Win.pas"))));
    QVERIFY(QFileInfo::exists(path(QStringLiteral("gen/win/WinTokens.txt"))));
  }

  void commandEnablingFollowsTheProject() {
    auto window = showWindow({});
    for (const char* name : {"actFileWizard", "actFileCloseAll", "actFileSaveProjectAs", "actProjectAddFile",
                             "actProjectOptions"})
      QVERIFY2(action(*window, name)->isEnabled(), name);
    for (const char* name : {"actFileSaveAll", "actFileClose", "actFileSaveAs", "actFilePrint", "actFileExportHTML",
                             "actFileSave", "actProjectBuild", "actProjectBuildAll", "actSearchFind",
                             "actSearchGoto", "actEditPaste", "actProjectRemFile"})
      QVERIFY2(!action(*window, name)->isEnabled(), name);

    writeFile(path(QStringLiteral("a/Good.g")), kGood);
    writeFile(path(QStringLiteral("a/W.g")), kWarned);
    writeFile(path(QStringLiteral("b/Good.g")), kGood);
    FPrompter->files = {path(QStringLiteral("a/Good.g")), path(QStringLiteral("a/W.g")), path(QStringLiteral("b/Good.g"))};
    for (int i = 0; i < 3; ++i) action(*window, "actProjectAddFile")->trigger();
    QCOMPARE(FPrompter->fileRequests.front().title, QStringLiteral("Open KIV Grammar source..."));
    QCOMPARE(captions(*window), QStringList({"kivProject(1): Module \"Good\" already in the project"}));
    QCOMPARE(window->ProjectModule()->ChildCount(), 2);
    QCOMPARE(window->EditorPages()->count(), 2);
    QCOMPARE(window->CurrentModule()->GetName(), QStringLiteral("W"));
    for (const char* name : {"actFileSaveAll", "actFileClose", "actFileSaveAs", "actProjectBuild",
                             "actProjectBuildAll", "actSearchFind", "actSearchReplace", "actSearchGoto"})
      QVERIFY2(action(*window, name)->isEnabled(), name);
    QVERIFY(!action(*window, "actFileSave")->isEnabled());
    QVERIFY(!action(*window, "actEditUndo")->isEnabled());
    QVERIFY(!action(*window, "actSearchFindNext")->isEnabled());

    QsciScintilla* edit = editOf(window->CurrentModule());
    edit->insert(QStringLiteral("// note\n"));
    QTRY_VERIFY(action(*window, "actFileSave")->isEnabled());
    QVERIFY(action(*window, "actEditUndo")->isEnabled());
    edit->selectAll();
    QTRY_VERIFY(action(*window, "actEditCopy")->isEnabled());
    window->FindDialog()->SetFindText(QStringLiteral("lexer"));
    QVERIFY(action(*window, "actSearchFindNext")->isEnabled());
    QVERIFY(action(*window, "actSearchFindPrev")->isEnabled());

    // Remove and move need the tree's focus on a grammar.
    TqvWsTreeView* tree = window->Tree();
    tree->setCurrentItem(tree->topLevelItem(0)->child(1));
    QVERIFY(!action(*window, "actProjectRemFile")->isEnabled());
    tree->setFocus();
    QTRY_VERIFY(action(*window, "actProjectRemFile")->isEnabled());
    QVERIFY(action(*window, "actProjectMoveUp")->isEnabled());
    QVERIFY(!action(*window, "actProjectMoveDown")->isEnabled());
    tree->setCurrentItem(tree->topLevelItem(0));
    QVERIFY(!action(*window, "actProjectRemFile")->isEnabled());
    tree->setCurrentItem(tree->topLevelItem(0)->child(1));
    action(*window, "actProjectMoveUp")->trigger();
    QCOMPARE(window->ProjectModule()->Child(0)->GetName(), QStringLiteral("W"));

    // Removing the modified W asks first; "No" drops its changes and its tab.
    FPrompter->answers = {kiv::PromptAnswer::No};
    tree->setCurrentItem(tree->topLevelItem(0)->child(0));
    tree->setFocus();
    QTRY_VERIFY(action(*window, "actProjectRemFile")->isEnabled());
    action(*window, "actProjectRemFile")->trigger();
    QCOMPARE(FPrompter->questions, QStringList({"Confirm: Save changes to W?"}));
    QCOMPARE(window->ProjectModule()->ChildCount(), 1);
    QCOMPARE(window->EditorPages()->count(), 1);

    // Close all forgets the project and disables its commands.
    FPrompter->answers = {kiv::PromptAnswer::No};
    action(*window, "actFileCloseAll")->trigger();
    QVERIFY(!window->Project());
    QVERIFY(!action(*window, "actProjectAddFile")->isEnabled());
    QCOMPARE(window->windowTitle(), QStringLiteral("Kiv Parser Generator"));
  }

  void wizardsMakeNewGrammars() {
    putSettings({{"WizardProject", true}, {"LexerWizard", true}, {"ParserWizard", true}});
    OnModal<TfrmKivLexerWizard>([](TfrmKivLexerWizard* dialog) {
      QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("edUnitName")), QStringLiteral("calcLexer"));
      dialog->findChild<QPushButton*>(QStringLiteral("btnOk"))->click();
    });
    OnModal<TfrmKivParserWizard>([](TfrmKivParserWizard* dialog) {
      QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("edUnitName")), QStringLiteral("calcParser"));
      QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("edImportVocab")), QStringLiteral("calcLexer"));
      dialog->findChild<QPushButton*>(QStringLiteral("btnOk"))->click();
    });
    auto window = showWindow({});
    const IqvWsModulePtr project = window->ProjectModule();
    QCOMPARE(project->ChildCount(), 2);
    QCOMPARE(project->Child(0)->GetName(), QStringLiteral("Lexer1"));
    QCOMPARE(project->Child(1)->GetName(), QStringLiteral("Parser1"));
    QCOMPARE(window->EditorPages()->count(), 2);
    QCOMPARE(window->CurrentModule(), project->Child(1));
    QVERIFY(project->Child(0)->IsModified() && project->Child(1)->IsModified());
    QCOMPARE(project->Child(0)->GetLines().first(), QStringLiteral("unit calcLexer;"));

    // A grammar wizard picked through "New Items".
    OnModal<TfrmNewItems>([](TfrmNewItems* dialog) {
      QListWidget* list = dialog->List(0);
      list->setCurrentRow(0);
      dialog->OkButton()->click();
    });
    OnModal<TfrmKivLexerWizard>([](TfrmKivLexerWizard* dialog) {
      dialog->findChild<QLineEdit*>(QStringLiteral("edUnitName"))->setText(QStringLiteral("more"));
      dialog->findChild<QPushButton*>(QStringLiteral("btnOk"))->click();
    });
    action(*window, "actFileWizard")->trigger();
    QCOMPARE(project->ChildCount(), 3);
    QCOMPARE(window->CurrentModule()->GetName(), QStringLiteral("Lexer2"));

    // The new grammars build: the lexer's vocabulary is what the parser imports.
    QDir().mkpath(path(QStringLiteral("gen")));
    window->Project()->SetOutputDir(path(QStringLiteral("gen")));
    window->Project()->SetExchangeDir(path(QStringLiteral("gen")));
    action(*window, "actProjectBuildAll")->trigger();
    QCOMPARE(captions(*window), QStringList({"Lexer1: 0 Error(s), 0 Warning(s)", "Parser1: 0 Error(s), 0 Warning(s)",
                                             "Lexer2: 0 Error(s), 0 Warning(s)"}));
    QVERIFY(QFileInfo::exists(path(QStringLiteral("gen/calcParser.pas"))));
  }

  void saveAsGotoAndClose() {
    auto window = showWindow({makeProject({{"Good", kGood}})});
    const IqvWsModulePtr good = window->ProjectModule()->FindChild(QStringLiteral("Good"));
    QVERIFY(window->OpenModule(good));

    // Goto line asks for the number and moves the caret there.
    FPrompter->numbers = {3};
    action(*window, "actSearchGoto")->trigger();
    QCOMPARE(FPrompter->numberRequests, QStringList({"Goto line number: Line number: 1 [1..4]"}));
    QCOMPARE(caretLine(good), 2);

    // Save as renames the module, its tab and its node, and the project must be saved again.
    FPrompter->files = {path(QStringLiteral("Better.g"))};
    action(*window, "actFileSaveAs")->trigger();
    QCOMPARE(good->GetName(), QStringLiteral("Better"));
    QCOMPARE(window->EditorPages()->tabText(0), QStringLiteral("Better"));
    QCOMPARE(window->Tree()->topLevelItem(0)->child(0)->text(0), QStringLiteral("Better"));
    QVERIFY(window->ProjectModule()->IsModified());
    QVERIFY(action(*window, "actFileSave")->isEnabled() == false);

    // Closing with unsaved changes asks; Cancel keeps the window open, No lets it close.
    editOf(good)->insert(QStringLiteral("// changed\n"));
    FPrompter->answers = {kiv::PromptAnswer::Cancel};
    QVERIFY(!window->close());
    QVERIFY(window->isVisible());
    QVERIFY(good->GetEditor());
    FPrompter->answers = {kiv::PromptAnswer::No, kiv::PromptAnswer::No};
    QVERIFY(window->close());
    QCOMPARE(FPrompter->questions,
             QStringList({"Confirm: Save changes to Better?", "Confirm: Save changes to Better?",
                          "Confirm: Save changes to p?"}));
  }

  void optionsDialogs() {
    auto window = showWindow({});
    OnModal<TfrmProjectOptions>([](TfrmProjectOptions* dialog) {
      QCOMPARE(dialog->UnitDirEdit()->text(), QString());
      dialog->UnitDirEdit()->setText(QStringLiteral("units"));
      dialog->XchgDirEdit()->setText(QStringLiteral("xchg"));
      dialog->OkButton()->click();
    });
    action(*window, "actProjectOptions")->trigger();
    QCOMPARE(window->Project()->GetOutputDir(), QStringLiteral("units"));
    QCOMPARE(window->Project()->GetExchangeDir(), QStringLiteral("xchg"));
    QVERIFY(window->ProjectModule()->IsModified());
    QVERIFY(action(*window, "actFileSaveAll")->isEnabled());

    bool shown = false;
    OnModal<TfrmOptions>([&](TfrmOptions* dialog) {
      shown = true;
      dialog->reject();
    });
    action(*window, "actToolsOptions")->trigger();
    QVERIFY(shown);
  }

  void boundsAndPanels() {
    {
      auto window = showWindow({});
      window->move(40, 50);
      window->resize(700, 500);
      QTRY_COMPARE(window->size(), QSize(700, 500));

      const int explorer = window->ExplorerWidth();
      QVERIFY(explorer > 0);
      action(*window, "actViewExplorer")->trigger();
      QCOMPARE(window->ExplorerWidth(), 0);
      action(*window, "actViewExplorer")->trigger();
      QCOMPARE(window->ExplorerWidth(), explorer);
      const int messages = window->MessagesHeight();
      action(*window, "actViewMessages")->trigger();
      QCOMPARE(window->MessagesHeight(), 10);
      action(*window, "actViewMessages")->trigger();
      QCOMPARE(window->MessagesHeight(), messages);
    }
    // The bounds stored when the window went are applied to the next one.
    auto window = std::make_unique<TfrmKivMain>();
    QCOMPARE(window->pos(), QPoint(40, 50));
    QCOMPARE(window->size(), QSize(700, 500));
  }
};

QTEST_MAIN(TestKivMain)
#include "tst_qvKivMain.moc"
