// qvKivMain.h
// TfrmKivMain: the workbench's main window. It owns the current project, shows it in the
// project tree, edits its grammars in tabs, builds one grammar or all of them with the
// generator, and lists the generator's diagnostics, from which a double click opens the
// grammar at the reported line.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <memory>

#include "engine/kivLibTypes.h"
#include "workbench/qvAppSettings.h"
#include "workbench/qvFindReplaceDialog.h"
#include "workbench/qvWsModuleIntf.h"
#include "workbench/qvWsWizardRegistry.h"

class QAction;
class QMenu;
class QSplitter;
class QTabWidget;
class TqvWsKivGrammarWizard;
class TqvWsKivLexerWizard;
class TqvWsKivParserWizard;
class TqvWsKivProject;
class TqvWsKivProjectWizard;
class TqvWsTreeView;

namespace kiv {
class MessageListModel;
class MessageListView;
class PanelStatusBar;
enum class MessageImageKind : int;
}  // namespace kiv

class TfrmKivMain : public QMainWindow, public IkivToolErrorHandler {
  Q_OBJECT
public:
  static constexpr const char* kTitle = "Kiv Parser Generator";

  // `arguments` are the command-line arguments after the program name: one project file
  // (extension ".kvp", letter case as written) opens it; no argument, or more than one, makes a
  // new project.
  explicit TfrmKivMain(const QStringList& arguments = QStringList(), QWidget* parent = nullptr);
  ~TfrmKivMain() override;

  // IkivToolErrorHandler: lists each line once; warnings and errors only when positioned.
  void HandleWarning(const std::string& Text) override;
  void HandleError(const std::string& Text) override;
  void HandleMessage(const std::string& Text) override;

  // Builds one grammar module of the project; false when the build was refused (a missing
  // directory) or there was nothing to build.
  bool BuildModule(IqvWsModule* module);
  void BuildCurrent();
  void BuildAll();

  // The project and the module whose tab is shown.
  TqvWsKivProject* Project() const;
  IqvWsModulePtr ProjectModule() const { return FProject; }
  IqvWsModulePtr CurrentModule() const;
  IqvWsModuleEditor* CurrentEditor() const;
  // Opens `module`'s editor (making it when needed) and shows its tab.
  bool OpenModule(const IqvWsModulePtr& module);

  // Recomputes the caption, the enabled commands and the message list's pop-up menu.
  void UpdateState();

  TqvAppSettings& Settings() { return FSettings; }
  kiv::MessageListModel* Messages() const { return FMessages; }
  kiv::MessageListView* MessageView() const { return FMessageView; }
  TqvWsTreeView* Tree() const { return FTree; }
  QTabWidget* EditorPages() const { return FPages; }
  kiv::PanelStatusBar* StatusPanels() const { return FStatus; }
  kiv::FindReplaceDialog* FindDialog() const { return FFindDialog; }
  TqvWsKivLexerWizard* LexerWizard() const { return FLexerWizard.get(); }
  TqvWsKivParserWizard* ParserWizard() const { return FParserWizard.get(); }
  const TqvWsWizardRegistry& WizardRegistry() const { return FRegistry; }
  int ExplorerWidth() const;
  int MessagesHeight() const;

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  QAction* makeAction(const char* name, const QString& caption, const QKeySequence& shortcut,
                      void (TfrmKivMain::*slot)());
  void createActions();
  void createMenusAndToolBar();
  void createPanels();
  void applySavedBounds();
  void storeBounds();

  // Commands.
  void newProject();
  void openProject();
  void newGrammar();
  void saveModule();
  void saveModuleAs();
  void saveProjectAs();
  void saveAll();
  void closeModule();
  bool closeAll();
  void closeAllCommand();
  void exportHtml();
  void exportRtf();
  void print();
  void undo();
  void redo();
  void cut();
  void copy();
  void paste();
  void find();
  void findNext();
  void findPrevious();
  void replace();
  void gotoLine();
  void addFiles();
  void removeFile();
  void moveFileUp();
  void moveFileDown();
  void projectOptions();
  void toggleExplorer();
  void toggleMessages();
  void environmentOptions();
  void copyMessages();
  void clearMessages();

  void setProject(const IqvWsModulePtr& project);
  void addNewModule(const IqvWsModulePtr& module);
  void runWizard(IqvWsModuleWizard* wizard);
  void listLine(const std::string& text, kiv::MessageImageKind image, int* counter);
  void messageActivated(const QModelIndex& index);
  void searchAgain(bool forward);
  bool treeHasGrammarFocus() const;
  void syncTabCaptions();
  IqvWsModulePtr moduleOfPage(const QWidget* page) const;
  void afterCommand();

  TqvAppSettings FSettings;
  std::unique_ptr<TqvWsKivGrammarWizard> FGrammarWizard;
  std::unique_ptr<TqvWsKivLexerWizard> FLexerWizard;
  std::unique_ptr<TqvWsKivParserWizard> FParserWizard;
  std::unique_ptr<TqvWsKivProjectWizard> FProjectWizard;
  TqvWsWizardRegistry FRegistry;
  IqvWsModulePtr FProject;

  // Counters of the build in progress, and the module it builds (empty between builds).
  int FErrorCount = 0;
  int FWarningCount = 0;
  QString FBuildingModule;

  int FExplorerWidth = 200;
  int FMessagesHeight = 120;

  TqvWsTreeView* FTree = nullptr;
  QWidget* FExplorer = nullptr;
  QTabWidget* FPages = nullptr;
  kiv::MessageListModel* FMessages = nullptr;
  kiv::MessageListView* FMessageView = nullptr;
  kiv::PanelStatusBar* FStatus = nullptr;
  QSplitter* FMainSplitter = nullptr;
  QSplitter* FUpperSplitter = nullptr;
  QPointer<kiv::FindReplaceDialog> FFindDialog;
  QMenu* FMessageMenu = nullptr;

  QAction* actFileNewProject = nullptr;
  QAction* actFileOpenProject = nullptr;
  QAction* actFileWizard = nullptr;
  QAction* actFileSave = nullptr;
  QAction* actFileSaveAs = nullptr;
  QAction* actFileSaveProjectAs = nullptr;
  QAction* actFileSaveAll = nullptr;
  QAction* actFileClose = nullptr;
  QAction* actFileCloseAll = nullptr;
  QAction* actFileExportHTML = nullptr;
  QAction* actFileExportRTF = nullptr;
  QAction* actFilePrint = nullptr;
  QAction* actFileExit = nullptr;
  QAction* actEditUndo = nullptr;
  QAction* actEditRedo = nullptr;
  QAction* actEditCut = nullptr;
  QAction* actEditCopy = nullptr;
  QAction* actEditPaste = nullptr;
  QAction* actSearchFind = nullptr;
  QAction* actSearchFindNext = nullptr;
  QAction* actSearchFindPrev = nullptr;
  QAction* actSearchReplace = nullptr;
  QAction* actSearchGoto = nullptr;
  QAction* actProjectAddFile = nullptr;
  QAction* actProjectRemFile = nullptr;
  QAction* actProjectMoveUp = nullptr;
  QAction* actProjectMoveDown = nullptr;
  QAction* actProjectBuild = nullptr;
  QAction* actProjectBuildAll = nullptr;
  QAction* actProjectOptions = nullptr;
  QAction* actViewExplorer = nullptr;
  QAction* actViewMessages = nullptr;
  QAction* actToolsOptions = nullptr;
  QAction* actMessagesCopy = nullptr;
  QAction* actMessagesClear = nullptr;
};
