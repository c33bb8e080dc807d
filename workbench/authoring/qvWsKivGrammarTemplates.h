// qvWsKivGrammarTemplates.h
// The text of new lexer and parser grammars as the two grammar wizards write it, from the
// choices made in their dialogs.
#pragma once

#include <QString>
#include <QStringList>

namespace kiv {

// Choices both templates share: names, vocabularies and the verbatim sections wanted.
struct GrammarTemplateOptions {
  QString unitName;
  QString className;
  QString importVocab;
  QString exportVocab;
  bool interfaceUses = true;
  bool interfaceConst = true;
  bool interfaceType = true;
  bool memberDecl = true;
  bool memberDef = true;
};

struct LexerTemplateOptions : GrammarTemplateOptions {
  bool caseSensitive = false;
  bool testLiterals = false;
  bool filterLexer = false;
  QString filterRule;
  bool tokens = true;
  bool singleLineComment = true;
  QString singleLineBegin = QStringLiteral("//");
  bool multiLineComment = true;
  QString multiLineBegin = QStringLiteral("(*");
  QString multiLineEnd = QStringLiteral("*)");
  bool newLineCrLf = true;
  bool newLineLf = true;
  bool newLineCr = true;
  bool whiteSpaceSpace = true;
  bool whiteSpaceTab = true;
};

struct ParserTemplateOptions : GrammarTemplateOptions {
  bool defaultErrorHandler = false;
};

// The complete grammar text, one entry per line.
QStringList LexerTemplate(const LexerTemplateOptions& options);
QStringList ParserTemplate(const ParserTemplateOptions& options);

// The closing delimiter of a multi-line comment: `begin` read backwards with every bracket
// replaced by its partner ("(*" gives "*)", "{-" gives "-}").
QString MirroredCommentEnd(const QString& begin);

// `text` as a grammar string literal: in double quotes, with backslashes and double quotes
// escaped so that any delimiter the user typed reads back as itself.
QString GrammarStringLiteral(const QString& text);

}  // namespace kiv
