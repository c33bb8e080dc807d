// qvWsKivProject.h
// TqvWsKivProject: the project module. Its children are the project's grammar modules in
// project order; it writes its project file from that state and reads one with the shared
// project-file reader.
#pragma once

#include <functional>

#include "engine/project/kivProjectFile.h"
#include "workbench/qvWsModule.h"

// The operations a project adds to a module.
class IqvWsKivProject {
public:
  virtual ~IqvWsKivProject() = default;
  virtual QString GetOutputDir() const = 0;
  virtual QString GetExchangeDir() const = 0;
  virtual void SetOutputDir(const QString& dir) = 0;
  virtual void SetExchangeDir(const QString& dir) = 0;
};

class TqvWsKivProject : public TqvWsModule, public IqvWsKivProject {
public:
  using MessageHandler = std::function<void(const QString&)>;

  explicit TqvWsKivProject(QString name = QString());

  static QString FileFilter() { return QStringLiteral("KIV Project (*.kvp)|*.kvp"); }
  static QString Extension() { return QStringLiteral("kvp"); }

  QString GetOutputDir() const override { return FOutputDir; }
  QString GetExchangeDir() const override { return FExchangeDir; }
  // Both setters mark the project modified.
  void SetOutputDir(const QString& dir) override;
  void SetExchangeDir(const QString& dir) override;

  // Modified when its own flag is set or any grammar is modified.
  bool IsModified() const override;
  // The project file's text, regenerated from the project's state.
  QString GetText() override;
  bool TextForFile(const QString& filePath, QString& text, QString& error) override;
  // Parses the loaded text: sets the directories and opens every listed grammar as a child.
  void Loaded() override;
  // Also refuses (-3, with a message) a grammar whose path a project file cannot store.
  int AddChild(const IqvWsModulePtr& child) override;

  // The wizard that opens the grammar files a project lists.
  void SetGrammarWizard(IqvWsModuleWizard* wizard) { FGrammarWizard = wizard; }
  // Receives the problems found while reading (a syntax error, a missing grammar file); without
  // a handler they are shown in one message box.
  void SetMessageHandler(MessageHandler handler) { FMessageHandler = std::move(handler); }
  // The problems of the last read, as positioned lines.
  const QStringList& ReadProblems() const { return FReadProblems; }

  // The project's state as a project file at `filePath` stores it.
  kiv::ProjectFile ToProjectFile(const QString& filePath) const;

private:
  void readText();
  IqvWsModulePtr openGrammar(const QString& path);
  void report(const QStringList& problems);

  QString FOutputDir;
  QString FExchangeDir;
  IqvWsModuleWizard* FGrammarWizard = nullptr;
  MessageHandler FMessageHandler;
  QStringList FReadProblems;
};
