// kivSyn.cpp
// TkivSyn: the shared grammar highlighter under the grammar editor's name.
#include "workbench/authoring/kivSyn.h"

TkivSyn::TkivSyn(QObject* owner) : kiv::KivSynLexer(owner) { setObjectName(QStringLiteral("kivSyn")); }
