// tst_qvTestPanel.cpp
// The Test panel in the main window: a parser runs on the sample as it is typed (with the unsaved
// text of its grammar and the tokens of the lexer whose vocabulary it imports), stale results are
// dropped, a tree node selects its span and its rule, errors are marked in the sample, samples
// are remembered per grammar beside the project, and a lexer alone tokenizes.
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QStandardItemModel>
#include <QTreeView>
#include <QTreeWidget>

#include "mainWindowHelpers.h"
#include "scriptedPrompter.h"
#include "workbench/testrig/qvTestPanel.h"
#include "workbench/testrig/qvTestSamples.h"

using namespace testing;

namespace {

const char kLexer[] =
    "unit listLexer;\nlexer TListLexer;\noptions {\n   exportVocab = List;\n}\n"
    "public WS     : ( ' ' | '\\n' { newLine; } )+ { _ttype := TT_SKIP; } ;\n"
    "public NUMBER : ( '0'..'9' )+ ;\npublic COMMA  : ',' ;\npublic LPAREN : '(' ;\npublic RPAREN : ')' ;\n";
// A second lexer with another vocabulary comes first in the project: the parser must not take it.
const char kOtherLexer[] =
    "unit wordLexer;\nlexer TWordLexer;\noptions {\n   exportVocab = Words;\n}\n"
    "public WORD : ( 'a'..'z' )+ ;\n";
const char kParser[] =
    "unit listParser;\nparser TListParser;\noptions {\n   importVocab = List;\n}\n\n"
    "list\n   : LPAREN ( item ( COMMA item )* )? RPAREN EOF\n   ;\n\n"
    "item\n   : NUMBER\n   | inner\n   ;\n\n"
    "protected inner\n   : LPAREN ( item ( COMMA item )* )? RPAREN\n   ;\n";

}  // namespace

class TestTestPanel : public QObject {
  Q_OBJECT

private:
  QTemporaryDir FConfig;
  std::unique_ptr<QTemporaryDir> FDir;
  std::unique_ptr<ScriptedPrompter> FPrompter;

  QString path(const QString& name) const { return FDir->filePath(name); }

  QString makeProject() {
    writeFile(path(QStringLiteral("wordLexer.g")), kOtherLexer);
    writeFile(path(QStringLiteral("listLexer.g")), kLexer);
    writeFile(path(QStringLiteral("listParser.g")), kParser);
    writeProject(path(QStringLiteral("p.kvp")), QStringLiteral("out"), QStringLiteral("out"),
                 {QStringLiteral("wordLexer.g"), QStringLiteral("listLexer.g"), QStringLiteral("listParser.g")});
    return path(QStringLiteral("p.kvp"));
  }

  // The main window on the project with `grammar` open and the Test panel shown.
  std::unique_ptr<TfrmKivMain> openTesting(const QString& grammar) {
    auto window = showWindow({makeProject()});
    window->TestPanel()->SetPause(30);
    if (!window->OpenModule(window->ProjectModule()->FindChild(grammar))) qWarning("cannot open %s", qPrintable(grammar));
    action(*window, "actViewTestPanel")->trigger();
    return window;
  }

  static QString status(const TfrmKivMain& window) { return window.TestPanel()->StatusLabel()->text(); }

  // Replaces the sample and waits until its result is shown.
  static void typeSample(TfrmKivMain& window, const QString& text) {
    TqvTestPanel* panel = window.TestPanel();
    const int shown = panel->ShownCount();
    panel->SampleEdit()->selectAll();
    QTest::keyClick(panel->SampleEdit(), Qt::Key_Delete);
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
      if (i > 0) QTest::keyClick(panel->SampleEdit(), Qt::Key_Return);
      QTest::keyClicks(panel->SampleEdit(), lines[i]);
    }
    QTRY_VERIFY_WITH_TIMEOUT(panel->ShownCount() > shown && !panel->IsRunning(), 10000);
  }

  static QStandardItem* findNode(QStandardItem* parent, const QString& caption) {
    for (int row = 0; row < parent->rowCount(); ++row) {
      QStandardItem* child = parent->child(row);
      if (child->text() == caption) return child;
      if (QStandardItem* found = findNode(child, caption)) return found;
    }
    return nullptr;
  }

