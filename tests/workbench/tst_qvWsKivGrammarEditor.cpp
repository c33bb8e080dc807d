// tst_qvWsKivGrammarEditor.cpp
// The grammar editor inside a module's tab: status panels, modified state, undo, find and
// replace counts, clipboard availability, export and printing.
#include <QApplication>
#include <QClipboard>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <Qsci/qsciscintilla.h>
#include <QtTest>

#include "scriptedPrompter.h"
#include "workbench/authoring/kivSyn.h"
#include "workbench/qvFindReplaceDialog.h"
#include "workbench/qvStatusPanels.h"
#include "workbench/qvWsKivGrammarEditor.h"
#include "workbench/qvWsKivGrammarModule.h"

namespace {
QString readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
}  // namespace

class TestGrammarEditor : public QObject {
  Q_OBJECT

private:
  QTemporaryDir FDir;
  std::unique_ptr<QWidget> FWindow;
  QTabWidget* FTabs = nullptr;
  kiv::PanelStatusBar* FStatus = nullptr;
  std::shared_ptr<TqvWsKivGrammarModule> FModule;

  TqvWsKivGrammarEditor* editor() const { return static_cast<TqvWsKivGrammarEditor*>(FModule->GetEditor()); }
  QsciScintilla* edit() const { return editor()->Edit(); }
  QString panel(int index) const { return FStatus->PanelText(index); }

private slots:
  void init() {
    FWindow = std::make_unique<QWidget>();
    FTabs = new QTabWidget;
    FTabs->hide();
    FStatus = new kiv::PanelStatusBar;
    for (int width : {70, 70, 70, 70, 50}) FStatus->AddPanel(width);
    auto* layout = new QVBoxLayout(FWindow.get());
    layout->addWidget(FTabs);
    layout->addWidget(FStatus);
    FWindow->resize(640, 480);
    FModule = std::make_shared<TqvWsKivGrammarModule>(QStringLiteral("Calc"));
    FModule->SetLines({"lexer Calc;", "ID : 'a'..'z' ;", "abc ABC abc"});
    FWindow->show();
    QVERIFY(FModule->OpenEditor(FTabs, FStatus));
  }
  void cleanup() {
    FModule.reset();
    FWindow.reset();
  }

  void opensInATab() {
    QCOMPARE(FTabs->count(), 1);
    QCOMPARE(FTabs->tabText(0), QStringLiteral("Calc"));
    QVERIFY(FTabs->isVisible());
    QCOMPARE(editor()->GetParent(), FTabs->currentWidget());
    // The module's lines are a file's lines: each ends in a line end, the last one too.
    QCOMPARE(edit()->text(), QStringLiteral("lexer Calc;\nID : 'a'..'z' ;\nabc ABC abc\n"));
    QCOMPARE(editor()->GetLines(), FModule->GetLines());
    QCOMPARE(edit()->tabWidth(), 3);
    QVERIFY(edit()->indentationsUseTabs());
    QVERIFY(qobject_cast<TkivSyn*>(edit()->lexer()));
    // Every character of the editor's font has the same advance (whatever the font family says
    // about its spacing).
    const QFontMetrics metrics(edit()->lexer()->font(1));
    for (QChar c : QStringLiteral("iW.m_ 0|{"))
      QCOMPARE(metrics.horizontalAdvance(c), metrics.horizontalAdvance(QLatin1Char('x')));
    // A second open just shows the same editor.
    QVERIFY(FModule->OpenEditor(FTabs, FStatus));
    QCOMPARE(FTabs->count(), 1);

    // Closing releases the editor, frees its tab and hides the emptied page control.
    QVERIFY(FModule->Close());
    QVERIFY(!FModule->GetEditor());
    QCOMPARE(FTabs->count(), 0);
    QVERIFY(!FTabs->isVisible());
  }

