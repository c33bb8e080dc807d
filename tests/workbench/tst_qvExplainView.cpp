// tst_qvExplainView.cpp
// The Explanation panel: a dangling-else report of the message list explained on the editor's
// text (unsaved changes included, nothing written), its class line, a derivation step that opens
// its line, both branches marked in the editor, the witness run in the Test panel, and a grammar
// whose text has errors.
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>

#include "mainWindowHelpers.h"
#include "scriptedPrompter.h"
#include "workbench/explain/qvExplainView.h"
#include "workbench/testrig/qvTestPanel.h"

using namespace testing;

namespace {

const char kLexer[] =
    "unit nLexer;\nlexer TNLexer;\noptions {\n   exportVocab = N;\n}\ntokens {\n   \"if\"; \"then\"; \"else\";\n}\n"
    "public WS : ( ' ' | '\\n' { newLine; } )+ { _ttype := TT_SKIP; } ;\n"
    "public ID options { testLiterals = true; } : ( 'a'..'z' )+ ;\n"
    "public SEMI : ';' ;\n";
// The else part stands on a line of its own (line 11), below the report's rule.
const char kElse[] =
    "unit else1;\n\nparser TElse;\n\noptions {\n   importVocab = N;\n}\n\nstatement\n"
    "   : \"if\" ID \"then\" statement\n"
    "     ( \"else\" statement )?\n"
    "   | ID SEMI\n"
    "   ;\n";

// The text an indicator covers around `position`.
QString indicatedText(QsciScintilla* edit, int indicator) {
  const long length = edit->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
  for (long at = 0; at < length; ++at) {
    if (edit->SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT, indicator, at) == 0) continue;
    const long end = edit->SendScintilla(QsciScintillaBase::SCI_INDICATOREND, indicator, at);
    return edit->text().toUtf8().mid(at, end - at);
  }
  return {};
}

}  // namespace

class TestExplainView : public QObject {
  Q_OBJECT

private:
  QTemporaryDir FConfig;
  QTemporaryDir FDir;
  std::unique_ptr<ScriptedPrompter> FPrompter;

  QString path(const QString& name) const { return FDir.filePath(name); }

private slots:
  void initTestCase() {
    isolateSettings(FConfig.path());
    FPrompter = std::make_unique<ScriptedPrompter>();
  }