private slots:
  void initTestCase() { isolateSettings(FConfig.path()); }

  void init() {
    FDir = std::make_unique<QTemporaryDir>();
    FPrompter = std::make_unique<ScriptedPrompter>();
  }

  void cleanup() { FPrompter.reset(); }

  void parserRunsAsYouTypeAndSelectsWhatIsClicked() {
    auto window = openTesting(QStringLiteral("listParser"));
    TqvTestPanel* panel = window->TestPanel();
    QVERIFY(window->TestDock()->isVisible());
    typeSample(*window, QStringLiteral("(1, (2, 3))"));
    QVERIFY2(status(*window).startsWith(QStringLiteral("Accepted: 10 token(s)")), qPrintable(status(*window)));
    QVERIFY(status(*window).endsWith(QStringLiteral("[from list, tokens of listLexer]")));
    // The start rules are the public ones.
    QCOMPARE(panel->StartRules()->count(), 2);
    QCOMPARE(panel->StartRules()->currentText(), QStringLiteral("list"));
    QStandardItem* root = panel->TreeModel()->invisibleRootItem();
    QCOMPARE(root->child(0)->text(), QStringLiteral("list #1"));
    QCOMPARE(panel->TokenList()->topLevelItemCount(), 10);
    QCOMPARE(panel->TokenList()->topLevelItem(4)->text(0), QStringLiteral("NUMBER"));
    QCOMPARE(panel->TokenList()->topLevelItem(4)->text(3), QStringLiteral("6"));
    QVERIFY(panel->TraceList()->topLevelItemCount() > 0);

    // A click on a node selects its span in the sample and its rule in the grammar editor.
    panel->Pages()->setCurrentWidget(panel->TreeView());
    QStandardItem* inner = findNode(root, QStringLiteral("inner #1"));
    QVERIFY(inner);
    const QModelIndex index = inner->index();
    panel->TreeView()->scrollTo(index);
    QTest::mouseClick(panel->TreeView()->viewport(), Qt::LeftButton, {}, panel->TreeView()->visualRect(index).center());
    QCOMPARE(panel->SampleEdit()->selectedText(), QStringLiteral("(2, 3)"));
    const IqvWsModulePtr parser = window->ProjectModule()->FindChild(QStringLiteral("listParser"));
    QCOMPARE(editOf(parser)->selectedText(), QStringLiteral("inner"));
    QCOMPARE(caretLine(parser), 15);

    // The grammar's unsaved text is what runs: the comma becomes optional, and "(1 2)" is taken.
    typeSample(*window, QStringLiteral("(1 2)"));
    QVERIFY2(status(*window).startsWith(QStringLiteral("Rejected: listParser.txt(1,4): Unexpected token: 2")), qPrintable(status(*window)));
    QCOMPARE(panel->ErrorMark(), std::make_pair(3, 4));
    QVERIFY(panel->SampleEdit()->SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT, TqvTestPanel::kErrorIndicator, 3));
    QCOMPARE(panel->SampleEdit()->annotation(0), QStringLiteral("Unexpected token: 2"));
    const int shown = panel->ShownCount();
    QString text = editOf(parser)->text();
    text.replace(QStringLiteral("( item ( COMMA item )* )? RPAREN EOF"), QStringLiteral("( item ( ( COMMA )? item )* )? RPAREN EOF"));
    editOf(parser)->setText(text);
    QTRY_VERIFY(panel->ShownCount() > shown && !panel->IsRunning());
    QVERIFY2(status(*window).startsWith(QStringLiteral("Accepted")), qPrintable(status(*window)));
    QCOMPARE(panel->ErrorMark(), std::make_pair(-1, -1));
    QVERIFY(panel->SampleEdit()->annotation(0).isEmpty());

    // Another view runs its own sample from a rule of its choice, at once; a result that the
    // sample has moved on from is dropped.
    const int dropped = panel->DroppedCount();
    panel->RunSample(QStringLiteral("(7)"), QStringLiteral("inner"));
    // The run's end is told through the event loop, after this change.
    panel->SampleEdit()->append(QStringLiteral(" "));
    QTRY_VERIFY(panel->DroppedCount() > dropped);
    QTRY_VERIFY(panel->ShownCount() > shown + 1 && !panel->IsRunning());
    QCOMPARE(panel->TreeModel()->invisibleRootItem()->child(0)->text(), QStringLiteral("inner #1"));
    FPrompter->answers = {kiv::PromptAnswer::No};
  }

  void samplesAreRememberedPerGrammar() {
    {
      auto window = openTesting(QStringLiteral("listParser"));
      typeSample(*window, QStringLiteral("(4)\n"));
      // Switching to another grammar writes the sample beside the project and shows the other's.
      QVERIFY(window->OpenModule(window->ProjectModule()->FindChild(QStringLiteral("listLexer"))));
      QCOMPARE(readBytes(kiv::testrig::SamplePath(FDir->path(), QStringLiteral("listParser"))), QByteArray("(4)\n"));
      QCOMPARE(window->TestPanel()->SampleEdit()->text(), QString());
      typeSample(*window, QStringLiteral("1,2"));
    }
    // The project file is untouched; the samples and the start rule come back with the project.
    QCOMPARE(readBytes(path(QStringLiteral("p.kvp"))).count("Grammar"), 3);
    QCOMPARE(readBytes(kiv::testrig::SamplePath(FDir->path(), QStringLiteral("listLexer"))), QByteArray("1,2"));
    QCOMPARE(kiv::testrig::ReadSample(FDir->path(), QStringLiteral("listParser")).startRule, QStringLiteral("list"));
    auto window = showWindow({path(QStringLiteral("p.kvp"))});
    QVERIFY(window->OpenModule(window->ProjectModule()->FindChild(QStringLiteral("listParser"))));
    QCOMPARE(window->TestPanel()->SampleEdit()->text(), QStringLiteral("(4)\n"));
  }

  void lexerAloneTokenizes() {
    auto window = openTesting(QStringLiteral("listLexer"));
    TqvTestPanel* panel = window->TestPanel();
    typeSample(*window, QStringLiteral("(1,\n 22)"));
    QVERIFY2(status(*window).startsWith(QStringLiteral("Accepted: 6 token(s)")), qPrintable(status(*window)));
    QVERIFY(!panel->StartRules()->isEnabled());
    QCOMPARE(panel->TreeModel()->rowCount(), 0);
    QTreeWidgetItem* number = panel->TokenList()->topLevelItem(3);
    QCOMPARE(QStringList({number->text(0), number->text(1), number->text(2), number->text(3)}),
             QStringList({QStringLiteral("NUMBER"), QStringLiteral("22"), QStringLiteral("2"), QStringLiteral("2")}));
    // A token selects its text and the lexer rule that made it.
    panel->TokenList()->setCurrentItem(number);
    QCOMPARE(panel->SampleEdit()->selectedText(), QStringLiteral("22"));
    QCOMPARE(editOf(window->ProjectModule()->FindChild(QStringLiteral("listLexer")))->selectedText(), QStringLiteral("NUMBER"));

    // A character no rule takes is marked where it is, on its line.
    typeSample(*window, QStringLiteral("(1,\n 2x)"));
    QVERIFY2(status(*window).startsWith(QStringLiteral("Rejected: listLexer.txt(2,3):")), qPrintable(status(*window)));
    QCOMPARE(panel->ErrorMark(), std::make_pair(6, 7));
    QVERIFY(!panel->SampleEdit()->annotation(1).isEmpty());
  }
};

QTEST_MAIN(TestTestPanel)
#include "tst_qvTestPanel.moc"
