// qvWsKivSynHL.cpp
// TqvWsKivSynHL: the shared grammar highlighter under the preview editors' name.
#include "workbench/authoring/qvWsKivSynHL.h"

TqvWsKivSynHL::TqvWsKivSynHL(QObject* owner) : kiv::KivSynLexer(owner) {
  setObjectName(QStringLiteral("qvWsKivSynHL"));
}
