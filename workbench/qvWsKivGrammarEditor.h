// qvWsKivGrammarEditor.h
// TqvWsKivGrammarEditor: the editor of a grammar module, a QScintilla edit control with the
// grammar highlighter, a line-number gutter and a margin for background-check marks, the
// current line and matching braces shown, status panels, search and replace (wrapping, with
// every match highlighted), printing and HTML/RTF export.
#pragma once

#include <QObject>
#include <QPointer>
#include <Qsci/qsciscintilla.h>

#include "workbench/qvPrompter.h"
#include "workbench/qvStatusPanels.h"
#include "workbench/qvWsModuleIntf.h"

class TkivSyn;

namespace kiv {
class EditorPrinter;
}

class TqvWsKivGrammarEditor : public QObject, public IqvWsModuleEditor {
  Q_OBJECT
public:
  explicit TqvWsKivGrammarEditor(QObject* parent = nullptr);
  ~TqvWsKivGrammarEditor() override;

  bool GetModified() const override;
  void SetModified(bool modified) override;
  StatusHandler GetStatusHandler() const override { return FStatusHandler; }
  void SetStatusHandler(StatusHandler handler) override { FStatusHandler = std::move(handler); }
  QString GetSelectedText() const override;
  QWidget* GetParent() const override { return FPage; }
  void SetStatusBar(kiv::PanelStatusBar* statusBar) override;
  void UpdateStatus() override;
  void Focus() override;
  QStringList GetLines() const override;
  int GetTextLength() const override;
  void Show(QWidget* parent) override;
  void Undo() override;
  void Redo() override;
  void Print(const QString& headerText, const QString& footerText) override;
  void ExportHTML(const QString& title) override;
  void ExportRTF(const QString& title) override;
  void Cut() override;
  void Copy() override;
  void Paste() override;
  void GotoLine(int line) override;
  void GotoPosition(int line, int index) override;
  bool CanUndo() const override;
  bool CanRedo() const override;
  bool CanCut() const override;
  bool CanCopy() const override;
  bool CanPaste() const override;
  bool CanFind() const override { return true; }
  bool CanReplace() const override { return true; }
  int Find(const QString& text, kiv::FindOptions options) override;
  int Replace(const QString& findText, const QString& replacement,
              kiv::FindOptions options) override;
  void SetLines(const QStringList& lines, const kiv::TextFormat& format) override;
  QString GetText() const override;
  void SetText(const QString& text, const kiv::TextFormat& format) override;
  void ReloadText(const QString& text) override;
  void SelectAll() override;
  int Revision() const override { return FRevision; }
  void HighlightLine(int line, kiv::CheckMarkKind kind) override;
  void ClearLineHighlight() override;
  void SetCheckMarks(const kiv::CheckMarks& marks) override;
  QRect SelectionScreenRect() const override;
  void ClearFindMarks() override;
  void SetConflictMarks(const kiv::ConflictMarks& marks) override;

  QsciScintilla* Edit() const { return FEdit; }
  TkivSyn* Highlighter() const { return FHighlighter; }

  // Sets up `printer` with the header and footer texts in the editor's font.
  void PreparePrinter(kiv::EditorPrinter& printer, const QString& headerText,
                      const QString& footerText) const;
  // Prints what `choice` selects without asking: all pages, the selected text, or a page range.
  bool PrintTo(kiv::EditorPrinter& printer, const kiv::PrintChoice& choice);
  // The text an export writes: the selection when there is one, otherwise everything.
  QString ExportText() const;
  // The edit control's text as the UTF-8 bytes it holds (no conversion).
  QByteArray Utf8Text() const;

  // Margin markers and indicators, by number.
  enum Marker { kCheckErrorMarker = 0, kCheckWarningMarker = 1, kTargetErrorMarker = 2, kTargetWarningMarker = 3 };
  static constexpr int kLineNumberMargin = 0;
  static constexpr int kCheckMargin = 1;
  static constexpr int kFindIndicator = 8;
  // The first and the second branch of an explained decision.
  static constexpr int kFirstBranchIndicator = 10;
  static constexpr int kSecondBranchIndicator = 11;
  // The check marks' texts at `line` (1-based), one per line of the tool tip; empty when none.
  QString CheckTipAt(int line) const;
  // The line (1-based) of the highlighted message target, 0 when none.
  int HighlightedLine() const;
  // How many matches of the last search are highlighted.
  int FindMarkCount() const { return FFindMarks.count; }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  struct SearchMark {
    bool shown = false;
    int count = 0;
    long selectionStart = -1;
    long selectionEnd = -1;
    int textLength = -1;
  };

  long selectionStart() const;
  long selectionEnd() const;
  void select(long start, long end);
  // Searches for `pattern` (UTF-8) between `from` and `to` (backwards when to < from).
  bool searchRange(const QByteArray& pattern, int flags, long from, long to, long& matchStart,
                   long& matchEnd) const;
  void showCount(int count);
  void showNote(const QString& text);
  // Highlights every match of `pattern` unless the same search was highlighted last.
  void markAllMatches(const QByteArray& pattern, int flags);
  void fitLineNumberMargin();
  void copyIndentation();
  bool exportTo(const QString& title, const QString& extension, const QString& filter,
                const QByteArray& contents);

  QPointer<QsciScintilla> FEdit;
  TkivSyn* FHighlighter = nullptr;
  QPointer<QWidget> FPage;
  QPointer<kiv::PanelStatusBar> FStatusBar;
  StatusHandler FStatusHandler;
  bool FForcedModified = false;
  SearchMark FSearchMark;
  int FRevision = 0;
  int FLineNumberDigits = 0;
  int FTargetHandle = -1;
  struct CheckMarkHandle {
    int handle;
    kiv::CheckMark mark;
  };
  std::vector<CheckMarkHandle> FCheckMarks;
  struct FindMarks {
    QByteArray pattern;
    int flags = 0;
    int revision = -1;
    int count = 0;
  };
  FindMarks FFindMarks;
};
