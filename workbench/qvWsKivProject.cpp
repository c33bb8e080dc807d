// qvWsKivProject.cpp
// The project module: directories, writing its file text, and reading it back into modules.
#include "workbench/qvWsKivProject.h"

#include <QDir>
#include <QFileInfo>
#include <sstream>

#include "workbench/qvBuildCommand.h"
#include "workbench/qvPrompter.h"
#include "workbench/qvWsKivGrammarModule.h"

namespace {

std::filesystem::path toFsPath(const QString& path) {
  return std::filesystem::path(path.toStdU16String());
}

std::string toFileText(const QString& text) { return text.toStdString(); }

QString fromFileText(const std::string& text, const kiv::TextFormat& format) {
  return format.encoding == kiv::TextEncoding::Latin1 ? QString::fromLatin1(text.c_str())
                                                      : QString::fromStdString(text);
}

}  // namespace

TqvWsKivProject::TqvWsKivProject(QString name) : TqvWsModule(std::move(name), kiv::kModuleKindProject) {
  SetFileType(FileFilter(), Extension());
  Format().lineEnd = QStringLiteral("\r\n");
}

void TqvWsKivProject::SetOutputDir(const QString& dir) {
  FOutputDir = dir;
  SetModified(true);
}

void TqvWsKivProject::SetExchangeDir(const QString& dir) {
  FExchangeDir = dir;
  SetModified(true);
}

bool TqvWsKivProject::IsModified() const {
  if (TqvWsModule::IsModified()) return true;
  for (int i = 0; i < ChildCount(); ++i)
    if (Child(i)->IsModified()) return true;
  return false;
}

kiv::ProjectFile TqvWsKivProject::ToProjectFile(const QString& filePath) const {
  kiv::ProjectFile file;
  file.outputDir = toFileText(FOutputDir);
  file.exchangeDir = toFileText(FExchangeDir);
  // A project not saved yet has no folder: its grammars keep absolute paths.
  const QString projectPath = filePath.isEmpty() ? QDir::current().filePath(GetName()) : filePath;
  for (int i = 0; i < ChildCount(); ++i) {
    const IqvWsModulePtr child = Child(i);
    // A grammar that was never saved has no file to list.
    if (!child->HasFilePath()) continue;
    kiv::ProjectGrammar grammar;
    grammar.path = kiv::RelativeGrammarPath(toFsPath(projectPath), toFsPath(child->GetFilePath()));
    file.grammars.push_back(grammar);
  }
  return file;
}

bool TqvWsKivProject::TextForFile(const QString& filePath, QString& text, QString& error) {
  std::string written;
  std::string problem;
  if (!kiv::WriteProjectText(ToProjectFile(filePath), written, problem)) {
    error = QString::fromStdString(problem);
    return false;
  }
  // Project files are UTF-8 with CR LF line ends.
  Format().encoding = kiv::TextEncoding::Utf8;
  Format().byteOrderMark = false;
  Format().lineEnd = QStringLiteral("\r\n");
  text = QString::fromStdString(written);
  return true;
}

QString TqvWsKivProject::GetText() {
  QString text;
  QString error;
  if (TextForFile(GetFilePath(), text, error)) SetText(text);
  return OwnText();
}

int TqvWsKivProject::AddChild(const IqvWsModulePtr& child) {
  if (child && !kiv::IsStorableText(toFileText(child->GetFilePath()))) {
    kiv::Prompter().ShowMessage(
        nullptr, kiv::MessageKind::Error, GetName(),
        QStringLiteral("\"%1\" cannot be added to the project: a project file cannot store a path "
                       "containing a double quote (\").")
            .arg(child->GetFilePath()));
    return -3;
  }
  return TqvWsModule::AddChild(child);
}

void TqvWsKivProject::Loaded() {
  readText();
  TqvWsModule::Loaded();
}

void TqvWsKivProject::readText() {
  FReadProblems.clear();
  kiv::TextFormat format = Format();
  const QByteArray bytes = kiv::EncodeText(OwnText(), format);
  std::istringstream input(std::string(bytes.constData(), static_cast<size_t>(bytes.size())));
  const std::string name = toFileText(GetName());
  const kiv::ProjectReadResult result = kiv::ReadProject(input, name);

  SetOutputDir(fromFileText(result.project.outputDir, format));
  SetExchangeDir(fromFileText(result.project.exchangeDir, format));
  const QDir folder = HasFilePath() ? QFileInfo(GetFilePath()).absoluteDir() : QDir::current();
  for (const kiv::ProjectGrammar& entry : result.project.grammars) {
    // A grammar path is read as the command line reads it ("\" separates too).
    const QString stored = kiv::StoredProjectPath(fromFileText(entry.path, format));
    const QString path = stored.isEmpty() ? stored : QDir::cleanPath(folder.absoluteFilePath(stored));
    IqvWsModulePtr module;
    if (stored.isEmpty() || QFileInfo(path).isFile()) {
      // An empty path asks the user for the file.
      module = openGrammar(path);
      if (!module) continue;
    } else {
      // The file is missing: keep the entry, so that saving the project writes it back, and
      // tell the user.
      auto missing = std::make_shared<TqvWsKivGrammarModule>();
      missing->SetFilePath(path);
      missing->SetMissing(true);
      missing->SetCreator(FGrammarWizard);
      module = missing;
      const kiv::ProjectDiagnostic problem{entry.line, 0,
                                           "Grammar \"" + entry.path + "\" doesn't exists"};
      FReadProblems << QString::fromStdString(kiv::FormatDiagnostic(name, problem));
    }
    if (FindChild(module->GetName())) {
      const kiv::ProjectDiagnostic problem{
          entry.line, 0,
          "Module \"" + toFileText(module->GetName()) + "\" already in the project; \"" + entry.path +
              "\" is not opened"};
      FReadProblems << QString::fromStdString(kiv::FormatDiagnostic(name, problem));
      continue;
    }
    AddChild(module);
    module->Loaded();
  }
  for (const kiv::ProjectDiagnostic& diagnostic : result.diagnostics)
    FReadProblems << fromFileText(kiv::FormatDiagnostic(name, diagnostic), format);
  if (!FReadProblems.isEmpty()) report(FReadProblems);
}

IqvWsModulePtr TqvWsKivProject::openGrammar(const QString& path) {
  if (FGrammarWizard) return FGrammarWizard->Open(path);
  // Without a wizard the grammar is still listed, read-only as far as saving goes: a module
  // without a creator is never written.
  if (path.isEmpty()) return nullptr;
  QString text;
  kiv::TextFormat format;
  kiv::FileStamp stamp;
  QString error;
  if (!kiv::LoadText(path, text, format, error, &stamp)) return nullptr;
  auto module = std::make_shared<TqvWsKivGrammarModule>();
  module->SetText(text);
  module->Format() = format;
  module->SetDiskStamp(stamp);
  module->SetSeenStamp(stamp);
  module->SetFilePath(path);
  return module;
}

void TqvWsKivProject::report(const QStringList& problems) {
  if (FMessageHandler) {
    for (const QString& problem : problems) FMessageHandler(problem);
    return;
  }
  kiv::Prompter().ShowMessage(nullptr, kiv::MessageKind::Warning, GetName(), problems.join(QLatin1Char('\n')));
}
