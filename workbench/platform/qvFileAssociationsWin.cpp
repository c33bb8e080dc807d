// qvFileAssociationsWin.cpp
// Associations on Windows: the current user's class keys (".ext" naming "extfile", which holds
// the description and the open command), followed by the shell's association-changed notice.
#include "workbench/platform/qvFileAssociations.h"

#include <string>

#include <windows.h>
#include <shlobj.h>

namespace kiv {

namespace {

const wchar_t kClassesRoot[] = L"Software\\Classes\\";

std::wstring classKey(const QString& name) { return std::wstring(kClassesRoot) + name.toStdWString(); }

bool setDefaultValue(const std::wstring& key, const QString& value, QString& error) {
  HKEY handle = nullptr;
  LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_SET_VALUE, nullptr, &handle, nullptr);
  if (status == ERROR_SUCCESS) {
    const std::wstring text = value.toStdWString();
    status = RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
  }
  if (status == ERROR_SUCCESS) return true;
  error = QStringLiteral("cannot write the registry key HKEY_CURRENT_USER\\%1 (error %2)")
              .arg(QString::fromStdWString(key)).arg(status);
  return false;
}

// The default value of `key`; empty when the key or the value is missing.
QString defaultValue(const std::wstring& key) {
  wchar_t buffer[1024];
  DWORD size = sizeof(buffer);
  if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
    return {};
  return QString::fromWCharArray(buffer);
}

bool deleteKey(const std::wstring& key, QString& error) {
  const LONG status = RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
  if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return true;
  error = QStringLiteral("cannot delete the registry key HKEY_CURRENT_USER\\%1 (error %2)")
              .arg(QString::fromStdWString(key)).arg(status);
  return false;
}

bool registerExtension(const FileAssociation& association, const QString& command, QString& error) {
  const QString typeName = association.extension + QStringLiteral("file");
  if (!setDefaultValue(classKey(QStringLiteral(".") + association.extension), typeName, error)) return false;
  if (!association.description.trimmed().isEmpty() &&
      !setDefaultValue(classKey(typeName), association.description, error))
    return false;
  if (!association.verb.trimmed().isEmpty() &&
      !setDefaultValue(classKey(typeName + QStringLiteral("\\Shell\\") + association.verb + QStringLiteral("\\Command")),
                       command, error))
    return false;
  return true;
}

void notifyShell() { SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr); }

}  // namespace

bool RegisterFileAssociations(const QString& programPath, QString& error, QStringList&) {
  const QString command = WindowsOpenCommand(programPath);
  bool written = true;
  for (const FileAssociation& association : KivFileAssociations())
    written = written && registerExtension(association, command, error);
  notifyShell();
  return written;
}

bool RemoveFileAssociations(QString& error, QStringList&) {
  bool removed = true;
  for (const FileAssociation& association : KivFileAssociations()) {
    const QString typeName = association.extension + QStringLiteral("file");
    // Only keys that still say what registering wrote are removed: another program may have
    // taken the extension over since.
    const std::wstring extensionKey = classKey(QStringLiteral(".") + association.extension);
    if (defaultValue(extensionKey) == typeName) removed = removed && deleteKey(extensionKey, error);
    if (defaultValue(classKey(typeName)) == association.description)
      removed = removed && deleteKey(classKey(typeName), error);
  }
  notifyShell();
  return removed;
}

}  // namespace kiv
