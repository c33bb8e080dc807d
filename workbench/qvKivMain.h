// qvKivMain.h
// TfrmKivMain: the workbench's main window. It owns the current project, shows it in the
// project tree, edits its grammars in tabs, builds one grammar or all of them with the
// generator, and lists the generator's diagnostics (in a dock; the Test panel docks beside it),
// from which a double click or Enter opens the grammar at the reported line. It keeps the open
// grammars in step with their files, checks the shown grammar in the background as the user
// types, and remembers recent projects and files.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QSet>
#include <memory>
#include <vector>

#include "engine/driver/kivDiagnostic.h"
#include "engine/kivLibTypes.h"
#include "workbench/qvAppSettings.h"
#include "workbench/qvFindReplaceDialog.h"
#include "workbench/qvWsModuleIntf.h"
#include "workbench/qvWsWizardRegistry.h"

class QAction;
class QDockWidget;
class QMenu;
class QSplitter;
class QTabWidget;
class TqvExplainView;
class TqvGrammarChecker;
class TqvTestPanel;
class TqvWsKivGrammarWizard;
class TqvWsKivLexerWizard;
class TqvWsKivParserWizard;
class TqvWsKivProject;
class TqvWsKivProjectWizard;
class TqvWsFileWatcher;
class TqvWsTreeView;

namespace kiv {
class MessageListModel;
class MessageListView;
class PanelStatusBar;
class RecentFiles;
enum class MessageImageKind : int;
}  // namespace kiv

class TfrmKivMain : public QMainWindow, public IkivToolErrorHandler, public kiv::DiagnosticListener {
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
  // kiv::DiagnosticListener: the column of a listed line, for opening it at the caret, and the
  // lookahead lines of a nondeterminism report, shown in its tool tip.
  void OnDiagnostic(const kiv::Diagnostic& D) override;

  // Builds one grammar module of the project; false when the build was refused (a missing
  // directory the user did not let the workbench create) or there was nothing to build. The
  // summary gives the generator's own counts, as `kiv build` prints them.
  bool BuildModule(IqvWsModule* module);
  void BuildCurrent();
  // Builds every grammar in project order; first, as `kiv build PROJECT.kvp` does, two grammars
  // that would write the same file (or one that would write over another's grammar file) are
  // listed as errors and nothing is built. False when that refused the build.
  bool BuildAll();

  // The project and the module whose tab is shown.
  TqvWsKivProject* Project() const;
  IqvWsModulePtr ProjectModule() const { return FProject; }
  IqvWsModulePtr CurrentModule() const;
  IqvWsModuleEditor* CurrentEditor() const;
  // Opens `module`'s editor (making it when needed) and shows its tab.
  bool OpenModule(const IqvWsModulePtr& module);

  // Recomputes the caption, the enabled commands and the message list's pop-up menu.
  void UpdateState();
  // Looks at the file of every grammar of the project (or of `modules`) and brings the modules
  // up to date with what other programs did to them.
  void SyncWithDisk();
  void SyncWithDisk(const std::vector<IqvWsModulePtr>& modules);
  // Opens the message of `row` as a double click does; false when it has no target.
  bool OpenMessage(int row);
  // Whether `row` is a nondeterminism report of a grammar in the project, and explains it in the
  // Explanation panel on the grammar's current text (false when it is not such a report).
  bool IsExplainable(int row) const;
  bool ExplainMessage(int row);

  TqvAppSettings& Settings() { return FSettings; }
  kiv::MessageListModel* Messages() const { return FMessages; }
  kiv::MessageListView* MessageView() const { return FMessageView; }
  TqvWsTreeView* Tree() const { return FTree; }
  QTabWidget* EditorPages() const { return FPages; }
  kiv::PanelStatusBar* StatusPanels() const { return FStatus; }
  kiv::FindReplaceDialog* FindDialog() const { return FFindDialog; }
  QDockWidget* MessageDock() const { return FMessageDock; }
  TqvGrammarChecker* Checker() const { return FChecker; }
  TqvTestPanel* TestPanel() const { return FTestPanel; }
  QDockWidget* TestDock() const { return FTestDock; }
  TqvExplainView* ExplainView() const { return FExplainView; }
  QDockWidget* ExplainDock() const { return FExplainDock; }
  TqvWsFileWatcher* Watcher() const { return FWatcher; }
  kiv::RecentFiles& RecentProjects() const { return *FRecentProjects; }
  kiv::RecentFiles& RecentGrammarFiles() const { return *FRecentFiles; }
  QMenu* RecentProjectsMenu() const { return FRecentProjectsMenu; }
  QMenu* RecentFilesMenu() const { return FRecentFilesMenu; }
  TqvWsKivLexerWizard* LexerWizard() const { return FLexerWizard.get(); }
  TqvWsKivParserWizard* ParserWizard() const { return FParserWizard.get(); }
  const TqvWsWizardRegistry& WizardRegistry() const { return FRegistry; }
  int ExplorerWidth() const;
  int MessagesHeight() const;

signals:
  // The Explanation panel asks to run a conflict's witness: `sample` from rule `startRule` of the
  // grammar shown (its tab is shown first). The Explanation panel offers this only while
  // something is connected here.
  void WitnessRunRequested(const QString& sample, const QString& startRule);

protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

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
  void toggleTestPanel();
  void environmentOptions();
  void copyMessages();
  void explainCurrentMessage();
  void clearMessages();
  void selectAll();
  void nextMessage();
  void previousMessage();
  void nextPage();
  void previousPage();
  void about();

