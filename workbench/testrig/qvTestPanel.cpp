// qvTestPanel.cpp
// The Test panel's widgets, the pause and worker run (as the check while typing does them), and
// the views of a result: tokens, tree and trace, the error marked in the sample, and the
// selections that a click on a node, a token or a trace line makes.
#include "workbench/testrig/qvTestPanel.h"

#include <QComboBox>
#include <QDockWidget>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QRegularExpression>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <Qsci/qsciscintilla.h>
#include <set>

#include "workbench/qvBuildCommand.h"
#include "workbench/qvPrompter.h"
#include "workbench/qvWsKivGrammarEditor.h"
#include "workbench/testrig/qvTestSamples.h"

using kiv::interp::RunEndKind;
using kiv::interp::RunResult;

namespace {

QString fromBytes(const std::string& text) {
  kiv::TextFormat format;
  return kiv::DecodeText(QByteArray(text.data(), static_cast<qsizetype>(text.size())), format);
}

// A token's text on one line: line ends and tabs written as escapes.
QString shownText(const std::string& text) {
  QString shown = fromBytes(text);
  shown.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
  shown.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
  shown.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
  shown.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
  return shown;
}

QString position(int line, int column) { return QStringLiteral("%1:%2").arg(line).arg(column); }

const char* kindName(kiv::interp::TraceKind kind) {
  using kiv::interp::TraceKind;
  switch (kind) {
    case TraceKind::Decision: return "decision";
    case TraceKind::LoopExit: return "loop";
    case TraceKind::PredicateTry: return "guess";
    case TraceKind::PredicateResult: return "guessed";
    case TraceKind::Rewind: return "rewind";
    case TraceKind::SemanticPredicate: return "predicate";
    case TraceKind::Action: return "action";
    case TraceKind::Handler: return "handler";
    case TraceKind::Error: return "error";
  }
  return "";
}

}  // namespace

TqvTestPanel::TqvTestPanel(QWidget* parent) : QWidget(parent), FPause(new QTimer(this)) {
  setObjectName(QStringLiteral("pnlTest"));
  buildWidgets();
  FPause->setSingleShot(true);
  FPause->setInterval(kDefaultPauseMs);
  connect(FPause, &QTimer::timeout, this, &TqvTestPanel::start);
  connect(&FWatcher, &QFutureWatcher<kiv::testrig::RunOutcome>::finished, this, &TqvTestPanel::finished);
}

TqvTestPanel::~TqvTestPanel() {
  SaveSample();
  FWatcher.disconnect(this);
  if (FRunningCancel) *FRunningCancel = true;
  FWatcher.waitForFinished();
}

