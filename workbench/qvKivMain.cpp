// qvKivMain.cpp
// The main window: layout (the message list in a dock, so that more panels can sit beside it),
// actions and menus with their mnemonics and shortcuts, start-up and closing, the enabling of
// every command, and the panels' toggles. Builds and messages are in qvKivMainBuild.cpp, project
// and file commands in qvKivMainFiles.cpp, editing and searching in qvKivMainEdit.cpp.
#include "workbench/qvKivMain.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMetaMethod>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <Qsci/qsciscintilla.h>

#include "workbench/authoring/qvWsKivGrammarWizards.h"
#include "workbench/check/qvGrammarChecker.h"
#include "workbench/explain/qvExplainView.h"
#include "workbench/qvAbout.h"
#include "workbench/qvBuildCommand.h"
#include "workbench/qvIcons.h"
#include "workbench/qvKivMainShared.h"
#include "workbench/qvMessageList.h"
#include "workbench/qvPrompter.h"
#include "workbench/qvRecentFiles.h"
#include "workbench/qvStatusPanels.h"
#include "workbench/qvWorkbenchSettings.h"
#include "workbench/qvWsFileWatcher.h"
#include "workbench/qvWsKivProject.h"
#include "workbench/qvWsKivWizards.h"
#include "workbench/qvOptionsDialog.h"
#include "workbench/qvWsTreeView.h"
#include "workbench/testrig/qvTestPanel.h"

using kiv::MessageImageKind;
using kiv::mainwindow::key;
using namespace kiv::settings;

namespace {

QIcon themeIcon(const char* name, QStyle::StandardPixmap fallback) {
  return QIcon::fromTheme(QString::fromLatin1(name), QApplication::style()->standardIcon(fallback));
}

}  // namespace

TfrmKivMain::TfrmKivMain(const QStringList& arguments, QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("frmKivMain"));
  setWindowIcon(kiv::ResourceIcon(QStringLiteral("WsKivParserIcon")));
  resize(960, 680);

  RegisterWorkbenchSettings(FSettings);
  FSettings.Load();
  FRecentProjects = std::make_unique<kiv::RecentFiles>(FSettings, key(kRecent), key(kRecentProjects));
  FRecentFiles = std::make_unique<kiv::RecentFiles>(FSettings, key(kRecent), key(kRecentFiles));
  FWatcher = new TqvWsFileWatcher(this);
  connect(FWatcher, &TqvWsFileWatcher::DiskChanged, this, [this] { SyncWithDisk(); });
  FChecker = new TqvGrammarChecker(this);
  connect(FChecker, &TqvGrammarChecker::Checked, this, [this](IqvWsModule* module, int errors, int warnings) {
    FStatus->ShowNote(errors + warnings == 0
                          ? QStringLiteral("%1: no problems found").arg(module->GetName())
                          : QStringLiteral("%1: %2 error(s), %3 warning(s) found while typing")
                                .arg(module->GetName()).arg(errors).arg(warnings),
                      0);
  });

  createPanels();
  createActions();
  createMenusAndToolBar();
  applySavedBounds();

  FGrammarWizard = std::make_unique<TqvWsKivGrammarWizard>(this);
  FLexerWizard = std::make_unique<TqvWsKivLexerWizard>(this);
  FParserWizard = std::make_unique<TqvWsKivParserWizard>(this);
  FProjectWizard = std::make_unique<TqvWsKivProjectWizard>(FGrammarWizard.get(), this);
  FRegistry.Register({FLexerWizard.get(), FParserWizard.get()}, QStringLiteral("Grammars"));

  if (arguments.size() == 1) {
    const QString& path = arguments.front();
    // The extension is compared exactly: "x.KVP" is not taken for a project.
    if (QFileInfo(path).fileName().endsWith(QStringLiteral(".kvp"))) {
      if (IqvWsModulePtr project = FProjectWizard->OpenProject(path)) {
        setProject(project);
        FRecentProjects->Add(project->GetFilePath());
      } else {
        kiv::Prompter().ShowMessage(this, kiv::MessageKind::Error, key(kTitle),
                                    QStringLiteral("Cannot open the project \"%1\".").arg(path));
      }
    }
  } else {
    newProject();
  }
  UpdateState();
}

TfrmKivMain::~TfrmKivMain() {
  storeBounds();
  FSettings.Save();
  // Nothing may refresh this window while its parts go away.
  QObject::disconnect(qApp, nullptr, this, nullptr);
  QObject::disconnect(QApplication::clipboard(), nullptr, this, nullptr);
  for (QObject* sender : std::initializer_list<QObject*>{FTree, FPages, FMessages, FMessageView, FFindDialog,
                                                               FFindDialog ? FFindDialog->FindEdit() : nullptr,
                                                               FWatcher, FChecker, FExplainView})
    if (sender) sender->disconnect(this);
  // A check under way ends before the modules it reads go; the Test panel writes its sample first.
  delete FChecker;
  FChecker = nullptr;
  delete FTestDock;
  FTestDock = nullptr;
  FTestPanel = nullptr;
  delete FExplainDock;
  FExplainDock = nullptr;
  FExplainView = nullptr;
  dropProject();
}