  void statusPanels() {
    QCOMPARE(panel(0), QStringLiteral("       1:    1"));
    QCOMPARE(panel(1), QString());
    QCOMPARE(panel(2), QStringLiteral("Insert"));
    QCOMPARE(panel(3), QString());
    int handled = 0;
    editor()->SetStatusHandler([&handled, this](QsciScintilla* control) {
      if (control == edit()) ++handled;
    });

    edit()->setCursorPosition(2, 4);
    editor()->UpdateStatus();
    QCOMPARE(panel(0), QStringLiteral("       3:    5"));
    QVERIFY(handled > 0);

    QTest::keyClick(edit(), Qt::Key_Tab);
    QVERIFY(edit()->text().contains(QStringLiteral("abc \tABC")));
    QTRY_COMPARE(panel(1), QStringLiteral("Modified"));
    QTRY_COMPARE(panel(0), QStringLiteral("       3:    7"));  // the tab reaches column 7

    QTest::keyClick(edit(), Qt::Key_Insert);
    QTRY_COMPARE(panel(2), QStringLiteral("Overwrite"));
    edit()->setReadOnly(true);
    editor()->UpdateStatus();
    QCOMPARE(panel(3), QStringLiteral("ReadOnly"));
  }

  void modifiedUndoAndClipboard() {
    QVERIFY(!editor()->GetModified());
    QVERIFY(!FModule->IsModified());
    QVERIFY(!editor()->CanUndo());
    edit()->setCursorPosition(0, 0);
    QTest::keyClicks(edit(), QStringLiteral("x"));
    QVERIFY(FModule->IsModified());
    QVERIFY(editor()->CanUndo());
    QVERIFY(!editor()->CanRedo());
    editor()->Undo();
    QVERIFY(editor()->CanRedo());
    QCOMPARE(editor()->GetLines().first(), QStringLiteral("lexer Calc;"));
    editor()->Redo();
    QCOMPARE(editor()->GetLines().first(), QStringLiteral("xlexer Calc;"));

    // The module's modified flag goes through the editor, including setting it.
    FModule->SetModified(false);
    QVERIFY(!editor()->GetModified());
    FModule->SetModified(true);
    QVERIFY(editor()->GetModified());
    FModule->SetModified(false);

    QVERIFY(!editor()->CanCopy());
    QVERIFY(!editor()->CanCut());
    edit()->setSelection(0, 0, 0, 6);
    QCOMPARE(editor()->GetSelectedText(), QStringLiteral("xlexer"));
    QVERIFY(editor()->CanCopy());
    QVERIFY(editor()->CanCut());
    editor()->Copy();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("xlexer"));
    QVERIFY(editor()->CanPaste());
    edit()->setReadOnly(true);
    QVERIFY(!editor()->CanCut());
    QVERIFY(!editor()->CanPaste());
    QVERIFY(editor()->CanCopy());
    edit()->setReadOnly(false);

