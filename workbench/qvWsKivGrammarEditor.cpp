// qvWsKivGrammarEditor.cpp
// The grammar editor: edit control set-up, status panels, clipboard and undo, search and
// replace through Scintilla's target search, printing and export.
#include "workbench/qvWsKivGrammarEditor.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QMimeData>
#include <QTabWidget>
#include <QVBoxLayout>
#include <Qsci/qsciscintilla.h>

#include "workbench/authoring/kivSyn.h"
#include "workbench/authoring/kivSynExport.h"
#include "workbench/qvEditorPrinter.h"
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

  connect(FEdit, &QsciScintilla::modificationChanged, this, [this] { UpdateStatus(); });
  connect(FEdit, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int) { UpdateStatus(); });
  connect(FEdit, &QsciScintilla::textChanged, this, [this] { FSearchMark.shown = false; });
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

QStringList TqvWsKivGrammarEditor::GetLines() const {
  return FEdit ? kiv::SplitEditorLines(FEdit->text()) : QStringList();
}

int TqvWsKivGrammarEditor::GetTextLength() const {
  return FEdit ? static_cast<int>(FEdit->text().size()) : 0;
}

void TqvWsKivGrammarEditor::SetLines(const QStringList& lines, const kiv::TextFormat& format) {
  if (!FEdit) return;
  FEdit->setEolMode(eolModeOf(format.lineEnd));
  FEdit->setText(lines.join(format.lineEnd));
  FEdit->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
  FEdit->setModified(false);
  FForcedModified = false;
  UpdateStatus();
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

void TqvWsKivGrammarEditor::GotoLine(int line) {
  if (!FEdit) return;
  const int index = qBound(0, line - 1, std::max(0, FEdit->lines() - 1));
  FEdit->setCursorPosition(index, 0);
  FEdit->ensureLineVisible(index);
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
  const long limit = down ? FEdit->SendScintilla(QsciScintillaBase::SCI_GETLENGTH) : 0;
  if (!text.isEmpty() && searchRange(text.toUtf8(), searchFlags(options), position, limit, start, end)) {
    select(start, end);
    count = 1;
  }
  showCount(count);
  return count;
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
