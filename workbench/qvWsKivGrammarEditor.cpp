// qvWsKivGrammarEditor.cpp
// The grammar editor: edit control set-up, status panels, clipboard and undo, search and
// replace through Scintilla's target search, printing and export.
#include "workbench/qvWsKivGrammarEditor.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QHelpEvent>
#include <QMimeData>
#include <QTabWidget>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>
#include <Qsci/qsciscintilla.h>

#include "workbench/authoring/kivSyn.h"
#include "workbench/authoring/kivSynExport.h"
#include "workbench/qvEditorPrinter.h"
#include "workbench/qvMessageList.h"
#include "workbench/qvStatusPanels.h"
#include "workbench/qvTextFile.h"

namespace {

QTabWidget* tabWidgetOf(QWidget* page) {
  for (QWidget* widget = page ? page->parentWidget() : nullptr; widget; widget = widget->parentWidget())
    if (auto* tabs = qobject_cast<QTabWidget*>(widget)) return tabs;
  return nullptr;
}

QsciScintilla::EolMode eolModeOf(const QString& lineEnd) {
  if (lineEnd == u"\r\n") return QsciScintilla::EolWindows;
  if (lineEnd == u"\r") return QsciScintilla::EolMac;
  return QsciScintilla::EolUnix;
}

}  // namespace

TqvWsKivGrammarEditor::TqvWsKivGrammarEditor(QObject* parent) : QObject(parent) {
  FEdit = new QsciScintilla;
  FEdit->setObjectName(QStringLiteral("GrammarEdit"));
  FEdit->setUtf8(true);
  const QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  FEdit->setFont(font);
  FHighlighter = new TkivSyn(FEdit);
  FHighlighter->setDefaultFont(font);
  FHighlighter->setFont(font, -1);
  FEdit->setLexer(FHighlighter);
  // The tab key inserts a tab character; tabs are three columns wide.
  FEdit->setIndentationsUseTabs(true);
  FEdit->setTabWidth(3);
  FEdit->setEolMode(eolModeOf(kiv::TextFormat::NativeLineEnd()));

  // The gutter: line numbers, then the marks of the background check.
  FEdit->setMarginType(kLineNumberMargin, QsciScintilla::NumberMargin);
  FEdit->setMarginLineNumbers(kLineNumberMargin, true);
  FEdit->setMarginMarkerMask(kLineNumberMargin, 0);
  FEdit->setMarginType(kCheckMargin, QsciScintilla::SymbolMargin);
  FEdit->setMarginWidth(kCheckMargin, 16);
  FEdit->setMarginMarkerMask(kCheckMargin, (1 << kCheckErrorMarker) | (1 << kCheckWarningMarker));
  FEdit->setMarginSensitivity(kCheckMargin, false);
  FEdit->markerDefine(kiv::MessageImage(kiv::MessageImageKind::Error).pixmap(14, 14), kCheckErrorMarker);
  FEdit->markerDefine(kiv::MessageImage(kiv::MessageImageKind::Warning).pixmap(14, 14), kCheckWarningMarker);
  // A message's target line gets a tinted background that the current line's tint lets through.
  FEdit->markerDefine(QsciScintilla::Background, kTargetErrorMarker);
  FEdit->setMarkerBackgroundColor(QColor(255, 214, 214), kTargetErrorMarker);
  FEdit->markerDefine(QsciScintilla::Background, kTargetWarningMarker);
  FEdit->setMarkerBackgroundColor(QColor(255, 240, 190), kTargetWarningMarker);
  fitLineNumberMargin();

  FEdit->setCaretLineVisible(true);
  FEdit->setCaretLineBackgroundColor(QColor(40, 110, 230));
  FEdit->SendScintilla(QsciScintillaBase::SCI_SETCARETLINEBACKALPHA, 36);
  FEdit->setBraceMatching(QsciScintilla::SloppyBraceMatch);
  FEdit->setMatchedBraceBackgroundColor(QColor(190, 230, 190));
  FEdit->setUnmatchedBraceForegroundColor(QColor(220, 0, 0));
  // Every match of a search: a rounded box behind the text.
  FEdit->SendScintilla(QsciScintillaBase::SCI_INDICSETSTYLE, kFindIndicator, QsciScintillaBase::INDIC_ROUNDBOX);
  FEdit->SendScintilla(QsciScintillaBase::SCI_INDICSETFORE, kFindIndicator, QColor(255, 170, 0));
  FEdit->SendScintilla(QsciScintillaBase::SCI_INDICSETALPHA, kFindIndicator, 90);
  FEdit->SendScintilla(QsciScintillaBase::SCI_INDICSETUNDER, kFindIndicator, 1);
  // The two branches of an explained decision: a box in a colour of each, behind the text.
  for (const auto& [indicator, colour] : {std::pair{kFirstBranchIndicator, QColor(60, 130, 240)},
                                          std::pair{kSecondBranchIndicator, QColor(220, 60, 170)}}) {
    FEdit->SendScintilla(QsciScintillaBase::SCI_INDICSETSTYLE, indicator, QsciScintillaBase::INDIC_STRAIGHTBOX);
    FEdit->SendScintilla(QsciScintillaBase::SCI_INDICSETFORE, indicator, colour);
    FEdit->SendScintilla(QsciScintillaBase::SCI_INDICSETALPHA, indicator, 60);
    FEdit->SendScintilla(QsciScintillaBase::SCI_INDICSETOUTLINEALPHA, indicator, 200);
    FEdit->SendScintilla(QsciScintillaBase::SCI_INDICSETUNDER, indicator, 1);
  }

  connect(FEdit, &QsciScintilla::modificationChanged, this, [this] { UpdateStatus(); });
  connect(FEdit, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int) { UpdateStatus(); });
  connect(FEdit, &QsciScintilla::textChanged, this, [this] {
    ++FRevision;
    FSearchMark.shown = false;
  });
  connect(FEdit, &QsciScintilla::linesChanged, this, [this] { fitLineNumberMargin(); });
  // Return keeps the indentation of the line it ends, character for character.
  connect(FEdit, &QsciScintillaBase::SCN_CHARADDED, this, [this](int character) {
    if (character == '\n' || (character == '\r' && FEdit->eolMode() == QsciScintilla::EolMac)) copyIndentation();
  });
  FEdit->viewport()->installEventFilter(this);
}

