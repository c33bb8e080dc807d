// qvKivMain.cpp
// The main window: layout, actions and menus, start-up and closing, the project commands, the
// build of one or all grammars with the message list as the generator's error handler, and
// the enabling of every command.
#include "workbench/qvKivMain.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "workbench/authoring/qvWsKivGrammarWizards.h"
#include "workbench/qvBuildCommand.h"
#include "workbench/qvIcons.h"
#include "workbench/qvMessageList.h"
#include "workbench/qvOptionsDialog.h"
#include "workbench/qvProjectOptionsDialog.h"
#include "workbench/qvPrompter.h"
#include "workbench/qvStatusPanels.h"
#include "workbench/qvTextFile.h"
#include "workbench/qvWorkbenchSettings.h"
#include "workbench/qvWsKivProject.h"
#include "workbench/qvWsKivWizards.h"
#include "workbench/qvWsTreeView.h"

using kiv::MessageImageKind;
using namespace kiv::settings;

namespace {

QString key(const char* text) { return QString::fromLatin1(text); }

// Lets the window repaint during a build without taking the user's input, so that no command
// starts while a build runs.
void letWindowMessagesRun() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

// The hourglass for the length of a scope.
class WaitCursor {
public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

// The generator's lines are 8-bit text: UTF-8 when they are valid UTF-8, Latin-1 otherwise.
QString decodeLine(const std::string& text) {
  kiv::TextFormat format;
  return kiv::DecodeText(QByteArray(text.data(), static_cast<qsizetype>(text.size())), format);
}

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
      if (IqvWsModulePtr project = FProjectWizard->OpenProject(path)) setProject(project);
      else
        kiv::Prompter().ShowMessage(this, kiv::MessageKind::Error, key(kTitle),
                                    QStringLiteral("Cannot open the project \"%1\".").arg(path));
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
                                                               FFindDialog ? FFindDialog->FindEdit() : nullptr})
    if (sender) sender->disconnect(this);
  if (FProject) {
    for (int i = 0; i < FProject->ChildCount(); ++i)
      if (IqvWsModuleEditor* editor = FProject->Child(i)->GetEditor()) editor->SetStatusHandler(nullptr);
    FTree->HideModule(FProject.get());
    FProject.reset();
  }
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

  FMessages = new kiv::MessageListModel(this);
  FMessageView = new kiv::MessageListView;
  FMessageView->setModel(FMessages);
  // Hidden, the list keeps a 10-pixel strip; its scroll area would otherwise insist on more.
  FMessageView->setMinimumHeight(1);
  FMainSplitter = new QSplitter(Qt::Vertical);
  FMainSplitter->setObjectName(QStringLiteral("splitMessages"));
  FMainSplitter->addWidget(FUpperSplitter);
  FMainSplitter->addWidget(FMessageView);
  FMainSplitter->setStretchFactor(0, 1);
  FMainSplitter->setSizes({520, FMessagesHeight});
  setCentralWidget(FMainSplitter);

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
            UpdateState();
          });
  connect(FFindDialog, &kiv::FindReplaceDialog::ReplaceRequested, this,
          [this](const QString& text, const QString& replacement, kiv::FindOptions options) {
            if (IqvWsModuleEditor* editor = CurrentEditor()) editor->Replace(text, replacement, options);
            UpdateState();
          });
  connect(FFindDialog->FindEdit(), &QLineEdit::textChanged, this, &TfrmKivMain::UpdateState);

  connect(FTree, &TqvWsTreeView::Changed, this, &TfrmKivMain::UpdateState);
  // Double-clicking a grammar in the tree (or pressing Enter on it) opens it in the editor area.
  connect(FTree, &QTreeWidget::itemActivated, this, [this] {
    const IqvWsModulePtr module = FTree->SelectedModule();
    if (!module || module->GetKind() != kiv::kModuleKindGrammar || !OpenModule(module)) return;
    if (IqvWsModuleEditor* editor = module->GetEditor()) editor->Focus();
  });
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
    if (old == FTree || now == FTree) UpdateState();
  });
  connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &TfrmKivMain::UpdateState);
  connect(FPages, &QTabWidget::currentChanged, this, [this] {
    if (IqvWsModuleEditor* editor = CurrentEditor()) {
      editor->Focus();
      editor->UpdateStatus();
    }
    UpdateState();
  });
  connect(FMessageView, &QAbstractItemView::doubleClicked, this, &TfrmKivMain::messageActivated);
  // The pop-up menu is attached only while the list has items, however they got there.
  const auto attachMenu = [this] {
    FMessageView->setContextMenuPolicy(FMessages->Count() > 0 ? Qt::CustomContextMenu : Qt::NoContextMenu);
  };
  connect(FMessages, &QAbstractItemModel::rowsInserted, this, attachMenu);
  connect(FMessages, &QAbstractItemModel::rowsRemoved, this, attachMenu);
  connect(FMessages, &QAbstractItemModel::modelReset, this, attachMenu);
  attachMenu();
  connect(FMessageView, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { FMessageMenu->exec(FMessageView->viewport()->mapToGlobal(pos)); });
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
  actFileNewProject = makeAction("actFileNewProject", QStringLiteral("New project"), Keys(QStringLiteral("Ctrl+N")), &TfrmKivMain::newProject);
  actFileOpenProject = makeAction("actFileOpenProject", QStringLiteral("Open project"), Keys(QStringLiteral("Ctrl+O")), &TfrmKivMain::openProject);
  actFileWizard = makeAction("actFileWizard", QStringLiteral("New grammar..."), Keys(), &TfrmKivMain::newGrammar);
  actFileWizard->setToolTip(QStringLiteral("Create new grammar"));
  actFileWizard->setStatusTip(QStringLiteral("Create new grammar"));
  actFileSave = makeAction("actFileSave", QStringLiteral("Save"), Keys(QStringLiteral("Ctrl+S")), &TfrmKivMain::saveModule);
  actFileSaveAs = makeAction("actFileSaveAs", QStringLiteral("Save as..."), Keys(), &TfrmKivMain::saveModuleAs);
  actFileSaveProjectAs = makeAction("actFileSaveProjectAs", QStringLiteral("Save project as..."), Keys(), &TfrmKivMain::saveProjectAs);
  actFileSaveAll = makeAction("actFileSaveAll", QStringLiteral("Save all"), Keys(), &TfrmKivMain::saveAll);
  actFileClose = makeAction("actFileClose", QStringLiteral("Close"), Keys(QStringLiteral("Ctrl+F4")), &TfrmKivMain::closeModule);
  actFileCloseAll = makeAction("actFileCloseAll", QStringLiteral("Close all"), Keys(), &TfrmKivMain::closeAllCommand);
  actFileExportHTML = makeAction("actFileExportHTML", QStringLiteral("Export to HTML"), Keys(), &TfrmKivMain::exportHtml);
  actFileExportRTF = makeAction("actFileExportRTF", QStringLiteral("Export to RTF"), Keys(), &TfrmKivMain::exportRtf);
  actFilePrint = makeAction("actFilePrint", QStringLiteral("Print"), Keys(), &TfrmKivMain::print);
  actFileExit = new QAction(QStringLiteral("Exit"), this);
  actFileExit->setObjectName(QStringLiteral("actFileExit"));
  connect(actFileExit, &QAction::triggered, this, &QWidget::close);

  actEditUndo = makeAction("actEditUndo", QStringLiteral("Undo"), Keys(QStringLiteral("Ctrl+Z")), &TfrmKivMain::undo);
  actEditRedo = makeAction("actEditRedo", QStringLiteral("Redo"), Keys(QStringLiteral("Shift+Ctrl+Z")), &TfrmKivMain::redo);
  actEditCut = makeAction("actEditCut", QStringLiteral("Cut"), Keys(QStringLiteral("Ctrl+X")), &TfrmKivMain::cut);
  actEditCopy = makeAction("actEditCopy", QStringLiteral("Copy"), Keys(QStringLiteral("Ctrl+C")), &TfrmKivMain::copy);
  actEditPaste = makeAction("actEditPaste", QStringLiteral("Paste"), Keys(QStringLiteral("Ctrl+V")), &TfrmKivMain::paste);

  actSearchFind = makeAction("actSearchFind", QStringLiteral("Find"), Keys(QStringLiteral("Ctrl+F")), &TfrmKivMain::find);
  actSearchFindNext = makeAction("actSearchFindNext", QStringLiteral("Find next"), Keys(QStringLiteral("F3")), &TfrmKivMain::findNext);
  actSearchFindPrev = makeAction("actSearchFindPrev", QStringLiteral("Find previous"), Keys(QStringLiteral("Shift+F3")), &TfrmKivMain::findPrevious);
  actSearchReplace = makeAction("actSearchReplace", QStringLiteral("Replace"), Keys(QStringLiteral("Ctrl+R")), &TfrmKivMain::replace);
  actSearchGoto = makeAction("actSearchGoto", QStringLiteral("Goto line number"), Keys(QStringLiteral("Alt+G")), &TfrmKivMain::gotoLine);

  actProjectAddFile = makeAction("actProjectAddFile", QStringLiteral("Add to project"), Keys(QStringLiteral("Shift+F11")), &TfrmKivMain::addFiles);
  actProjectRemFile = makeAction("actProjectRemFile", QStringLiteral("Remove from project"), Keys(), &TfrmKivMain::removeFile);
  actProjectMoveUp = makeAction("actProjectMoveUp", QStringLiteral("Move file up"), Keys(), &TfrmKivMain::moveFileUp);
  actProjectMoveDown = makeAction("actProjectMoveDown", QStringLiteral("Move file down"), Keys(), &TfrmKivMain::moveFileDown);
  actProjectBuild = makeAction("actProjectBuild", QStringLiteral("Build"), Keys(QStringLiteral("Ctrl+F9")), &TfrmKivMain::BuildCurrent);
  actProjectBuildAll = makeAction("actProjectBuildAll", QStringLiteral("Build all"), Keys(QStringLiteral("F9")), &TfrmKivMain::BuildAll);
  actProjectOptions = makeAction("actProjectOptions", QStringLiteral("Project &options"), Keys(QStringLiteral("Alt+O")), &TfrmKivMain::projectOptions);

  actViewExplorer = makeAction("actViewExplorer", QStringLiteral("Project explorer"), Keys(), &TfrmKivMain::toggleExplorer);
  actViewExplorer->setCheckable(true);
  actViewExplorer->setChecked(true);
  actViewMessages = makeAction("actViewMessages", QStringLiteral("Messages"), Keys(), &TfrmKivMain::toggleMessages);
  actViewMessages->setCheckable(true);
  actViewMessages->setChecked(true);
  actToolsOptions = makeAction("actToolsOptions", QStringLiteral("Environment options"), Keys(), &TfrmKivMain::environmentOptions);

  actMessagesCopy = makeAction("actMessagesCopy", QStringLiteral("Copy"), Keys(), &TfrmKivMain::copyMessages);
  actMessagesClear = makeAction("actMessagesClear", QStringLiteral("Clear"), Keys(), &TfrmKivMain::clearMessages);

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

  QMenu* search = menuBar()->addMenu(QStringLiteral("&Search"));
  search->setObjectName(QStringLiteral("mnuSearch"));
  search->addActions({actSearchFind, actSearchFindNext, actSearchFindPrev, actSearchReplace});
  search->addSeparator();
  search->addAction(actSearchGoto);

  QMenu* project = menuBar()->addMenu(QStringLiteral("&Project"));
  project->setObjectName(QStringLiteral("mnuProject"));
  project->addActions({actProjectAddFile, actProjectRemFile});
  project->addSeparator();
  project->addActions({actProjectBuild, actProjectBuildAll});
  project->addSeparator();
  project->addAction(actProjectOptions);

  QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
  tools->setObjectName(QStringLiteral("mnuTools"));
  tools->addActions({actViewExplorer, actViewMessages});
  tools->addSeparator();
  tools->addAction(actToolsOptions);

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->setObjectName(QStringLiteral("mnuHelp"));
  help->menuAction()->setEnabled(false);

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

