// tst_kivSyn.cpp
// The grammar highlighter: token kinds of representative lines, the word table, attributes,
// styling inside an editor, and the HTML and RTF export.
#include <Qsci/qsciscintilla.h>
#include <QtTest>

#include "workbench/authoring/kivSyn.h"
#include "workbench/authoring/kivSynExport.h"
#include "workbench/authoring/qvWsKivSynHL.h"

using kiv::SynTokenKind;
using Tokens = QList<QPair<SynTokenKind, QString>>;
Q_DECLARE_METATYPE(Tokens)

namespace {

constexpr auto C = SynTokenKind::Comment;
constexpr auto I = SynTokenKind::Identifier;
constexpr auto R = SynTokenKind::ReservedWord;
constexpr auto O = SynTokenKind::Option;
constexpr auto S = SynTokenKind::Space;
constexpr auto Str = SynTokenKind::String;
constexpr auto Sym = SynTokenKind::Symbol;
constexpr auto X = SynTokenKind::Other;

Tokens scan(kiv::KivSynLexer& highlighter, const QString& line) {
  Tokens tokens;
  highlighter.SetLine(line, 0);
  int expectedPos = 0;
  while (!highlighter.GetEol()) {
    // Tokens follow each other without gaps.
    if (highlighter.GetTokenPos() != expectedPos) return {};
    tokens << qMakePair(highlighter.GetTokenKind(), highlighter.GetToken());
    expectedPos += highlighter.GetToken().toUtf8().size();
    highlighter.Next();
  }
  return tokens;
}

QString q(const char* text) { return QString::fromUtf8(text); }

}  // namespace

