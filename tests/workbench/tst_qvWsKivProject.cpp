// tst_qvWsKivProject.cpp
// The project module: saving its file with relative grammar paths, reading it back through the
// wizards, and what happens to missing grammars, unstorable paths and malformed files.
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "scriptedPrompter.h"
#include "workbench/qvWsKivGrammarModule.h"
#include "workbench/qvWsKivProject.h"
#include "workbench/qvWsKivWizards.h"

namespace {

QByteArray readBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

QStringList childNames(const IqvWsModule& module) {
  QStringList names;
  for (int i = 0; i < module.ChildCount(); ++i) names << module.Child(i)->GetName();
  return names;
}

TqvWsKivProject& asProject(const IqvWsModulePtr& module) { return *std::dynamic_pointer_cast<TqvWsKivProject>(module); }

}  // namespace

class TestKivProject : public QObject {
  Q_OBJECT

private:
  QTemporaryDir FDir;
  QString path(const QString& name) const { return FDir.filePath(name); }
  std::unique_ptr<TqvWsKivGrammarWizard> FGrammars;
  std::unique_ptr<TqvWsKivProjectWizard> FProjects;

private slots:
  void init() {
    FGrammars = std::make_unique<TqvWsKivGrammarWizard>();
    FProjects = std::make_unique<TqvWsKivProjectWizard>(FGrammars.get());
    writeFile(path("proj/sub/Lexer.g"), "lexer grammar\n");
    writeFile(path("other/Parser.g"), "parser grammar\n");
    QFile::remove(path("proj/demo.kvp"));
  }

  void newProjectIsEmpty() {
    const IqvWsModulePtr project = FProjects->New();
    QCOMPARE(project->GetName(), QStringLiteral("kivProject"));
    QCOMPARE(project->GetKind(), kiv::kModuleKindProject);
    QVERIFY(project->IsModified());
    QCOMPARE(project->GetLines(), QStringList({"KIV project", "End"}));
    QCOMPARE(project->GetFileFilter(), QStringLiteral("KIV Project (*.kvp)|*.kvp"));
  }

  void saveAndReopenRoundTrip() {
    ScriptedPrompter prompter;
    const IqvWsModulePtr project = FProjects->New();
    project->AddChild(FGrammars->Open(path("other/Parser.g")));
    project->AddChild(FGrammars->Open(path("proj/sub/Lexer.g")));
    asProject(project).SetOutputDir(QStringLiteral("units"));
    asProject(project).SetExchangeDir(QStringLiteral("/abs/xchg"));

    prompter.files = {path("proj/demo.kvp")};
    QVERIFY(project->Save());
    QVERIFY(!project->IsModified());
    QCOMPARE(prompter.fileRequests.back().title, QStringLiteral("Save KIV Project..."));
    QCOMPARE(prompter.fileRequests.back().fileName, QStringLiteral("kivProject"));
    QCOMPARE(project->GetName(), QStringLiteral("demo"));
    QCOMPARE(readBytes(path("proj/demo.kvp")),
             QByteArray("KIV project\r\n"
                        "   OutputDir = \"units\"\r\n"
                        "   ExchangeDir = \"/abs/xchg\"\r\n"
                        "   Grammar   = \"../other/Parser.g\"\r\n"
                        "   Grammar   = \"sub/Lexer.g\"\r\n"
                        "End\r\n"));

    const IqvWsModulePtr reopened = FProjects->OpenProject(path("proj/demo.kvp"));
    QVERIFY(reopened);
    QVERIFY(!reopened->IsModified());
    QCOMPARE(asProject(reopened).GetOutputDir(), QStringLiteral("units"));
    QCOMPARE(asProject(reopened).GetExchangeDir(), QStringLiteral("/abs/xchg"));
    QCOMPARE(childNames(*reopened), QStringList({"Parser", "Lexer"}));
    QCOMPARE(reopened->Child(1)->GetFilePath(), QFileInfo(path("proj/sub/Lexer.g")).absoluteFilePath());
    QCOMPARE(reopened->Child(1)->GetLines(), QStringList({"lexer grammar"}));
    QCOMPARE(reopened->Child(0)->GetCreator(), FGrammars.get());
    QVERIFY(prompter.messages.empty());

    // Saving under another name makes the paths relative to the new folder.
    prompter.files = {path("other/moved.kvp")};
    QVERIFY(reopened->SaveAs());
    QVERIFY(readBytes(path("other/moved.kvp")).contains("Grammar   = \"Parser.g\"\r\n   Grammar   = \"../proj/sub/Lexer.g\""));
  }

  void missingGrammarIsReportedAndKept() {
    writeFile(path("proj/demo.kvp"),
              "KIV project\r\n   Grammar   = \"gone.g\"\r\n   Grammar   = \"sub/Lexer.g\"\r\nEnd\r\n");
    QStringList reported;
    const IqvWsModulePtr project = FProjects->Open(path("proj/demo.kvp"));
    QVERIFY(project);
    asProject(project).SetMessageHandler([&reported](const QString& line) { reported << line; });
    project->Loaded();
    project->SetModified(false);
    QCOMPARE(reported, QStringList({"demo(2): Grammar \"gone.g\" doesn't exists"}));
    QCOMPARE(childNames(*project), QStringList({"gone", "Lexer"}));
    QVERIFY(static_cast<TqvWsKivGrammarModule&>(*project->Child(0)).IsMissing());

    // The entry survives the next save in its place.
    project->MoveChildDown(project->Child(0).get());
    QVERIFY(project->Save());
    QCOMPARE(readBytes(path("proj/demo.kvp")),
             QByteArray("KIV project\r\n   Grammar   = \"sub/Lexer.g\"\r\n   Grammar   = \"gone.g\"\r\nEnd\r\n"));

    // Without a handler the problems are shown in one message box.
    ScriptedPrompter prompter;
    QVERIFY(FProjects->OpenProject(path("proj/demo.kvp")));
    QCOMPARE(prompter.messages.size(), size_t(1));
    QVERIFY(prompter.messages[0].text.contains(QStringLiteral("Grammar \"gone.g\" doesn't exists")));
  }

