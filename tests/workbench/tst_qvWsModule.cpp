// tst_qvWsModule.cpp
// Workspace modules: children and their order, observers and notifications, the wizards' disk
// operations and close questions, the project tree, and the "New Items" choice.
#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "scriptedPrompter.h"
#include "workbench/qvNewItemsDialog.h"
#include "workbench/qvWsKivGrammarModule.h"
#include "workbench/qvWsKivWizards.h"
#include "workbench/qvWsTreeView.h"
#include "workbench/qvWsWizardRegistry.h"

namespace {

class Recorder : public IqvWsModuleObserver {
public:
  explicit Recorder(QString tag = {}) : FTag(std::move(tag)) {}
  QStringList events;
  QStringList* shared = nullptr;
  void ModuleLoaded(IqvWsModule* m) override { add("Loaded", m); }
  void ModuleClosed(IqvWsModule* m) override { add("Closed", m); }
  void ModuleSaved(IqvWsModule* m) override { add("Saved", m); }
  void ModulePathChanged(IqvWsModule* m) override { add("PathChanged", m); }
  void ChildAdded(IqvWsModule* m) override { add("ChildAdded", m); }
  void ChildRemoved(IqvWsModule* m) override { add("ChildRemoved", m); }

private:
  void add(const char* what, IqvWsModule* m) {
    const QString event = FTag + QString::fromLatin1(what) + QLatin1Char(':') + m->GetName();
    events << event;
    if (shared) *shared << event;
  }
  QString FTag;
};

IqvWsModulePtr grammar(const QString& name) { return std::make_shared<TqvWsKivGrammarModule>(name); }

QStringList childNames(const IqvWsModule& module) {
  QStringList names;
  for (int i = 0; i < module.ChildCount(); ++i) names << module.Child(i)->GetName();
  return names;
}

QString readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QStringLiteral("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

}  // namespace

class TestWsModule : public QObject {
  Q_OBJECT

private:
  QTemporaryDir FDir;
  QString path(const QString& name) const { return FDir.filePath(name); }

private slots:
  void childrenAndNotifications() {
    TqvWsModule project(QStringLiteral("p"), kiv::kModuleKindProject);
    Recorder recorder;
    project.AddObserver(&recorder);
    project.AddObserver(&recorder);  // added once

    QCOMPARE(project.AddChild(grammar("a")), 0);
    QVERIFY(project.IsModified());
    project.SetModified(false);
    const IqvWsModulePtr b = grammar("b");
    QCOMPARE(project.AddChild(b), 1);
    QCOMPARE(b->GetOwner(), &project);
    QCOMPARE(project.AddChild(grammar("b")), -2);  // same name from another folder
    QCOMPARE(project.AddChild(b), -2);
    QCOMPARE(project.FindChild("b"), b);
    QVERIFY(!project.FindChild("B"));
    QVERIFY(!project.Child(-1));
    QVERIFY(!project.Child(2));

    project.SetModified(false);
    QVERIFY(project.RemoveChild(b.get()));
    QVERIFY(project.IsModified());
    QVERIFY(!b->GetOwner());
    QVERIFY(!project.RemoveChild(b.get()));
    QCOMPARE(recorder.events, QStringList({"ChildAdded:a", "ChildAdded:b", "ChildRemoved:b"}));

    project.RemoveObserver(&recorder);
    project.AddChild(grammar("c"));
    QCOMPARE(recorder.events.size(), 3);
  }

  void observersInOrderOfAddition() {
    TqvWsModule module(QStringLiteral("m"));
    QStringList all;
    Recorder first(QStringLiteral("1 ")), second(QStringLiteral("2 "));
    first.shared = second.shared = &all;
    module.AddObserver(&first);
    module.AddObserver(&second);
    module.Loaded();
    QCOMPARE(all, QStringList({"1 Loaded:m", "2 Loaded:m"}));
  }

  void moveChildren() {
    TqvWsModule project(QStringLiteral("p"));
    for (const char* name : {"a", "b", "c", "d"}) project.AddChild(grammar(name));
    project.SetModified(false);
    project.MoveChildFirst(project.Child(2).get());  // a swap, not a shift
    QCOMPARE(childNames(project), QStringList({"c", "b", "a", "d"}));
    QVERIFY(project.IsModified());

    project.SetModified(false);
    project.MoveChildUp(project.Child(0).get());  // first child up: nothing moves
    QCOMPARE(childNames(project), QStringList({"c", "b", "a", "d"}));
    QVERIFY(project.IsModified());
    project.SetModified(false);
    project.MoveChildDown(project.Child(3).get());
    QCOMPARE(childNames(project), QStringList({"c", "b", "a", "d"}));
    QVERIFY(project.IsModified());

    project.MoveChildDown(project.Child(0).get());
    project.MoveChildUp(project.Child(3).get());
    QCOMPARE(childNames(project), QStringList({"b", "c", "d", "a"}));
    project.MoveChildLast(project.Child(0).get());
    QCOMPARE(childNames(project), QStringList({"a", "c", "d", "b"}));
  }

