// qvConflictExplain.cpp
// The analysis run that finds a listed report again, the explainer's answer, the branches'
// places in the text and the witness as text.
#include "workbench/explain/qvConflictExplain.h"

#include <map>
#include <memory>

#include "engine/driver/kivDiagnostic.h"
#include "engine/graph/kivGraphArena.h"
#include "engine/kivGraph.h"
#include "engine/kivModel.h"
#include "runtime/cpp/kivUtils.h"
#include "workbench/qvBuildCommand.h"
#include "workbench/qvMessageList.h"
#include "workbench/qvTextFile.h"

namespace kiv {

namespace {

QString decoded(const std::string& text) {
  TextFormat format;
  return DecodeText(QByteArray(text.data(), static_cast<qsizetype>(text.size())), format);
}

// Skips a quoted literal starting at `at` (the quote); answers the offset after it.
std::size_t skipQuoted(const std::string& text, std::size_t at, char quote) {
  std::size_t i = at + 1;
  while (i < text.size() && text[i] != quote && text[i] != '\n' && text[i] != '\r') i += text[i] == '\\' ? 2 : 1;
  return std::min(text.size(), i + 1);
}

// Skips a bracketed part (an action in braces, arguments in square brackets) starting at `at`:
// nested brackets, and the Pascal strings and comments of actions, are passed over whole.
std::size_t skipBracketed(const std::string& text, std::size_t at, char open, char close) {
  int depth = 0;
  std::size_t i = at;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\'') {
      // A Pascal string: '' inside it is two strings in a row.
      i = text.find('\'', i + 1);
      if (i == std::string::npos) return text.size();
      ++i;
      continue;
    }
    if (c == open) ++depth;
    if (c == close && --depth == 0) return i + 1;
    ++i;
  }
  return text.size();
}

// Where each reported decision's branches stand in the text.
ByteSpan spanOfAlternative(const std::string& text, IkivAlternative* alternative) {
  if (alternative == nullptr) return {};
  for (IkivAlternativeElem* element = alternative->GetHead(); element != nullptr; element = element->GetNext()) {
    // The block's end closes every alternative: an alternative that reaches it first is empty.
    if (Supports<IkivBlockEndElem>(element) != nullptr) return {};
    if (element->GetLine() <= 0 || element->GetColumn() <= 0) continue;
    const std::size_t begin = OffsetOf(text, element->GetLine(), element->GetColumn());
    std::size_t end = AlternativeEnd(text, begin);
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
    return {begin, end};
  }
  return {};
}

// The block's closing bracket with the operator right after it (")?", ")*", ")+"), or the ";"
// that ends a rule: where an empty alternative and a loop's exit stand. Found by walking the
// alternatives from the first one with a place in the text.
ByteSpan closingOf(const std::string& text, IkivAlternativeBlock& block) {
  for (IkivAlternative* alternative : block.GetAlternatives()) {
    const ByteSpan span = spanOfAlternative(text, alternative);
    if (span.IsEmpty()) continue;
    std::size_t at = AlternativeEnd(text, span.begin);
    while (at < text.size() && text[at] == '|') at = AlternativeEnd(text, at + 1);
    if (at >= text.size()) return {};
    std::size_t end = at + 1;
    if (text[at] == ')' && end < text.size() && (text[end] == '?' || text[end] == '*' || text[end] == '+')) ++end;
    return {at, end};
  }
  return {};
}

// The members of a witness as text to type. The explanation prints them as the reports do:
// characters as CharText makes them, tokens as "LT_" + a literal's text or "TT_" + a name.
QString sampleOf(const Explanation& explanation) {
  std::vector<std::string> members = explanation.Prefix;
  members.insert(members.end(), explanation.Witness.begin(), explanation.Witness.end());
  if (explanation.Lexical) {
    std::map<std::string, char> characters;
    for (int code = 0; code < 256; ++code) characters[CharText(static_cast<char>(code))] = static_cast<char>(code);
    std::string text;
    for (const std::string& member : members)
      if (const auto found = characters.find(member); found != characters.end()) text += found->second;
    return decoded(text);
  }
  QStringList words;
  for (const std::string& member : members) {
    // The end of input is no word, and neither are the explanation's own markers ("<...>").
    if (member.size() <= 3 || member == "TT_EOF" || member == "TT_001") continue;
    if (member.rfind("LT_", 0) == 0 || member.rfind("TT_", 0) == 0) words << decoded(member.substr(3));
  }
  return words.join(QLatin1Char(' '));
}