IqvWsModuleEditor* TfrmKivMain::CurrentEditor() const {
  const IqvWsModulePtr module = CurrentModule();
  return module ? module->GetEditor() : nullptr;
}

int TfrmKivMain::ExplorerWidth() const { return FUpperSplitter->sizes().value(0); }
int TfrmKivMain::MessagesHeight() const { return FMainSplitter->sizes().value(1); }

bool TfrmKivMain::treeHasGrammarFocus() const {
  if (!FTree->hasFocus()) return false;
  const IqvWsModulePtr selected = FTree->SelectedModule();
  return selected && selected->GetKind() == kiv::kModuleKindGrammar;
}

void TfrmKivMain::syncTabCaptions() {
  // A module saved under a new name keeps its tab, which must carry the new name.
  if (!FProject) return;
  for (int i = 0; i < FProject->ChildCount(); ++i) {
    const IqvWsModulePtr child = FProject->Child(i);
    if (!child->GetEditor()) continue;
    const int index = FPages->indexOf(child->GetEditor()->GetParent());
    if (index >= 0 && FPages->tabText(index) != child->GetName()) FPages->setTabText(index, child->GetName());
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
  actEditCut->setEnabled(editor && editor->CanCut());
  actEditCopy->setEnabled(editor && editor->CanCopy());
  actEditPaste->setEnabled(editor && editor->CanPaste());

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

}

void TfrmKivMain::afterCommand() { UpdateState(); }

// ---------------------------------------------------------------------------------------------
// The generator's error handler

void TfrmKivMain::listLine(const std::string& text, MessageImageKind image, int* counter) {
  QString caption = decodeLine(text);
  if (caption.isEmpty()) return;
  if (image != MessageImageKind::None && kiv::MessageListModel::LineNumberOf(caption) <= 0) {
    // Warnings without a line are the lookahead lines that belong to the warning before them.
    // An error without a line during a build still means that the build failed: it is listed
    // (under the module's name when it names none) and counted, so that the summary never
    // reports success for a grammar that was not generated.
    if (image != MessageImageKind::Error || FBuildingModule.isEmpty()) return;
    if (kiv::MessageListModel::ModuleNameOf(caption).isEmpty())
      caption = FBuildingModule + QStringLiteral(": ") + caption;
  }
  if (FMessages->Contains(caption)) return;
  FMessages->AddItem(caption, image);
  if (counter) ++*counter;
}

void TfrmKivMain::HandleWarning(const std::string& Text) { listLine(Text, MessageImageKind::Warning, &FWarningCount); }
void TfrmKivMain::HandleError(const std::string& Text) { listLine(Text, MessageImageKind::Error, &FErrorCount); }
void TfrmKivMain::HandleMessage(const std::string& Text) { listLine(Text, MessageImageKind::None, nullptr); }

// ---------------------------------------------------------------------------------------------
// Builds

bool TfrmKivMain::BuildModule(IqvWsModule* module) {
  TqvWsKivProject* project = Project();
  if (!project) return false;
  // Relative and empty directories are taken from the project file's folder, never from the
  // directory the workbench happened to be started in.
  const QString folder = kiv::ProjectFolder(*FProject);
  const QString outputDir = kiv::ResolveProjectDirectory(folder, project->GetOutputDir());
  const QString exchangeDir = kiv::ResolveProjectDirectory(folder, project->GetExchangeDir());
  const QString projectName = FProject->GetName();
  bool refused = false;
  if (!QFileInfo(outputDir).isDir()) {
    HandleError(QStringLiteral("%1(%2): Grammar units directory \"%3\" doesn't exists. Check project options!")
                    .arg(projectName).arg(1).arg(QDir::toNativeSeparators(outputDir))
                    .toStdString());
    refused = true;
  }
  if (!QFileInfo(exchangeDir).isDir()) {
    HandleError(QStringLiteral("%1(%2): Exchange files directory \"%3\" doesn't exists. Check project options!")
                    .arg(projectName).arg(1).arg(QDir::toNativeSeparators(exchangeDir))
                    .toStdString());
    refused = true;
  }
  if (refused || !module) return false;

  FErrorCount = 0;
  FWarningCount = 0;
  WaitCursor wait;
  letWindowMessagesRun();

  const QString name = module->GetName();
  const std::string text = kiv::GrammarBytes(*module);
  int row = FMessages->AddItem(QStringLiteral("Compiling %1 ...").arg(name), MessageImageKind::Build);
  FMessageView->scrollToBottom();
  letWindowMessagesRun();

  FBuildingModule = name;
  const kiv::ToolRunResult result = kiv::RunGrammarTool(text, name, outputDir, exchangeDir, this);
  if (!result.failure.isEmpty())
    HandleError((QStringLiteral("Unexpected exception: ") + result.failure).toStdString());
  FBuildingModule.clear();
  letWindowMessagesRun();

  // With diagnostics listed, the summary moves below them.
  if (FErrorCount != 0 || FWarningCount != 0) {
    FMessages->RemoveItem(row);
    row = FMessages->AddItem(QString(), MessageImageKind::Build);
  }
  FMessages->SetCaption(row, QStringLiteral("%1: %2 Error(s), %3 Warning(s)").arg(name).arg(FErrorCount).arg(FWarningCount));
  FMessageView->scrollToBottom();
  UpdateState();
  return true;
}

void TfrmKivMain::BuildCurrent() {
  FMessages->Clear();
  BuildModule(CurrentModule().get());
}

void TfrmKivMain::BuildAll() {
  FMessages->Clear();
  if (!FProject) return;
  // The project order as it stands when the build starts.
  std::vector<IqvWsModulePtr> modules;
  for (int i = 0; i < FProject->ChildCount(); ++i) modules.push_back(FProject->Child(i));
  for (const IqvWsModulePtr& module : modules) BuildModule(module.get());
}

void TfrmKivMain::messageActivated(const QModelIndex& index) {
  if (!index.isValid() || !FProject) return;
  if (index.data(kiv::MessageListModel::ImageIndexRole).toInt() >= static_cast<int>(MessageImageKind::Build)) return;
  const QString caption = index.data(Qt::DisplayRole).toString();
  const IqvWsModulePtr module = FProject->FindChild(kiv::MessageListModel::ModuleNameOf(caption));
  if (!module || !OpenModule(module)) return;
  if (IqvWsModuleEditor* editor = module->GetEditor()) {
    editor->GotoLine(kiv::MessageListModel::LineNumberOf(caption));
    editor->Focus();
  }
  UpdateState();
}

void TfrmKivMain::copyMessages() {
  QApplication::clipboard()->setText(FMessages->CopyText(FMessageView->SelectedRows()));
}

void TfrmKivMain::clearMessages() { FMessages->Clear(); }

// ---------------------------------------------------------------------------------------------
// Projects and modules

void TfrmKivMain::setProject(const IqvWsModulePtr& project) {
  FProject = project;
  FTree->ShowModule(project);
  for (int i = 0; i < project->ChildCount(); ++i) FTree->ShowModule(project->Child(i));
}

bool TfrmKivMain::OpenModule(const IqvWsModulePtr& module) {
  if (!module) return false;
  const bool hadEditor = module->GetEditor() != nullptr;
  if (!module->OpenEditor(FPages, FStatus)) return false;
  if (!hadEditor)
    if (IqvWsModuleEditor* editor = module->GetEditor())
      editor->SetStatusHandler([this](QsciScintilla*) { UpdateState(); });
  UpdateState();
  return true;
}

void TfrmKivMain::newProject() {
  FMessages->Clear();
  if (FProject && !closeAll()) return;
  const IqvWsModulePtr project = FProjectWizard->New();
  setProject(project);
  QVariant unitDir, xchgDir;
  FSettings.Get(key(kProject), key(kDefaultUnitDir), unitDir);
  FSettings.Get(key(kProject), key(kDefaultXchgDir), xchgDir);
  Project()->SetOutputDir(unitDir.toString());
  Project()->SetExchangeDir(xchgDir.toString());
  project->SetModified(false);
  UpdateState();
  if (!BoolSetting(FSettings, kOptions, kWizardProject)) return;
  show();
  letWindowMessagesRun();
  if (BoolSetting(FSettings, kOptions, kLexerWizard)) runWizard(FLexerWizard.get());
  if (BoolSetting(FSettings, kOptions, kParserWizard)) runWizard(FParserWizard.get());
}

void TfrmKivMain::openProject() {
  FMessages->Clear();
  const IqvWsModulePtr project = FProjectWizard->OpenProject(QString());
  if (!project) return;
  if (FProject && !closeAll()) return;
  setProject(project);
  project->SetModified(false);
}

bool TfrmKivMain::closeAll() {
  FMessages->Clear();
  if (!FProject) return true;
  if (!FProject->Close()) return false;
  FTree->HideModule(FProject.get());
  FProject.reset();
  return true;
}

void TfrmKivMain::closeAllCommand() { closeAll(); }

void TfrmKivMain::runWizard(IqvWsModuleWizard* wizard) {
  if (!wizard || !FProject) return;
  // A cancelled wizard answers the module it made before.
  auto* moduleWizard = dynamic_cast<TqvWsModuleWizard*>(wizard);
  const IqvWsModulePtr before = moduleWizard ? moduleWizard->GetCurrentModule() : nullptr;
  const IqvWsModulePtr module = wizard->New();
  if (!module || module == before) return;
  addNewModule(module);
}

void TfrmKivMain::addNewModule(const IqvWsModulePtr& module) {
  // A grammar file of the wizard's default name may already be in the project: the new module
  // then takes the next free number rather than being lost.
  if (FProject->FindChild(module->GetName())) {
    if (auto* named = dynamic_cast<TqvWsModule*>(module.get())) {
      QString base = module->GetName();
      while (!base.isEmpty() && base.back().isDigit()) base.chop(1);
      int number = 1;
      while (FProject->FindChild(base + QString::number(number))) ++number;
      named->SetName(base + QString::number(number));
    }
  }
  if (FProject->AddChild(module) < 0) return;
  FTree->ShowModule(module);
  OpenModule(module);
  module->SetModified(true);
  if (IqvWsModuleEditor* editor = module->GetEditor()) editor->Focus();
}

void TfrmKivMain::newGrammar() {
  if (!FProject) return;
  IqvWsModuleWizard* wizard = FRegistry.Choose(this);
  if (wizard) runWizard(wizard);
}

void TfrmKivMain::saveModule() {
  if (FPages->count() == 0 || !FPages->currentWidget()) {
    kiv::Prompter().ShowMessage(this, kiv::MessageKind::Information, key(kTitle), QStringLiteral("no active page"));
    return;
  }
  const IqvWsModulePtr module = CurrentModule();
  if (!module) {
    kiv::Prompter().ShowMessage(this, kiv::MessageKind::Information, key(kTitle), QStringLiteral("no module"));
    return;
  }
  module->Save();
}

void TfrmKivMain::saveModuleAs() {
  const IqvWsModulePtr module = CurrentModule();
  if (!module || !module->SaveAs()) return;
  // The project now lists the grammar under its new path.
  FProject->SetModified(true);
  syncTabCaptions();
}

void TfrmKivMain::saveProjectAs() {
  if (FProject) FProject->SaveAs();
}

void TfrmKivMain::saveAll() {
  if (FProject) FProject->Save();
}

void TfrmKivMain::closeModule() {
  if (const IqvWsModulePtr module = CurrentModule()) module->Close();
}

void TfrmKivMain::exportHtml() {
  if (const IqvWsModulePtr module = CurrentModule())
    if (module->GetEditor()) module->GetEditor()->ExportHTML(module->GetName());
}

void TfrmKivMain::exportRtf() {
  if (const IqvWsModulePtr module = CurrentModule())
    if (module->GetEditor()) module->GetEditor()->ExportRTF(module->GetName());
}

void TfrmKivMain::print() {
  if (const IqvWsModulePtr module = CurrentModule())
    if (module->GetEditor()) module->GetEditor()->Print(module->GetName(), QString());
}

void TfrmKivMain::addFiles() {
  if (!FProject) return;
  kiv::FileDialogRequest request;
  request.title = QStringLiteral("Open ") + FGrammarWizard->GetIdentity().fileTypeName + QStringLiteral("...");
  request.directory = kiv::ProjectFolder(*FProject);
  request.filter = FGrammarWizard->GetIdentity().filter;
  request.defaultExtension = FGrammarWizard->GetIdentity().defaultExtension;
  const QStringList files = kiv::Prompter().ChooseOpenFiles(this, request);
  for (const QString& file : files) {
    const IqvWsModulePtr module = FGrammarWizard->Open(file);
    if (!module) continue;
    const int added = FProject->AddChild(module);
    if (added == -2) {
      HandleError((FProject->GetName() + QStringLiteral("(1): Module \"") + module->GetName() +
                   QStringLiteral("\" already in the project"))
                      .toStdString());
      continue;
    }
    if (added < 0) continue;
    FTree->ShowModule(module);
    OpenModule(module);
  }
}

void TfrmKivMain::removeFile() {
  const IqvWsModulePtr module = FTree->SelectedModule();
  if (!FProject || !module || module->GetKind() != kiv::kModuleKindGrammar) return;
  if (!module->Close()) return;
  FProject->RemoveChild(module.get());
}

void TfrmKivMain::moveFileUp() { FTree->MoveUp(); }
void TfrmKivMain::moveFileDown() { FTree->MoveDown(); }

void TfrmKivMain::projectOptions() {
  TqvWsKivProject* project = Project();
  if (!project) return;
  TfrmProjectOptions dialog(FSettings, this);
  dialog.SetOutputDir(project->GetOutputDir());
  dialog.SetExchangeDir(project->GetExchangeDir());
  if (dialog.exec() != QDialog::Accepted) return;
  project->SetOutputDir(dialog.OutputDir());
  project->SetExchangeDir(dialog.ExchangeDir());
  FProject->SetModified(true);
}

void TfrmKivMain::environmentOptions() {
  TfrmOptions dialog(FSettings, this);
  dialog.exec();
}

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
  QList<int> sizes = FMainSplitter->sizes();
  if (sizes.value(1) > kHiddenHeight) {
    FMessagesHeight = sizes[1];
    sizes[0] += sizes[1] - kHiddenHeight;
    sizes[1] = kHiddenHeight;
  } else {
    sizes[0] = std::max(0, sizes[0] + sizes[1] - FMessagesHeight);
    sizes[1] = FMessagesHeight;
  }
  FMainSplitter->setSizes(sizes);
  actViewMessages->setChecked(FMainSplitter->sizes().value(1) > kHiddenHeight);
}

