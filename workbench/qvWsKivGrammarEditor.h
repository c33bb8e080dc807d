// qvWsKivGrammarEditor.h
// TqvWsKivGrammarEditor: the editor of a grammar module, a QScintilla edit control with the
// grammar highlighter, status panels, search and replace, printing and HTML/RTF export.
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

  QsciScintilla* Edit() const { return FEdit; }
  TkivSyn* Highlighter() const { return FHighlighter; }

  // Sets up `printer` with the header and footer texts in the editor's font.
  void PreparePrinter(kiv::EditorPrinter& printer, const QString& headerText,
                      const QString& footerText) const;
  // Prints what `choice` selects without asking: all pages, the selected text, or a page range.
  bool PrintTo(kiv::EditorPrinter& printer, const kiv::PrintChoice& choice);
  // The text an export writes: the selection when there is one, otherwise everything.
  QString ExportText() const;

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
  bool exportTo(const QString& title, const QString& extension, const QString& filter,
                const QByteArray& contents);

  QPointer<QsciScintilla> FEdit;
  TkivSyn* FHighlighter = nullptr;
  QPointer<QWidget> FPage;
  QPointer<kiv::PanelStatusBar> FStatusBar;
  StatusHandler FStatusHandler;
  bool FForcedModified = false;
  SearchMark FSearchMark;
};
