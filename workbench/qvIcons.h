// qvIcons.h
// The workbench's bundled icons, looked up by resource name ("qvWsProject", "WsKivLexerIcon").
#pragma once

#include <QIcon>
#include <QString>

namespace kiv {

// The icon of that name, or a null icon when no such resource is bundled.
QIcon ResourceIcon(const QString& name);

}  // namespace kiv