// ---------------------------------------------------------------------------------------------
// Edit and search, forwarded to the current editor

void TfrmKivMain::undo() {
  if (IqvWsModuleEditor* editor = CurrentEditor()) editor->Undo();
}
void TfrmKivMain::redo() {
  if (IqvWsModuleEditor* editor = CurrentEditor()) editor->Redo();
}
void TfrmKivMain::cut() {
  if (IqvWsModuleEditor* editor = CurrentEditor()) editor->Cut();
}
void TfrmKivMain::copy() {
  if (IqvWsModuleEditor* editor = CurrentEditor()) editor->Copy();
}
void TfrmKivMain::paste() {
  if (IqvWsModuleEditor* editor = CurrentEditor()) editor->Paste();
}

void TfrmKivMain::find() {
  if (CurrentEditor()) FFindDialog->ShowAs(kiv::FindReplaceDialog::Mode::Find);
}

void TfrmKivMain::replace() {
  if (CurrentEditor()) FFindDialog->ShowAs(kiv::FindReplaceDialog::Mode::Replace);
}

void TfrmKivMain::searchAgain(bool forward) {
  IqvWsModuleEditor* editor = CurrentEditor();
  if (!editor) return;
  if (FFindDialog->FindText().isEmpty()) {
    find();
    return;
  }
  kiv::FindOptions options = FFindDialog->Options();
  if (forward) options |= kiv::FindOption::Down;
  else options &= ~kiv::FindOptions(kiv::FindOption::Down);
  editor->Find(FFindDialog->FindText(), options);
}

void TfrmKivMain::findNext() { searchAgain(true); }
void TfrmKivMain::findPrevious() { searchAgain(false); }

void TfrmKivMain::gotoLine() {
  IqvWsModuleEditor* editor = CurrentEditor();
  if (!editor) return;
  const int lineCount = std::max(1, static_cast<int>(editor->GetLines().size()));
  int line = 1;
  if (!kiv::Prompter().AskNumber(this, QStringLiteral("Goto line number"), QStringLiteral("Line number:"), 1, 1,
                                 lineCount, line))
    return;
  editor->GotoLine(line);
  editor->Focus();
}