TqvWsKivGrammarEditor::~TqvWsKivGrammarEditor() {
  // Releasing the editor frees its tab; an emptied page control is hidden.
  QTabWidget* tabs = tabWidgetOf(FPage);
  delete FEdit.data();
  delete FPage.data();
  if (tabs && tabs->count() == 0) tabs->hide();
}

bool TqvWsKivGrammarEditor::GetModified() const {
  return FEdit && (FEdit->isModified() || FForcedModified);
}

void TqvWsKivGrammarEditor::SetModified(bool modified) {
  if (!FEdit) return;
  // The edit control can only clear its flag; a set flag is kept here until cleared.
  FForcedModified = modified;
  if (!modified) FEdit->setModified(false);
  UpdateStatus();
}

QString TqvWsKivGrammarEditor::GetSelectedText() const {
  return FEdit ? FEdit->selectedText() : QString();
}

void TqvWsKivGrammarEditor::SetStatusBar(kiv::PanelStatusBar* statusBar) {
  FStatusBar = statusBar;
  UpdateStatus();
}

void TqvWsKivGrammarEditor::UpdateStatus() {
  if (FEdit && FStatusBar) {
    const long position = FEdit->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    const long line = FEdit->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, position);
    const long column = FEdit->SendScintilla(QsciScintillaBase::SCI_GETCOLUMN, position);
    FStatusBar->SetPanelText(0, QString::asprintf("   %5d:%5d", static_cast<int>(line + 1),
                                                  static_cast<int>(column + 1)));
    FStatusBar->SetPanelText(1, GetModified() ? QStringLiteral("Modified") : QString());
    FStatusBar->SetPanelText(2, FEdit->overwriteMode() ? QStringLiteral("Overwrite")
                                                       : QStringLiteral("Insert"));
    // The last search's count stays until the selection or the text changes.
    const bool countShown = FSearchMark.shown && FSearchMark.selectionStart == selectionStart() &&
                            FSearchMark.selectionEnd == selectionEnd();
    if (countShown) FStatusBar->SetPanelText(3, QString::number(FSearchMark.count));
    else FStatusBar->SetPanelText(3, FEdit->isReadOnly() ? QStringLiteral("ReadOnly") : QString());
  }
  if (FStatusHandler) FStatusHandler(FEdit);
}

void TqvWsKivGrammarEditor::Focus() {
  if (FEdit) FEdit->setFocus();
}

