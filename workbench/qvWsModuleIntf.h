// qvWsModuleIntf.h
// The workspace contracts: modules (IqvWsModule), their editors (IqvWsModuleEditor), the wizards
// that make, open, save and close them (IqvWsModuleWizard) and observers of module changes.
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>
#include <memory>

#include "workbench/check/qvCheckMark.h"
#include "workbench/explain/qvConflictMark.h"
#include "workbench/qvFindOptions.h"
#include "workbench/qvTextFile.h"

class QIcon;
class QRect;
class QsciScintilla;
class QTabWidget;
class QWidget;

namespace kiv {
class PanelStatusBar;
}  // namespace kiv

class IqvWsModule;
class IqvWsModuleEditor;
class IqvWsModuleWizard;
using IqvWsModulePtr = std::shared_ptr<IqvWsModule>;

namespace kiv {
inline constexpr quint16 kModuleKindBase = 0;
inline constexpr quint16 kModuleKindProject = 256;
inline constexpr quint16 kModuleKindGrammar = 257;
}  // namespace kiv

// Receives every change of the modules it observes; each call passes the module concerned
// (for ChildAdded and ChildRemoved: the child).
class IqvWsModuleObserver {
public:
  virtual ~IqvWsModuleObserver() = default;
  virtual void ModuleLoaded(IqvWsModule* module) = 0;
  virtual void ModuleClosed(IqvWsModule* module) = 0;
  virtual void ModuleSaved(IqvWsModule* module) = 0;
  virtual void ModulePathChanged(IqvWsModule* module) = 0;
  virtual void ChildAdded(IqvWsModule* module) = 0;
  virtual void ChildRemoved(IqvWsModule* module) = 0;
  // The module's file went missing, came back or was reloaded from disk.
  virtual void ModuleStateChanged(IqvWsModule*) {}
};

class IqvWsModule {
public:
  virtual ~IqvWsModule() = default;

  virtual IqvWsModule* GetOwner() const = 0;
  virtual quint16 GetKind() const = 0;
  virtual IqvWsModuleEditor* GetEditor() const = 0;
  virtual QString GetName() const = 0;
  virtual QString GetFilePath() const = 0;
  virtual QStringList GetLines() = 0;
  virtual bool IsModified() const = 0;
  virtual int ChildCount() const = 0;
  virtual IqvWsModulePtr Child(int index) const = 0;
  virtual IqvWsModuleWizard* GetCreator() const = 0;
  virtual void SetOwner(IqvWsModule* owner) = 0;
  // Takes the editor; replacing or clearing it releases the previous one.
  virtual void SetEditor(std::unique_ptr<IqvWsModuleEditor> editor) = 0;
  virtual void SetFilePath(const QString& path) = 0;
  virtual void SetModified(bool modified) = 0;
  virtual void SetCreator(IqvWsModuleWizard* creator) = 0;
  // Whether the module has been saved to or opened from a file.
  virtual bool HasFilePath() const = 0;
  virtual void Loaded() = 0;
  // Closes the module and its children when its creator agrees; Cancel anywhere keeps
  // everything open and unchanged.
  virtual bool Close() = 0;
  virtual bool Save() = 0;
  virtual bool SaveAs() = 0;
  virtual bool OpenEditor(QTabWidget* pages, kiv::PanelStatusBar* statusBar) = 0;
  virtual void MoveChildFirst(IqvWsModule* child) = 0;
  virtual void MoveChildLast(IqvWsModule* child) = 0;
  virtual void MoveChildUp(IqvWsModule* child) = 0;
  virtual void MoveChildDown(IqvWsModule* child) = 0;
  // -2: a child of that name exists; -1: already a child; otherwise the new index.
  virtual int AddChild(const IqvWsModulePtr& child) = 0;
  virtual bool RemoveChild(IqvWsModule* child) = 0;
  virtual IqvWsModulePtr FindChild(const QString& name) const = 0;
  virtual void AddObserver(IqvWsModuleObserver* observer) = 0;
  virtual void RemoveObserver(IqvWsModuleObserver* observer) = 0;

  // Text held while no editor is open, and how it is stored on disk. The text is kept exactly
  // as the file holds it (a final line end included or not); lines are the file's lines.
  virtual QString GetText() = 0;  // the editor's text while one is open
  virtual void SetText(const QString& text) = 0;
  virtual void SetLines(const QStringList& lines) = 0;  // each line followed by the line end
  virtual kiv::TextFormat& Format() = 0;
  // The text to write into `filePath` (a project writes its grammar paths relative to that
  // file's folder); false with `error` set when the module cannot be stored there.
  virtual bool TextForFile(const QString& filePath, QString& text, QString& error) = 0;
  virtual QString GetFileFilter() const = 0;
  virtual QString GetDefaultExtension() const = 0;
  // Modified by itself, whatever its children are.
  virtual bool HasOwnChanges() const = 0;
  // Releases the editors of the module and of its children without asking: every close question
  // has been answered.
  virtual void Discard() = 0;