// ---------------------------------------------------------------------------------------------
// Layout, actions, menus

void TfrmKivMain::createPanels() {
  FTree = new TqvWsTreeView;
  auto* explorerPage = new QWidget;
  explorerPage->setObjectName(QStringLiteral("tsProjectExplorer"));
  auto* explorerLayout = new QVBoxLayout(explorerPage);
  explorerLayout->setContentsMargins(2, 2, 2, 2);
  explorerLayout->setSpacing(2);
  auto* explorerButtons = new QHBoxLayout;
  explorerButtons->setObjectName(QStringLiteral("explorerButtons"));
  explorerLayout->addLayout(explorerButtons);
  explorerLayout->addWidget(FTree);
  auto* explorerPages = new QTabWidget;
  explorerPages->setObjectName(QStringLiteral("pcExplorer"));
  explorerPages->addTab(explorerPage, QStringLiteral("Project Explorer"));
  FExplorer = explorerPages;

  FPages = new QTabWidget;
  FPages->setObjectName(QStringLiteral("pcEditors"));
  FPages->setDocumentMode(true);
  FPages->setTabsClosable(true);
  FPages->setMovable(false);
  FPages->hide();
  auto* editorArea = new QWidget;
  editorArea->setObjectName(QStringLiteral("editorArea"));
  auto* editorLayout = new QVBoxLayout(editorArea);
  editorLayout->setContentsMargins(0, 0, 0, 0);
  editorLayout->addWidget(FPages);

  FUpperSplitter = new QSplitter(Qt::Horizontal);
  FUpperSplitter->setObjectName(QStringLiteral("splitExplorer"));
  FUpperSplitter->addWidget(FExplorer);
  FUpperSplitter->addWidget(editorArea);
  FUpperSplitter->setStretchFactor(1, 1);
  FUpperSplitter->setSizes({FExplorerWidth, 760});
  setCentralWidget(FUpperSplitter);

  // The message list is a dock at the bottom; further panels dock beside it or tab with it.
  FMessages = new kiv::MessageListModel(this);
  FMessageView = new kiv::MessageListView;
  FMessageView->setModel(FMessages);
  // Hidden, the list keeps a 10-pixel strip; its scroll area would otherwise insist on more.
  FMessageView->setMinimumHeight(1);
  FMessageDock = new QDockWidget(QStringLiteral("Messages"), this);
  FMessageDock->setObjectName(QStringLiteral("dockMessages"));
  FMessageDock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
  FMessageDock->setWidget(FMessageView);
  setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowNestedDocks | QMainWindow::AllowTabbedDocks);
  addDockWidget(Qt::BottomDockWidgetArea, FMessageDock);
  resizeDocks({FMessageDock}, {FMessagesHeight}, Qt::Vertical);
  // The Test panel sits to the right of the message list, hidden until asked for.
  FTestPanel = new TqvTestPanel;
  FTestDock = new QDockWidget(QStringLiteral("Test"), this);
  FTestDock->setObjectName(QStringLiteral("dockTest"));
  FTestDock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable | QDockWidget::DockWidgetClosable);
  FTestDock->setWidget(FTestPanel);
  splitDockWidget(FMessageDock, FTestDock, Qt::Horizontal);
  FTestDock->hide();
  // The Explanation panel sits to the right of the message list, hidden until a report is
  // explained; closing it takes its marks out of the editor.
  FExplainView = new TqvExplainView;
  FExplainDock = new QDockWidget(QStringLiteral("Explanation"), this);
  FExplainDock->setObjectName(QStringLiteral("dockExplain"));
  FExplainDock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable | QDockWidget::DockWidgetClosable);
  FExplainDock->setWidget(FExplainView);
  splitDockWidget(FMessageDock, FExplainDock, Qt::Horizontal);
  FExplainDock->hide();
  connect(FExplainDock, &QDockWidget::visibilityChanged, this, [this](bool visible) {
    if (!visible && FExplainDock->isHidden()) FExplainView->ClearMarks();
  });
  connect(FExplainView, &TqvExplainView::StepChosen, this, [this](IqvWsModule* module, int line) {
    const IqvWsModulePtr shown = FProject ? FProject->FindChild(module->GetName()) : nullptr;
    if (shown.get() != module || !OpenModule(shown) || !module->GetEditor()) return;
    module->GetEditor()->GotoPosition(line, 0);
    module->GetEditor()->HighlightLine(line, kiv::CheckMarkKind::Warning);
  });
  connect(FExplainView, &TqvExplainView::RunWitnessRequested, this,
          [this](IqvWsModule* module, const QString& sample, const QString& startRule) {
            const IqvWsModulePtr shown = FProject ? FProject->FindChild(module->GetName()) : nullptr;
            if (shown.get() != module || !OpenModule(shown)) return;
            emit WitnessRunRequested(sample, startRule);
          });
  // A witness goes to the Test panel, which runs it on the grammar just opened.
  connect(this, &TfrmKivMain::WitnessRunRequested, FTestPanel, &TqvTestPanel::RunSample);

  FStatus = new kiv::PanelStatusBar;
  for (int width : {70, 70}) FStatus->AddPanel(width);
  FStatus->AddPanel(70, Qt::AlignCenter);
  FStatus->AddPanel(70);
  FStatus->AddPanel(50);
  setStatusBar(FStatus);

  FFindDialog = new kiv::FindReplaceDialog(this);
  connect(FFindDialog, &kiv::FindReplaceDialog::FindRequested, this,
          [this](const QString& text, kiv::FindOptions options) {
            if (IqvWsModuleEditor* editor = CurrentEditor()) editor->Find(text, options);
            keepFindDialogOffMatch();
            UpdateState();
          });
  connect(FFindDialog, &kiv::FindReplaceDialog::ReplaceRequested, this,
          [this](const QString& text, const QString& replacement, kiv::FindOptions options) {
            if (IqvWsModuleEditor* editor = CurrentEditor()) editor->Replace(text, replacement, options);
            keepFindDialogOffMatch();
            UpdateState();
          });
  connect(FFindDialog->FindEdit(), &QLineEdit::textChanged, this, &TfrmKivMain::UpdateState);
  // The highlighted matches go with the dialog.
  connect(FFindDialog, &QDialog::finished, this, [this] {
    if (IqvWsModuleEditor* editor = CurrentEditor()) editor->ClearFindMarks();
  });

  connect(FTree, &TqvWsTreeView::Changed, this, &TfrmKivMain::UpdateState);
  // Double-clicking a grammar in the tree (or pressing Enter on it) opens it in the editor area.
  connect(FTree, &QTreeWidget::itemActivated, this, [this] {
    const IqvWsModulePtr module = FTree->SelectedModule();
    if (!module || module->GetKind() != kiv::kModuleKindGrammar || !OpenModule(module)) return;
    if (IqvWsModuleEditor* editor = module->GetEditor()) editor->Focus();
  });
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
    if (old == FTree || now == FTree || old == FMessageView || now == FMessageView) UpdateState();
  });
  connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &TfrmKivMain::UpdateState);
  connect(FPages, &QTabWidget::currentChanged, this, [this] {
    if (IqvWsModuleEditor* editor = CurrentEditor()) {
      editor->Focus();
      editor->UpdateStatus();
    }
    followCurrentEditor();
    UpdateState();
  });
  connect(FPages, &QTabWidget::tabCloseRequested, this, &TfrmKivMain::closePage);
  connect(FMessageView, &QAbstractItemView::doubleClicked, this, &TfrmKivMain::messageActivated);
  connect(FMessageView, &kiv::MessageListView::ItemEntered, this, &TfrmKivMain::messageActivated);
  connect(FMessageView->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TfrmKivMain::UpdateState);
  // The pop-up menu is attached only while the list has items, however they got there.
  const auto attachMenu = [this] {
    FMessageView->setContextMenuPolicy(FMessages->Count() > 0 ? Qt::CustomContextMenu : Qt::NoContextMenu);
  };
  connect(FMessages, &QAbstractItemModel::rowsInserted, this, attachMenu);
  connect(FMessages, &QAbstractItemModel::rowsRemoved, this, attachMenu);
  connect(FMessages, &QAbstractItemModel::modelReset, this, attachMenu);
  attachMenu();
  connect(FMessageView, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    // The menu's commands act on the item under the mouse.
    const QModelIndex at = FMessageView->indexAt(pos);
    if (at.isValid() && !FMessageView->selectionModel()->isRowSelected(at.row(), QModelIndex()))
      FMessageView->setCurrentIndex(at);
    UpdateState();
    FMessageMenu->exec(FMessageView->viewport()->mapToGlobal(pos));
  });
}

