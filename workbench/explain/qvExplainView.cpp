// qvExplainView.cpp
// The panel's widgets, the worker run of an explanation, what it shows and the editor's marks.
#include "workbench/explain/qvExplainView.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include "workbench/qvBuildCommand.h"

namespace {

QLabel* wrappingLabel(const char* name) {
  auto* label = new QLabel;
  label->setObjectName(QString::fromLatin1(name));
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

QTreeWidget* pathList(const char* name) {
  auto* list = new QTreeWidget;
  list->setObjectName(QString::fromLatin1(name));
  list->setColumnCount(3);
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->header()->setStretchLastSection(false);
  list->header()->setSectionResizeMode(TqvExplainView::StepColumn, QHeaderView::Stretch);
  list->header()->setSectionResizeMode(TqvExplainView::RuleColumn, QHeaderView::ResizeToContents);
  list->header()->setSectionResizeMode(TqvExplainView::LineColumn, QHeaderView::ResizeToContents);
  return list;
}

QString fromEngine(const std::string& text) {
  kiv::TextFormat format;
  return kiv::DecodeText(QByteArray(text.data(), static_cast<qsizetype>(text.size())), format);
}

// The explanation's printed lines by their label ("witness", "input", "consequence", "fix"), so
// that the panel says what `kiv build --explain` says.
QStringList linesLabelled(const kiv::Explanation& explanation, const QString& label) {
  QStringList found;
  const QString prefix = label + QStringLiteral(": ");
  for (const std::string& line : kiv::ExplanationLines(explanation)) {
    const QString text = fromEngine(line).trimmed();
    if (text.startsWith(prefix)) found << text.mid(prefix.size());
  }
  return found;
}

QString stepText(const kiv::PathStep& step) {
  const QString text = fromEngine(step.Text);
  switch (step.StepKind) {
    case kiv::PathStep::Kind::Read: return text;
    case kiv::PathStep::Kind::Enter: return QStringLiteral("enter %1").arg(text);
    case kiv::PathStep::Kind::Return: return QStringLiteral("back in %1").arg(text);
    case kiv::PathStep::Kind::Follow: return QStringLiteral("end of %1, then").arg(text);
    case kiv::PathStep::Kind::End: return text;
  }
  return text;
}

// A byte offset of the explained text as an editor position: its 1-based line and the index of
// its character in that line (the text's encoding decides how many bytes a character has).
std::pair<int, int> positionOf(const std::string& text, std::size_t offset, const kiv::TextFormat& format) {
  int line = 1;
  std::size_t lineStart = 0;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    if (text[i] == '\n' || text[i] == '\r') {
      ++line;
      lineStart = i + 1;
    }
  }
  std::size_t from = lineStart;
  // A byte order mark comes before the first line's first character.
  if (line == 1 && format.byteOrderMark && text.compare(0, 3, "\xEF\xBB\xBF") == 0) from = std::min<std::size_t>(3, offset);
  const QByteArray bytes(text.data() + from, static_cast<qsizetype>(offset - from));
  const QString before = format.encoding == kiv::TextEncoding::Latin1 ? QString::fromLatin1(bytes) : QString::fromUtf8(bytes);
  return {line, static_cast<int>(before.size())};
}

}  // namespace

TqvExplainView::TqvExplainView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("explainView"));
  buildWidgets();
  connect(&FWatcher, &QFutureWatcher<kiv::ExplainOutcome>::finished, this, &TqvExplainView::finished);
}

TqvExplainView::~TqvExplainView() {
  FWatcher.disconnect(this);
  FWatcher.waitForFinished();
}

