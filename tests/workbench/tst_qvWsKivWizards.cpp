// tst_qvWsKivWizards.cpp
// The grammar wizards: template text for the default choices and for the options that change
// single rules, the typed-only input fields, OK and Preview enabling, the preview window, and
// the module wizards' names, counts and cancelling.
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <Qsci/qsciscintilla.h>
#include <QtTest>

#include "modalHelper.h"
#include "workbench/authoring/qvWsKivGrammarTemplates.h"
#include "workbench/authoring/qvWsKivGrammarWizards.h"
#include "workbench/authoring/qvWsKivLexerWizardDlg.h"
#include "workbench/authoring/qvWsKivParserWizardDlg.h"
#include "workbench/authoring/qvWsKivSynHL.h"
#include "workbench/qvWsModule.h"

namespace {

// The default lexer of unit calcLexer, as the wizard writes it.
const char* const kDefaultLexer = R"TPL(unit calcLexer;

// ----------------------------------------------------------------------------
// This section is used for generating "uses" clause in the unit 'calcLexer'.
// Every unit name must be terminated with ';'
// e.g:
// 
// uses
// {
//    Classes;
//    SysUtils;
// }
// ----------------------------------------------------------------------------
uses
{
}

// ----------------------------------------------------------------------------
// This section is used for generating "const" clause in the unit 'calcLexer'.
// The content of the section is verbatim copied into the generated code.
// ----------------------------------------------------------------------------
const
{
}

// ----------------------------------------------------------------------------
// This section is used for generating "type" clause in the unit 'calcLexer'.
// The content of the section is verbatim copied into the generated code.
// ----------------------------------------------------------------------------
type
{
}

// ============================================================================
// Lexer class declaration
// ============================================================================
lexer TcalcLexer;
// ----------------------------------------------------------------------------
// Lexer options
// ----------------------------------------------------------------------------
options
{
   k = 2;
   exportVocab = calcLexer;
   caseSensitive = false;
}

// ----------------------------------------------------------------------------
// Lexer tokens. Usualy string literals.
// ----------------------------------------------------------------------------
tokens
{
}

// ----------------------------------------------------------------------------
// Lexer member declarations.
// All user defined member declarations should be placed here.
// The content of the section is verbatim copied into the generated code.
// ----------------------------------------------------------------------------
memberdecl
{
}

// ============================================================================
// Begin rule definitions
//
// Remember: All lexer rule names must begin with UPPERCASE letter!
// ============================================================================

// ----------------------------------------------------------------------------
// COMMENT
// ----------------------------------------------------------------------------
COMMENT
   : SLCOMMENT { _ttype := TT_SKIP; }
   | MLCOMMENT { _ttype := TT_SKIP; }
   ;

// ----------------------------------------------------------------------------
// SLCOMMENT
// ----------------------------------------------------------------------------
protected
SLCOMMENT
   :
      "//"
      ( ~( '\r' | '\n') )*
      (
         options
         {
            generateAmbigWarnings = false;
         }
         : '\r' '\n' { newLine; }
         | '\r'      { newLine; }
         | '\n'      { newLine; }
      )
   ;

// ----------------------------------------------------------------------------
// MLCOMMENT
// ----------------------------------------------------------------------------
protected
MLCOMMENT
   :
      "(*"
      (
         options
         {
            greedy = false;
            generateAmbigWarnings = false;
         }
         : '\r' '\n' { newLine; }
         | '\r'      { newLine; }
         | '\n'      { newLine; }
         | .
      )*
      "*)"
   ;

// ----------------------------------------------------------------------------
// NEWLINE
// ----------------------------------------------------------------------------
NEWLINE
   :
      (
         options
         {
            generateAmbigWarnings = false;
         }
         : '\r' '\n' { newLine; }
         | '\r'      { newLine; }
         | '\n'      { newLine; }
      )
      {
         _ttype := TT_SKIP;
      }
   ;

// ----------------------------------------------------------------------------
// WHITESPACE
// ----------------------------------------------------------------------------
WHITESPACE
   :
      (
         ' '
      |  '\t' { tab; }
      )
      {
         _ttype := TT_SKIP;
      }
   ;

// ============================================================================
// End rule definitions
// ============================================================================

// ----------------------------------------------------------------------------
// This section is used for generating member defintions in the unit 'calcLexer'.
// The content of the section is verbatim copied into the generated code.
// ----------------------------------------------------------------------------
memberdef
{
}
)TPL";

