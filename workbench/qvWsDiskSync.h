// qvWsDiskSync.h
// Keeping a module's text and its file in step when another program changes the file: telling
// what changed on disk since the module last knew it, and bringing the module up to date
// (reloading an unmodified text, asking before a modified one is replaced, marking a deleted file
// as missing without losing the text).
#pragma once

#include <QByteArray>
#include <QString>

#include "workbench/qvTextFile.h"

class IqvWsModule;
class QWidget;

namespace kiv {

enum class DiskChangeKind {
  None,      // the file is as known (or the module has no file)
  Changed,   // it holds other bytes
  Deleted,   // it was there and is gone
  Appeared,  // it was missing and is there
};

struct DiskChange {
  DiskChangeKind kind = DiskChangeKind::None;
  FileStamp stamp;   // the file now (with its digest when it was read)
  QByteArray bytes;  // its contents, for Changed and Appeared
};

// Compares the module's file now with `known`. The file is read only when its size or time
// differ, and a file rewritten with the same bytes counts as unchanged.
DiskChange DiskChangeOf(const IqvWsModule& module, const FileStamp& known);

enum class DiskSyncKind {
  Unchanged,       // nothing to do
  Reloaded,        // the module took the file's new text
  KeptMine,        // the user kept the editor's text (a later save asks before overwriting)
  MarkedMissing,   // the file was deleted; the text stays, modified, until it is saved again
};

// Brings `module` up to date with its file. An unmodified text is reloaded (an editor keeps its
// caret line), a modified one is replaced only when the user answers Yes; each outside change is
// asked about once.
DiskSyncKind SyncWithDisk(IqvWsModule& module, QWidget* parent);

// The status-bar note that tells the user what SyncWithDisk did, empty for Unchanged.
QString DiskSyncNote(const IqvWsModule& module, DiskSyncKind kind);

}  // namespace kiv
