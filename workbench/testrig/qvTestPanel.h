// qvTestPanel.h
// TqvTestPanel: the Test panel of the main window. It runs the grammar shown in the editor on a
// sample input with the test rig, a short pause after the grammar or the sample changes, on a
// worker thread (typing never waits; a result for a text that has changed meanwhile is dropped),
// and shows the tokens, the parse tree and the decision trace, with the error marked in the
// sample. A parser reads the tokens of the project's lexer whose vocabulary it imports; a lexer
// alone tokenizes. Samples are remembered per grammar beside the project (qvTestSamples.h).
#pragma once

#include <QFutureWatcher>
#include <QTemporaryDir>
#include <QWidget>
#include <Qsci/qscistyle.h>
#include <atomic>
#include <memory>
#include <utility>

#include "workbench/qvTextFile.h"
#include "workbench/qvWsModuleIntf.h"
#include "workbench/testrig/qvTestRun.h"

class QComboBox;
class QLabel;
class QModelIndex;
class QStandardItemModel;
class QTabWidget;
class QTimer;
class QToolButton;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;
class QsciScintilla;

class TqvTestPanel : public QWidget {
  Q_OBJECT
public:
  static constexpr int kDefaultPauseMs = 500;
  // Enough for a few megabytes of input; a run past it ends with a message.
  static constexpr std::uint64_t kStepBudget = 50'000'000;
  // Rows shown at most in the tree, the token list and the trace.
  static constexpr int kMaxRows = 20000;
  // The sample editor's indicator for errors.
  static constexpr int kErrorIndicator = 9;
  // Item data of tree nodes and tokens: their span in the sample (bytes) and their rule.
  enum Role { BeginRole = Qt::UserRole + 1, EndRole, RuleRole, LineRole };

  explicit TqvTestPanel(QWidget* parent = nullptr);
  // Writes the sample and waits for a run under way (its result is dropped).
  ~TqvTestPanel() override;

  void SetPause(int milliseconds);
  // The project and the grammar shown in the editor, which the panel tests; the exchange folder
  // holds the vocabularies built earlier.
  void Follow(const IqvWsModulePtr& project, const IqvWsModulePtr& module, const QString& exchangeDir);
  // Something may have changed (a grammar's text): a new state restarts the pause.
  void Poke();
  // Reads a sample from a file into the sample editor; false with `error` set when it cannot.
  bool LoadSampleFile(const QString& path, QString& error);
  // Writes the sample of the grammar tested now into the project's samples folder (nothing when
  // the project has not been saved yet).
  void SaveSample();

  QsciScintilla* SampleEdit() const { return FSample; }
  QComboBox* StartRules() const { return FRules; }
  QTreeView* TreeView() const { return FTree; }
  QStandardItemModel* TreeModel() const { return FTreeModel; }
  QTreeWidget* TokenList() const { return FTokens; }
  QTreeWidget* TraceList() const { return FTrace; }
  QTabWidget* Pages() const { return FPages; }
  QLabel* StatusLabel() const { return FStatus; }
  // The grammar tested now (null when none).
  IqvWsModulePtr TestedModule() const { return FModule.lock(); }
  bool IsRunning() const { return FWatcher.isRunning(); }
  int ShownCount() const { return FShown; }
  int DroppedCount() const { return FDropped; }
  // The span of the marked error in the sample editor (positions), {-1, -1} when none.
  std::pair<int, int> ErrorMark() const { return FErrorMark; }

public slots:
  // Runs `sample` from `startRule` at once (no pause) and shows the panel: what another view
  // asks to see run, such as the witness of a conflict. An empty rule keeps the chosen one.
  void RunSample(const QString& sample, const QString& startRule);

signals:
  // A run's result was shown.
  void Shown();

protected:
  void showEvent(QShowEvent* event) override;

private:
  void buildWidgets();
  QString signature() const;
  void start();
  void finished();
  void showOutcome(const kiv::testrig::RunOutcome& outcome);
  void clearResults();
  void fillRules(const kiv::testrig::RunOutcome& outcome);
  void fillTokens(const kiv::interp::RunResult& result);
  void fillTree(const kiv::interp::RunResult& result);
  void fillTrace(const kiv::testrig::RunOutcome& outcome);
  void markErrors(const kiv::interp::RunResult& result);
  void loadSampleCommand();
  void loadStoredSample();
  // The sample's bytes as its file holds them.
  std::string sampleBytes() const;
  int positionOf(std::size_t offset) const;
  void selectSpan(std::size_t begin, std::size_t end);
  // Selects the definition of `rule` in the tested grammar's editor.
  void selectRule(const QString& rule);
  void nodeChosen(const QModelIndex& index);
  void tokenChosen(QTreeWidgetItem* item);
  void traceChosen(QTreeWidgetItem* item);
  QString projectFolder() const;

  QsciScintilla* FSample = nullptr;
  QComboBox* FRules = nullptr;
  QToolButton* FLoad = nullptr;
  QLabel* FStatus = nullptr;
  QTabWidget* FPages = nullptr;
  QTreeView* FTree = nullptr;
  QStandardItemModel* FTreeModel = nullptr;
  QTreeWidget* FTokens = nullptr;
  QTreeWidget* FTrace = nullptr;
  QsciStyle FErrorStyle;

  QTimer* FPause;
  QFutureWatcher<kiv::testrig::RunOutcome> FWatcher;
  kiv::testrig::GrammarCache FCache;
  QTemporaryDir FStaging;
  std::weak_ptr<IqvWsModule> FProject;
  std::weak_ptr<IqvWsModule> FModule;
  QString FExchangeDir;
  kiv::TextFormat FSampleFormat;
  int FSampleRevision = 0;
  // The rule asked for before the grammar's rules are known.
  QString FWantedRule;
  QString FScheduledSignature;
  QString FRunningSignature;
  QString FShownSignature;
  std::shared_ptr<std::atomic<bool>> FRunningCancel;
  std::string FRunningSample;
  bool FStartWhenDone = false;
  bool FFilling = false;
  std::pair<int, int> FErrorMark{-1, -1};
  // The rules of the tested grammar with their lines, from the last result.
  std::vector<kiv::interp::RuleInfo> FRuleInfo;
  // The result shown (the names in it point into its grammars).
  std::shared_ptr<kiv::testrig::RunOutcome> FOutcome;
  int FShown = 0;
  int FDropped = 0;
};