void TqvTestPanel::buildWidgets() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  auto* bar = new QHBoxLayout;
  auto* ruleLabel = new QLabel(QStringLiteral("Start &rule:"));
  FRules = new QComboBox;
  FRules->setObjectName(QStringLiteral("cbStartRule"));
  FRules->setMinimumContentsLength(14);
  FRules->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  ruleLabel->setBuddy(FRules);
  FLoad = new QToolButton;
  FLoad->setObjectName(QStringLiteral("btnLoadSample"));
  FLoad->setText(QStringLiteral("&Load sample..."));
  FLoad->setToolTip(QStringLiteral("Read the sample input from a file"));
  FStatus = new QLabel;
  FStatus->setObjectName(QStringLiteral("lblTestStatus"));
  FStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // A long message is cut rather than widening the panel; its tool tip holds all of it.
  FStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  bar->addWidget(ruleLabel);
  bar->addWidget(FRules);
  bar->addWidget(FLoad);
  bar->addWidget(FStatus, 1);
  layout->addLayout(bar);

  FSample = new QsciScintilla;
  FSample->setObjectName(QStringLiteral("edSample"));
  FSample->setUtf8(true);
  const QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  FSample->setFont(font);
  FSample->setMarginsFont(font);
  FSample->setMarginType(0, QsciScintilla::NumberMargin);
  FSample->setMarginWidth(0, QStringLiteral("0000"));
  FSample->setMarginWidth(1, 0);
  FSample->setWrapMode(QsciScintilla::WrapNone);
  FSample->setAnnotationDisplay(QsciScintilla::AnnotationBoxed);
  FSample->SendScintilla(QsciScintillaBase::SCI_INDICSETSTYLE, kErrorIndicator, QsciScintillaBase::INDIC_SQUIGGLE);
  FSample->SendScintilla(QsciScintillaBase::SCI_INDICSETFORE, kErrorIndicator, QColor(220, 0, 0));
  FErrorStyle = QsciStyle(-1, QStringLiteral("test error"), QColor(150, 0, 0), QColor(255, 228, 228), font);

  FTreeModel = new QStandardItemModel(this);
  FTree = new QTreeView;
  FTree->setObjectName(QStringLiteral("tvParseTree"));
  FTree->setModel(FTreeModel);
  FTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
  FTree->setUniformRowHeights(true);
  FTokens = new QTreeWidget;
  FTokens->setObjectName(QStringLiteral("lvTokens"));
  FTokens->setHeaderLabels({QStringLiteral("Type"), QStringLiteral("Text"), QStringLiteral("Line"), QStringLiteral("Column")});
  FTokens->setRootIsDecorated(false);
  FTokens->setUniformRowHeights(true);
  FTrace = new QTreeWidget;
  FTrace->setObjectName(QStringLiteral("lvTrace"));
  FTrace->setHeaderLabels({QStringLiteral("Rule"), QStringLiteral("Line"), QStringLiteral("Event"),
                           QStringLiteral("Lookahead"), QStringLiteral("Alternative"), QStringLiteral("Why")});
  FTrace->setRootIsDecorated(false);
  FTrace->setUniformRowHeights(true);
  FPages = new QTabWidget;
  FPages->setObjectName(QStringLiteral("pcTestResults"));
  FPages->addTab(FTree, QStringLiteral("Tree"));
  FPages->addTab(FTokens, QStringLiteral("Tokens"));
  FPages->addTab(FTrace, QStringLiteral("Trace"));

  auto* split = new QSplitter(Qt::Horizontal);
  split->setObjectName(QStringLiteral("splitTest"));
  split->addWidget(FSample);
  split->addWidget(FPages);
  split->setStretchFactor(0, 1);
  split->setStretchFactor(1, 1);
  layout->addWidget(split, 1);

  connect(FSample, &QsciScintilla::textChanged, this, [this] {
    ++FSampleRevision;
    Poke();
  });
  connect(FRules, &QComboBox::currentIndexChanged, this, [this] {
    if (FFilling) return;
    FWantedRule = FRules->currentText();
    Poke();
  });
  connect(FLoad, &QToolButton::clicked, this, &TqvTestPanel::loadSampleCommand);
  connect(FTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) { nodeChosen(current); });
  connect(FTree, &QAbstractItemView::clicked, this, &TqvTestPanel::nodeChosen);
  connect(FTokens, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) { tokenChosen(item); });
  connect(FTrace, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) { traceChosen(item); });
  clearResults();
}

void TqvTestPanel::SetPause(int milliseconds) { FPause->setInterval(milliseconds); }

QString TqvTestPanel::projectFolder() const {
  const IqvWsModulePtr project = FProject.lock();
  return project && project->HasFilePath() ? kiv::ProjectFolder(*project) : QString();
}

void TqvTestPanel::Follow(const IqvWsModulePtr& project, const IqvWsModulePtr& module, const QString& exchangeDir) {
  FExchangeDir = exchangeDir;
  if (FModule.lock() == module && FProject.lock() == project) {
    Poke();
    return;
  }
  SaveSample();
  FProject = project;
  FModule = module;
  FRuleInfo.clear();
  FShownSignature.clear();
  FScheduledSignature.clear();
  FFilling = true;
  FRules->clear();
  FFilling = false;
  clearResults();
  loadStoredSample();
  Poke();
}

void TqvTestPanel::loadStoredSample() {
  const IqvWsModulePtr module = FModule.lock();
  const QString folder = projectFolder();
  kiv::testrig::StoredSample stored;
  if (module && !folder.isEmpty()) stored = kiv::testrig::ReadSample(folder, module->GetName());
  FSampleFormat = kiv::TextFormat();
  const QString text = kiv::DecodeText(stored.bytes, FSampleFormat);
  FWantedRule = stored.startRule;
  FSample->setText(text);
  FSample->setEnabled(module != nullptr);
}

void TqvTestPanel::SaveSample() {
  const IqvWsModulePtr module = FModule.lock();
  const QString folder = projectFolder();
  if (!module || folder.isEmpty()) return;
  const std::string bytes = sampleBytes();
  const QString rule = FWantedRule;
  QString error;
  if (!kiv::testrig::WriteSample(folder, module->GetName(), QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                 rule, error))
    FStatus->setText(error);
}

