// qvFileAssociations.h
// Associating KIV's project files (.kvp, opened by the workbench) and grammar files (.g, only
// described) with the workbench, and removing exactly that again: per-user class keys on
// Windows, a shared-MIME package and a desktop entry under the user's data folder elsewhere.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace kiv {

struct FileAssociation {
  QString extension;    // without the dot
  QString description;
  QString verb;         // empty: the type is described but not opened by the workbench
};

// "kvp" ("KIV project", opened) and "g" ("KIV grammar").
const std::vector<FileAssociation>& KivFileAssociations();

// Registers the associations for `programPath` and tells the desktop they changed. False with
// `error` set when something could not be written; `notes` collects problems that did not stop
// the registration (a refresh tool that failed).
bool RegisterFileAssociations(const QString& programPath, QString& error, QStringList& notes);
// Removes what RegisterFileAssociations wrote and tells the desktop.
bool RemoveFileAssociations(QString& error, QStringList& notes);

// Windows: the open command stored for a project, with the program and the file quoted so
// that paths with blanks survive.
QString WindowsOpenCommand(const QString& programPath);

// Desktop entries: the program path as one argument of an Exec line (quoted and escaped where
// needed); empty when the path cannot be written there (it holds a line break).
QString DesktopExecArgument(const QString& programPath);
// The user's data folder: $XDG_DATA_HOME when it is an absolute path, else ~/.local/share.
QString XdgDataHome();
QString MimePackagePath(const QString& dataHome);
QString DesktopEntryPath(const QString& dataHome);
// The files' contents; the desktop entry runs `programPath`.
QByteArray MimePackageText();
QByteArray DesktopEntryText(const QString& programPath);

}  // namespace kiv
