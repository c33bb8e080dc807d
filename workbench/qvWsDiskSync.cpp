// qvWsDiskSync.cpp
// Outside changes of a module's file: detection by size, time and contents, and the reload,
// question or missing mark that follows.
#include "workbench/qvWsDiskSync.h"

#include <QDir>
#include <QFileInfo>

#include "workbench/qvPrompter.h"
#include "workbench/qvWsModuleIntf.h"

namespace kiv {

DiskChange DiskChangeOf(const IqvWsModule& module, const FileStamp& known) {
  DiskChange change;
  if (!module.HasFilePath()) return change;
  const QString path = module.GetFilePath();
  change.stamp = FileStamp::Of(path);
  if (!change.stamp.exists) {
    if (known.exists) change.kind = DiskChangeKind::Deleted;
    return change;
  }
  if (known.exists && change.stamp.SameMetadata(known)) {
    change.stamp.digest = known.digest;
    return change;
  }
  QString error;
  // A file that cannot be read now is left alone; the next look will tell.
  if (!ReadFileBytes(path, change.bytes, error)) return DiskChange{DiskChangeKind::None, known, {}};
  change.stamp = FileStamp::Of(path, change.bytes);
  if (!known.exists) change.kind = DiskChangeKind::Appeared;
  else if (change.stamp.digest != known.digest) change.kind = DiskChangeKind::Changed;
  return change;
}

namespace {

QString shownPath(const IqvWsModule& module) { return QDir::toNativeSeparators(module.GetFilePath()); }

}  // namespace

DiskSyncKind SyncWithDisk(IqvWsModule& module, QWidget* parent) {
  const DiskChange change = DiskChangeOf(module, module.SeenStamp());
  switch (change.kind) {
    case DiskChangeKind::None:
      // Same bytes under a new time: remember the time, so the file is not read again.
      if (change.stamp.exists && module.SeenStamp().exists) {
        if (module.DiskStamp().digest == change.stamp.digest) module.SetDiskStamp(change.stamp);
        module.SetSeenStamp(change.stamp);
      }
      return DiskSyncKind::Unchanged;
    case DiskChangeKind::Deleted:
      module.SetSeenStamp(change.stamp);
      if (module.IsMissing()) return DiskSyncKind::Unchanged;
      // The text now lives only here: it counts as modified, so closing asks and saving
      // writes the file again.
      module.SetModified(true);
      module.SetMissing(true);
      return DiskSyncKind::MarkedMissing;
    case DiskChangeKind::Changed:
    case DiskChangeKind::Appeared: break;
  }

  TextFormat format = module.Format();
  const QString text = DecodeText(change.bytes, format);
  // The file holds exactly the module's text (saved elsewhere, or put back): nothing to ask.
  const bool sameText = text == module.GetText();
  if (module.IsModified() && !sameText) {
    const PromptAnswer answer = Prompter().AskYesNoCancel(
        parent, QStringLiteral("File changed on disk"),
        QStringLiteral("\"%1\" was changed by another program.\n\n"
                       "Reload it? Yes replaces the text in the editor by the file's text (Undo brings "
                       "yours back); No keeps your text, and saving will ask before it overwrites the file.")
            .arg(shownPath(module)));
    if (answer != PromptAnswer::Yes) {
      module.SetSeenStamp(change.stamp);
      if (change.kind == DiskChangeKind::Appeared) module.SetMissing(false);
      return DiskSyncKind::KeptMine;
    }
  }
  if (sameText) {
    module.SetDiskStamp(change.stamp);
    module.SetSeenStamp(change.stamp);
    module.SetModified(false);
    module.SetMissing(false);
    return DiskSyncKind::Unchanged;
  }
  module.Reload(text, format, change.stamp);
  return DiskSyncKind::Reloaded;
}

QString DiskSyncNote(const IqvWsModule& module, DiskSyncKind kind) {
  switch (kind) {
    case DiskSyncKind::Unchanged: return {};
    case DiskSyncKind::Reloaded:
      return QStringLiteral("%1 was changed on disk and has been reloaded").arg(module.GetName());
    case DiskSyncKind::KeptMine:
      return QStringLiteral("%1 was changed on disk; your text was kept").arg(module.GetName());
    case DiskSyncKind::MarkedMissing:
      return QStringLiteral("%1 was deleted on disk; save it to write the file again").arg(module.GetName());
  }
  return {};
}

}  // namespace kiv