QAction* TfrmKivMain::makeAction(const char* name, const QString& caption, const QKeySequence& shortcut,
                                 void (TfrmKivMain::*slot)()) {
  auto* action = new QAction(caption, this);
  action->setObjectName(QString::fromLatin1(name));
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  connect(action, &QAction::triggered, this, [this, slot] {
    (this->*slot)();
    afterCommand();
  });
  return action;
}

void TfrmKivMain::createActions() {
  using Keys = QKeySequence;
  actFileNewProject = makeAction("actFileNewProject", QStringLiteral("&New project"), Keys(QStringLiteral("Ctrl+N")), &TfrmKivMain::newProject);
  actFileOpenProject = makeAction("actFileOpenProject", QStringLiteral("&Open project"), Keys(QStringLiteral("Ctrl+O")), &TfrmKivMain::openProject);
  actFileWizard = makeAction("actFileWizard", QStringLiteral("New &grammar..."), Keys(), &TfrmKivMain::newGrammar);
  actFileWizard->setToolTip(QStringLiteral("Create new grammar"));
  actFileWizard->setStatusTip(QStringLiteral("Create new grammar"));
  actFileSave = makeAction("actFileSave", QStringLiteral("&Save"), Keys(QStringLiteral("Ctrl+S")), &TfrmKivMain::saveModule);
  actFileSaveAs = makeAction("actFileSaveAs", QStringLiteral("Save &as..."), Keys(), &TfrmKivMain::saveModuleAs);
  actFileSaveProjectAs = makeAction("actFileSaveProjectAs", QStringLiteral("Save projec&t as..."), Keys(), &TfrmKivMain::saveProjectAs);
  actFileSaveAll = makeAction("actFileSaveAll", QStringLiteral("Save a&ll"), Keys(QStringLiteral("Shift+Ctrl+S")), &TfrmKivMain::saveAll);
  actFileClose = makeAction("actFileClose", QStringLiteral("&Close"), Keys(QStringLiteral("Ctrl+F4")), &TfrmKivMain::closeModule);
  actFileCloseAll = makeAction("actFileCloseAll", QStringLiteral("Clos&e all"), Keys(), &TfrmKivMain::closeAllCommand);
  actFileExportHTML = makeAction("actFileExportHTML", QStringLiteral("Export to &HTML"), Keys(), &TfrmKivMain::exportHtml);
  actFileExportRTF = makeAction("actFileExportRTF", QStringLiteral("Export to &RTF"), Keys(), &TfrmKivMain::exportRtf);
  actFilePrint = makeAction("actFilePrint", QStringLiteral("&Print"), Keys(), &TfrmKivMain::print);
  actFileExit = new QAction(QStringLiteral("E&xit"), this);
  actFileExit->setObjectName(QStringLiteral("actFileExit"));
  connect(actFileExit, &QAction::triggered, this, &QWidget::close);

  actEditUndo = makeAction("actEditUndo", QStringLiteral("&Undo"), Keys(QStringLiteral("Ctrl+Z")), &TfrmKivMain::undo);
  actEditRedo = makeAction("actEditRedo", QStringLiteral("&Redo"), Keys(QStringLiteral("Shift+Ctrl+Z")), &TfrmKivMain::redo);
  actEditCut = makeAction("actEditCut", QStringLiteral("Cu&t"), Keys(QStringLiteral("Ctrl+X")), &TfrmKivMain::cut);
  actEditCopy = makeAction("actEditCopy", QStringLiteral("&Copy"), Keys(QStringLiteral("Ctrl+C")), &TfrmKivMain::copy);
  actEditPaste = makeAction("actEditPaste", QStringLiteral("&Paste"), Keys(QStringLiteral("Ctrl+V")), &TfrmKivMain::paste);
  actEditSelectAll = makeAction("actEditSelectAll", QStringLiteral("Select &all"), Keys(QStringLiteral("Ctrl+A")), &TfrmKivMain::selectAll);

  actSearchFind = makeAction("actSearchFind", QStringLiteral("&Find"), Keys(QStringLiteral("Ctrl+F")), &TfrmKivMain::find);
  actSearchFindNext = makeAction("actSearchFindNext", QStringLiteral("Find &next"), Keys(QStringLiteral("F3")), &TfrmKivMain::findNext);
  actSearchFindPrev = makeAction("actSearchFindPrev", QStringLiteral("Find pre&vious"), Keys(QStringLiteral("Shift+F3")), &TfrmKivMain::findPrevious);
  actSearchReplace = makeAction("actSearchReplace", QStringLiteral("&Replace"), Keys(QStringLiteral("Ctrl+R")), &TfrmKivMain::replace);
  actSearchGoto = makeAction("actSearchGoto", QStringLiteral("&Goto line number"), Keys(QStringLiteral("Alt+G")), &TfrmKivMain::gotoLine);
  // The next or previous error or warning of the message list, as F6 and Shift+F6 walk a pane's
  // items in Qt Creator.
  actSearchNextMessage = makeAction("actSearchNextMessage", QStringLiteral("Next &message"), Keys(QStringLiteral("F6")), &TfrmKivMain::nextMessage);
  actSearchPrevMessage = makeAction("actSearchPrevMessage", QStringLiteral("Previous m&essage"), Keys(QStringLiteral("Shift+F6")), &TfrmKivMain::previousMessage);

  actProjectAddFile = makeAction("actProjectAddFile", QStringLiteral("&Add to project"), Keys(QStringLiteral("Shift+F11")), &TfrmKivMain::addFiles);
  actProjectRemFile = makeAction("actProjectRemFile", QStringLiteral("&Remove from project"), Keys(), &TfrmKivMain::removeFile);
  actProjectMoveUp = makeAction("actProjectMoveUp", QStringLiteral("Move file &up"), Keys(), &TfrmKivMain::moveFileUp);
  actProjectMoveDown = makeAction("actProjectMoveDown", QStringLiteral("Move file &down"), Keys(), &TfrmKivMain::moveFileDown);
  actProjectBuild = makeAction("actProjectBuild", QStringLiteral("&Build"), Keys(QStringLiteral("Ctrl+F9")), &TfrmKivMain::BuildCurrent);
  actProjectBuildAll = makeAction("actProjectBuildAll", QStringLiteral("Build a&ll"), Keys(QStringLiteral("F9")), &TfrmKivMain::buildAllCommand);
  actProjectOptions = makeAction("actProjectOptions", QStringLiteral("Project &options"), Keys(QStringLiteral("Alt+O")), &TfrmKivMain::projectOptions);

  actViewExplorer = makeAction("actViewExplorer", QStringLiteral("Project &explorer"), Keys(), &TfrmKivMain::toggleExplorer);
  actViewExplorer->setCheckable(true);
  actViewExplorer->setChecked(true);
  actViewMessages = makeAction("actViewMessages", QStringLiteral("&Messages"), Keys(), &TfrmKivMain::toggleMessages);
  actViewMessages->setCheckable(true);
  actViewMessages->setChecked(true);
  actViewTestPanel = makeAction("actViewTestPanel", QStringLiteral("Te&st panel"), Keys(QStringLiteral("F12")), &TfrmKivMain::toggleTestPanel);
  actViewTestPanel->setCheckable(true);
  connect(FTestDock, &QDockWidget::visibilityChanged, this, [this] { actViewTestPanel->setChecked(!FTestDock->isHidden()); });
  actViewNextPage = makeAction("actViewNextPage", QStringLiteral("&Next tab"), Keys(QStringLiteral("Ctrl+Tab")), &TfrmKivMain::nextPage);
  actViewPrevPage = makeAction("actViewPrevPage", QStringLiteral("&Previous tab"), Keys(QStringLiteral("Ctrl+Shift+Tab")), &TfrmKivMain::previousPage);
  actToolsOptions = makeAction("actToolsOptions", QStringLiteral("Environment op&tions"), Keys(), &TfrmKivMain::environmentOptions);
  actHelpAbout = makeAction("actHelpAbout", QStringLiteral("&About Kiv Parser Generator"), Keys(), &TfrmKivMain::about);

  actMessagesCopy = makeAction("actMessagesCopy", QStringLiteral("&Copy"), Keys(), &TfrmKivMain::copyMessages);
  actMessagesClear = makeAction("actMessagesClear", QStringLiteral("C&lear"), Keys(), &TfrmKivMain::clearMessages);
  actMessagesExplain = makeAction("actMessagesExplain", QStringLiteral("E&xplain conflict"), Keys(QStringLiteral("Ctrl+E")), &TfrmKivMain::explainCurrentMessage);

  actFileNewProject->setIcon(themeIcon("document-new", QStyle::SP_FileIcon));
  actFileOpenProject->setIcon(themeIcon("document-open", QStyle::SP_DialogOpenButton));
  actFileWizard->setIcon(kiv::ResourceIcon(QStringLiteral("WsKivLexerIcon")));
  actFileSave->setIcon(themeIcon("document-save", QStyle::SP_DialogSaveButton));
  actFileSaveAll->setIcon(themeIcon("document-save-all", QStyle::SP_DriveFDIcon));
  actEditUndo->setIcon(themeIcon("edit-undo", QStyle::SP_ArrowBack));
  actEditRedo->setIcon(themeIcon("edit-redo", QStyle::SP_ArrowForward));
  actSearchFind->setIcon(themeIcon("edit-find", QStyle::SP_FileDialogContentsView));
  actProjectAddFile->setIcon(themeIcon("list-add", QStyle::SP_FileDialogNewFolder));
  actProjectRemFile->setIcon(themeIcon("list-remove", QStyle::SP_TrashIcon));
  actProjectMoveUp->setIcon(themeIcon("go-up", QStyle::SP_ArrowUp));
  actProjectMoveDown->setIcon(themeIcon("go-down", QStyle::SP_ArrowDown));
  actProjectBuild->setIcon(themeIcon("system-run", QStyle::SP_MediaPlay));
  actProjectBuildAll->setIcon(themeIcon("media-seek-forward", QStyle::SP_MediaSeekForward));
}

