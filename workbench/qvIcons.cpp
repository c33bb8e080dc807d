// qvIcons.cpp
// Icon lookup in the workbench's Qt resources.
#include "workbench/qvIcons.h"

#include <QFile>

namespace kiv {

QIcon ResourceIcon(const QString& name) {
  if (name.isEmpty()) return {};
  const QString path = QStringLiteral(":/kiv/icons/") + name + QStringLiteral(".png");
  return QFile::exists(path) ? QIcon(path) : QIcon();
}

}  // namespace kiv
