// qvWsKivGrammarModule.cpp
// The grammar module's file type and editor.
#include "workbench/qvWsKivGrammarModule.h"

#include "workbench/qvWsKivGrammarEditor.h"

TqvWsKivGrammarModule::TqvWsKivGrammarModule(QString name)
    : TqvWsModule(std::move(name), kiv::kModuleKindGrammar) {
  SetFileType(FileFilter(), Extension());
}

std::unique_ptr<IqvWsModuleEditor> TqvWsKivGrammarModule::CreateEditor() {
  return std::make_unique<TqvWsKivGrammarEditor>();
}