  void filePathAndName() {
    TqvWsKivGrammarModule module;
    Recorder recorder;
    module.AddObserver(&recorder);
    module.SetFilePath(QString());
    QVERIFY(!module.HasFilePath());
    module.SetFilePath(path("sub/../Calc.lexer.g"));
    module.SetFilePath(path("Calc.lexer.g"));
    QCOMPARE(module.GetFilePath(), QDir(FDir.path()).absoluteFilePath("Calc.lexer.g"));
    QCOMPARE(module.GetName(), QStringLiteral("Calc.lexer"));
    QCOMPARE(recorder.events, QStringList({"PathChanged:Calc.lexer"}));
    module.SetFilePath(path("Makefile"));
    QCOMPARE(module.GetName(), QStringLiteral("Makefile"));
  }

  void withoutCreator() {
    TqvWsKivGrammarModule module(QStringLiteral("g"));
    module.SetModified(true);
    QVERIFY(!module.Save());
    QVERIFY(!module.SaveAs());
    QVERIFY(module.Close());
  }

  void wizardOpenSaveSaveAs() {
    ScriptedPrompter prompter;
    TqvWsKivGrammarWizard wizard;
    writeFile(path("a.g"), "lexer a;\r\nrules\r\n");
    QVERIFY(!wizard.Open(path("nothing.g")));

    const IqvWsModulePtr module = wizard.Open(path("a.g"));
    QVERIFY(module);
    QCOMPARE(module->GetName(), QStringLiteral("a"));
    QCOMPARE(module->GetLines(), QStringList({"lexer a;", "rules"}));
    QCOMPARE(module->GetCreator(), &wizard);
    QVERIFY(!module->IsModified());
    QCOMPARE(wizard.GetCurrentModule(), module);

    // The open dialog when no name is given; cancelled, nothing opens.
    QVERIFY(!wizard.Open(QString()));
    QCOMPARE(prompter.fileRequests.back().title, QStringLiteral("Open KIV Grammar source..."));
    QCOMPARE(prompter.fileRequests.back().filter, QStringLiteral("KIV Grammar (*.g)|*.g"));
    QCOMPARE(prompter.fileRequests.back().defaultExtension, QStringLiteral("g"));

    // Saving keeps the file's line ends.
    module->SetLines({"lexer a;", "changed"});
    module->SetModified(true);
    Recorder recorder;
    module->AddObserver(&recorder);
    QVERIFY(module->Save());
    QVERIFY(!module->IsModified());
    QCOMPARE(readFile(path("a.g")), QStringLiteral("lexer a;\r\nchanged\r\n"));
    QCOMPARE(recorder.events, QStringList({"Saved:a"}));

    // Save as: a cancelled dialog saves nothing; a chosen name is written and becomes the path.
    const size_t asked = prompter.fileRequests.size();
    QVERIFY(!module->SaveAs());
    QCOMPARE(prompter.fileRequests.size(), asked + 1);
    QCOMPARE(prompter.fileRequests.back().title, QStringLiteral("Save KIV Grammar source..."));
    QCOMPARE(prompter.fileRequests.back().fileName, QStringLiteral("a"));
    prompter.files = {path("b.g")};
    QVERIFY(module->SaveAs());
    QCOMPARE(module->GetName(), QStringLiteral("b"));
    QCOMPARE(readFile(path("b.g")), QStringLiteral("lexer a;\r\nchanged\r\n"));

    // A new module has no path: saving asks for one.
    const IqvWsModulePtr fresh = wizard.New();
    QCOMPARE(wizard.GetCount(), 1);
    QVERIFY(fresh->IsModified());
    QCOMPARE(fresh->GetCreator(), &wizard);
    fresh->SetLines({"parser p;"});
    prompter.files = {path("fresh.g")};
    QVERIFY(fresh->Save());
    QCOMPARE(readFile(path("fresh.g")), QStringLiteral("parser p;") + kiv::TextFormat::NativeLineEnd());
  }