// The default parser of unit calcParser importing calcLexer, with the default error handler.
const char* const kParserWithHandler = R"TPL(unit calcParser;

// ----------------------------------------------------------------------------
// This section is used for generating "uses" clause in the unit 'calcParser'.
// Every unit name must be terminated with ';'
// e.g:
// 
// uses
// {
//    Classes;
//    SysUtils;
// }
// ----------------------------------------------------------------------------
uses
{
}

// ----------------------------------------------------------------------------
// This section is used for generating "const" clause in the unit 'calcParser'.
// The content of the section is verbatim copied into the generated code.
// ----------------------------------------------------------------------------
const
{
}

// ----------------------------------------------------------------------------
// This section is used for generating "type" clause in the unit 'calcParser'.
// The content of the section is verbatim copied into the generated code.
// ----------------------------------------------------------------------------
type
{
}

// ============================================================================
// Parser class declaration
// ============================================================================
parser TcalcParser;
// ----------------------------------------------------------------------------
// Parser options
// ----------------------------------------------------------------------------
options
{
   k = 2;
   importVocab = calcLexer;
   exportVocab = calcParser;
   defaultErrorHandler = true;
}

// ----------------------------------------------------------------------------
// Parser member declarations.
// All user defined member declarations should be placed here.
// The content of the section is verbatim copied into the generated code.
// ----------------------------------------------------------------------------
memberdecl
{
}

// ============================================================================
// Begin rule definitions
//
// Remember: All parser rule names must begin with LOWERCASE letter!
// ============================================================================
dummy: . ;



// ============================================================================
// End rule definitions
// ============================================================================

// ----------------------------------------------------------------------------
// This section is used for generating member defintions in the unit 'calcParser'.
// The content of the section is verbatim copied into the generated code.
// ----------------------------------------------------------------------------
memberdef
{
}
)TPL";

QStringList linesOf(const char* text) { return QString::fromLatin1(text).split(QLatin1Char('\n')); }

kiv::LexerTemplateOptions calcLexer() {
  kiv::LexerTemplateOptions options;
  options.unitName = QStringLiteral("calcLexer");
  options.className = QStringLiteral("TcalcLexer");
  options.exportVocab = QStringLiteral("calcLexer");
  return options;
}

// The lines of one rule: from the banner above "// NAME" through the empty line after it, or
// nothing when the template has no such rule.
QStringList ruleBlock(const QStringList& lines, const QString& name) {
  const qsizetype comment = lines.indexOf(QStringLiteral("// ") + name);
  if (comment < 1) return {};
  const qsizetype end = lines.indexOf(QStringLiteral("   ;"), comment);
  return lines.mid(comment - 1, end - comment + 3);
}

QStringList banner(const QString& comment) {
  const QString thin = QStringLiteral("// ") + QString(76, QLatin1Char('-'));
  return {thin, comment, thin};
}

template <class T>
T* child(QObject* parent, const char* name) {
  T* found = parent->findChild<T*>(QString::fromLatin1(name));
  if (!found) qFatal("no child %s", name);
  return found;
}

}  // namespace