  void setProject(const IqvWsModulePtr& project);
  // Forgets the project: its tree, its watch and its background check.
  void dropProject();
  void addNewModule(const IqvWsModulePtr& module);
  void runWizard(IqvWsModuleWizard* wizard);
  // Adds the grammar file `path` to the project and opens it; a file already in the project is
  // just opened.
  void addGrammarFile(const QString& path);
  void openRecentProject(const QString& path);
  void openRecentFile(const QString& path);
  void fillRecentMenu(QMenu* menu, kiv::RecentFiles& list, void (TfrmKivMain::*open)(const QString&));
  // File dialogs of the wizards start in the project's folder.
  void useProjectFolder();
  void listLine(const std::string& text, kiv::MessageImageKind image);
  // Lists the output clashes of the project's grammars; true when there was one.
  bool reportOutputClashes();
  void buildAllCommand();
  void messageActivated(const QModelIndex& index);
  void walkMessages(int step);
  // Whether `directory` (of the kind `what`) exists, offering to create it when it does not.
  bool offerDirectory(const QString& directory, const QString& what);
  void searchAgain(bool forward);
  // Moves the find dialog off the match it just selected.
  void keepFindDialogOffMatch();
  // Tells the background check which grammar is shown.
  void followCurrentEditor();
  void closePage(int index);
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

  // The error lines received by the build in progress, and the module it builds (empty between
  // builds).
  int FErrorLines = 0;
  QString FBuildingModule;
  // Rows listed by the build in progress that the generator has not told the parts of yet, and
  // the row the last diagnostic told belongs to (-1 for none), which takes its continuation lines.
  QList<int> FRowsAwaitingParts;
  int FToldRow = -1;
  // Directories the user declined to create during one "Build all".
  QSet<QString> FDeclinedDirectories;
  bool FSyncing = false;
  bool FSyncAgain = false;

  int FExplorerWidth = 200;
  int FMessagesHeight = 120;

  TqvWsTreeView* FTree = nullptr;
  QWidget* FExplorer = nullptr;
  QTabWidget* FPages = nullptr;
  kiv::MessageListModel* FMessages = nullptr;
  kiv::MessageListView* FMessageView = nullptr;
  kiv::PanelStatusBar* FStatus = nullptr;
  QDockWidget* FMessageDock = nullptr;
  QSplitter* FUpperSplitter = nullptr;
  QPointer<kiv::FindReplaceDialog> FFindDialog;
  QMenu* FMessageMenu = nullptr;
  QMenu* FRecentProjectsMenu = nullptr;
  QMenu* FRecentFilesMenu = nullptr;
  TqvWsFileWatcher* FWatcher = nullptr;
  TqvGrammarChecker* FChecker = nullptr;
  TqvTestPanel* FTestPanel = nullptr;
  QDockWidget* FTestDock = nullptr;
  TqvExplainView* FExplainView = nullptr;
  QDockWidget* FExplainDock = nullptr;
  std::unique_ptr<kiv::RecentFiles> FRecentProjects;
  std::unique_ptr<kiv::RecentFiles> FRecentFiles;

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
  QAction* actEditSelectAll = nullptr;
  QAction* actSearchFind = nullptr;
  QAction* actSearchFindNext = nullptr;
  QAction* actSearchFindPrev = nullptr;
  QAction* actSearchReplace = nullptr;
  QAction* actSearchGoto = nullptr;
  QAction* actSearchNextMessage = nullptr;
  QAction* actSearchPrevMessage = nullptr;
  QAction* actProjectAddFile = nullptr;
  QAction* actProjectRemFile = nullptr;
  QAction* actProjectMoveUp = nullptr;
  QAction* actProjectMoveDown = nullptr;
  QAction* actProjectBuild = nullptr;
  QAction* actProjectBuildAll = nullptr;
  QAction* actProjectOptions = nullptr;
  QAction* actViewExplorer = nullptr;
  QAction* actViewMessages = nullptr;
  QAction* actViewTestPanel = nullptr;
  QAction* actViewNextPage = nullptr;
  QAction* actViewPrevPage = nullptr;
  QAction* actToolsOptions = nullptr;
  QAction* actHelpAbout = nullptr;
  QAction* actMessagesCopy = nullptr;
  QAction* actMessagesClear = nullptr;
  QAction* actMessagesExplain = nullptr;
};
