// qvExplainView.h
// TqvExplainView: the Explanation panel. It explains one nondeterminism report of the message
// list on its grammar's current text (on a worker thread: the explainer's searches are bounded,
// but may take a moment on a large grammar) and shows the class line, the witness, the input
// that reaches it, both derivations side by side (a click on a step opens its grammar line), the
// consequence and the fixes. Both branches are marked in the grammar's editor. When something
// can run a sample (the Test panel), the witness can be handed to it.
#pragma once

#include <QFutureWatcher>
#include <QWidget>
#include <memory>
#include <optional>

#include "workbench/explain/qvConflictExplain.h"
#include "workbench/qvWsModuleIntf.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class TqvExplainView : public QWidget {
  Q_OBJECT
public:
  // Columns of the two derivation lists.
  enum Column { StepColumn = 0, RuleColumn = 1, LineColumn = 2 };

  explicit TqvExplainView(QWidget* parent = nullptr);
  // Waits for an explanation under way (its result is dropped).
  ~TqvExplainView() override;

  // Explains the report `caption` (listed with `column`, 0 when unknown) of `module`, on the
  // module's text as it is now; the exchange folder holds the vocabularies it imports. Asked
  // while another explanation runs, the newer request follows it and the older result is
  // dropped.
  void Explain(const IqvWsModulePtr& module, const QString& caption, int column, const QString& exchangeDir);
  // Shows the button that hands the witness to a runner (see RunWitnessRequested).
  void SetWitnessRunnable(bool runnable);
  // Removes the branch marks from the explained grammar's editor.
  void ClearMarks();

  bool IsRunning() const { return FWatcher.isRunning(); }
  // The explanation shown (its kind is Failed before the first one).
  const kiv::ExplainOutcome& Outcome() const { return FOutcome; }
  IqvWsModulePtr ExplainedModule() const { return FModule.lock(); }
  // The marks last put into the editor (empty when the text had changed meanwhile).
  const kiv::ConflictMarks& Marks() const { return FMarks; }
  QLabel* Headline() const { return FHeadline; }
  QTreeWidget* PathList(int side) const { return side == 0 ? FPathA : FPathB; }
  QLineEdit* SampleEdit() const { return FSample; }
  QPushButton* RunButton() const { return FRun; }

signals:
  // A derivation step was chosen: its grammar line should be shown.
  void StepChosen(IqvWsModule* module, int line);
  // The witness should be run: `sample` from rule `startRule` of `module`.
  void RunWitnessRequested(IqvWsModule* module, const QString& sample, const QString& startRule);
  // An explanation (or the reason there is none) is shown.
  void Shown();

private:
  struct Pending {
    std::weak_ptr<IqvWsModule> module;
    int revision = -1;
    QString caption;
    kiv::TextFormat format;
    kiv::ExplainRequest request;
  };

  void buildWidgets();
  void start(Pending pending);
  void finished();
  void showOutcome(const kiv::ExplainOutcome& outcome);
  void fillPath(QTreeWidget* list, const kiv::DerivationPath& path);
  void markBranches();
  void stepChosen(QTreeWidgetItem* item);

  QLabel* FHeadline = nullptr;
  QLabel* FReport = nullptr;
  QLabel* FWitness = nullptr;
  QLabel* FInput = nullptr;
  QTreeWidget* FPathA = nullptr;
  QTreeWidget* FPathB = nullptr;
  QLabel* FConsequence = nullptr;
  QLabel* FFixes = nullptr;
  QLineEdit* FSample = nullptr;
  QPushButton* FRun = nullptr;
  QWidget* FRunRow = nullptr;

  QFutureWatcher<kiv::ExplainOutcome> FWatcher;
  Pending FRunning;
  std::optional<Pending> FNext;
  // The explanation shown, the module and text it is about, and the editor revision explained.
  kiv::ExplainOutcome FOutcome;
  std::weak_ptr<IqvWsModule> FModule;
  std::string FText;
  kiv::TextFormat FFormat;
  int FRevision = -1;
  kiv::ConflictMarks FMarks;
};
