// tst_qvKivMainComforts.cpp
// What a Lazarus or Delphi user expects of the workbench: the editor's gutter, current line,
// indentation and braces, tabs with a "*" and a close button, Ctrl+Tab; a find dialog that keeps
// off its match; the message list's keys; recent projects and files; mnemonics, Save all's
// shortcut and About; missing output folders offered for creation; and the background check.
#include <QApplication>
#include <QClipboard>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>

#include "mainWindowHelpers.h"
#include "scriptedPrompter.h"
#include "workbench/check/qvGrammarChecker.h"
#include "workbench/qvAbout.h"
#include "workbench/qvFindReplaceDialog.h"
#include "workbench/qvRecentFiles.h"
#include "workbench/qvStatusPanels.h"
#include "workbench/qvWsKivProject.h"
#include "workbench/qvWsKivWizards.h"
#include "workbench/authoring/qvWsKivGrammarWizards.h"

using namespace testing;

class TestKivMainComforts : public QObject {
  Q_OBJECT

private:
  QTemporaryDir FConfig;
  std::unique_ptr<QTemporaryDir> FDir;
  std::unique_ptr<ScriptedPrompter> FPrompter;

  QString path(const QString& name) const { return FDir->filePath(name); }

  QString makeProject(const std::vector<std::pair<QString, QByteArray>>& grammars,
                      const QString& outputDir = QStringLiteral("out")) {
    if (outputDir == QStringLiteral("out")) QDir().mkpath(path(QStringLiteral("out")));
    QStringList files;
    for (const auto& [name, text] : grammars) {
      writeFile(path(name + QStringLiteral(".g")), text);
      files << name + QStringLiteral(".g");
    }
    writeProject(path(QStringLiteral("p.kvp")), outputDir, outputDir, files);
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

  void editorAndTabs() {
    auto window = showWindow({makeProject({{"Good", kGood}, {"W", kWarned}})});
    const IqvWsModulePtr good = window->ProjectModule()->FindChild(QStringLiteral("Good"));
    const IqvWsModulePtr warned = window->ProjectModule()->FindChild(QStringLiteral("W"));
    QVERIFY(window->OpenModule(good));
    QVERIFY(window->OpenModule(warned));
    QsciScintilla* edit = editOf(warned);
    QVERIFY(edit->marginWidth(TqvWsKivGrammarEditor::kLineNumberMargin) > 0);
    QCOMPARE(edit->marginType(TqvWsKivGrammarEditor::kLineNumberMargin), QsciScintilla::NumberMargin);
    QVERIFY(edit->SendScintilla(QsciScintillaBase::SCI_GETCARETLINEVISIBLE));
    QVERIFY(edit->SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, TqvWsKivGrammarEditor::kCheckMargin) > 0);

    // Return keeps the line's indentation, character for character.
    edit->setText(QStringLiteral("rule\n \t x"));
    edit->setCursorPosition(1, 4);
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClicks(edit, QStringLiteral("y"));
    QCOMPARE(edit->text(), QStringLiteral("rule\n \t x\n \t y"));
    // Matching braces are shown: the brace at the caret and its partner get the brace style.
    edit->setText(QStringLiteral("a { b ( c ) d }"));
    edit->setCursorPosition(0, 2);
    QCOMPARE(edit->SendScintilla(QsciScintillaBase::SCI_BRACEMATCH, 2L), 14L);

    // Select all, in the Edit menu with Ctrl+A.
    QCOMPARE(action(*window, "actEditSelectAll")->shortcut(), QKeySequence(QStringLiteral("Ctrl+A")));
    action(*window, "actEditSelectAll")->trigger();
    QCOMPARE(edit->selectedText(), edit->text());

    // A modified tab shows "*"; Ctrl+Tab goes to the next tab; a tab's close button asks first.
    QTabWidget* pages = window->EditorPages();
    QTRY_COMPARE(pages->tabText(pages->currentIndex()), QStringLiteral("W*"));
    QCOMPARE(pages->tabText(pages->indexOf(editorOf(good)->GetParent())), QStringLiteral("Good"));
    QVERIFY(pages->tabsClosable());
    QTest::keyClick(edit, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(window->CurrentModule(), good);
    QTest::keyClick(editOf(good), Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(window->CurrentModule(), warned);
    FPrompter->answers = {kiv::PromptAnswer::Cancel};
    emit pages->tabCloseRequested(pages->currentIndex());
    QCOMPARE(FPrompter->questions, QStringList({"Confirm: Save changes to W?"}));
    QCOMPARE(pages->count(), 2);
    emit pages->tabCloseRequested(pages->indexOf(editorOf(good)->GetParent()));
    QCOMPARE(pages->count(), 1);
    QVERIFY(!good->GetEditor());
    FPrompter->answers = {kiv::PromptAnswer::No, kiv::PromptAnswer::No};
  }

  void findKeepsOffTheMatch() {
    QByteArray text;
    for (int i = 0; i < 40; ++i) text += "// filler line " + QByteArray::number(i) + "\n";
    auto window = showWindow({makeProject({{"Long", text + "// target\n" + kGood}})});
    const IqvWsModulePtr module = window->ProjectModule()->FindChild(QStringLiteral("Long"));
    QVERIFY(window->OpenModule(module));
    kiv::FindReplaceDialog* dialog = window->FindDialog();
    dialog->ShowAs(kiv::FindReplaceDialog::Mode::Find);
    dialog->SetFindText(QStringLiteral("target"));
    dialog->FindNextButton()->click();
    const QRect match = module->GetEditor()->SelectionScreenRect();
    QVERIFY(!match.isEmpty());
    // Put the dialog over the match and search again (the search wraps to the same match).
    dialog->move(match.topLeft() - QPoint(10, 10));
    QVERIFY(dialog->frameGeometry().intersects(match));
    action(*window, "actSearchFindNext")->trigger();
    QCOMPARE(module->GetEditor()->GetSelectedText(), QStringLiteral("target"));
    QVERIFY(!dialog->frameGeometry().intersects(module->GetEditor()->SelectionScreenRect()));
    QCOMPARE(window->StatusPanels()->Note(), QStringLiteral("Search reached the end and continued from the top"));
    // Closing the dialog takes the highlights of every match away.
    dialog->reject();
    QCOMPARE(editorOf(module)->FindMarkCount(), 0);
  }

  void messageListKeys() {
    auto window = showWindow({makeProject({{"Bad", kBad}, {"W", kWarned}})});
    action(*window, "actProjectBuildAll")->trigger();
    const QStringList list = captions(*window);
    QCOMPARE(list.size(), 6);  // three errors, a summary, a warning, a summary
    QCOMPARE(action(*window, "actSearchNextMessage")->shortcut(), QKeySequence(QStringLiteral("F6")));
    QCOMPARE(action(*window, "actSearchPrevMessage")->shortcut(), QKeySequence(QStringLiteral("Shift+F6")));

    // Enter opens the current message like a double click; its line is highlighted.
    kiv::MessageListView* view = window->MessageView();
    view->setFocus();
    view->setCurrentIndex(window->Messages()->index(0));
    QTest::keyClick(view, Qt::Key_Return);
    const IqvWsModulePtr bad = window->ProjectModule()->FindChild(QStringLiteral("Bad"));
    QCOMPARE(window->CurrentModule(), bad);
    QCOMPARE(caretLine(bad), 3);
    QCOMPARE(editorOf(bad)->HighlightedLine(), 4);
    // The caret stands where the generator places the error ("A" of "start : A B ) ;").
    int line = -1, index = -1;
    editOf(bad)->getCursorPosition(&line, &index);
    QCOMPARE(index, 8);

    // F6 walks the errors and warnings, skipping summaries, and wraps around.
    for (int step = 0; step < 3; ++step) action(*window, "actSearchNextMessage")->trigger();
    QCOMPARE(view->currentIndex().row(), 4);
    const IqvWsModulePtr warned = window->ProjectModule()->FindChild(QStringLiteral("W"));
    QCOMPARE(window->CurrentModule(), warned);
    action(*window, "actSearchNextMessage")->trigger();
    QCOMPARE(view->currentIndex().row(), 0);
    QVERIFY(window->StatusPanels()->Note().contains(QStringLiteral("back at the first")));
    action(*window, "actSearchPrevMessage")->trigger();
    QCOMPARE(view->currentIndex().row(), 4);

    // Ctrl+C in the list copies its selected lines.
    view->setFocus();
    view->clearSelection();
    view->selectionModel()->select(window->Messages()->index(3), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTRY_VERIFY(action(*window, "actEditCopy")->isEnabled());
    QTest::keySequence(view, QKeySequence::Copy);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("[Info   ] Bad: 3 Error(s), 0 Warning(s)\r\n"));

    // The generator counts a line's bytes; the caret goes to the character there (after "éé").
    writeFile(path(QStringLiteral("U.g")), "unit U;\nparser TU;\n\nstart : \"\xC3\xA9\xC3\xA9\" X ;\n");
    FPrompter->files = {path(QStringLiteral("U.g"))};
    action(*window, "actProjectAddFile")->trigger();
    action(*window, "actProjectBuild")->trigger();
    QCOMPARE(captions(*window).value(1), QStringLiteral("U(4): Undefined token symbol: X"));
    QVERIFY(window->OpenMessage(1));
    const IqvWsModulePtr utf8 = window->ProjectModule()->FindChild(QStringLiteral("U"));
    editOf(utf8)->getCursorPosition(&line, &index);
    QCOMPARE(QPair(line, index), QPair(3, 13));
    FPrompter->answers = {kiv::PromptAnswer::No};
  }

  void recentListsAndProjectFolder() {
    const QString project = makeProject({{"Good", kGood}});
    writeFile(path(QStringLiteral("more/W.g")), kWarned);
    {
      auto window = showWindow({project});
      QCOMPARE(window->RecentProjects().Entries(), QStringList({QFileInfo(project).absoluteFilePath()}));
      // Dialogs start in the project's folder, so a new grammar lands in the project.
      QCOMPARE(window->LexerWizard()->GetInitialDirectory(), QFileInfo(project).absolutePath());
      FPrompter->files = {path(QStringLiteral("more/W.g"))};
      action(*window, "actProjectAddFile")->trigger();
      QCOMPARE(FPrompter->fileRequests.back().directory, QFileInfo(project).absolutePath());
      QCOMPARE(window->RecentGrammarFiles().Entries(), QStringList({QFileInfo(path(QStringLiteral("more/W.g"))).absoluteFilePath()}));
      FPrompter->answers = {kiv::PromptAnswer::No};
    }
    // The lists outlive the window; the menus offer them with "&1"..., most recent first.
    auto window = showWindow({});
    QMenu* projects = window->RecentProjectsMenu();
    emit projects->aboutToShow();
    QCOMPARE(projects->actions().first()->text(), QStringLiteral("&1 ") + QDir::toNativeSeparators(QFileInfo(project).absoluteFilePath()));
    projects->actions().first()->trigger();
    QCOMPARE(window->ProjectModule()->GetFilePath(), QFileInfo(project).absoluteFilePath());
    QCOMPARE(window->ProjectModule()->ChildCount(), 1);  // the project with W was not saved
    // A recent file not in the project is added to it; one that is gone leaves the list.
    window->RecentGrammarFiles().Add(path(QStringLiteral("gone.g")));
    QMenu* files = window->RecentFilesMenu();
    emit files->aboutToShow();
    files->actions().first()->trigger();
    QCOMPARE(FPrompter->messages.size(), size_t(1));
    QVERIFY(!window->RecentGrammarFiles().Entries().contains(QFileInfo(path(QStringLiteral("gone.g"))).absoluteFilePath()));
    FPrompter->answers = {kiv::PromptAnswer::No, kiv::PromptAnswer::No};
  }

  void menusMnemonicsAndAbout() {
    auto window = showWindow({});
    // Every menu and every item has one mnemonic, different from its neighbours'.
    std::function<void(QMenu*)> check = [&check](QMenu* menu) {
      QSet<QChar> used;
      for (QAction* item : menu->actions()) {
        if (item->isSeparator()) continue;
        const QString text = item->text();
        const qsizetype amp = text.indexOf(QLatin1Char('&'));
        if (menu->objectName().startsWith(QStringLiteral("mnuRecent")) && !text.contains(QLatin1Char('&'))) continue;
        QVERIFY2(amp >= 0 && amp + 1 < text.size(), qPrintable(menu->title() + QStringLiteral(": ") + text));
        const QChar key = text[amp + 1].toLower();
        QVERIFY2(!used.contains(key), qPrintable(menu->title() + QStringLiteral(": ") + text));
        used.insert(key);
        if (item->menu()) check(item->menu());
      }
    };
    QMenuBar* bar = window->menuBar();
    QSet<QChar> top;
    for (QAction* menu : bar->actions()) {
      const QString title = menu->text();
      QVERIFY2(title.startsWith(QLatin1Char('&')), qPrintable(title));
      QVERIFY(!top.contains(title[1]));
      top.insert(title[1]);
      check(menu->menu());
    }
    QCOMPARE(action(*window, "actFileExit")->text(), QStringLiteral("E&xit"));
    QCOMPARE(action(*window, "actFileSaveAll")->shortcut(), QKeySequence(QStringLiteral("Shift+Ctrl+S")));

    // Help > About: the version, the runtime folder and a link to the documentation.
    QAction* about = action(*window, "actHelpAbout");
    QVERIFY(about->isEnabled());
    about->trigger();
    QCOMPARE(FPrompter->messages.size(), size_t(1));
    const QString text = FPrompter->messages[0].text;
    QVERIFY(text.contains(kiv::WorkbenchVersion()));
    QVERIFY2(!kiv::RuntimeFolder().isEmpty() && text.contains(QDir::toNativeSeparators(kiv::RuntimeFolder())), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("<a href=\"file:")) && text.contains(QStringLiteral("workbench.md")), qPrintable(text));
  }

  void missingFoldersAreOffered() {
    auto window = showWindow({makeProject({{"Good", kGood}, {"W", kWarned}}, QStringLiteral("gen"))});
    // Declined: the specified messages, and one question per folder for the whole "Build all".
    FPrompter->answers = {kiv::PromptAnswer::No};
    action(*window, "actProjectBuildAll")->trigger();
    QCOMPARE(FPrompter->questions.size(), 1);
    QVERIFY(FPrompter->questions[0].contains(QStringLiteral("does not exist.\n\nCreate it?")));
    QVERIFY(captions(*window).first().endsWith(QStringLiteral("doesn't exists. Check project options!")));
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("gen"))));
    // Accepted: the folder is made and the build goes on.
    FPrompter->answers = {kiv::PromptAnswer::Yes};
    action(*window, "actProjectBuildAll")->trigger();
    QVERIFY(QFileInfo(path(QStringLiteral("gen"))).isDir());
    QCOMPARE(captions(*window).last(), QStringLiteral("W: 0 Error(s), 1 Warning(s)"));
    QVERIFY(QFileInfo::exists(path(QStringLiteral("gen/Good.pas"))));
  }

  void backgroundCheckMarksErrorsAsYouType() {
    auto window = showWindow({makeProject({{"Good", kGood}})});
    window->Checker()->SetPause(50);
    const IqvWsModulePtr good = window->ProjectModule()->FindChild(QStringLiteral("Good"));
    QVERIFY(window->OpenModule(good));
    QTRY_COMPARE(window->Checker()->ShownCount(), 1);
    QCOMPARE(editorOf(good)->CheckTipAt(4), QString());

    // A syntax error on line 4: a margin mark with the message as its tool tip, nothing written.
    QsciScintilla* edit = editOf(good);
    edit->setCursorPosition(3, 8);
    QTest::keyClicks(edit, QStringLiteral(") "));
    QTRY_COMPARE(editorOf(good)->CheckTipAt(4), QStringLiteral("Good(4): Unexpected token: )"));
    QVERIFY(QDir(path(QStringLiteral("out"))).isEmpty());
    QVERIFY(window->StatusPanels()->Note().contains(QStringLiteral("found while typing")));
    // The mark moves with its line.
    edit->setCursorPosition(0, 0);
    edit->insert(QStringLiteral("\n"));
    QCOMPARE(editorOf(good)->CheckTipAt(5), QStringLiteral("Good(4): Unexpected token: )"));

    // A result for a text that changed while the check ran is dropped, and the text is checked
    // again: a big grammar keeps the check busy long enough to type during it.
    QByteArray big = "unit Big;\nparser TBig;\n\nr0 : ;\n";
    for (int i = 1; i < 20000; ++i)
      big += "rule" + QByteArray::number(i) + " : r0 | rule" + QByteArray::number(i - 1) + " r0 ;\n";
    big.replace("rule0", "r0");
    const int missingLine = static_cast<int>(big.count('\n')) + 1;
    edit->setText(QString::fromLatin1(big + "a : MISSING ;\n"));
    QTRY_VERIFY(window->Checker()->IsRunning());
    const int dropped = window->Checker()->DroppedCount();
    edit->setCursorPosition(0, 0);
    edit->insert(QStringLiteral("// typed while the check ran\n"));
    QTRY_VERIFY_WITH_TIMEOUT(window->Checker()->DroppedCount() > dropped, 20000);
    const QString expected = QStringLiteral("Good(%1): Undefined token symbol: MISSING").arg(missingLine + 1);
    QTRY_COMPARE_WITH_TIMEOUT(editorOf(good)->CheckTipAt(missingLine + 1), expected, 20000);
    FPrompter->answers = {kiv::PromptAnswer::No, kiv::PromptAnswer::No};
  }
};

QTEST_MAIN(TestKivMainComforts)
#include "tst_qvKivMainComforts.moc"