void TfrmKivMain::createMenusAndToolBar() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("mnuFile"));
  file->addActions({actFileNewProject, actFileOpenProject, actFileWizard});
  FRecentProjectsMenu = file->addMenu(QStringLiteral("Recent pro&jects"));
  FRecentProjectsMenu->setObjectName(QStringLiteral("mnuRecentProjects"));
  FRecentFilesMenu = file->addMenu(QStringLiteral("Recent f&iles"));
  FRecentFilesMenu->setObjectName(QStringLiteral("mnuRecentFiles"));
  // The lists are read when a menu opens, so they are always current.
  connect(FRecentProjectsMenu, &QMenu::aboutToShow, this,
          [this] { fillRecentMenu(FRecentProjectsMenu, *FRecentProjects, &TfrmKivMain::openRecentProject); });
  connect(FRecentFilesMenu, &QMenu::aboutToShow, this,
          [this] { fillRecentMenu(FRecentFilesMenu, *FRecentFiles, &TfrmKivMain::openRecentFile); });
  file->addSeparator();
  file->addActions({actFileSave, actFileSaveAs, actFileSaveProjectAs, actFileSaveAll});
  file->addSeparator();
  file->addActions({actFileClose, actFileCloseAll});
  file->addSeparator();
  file->addActions({actFileExportHTML, actFileExportRTF, actFilePrint});
  file->addSeparator();
  file->addAction(actFileExit);

  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  edit->setObjectName(QStringLiteral("mnuEdit"));
  edit->addActions({actEditUndo, actEditRedo});
  edit->addSeparator();
  edit->addActions({actEditCut, actEditCopy, actEditPaste});
  edit->addSeparator();
  edit->addAction(actEditSelectAll);

  QMenu* search = menuBar()->addMenu(QStringLiteral("&Search"));
  search->setObjectName(QStringLiteral("mnuSearch"));
  search->addActions({actSearchFind, actSearchFindNext, actSearchFindPrev, actSearchReplace});
  search->addSeparator();
  search->addAction(actSearchGoto);
  search->addSeparator();
  search->addActions({actSearchNextMessage, actSearchPrevMessage, actMessagesExplain});

  QMenu* project = menuBar()->addMenu(QStringLiteral("&Project"));
  project->setObjectName(QStringLiteral("mnuProject"));
  project->addActions({actProjectAddFile, actProjectRemFile});
  project->addSeparator();
  project->addActions({actProjectBuild, actProjectBuildAll});
  project->addSeparator();
  project->addAction(actProjectOptions);

  QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
  tools->setObjectName(QStringLiteral("mnuTools"));
  tools->addActions({actViewExplorer, actViewMessages, actViewTestPanel});
  tools->addSeparator();
  tools->addActions({actViewNextPage, actViewPrevPage});
  tools->addSeparator();
  tools->addAction(actToolsOptions);

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->setObjectName(QStringLiteral("mnuHelp"));
  help->addAction(actHelpAbout);

  QToolBar* bar = addToolBar(QStringLiteral("Main"));
  bar->setObjectName(QStringLiteral("tbMain"));
  bar->setMovable(false);
  bar->setIconSize(QSize(16, 16));
  bar->addActions({actFileNewProject, actFileOpenProject, actFileSave, actFileSaveAll});
  bar->addSeparator();
  bar->addActions({actEditUndo, actEditRedo});
  bar->addSeparator();
  bar->addAction(actSearchFind);
  bar->addSeparator();
  bar->addActions({actProjectBuild, actProjectBuildAll});

  // The explorer's buttons; they take no focus, so that the tree keeps it while they are used.
  auto* buttons = FExplorer->findChild<QHBoxLayout*>(QStringLiteral("explorerButtons"));
  for (QAction* action : {actFileWizard, actProjectAddFile, actProjectRemFile, actProjectMoveUp, actProjectMoveDown}) {
    auto* button = new QToolButton;
    button->setObjectName(QStringLiteral("btn_") + action->objectName());
    button->setDefaultAction(action);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRaise(true);
    button->setIconSize(QSize(16, 16));
    buttons->addWidget(button);
  }
  buttons->addStretch();

  FMessageMenu = new QMenu(this);
  FMessageMenu->setObjectName(QStringLiteral("pmMessages"));
  FMessageMenu->addAction(actMessagesExplain);
  FMessageMenu->addSeparator();
  FMessageMenu->addActions({actMessagesCopy, actMessagesClear});
}

