// qvKivMainEdit.cpp
// Editing and searching, forwarded to the current editor (or to the message list when it has the
// focus), and the find dialog kept clear of the match it found.
#include <QGuiApplication>
#include <QScreen>

#include "workbench/qvFindReplaceDialog.h"
#include "workbench/qvKivMain.h"
#include "workbench/qvMessageList.h"
#include "workbench/qvPrompter.h"

// ---------------------------------------------------------------------------------------------
// Edit and search, forwarded to the current editor

void TfrmKivMain::undo() {
  if (IqvWsModuleEditor* editor = CurrentEditor()) editor->Undo();
}
void TfrmKivMain::redo() {
  if (IqvWsModuleEditor* editor = CurrentEditor()) editor->Redo();
}
void TfrmKivMain::cut() {
  if (IqvWsModuleEditor* editor = CurrentEditor()) editor->Cut();
}
void TfrmKivMain::copy() {
  if (FMessageView->hasFocus()) {
    copyMessages();
    return;
  }
  if (IqvWsModuleEditor* editor = CurrentEditor()) editor->Copy();
}
void TfrmKivMain::paste() {
  if (IqvWsModuleEditor* editor = CurrentEditor()) editor->Paste();
}

void TfrmKivMain::selectAll() {
  if (FMessageView->hasFocus()) {
    FMessageView->selectAll();
    return;
  }
  if (IqvWsModuleEditor* editor = CurrentEditor()) editor->SelectAll();
}

void TfrmKivMain::find() {
  if (CurrentEditor()) FFindDialog->ShowAs(kiv::FindReplaceDialog::Mode::Find);
}

void TfrmKivMain::replace() {
  if (CurrentEditor()) FFindDialog->ShowAs(kiv::FindReplaceDialog::Mode::Replace);
}

void TfrmKivMain::searchAgain(bool forward) {
  IqvWsModuleEditor* editor = CurrentEditor();
  if (!editor) return;
  if (FFindDialog->FindText().isEmpty()) {
    find();
    return;
  }
  kiv::FindOptions options = FFindDialog->Options();
  if (forward) options |= kiv::FindOption::Down;
  else options &= ~kiv::FindOptions(kiv::FindOption::Down);
  editor->Find(FFindDialog->FindText(), options);
  keepFindDialogOffMatch();
}

void TfrmKivMain::keepFindDialogOffMatch() {
  IqvWsModuleEditor* editor = CurrentEditor();
  if (!editor || !FFindDialog || !FFindDialog->isVisible()) return;
  const QRect match = editor->SelectionScreenRect();
  const QRect dialog = FFindDialog->frameGeometry();
  if (match.isEmpty() || !dialog.intersects(match)) return;
  // Below the match when there is room on the screen, else above it.
  const QScreen* screen = FFindDialog->screen() ? FFindDialog->screen() : QGuiApplication::primaryScreen();
  const QRect available = screen ? screen->availableGeometry() : QRect();
  const int margin = 8;
  int top = match.bottom() + margin;
  if (!available.isEmpty() && top + dialog.height() > available.bottom()) top = match.top() - margin - dialog.height();
  if (!available.isEmpty()) top = std::max(available.top(), top);
  FFindDialog->move(dialog.left(), top);
}

void TfrmKivMain::findNext() { searchAgain(true); }
void TfrmKivMain::findPrevious() { searchAgain(false); }

void TfrmKivMain::gotoLine() {
  IqvWsModuleEditor* editor = CurrentEditor();
  if (!editor) return;
  const int lineCount = std::max(1, static_cast<int>(editor->GetLines().size()));
  int line = 1;
  if (!kiv::Prompter().AskNumber(this, QStringLiteral("Goto line number"), QStringLiteral("Line number:"), 1, 1,
                                 lineCount, line))
    return;
  editor->GotoLine(line);
  editor->Focus();
}