  void failedSaveSaysWhyAndKeepsTheModuleModified() {
    ScriptedPrompter prompter;
    TqvWsKivGrammarWizard wizard;
    writeFile(path("keep.g"), "original\n");
    const IqvWsModulePtr module = wizard.Open(path("keep.g"));
    QVERIFY(module);
    QDir().mkpath(path("blocked.g"));  // a folder where the file should go
    prompter.files = {path("blocked.g")};
    module->SetModified(true);
    QVERIFY(!module->SaveAs());
    QVERIFY(module->IsModified());
    QCOMPARE(module->GetFilePath(), QFileInfo(path("keep.g")).absoluteFilePath());
    QCOMPARE(prompter.messages.size(), size_t(1));
    QVERIFY(prompter.messages[0].text.contains(QStringLiteral("Cannot save")));
    QCOMPARE(readFile(path("keep.g")), QStringLiteral("original\n"));
  }

  void closeAsksOncePerModifiedModuleChildrenFirst() {
    ScriptedPrompter prompter;
    TqvWsKivGrammarWizard grammars;
    TqvWsKivProjectWizard projects(&grammars);
    writeFile(path("x.g"), "x\n");
    writeFile(path("y.g"), "y\n");
    writeFile(path("z.g"), "z\n");
    const IqvWsModulePtr project = projects.New();
    for (const char* name : {"x.g", "y.g", "z.g"}) project->AddChild(grammars.Open(path(name)));
    project->Child(0)->SetModified(true);
    project->Child(2)->SetModified(true);

    // Cancel on a child keeps everything open.
    prompter.answers = {kiv::PromptAnswer::Cancel};
    QVERIFY(!project->Close());
    QCOMPARE(prompter.questions, QStringList({"Confirm: Save changes to x?"}));
    QVERIFY(project->Child(0)->IsModified());

    // No, then Yes on the other child, then Cancel on the project itself: every question comes
    // before anything is saved or released, so Cancel leaves all as it was.
    prompter.questions.clear();
    project->Child(2)->SetLines({"z2"});
    prompter.answers = {kiv::PromptAnswer::No, kiv::PromptAnswer::Yes, kiv::PromptAnswer::Cancel};
    QVERIFY(!project->Close());
    QCOMPARE(prompter.questions, QStringList({"Confirm: Save changes to x?", "Confirm: Save changes to z?",
                                              "Confirm: Save changes to kivProject?"}));
    QCOMPARE(readFile(path("x.g")), QStringLiteral("x\n"));
    QCOMPARE(readFile(path("z.g")), QStringLiteral("z\n"));
    QCOMPARE(project->ChildCount(), 3);
    QVERIFY(project->Child(0)->IsModified() && project->Child(2)->IsModified());

    // Yes on the project whose save dialog is cancelled: the close fails, and the grammar
    // answered No is not saved along with the project.
    prompter.questions.clear();
    prompter.answers = {kiv::PromptAnswer::No, kiv::PromptAnswer::No, kiv::PromptAnswer::Yes};
    QVERIFY(!project->Close());
    QCOMPARE(prompter.questions.last(), QStringLiteral("Confirm: Save changes to kivProject?"));
    QCOMPARE(readFile(path("x.g")), QStringLiteral("x\n"));
    QVERIFY(project->Child(0)->IsModified());

    // No: closes without saving.
    prompter.answers = {kiv::PromptAnswer::No, kiv::PromptAnswer::No, kiv::PromptAnswer::No};
    QVERIFY(project->Close());
    QVERIFY(!QFile::exists(path("kivProject.kvp")));
    QCOMPARE(readFile(path("z.g")), QStringLiteral("z\n"));
  }