void TfrmKivMain::applySavedBounds() {
  const int left = BoundSetting(FSettings, kMainForm, kLeft);
  const int top = BoundSetting(FSettings, kMainForm, kTop);
  const int width = BoundSetting(FSettings, kMainForm, kWidth);
  const int height = BoundSetting(FSettings, kMainForm, kHeight);
  if (left != kUnsetBound) move(left, y());
  if (top != kUnsetBound) move(x(), top);
  if (width != kUnsetBound) resize(width, this->height());
  if (height != kUnsetBound) resize(this->width(), height);
}

void TfrmKivMain::storeBounds() {
  // A maximized window stores the bounds it returns to.
  const bool maximized = isMaximized() && normalGeometry().isValid();
  const QPoint position = maximized ? normalGeometry().topLeft() : pos();
  const QSize extent = maximized ? normalGeometry().size() : size();
  FSettings.Put(key(kMainForm), key(kLeft), position.x());
  FSettings.Put(key(kMainForm), key(kTop), position.y());
  FSettings.Put(key(kMainForm), key(kWidth), extent.width());
  FSettings.Put(key(kMainForm), key(kHeight), extent.height());
}

void TfrmKivMain::closeEvent(QCloseEvent* event) {
  if (FProject && !FProject->Close()) {
    event->ignore();
    UpdateState();
    return;
  }
  event->accept();
}

