// qvWsKivSynHL.h
// TqvWsKivSynHL: the grammar highlighter of the wizards' preview editors.
#pragma once

#include "workbench/authoring/kivSynLexer.h"

class TqvWsKivSynHL : public kiv::KivSynLexer {
  Q_OBJECT
public:
  explicit TqvWsKivSynHL(QObject* owner = nullptr);
};
