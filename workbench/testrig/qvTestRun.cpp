// qvTestRun.cpp
// The worker side of the Test panel: staging the vocabularies, loading (or reusing) the grammars,
// pairing a parser with its lexer and running the sample.
#include "workbench/testrig/qvTestRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "engine/kivLibTypes.h"
#include "workbench/qvBuildCommand.h"
#include "workbench/qvTextFile.h"

namespace kiv::testrig {

namespace {

// A grammar's diagnostic lines, decoded as the message list decodes them.
class LineCollector : public IkivToolErrorHandler {
public:
  QStringList lines;
  void HandleWarning(const std::string& Text) override { add(Text); }
  void HandleError(const std::string& Text) override { add(Text); }
  void HandleMessage(const std::string& Text) override { add(Text); }

private:
  void add(const std::string& raw) {
    TextFormat format;
    const QString text = DecodeText(QByteArray(raw.data(), static_cast<qsizetype>(raw.size())), format);
    if (!text.trimmed().isEmpty()) lines << text;
  }
};

using Vocabularies = std::map<std::string, std::string>;

bool isVocabularyFile(const QString& name) {
  return name.size() > 10 && name.endsWith(QStringLiteral("Tokens.txt"));
}

// The vocabulary files built earlier into `folder`, by file name.
Vocabularies vocabulariesIn(const QString& folder) {
  Vocabularies found;
  if (folder.isEmpty()) return found;
  const QDir dir(folder);
  for (const QString& name : dir.entryList({QStringLiteral("*Tokens.txt")}, QDir::Files)) {
    QByteArray bytes;
    QString error;
    if (ReadFileBytes(dir.filePath(name), bytes, error)) found[name.toStdString()] = bytes.toStdString();
  }
  return found;
}

// Makes the staging folder hold exactly `files`.
void stage(const QString& stagingDir, const Vocabularies& files) {
  const QDir dir(stagingDir);
  for (const QString& name : dir.entryList(QDir::Files))
    if (isVocabularyFile(name) && files.find(name.toStdString()) == files.end()) QFile::remove(dir.filePath(name));
  for (const auto& [name, text] : files) {
    QFile file(dir.filePath(QString::fromStdString(name)));
    if (file.exists() && file.size() == static_cast<qint64>(text.size()) && file.open(QIODevice::ReadOnly)) {
      const bool same = file.readAll().toStdString() == text;
      file.close();
      if (same) continue;
    }
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(text.data(), static_cast<qint64>(text.size()));
  }
}

std::string signatureOf(const Vocabularies& files) {
  std::string signature;
  for (const auto& [name, text] : files) signature += name + '\0' + text + '\0';
  return signature;
}

bool loadedLexer(const GrammarCache::Entry& entry) {
  return entry.loaded.Loaded && entry.loaded.Loaded->IsLexer();
}

QString errorsProblem(const GrammarSource& source, const GrammarCache::Entry& entry) {
  return QStringLiteral("%1 has %2 error(s) and cannot be run.").arg(source.name).arg(std::max(1, entry.loaded.Errors));
}

}  // namespace

std::shared_ptr<const GrammarCache::Entry> GrammarCache::Load(const GrammarSource& source, const std::string& vocabularies,
                                                            const QString& stagingDir) {
  const auto key = std::make_pair(source.name, vocabularies);
  {
    const std::lock_guard<std::mutex> lock(FMutex);
    const auto found = FEntries.find(key);
    if (found != FEntries.end() && found->second->text == source.text) return found->second;
  }
  auto entry = std::make_shared<Entry>();
  entry->text = source.text;
  entry->vocabularies = vocabularies;
  LineCollector collector;
  {
    const std::lock_guard<std::mutex> oneRunAtATime(EngineRunMutex());
    const std::string exchange = QFile::encodeName(QDir::toNativeSeparators(stagingDir)).toStdString() + "/";
    entry->loaded = interp::LoadGrammar(source.text, source.name.toStdString(), exchange, &collector, nullptr);
  }
  entry->diagnostics = collector.lines;
  const std::lock_guard<std::mutex> lock(FMutex);
  // Old texts of the grammars are of no use once they have changed; a small cache is enough.
  if (FEntries.size() > 64) FEntries.clear();
  FEntries[key] = entry;
  if (entry->loaded.Loaded) FKinds[source.name] = {source.text, entry->loaded.Loaded->IsLexer()};
  return entry;
}

std::optional<bool> GrammarCache::KnownLexer(const GrammarSource& source) const {
  const std::lock_guard<std::mutex> lock(FMutex);
  const auto found = FKinds.find(source.name);
  if (found == FKinds.end() || found->second.first != source.text) return std::nullopt;
  return found->second.second;
}

RunOutcome RunTest(const RunRequest& request, GrammarCache& cache) {
  RunOutcome out;
  if (request.tested < 0 || request.tested >= static_cast<int>(request.grammars.size())) {
    out.problem = QStringLiteral("No grammar to test.");
    return out;
  }
  try {
    const GrammarSource& tested = request.grammars[static_cast<std::size_t>(request.tested)];
    // The vocabularies built earlier, then those of the project's lexers as they are now: a
    // parser imports its lexer's current vocabulary, whether the lexer was built or not.
    Vocabularies vocabularies = vocabulariesIn(request.exchangeDir);
    stage(request.stagingDir, vocabularies);
    const std::string before = signatureOf(vocabularies);

    std::shared_ptr<const GrammarCache::Entry> entry;
    const std::optional<bool> kind = cache.KnownLexer(tested);
    if (!kind || *kind) {
      entry = cache.Load(tested, before, request.stagingDir);
      if (loadedLexer(*entry)) out.lexerOnly = true;
    }
    struct Lexer {
      QString name;
      std::shared_ptr<const GrammarCache::Entry> entry;
    };
    std::vector<Lexer> lexers;
    QStringList failed;
    if (!out.lexerOnly) {
      for (std::size_t i = 0; i < request.grammars.size(); ++i) {
        const GrammarSource& other = request.grammars[i];
        if (static_cast<int>(i) == request.tested || cache.KnownLexer(other) == std::optional<bool>(false)) continue;
        const std::shared_ptr<const GrammarCache::Entry> loaded = cache.Load(other, before, request.stagingDir);
        if (!loaded->loaded.Loaded) failed << other.name;
        if (!loadedLexer(*loaded) || loaded->loaded.VocabularyFile.empty()) continue;
        vocabularies[loaded->loaded.VocabularyFile] = loaded->loaded.VocabularyText;
        lexers.push_back({other.name, loaded});
      }
      stage(request.stagingDir, vocabularies);
      entry = cache.Load(tested, signatureOf(vocabularies), request.stagingDir);
      out.lexerOnly = loadedLexer(*entry);
    }
    out.diagnostics = entry->diagnostics;
    if (!entry->loaded.Loaded) {
      out.problem = errorsProblem(tested, *entry);
      return out;
    }
    const std::shared_ptr<const interp::Grammar> grammar = entry->loaded.Loaded;
    out.rules = grammar->Rules();

    interp::RunOptions options;
    options.InputName = request.sampleName.toStdString();
    options.StepBudget = request.stepBudget;
    options.Cancel = request.cancel.get();
    options.Trace = true;
    options.TraceLimit = request.traceLimit;
    if (out.lexerOnly) {
      out.lexer = grammar;
      options.Tree = false;
      out.result = interp::Run(grammar.get(), nullptr, request.sample, options);
      return out;
    }

    // A parser reads the tokens of the lexer that exports the vocabulary it imports.
    const std::string imported = entry->loaded.ImportVocabulary;
    if (imported.empty()) {
      out.problem = QStringLiteral("%1 imports no vocabulary: name its lexer's exportVocab in its importVocab option.")
                        .arg(tested.name);
      return out;
    }
    const auto paired = std::find_if(lexers.begin(), lexers.end(), [&](const Lexer& l) {
      return l.entry->loaded.VocabularyFile == imported + "Tokens.txt";
    });
    if (paired == lexers.end()) {
      out.problem = QStringLiteral("No lexer of the project exports the vocabulary \"%1\" that %2 imports.")
                        .arg(QString::fromStdString(imported), tested.name);
      if (!failed.isEmpty()) out.problem += QStringLiteral(" (With errors: %1.)").arg(failed.join(QStringLiteral(", ")));
      return out;
    }
    out.lexerName = paired->name;
    out.diagnostics = paired->entry->diagnostics + out.diagnostics;
    out.lexer = paired->entry->loaded.Loaded;
    out.parser = grammar;
    // The start rule: the one asked for when the grammar has it, else the first public rule.
    for (const interp::RuleInfo& rule : out.rules)
      if (rule.Name == request.startRule) out.startRule = rule.Name;
    for (const interp::RuleInfo& rule : out.rules)
      if (rule.Public && out.startRule.empty()) out.startRule = rule.Name;
    if (out.startRule.empty()) {
      out.problem = QStringLiteral("%1 has no public rule to start with.").arg(tested.name);
      return out;
    }
    options.StartRule = out.startRule;
    options.Tree = true;
    out.result = interp::Run(out.lexer.get(), out.parser.get(), request.sample, options);
  } catch (const std::exception& e) {
    out.result.reset();
    out.problem = QStringLiteral("Unexpected exception: %1").arg(QString::fromLocal8Bit(e.what()));
  } catch (...) {
    out.result.reset();
    out.problem = QStringLiteral("Unexpected exception while running the sample.");
  }
  return out;
}

std::pair<std::size_t, std::size_t> ErrorSpan(const interp::RunResult& result, const std::string& sample) {
  if (!result.Error) return {0, 0};
  const interp::RecognitionError& e = *result.Error;
  for (const interp::Token& t : result.Tokens)
    if (t.Line == e.Line && t.Column == e.Column) return {t.Begin, t.End};
  // A lexical error: counted from the last token that starts before it, lines at line feeds.
  std::size_t offset = 0;
  int line = 1;
  int column = 1;
  for (const interp::Token& t : result.Tokens)
    if (t.Line < e.Line || (t.Line == e.Line && t.Column < e.Column)) {
      offset = t.Begin;
      line = t.Line;
      column = t.Column;
    }
  while (line < e.Line && offset < sample.size()) {
    if (sample[offset] == '\n') {
      ++line;
      column = 1;
    }
    ++offset;
  }
  if (line == e.Line && e.Column > column) offset += static_cast<std::size_t>(e.Column - column);
  offset = std::min(offset, sample.size());
  return {offset, std::min(offset + 1, sample.size())};
}

}  // namespace kiv::testrig
