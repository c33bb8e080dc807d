// kivSynLexer.cpp
// Editor styling with the grammar scanner: each line is scanned on its own and every token
// styled with its attribute.
#include "workbench/authoring/kivSynLexer.h"

#include <QColor>
#include <QFont>
#include <QFontDatabase>
#include <Qsci/qsciscintilla.h>

namespace kiv {

KivSynLexer::KivSynLexer(QObject* parent) : QsciLexerCustom(parent) {
  setDefaultFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

const char* KivSynLexer::language() const { return KivSynScanner::LanguageName(); }

QString KivSynLexer::description(int style) const {
  if (style < 0 || style >= kSynAttributeCount) return {};
  return QString::fromLatin1(SynAttributeInfo(static_cast<SynAttributeKind>(style)).name);
}

QColor KivSynLexer::defaultColor(int style) const {
  if (style < 0 || style >= kSynAttributeCount) return QsciLexerCustom::defaultColor(style);
  const SynAttribute& attribute = SynAttributeInfo(static_cast<SynAttributeKind>(style));
  if (attribute.editorDefault) return QsciLexer::defaultColor();
  return QColor(attribute.red, attribute.green, attribute.blue);
}

QFont KivSynLexer::defaultFont(int) const {
  // Every attribute is plain: the editor's monospace font without bold or italic.
  QFont font = QsciLexer::defaultFont();
  font.setBold(false);
  font.setItalic(false);
  return font;
}

const char* KivSynLexer::wordCharacters() const { return KivSynScanner::IdentifierChars(); }

int KivSynLexer::StyleOf(SynTokenKind kind) {
  SynAttributeKind attribute;
  if (!SynAttributeOf(kind, attribute)) return static_cast<int>(SynAttributeKind::Identifier);
  return static_cast<int>(attribute);
}

void KivSynLexer::SetLine(const QString& line, int lineNumber) {
  FLine = line.toUtf8();
  FScanner.SetLine(std::string_view(FLine.constData(), static_cast<size_t>(FLine.size())),
                   lineNumber);
}

QString KivSynLexer::GetToken() const {
  const std::string_view token = FScanner.GetToken();
  return QString::fromUtf8(token.data(), static_cast<qsizetype>(token.size()));
}

int KivSynLexer::GetTokenAttribute() const {
  SynAttributeKind attribute;
  return FScanner.GetTokenAttribute(attribute) ? static_cast<int>(attribute) : -1;
}

int KivSynLexer::GetDefaultAttribute(SynDefaultAttributeKind role) const {
  return static_cast<int>(SynDefaultAttribute(role));
}

bool KivSynLexer::IsFilterStored() const { return FDefaultFilter != StandardFilter(); }

void KivSynLexer::styleText(int start, int end) {
  QsciScintilla* edit = editor();
  if (!edit || end <= start) return;
  const long length = edit->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
  const long firstLine = edit->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, start);
  const long lastLine = edit->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, end - 1);
  // Whole lines, each with its line end, so that line ends are styled as space too.
  const long from = edit->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, firstLine);
  long to = edit->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, lastLine + 1);
  if (to < 0 || to > length) to = length;
  if (to <= from) return;
  QByteArray bytes(static_cast<qsizetype>(to - from), '\0');
  edit->SendScintilla(QsciScintillaBase::SCI_GETTEXTRANGE, from, to, bytes.data());

  startStyling(static_cast<int>(from));
  qsizetype lineStart = 0;
  long lineNumber = firstLine;
  while (lineStart < bytes.size()) {
    qsizetype next = lineStart;
    while (next < bytes.size() && bytes[next] != '\n' && bytes[next] != '\r') ++next;
    if (next < bytes.size())
      next += bytes[next] == '\r' && next + 1 < bytes.size() && bytes[next + 1] == '\n' ? 2 : 1;
    const std::string_view line(bytes.constData() + lineStart, static_cast<size_t>(next - lineStart));
    FScanner.SetLine(line, static_cast<int>(lineNumber));
    int styled = 0;
    while (!FScanner.GetEol()) {
      const int tokenLength = static_cast<int>(FScanner.GetToken().size());
      setStyling(tokenLength, StyleOf(FScanner.GetTokenKind()));
      styled += tokenLength;
      FScanner.Next();
    }
    // Whatever follows a character 0 is not scanned: give it the identifier style.
    if (styled < static_cast<int>(line.size()))
      setStyling(static_cast<int>(line.size()) - styled, StyleOf(SynTokenKind::Identifier));
    lineStart = next;
    ++lineNumber;
  }
}

}  // namespace kiv
