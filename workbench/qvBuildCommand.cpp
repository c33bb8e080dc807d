// qvBuildCommand.cpp
// Directory resolution, the text handed to the generator and the guarded generator run.
#include "workbench/qvBuildCommand.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <exception>
#include <mutex>
#include <sstream>

#include "engine/driver/kivTool.h"
#include "workbench/qvTextFile.h"
#include "workbench/qvWsModuleIntf.h"

namespace kiv {

namespace {

// Paths go to the engine in the file system's own encoding.
std::string toEnginePath(const QString& path) { return QFile::encodeName(QDir::toNativeSeparators(path)).toStdString(); }

}  // namespace

std::mutex& EngineRunMutex() {
  static std::mutex mutex;
  return mutex;
}

QString ProjectFolder(const IqvWsModule& project) {
  if (project.HasFilePath()) return QFileInfo(project.GetFilePath()).absolutePath();
  return QDir::currentPath();
}

QString StoredProjectPath(const QString& stored) {
  QString path = stored;
  // "\" is no file-name character on Windows, so a project written there means a separator by it.
  path.replace(QLatin1Char('\\'), QLatin1Char('/'));
  return path;
}

QString ResolveProjectDirectory(const QString& folder, const QString& directory) {
  if (directory.isEmpty()) return QDir::cleanPath(QDir(folder).absolutePath());
  return QDir::cleanPath(QDir(folder).absoluteFilePath(StoredProjectPath(directory)));
}

std::string GrammarBytes(IqvWsModule& module) {
  TextFormat format = module.Format();
  const QByteArray bytes = EncodeText(module.GetText(), format);
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

ToolRunResult RunGrammarTool(const std::string& text, const QString& name, const QString& outputDir,
                             const QString& exchangeDir, IkivToolErrorHandler* handler, ToolRunKind kind,
                             const QString& inputPath, DiagnosticListener* listener,
                             NondeterminismListener* reports) {
  ToolRunResult result;
  std::istringstream input(text);
  const std::lock_guard<std::mutex> oneRunAtATime(EngineRunMutex());
  try {
    TkivTool tool(&input, name.toStdString(), toEnginePath(outputDir), toEnginePath(exchangeDir), handler);
    // A dump with nowhere to go: the run stops after the parse and the symbol pass.
    if (kind == ToolRunKind::Check) tool.SetOutput(TkivTool::OutputKind::DumpGraph, nullptr);
    // The lookahead dump runs the analysis that a build runs, and writes it where nobody reads it.
    std::ostringstream unread;
    if (kind == ToolRunKind::Analyze) tool.SetOutput(TkivTool::OutputKind::DumpLookahead, &unread);
    if (!inputPath.isEmpty()) tool.SetInputPath(toEnginePath(inputPath));
    tool.SetDiagnosticListener(listener);
    tool.SetNondeterminismListener(reports);
    tool.Run();
    result.errors = tool.GetErrorCount();
    result.warnings = tool.GetWarningCount();
  } catch (const std::exception& e) {
    result.failure = QString::fromLocal8Bit(e.what());
    if (result.failure.isEmpty()) result.failure = QStringLiteral("unknown exception");
  } catch (...) {
    result.failure = QStringLiteral("unknown exception");
  }
  return result;
}

GrammarOutputs PlanGrammarOutputs(const std::string& text, const QString& name, const QString& inputPath,
                                  const QString& outputDir, const QString& exchangeDir) {
  const std::lock_guard<std::mutex> oneRunAtATime(EngineRunMutex());
  return PlanOutputs(text, name.toStdString(), inputPath.isEmpty() ? std::string() : toEnginePath(inputPath),
                     toEnginePath(outputDir), toEnginePath(exchangeDir));
}

}  // namespace kiv
