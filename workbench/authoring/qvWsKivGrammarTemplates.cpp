// qvWsKivGrammarTemplates.cpp
// Lexer and parser grammar skeletons: a common head (unit, sections, class, options) and a body
// of banner-commented rules, written line by line.
#include "workbench/authoring/qvWsKivGrammarTemplates.h"

namespace kiv {

namespace {

const QString kThinBanner =
    QStringLiteral("// ----------------------------------------------------------------------------");
const QString kThickBanner =
    QStringLiteral("// ============================================================================");

// Collects template lines; `level` indents by units of three blanks.
class TemplateWriter {
public:
  void line(const QString& text = QString()) { FLines << text; }
  void line(int level, const QString& text) { FLines << QString(level * 3, QLatin1Char(' ')) + text; }

  // A comment framed by thin banners.
  void bannerBlock(const QStringList& comments) {
    line(kThinBanner);
    for (const QString& comment : comments) line(comment);
    line(kThinBanner);
  }
  // The keyword alone, then an empty pair of braces and an empty line.
  void keywordSection(const QString& keyword) {
    line(keyword);
    line(QStringLiteral("{"));
    line(QStringLiteral("}"));
    line();
  }
  void ruleClosing() {
    line(1, QStringLiteral(";"));
    line();
  }
  // "{ _ttype := TT_SKIP; }" spread over three lines at `level`.
  void skipAction(int level) {
    line(level, QStringLiteral("{"));
    line(level + 1, QStringLiteral("_ttype := TT_SKIP;"));
    line(level, QStringLiteral("}"));
  }
  // The three line-end alternatives of the comment rules, after their options block.
  void lineEndAlternatives(int level) {
    line(level, QStringLiteral("options"));
    line(level, QStringLiteral("{"));
    line(level + 1, QStringLiteral("generateAmbigWarnings = false;"));
    line(level, QStringLiteral("}"));
    line(level, QStringLiteral(": '\\r' '\\n' { newLine; }"));
    line(level, QStringLiteral("| '\\r'      { newLine; }"));
    line(level, QStringLiteral("| '\\n'      { newLine; }"));
  }