class TestKivWizards : public QObject {
  Q_OBJECT

private slots:
  void defaultTemplates() {
    QCOMPARE(kiv::LexerTemplate(calcLexer()), linesOf(kDefaultLexer));
    kiv::ParserTemplateOptions parser;
    parser.unitName = QStringLiteral(" calcParser ");  // unit and class are trimmed
    parser.className = QStringLiteral("TcalcParser");
    parser.importVocab = QStringLiteral("calcLexer");
    parser.exportVocab = QStringLiteral("calcParser");
    parser.defaultErrorHandler = true;
    QCOMPARE(kiv::ParserTemplate(parser), linesOf(kParserWithHandler));
    // Banners are "//", a blank and 76 characters.
    QCOMPARE(linesOf(kDefaultLexer)[2].size(), 79);
  }

  void rulesFollowTheOptions() {
    // Single-line comments only: no COMMENT rule, SLCOMMENT public and skipping itself.
    kiv::LexerTemplateOptions single = calcLexer();
    single.multiLineComment = false;
    const QStringList singleLines = kiv::LexerTemplate(single);
    QVERIFY(ruleBlock(singleLines, QStringLiteral("COMMENT")).isEmpty());
    QVERIFY(ruleBlock(singleLines, QStringLiteral("MLCOMMENT")).isEmpty());
    QStringList expected = banner(QStringLiteral("// SLCOMMENT"));
    expected << "SLCOMMENT" << "   :" << "      \"//\"" << "      ( ~( '\\r' | '\\n') )*" << "      ("
             << "         options" << "         {" << "            generateAmbigWarnings = false;" << "         }"
             << "         : '\\r' '\\n' { newLine; }" << "         | '\\r'      { newLine; }"
             << "         | '\\n'      { newLine; }" << "      )" << "      {" << "         _ttype := TT_SKIP;"
             << "      }" << "   ;" << "";
    QCOMPARE(ruleBlock(singleLines, QStringLiteral("SLCOMMENT")), expected);

    // Multi-line comments only, with a typed delimiter that needs escaping in a grammar string.
    kiv::LexerTemplateOptions multi = calcLexer();
    multi.singleLineComment = false;
    multi.multiLineBegin = QStringLiteral("\"\\");
    multi.multiLineEnd = QStringLiteral("\\\"");
    const QStringList multiBlock = ruleBlock(kiv::LexerTemplate(multi), QStringLiteral("MLCOMMENT"));
    QCOMPARE(multiBlock[3], QStringLiteral("MLCOMMENT"));  // not protected
    QCOMPARE(multiBlock[5], QStringLiteral("      \"\\\"\\\\\""));
    QVERIFY(multiBlock.contains(QStringLiteral("      \"\\\\\\\"\"")));
    QCOMPARE(multiBlock.mid(multiBlock.size() - 5),
             QStringList({"      {", "         _ttype := TT_SKIP;", "      }", "   ;", ""}));

    // Only LF: the one alternative starts with two blanks instead of a bar.
    kiv::LexerTemplateOptions lf = calcLexer();
    lf.newLineCrLf = false;
    lf.newLineCr = false;
    expected = banner(QStringLiteral("// NEWLINE"));
    expected << "NEWLINE" << "   :" << "      (" << "           '\\n'      { newLine; }" << "      )" << "      {"
             << "         _ttype := TT_SKIP;" << "      }" << "   ;" << "";
    QCOMPARE(ruleBlock(kiv::LexerTemplate(lf), QStringLiteral("NEWLINE")), expected);
    // CR and LF without CR LF: CR comes first without a bar, LF after it with one.
    lf.newLineCr = true;
    const QStringList crLf = ruleBlock(kiv::LexerTemplate(lf), QStringLiteral("NEWLINE"));
    QCOMPARE(crLf.mid(6, 2), QStringList({"           '\\r'      { newLine; }", "         | '\\n'      { newLine; }"}));
    // No line end at all: no NEWLINE rule.
    lf.newLineLf = lf.newLineCr = false;
    QVERIFY(ruleBlock(kiv::LexerTemplate(lf), QStringLiteral("NEWLINE")).isEmpty());

    // Only the tab, then only the space.
    kiv::LexerTemplateOptions tab = calcLexer();
    tab.whiteSpaceSpace = false;
    expected = banner(QStringLiteral("// WHITESPACE"));
    expected << "WHITESPACE" << "   :" << "      '\\t' { tab; _ttype := TT_SKIP; }" << "   ;" << "";
    QCOMPARE(ruleBlock(kiv::LexerTemplate(tab), QStringLiteral("WHITESPACE")), expected);
    tab.whiteSpaceSpace = true;
    tab.whiteSpaceTab = false;
    QCOMPARE(ruleBlock(kiv::LexerTemplate(tab), QStringLiteral("WHITESPACE"))[5],
             QStringLiteral("      ' ' { _ttype := TT_SKIP; }"));
  }