  void danglingElseExplained() {
    QDir().mkpath(path(QStringLiteral("out")));
    writeFile(path(QStringLiteral("nLexer.g")), kLexer);
    writeFile(path(QStringLiteral("else1.g")), kElse);
    writeProject(path(QStringLiteral("p.kvp")), QStringLiteral("out"), QStringLiteral("out"),
                 {QStringLiteral("nLexer.g"), QStringLiteral("else1.g")});
    auto window = showWindow({path(QStringLiteral("p.kvp"))});
    action(*window, "actProjectBuildAll")->trigger();
    const QString report = QStringLiteral("else1(11): nondeterminism between alts 1 and 2 of block in rule \"statement\"");
    const int row = static_cast<int>(captions(*window).indexOf(report));
    QVERIFY2(row >= 0, qPrintable(captions(*window).join(QLatin1Char('\n'))));

    // Only a nondeterminism report can be explained; the key is one no other command has.
    QAction* explain = action(*window, "actMessagesExplain");
    QCOMPARE(explain->shortcut(), QKeySequence(QStringLiteral("Ctrl+E")));
    for (QAction* other : window->findChildren<QAction*>())
      QVERIFY2(other == explain || other->shortcut() != explain->shortcut(), qPrintable(other->objectName()));
    window->MessageView()->setCurrentIndex(window->Messages()->index(row + 1));
    window->UpdateState();
    QVERIFY(!explain->isEnabled());
    window->MessageView()->setCurrentIndex(window->Messages()->index(row));
    window->UpdateState();
    QVERIFY(explain->isEnabled());
    QVERIFY(window->findChild<QMenu*>(QStringLiteral("pmMessages"))->actions().contains(explain));

    // An explanation writes nothing: the unit the build wrote stays away once removed.
    QVERIFY(QFile::remove(path(QStringLiteral("out/else1.pas"))));
    TqvExplainView* view = window->ExplainView();
    QSignalSpy shown(view, &TqvExplainView::Shown);
    explain->trigger();
    QVERIFY(shown.wait(20000));
    QVERIFY(window->ExplainDock()->isVisible());
    QCOMPARE(view->Headline()->text(),
             QStringLiteral("real conflict, not resolved by k up to 5, resolved by greedy (alternative 1 wins)"));
    QVERIFY(!QFile::exists(path(QStringLiteral("out/else1.pas"))));

    // Both derivations side by side; a click on a step opens its line.
    QTreeWidget* first = view->PathList(0);
    QCOMPARE(first->headerItem()->text(TqvExplainView::StepColumn), QStringLiteral("alternative 1"));
    QCOMPARE(view->PathList(1)->headerItem()->text(TqvExplainView::StepColumn), QStringLiteral("alternative 2"));
    QCOMPARE(first->topLevelItem(0)->text(TqvExplainView::StepColumn), QStringLiteral("LT_else"));
    QCOMPARE(first->topLevelItem(0)->text(TqvExplainView::LineColumn), QStringLiteral("11"));
    const IqvWsModulePtr grammar = window->ProjectModule()->FindChild(QStringLiteral("else1"));
    grammar->GetEditor()->GotoLine(1);
    const QRect step = first->visualItemRect(first->topLevelItem(0));
    QTest::mouseClick(first->viewport(), Qt::LeftButton, {}, step.center());
    QCOMPARE(window->CurrentModule(), grammar);
    QCOMPARE(caretLine(grammar), 10);
    QCOMPARE(editorOf(grammar)->HighlightedLine(), 11);

    // The first branch is the "else" part, the second (the empty one) the block's ")?".
    QsciScintilla* edit = editOf(grammar);
    QCOMPARE(indicatedText(edit, TqvWsKivGrammarEditor::kFirstBranchIndicator), QStringLiteral("\"else\" statement"));
    QCOMPARE(indicatedText(edit, TqvWsKivGrammarEditor::kSecondBranchIndicator), QStringLiteral(")?"));

    // Unsaved text is what is explained: with a line inserted above, the report is found again
    // one line further down, and the marks follow it.
    edit->insertAt(QStringLiteral("// moved\n"), 0, 0);
    QVERIFY(grammar->IsModified());
    explain->trigger();
    QVERIFY(shown.wait(20000));
    QCOMPARE(view->Outcome().line, 12);
    QCOMPARE(view->Marks().size(), size_t(2));
    QCOMPARE(view->Marks()[0].line, 12);
    QCOMPARE(indicatedText(edit, TqvWsKivGrammarEditor::kSecondBranchIndicator), QStringLiteral(")?"));

    // The witness runs in the Test panel, from the explanation's start rule.
    QVERIFY(view->RunButton()->isVisibleTo(view));
    QCOMPARE(view->SampleEdit()->text(), QStringLiteral("if ID then ID SEMI else"));
    view->SampleEdit()->setText(QStringLiteral("if a then b; else"));
    QSignalSpy ran(window->TestPanel(), &TqvTestPanel::Shown);
    QTest::mouseClick(view->RunButton(), Qt::LeftButton);
    QVERIFY(window->TestDock()->isVisible());
    QCOMPARE(window->TestPanel()->SampleEdit()->text(), QStringLiteral("if a then b; else"));
    QVERIFY(ran.wait(20000));
    QCOMPARE(window->TestPanel()->StartRules()->currentText(), QStringLiteral("statement"));

    // A text with an error has nothing to explain: the panel says what the error is.
    edit->insertAt(QStringLiteral(")"), 12, 0);
    explain->trigger();
    QVERIFY(shown.wait(20000));
    QVERIFY2(view->Headline()->text().startsWith(QStringLiteral("else1(13): ")), qPrintable(view->Headline()->text()));
    QVERIFY(view->Marks().empty());
    QCOMPARE(indicatedText(edit, TqvWsKivGrammarEditor::kFirstBranchIndicator), QString());

    // Closing the panel takes its marks away.
    edit->undo();
    explain->trigger();
    QVERIFY(shown.wait(20000));
    QVERIFY(!indicatedText(edit, TqvWsKivGrammarEditor::kFirstBranchIndicator).isEmpty());
    window->ExplainDock()->close();
    QCOMPARE(indicatedText(edit, TqvWsKivGrammarEditor::kFirstBranchIndicator), QString());
    FPrompter->answers = {kiv::PromptAnswer::No, kiv::PromptAnswer::No};
  }
};

QTEST_MAIN(TestExplainView)
#include "tst_qvExplainView.moc"