bool TqvTestPanel::LoadSampleFile(const QString& path, QString& error) {
  QByteArray bytes;
  if (!kiv::ReadFileBytes(path, bytes, error)) return false;
  FSampleFormat = kiv::TextFormat();
  FSample->setText(kiv::DecodeText(bytes, FSampleFormat));
  return true;
}

void TqvTestPanel::loadSampleCommand() {
  kiv::FileDialogRequest request;
  request.title = QStringLiteral("Load sample");
  request.directory = projectFolder();
  request.filter = QStringLiteral("All files (*.*)|*");
  const QString path = kiv::Prompter().ChooseOpenFile(this, request);
  if (path.isEmpty()) return;
  QString error;
  if (!LoadSampleFile(path, error))
    kiv::Prompter().ShowMessage(this, kiv::MessageKind::Error, QStringLiteral("Load sample"), error);
}

std::string TqvTestPanel::sampleBytes() const {
  kiv::TextFormat format = FSampleFormat;
  const QByteArray bytes = kiv::EncodeText(FSample->text(), format);
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void TqvTestPanel::RunSample(const QString& sample, const QString& startRule) {
  if (!startRule.isEmpty()) {
    FWantedRule = startRule;
    const int index = FRules->findText(startRule);
    if (index >= 0) {
      FFilling = true;
      FRules->setCurrentIndex(index);
      FFilling = false;
    }
  }
  FSampleFormat = kiv::TextFormat();
  FSample->setText(sample);
  if (auto* dock = qobject_cast<QDockWidget*>(parentWidget())) {
    dock->show();
    dock->raise();
  }
  FPause->stop();
  FScheduledSignature = signature();
  start();
}

// ---------------------------------------------------------------------------------------------
// Scheduling

QString TqvTestPanel::signature() const {
  const IqvWsModulePtr project = FProject.lock();
  const IqvWsModulePtr module = FModule.lock();
  if (!project || !module) return QString();
  // Editors count their changes; a grammar without one is known by its text.
  QString state;
  for (int i = 0; i < project->ChildCount(); ++i) {
    const IqvWsModulePtr child = project->Child(i);
    state += child->GetName() + QLatin1Char(':');
    if (IqvWsModuleEditor* editor = child->GetEditor())
      state += QString::number(editor->Revision());
    else
      state += QLatin1Char('t') + QString::number(qHash(child->GetText()));
    state += QLatin1Char(';');
  }
  return state + module->GetName() + QLatin1Char('|') + QString::number(FSampleRevision) + QLatin1Char('|') + FWantedRule;
}

void TqvTestPanel::Poke() {
  const QString now = signature();
  if (now.isEmpty()) {
    FPause->stop();
    return;
  }
  // A hidden panel runs nothing; it catches up when it is shown.
  if (!isVisible() || now == FScheduledSignature) return;
  FScheduledSignature = now;
  // The run under way is for a state that has gone.
  if (FRunningCancel && now != FRunningSignature) *FRunningCancel = true;
  if (now == FShownSignature) return;
  FPause->start();
}

void TqvTestPanel::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Poke();
}

void TqvTestPanel::start() {
  const IqvWsModulePtr project = FProject.lock();
  const IqvWsModulePtr module = FModule.lock();
  if (!project || !module) return;
  // One run at a time; the next starts when this one is done.
  if (FWatcher.isRunning()) {
    FStartWhenDone = true;
    return;
  }
  kiv::testrig::RunRequest request;
  for (int i = 0; i < project->ChildCount(); ++i) {
    const IqvWsModulePtr child = project->Child(i);
    if (child->GetKind() != kiv::kModuleKindGrammar) continue;
    if (child == module) request.tested = static_cast<int>(request.grammars.size());
    request.grammars.push_back({child->GetName(), kiv::GrammarBytes(*child)});
  }
  request.exchangeDir = FExchangeDir;
  request.stagingDir = FStaging.path();
  request.sample = sampleBytes();
  request.sampleName = module->GetName() + QStringLiteral(".txt");
  request.startRule = FWantedRule.toStdString();
  request.stepBudget = kStepBudget;
  request.cancel = std::make_shared<std::atomic<bool>>(false);
  FRunningCancel = request.cancel;
  FRunningSignature = signature();
  FRunningSample = request.sample;
  SaveSample();
  FStatus->setText(QStringLiteral("Running..."));
  kiv::testrig::GrammarCache* cache = &FCache;
  FWatcher.setFuture(QtConcurrent::run([request = std::move(request), cache] { return kiv::testrig::RunTest(request, *cache); }));
}

