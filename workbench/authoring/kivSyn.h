// kivSyn.h
// TkivSyn: the grammar highlighter of the grammar editor.
#pragma once

#include "workbench/authoring/kivSynLexer.h"

class TkivSyn : public kiv::KivSynLexer {
  Q_OBJECT
public:
  explicit TkivSyn(QObject* owner = nullptr);
};