  void malformedFileKeepsWhatWasReadAndSaysWhere() {
    writeFile(path("proj/demo.kvp"),
              "KIV project\n ExchangeDir = \"x\"\n OutputDir = \"o\"\n Grammar = \"sub/Lexer.g\"\nEnd\n");
    ScriptedPrompter prompter;
    const IqvWsModulePtr project = FProjects->OpenProject(path("proj/demo.kvp"));
    QVERIFY(project);
    QCOMPARE(asProject(project).GetExchangeDir(), QStringLiteral("x"));
    QCOMPARE(asProject(project).GetOutputDir(), QString());
    QCOMPARE(project->ChildCount(), 0);
    QCOMPARE(asProject(project).ReadProblems(),
             QStringList({"demo(3): Syntax error in project file: unexpected \"OutputDir\""}));
    QCOMPARE(prompter.messages.size(), size_t(1));
  }

  void emptyGrammarPathAsksForTheFile() {
    writeFile(path("proj/demo.kvp"), "KIV project Grammar = \"\" End");
    ScriptedPrompter prompter;
    prompter.files = {path("other/Parser.g")};
    const IqvWsModulePtr project = FProjects->OpenProject(path("proj/demo.kvp"));
    QCOMPARE(prompter.fileRequests.size(), size_t(1));
    QCOMPARE(prompter.fileRequests[0].title, QStringLiteral("Open KIV Grammar source..."));
    QCOMPARE(childNames(*project), QStringList({"Parser"}));
  }

  void sameNameTwiceIsReported() {
    writeFile(path("proj/Parser.g"), "x\n");
    writeFile(path("proj/demo.kvp"), "KIV project Grammar = \"Parser.g\" Grammar = \"../other/Parser.g\" End");
    ScriptedPrompter prompter;
    const IqvWsModulePtr project = FProjects->OpenProject(path("proj/demo.kvp"));
    QCOMPARE(project->ChildCount(), 1);
    QCOMPARE(project->Child(0)->GetFilePath(), QFileInfo(path("proj/Parser.g")).absoluteFilePath());
    QCOMPARE(prompter.messages.size(), size_t(1));
    QVERIFY(prompter.messages[0].text.contains(QStringLiteral("../other/Parser.g")));
  }

  void pathWithDoubleQuoteIsRefused() {
    ScriptedPrompter prompter;
    writeFile(path("other/say\"hi\".g"), "x\n");
    const IqvWsModulePtr project = FProjects->New();
    project->SetModified(false);
    QCOMPARE(project->AddChild(FGrammars->Open(path("other/say\"hi\".g"))), -3);
    QCOMPARE(project->ChildCount(), 0);
    QVERIFY(!project->IsModified());
    QCOMPARE(prompter.messages.size(), size_t(1));
    QVERIFY(prompter.messages[0].text.contains(QStringLiteral("double quote")));

    // A directory with a double quote makes the save fail with a reason; the file stays as it was.
    writeFile(path("proj/demo.kvp"), "KIV project End");
    const IqvWsModulePtr saved = FProjects->OpenProject(path("proj/demo.kvp"));
    asProject(saved).SetOutputDir(QStringLiteral("a\"b"));
    QVERIFY(!saved->Save());
    QVERIFY(saved->IsModified());
    QCOMPARE(readBytes(path("proj/demo.kvp")), QByteArray("KIV project End"));
    QCOMPARE(prompter.messages.size(), size_t(2));
  }

  void withoutGrammarWizardNothingIsLost() {
    ScriptedPrompter prompter;
    TqvWsKivProject project;
    project.SetLines({"KIV project", "Grammar = \"sub/Lexer.g\"", "Grammar = \"nothing.g\"", "End"});
    project.SetFilePath(path("proj/demo.kvp"));
    project.Loaded();
    QCOMPARE(childNames(project), QStringList({"Lexer", "nothing"}));
    QVERIFY(!project.Child(0)->GetCreator());
    QCOMPARE(project.Child(0)->GetLines(), QStringList({"lexer grammar"}));
    QCOMPARE(project.GetLines(),
             QStringList({"KIV project", "   Grammar   = \"sub/Lexer.g\"", "   Grammar   = \"nothing.g\"", "End"}));
  }

  void modifiedGrammarsAreSavedFirst() {
    ScriptedPrompter prompter;
    writeFile(path("proj/demo.kvp"), "KIV project Grammar = \"sub/Lexer.g\" End");
    const IqvWsModulePtr project = FProjects->OpenProject(path("proj/demo.kvp"));
    QVERIFY(!project->IsModified());
    project->Child(0)->SetLines({"lexer grammar", "changed"});
    project->Child(0)->SetModified(true);
    QVERIFY(project->IsModified());
    QVERIFY(project->Save());
    QCOMPARE(readBytes(path("proj/sub/Lexer.g")), QByteArray("lexer grammar\nchanged\n"));
    QVERIFY(!project->IsModified());

    // A new grammar whose save is cancelled stops the project's save.
    const IqvWsModulePtr fresh = FGrammars->New();
    project->AddChild(fresh);
    QVERIFY(!project->Save());
    QCOMPARE(readBytes(path("proj/demo.kvp")), QByteArray("KIV project Grammar = \"sub/Lexer.g\" End"));
  }
};

QTEST_MAIN(TestKivProject)
#include "tst_qvWsKivProject.moc"