  void treeView() {
    TqvWsTreeView tree;
    QSignalSpy changed(&tree, &TqvWsTreeView::Changed);
    auto project = std::make_shared<TqvWsModule>(QStringLiteral("p"), kiv::kModuleKindProject);
    const IqvWsModulePtr a = grammar("a"), b = grammar("b"), c = grammar("c");
    for (const auto& child : {a, b, c}) project->AddChild(child);

    tree.ShowModule(project);
    for (const auto& child : {a, b, c}) tree.ShowModule(child);
    tree.ShowModule(a);  // shown once
    QCOMPARE(tree.topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree.topLevelItem(0);
    QCOMPARE(tree.ImageIndexOf(root), 4);
    QCOMPARE(tree.SelectedModule(), IqvWsModulePtr(project));
    QCOMPARE(root->childCount(), 3);
    QVERIFY(root->isExpanded());
    QCOMPARE(tree.ImageIndexOf(root->child(0)), 8);
    QCOMPARE(tree.Images().size(), size_t(12));
    QVERIFY(!tree.Images()[8].isNull());

    // Renames follow the module; removal deletes the node.
    static_cast<TqvWsModule*>(b.get())->SetFilePath(path("bee.g"));
    QCOMPARE(root->child(1)->text(0), QStringLiteral("bee"));
    project->RemoveChild(c.get());
    QCOMPARE(root->childCount(), 2);
    QVERIFY(!tree.NodeOf(c.get()));

    // Moving swaps nodes and tells the owner.
    tree.setCurrentItem(root->child(0));
    QVERIFY(tree.CanMoveDown());
    QVERIFY(!tree.CanMoveUp());
    changed.clear();
    tree.MoveDown();
    QCOMPARE(childNames(*project), QStringList({"bee", "a"}));
    QCOMPARE(root->child(1)->text(0), QStringLiteral("a"));
    QCOMPARE(tree.SelectedModule(), a);
    QVERIFY(changed.count() >= 1);
    tree.MoveUp();
    QCOMPARE(childNames(*project), QStringList({"a", "bee"}));

    // The module at a position is found by a hit test on an item only.
    tree.resize(200, 200);
    const QRect rect = tree.visualItemRect(root->child(1));
    QCOMPARE(tree.ModuleAt(rect.center()), b);
    QVERIFY(!tree.ModuleAt(QPoint(190, 190)));

    tree.HideModule(project.get());
    QCOMPARE(tree.topLevelItemCount(), 0);
    project->AddChild(c);  // no longer observed: nothing happens in the tree
    QCOMPARE(tree.topLevelItemCount(), 0);
  }

  void registryAndNewItems() {
    TqvWsModuleWizard::Identity lexerIdentity;
    lexerIdentity.displayName = QStringLiteral("KIV Lexer");
    lexerIdentity.iconResource = QStringLiteral("WsKivLexerIcon");
    TqvWsModuleWizard::Identity parserIdentity;
    parserIdentity.displayName = QStringLiteral("KIV Parser");
    parserIdentity.iconResource = QStringLiteral("WsKivParserIcon");
    TqvWsModuleWizard lexer(lexerIdentity), parser(parserIdentity);
    TqvWsKivGrammarWizard grammars;
    TqvWsKivProjectWizard projects(&grammars);

    TqvWsWizardRegistry registry;
    registry.Register({&lexer, &parser}, QStringLiteral("Grammars"));
    registry.Register({&projects}, QStringLiteral("Projects"));
    registry.Register({&lexer}, QStringLiteral("Grammars"));
    QCOMPARE(registry.Wizards().size(), size_t(3));
    QCOMPARE(registry.Categories(), QStringList({"Grammars", "Projects"}));
    QCOMPARE(lexer.GetCategory(), QStringLiteral("Grammars"));

    {
      TfrmNewItems dialog(registry);
      QCOMPARE(dialog.windowTitle(), QStringLiteral("New Items"));
      QCOMPARE(dialog.Pages()->count(), 2);
      QCOMPARE(dialog.Pages()->tabText(0), QStringLiteral("Grammars"));
      QListWidget* list = dialog.List(0);
      QCOMPARE(list->count(), 2);
      QCOMPARE(list->item(1)->text(), QStringLiteral("KIV Parser"));
      QVERIFY(!list->item(0)->icon().isNull());
      QVERIFY(!dialog.OkButton()->isEnabled());
      list->setCurrentRow(1);
      QVERIFY(dialog.OkButton()->isEnabled());
      QCOMPARE(dialog.ChosenWizard(), &parser);
    }

    // Choosing: a double click on an item closes the modal dialog with that wizard.
    bool seen = false;
    QTimer::singleShot(0, this, [&seen] {
      auto* dialog = qobject_cast<TfrmNewItems*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      seen = true;
      QListWidget* list = dialog->List(0);
      const QRect rect = list->visualItemRect(list->item(0));
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
      QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    });
    QCOMPARE(registry.Choose(nullptr), &lexer);
    QVERIFY(seen);

    QTimer::singleShot(0, this, [] {
      if (auto* dialog = qobject_cast<TfrmNewItems*>(QApplication::activeModalWidget())) dialog->reject();
    });
    QVERIFY(!registry.Choose(nullptr));
  }
};

QTEST_MAIN(TestWsModule)
#include "tst_qvWsModule.moc"