void TqvTestPanel::finished() {
  const QString ran = FRunningSignature;
  FRunningCancel.reset();
  if (ran == signature()) {
    showOutcome(FWatcher.result());
    // Showing settles the start rule on the one the run took, which is the same state.
    FShownSignature = signature();
    ++FShown;
    emit Shown();
  } else {
    // The grammar or the sample moved on while it ran: its spans would point at the wrong text.
    ++FDropped;
  }
  const bool again = FStartWhenDone;
  FStartWhenDone = false;
  FScheduledSignature.clear();
  if (again && signature() != FShownSignature)
    start();
  else
    Poke();
}

// ---------------------------------------------------------------------------------------------
// Results

void TqvTestPanel::clearResults() {
  FTreeModel->clear();
  FTreeModel->setHorizontalHeaderLabels({QStringLiteral("Node"), QStringLiteral("Position")});
  FTokens->clear();
  FTrace->clear();
  FSample->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, kErrorIndicator);
  FSample->SendScintilla(QsciScintillaBase::SCI_INDICATORCLEARRANGE, 0, FSample->length());
  FSample->clearAnnotations();
  FErrorMark = {-1, -1};
  FOutcome.reset();
  FStatus->setText(FModule.lock() ? QString() : QStringLiteral("Open a grammar to test it."));
  FStatus->setToolTip(QString());
}

void TqvTestPanel::showOutcome(const kiv::testrig::RunOutcome& outcome) {
  clearResults();
  FOutcome = std::make_shared<kiv::testrig::RunOutcome>(outcome);
  FRuleInfo = outcome.rules;
  fillRules(outcome);
  const QString diagnostics = outcome.diagnostics.join(QLatin1Char('\n'));
  if (!outcome.result) {
    FStatus->setText(outcome.problem);
    FStatus->setToolTip(diagnostics.isEmpty() ? outcome.problem : outcome.problem + QLatin1Char('\n') + diagnostics);
    return;
  }
  const RunResult& result = *outcome.result;
  fillTokens(result);
  if (!outcome.lexerOnly) fillTree(result);
  fillTrace(outcome);
  markErrors(result);
  QString text;
  const int tokens = static_cast<int>(result.Tokens.size());
  if (result.End == RunEndKind::Aborted)
    text = QStringLiteral("Stopped: %1").arg(fromBytes(result.AbortReason));
  else if (result.Error)
    text = QStringLiteral("Rejected: %1").arg(fromBytes(kiv::interp::ErrorLine(*result.Error)));
  else if (!result.Reported.empty())
    text = QStringLiteral("Rejected: %1").arg(fromBytes(kiv::interp::ErrorLine(result.Reported.front())));
  else
    text = QStringLiteral("Accepted: %1 token(s)").arg(tokens);
  if (!outcome.lexerOnly)
    text += QStringLiteral("  [from %1, tokens of %2]").arg(QString::fromStdString(outcome.startRule), outcome.lexerName);
  if (!outcome.diagnostics.isEmpty()) text += QStringLiteral("  (%1 grammar message(s))").arg(outcome.diagnostics.size());
  FStatus->setText(text);
  FStatus->setToolTip(diagnostics.isEmpty() ? text : text + QLatin1Char('\n') + diagnostics);
}

void TqvTestPanel::fillRules(const kiv::testrig::RunOutcome& outcome) {
  FFilling = true;
  const QString wanted = outcome.startRule.empty() ? FWantedRule : QString::fromStdString(outcome.startRule);
  QStringList names;
  if (!outcome.lexerOnly)
    for (const kiv::interp::RuleInfo& rule : outcome.rules)
      if (rule.Public || rule.Name == outcome.startRule) names << QString::fromStdString(rule.Name);
  QStringList old;
  for (int i = 0; i < FRules->count(); ++i) old << FRules->itemText(i);
  if (old != names) {
    FRules->clear();
    FRules->addItems(names);
  }
  const int index = FRules->findText(wanted);
  if (index >= 0) FRules->setCurrentIndex(index);
  if (!outcome.startRule.empty()) FWantedRule = wanted;
  FRules->setEnabled(!outcome.lexerOnly);
  FFilling = false;
}