void TqvExplainView::buildWidgets() {
  FHeadline = wrappingLabel("lblExplainClass");
  QFont bold = FHeadline->font();
  bold.setBold(true);
  FHeadline->setFont(bold);
  FHeadline->setText(QStringLiteral("Choose a nondeterminism report in the message list and Explain it."));
  FReport = wrappingLabel("lblExplainReport");
  FReport->setForegroundRole(QPalette::PlaceholderText);
  FWitness = wrappingLabel("lblExplainWitness");
  FInput = wrappingLabel("lblExplainInput");
  FConsequence = wrappingLabel("lblExplainConsequence");
  FFixes = wrappingLabel("lblExplainFixes");

  FPathA = pathList("lvExplainPathA");
  FPathB = pathList("lvExplainPathB");
  for (QTreeWidget* list : {FPathA, FPathB}) {
    connect(list, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { stepChosen(item); });
    connect(list, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { stepChosen(item); });
  }
  auto* paths = new QSplitter(Qt::Horizontal);
  paths->setObjectName(QStringLiteral("splitExplainPaths"));
  paths->addWidget(FPathA);
  paths->addWidget(FPathB);
  paths->setChildrenCollapsible(false);

  FSample = new QLineEdit;
  FSample->setObjectName(QStringLiteral("edExplainSample"));
  FSample->setToolTip(QStringLiteral("The input and the witness as text; tokens without a fixed spelling stand as "
                                     "their names: write one of their texts before running"));
  FRun = new QPushButton(QStringLiteral("&Run in the Test panel"));
  FRun->setObjectName(QStringLiteral("btnExplainRun"));
  FRun->setEnabled(false);
  connect(FRun, &QPushButton::clicked, this, [this] {
    if (const IqvWsModulePtr module = FModule.lock())
      emit RunWitnessRequested(module.get(), FSample->text(), fromEngine(FOutcome.explanation.StartRule));
  });
  FRunRow = new QWidget;
  auto* runLayout = new QHBoxLayout(FRunRow);
  runLayout->setContentsMargins(0, 0, 0, 0);
  runLayout->addWidget(new QLabel(QStringLiteral("Sample:")));
  runLayout->addWidget(FSample, 1);
  runLayout->addWidget(FRun);
  FRunRow->hide();

  auto* facts = new QFormLayout;
  facts->setContentsMargins(0, 0, 0, 0);
  facts->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  facts->addRow(QStringLiteral("Witness:"), FWitness);
  facts->addRow(QStringLiteral("Input:"), FInput);
  auto* after = new QFormLayout;
  after->setContentsMargins(0, 0, 0, 0);
  after->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  after->addRow(QStringLiteral("Consequence:"), FConsequence);
  after->addRow(QStringLiteral("Fixes:"), FFixes);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);
  layout->addWidget(FHeadline);
  layout->addWidget(FReport);
  layout->addLayout(facts);
  layout->addWidget(paths, 1);
  layout->addLayout(after);
  layout->addWidget(FRunRow);
  showOutcome(FOutcome);
  FHeadline->setText(QStringLiteral("Choose a nondeterminism report in the message list and Explain it."));
}

void TqvExplainView::SetWitnessRunnable(bool runnable) { FRunRow->setVisible(runnable); }

void TqvExplainView::Explain(const IqvWsModulePtr& module, const QString& caption, int column,
                             const QString& exchangeDir) {
  if (!module) return;
  Pending pending;
  pending.module = module;
  pending.revision = module->GetEditor() ? module->GetEditor()->Revision() : -1;
  pending.caption = caption;
  pending.format = module->Format();
  // The copy is all the worker sees of the editor.
  pending.request.text = kiv::GrammarBytes(*module);
  pending.request.name = module->GetName();
  pending.request.exchangeDir = exchangeDir;
  pending.request.caption = caption;
  pending.request.column = column;
  if (FWatcher.isRunning()) {
    FNext = std::move(pending);
    return;
  }
  start(std::move(pending));
}

void TqvExplainView::start(Pending pending) {
  ClearMarks();
  FRunning = std::move(pending);
  FHeadline->setText(QStringLiteral("Explaining ..."));
  FReport->setText(FRunning.caption);
  FRun->setEnabled(false);
  const kiv::ExplainRequest request = FRunning.request;
  FWatcher.setFuture(QtConcurrent::run([request] { return kiv::ExplainReport(request); }));
}