QStringList TqvWsKivGrammarEditor::GetLines() const { return kiv::SplitFileLines(GetText()); }

QByteArray TqvWsKivGrammarEditor::Utf8Text() const {
  if (!FEdit) return {};
  const long length = FEdit->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
  const auto* data = static_cast<const char*>(FEdit->SendScintillaPtrResult(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
  return data ? QByteArray(data, static_cast<qsizetype>(length)) : QByteArray();
}

QString TqvWsKivGrammarEditor::GetText() const { return QString::fromUtf8(Utf8Text()); }

int TqvWsKivGrammarEditor::GetTextLength() const { return FEdit ? static_cast<int>(GetText().size()) : 0; }

void TqvWsKivGrammarEditor::SetText(const QString& text, const kiv::TextFormat& format) {
  if (!FEdit) return;
  FEdit->setEolMode(eolModeOf(format.lineEnd));
  // The text goes in with its length, so that nothing after a character 0 is cut off.
  const QByteArray bytes = text.toUtf8();
  const bool readOnly = FEdit->isReadOnly();
  FEdit->setReadOnly(false);
  FEdit->SendScintilla(QsciScintillaBase::SCI_CLEARALL);
  FEdit->SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, static_cast<unsigned long>(bytes.size()), bytes.constData());
  FEdit->setReadOnly(readOnly);
  FEdit->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 0UL);
  FEdit->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
  FEdit->setModified(false);
  FForcedModified = false;
  UpdateStatus();
}

void TqvWsKivGrammarEditor::SetLines(const QStringList& lines, const kiv::TextFormat& format) {
  SetText(kiv::JoinFileLines(lines, format.lineEnd), format);
}

void TqvWsKivGrammarEditor::ReloadText(const QString& text) {
  if (!FEdit) return;
  int line = 0, index = 0;
  FEdit->getCursorPosition(&line, &index);
  const long firstVisible = FEdit->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
  const QByteArray bytes = text.toUtf8();
  const bool readOnly = FEdit->isReadOnly();
  FEdit->setReadOnly(false);
  FEdit->beginUndoAction();
  FEdit->SendScintilla(QsciScintillaBase::SCI_SETTARGETSTART, 0UL);
  FEdit->SendScintilla(QsciScintillaBase::SCI_SETTARGETEND, FEdit->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
  FEdit->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, static_cast<uintptr_t>(bytes.size()), bytes.constData());
  FEdit->endUndoAction();
  FEdit->setReadOnly(readOnly);
  line = std::min(line, std::max(0, FEdit->lines() - 1));
  FEdit->setCursorPosition(line, std::min(index, std::max(0, FEdit->lineLength(line))));
  FEdit->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(firstVisible));
  FEdit->setModified(false);
  FForcedModified = false;
  UpdateStatus();
}

void TqvWsKivGrammarEditor::SelectAll() {
  if (FEdit) FEdit->selectAll();
}

void TqvWsKivGrammarEditor::fitLineNumberMargin() {
  // Room for the largest line number and one more digit, so the text does not jump at 10, 100...
  const int digits = static_cast<int>(QString::number(std::max(1, FEdit->lines())).size());
  if (digits == FLineNumberDigits) return;
  FLineNumberDigits = digits;
  FEdit->setMarginWidth(kLineNumberMargin, QString(digits + 1, QLatin1Char('9')) + QLatin1Char(' '));
}

void TqvWsKivGrammarEditor::copyIndentation() {
  const long position = FEdit->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
  const long line = FEdit->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, position);
  if (line <= 0) return;
  // Only right after the line end, with nothing typed on the new line yet.
  if (FEdit->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line) != position) return;
  const long start = FEdit->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line - 1);
  QByteArray indent;
  for (long at = start; at < position; ++at) {
    const char c = static_cast<char>(FEdit->SendScintilla(QsciScintillaBase::SCI_GETCHARAT, at));
    if (c != ' ' && c != '\t') break;
    indent += c;
  }
  if (indent.isEmpty()) return;
  FEdit->SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, static_cast<unsigned long>(position), indent.constData());
  FEdit->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(position + indent.size()));
}

void TqvWsKivGrammarEditor::HighlightLine(int line, kiv::CheckMarkKind kind) {
  if (!FEdit) return;
  ClearLineHighlight();
  const int index = qBound(0, line - 1, std::max(0, FEdit->lines() - 1));
  FTargetHandle = FEdit->markerAdd(index, kind == kiv::CheckMarkKind::Error ? kTargetErrorMarker : kTargetWarningMarker);
}