  void lexerOptionsAndFilter() {
    kiv::LexerTemplateOptions options = calcLexer();
    options.caseSensitive = true;
    options.testLiterals = true;
    options.filterLexer = true;
    options.importVocab = QStringLiteral("Common");
    QStringList lines = kiv::LexerTemplate(options);
    qsizetype open = lines.indexOf(QStringLiteral("options"));
    // Without a rule name the filter is switched on and no filter rule is written.
    QCOMPARE(lines.mid(open, 7), QStringList({"options", "{", "   k = 2;", "   importVocab = Common;",
                                               "   exportVocab = calcLexer;", "   testLiterals = true;",
                                               "   filter = true;"}));
    QVERIFY(!lines.join(QLatin1Char('\n')).contains(QStringLiteral("(filter rule)")));

    options.filterRule = QStringLiteral("IGNORE");
    lines = kiv::LexerTemplate(options);
    QVERIFY(lines.contains(QStringLiteral("   filter = IGNORE;")));
    QStringList expected = banner(QStringLiteral("// IGNORE (filter rule)"));
    expected << "protected" << "IGNORE" << "   :" << "      // Insert filter code here" << "   ;" << "";
    open = lines.indexOf(expected[1]) - 1;
    QCOMPARE(lines.mid(open, expected.size()), expected);
    // The filter rule comes after the member declarations and before the rule definitions.
    QVERIFY(open > lines.indexOf(QStringLiteral("memberdecl")));
    QVERIFY(open < lines.indexOf(QStringLiteral("// Begin rule definitions")));

    // Sections that are not wanted leave no trace.
    options.interfaceUses = options.interfaceConst = options.interfaceType = false;
    options.tokens = options.memberDecl = options.memberDef = false;
    lines = kiv::LexerTemplate(options);
    for (const char* keyword : {"uses", "const", "type", "tokens", "memberdecl", "memberdef"})
      QVERIFY2(!lines.contains(QString::fromLatin1(keyword)), keyword);
    QCOMPARE(lines.mid(0, 4), QStringList({"unit calcLexer;", "", "// " + QString(76, QLatin1Char('=')),
                                           "// Lexer class declaration"}));
  }

  void commentEndMirrorsTheBegin() {
    QCOMPARE(kiv::MirroredCommentEnd(QStringLiteral("(*")), QStringLiteral("*)"));
    QCOMPARE(kiv::MirroredCommentEnd(QStringLiteral("/*")), QStringLiteral("*/"));
    QCOMPARE(kiv::MirroredCommentEnd(QStringLiteral("{-")), QStringLiteral("-}"));
    QCOMPARE(kiv::MirroredCommentEnd(QStringLiteral("<[(x")), QStringLiteral("x)]>"));
    QCOMPARE(kiv::MirroredCommentEnd(QString()), QString());
  }