// Hears the run's reports and explains the one asked for while its grammar is there. A report
// is the one asked for when its text and line are the caption's (and its column, when known);
// failing that, the first with the same text (lines move when the text above is edited).
class ReportFinder : public DiagnosticListener, public NondeterminismListener {
public:
  ReportFinder(const ExplainRequest& request, const std::string& text) : FText(text), FColumn(request.column) {
    const MessageListModel::Position position = MessageListModel::PositionOf(request.caption);
    FLine = position.line;
    const qsizetype close = request.caption.indexOf(QStringLiteral("):"), position.module.size());
    FReport = close >= 0 ? request.caption.mid(close + 2).trimmed() : request.caption.trimmed();
  }

  ExplainOutcome outcome;
  bool found = false;

  void OnDiagnostic(const Diagnostic& D) override {
    if (D.Kind == DiagnosticKind::Error && FFirstError.isEmpty())
      FFirstError = decoded(D.FileName + "(" + std::to_string(D.Line) + "): " + D.Text);
    if (D.Kind != DiagnosticKind::Warning) return;
    FLastLine = D.Line;
    FLastColumn = D.Column;
    FLastText = decoded(D.Text).trimmed();
  }

  void OnNondeterminism(IkivGrammar& grammar, IkivAlternativeBlock& block, int altA, int altB) override {
    if (FExact || FLastText != FReport) return;
    const bool exact = FLastLine == FLine && (FColumn <= 0 || FLastColumn == FColumn);
    if (found && !exact) return;
    if (!FExplainer || &FExplainer->Grammar() != &grammar) FExplainer = std::make_unique<ConflictExplainer>(grammar);
    outcome.kind = ExplainOutcomeKind::Explained;
    outcome.explanation = FExplainer->Explain(ConflictSite{&block, altA, altB});
    outcome.line = FLastLine;
    outcome.first = spanOfAlternative(FText, block.GetAlternative(altA));
    outcome.second = altB == ConflictSite::ExitBranch ? closingOf(FText, block)
                                                      : spanOfAlternative(FText, block.GetAlternative(altB));
    if (outcome.second.IsEmpty() && altB != ConflictSite::ExitBranch) outcome.second = closingOf(FText, block);
    outcome.sample = sampleOf(outcome.explanation);
    found = true;
    FExact = exact;
  }

  const QString& firstError() const { return FFirstError; }

private:
  const std::string& FText;
  int FLine = 0;
  int FColumn = 0;
  QString FReport;
  int FLastLine = 0;
  int FLastColumn = 0;
  QString FLastText;
  QString FFirstError;
  bool FExact = false;
  std::unique_ptr<ConflictExplainer> FExplainer;
};

}  // namespace

std::size_t OffsetOf(const std::string& text, int line, int column) {
  std::size_t at = 0;
  for (int current = 1; current < line && at < text.size(); ++at) {
    if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ++at;
    if (text[at] == '\n' || text[at] == '\r') ++current;
  }
  return std::min(text.size(), at + static_cast<std::size_t>(std::max(0, column - 1)));
}

std::size_t AlternativeEnd(const std::string& text, std::size_t from) {
  int depth = 0;
  std::size_t i = from;
  while (i < text.size()) {
    const char c = text[i];
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (c == '"' || c == '\'') {
      i = skipQuoted(text, i, c);
    } else if (c == '{') {
      i = skipBracketed(text, i, '{', '}');
    } else if (c == '[') {
      i = skipBracketed(text, i, '[', ']');
    } else if (c == '/' && next == '/') {
      while (i < text.size() && text[i] != '\n' && text[i] != '\r') ++i;
    } else if (c == '/' && next == '*') {
      const std::size_t close = text.find("*/", i + 2);
      i = close == std::string::npos ? text.size() : close + 2;
    } else if (c == '(') {
      ++depth;
      ++i;
    } else if (c == ')') {
      if (depth == 0) return i;
      --depth;
      ++i;
    } else if ((c == '|' || c == ';') && depth == 0) {
      return i;
    } else {
      ++i;
    }
  }
  return text.size();
}

ExplainOutcome ExplainReport(const ExplainRequest& request) {
  ReportFinder finder(request, request.text);
  // The analysis reads the exchange folder for imported vocabularies and writes nothing.
  const ToolRunResult run = RunGrammarTool(request.text, request.name, request.exchangeDir, request.exchangeDir,
                                           nullptr, ToolRunKind::Analyze, QString(), &finder, &finder);
  if (!run.failure.isEmpty()) {
    ExplainOutcome failed;
    failed.message = QStringLiteral("Unexpected exception: ") + run.failure;
    return failed;
  }
  if (finder.found) return std::move(finder.outcome);
  ExplainOutcome missing;
  if (run.errors > 0) {
    missing.kind = ExplainOutcomeKind::GrammarErrors;
    missing.message = finder.firstError().isEmpty() ? QStringLiteral("The grammar has errors; build it to see them.")
                                                    : finder.firstError();
  } else {
    missing.kind = ExplainOutcomeKind::NotReported;
    missing.message = QStringLiteral("The grammar as it stands no longer makes this report; build it again.");
  }
  return missing;
}

}  // namespace kiv