  QStringList take() { return std::move(FLines); }

private:
  QStringList FLines;
};

void writeVerbatimSection(TemplateWriter& out, const QString& keyword, const QString& unit) {
  out.bannerBlock({QStringLiteral("// This section is used for generating \"%1\" clause in the unit '%2'.")
                       .arg(keyword, unit),
                   QStringLiteral("// The content of the section is verbatim copied into the generated code.")});
  out.keywordSection(keyword);
}

// Unit, interface sections, class declaration and the options block up to the vocabularies;
// `ownOptions` are the template's own option lines.
void writeHead(TemplateWriter& out, const GrammarTemplateOptions& options, const QString& kind,
               const QString& keyword, const QStringList& ownOptions) {
  const QString unit = options.unitName.trimmed();
  out.line(QStringLiteral("unit ") + unit + QStringLiteral(";"));
  out.line();
  if (options.interfaceUses) {
    out.bannerBlock({QStringLiteral("// This section is used for generating \"uses\" clause in the unit '%1'.").arg(unit),
                     QStringLiteral("// Every unit name must be terminated with ';'"),
                     QStringLiteral("// e.g:"),
                     QStringLiteral("// "),
                     QStringLiteral("// uses"),
                     QStringLiteral("// {"),
                     QStringLiteral("//    Classes;"),
                     QStringLiteral("//    SysUtils;"),
                     QStringLiteral("// }")});
    out.keywordSection(QStringLiteral("uses"));
  }
  if (options.interfaceConst) writeVerbatimSection(out, QStringLiteral("const"), unit);
  if (options.interfaceType) writeVerbatimSection(out, QStringLiteral("type"), unit);

  out.line(kThickBanner);
  out.line(QStringLiteral("// %1 class declaration").arg(kind));
  out.line(kThickBanner);
  out.line(keyword + QStringLiteral(" ") + options.className.trimmed() + QStringLiteral(";"));

  out.bannerBlock({QStringLiteral("// %1 options").arg(kind)});
  out.line(QStringLiteral("options"));
  out.line(QStringLiteral("{"));
  out.line(1, QStringLiteral("k = 2;"));
  if (!options.importVocab.isEmpty())
    out.line(1, QStringLiteral("importVocab = ") + options.importVocab + QStringLiteral(";"));
  if (!options.exportVocab.isEmpty())
    out.line(1, QStringLiteral("exportVocab = ") + options.exportVocab + QStringLiteral(";"));
  for (const QString& option : ownOptions) out.line(1, option);
  out.line(QStringLiteral("}"));
  out.line();
}

void writeMemberDecl(TemplateWriter& out, const QString& kind) {
  out.bannerBlock({QStringLiteral("// %1 member declarations.").arg(kind),
                   QStringLiteral("// All user defined member declarations should be placed here."),
                   QStringLiteral("// The content of the section is verbatim copied into the generated code.")});
  out.keywordSection(QStringLiteral("memberdecl"));
}

void writeMemberDef(TemplateWriter& out, const QString& unit) {
  out.bannerBlock({QStringLiteral("// This section is used for generating member defintions in the unit '%1'.").arg(unit),
                   QStringLiteral("// The content of the section is verbatim copied into the generated code.")});
  out.keywordSection(QStringLiteral("memberdef"));
}

void writeRulesBegin(TemplateWriter& out, const QString& remember) {
  out.line(kThickBanner);
  out.line(QStringLiteral("// Begin rule definitions"));
  out.line(QStringLiteral("//"));
  out.line(remember);
  out.line(kThickBanner);
}

void writeRulesEnd(TemplateWriter& out) {
  out.line(kThickBanner);
  out.line(QStringLiteral("// End rule definitions"));
  out.line(kThickBanner);
  out.line();
}

void writeSingleLineComment(TemplateWriter& out, const LexerTemplateOptions& options) {
  out.bannerBlock({QStringLiteral("// SLCOMMENT")});
  if (options.multiLineComment) out.line(QStringLiteral("protected"));
  out.line(QStringLiteral("SLCOMMENT"));
  out.line(1, QStringLiteral(":"));
  out.line(2, GrammarStringLiteral(options.singleLineBegin));
  out.line(2, QStringLiteral("( ~( '\\r' | '\\n') )*"));
  out.line(2, QStringLiteral("("));
  out.lineEndAlternatives(3);
  out.line(2, QStringLiteral(")"));
  if (!options.multiLineComment) out.skipAction(2);
  out.ruleClosing();
}

void writeMultiLineComment(TemplateWriter& out, const LexerTemplateOptions& options) {
  out.bannerBlock({QStringLiteral("// MLCOMMENT")});
  if (options.singleLineComment) out.line(QStringLiteral("protected"));
  out.line(QStringLiteral("MLCOMMENT"));
  out.line(1, QStringLiteral(":"));
  out.line(2, GrammarStringLiteral(options.multiLineBegin));
  out.line(2, QStringLiteral("("));
  out.line(3, QStringLiteral("options"));
  out.line(3, QStringLiteral("{"));
  out.line(4, QStringLiteral("greedy = false;"));
  out.line(4, QStringLiteral("generateAmbigWarnings = false;"));
  out.line(3, QStringLiteral("}"));
  out.line(3, QStringLiteral(": '\\r' '\\n' { newLine; }"));
  out.line(3, QStringLiteral("| '\\r'      { newLine; }"));
  out.line(3, QStringLiteral("| '\\n'      { newLine; }"));
  out.line(3, QStringLiteral("| ."));
  out.line(2, QStringLiteral(")*"));
  out.line(2, GrammarStringLiteral(options.multiLineEnd));
  if (!options.singleLineComment) out.skipAction(2);
  out.ruleClosing();
}

void writeNewLine(TemplateWriter& out, const LexerTemplateOptions& options) {
  out.bannerBlock({QStringLiteral("// NEWLINE")});
  out.line(QStringLiteral("NEWLINE"));
  out.line(1, QStringLiteral(":"));
  out.line(2, QStringLiteral("("));
  if (options.newLineCrLf) {
    out.line(3, QStringLiteral("options"));
    out.line(3, QStringLiteral("{"));
    out.line(4, QStringLiteral("generateAmbigWarnings = false;"));
    out.line(3, QStringLiteral("}"));
    out.line(3, QStringLiteral(": '\\r' '\\n' { newLine; }"));
  }
  // The first alternative written has no bar before it.
  if (options.newLineCr)
    out.line(3, (options.newLineCrLf ? QStringLiteral("| ") : QStringLiteral("  ")) +
                    QStringLiteral("'\\r'      { newLine; }"));
  if (options.newLineLf)
    out.line(3, (options.newLineCrLf || options.newLineCr ? QStringLiteral("| ") : QStringLiteral("  ")) +
                    QStringLiteral("'\\n'      { newLine; }"));
  out.line(2, QStringLiteral(")"));
  out.skipAction(2);
  out.ruleClosing();
}

void writeWhiteSpace(TemplateWriter& out, const LexerTemplateOptions& options) {
  out.bannerBlock({QStringLiteral("// WHITESPACE")});
  out.line(QStringLiteral("WHITESPACE"));
  out.line(1, QStringLiteral(":"));
  if (options.whiteSpaceSpace && options.whiteSpaceTab) {
    out.line(2, QStringLiteral("("));
    out.line(2, QStringLiteral("   ' '"));
    out.line(2, QStringLiteral("|  '\\t' { tab; }"));
    out.line(2, QStringLiteral(")"));
    out.skipAction(2);
  } else if (options.whiteSpaceSpace) {
    out.line(2, QStringLiteral("' ' { _ttype := TT_SKIP; }"));
  } else {
    out.line(2, QStringLiteral("'\\t' { tab; _ttype := TT_SKIP; }"));
  }
  out.ruleClosing();
}

}  // namespace

QString MirroredCommentEnd(const QString& begin) {
  static const QString opening = QStringLiteral("()<>[]{}");
  static const QString closing = QStringLiteral(")(><][}{");
  QString end;
  end.reserve(begin.size());
  for (qsizetype i = begin.size() - 1; i >= 0; --i) {
    const qsizetype bracket = opening.indexOf(begin[i]);
    end += bracket >= 0 ? closing[bracket] : begin[i];
  }
  return end;
}

QString GrammarStringLiteral(const QString& text) {
  QString literal = QStringLiteral("\"");
  for (const QChar c : text) {
    if (c == QLatin1Char('\\') || c == QLatin1Char('"')) literal += QLatin1Char('\\');
    literal += c;
  }
  return literal + QLatin1Char('"');
}

QStringList LexerTemplate(const LexerTemplateOptions& options) {
  QStringList ownOptions;
  if (!options.caseSensitive) ownOptions << QStringLiteral("caseSensitive = false;");
  if (options.testLiterals) ownOptions << QStringLiteral("testLiterals = true;");
  const QString filterRule = options.filterRule.trimmed();
  if (options.filterLexer)
    ownOptions << (filterRule.isEmpty() ? QStringLiteral("filter = true;")
                                        : QStringLiteral("filter = ") + filterRule + QStringLiteral(";"));

  TemplateWriter out;
  writeHead(out, options, QStringLiteral("Lexer"), QStringLiteral("lexer"), ownOptions);
  if (options.tokens) {
    out.bannerBlock({QStringLiteral("// Lexer tokens. Usualy string literals.")});
    out.keywordSection(QStringLiteral("tokens"));
  }
  if (options.memberDecl) writeMemberDecl(out, QStringLiteral("Lexer"));
  if (options.filterLexer && !filterRule.isEmpty()) {
    out.bannerBlock({QStringLiteral("// ") + filterRule + QStringLiteral(" (filter rule)")});
    out.line(QStringLiteral("protected"));
    out.line(filterRule);
    out.line(1, QStringLiteral(":"));
    out.line(2, QStringLiteral("// Insert filter code here"));
    out.ruleClosing();
  }
  writeRulesBegin(out, QStringLiteral("// Remember: All lexer rule names must begin with UPPERCASE letter!"));
  out.line();
  if (options.singleLineComment && options.multiLineComment) {
    out.bannerBlock({QStringLiteral("// COMMENT")});
    out.line(QStringLiteral("COMMENT"));
    out.line(1, QStringLiteral(": SLCOMMENT { _ttype := TT_SKIP; }"));
    out.line(1, QStringLiteral("| MLCOMMENT { _ttype := TT_SKIP; }"));
    out.ruleClosing();
  }
  if (options.singleLineComment) writeSingleLineComment(out, options);
  if (options.multiLineComment) writeMultiLineComment(out, options);
  if (options.newLineCrLf || options.newLineLf || options.newLineCr) writeNewLine(out, options);
  if (options.whiteSpaceSpace || options.whiteSpaceTab) writeWhiteSpace(out, options);
  writeRulesEnd(out);
  if (options.memberDef) writeMemberDef(out, options.unitName.trimmed());
  return out.take();
}

QStringList ParserTemplate(const ParserTemplateOptions& options) {
  QStringList ownOptions;
  if (options.defaultErrorHandler) ownOptions << QStringLiteral("defaultErrorHandler = true;");

  TemplateWriter out;
  writeHead(out, options, QStringLiteral("Parser"), QStringLiteral("parser"), ownOptions);
  if (options.memberDecl) writeMemberDecl(out, QStringLiteral("Parser"));
  writeRulesBegin(out, QStringLiteral("// Remember: All parser rule names must begin with LOWERCASE letter!"));
  out.line(QStringLiteral("dummy: . ;"));
  out.line();
  out.line();
  out.line();
  writeRulesEnd(out);
  if (options.memberDef) writeMemberDef(out, options.unitName.trimmed());
  return out.take();
}

}  // namespace kiv