void TqvWsKivGrammarEditor::ClearLineHighlight() {
  if (!FEdit || FTargetHandle < 0) return;
  FEdit->markerDeleteHandle(FTargetHandle);
  FTargetHandle = -1;
}

int TqvWsKivGrammarEditor::HighlightedLine() const {
  if (!FEdit || FTargetHandle < 0) return 0;
  const int index = FEdit->markerLine(FTargetHandle);
  return index < 0 ? 0 : index + 1;
}

void TqvWsKivGrammarEditor::SetCheckMarks(const kiv::CheckMarks& marks) {
  if (!FEdit) return;
  FEdit->markerDeleteAll(kCheckErrorMarker);
  FEdit->markerDeleteAll(kCheckWarningMarker);
  FCheckMarks.clear();
  const int last = std::max(0, FEdit->lines() - 1);
  for (const kiv::CheckMark& mark : marks) {
    const int marker = mark.kind == kiv::CheckMarkKind::Error ? kCheckErrorMarker : kCheckWarningMarker;
    const int handle = FEdit->markerAdd(qBound(0, mark.line - 1, last), marker);
    if (handle >= 0) FCheckMarks.push_back({handle, mark});
  }
}

QString TqvWsKivGrammarEditor::CheckTipAt(int line) const {
  QStringList texts;
  for (const CheckMarkHandle& mark : FCheckMarks)
    if (FEdit->markerLine(mark.handle) == line - 1) texts << mark.mark.text;
  return texts.join(QLatin1Char('\n'));
}

bool TqvWsKivGrammarEditor::eventFilter(QObject* watched, QEvent* event) {
  // A mark's tool tip: the texts of the check's diagnostics on the line under the mouse.
  if (FEdit && watched == FEdit->viewport() && event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    int margins = 0;
    for (int margin = 0; margin <= kCheckMargin; ++margin) margins += FEdit->marginWidth(margin);
    if (help->pos().x() < margins) {
      const long position = FEdit->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMPOINT,
                                                 static_cast<unsigned long>(margins + 1), static_cast<long>(help->pos().y()));
      const int line = static_cast<int>(FEdit->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, position)) + 1;
      const QString tip = CheckTipAt(line);
      if (!tip.isEmpty()) {
        QToolTip::showText(help->globalPos(), tip, FEdit);
        return true;
      }
      QToolTip::hideText();
      event->ignore();
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

QRect TqvWsKivGrammarEditor::SelectionScreenRect() const {
  if (!FEdit || !FEdit->hasSelectedText()) return {};
  const long start = selectionStart();
  const long end = selectionEnd();
  const int x1 = static_cast<int>(FEdit->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, start));
  const int y1 = static_cast<int>(FEdit->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, start));
  const int x2 = static_cast<int>(FEdit->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, end));
  const int y2 = static_cast<int>(FEdit->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, end));
  const int height = static_cast<int>(FEdit->SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, 0UL));
  const QRect local = QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2) + height));
  return QRect(FEdit->viewport()->mapToGlobal(local.topLeft()), local.size());
}

void TqvWsKivGrammarEditor::Show(QWidget* parent) {
  if (!FEdit) return;
  if (parent) {
    FPage = parent;
    auto* layout = parent->layout();
    if (!layout) {
      layout = new QVBoxLayout(parent);
      layout->setContentsMargins(0, 0, 0, 0);
    }
    layout->addWidget(FEdit);
    FEdit->show();
  } else if (QTabWidget* tabs = tabWidgetOf(FPage)) {
    tabs->setCurrentWidget(FPage);
  }
  FEdit->setFocus();
  UpdateStatus();
}

void TqvWsKivGrammarEditor::Undo() {
  if (FEdit) FEdit->undo();
}

void TqvWsKivGrammarEditor::Redo() {
  if (FEdit) FEdit->redo();
}

void TqvWsKivGrammarEditor::Cut() {
  if (FEdit) FEdit->cut();
}

void TqvWsKivGrammarEditor::Copy() {
  if (FEdit) FEdit->copy();
}

void TqvWsKivGrammarEditor::Paste() {
  if (FEdit) FEdit->paste();
}

void TqvWsKivGrammarEditor::GotoLine(int line) { GotoPosition(line, 0); }