    editor()->GotoLine(3);
    int line = 0, index = 0;
    edit()->getCursorPosition(&line, &index);
    QCOMPARE(line, 2);
    QCOMPARE(editor()->GetTextLength(), int(edit()->text().size()));
  }

  void findCountsInPanelFour() {
    using kiv::FindOption;
    edit()->setCursorPosition(2, 0);
    QCOMPARE(editor()->Find(QStringLiteral("abc"), FindOption::Down), 1);
    QCOMPARE(editor()->GetSelectedText(), QStringLiteral("abc"));
    QCOMPARE(panel(3), QStringLiteral("1"));
    QCoreApplication::processEvents();
    QCOMPARE(panel(3), QStringLiteral("1"));  // stays until the caret moves

    // A repeated find moves on; case matters only when asked.
    QCOMPARE(editor()->Find(QStringLiteral("abc"), FindOption::Down), 1);
    int lineFrom, indexFrom, lineTo, indexTo;
    edit()->getSelection(&lineFrom, &indexFrom, &lineTo, &indexTo);
    QCOMPARE(indexFrom, 4);
    QCOMPARE(editor()->Find(QStringLiteral("abc"), FindOption::Down | FindOption::MatchCase), 1);
    edit()->getSelection(&lineFrom, &indexFrom, &lineTo, &indexTo);
    QCOMPARE(indexFrom, 8);
    // Past the last match the search continues from the top, and says so.
    QCOMPARE(editor()->Find(QStringLiteral("abc"), FindOption::Down | FindOption::MatchCase), 1);
    edit()->getSelection(&lineFrom, &indexFrom, &lineTo, &indexTo);
    QCOMPARE(QPair(lineFrom, indexFrom), QPair(2, 0));
    QCOMPARE(FStatus->Note(), QStringLiteral("Search reached the end and continued from the top"));
    QCOMPARE(editor()->FindMarkCount(), 2);  // every match is highlighted
    QCOMPARE(editor()->Find(QStringLiteral("nowhere"), FindOption::Down), 0);
    QCOMPARE(panel(3), QStringLiteral("0"));
    QCOMPARE(FStatus->Note(), QStringLiteral("\"nowhere\" not found"));

    // Upwards from the end of the last match.
    edit()->setCursorPosition(2, 11);
    QCOMPARE(editor()->Find(QStringLiteral("abc"), {}), 1);
    edit()->getSelection(&lineFrom, &indexFrom, &lineTo, &indexTo);
    QCOMPARE(indexFrom, 8);

    // Whole words only: "a" inside 'a'..'z' counts, inside "abc" it does not.
    edit()->setCursorPosition(0, 0);
    QCOMPARE(editor()->Find(QStringLiteral("a"), FindOption::Down | FindOption::WholeWord), 1);
    edit()->getSelection(&lineFrom, &indexFrom, &lineTo, &indexTo);
    QCOMPARE(lineFrom, 1);
    QCOMPARE(indexFrom, 6);

    edit()->setCursorPosition(0, 1);
    editor()->UpdateStatus();
    QCOMPARE(panel(3), QString());
  }

  void replaceCountsAndUndoesAsOne() {
    using kiv::FindOption;
    edit()->setCursorPosition(0, 0);
    QCOMPARE(editor()->Replace(QStringLiteral("abc"), QStringLiteral("abcabc"), FindOption::Down | FindOption::ReplaceAll), 3);
    QCOMPARE(panel(3), QStringLiteral("3"));
    QCOMPARE(editor()->GetLines().last(), QStringLiteral("abcabc abcabc abcabc"));
    editor()->Undo();
    QCOMPARE(editor()->GetLines().last(), QStringLiteral("abc ABC abc"));

    // Replace the match a find selected, then the next one.
    edit()->setCursorPosition(2, 0);
    QCOMPARE(editor()->Find(QStringLiteral("ABC"), FindOption::Down | FindOption::MatchCase), 1);
    QCOMPARE(editor()->Replace(QStringLiteral("ABC"), QStringLiteral("x"), FindOption::Down | FindOption::MatchCase | FindOption::Replace), 1);
    QCOMPARE(editor()->GetLines().last(), QStringLiteral("abc x abc"));
    QCOMPARE(editor()->Replace(QStringLiteral("ABC"), QStringLiteral("x"), FindOption::Down | FindOption::MatchCase | FindOption::Replace), 0);
    QCOMPARE(panel(3), QStringLiteral("0"));

    // Replace all upwards from the caret covers the text before it only.
    edit()->setCursorPosition(2, 5);
    QCOMPARE(editor()->Replace(QStringLiteral("abc"), QStringLiteral("y"), FindOption::ReplaceAll), 1);
    QCOMPARE(editor()->GetLines().last(), QStringLiteral("y x abc"));
  }

  void exportSelectionOrEverything() {
    ScriptedPrompter prompter;
    const QString html = FDir.filePath(QStringLiteral("calc.html"));
    const QString rtf = FDir.filePath(QStringLiteral("calc.rtf"));
    prompter.files = {html, rtf, QString()};
    editor()->ExportHTML(QStringLiteral("Calc"));
    QCOMPARE(prompter.fileRequests.back().defaultExtension, QStringLiteral("html"));
    QCOMPARE(prompter.fileRequests.back().fileName, QStringLiteral("Calc"));
    QVERIFY(readFile(html).contains(QStringLiteral("<title>Calc</title>")));
    QVERIFY(readFile(html).contains(QStringLiteral("<span class=\"reserved-word\">lexer</span>")));

    edit()->setSelection(1, 0, 1, 2);
    editor()->ExportRTF(QStringLiteral("Calc"));
    QCOMPARE(prompter.fileRequests.back().defaultExtension, QStringLiteral("rtf"));
    const QString text = readFile(rtf);
    QVERIFY(text.contains(QStringLiteral("{\\cf3 ID}")));
    QVERIFY(!text.contains(QStringLiteral("lexer")));

    editor()->ExportHTML(QStringLiteral("Calc"));  // cancelled: nothing written, nothing said
    QVERIFY(prompter.messages.empty());
    prompter.files = {FDir.filePath(QStringLiteral("no/such/folder/x.html"))};
    editor()->ExportHTML(QStringLiteral("Calc"));
    QCOMPARE(prompter.messages.size(), size_t(1));
  }

  void findReplaceDialogHandsOverItsOptions() {
    kiv::FindReplaceDialog dialog;
    QList<kiv::FindOptions> finds, replaces;
    QStringList texts;
    connect(&dialog, &kiv::FindReplaceDialog::FindRequested, this,
            [&](const QString& text, kiv::FindOptions options) { texts << text; finds << options; });
    connect(&dialog, &kiv::FindReplaceDialog::ReplaceRequested, this,
            [&](const QString& text, const QString& replacement, kiv::FindOptions options) {
              texts << text + QStringLiteral("->") + replacement;
              replaces << options;
            });
    dialog.ShowAs(kiv::FindReplaceDialog::Mode::Find);
    QVERIFY(!dialog.ReplaceButton()->isVisible());
    QVERIFY(!dialog.FindNextButton()->isEnabled());
    dialog.FindEdit()->setText(QStringLiteral("abc"));
    dialog.MatchCaseBox()->setChecked(true);
    dialog.FindNextButton()->click();
    dialog.UpButton()->setChecked(true);
    dialog.FindNextButton()->click();
    QCOMPARE(finds, QList<kiv::FindOptions>({kiv::FindOption::Down | kiv::FindOption::MatchCase,
                                            kiv::FindOptions(kiv::FindOption::MatchCase)}));

    dialog.ShowAs(kiv::FindReplaceDialog::Mode::Replace);
    QVERIFY(dialog.ReplaceButton()->isVisible());
    dialog.ReplaceEdit()->setText(QStringLiteral("x"));
    dialog.DownButton()->setChecked(true);
    dialog.WholeWordBox()->setChecked(true);
    dialog.ReplaceAllButton()->click();
    QCOMPARE(replaces.size(), 1);
    QVERIFY(replaces[0].testFlag(kiv::FindOption::ReplaceAll));
    QVERIFY(replaces[0].testFlag(kiv::FindOption::WholeWord));
    QCOMPARE(texts.last(), QStringLiteral("abc->x"));

    // The dialog's requests drive the editor directly.
    connect(&dialog, &kiv::FindReplaceDialog::ReplaceRequested, this,
            [this](const QString& text, const QString& replacement, kiv::FindOptions options) {
              editor()->Replace(text, replacement, options);
            });
    dialog.MatchCaseBox()->setChecked(false);
    edit()->setCursorPosition(0, 0);
    dialog.ReplaceAllButton()->click();
    QCOMPARE(panel(3), QStringLiteral("3"));

    QCOMPARE(kiv::QtFileFilter(QStringLiteral("KIV Grammar (*.g)|*.g|All files|*.*")),
             QStringLiteral("KIV Grammar (*.g);;All files (*.*)"));
  }

  void printToPdf() {
    ScriptedPrompter prompter;
    editor()->Print(QStringLiteral("Calc"), QString());  // cancelled
    QCOMPARE(prompter.printRequests.size(), size_t(1));
    QCOMPARE(prompter.printRequests[0].pageCount, 1);
    QVERIFY(!prompter.printRequests[0].hasSelection);

    QStringList lines;
    for (int i = 0; i < 400; ++i) lines << QStringLiteral("rule%1 : 'x' ;").arg(i);
    editor()->SetLines(lines, kiv::TextFormat());
    prompter.acceptPrint = true;
    prompter.printFile = FDir.filePath(QStringLiteral("all.pdf"));
    editor()->Print(QStringLiteral("Calc"), QStringLiteral("footer"));
    QVERIFY(prompter.printRequests.back().pageCount > 1);
    QVERIFY(readFile(prompter.printFile).startsWith(QStringLiteral("%PDF")));

    edit()->setSelection(0, 0, 3, 0);
    prompter.printFile = FDir.filePath(QStringLiteral("selection.pdf"));
    prompter.printChoice.range = kiv::PrintRangeKind::Selection;
    editor()->Print(QStringLiteral("Calc"), QString());
    QVERIFY(prompter.printRequests.back().hasSelection);
    const qint64 selectionSize = QFileInfo(prompter.printFile).size();
    QVERIFY(selectionSize > 0);
    QVERIFY(selectionSize < QFileInfo(FDir.filePath(QStringLiteral("all.pdf"))).size());
    QVERIFY(prompter.messages.empty());
  }
};

QTEST_MAIN(TestGrammarEditor)
#include "tst_qvWsKivGrammarEditor.moc"