void TfrmKivMain::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // Back from another program: it may have changed the grammars' files.
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) SyncWithDisk();
}

// ---------------------------------------------------------------------------------------------
// State

TqvWsKivProject* TfrmKivMain::Project() const { return dynamic_cast<TqvWsKivProject*>(FProject.get()); }

IqvWsModulePtr TfrmKivMain::moduleOfPage(const QWidget* page) const {
  if (!page || !FProject) return nullptr;
  for (int i = 0; i < FProject->ChildCount(); ++i) {
    const IqvWsModulePtr child = FProject->Child(i);
    if (child->GetEditor() && child->GetEditor()->GetParent() == page) return child;
  }
  return nullptr;
}

IqvWsModulePtr TfrmKivMain::CurrentModule() const { return moduleOfPage(FPages->currentWidget()); }

void TfrmKivMain::followCurrentEditor() {
  const IqvWsModulePtr module = CurrentModule();
  TqvWsKivProject* project = Project();
  const QString exchangeDir =
      project ? kiv::ResolveProjectDirectory(kiv::ProjectFolder(*FProject), project->GetExchangeDir()) : QString();
  FChecker->Follow(module, exchangeDir);
  FTestPanel->Follow(FProject, module, exchangeDir);
}

IqvWsModuleEditor* TfrmKivMain::CurrentEditor() const {
  const IqvWsModulePtr module = CurrentModule();
  return module ? module->GetEditor() : nullptr;
}