class TestKivSyn : public QObject {
  Q_OBJECT

private slots:
  void tokenKinds_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<Tokens>("tokens");
    QTest::newRow("reserved words in any case")
        << q("lexer PARSER Tokens") << Tokens{{R, q("lexer")}, {S, q(" ")}, {R, q("PARSER")}, {S, q(" ")}, {R, q("Tokens")}};
    QTest::newRow("option words, capital H too")
        << q("defaultErrorHandler CASESENSITIVE") << Tokens{{O, q("defaultErrorHandler")}, {S, q(" ")}, {O, q("CASESENSITIVE")}};
    QTest::newRow("digits end a word") << q("int64 a1")
        << Tokens{{I, q("int")}, {X, q("6")}, {X, q("4")}, {S, q(" ")}, {I, q("a")}, {X, q("1")}};
    QTest::newRow("underscore words") << q("_my_rule:") << Tokens{{I, q("_my_rule")}, {Sym, q(":")}};
    QTest::newRow("actions are not units") << q("{ begin x := 1; }")
        << Tokens{{Sym, q("{")}, {S, q(" ")}, {R, q("begin")}, {S, q(" ")}, {I, q("x")}, {S, q(" ")},
                  {Sym, q(":")}, {Sym, q("=")}, {S, q(" ")}, {X, q("1")}, {Sym, q(";")}, {S, q(" ")}, {Sym, q("}")}};
    QTest::newRow("strings") << q("\"a'b\" 'c\"d'")
        << Tokens{{Str, q("\"a'b\"")}, {S, q(" ")}, {Str, q("'c\"d'")}};
    QTest::newRow("unterminated string ends at the line end") << q("x 'abc def")
        << Tokens{{I, q("x")}, {S, q(" ")}, {Str, q("'abc def")}};
    QTest::newRow("unterminated string stops before a line break") << q("'ab\r\n")
        << Tokens{{Str, q("'ab")}, {S, q("\r\n")}};
    QTest::newRow("three quotes open a string") << q("'''x' y")
        << Tokens{{Str, q("'''x'")}, {S, q(" ")}, {I, q("y")}};
    QTest::newRow("empty string") << q("''") << Tokens{{Str, q("''")}};
    QTest::newRow("double slash comment") << q("a // lexer 'x'")
        << Tokens{{I, q("a")}, {S, q(" ")}, {C, q("// lexer 'x'")}};
    QTest::newRow("pascal comment opener is symbols") << q("(* c *)")
        << Tokens{{Sym, q("(")}, {Sym, q("*")}, {S, q(" ")}, {I, q("c")}, {S, q(" ")}, {Sym, q("*")}, {Sym, q(")")}};
    QTest::newRow("c comment opener is symbols") << q("/* c */")
        << Tokens{{Sym, q("/")}, {Sym, q("*")}, {S, q(" ")}, {I, q("c")}, {S, q(" ")}, {Sym, q("*")}, {Sym, q("/")}};
    QTest::newRow("blanks and line ends") << q("\t  x\r\n")
        << Tokens{{S, q("\t  ")}, {I, q("x")}, {S, q("\r\n")}};
    QTest::newRow("other characters") << q("#é$") << Tokens{{X, q("#")}, {X, q("é")}, {X, q("$")}};
    QTest::newRow("every symbol character") << q("@^:,.=>{[(<-|+}]);*")
        << [] {
             Tokens tokens;
             for (const QChar c : q("@^:,.=>{[(<-|+}]);*")) tokens << qMakePair(Sym, QString(c));
             return tokens;
           }();
    QTest::newRow("empty line") << QString() << Tokens{};
  }

  void tokenKinds() {
    QFETCH(QString, line);
    QFETCH(Tokens, tokens);
    TkivSyn syn;
    TqvWsKivSynHL hl;
    QCOMPARE(scan(syn, line), tokens);
    QCOMPARE(scan(hl, line), tokens);
  }

  void wordTable() {
    kiv::KivSynScanner scanner;
    QCOMPARE(int(kiv::KivSynScanner::ReservedWords().size()), 117);
    QCOMPARE(int(kiv::KivSynScanner::OptionWords().size()), 9);
    for (const char* word : kiv::KivSynScanner::ReservedWords()) {
      QVERIFY(kiv::KivSynScanner::WordHash(word) < kiv::KivSynScanner::kHashTableSize);
      if (QByteArray(word) == "int64") continue;  // unreachable as one word
      QCOMPARE(scanner.WordKind(QByteArray(word).toUpper().toStdString()), R);
    }
    for (const char* word : kiv::KivSynScanner::OptionWords())
      QCOMPARE(scanner.WordKind(QByteArray(word).toUpper().toStdString()), O);
    QCOMPARE(kiv::KivSynScanner::WordHash("_"), 31);
    QCOMPARE(kiv::KivSynScanner::WordHash("Az"), 27);
    QCOMPARE(kiv::KivSynScanner::WordHash("warnWhenFollowAmbig"), 221);
    // Same hash, different words; a longer word; a hash beyond the table.
    QCOMPARE(scanner.WordKind("lexe"), I);
    QCOMPARE(scanner.WordKind("lexers"), I);
    QCOMPARE(scanner.WordKind("zzzzzzzzzz"), I);
  }

  void attributesAndProperties() {
    TkivSyn syn;
    const QStringList names{"Comment", "Identifier", "Reserved word", "Options", "Space", "String", "Symbol"};
    for (int style = 0; style < names.size(); ++style) QCOMPARE(syn.description(style), names[style]);
    QVERIFY(syn.description(names.size()).isEmpty());
    QCOMPARE(syn.defaultColor(0), QColor(128, 128, 128));
    QCOMPARE(syn.defaultColor(2), QColor(0, 0, 255));
    QCOMPARE(syn.defaultColor(3), QColor(128, 0, 0));
    QCOMPARE(syn.defaultColor(5), QColor(0, 128, 0));
    QCOMPARE(syn.defaultColor(6), QColor(255, 0, 0));
    QVERIFY(!syn.defaultFont(2).bold());
    QCOMPARE(kiv::KivSynLexer::StyleOf(X), kiv::KivSynLexer::StyleOf(I));
    QCOMPARE(syn.GetDefaultAttribute(kiv::SynDefaultAttributeKind::Keyword), 2);
    QCOMPARE(syn.GetDefaultAttribute(kiv::SynDefaultAttributeKind::Whitespace), 4);
    QCOMPARE(syn.GetLanguageName(), QStringLiteral("kiv"));
    QCOMPARE(syn.GetSampleSource(), QStringLiteral("Sample source for: \r\nKIV Syntax Parser/Highlighter"));
    QCOMPARE(syn.GetIdentChars().size(), 53);
    QVERIFY(!syn.IsFilterStored());
    syn.SetDefaultFilter(QStringLiteral("Grammars (*.g)|*.g"));
    QVERIFY(syn.IsFilterStored());
    syn.SetRange(5);
    QCOMPARE(syn.GetRange(), 5);
    syn.ResetRange();
    QCOMPARE(syn.GetRange(), 0);
    syn.SetLine(QString(), 0);
    QVERIFY(syn.GetEol());
    QCOMPARE(syn.GetTokenAttribute(), -1);
  }

  void stylesEachLineOnItsOwn() {
    QsciScintilla edit;
    auto* syn = new TkivSyn(&edit);
    edit.setLexer(syn);
    edit.setText(q("lexer // 'open\r\n'str' options\nx"));
    edit.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
    const auto styleAt = [&edit](long pos) { return int(edit.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, pos)); };
    QCOMPARE(styleAt(0), 2);    // lexer
    QCOMPARE(styleAt(6), 0);    // the comment
    QCOMPARE(styleAt(14), 4);   // CR LF as space
    QCOMPARE(styleAt(16), 5);   // 'str' on the next line is not inside the comment
    QCOMPARE(styleAt(23), 2);   // options (a reserved word)
    QCOMPARE(styleAt(30), 1);   // x
  }

  void exportHtml() {
    const QByteArray html = kiv::ExportHtml(q("lexer a<b & 'é' // c\n{ x }"), q("My <Lexer>"));
    QVERIFY(html.startsWith("<!DOCTYPE html>"));
    QVERIFY(html.contains("<title>My &lt;Lexer&gt;</title>"));
    QVERIFY(html.contains("<meta charset=\"utf-8\">"));
    QVERIFY(html.contains("<span class=\"reserved-word\">lexer</span> a<span class=\"symbol\">&lt;</span>b &amp; "));
    QVERIFY(html.contains(q("<span class=\"string\">&#x27;é&#x27;</span>").toUtf8()) ||
            html.contains(q("<span class=\"string\">'é'</span>").toUtf8()));
    QVERIFY(html.contains("<span class=\"comment\">// c</span>\n<span class=\"symbol\">{</span> x "));
    QVERIFY(html.contains(".reserved-word { color: #0000ff; }"));
    QVERIFY(html.contains(".comment { color: #808080; }"));
  }

  void exportRtf() {
    const QByteArray rtf = kiv::ExportRtf(q("parser {x}\n\t'é' \\ %1"), q("P"));
    QVERIFY(rtf.startsWith("{\\rtf1\\ansi"));
    QVERIFY(rtf.trimmed().endsWith("}"));
    QVERIFY(rtf.contains("{\\colortbl ;\\red0\\green0\\blue0;\\red128\\green128\\blue128;"));
    QVERIFY(rtf.contains("{\\cf4 parser}"));       // reserved word: colour 2 + 2
    QVERIFY(rtf.contains("{\\cf8 \\{}{\\cf3 x}{\\cf8 \\}}\\par\n"));
    QVERIFY(rtf.contains("{\\cf6 \\tab }{\\cf7 '\\u233?'}"));
    QVERIFY(rtf.contains("{\\cf3 \\\\}"));
    QVERIFY(rtf.contains("{\\cf3 %}{\\cf3 1}"));
    QVERIFY(rtf.contains("{\\info{\\title P}}"));
    // Braces balance, so a reader sees one group.
    int depth = 0;
    for (int i = 0; i < rtf.size(); ++i) {
      if (rtf[i] == '\\') ++i;
      else if (rtf[i] == '{') ++depth;
      else if (rtf[i] == '}') --depth;
      QVERIFY(depth >= 0);
    }
    QCOMPARE(depth, 0);
  }
};

QTEST_MAIN(TestKivSyn)
#include "tst_kivSyn.moc"
