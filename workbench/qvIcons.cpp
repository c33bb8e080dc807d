// qvIcons.cpp
// Icon lookup in the workbench's Qt resources.
#include "workbench/qvIcons.h"

#include <QFile>

// The icons are compiled into the workbench's static library, whose resources must be
// registered explicitly (a static library has no load-time initialiser that runs by itself).
static void registerWorkbenchIcons() { Q_INIT_RESOURCE(qvWsIcons); }

namespace kiv {

QIcon ResourceIcon(const QString& name) {
  static const bool registered = (registerWorkbenchIcons(), true);
  Q_UNUSED(registered);
  if (name.isEmpty()) return {};
  const QString path = QStringLiteral(":/kiv/icons/") + name + QStringLiteral(".png");
  return QFile::exists(path) ? QIcon(path) : QIcon();
}

}  // namespace kiv
