// kivSynLexer.h
// The grammar highlighter as an editor lexer: styles grammar text line by line with the shared
// scanner and offers the highlighter's operations (set line, next, token, kind, attribute ...).
// TkivSyn and TqvWsKivSynHL are this class under their own names.
#pragma once

#include <QByteArray>
#include <Qsci/qscilexercustom.h>

#include "workbench/authoring/kivSynScanner.h"

namespace kiv {

class KivSynLexer : public QsciLexerCustom {
  Q_OBJECT
public:
  explicit KivSynLexer(QObject* parent = nullptr);

  // QsciLexer: style numbers are the SynAttributeKind values.
  const char* language() const override;
  QString description(int style) const override;
  QColor defaultColor(int style) const override;
  QFont defaultFont(int style) const override;
  const char* wordCharacters() const override;
  void styleText(int start, int end) override;

  // The highlighter operations, one line at a time.
  void SetLine(const QString& line, int lineNumber);
  void Next() { FScanner.Next(); }
  bool GetEol() const { return FScanner.GetEol(); }
  QString GetToken() const;
  SynTokenKind GetTokenKind() const { return FScanner.GetTokenKind(); }
  // The style of the current token, -1 at the end of the line.
  int GetTokenAttribute() const;
  int GetTokenPos() const { return FScanner.GetTokenPos(); }
  int GetRange() const { return FScanner.GetRange(); }
  void SetRange(int range) { FScanner.SetRange(range); }
  void ResetRange() { FScanner.ResetRange(); }
  QString GetIdentChars() const { return QString::fromLatin1(KivSynScanner::IdentifierChars()); }
  int GetDefaultAttribute(SynDefaultAttributeKind role) const;
  QString GetLanguageName() const { return QString::fromLatin1(KivSynScanner::LanguageName()); }
  QString GetSampleSource() const { return QString::fromLatin1(KivSynScanner::SampleSource()); }

  // The open-dialog filter of the highlighter; stored only when it differs from the default.
  QString DefaultFilter() const { return FDefaultFilter; }
  void SetDefaultFilter(const QString& filter) { FDefaultFilter = filter; }
  bool IsFilterStored() const;
  static QString StandardFilter() { return QStringLiteral("All files (*.g)|*.g"); }

  // The style a token kind is drawn with (other tokens use the identifier style).
  static int StyleOf(SynTokenKind kind);

private:
  KivSynScanner FScanner;
  QByteArray FLine;  // the line being scanned, as UTF-8
  QString FDefaultFilter = StandardFilter();
};

}  // namespace kiv