void TqvExplainView::finished() {
  if (FNext) {
    // A newer request is waiting: this result is of no more interest.
    Pending next = std::move(*FNext);
    FNext.reset();
    start(std::move(next));
    return;
  }
  FModule = FRunning.module;
  FText = FRunning.request.text;
  FFormat = FRunning.format;
  FRevision = FRunning.revision;
  showOutcome(FWatcher.result());
  markBranches();
  emit Shown();
}

void TqvExplainView::showOutcome(const kiv::ExplainOutcome& outcome) {
  FOutcome = outcome;
  for (QTreeWidget* list : {FPathA, FPathB}) {
    list->clear();
    list->setHeaderLabels({QStringLiteral("Steps"), QStringLiteral("Rule"), QStringLiteral("Line")});
  }
  FWitness->clear();
  FInput->clear();
  FConsequence->clear();
  FFixes->clear();
  FSample->clear();
  FRun->setEnabled(false);
  if (outcome.kind != kiv::ExplainOutcomeKind::Explained) {
    FHeadline->setText(outcome.message);
    return;
  }
  const kiv::Explanation& e = outcome.explanation;
  FHeadline->setText(fromEngine(e.Headline));
  FWitness->setText(linesLabelled(e, QStringLiteral("witness")).join(QLatin1Char('\n')));
  FInput->setText(linesLabelled(e, QStringLiteral("input")).join(QLatin1Char('\n')));
  FConsequence->setText(linesLabelled(e, QStringLiteral("consequence")).join(QLatin1Char('\n')));
  QStringList fixes = linesLabelled(e, QStringLiteral("fix"));
  for (QString& fix : fixes) fix.prepend(QStringLiteral("\u2022 "));
  FFixes->setText(fixes.join(QLatin1Char('\n')));
  fillPath(FPathA, e.PathA);
  fillPath(FPathB, e.PathB);
  FSample->setText(outcome.sample);
  FRun->setEnabled(e.PrefixFound && !e.StartRule.empty());
}

void TqvExplainView::fillPath(QTreeWidget* list, const kiv::DerivationPath& path) {
  list->setHeaderLabels({fromEngine(path.Branch), QStringLiteral("Rule"), QStringLiteral("Line")});
  if (path.Steps.empty()) {
    new QTreeWidgetItem(list, {QStringLiteral("(no derivation within the budget)")});
    return;
  }
  for (const kiv::PathStep& step : path.Steps) {
    // The end of a token or of the input has no place in the grammar.
    const bool placed = step.Line > 0;
    auto* item = new QTreeWidgetItem(
        list, {stepText(step), placed ? fromEngine(step.Rule) : QString(), placed ? QString::number(step.Line) : QString()});
    item->setData(LineColumn, Qt::UserRole, step.Line);
  }
}

void TqvExplainView::stepChosen(QTreeWidgetItem* item) {
  const IqvWsModulePtr module = FModule.lock();
  const int line = item ? item->data(LineColumn, Qt::UserRole).toInt() : 0;
  if (module && line > 0) emit StepChosen(module.get(), line);
}

void TqvExplainView::markBranches() {
  FMarks.clear();
  const IqvWsModulePtr module = FModule.lock();
  IqvWsModuleEditor* editor = module ? module->GetEditor() : nullptr;
  // Marks from an older text would sit in the wrong places.
  if (!editor || editor->Revision() != FRevision || FOutcome.kind != kiv::ExplainOutcomeKind::Explained) return;
  for (const auto& [span, branch] : {std::pair{FOutcome.first, kiv::ConflictBranchKind::First},
                                     std::pair{FOutcome.second, kiv::ConflictBranchKind::Second}}) {
    if (span.IsEmpty()) continue;
    const auto [line, index] = positionOf(FText, span.begin, FFormat);
    const auto [endLine, endIndex] = positionOf(FText, span.end, FFormat);
    FMarks.push_back({line, index, endLine, endIndex, branch});
  }
  editor->SetConflictMarks(FMarks);
}

void TqvExplainView::ClearMarks() {
  if (const IqvWsModulePtr module = FModule.lock())
    if (IqvWsModuleEditor* editor = module->GetEditor()) editor->SetConflictMarks({});
  FMarks.clear();
}