  void fieldsAcceptTypedTextOnly() {
    TfrmKivLexerWizard dialog;
    auto* unit = child<QLineEdit>(&dialog, "edUnitName");
    auto* className = child<QLineEdit>(&dialog, "edClassName");
    auto* exportVocab = child<QLineEdit>(&dialog, "edExportVocab");

    // Identifier: while empty, digits and underscores are refused; other characters always.
    QTest::keyClicks(unit, QStringLiteral("1_cal-c 9_"));
    QCOMPARE(unit->text(), QStringLiteral("calc9_"));
    QCOMPARE(className->text(), QStringLiteral("Tcalc9_"));
    QCOMPARE(exportVocab->text(), QStringLiteral("calc9_"));
    // Pasting is refused by key, and there is no context menu to paste from.
    QApplication::clipboard()->setText(QStringLiteral("Pasted"));
    QTest::keyClick(unit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(unit, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(unit->text(), QStringLiteral("calc9_"));
    QCOMPARE(unit->contextMenuPolicy(), Qt::NoContextMenu);
    // Clearing the unit name clears the derived names.
    unit->selectAll();
    QTest::keyClick(unit, Qt::Key_Backspace);
    QCOMPARE(className->text(), QString());
    QCOMPARE(exportVocab->text(), QString());

    // Rule name: the first letter typed into the empty field becomes upper case.
    auto* filterRule = child<QLineEdit>(&dialog, "edFilterRule");
    QVERIFY(!filterRule->isEnabled());
    child<QCheckBox>(&dialog, "chkFilterLexer")->setChecked(true);
    QVERIFY(filterRule->isEnabled());
    QTest::keyClicks(filterRule, QStringLiteral("_ignore"));
    QCOMPARE(filterRule->text(), QStringLiteral("Ignore"));

    // Comment delimiters refuse the blank; the end follows the multi-line begin, mirrored.
    auto* begin = child<QLineEdit>(&dialog, "edMultiLineBegin");
    auto* end = child<QLineEdit>(&dialog, "edMultiLineEnd");
    begin->clear();
    QTest::keyClicks(begin, QStringLiteral("{ -"));
    QCOMPARE(begin->text(), QStringLiteral("{-"));
    QCOMPARE(end->text(), QStringLiteral("-}"));
    child<QCheckBox>(&dialog, "chkMultiLineComment")->setChecked(false);
    QVERIFY(!begin->isEnabled() && !end->isEnabled());
  }

  void okAndPreviewFollowTheRequiredFields() {
    TfrmKivLexerWizard lexer;
    auto* ok = child<QPushButton>(&lexer, "btnOk");
    auto* preview = child<QPushButton>(&lexer, "btnPreview");
    const auto enabled = [&] {
      if (ok->isEnabled() != preview->isEnabled()) qFatal("OK and Preview differ");
      return ok->isEnabled();
    };
    QVERIFY(!enabled());
    QTest::keyClicks(child<QLineEdit>(&lexer, "edUnitName"), QStringLiteral("calcLexer"));
    QVERIFY(enabled());  // class and export vocabulary follow the unit name
    auto* singleBegin = child<QLineEdit>(&lexer, "edSingleLineBegin");
    singleBegin->clear();
    QVERIFY(!enabled());
    child<QCheckBox>(&lexer, "chkSingleLineComment")->setChecked(false);
    QVERIFY(enabled());
    child<QLineEdit>(&lexer, "edMultiLineEnd")->clear();
    QVERIFY(!enabled());
    child<QCheckBox>(&lexer, "chkMultiLineComment")->setChecked(false);
    QVERIFY(enabled());
    child<QLineEdit>(&lexer, "edExportVocab")->clear();
    QVERIFY(!enabled());
    QVERIFY(!child<QCheckBox>(&lexer, "chkImplUses")->isEnabled());

    TfrmKivParserWizard parser;
    ok = child<QPushButton>(&parser, "btnOk");
    preview = child<QPushButton>(&parser, "btnPreview");
    QTest::keyClicks(child<QLineEdit>(&parser, "edUnitName"), QStringLiteral("calcParser"));
    QVERIFY(!enabled());  // the import vocabulary is still missing
    QTest::keyClicks(child<QLineEdit>(&parser, "edImportVocab"), QStringLiteral("calcLexer"));
    QVERIFY(enabled());
    child<QLineEdit>(&parser, "edExportVocab")->clear();
    QVERIFY(!enabled());
  }

  void previewShowsTheHighlightedGrammar() {
    TfrmKivParserWizard dialog;
    QTest::keyClicks(child<QLineEdit>(&dialog, "edUnitName"), QStringLiteral("calcParser"));
    QTest::keyClicks(child<QLineEdit>(&dialog, "edImportVocab"), QStringLiteral("calcLexer"));
    QString shownTitle, shownText;
    bool readOnly = false, highlighted = false;
    OnModal<QDialog>([&](QDialog* preview) {
      shownTitle = preview->windowTitle();
      auto* edit = child<QsciScintilla>(preview, "PreviewEdit");
      shownText = edit->text();
      readOnly = edit->isReadOnly();
      highlighted = qobject_cast<TqvWsKivSynHL*>(edit->lexer()) != nullptr;
      preview->accept();
    });
    child<QPushButton>(&dialog, "btnPreview")->click();
    QCOMPARE(shownTitle, QStringLiteral("Preview ..."));
    QVERIFY(readOnly);
    QVERIFY(highlighted);
    QCOMPARE(shownText, dialog.Lines().join(QLatin1Char('\n')));
    QCOMPARE(dialog.Lines(), kiv::ParserTemplate(dialog.Options()));
  }

  void moduleWizardsNameCountAndCancel() {
    TqvWsKivLexerWizard wizard;
    QCOMPARE(wizard.GetDisplayName(), QStringLiteral("KIV Lexer"));
    QCOMPARE(wizard.GetDescription(), QStringLiteral("Create KIV lexer source"));
    QCOMPARE(wizard.GetIconResource(), QStringLiteral("WsKivLexerIcon"));
    const auto accept = [](TfrmKivLexerWizard* dialog) {
      dialog->findChild<QLineEdit*>(QStringLiteral("edUnitName"))->setText(QStringLiteral("calcLexer"));
      dialog->findChild<QPushButton*>(QStringLiteral("btnOk"))->click();
    };

    OnModal<TfrmKivLexerWizard>(accept);
    const IqvWsModulePtr first = wizard.New();
    QVERIFY(first);
    QCOMPARE(first->GetName(), QStringLiteral("Lexer1"));
    QVERIFY(first->IsModified());
    QCOMPARE(first->GetCreator(), &wizard);
    QCOMPARE(first->GetLines(), kiv::LexerTemplate(calcLexer()));

    // Cancelling makes no module: the answer is the module made before, and the count stays.
    OnModal<TfrmKivLexerWizard>([](TfrmKivLexerWizard* dialog) { dialog->reject(); });
    QCOMPARE(wizard.New(), first);
    OnModal<TfrmKivLexerWizard>(accept);
    QCOMPARE(wizard.New()->GetName(), QStringLiteral("Lexer2"));

    wizard.ResetCount();
    OnModal<TfrmKivLexerWizard>(accept);
    QCOMPARE(wizard.New()->GetName(), QStringLiteral("Lexer1"));

    TqvWsKivParserWizard parsers;
    QCOMPARE(parsers.GetDisplayName(), QStringLiteral("KIV Parser"));
    OnModal<TfrmKivParserWizard>([](TfrmKivParserWizard* dialog) {
      dialog->findChild<QLineEdit*>(QStringLiteral("edUnitName"))->setText(QStringLiteral("p"));
      dialog->findChild<QLineEdit*>(QStringLiteral("edImportVocab"))->setText(QStringLiteral("l"));
      dialog->findChild<QPushButton*>(QStringLiteral("btnOk"))->click();
    });
    QCOMPARE(parsers.New()->GetName(), QStringLiteral("Parser1"));
  }
};

QTEST_MAIN(TestKivWizards)
#include "tst_qvWsKivWizards.moc"