int TfrmKivMain::ExplorerWidth() const { return FUpperSplitter->sizes().value(0); }
int TfrmKivMain::MessagesHeight() const { return FMessageView->height(); }

bool TfrmKivMain::treeHasGrammarFocus() const {
  if (!FTree->hasFocus()) return false;
  const IqvWsModulePtr selected = FTree->SelectedModule();
  return selected && selected->GetKind() == kiv::kModuleKindGrammar;
}

void TfrmKivMain::syncTabCaptions() {
  // A module saved under a new name keeps its tab, which must carry the new name; a modified
  // module's tab shows a "*" after it.
  if (!FProject) return;
  for (int i = 0; i < FProject->ChildCount(); ++i) {
    const IqvWsModulePtr child = FProject->Child(i);
    if (!child->GetEditor()) continue;
    const int index = FPages->indexOf(child->GetEditor()->GetParent());
    const QString caption = child->GetName() + (child->IsModified() ? QStringLiteral("*") : QString());
    if (index >= 0 && FPages->tabText(index) != caption) FPages->setTabText(index, caption);
    if (index >= 0) FPages->setTabToolTip(index, QDir::toNativeSeparators(child->GetFilePath()));
  }
}

void TfrmKivMain::UpdateState() {
  setWindowTitle(FProject ? key(kTitle) + QStringLiteral(" - ") + FProject->GetName() : key(kTitle));
  syncTabCaptions();

  const bool hasProject = FProject != nullptr;
  const IqvWsModulePtr module = hasProject ? CurrentModule() : nullptr;
  IqvWsModuleEditor* editor = module ? module->GetEditor() : nullptr;

  actFileWizard->setEnabled(hasProject);
  actFileCloseAll->setEnabled(hasProject);
  actFileSaveProjectAs->setEnabled(hasProject);
  actFileSaveAll->setEnabled(hasProject && FProject->IsModified());
  for (QAction* action : {actFileClose, actFileSaveAs, actFilePrint, actFileExportHTML, actFileExportRTF})
    action->setEnabled(module != nullptr);
  actFileSave->setEnabled(module && module->IsModified());

  actEditUndo->setEnabled(editor && editor->CanUndo());
  actEditRedo->setEnabled(editor && editor->CanRedo());
  const bool messagesFocused = FMessageView->hasFocus();
  actEditCut->setEnabled(editor && editor->CanCut());
  actEditCopy->setEnabled(messagesFocused ? !FMessageView->SelectedRows().isEmpty() : editor && editor->CanCopy());
  actEditPaste->setEnabled(editor && editor->CanPaste());
  actEditSelectAll->setEnabled(messagesFocused ? FMessages->Count() > 0 : editor != nullptr);

  const bool hasSearchText = FFindDialog && !FFindDialog->FindText().isEmpty();
  actSearchFind->setEnabled(editor != nullptr);
  actSearchReplace->setEnabled(editor != nullptr);
  actSearchGoto->setEnabled(editor != nullptr);
  actSearchFindNext->setEnabled(editor && hasSearchText);
  actSearchFindPrev->setEnabled(editor && hasSearchText);

  actProjectAddFile->setEnabled(hasProject);
  actProjectOptions->setEnabled(hasProject);
  actProjectBuildAll->setEnabled(hasProject && FProject->ChildCount() > 0);
  actProjectBuild->setEnabled(module != nullptr);
  const bool grammarFocused = hasProject && treeHasGrammarFocus();
  actProjectRemFile->setEnabled(grammarFocused);
  actProjectMoveUp->setEnabled(grammarFocused && FTree->CanMoveUp());
  actProjectMoveDown->setEnabled(grammarFocused && FTree->CanMoveDown());

  bool hasDiagnostics = false;
  for (int row = 0; row < FMessages->Count() && !hasDiagnostics; ++row)
    hasDiagnostics = FMessages->Image(row) == MessageImageKind::Error || FMessages->Image(row) == MessageImageKind::Warning;
  actSearchNextMessage->setEnabled(hasDiagnostics);
  actSearchPrevMessage->setEnabled(hasDiagnostics);
  actMessagesExplain->setEnabled(FMessageView->currentIndex().isValid() && IsExplainable(FMessageView->currentIndex().row()));
  FExplainView->SetWitnessRunnable(isSignalConnected(QMetaMethod::fromSignal(&TfrmKivMain::WitnessRunRequested)));
  actViewNextPage->setEnabled(FPages->count() > 1);
  actViewPrevPage->setEnabled(FPages->count() > 1);
}