void TqvTestPanel::fillTokens(const RunResult& result) {
  QList<QTreeWidgetItem*> items;
  for (const kiv::interp::Token& token : result.Tokens) {
    if (items.size() >= kMaxRows) break;
    auto* item = new QTreeWidgetItem({fromBytes(kiv::interp::TokenTypeName(result, token.Type)), shownText(token.Text),
                                      QString::number(token.Line), QString::number(token.Column)});
    item->setData(0, BeginRole, static_cast<qulonglong>(token.Begin));
    item->setData(0, EndRole, static_cast<qulonglong>(token.End));
    items << item;
  }
  FTokens->addTopLevelItems(items);
  for (int column = 0; column < 4; ++column) FTokens->resizeColumnToContents(column);
}

void TqvTestPanel::fillTree(const RunResult& result) {
  if (result.Tree.empty()) return;
  int rows = 0;
  // Walked with a stack of its own: a deeply nested sample makes a deep tree.
  struct Pending {
    int node;
    QStandardItem* parent;
    QString rule;
  };
  std::vector<Pending> stack{{0, FTreeModel->invisibleRootItem(), QString()}};
  while (!stack.empty() && rows < kMaxRows) {
    const Pending at = stack.back();
    stack.pop_back();
    const kiv::interp::TreeNode& node = result.Tree[static_cast<std::size_t>(at.node)];
    QString caption;
    QString rule = at.rule;
    if (node.IsToken) {
      const kiv::interp::Token& token = result.Tokens[static_cast<std::size_t>(node.TokenIndex)];
      caption = fromBytes(kiv::interp::TokenTypeName(result, token.Type)) + QStringLiteral(" '") + shownText(token.Text) +
                QLatin1Char('\'');
      if (node.Recovered) caption += QStringLiteral(" (consumed by the error handler)");
    } else {
      rule = QString::fromStdString(node.Rule);
      caption = node.Alternative > 0 ? QStringLiteral("%1 #%2").arg(rule).arg(node.Alternative) : rule;
    }
    auto* item = new QStandardItem(caption);
    item->setData(static_cast<qulonglong>(node.Begin), BeginRole);
    item->setData(static_cast<qulonglong>(node.End), EndRole);
    item->setData(rule, RuleRole);
    auto* where = new QStandardItem(position(node.Line, node.Column));
    at.parent->appendRow({item, where});
    ++rows;
    for (auto child = node.Children.rbegin(); child != node.Children.rend(); ++child) stack.push_back({*child, item, rule});
  }
  if (rows < 2000)
    FTree->expandAll();
  else
    FTree->expandToDepth(2);
  FTree->resizeColumnToContents(0);
}

void TqvTestPanel::fillTrace(const kiv::testrig::RunOutcome& outcome) {
  const RunResult& result = *outcome.result;
  // A parser's trace shows its own decisions; the lexer's are in `kiv parse --trace`.
  std::set<std::string> own;
  if (!outcome.lexerOnly)
    for (const kiv::interp::RuleInfo& rule : outcome.rules) own.insert(rule.Name);
  QList<QTreeWidgetItem*> items;
  for (const kiv::interp::TraceEvent& event : result.Trace) {
    if (items.size() >= kMaxRows) break;
    if (!own.empty() && !event.Rule.empty() && own.count(event.Rule) == 0) continue;
    const QString alternative = event.Alternative > 0 ? QString::number(event.Alternative) : QString();
    auto* item = new QTreeWidgetItem({QString::fromStdString(event.Rule), event.Line > 0 ? QString::number(event.Line) : QString(),
                                      QString::fromLatin1(kindName(event.Kind)), fromBytes(event.Lookahead), alternative,
                                      fromBytes(event.Reason)});
    item->setData(0, LineRole, event.Line);
    items << item;
  }
  if (result.TraceCut) items << new QTreeWidgetItem({QString(), QString(), QStringLiteral("(the trace was cut here)")});
  FTrace->addTopLevelItems(items);
  for (int column = 0; column < 5; ++column) FTrace->resizeColumnToContents(column);
}

int TqvTestPanel::positionOf(std::size_t offset) const {
  // The editor holds UTF-8; a Latin-1 sample's bytes are its characters.
  if (FSampleFormat.encoding == kiv::TextEncoding::Utf8) return static_cast<int>(offset);
  return static_cast<int>(FSample->SendScintilla(QsciScintillaBase::SCI_POSITIONRELATIVE, 0UL, static_cast<long>(offset)));
}