void TqvWsKivGrammarEditor::GotoPosition(int line, int column) {
  if (!FEdit) return;
  const int index = qBound(0, line - 1, std::max(0, FEdit->lines() - 1));
  // The line's own characters, without its line end.
  QString text = FEdit->text(index);
  while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'))) text.chop(1);
  FEdit->setCursorPosition(index, qBound(0, column, static_cast<int>(text.size())));
  FEdit->ensureLineVisible(index);
  // Not at the very edge: a target near the top or bottom is scrolled to a third of the view.
  const long first = FEdit->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
  const long shown = FEdit->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN);
  if (shown > 6 && (index < first + 2 || index > first + shown - 3))
    FEdit->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE,
                         static_cast<unsigned long>(std::max(0L, index - shown / 3)));
}

bool TqvWsKivGrammarEditor::CanUndo() const { return FEdit && FEdit->isUndoAvailable(); }
bool TqvWsKivGrammarEditor::CanRedo() const { return FEdit && FEdit->isRedoAvailable(); }

bool TqvWsKivGrammarEditor::CanCut() const {
  return FEdit && FEdit->hasSelectedText() && !FEdit->isReadOnly();
}

bool TqvWsKivGrammarEditor::CanCopy() const { return FEdit && FEdit->hasSelectedText(); }

bool TqvWsKivGrammarEditor::CanPaste() const {
  if (!FEdit || FEdit->isReadOnly()) return false;
  const QMimeData* data = QApplication::clipboard()->mimeData();
  return data && data->hasText();
}

long TqvWsKivGrammarEditor::selectionStart() const {
  return FEdit->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART);
}

long TqvWsKivGrammarEditor::selectionEnd() const {
  return FEdit->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND);
}

void TqvWsKivGrammarEditor::select(long start, long end) {
  FEdit->SendScintilla(QsciScintillaBase::SCI_SETSEL, static_cast<unsigned long>(start), end);
  FEdit->SendScintilla(QsciScintillaBase::SCI_SCROLLCARET);
}

bool TqvWsKivGrammarEditor::searchRange(const QByteArray& pattern, int flags, long from, long to,
                                        long& matchStart, long& matchEnd) const {
  FEdit->SendScintilla(QsciScintillaBase::SCI_SETSEARCHFLAGS, static_cast<unsigned long>(flags));
  FEdit->SendScintilla(QsciScintillaBase::SCI_SETTARGETSTART, static_cast<unsigned long>(from));
  FEdit->SendScintilla(QsciScintillaBase::SCI_SETTARGETEND, static_cast<unsigned long>(to));
  const long found = FEdit->SendScintilla(QsciScintillaBase::SCI_SEARCHINTARGET,
                                          static_cast<uintptr_t>(pattern.size()), pattern.constData());
  if (found < 0) return false;
  matchStart = FEdit->SendScintilla(QsciScintillaBase::SCI_GETTARGETSTART);
  matchEnd = FEdit->SendScintilla(QsciScintillaBase::SCI_GETTARGETEND);
  return true;
}

void TqvWsKivGrammarEditor::showCount(int count) {
  FSearchMark.shown = true;
  FSearchMark.count = count;
  FSearchMark.selectionStart = selectionStart();
  FSearchMark.selectionEnd = selectionEnd();
  UpdateStatus();
}

namespace {

int searchFlags(kiv::FindOptions options) {
  int flags = 0;
  if (options.testFlag(kiv::FindOption::MatchCase)) flags |= QsciScintillaBase::SCFIND_MATCHCASE;
  if (options.testFlag(kiv::FindOption::WholeWord)) flags |= QsciScintillaBase::SCFIND_WHOLEWORD;
  return flags;
}

}  // namespace

int TqvWsKivGrammarEditor::Find(const QString& text, kiv::FindOptions options) {
  if (!FEdit) return 0;
  const bool down = options.testFlag(kiv::FindOption::Down);
  // Collapse the selection so that a repeated find moves on from the last match.
  const long position = down ? selectionEnd() : selectionStart();
  select(position, position);
  int count = 0;
  long start = 0, end = 0;
  const long length = FEdit->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
  const QByteArray pattern = text.toUtf8();
  const int flags = searchFlags(options);
  if (!text.isEmpty()) {
    if (searchRange(pattern, flags, position, down ? length : 0, start, end)) {
      count = 1;
      showNote(QString());
    } else if (searchRange(pattern, flags, down ? 0 : length, position, start, end)) {
      // Past the end (or the start): the search goes on from the other end.
      count = 1;
      showNote(down ? QStringLiteral("Search reached the end and continued from the top")
                    : QStringLiteral("Search reached the top and continued from the end"));
    } else {
      showNote(QStringLiteral("\"%1\" not found").arg(text));
    }
    if (count == 1) select(start, end);
    markAllMatches(pattern, flags);
  }
  showCount(count);
  return count;
}