void TfrmKivMain::afterCommand() { UpdateState(); }


void TfrmKivMain::toggleExplorer() {
  QList<int> sizes = FUpperSplitter->sizes();
  if (sizes.value(0) > 0) {
    FExplorerWidth = sizes[0];
    sizes[1] += sizes[0];
    sizes[0] = 0;
  } else {
    sizes[0] = FExplorerWidth;
    sizes[1] = std::max(0, sizes[1] - FExplorerWidth);
  }
  FUpperSplitter->setSizes(sizes);
  actViewExplorer->setChecked(FUpperSplitter->sizes().value(0) > 0);
}

void TfrmKivMain::toggleMessages() {
  constexpr int kHiddenHeight = 10;
  // The dock's title bar and frame come on top of the list's own height.
  const int chrome = FMessageDock->height() - FMessageView->height();
  const bool hiding = FMessageView->height() > kHiddenHeight;
  if (hiding) FMessagesHeight = FMessageView->height();
  resizeDocks({FMessageDock}, {(hiding ? kHiddenHeight : FMessagesHeight) + chrome}, Qt::Vertical);
  // Apply the new sizes now, so that the list's height can be read at once.
  QApplication::sendPostedEvents(this, QEvent::LayoutRequest);
  if (layout()) layout()->activate();
  actViewMessages->setChecked(FMessageView->height() > kHiddenHeight);
}

void TfrmKivMain::toggleTestPanel() {
  if (!FTestDock->isHidden()) {
    FTestDock->hide();
    return;
  }
  FTestDock->show();
  FTestDock->raise();
  // The bottom area grows to a height that a sample and its tree can be read in.
  constexpr int kTestHeight = 260;
  if (FTestDock->height() < kTestHeight) resizeDocks({FTestDock}, {kTestHeight}, Qt::Vertical);
  // Beside the message list it takes two thirds of the width.
  if (!FTestDock->isFloating() && FMessageDock->isVisible() && dockWidgetArea(FTestDock) == dockWidgetArea(FMessageDock))
    resizeDocks({FMessageDock, FTestDock}, {width() / 3, width() - width() / 3}, Qt::Horizontal);
  FTestPanel->SampleEdit()->setFocus();
}

void TfrmKivMain::nextPage() {
  if (FPages->count() > 1) FPages->setCurrentIndex((FPages->currentIndex() + 1) % FPages->count());
}

void TfrmKivMain::previousPage() {
  if (FPages->count() > 1) FPages->setCurrentIndex((FPages->currentIndex() + FPages->count() - 1) % FPages->count());
}

void TfrmKivMain::about() {
  kiv::Prompter().ShowMessage(this, kiv::MessageKind::Information, QStringLiteral("About Kiv Parser Generator"),
                              kiv::AboutText());
}

void TfrmKivMain::environmentOptions() {
  TfrmOptions dialog(FSettings, this);
  dialog.exec();
}