  // The disk as the module's text knows it: what was last read or written (DiskStamp), and the
  // last state of the file the user was told about (SeenStamp).
  virtual const kiv::FileStamp& DiskStamp() const = 0;
  virtual void SetDiskStamp(const kiv::FileStamp& stamp) = 0;
  virtual const kiv::FileStamp& SeenStamp() const = 0;
  virtual void SetSeenStamp(const kiv::FileStamp& stamp) = 0;
  // The module's file is not there (missing when the project was read, or deleted since).
  virtual bool IsMissing() const = 0;
  virtual void SetMissing(bool missing) = 0;
  // Takes `text` just read from the file: the editor keeps its caret line (and can undo the
  // reload); the module is unmodified and no longer missing afterwards.
  virtual void Reload(const QString& text, const kiv::TextFormat& format, const kiv::FileStamp& stamp) = 0;
};

// The editor of one module, in the order the main window uses its operations.
class IqvWsModuleEditor {
public:
  using StatusHandler = std::function<void(QsciScintilla*)>;

  virtual ~IqvWsModuleEditor() = default;

  virtual bool GetModified() const = 0;
  virtual void SetModified(bool modified) = 0;
  virtual StatusHandler GetStatusHandler() const = 0;
  virtual void SetStatusHandler(StatusHandler handler) = 0;
  virtual QString GetSelectedText() const = 0;
  virtual QWidget* GetParent() const = 0;
  virtual void SetStatusBar(kiv::PanelStatusBar* statusBar) = 0;
  virtual void UpdateStatus() = 0;
  virtual void Focus() = 0;
  virtual QStringList GetLines() const = 0;
  virtual int GetTextLength() const = 0;
  virtual void Show(QWidget* parent) = 0;
  virtual void Undo() = 0;
  virtual void Redo() = 0;
  virtual void Print(const QString& headerText, const QString& footerText) = 0;
  virtual void ExportHTML(const QString& title) = 0;
  virtual void ExportRTF(const QString& title) = 0;
  virtual void Cut() = 0;
  virtual void Copy() = 0;
  virtual void Paste() = 0;
  virtual void GotoLine(int line) = 0;
  virtual bool CanUndo() const = 0;
  virtual bool CanRedo() const = 0;
  virtual bool CanCut() const = 0;
  virtual bool CanCopy() const = 0;
  virtual bool CanPaste() const = 0;
  virtual bool CanFind() const = 0;
  virtual bool CanReplace() const = 0;
  // Both answer the number of matches (or replacements), which also goes to status panel 4.
  virtual int Find(const QString& text, kiv::FindOptions options) = 0;
  virtual int Replace(const QString& findText, const QString& replacement,
                      kiv::FindOptions options) = 0;

  // Puts a module's text into the edit control (the undo history starts afresh).
  virtual void SetLines(const QStringList& lines, const kiv::TextFormat& format) = 0;
  virtual QString GetText() const = 0;
  virtual void SetText(const QString& text, const kiv::TextFormat& format) = 0;
  // Replaces the text by a version read from disk as one undoable step, keeping the caret's
  // line and the scroll position; the text counts as unmodified afterwards.
  virtual void ReloadText(const QString& text) = 0;
  virtual void SelectAll() = 0;
  // Grows with every change of the text, so that work done on an older text can be told apart.
  virtual int Revision() const = 0;
  // Marks `line` (1-based) as the target of a listed message, in the look of `kind`; one line
  // at a time. ClearLineHighlight removes the mark.
  virtual void HighlightLine(int line, kiv::CheckMarkKind kind) = 0;
  virtual void ClearLineHighlight() = 0;
  // Shows the diagnostics of a background check in the margin, replacing the previous ones.
  virtual void SetCheckMarks(const kiv::CheckMarks& marks) = 0;
  // The selected text's rectangle on the screen; empty when nothing is selected.
  virtual QRect SelectionScreenRect() const = 0;
  // Removes the highlighting of every match of the last search.
  virtual void ClearFindMarks() = 0;
  // As GotoLine, with the caret before character `index` (0-based) of the line, or at its end
  // when the line is shorter.
  virtual void GotoPosition(int line, int index) = 0;
  // Marks the branches of an explained decision, replacing the previous marks; an empty list
  // removes them. The marks move with the text as it is edited.
  virtual void SetConflictMarks(const kiv::ConflictMarks& marks) = 0;
};

// Makes, opens, saves and closes modules of one file type.
class IqvWsModuleWizard {
public:
  virtual ~IqvWsModuleWizard() = default;

  virtual QString GetName() const = 0;
  virtual QString GetDisplayName() const = 0;
  virtual QString GetDescription() const = 0;
  virtual QString GetIconResource() const = 0;
  virtual QString GetCategory() const = 0;
  virtual void SetCategory(const QString& category) = 0;
  virtual quint16 GetFlags() const = 0;

  // Makes a new module (after the wizard's dialog, if it has one); nullptr when cancelled.
  virtual IqvWsModulePtr New() = 0;
  virtual void ResetCount() = 0;
  // An empty file name asks the user for one. nullptr when nothing was opened.
  virtual IqvWsModulePtr Open(const QString& fileName) = 0;
  virtual bool Save(IqvWsModule* module) = 0;
  virtual bool SaveAs(IqvWsModule* module) = 0;
  // Asks about every modified module of `module`'s tree (children first), then saves those
  // answered Yes. False when one answer was Cancel (nothing is saved then) or a save failed.
  // Nothing is released here: the module's Close does that once this agreed.
  virtual bool Close(IqvWsModule* module) = 0;
};