void TqvTestPanel::markErrors(const RunResult& result) {
  std::vector<kiv::interp::RecognitionError> errors = result.Reported;
  if (result.Error) errors.push_back(*result.Error);
  const int length = FSample->length();
  FSample->SendScintilla(QsciScintillaBase::SCI_SETINDICATORCURRENT, kErrorIndicator);
  for (const kiv::interp::RecognitionError& error : errors) {
    RunResult one;
    one.Tokens = result.Tokens;
    one.Error = error;
    const auto [begin, end] = kiv::testrig::ErrorSpan(one, FRunningSample);
    int from = positionOf(begin);
    int to = positionOf(end);
    // An error at the end of the input marks the last character.
    if (to <= from) {
      to = std::min(from + 1, length);
      from = std::max(0, to - 1);
    }
    if (to > from) FSample->SendScintilla(QsciScintillaBase::SCI_INDICATORFILLRANGE, from, to - from);
    if (FErrorMark.first < 0) FErrorMark = {from, to};
    int line = 0, index = 0;
    FSample->lineIndexFromPosition(from, &line, &index);
    const QString old = FSample->annotation(line);
    const QString text = fromBytes(error.Text);
    FSample->annotate(line, old.isEmpty() ? text : old + QLatin1Char('\n') + text, FErrorStyle);
  }
}

// ---------------------------------------------------------------------------------------------
// Selections

void TqvTestPanel::selectSpan(std::size_t begin, std::size_t end) {
  const int from = positionOf(begin);
  const int to = positionOf(end);
  FSample->SendScintilla(QsciScintillaBase::SCI_SETSEL, from, to);
  FSample->SendScintilla(QsciScintillaBase::SCI_SCROLLCARET);
}

void TqvTestPanel::selectRule(const QString& rule) {
  const IqvWsModulePtr module = FModule.lock();
  auto* editor = module ? dynamic_cast<TqvWsKivGrammarEditor*>(module->GetEditor()) : nullptr;
  if (!editor || rule.isEmpty()) return;
  const auto info = std::find_if(FRuleInfo.begin(), FRuleInfo.end(),
                                 [&](const kiv::interp::RuleInfo& r) { return QString::fromStdString(r.Name) == rule; });
  if (info == FRuleInfo.end() || info->Line <= 0) return;
  QsciScintilla* edit = editor->Edit();
  // The rule's body starts at its name or at its colon a few lines below it: the name is looked
  // for from there upwards.
  const QRegularExpression name(QStringLiteral("(?<![\\w])") + QRegularExpression::escape(rule) + QStringLiteral("(?![\\w])"));
  for (int line = info->Line - 1; line >= 0 && line >= info->Line - 40; --line) {
    const QString text = edit->text(line);
    const QRegularExpressionMatch match = name.match(text);
    if (!match.hasMatch()) continue;
    const long start = edit->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line) +
                       text.left(match.capturedStart()).toUtf8().size();
    edit->SendScintilla(QsciScintillaBase::SCI_SETSEL, start, start + rule.toUtf8().size());
    edit->SendScintilla(QsciScintillaBase::SCI_SCROLLCARET);
    return;
  }
  editor->GotoLine(info->Line);
}

void TqvTestPanel::nodeChosen(const QModelIndex& index) {
  if (!index.isValid()) return;
  const QModelIndex first = index.siblingAtColumn(0);
  selectSpan(first.data(BeginRole).toULongLong(), first.data(EndRole).toULongLong());
  selectRule(first.data(RuleRole).toString());
}

void TqvTestPanel::tokenChosen(QTreeWidgetItem* item) {
  if (!item) return;
  selectSpan(item->data(0, BeginRole).toULongLong(), item->data(0, EndRole).toULongLong());
  // A lexer's token comes from the rule of its name.
  if (FOutcome && FOutcome->lexerOnly) selectRule(item->text(0));
}

void TqvTestPanel::traceChosen(QTreeWidgetItem* item) {
  const IqvWsModulePtr module = FModule.lock();
  IqvWsModuleEditor* editor = module ? module->GetEditor() : nullptr;
  if (!item || !editor) return;
  const int line = item->data(0, LineRole).toInt();
  if (line > 0) editor->GotoLine(line);
}
