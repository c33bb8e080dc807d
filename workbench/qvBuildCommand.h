// qvBuildCommand.h
// What a build of one grammar module needs besides the message list: the project's directories
// resolved against its file's folder (as the `kiv` command resolves them), the module's text as
// the bytes the generator reads, one guarded run of the generator, and the files a grammar would
// write, so that "Build all" can refuse two grammars that would write the same file.
#pragma once

#include <QString>
#include <mutex>
#include <string>

#include "engine/driver/kivOutputPlan.h"

class IkivToolErrorHandler;
class IqvWsModule;

namespace kiv {

class DiagnosticListener;
class NondeterminismListener;

// The folder of the project's file; for a project not saved yet, the current directory.
QString ProjectFolder(const IqvWsModule& project);
// A path or directory as a project file stores it, read on this platform: "\" separates as "/"
// does (a project written on Windows names "sub\out"), as kiv::StoredPath reads it.
QString StoredProjectPath(const QString& stored);
// A project directory as the build uses it: empty means `folder`, a relative one is taken from
// `folder`, an absolute one stays. The result is absolute and clean.
QString ResolveProjectDirectory(const QString& folder, const QString& directory);

// The module's current text (the editor's when one is open), encoded as its file is: the
// bytes a save would write, so that a build reads exactly what `kiv build` reads from the file.
std::string GrammarBytes(IqvWsModule& module);

// Held by every run of the engine's front end (builds, checks, the test rig's loads): the engine
// numbers blocks process-wide, so two such runs must not overlap.
std::mutex& EngineRunMutex();

// What a finished run reports beyond the lines it sent to the handler.
struct ToolRunResult {
  int errors = 0;
  int warnings = 0;
  QString failure;  // set when the generator threw instead of returning
};

// How a run ends after a clean parse: generating the units (a build), nothing at all (a check:
// the front end and the symbol pass only, no file written), or the LL(k) analysis with its
// nondeterminism reports and nothing written (an analysis, for explaining a report).
enum class ToolRunKind { Build, Check, Analyze };

// Runs the generator over `text` named `name`; no exception leaves it. `inputPath` is the
// grammar's file (empty when it has none): a build never writes over it. `listener`, when given,
// is told every diagnostic with its column as well, `reports` the decision of every
// nondeterminism report while its grammar is there. Runs are taken one at a time across threads
// (the engine numbers blocks process-wide), so a build waits for a check that is under way. Safe
// to call from any thread; `handler` and `listener` are called on the calling thread.
ToolRunResult RunGrammarTool(const std::string& text, const QString& name, const QString& outputDir,
                             const QString& exchangeDir, IkivToolErrorHandler* handler,
                             ToolRunKind kind = ToolRunKind::Build, const QString& inputPath = QString(),
                             DiagnosticListener* listener = nullptr, NondeterminismListener* reports = nullptr);

// The files a build of `text` would write (nothing is written), named as the build names them;
// taken one at a time with the runs above.
GrammarOutputs PlanGrammarOutputs(const std::string& text, const QString& name, const QString& inputPath,
                                  const QString& outputDir, const QString& exchangeDir);

}  // namespace kiv