void TqvWsKivGrammarEditor::markAllMatches(const QByteArray& pattern, int flags) {
  if (FFindMarks.pattern == pattern && FFindMarks.flags == flags && FFindMarks.revision == FRevision) return;
  ClearFindMarks();
  FFindMarks.pattern = pattern;
  FFindMarks.flags = flags;
  FFindMarks.revision = FRevision;
  const long length = FEdit->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
  FEdit->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, kFindIndicator);
  long from = 0, start = 0, end = 0;
  // The target search moves the selection's target only; the caret and selection stay.
  const long targetStart = FEdit->SendScintilla(QsciScintillaBase::SCI_GETTARGETSTART);
  const long targetEnd = FEdit->SendScintilla(QsciScintillaBase::SCI_GETTARGETEND);
  while (from < length && searchRange(pattern, flags, from, length, start, end)) {
    if (end <= start) break;
    FEdit->SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(start), end - start);
    ++FFindMarks.count;
    from = end;
  }
  FEdit->SendScintilla(QsciScintillaBase::SCI_SETTARGETSTART, static_cast<unsigned long>(targetStart));
  FEdit->SendScintilla(QsciScintillaBase::SCI_SETTARGETEND, static_cast<unsigned long>(targetEnd));
}

void TqvWsKivGrammarEditor::ClearFindMarks() {
  if (!FEdit) return;
  FEdit->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, kFindIndicator);
  FEdit->SendScintilla(QsciScintillaBase::SCI_INDICATORCLEARRANGE, 0UL,
                       FEdit->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
  FFindMarks = FindMarks();
}

void TqvWsKivGrammarEditor::SetConflictMarks(const kiv::ConflictMarks& marks) {
  if (!FEdit) return;
  const long length = FEdit->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
  for (int indicator : {kFirstBranchIndicator, kSecondBranchIndicator}) {
    FEdit->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, indicator);
    FEdit->SendScintilla(QsciScintillaBase::SCI_INDICATORCLEARRANGE, 0UL, length);
  }
  const int last = std::max(0, FEdit->lines() - 1);
  for (const kiv::ConflictMark& mark : marks) {
    const long start = FEdit->positionFromLineIndex(qBound(0, mark.line - 1, last), std::max(0, mark.index));
    const long end = FEdit->positionFromLineIndex(qBound(0, mark.endLine - 1, last), std::max(0, mark.endIndex));
    if (end <= start) continue;
    FEdit->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT,
                         mark.branch == kiv::ConflictBranchKind::First ? kFirstBranchIndicator : kSecondBranchIndicator);
    FEdit->SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(start), end - start);
  }
}

void TqvWsKivGrammarEditor::showNote(const QString& text) {
  if (FStatusBar) FStatusBar->ShowNote(text);
}

int TqvWsKivGrammarEditor::Replace(const QString& findText, const QString& replacement,
                                   kiv::FindOptions options) {
  if (!FEdit) return 0;
  const bool all = options.testFlag(kiv::FindOption::ReplaceAll);
  if (!all && !options.testFlag(kiv::FindOption::Replace)) return Find(findText, options);
  if (findText.isEmpty() || FEdit->isReadOnly()) {
    showCount(0);
    return 0;
  }
  const QByteArray pattern = findText.toUtf8();
  const QByteArray substitute = replacement.toUtf8();
  const int flags = searchFlags(options);
  const bool down = options.testFlag(kiv::FindOption::Down);
  // Searching starts at the selection's near edge, so a match selected by a find is replaced.
  long position = down ? selectionStart() : selectionEnd();
  long limit = down ? FEdit->SendScintilla(QsciScintillaBase::SCI_GETLENGTH) : 0;
  int count = 0;
  long start = 0, end = 0;
  FEdit->beginUndoAction();
  while (searchRange(pattern, flags, position, limit, start, end)) {
    const long written = FEdit->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET,
                                              static_cast<uintptr_t>(substitute.size()), substitute.constData());
    ++count;
    if (down) {
      limit += written - (end - start);
      position = start + written;
    } else {
      position = start;
    }
    if (!all) break;
  }
  FEdit->endUndoAction();
  select(position, position);
  showCount(count);
  return count;
}

