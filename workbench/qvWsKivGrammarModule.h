// qvWsKivGrammarModule.h
// TqvWsKivGrammarModule: a grammar file of a project; its editor is the grammar editor.
#pragma once

#include "workbench/qvWsModule.h"

class TqvWsKivGrammarModule : public TqvWsModule {
public:
  explicit TqvWsKivGrammarModule(QString name = QString());

  static QString FileFilter() { return QStringLiteral("KIV Grammar (*.g)|*.g"); }
  static QString Extension() { return QStringLiteral("g"); }

protected:
  std::unique_ptr<IqvWsModuleEditor> CreateEditor() override;
};
