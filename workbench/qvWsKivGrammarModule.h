// qvWsKivGrammarModule.h
// TqvWsKivGrammarModule: a grammar file of a project; its editor is the grammar editor.
#pragma once

#include "workbench/qvWsModule.h"

class TqvWsKivGrammarModule : public TqvWsModule {
public:
  explicit TqvWsKivGrammarModule(QString name = QString());

  static QString FileFilter() { return QStringLiteral("KIV Grammar (*.g)|*.g"); }
  static QString Extension() { return QStringLiteral("g"); }

  // A grammar listed in a project whose file was missing when the project was read. It keeps
  // its place (and its path in the project file) until the file is there again.
  bool IsMissing() const { return FMissing; }
  void SetMissing(bool missing) { FMissing = missing; }

protected:
  std::unique_ptr<IqvWsModuleEditor> CreateEditor() override;

private:
  bool FMissing = false;
};