void TqvWsKivGrammarEditor::PreparePrinter(kiv::EditorPrinter& printer, const QString& headerText,
                                           const QString& footerText) const {
  QFont headerFont = FEdit ? FEdit->font() : QFont();
  headerFont.setBold(true);
  printer.SetHeader(headerText, headerFont);
  printer.SetFooter(footerText, FEdit ? FEdit->font() : QFont());
  printer.setDocName(headerText);
}

bool TqvWsKivGrammarEditor::PrintTo(kiv::EditorPrinter& printer, const kiv::PrintChoice& choice) {
  if (!FEdit) return false;
  switch (choice.range) {
    case kiv::PrintRangeKind::All:
      printer.setFromTo(0, 0);
      return printer.printRange(FEdit) != 0;
    case kiv::PrintRangeKind::Pages:
      printer.setFromTo(choice.fromPage, choice.toPage);
      return printer.printRange(FEdit) != 0;
    case kiv::PrintRangeKind::Selection: {
      // The selected text alone, laid out and coloured like the editor.
      QsciScintilla selection;
      selection.setUtf8(true);
      auto* highlighter = new TkivSyn(&selection);
      highlighter->setDefaultFont(FEdit->font());
      highlighter->setFont(FEdit->font(), -1);
      selection.setLexer(highlighter);
      selection.setTabWidth(3);
      selection.setText(FEdit->selectedText());
      printer.setFromTo(0, 0);
      return printer.printRange(&selection) != 0;
    }
  }
  return false;
}

void TqvWsKivGrammarEditor::Print(const QString& headerText, const QString& footerText) {
  if (!FEdit) return;
  kiv::EditorPrinter printer(QPrinter::HighResolution);
  PreparePrinter(printer, headerText, footerText);
  kiv::PrintRequest request;
  request.hasSelection = FEdit->hasSelectedText();
  request.pageCount = printer.CountPages(FEdit);
  kiv::PrintChoice choice;
  if (!kiv::Prompter().ChoosePrint(FEdit, printer, request, choice)) return;
  if (!PrintTo(printer, choice))
    kiv::Prompter().ShowMessage(FEdit, kiv::MessageKind::Error, QStringLiteral("Print"),
                                QStringLiteral("The text could not be printed."));
}

QString TqvWsKivGrammarEditor::ExportText() const {
  if (!FEdit) return {};
  return FEdit->hasSelectedText() ? FEdit->selectedText() : FEdit->text();
}

bool TqvWsKivGrammarEditor::exportTo(const QString& title, const QString& extension,
                                     const QString& filter, const QByteArray& contents) {
  kiv::FileDialogRequest request;
  request.title = extension == u"html" ? QStringLiteral("Export to HTML") : QStringLiteral("Export to RTF");
  request.filter = filter;
  request.defaultExtension = extension;
  request.fileName = title;
  const QString path = kiv::Prompter().ChooseSaveFile(FEdit, request);
  if (path.isEmpty()) return false;
  QString error;
  if (kiv::SaveBytes(path, contents, error)) return true;
  kiv::Prompter().ShowMessage(FEdit, kiv::MessageKind::Error, request.title,
                              QStringLiteral("Cannot write \"%1\": %2").arg(path, error));
  return false;
}

namespace {

kiv::SynExportStyle exportStyle(const QsciScintilla* edit) {
  kiv::SynExportStyle style;
  style.fontFamily = edit->font().family();
  if (edit->font().pointSize() > 0) style.pointSize = edit->font().pointSize();
  return style;
}

}  // namespace

void TqvWsKivGrammarEditor::ExportHTML(const QString& title) {
  if (!FEdit) return;
  exportTo(title, QStringLiteral("html"), QStringLiteral("HTML files (*.html)|*.html"),
           kiv::ExportHtml(ExportText(), title, exportStyle(FEdit)));
}

void TqvWsKivGrammarEditor::ExportRTF(const QString& title) {
  if (!FEdit) return;
  exportTo(title, QStringLiteral("rtf"), QStringLiteral("Rich Text Format (*.rtf)|*.rtf"),
           kiv::ExportRtf(ExportText(), title, exportStyle(FEdit)));
}
