// qvWsModule.cpp
// Names and paths, text and modified state, children, observers and the disk operations that
// a module delegates to the wizard that created it.
#include "workbench/qvWsModule.h"

#include <QFileInfo>
#include <QTabWidget>
#include <algorithm>

TqvWsModule::TqvWsModule(QString name, quint16 kind) : FKind(kind), FName(std::move(name)) {}

TqvWsModule::~TqvWsModule() {
  for (const IqvWsModulePtr& child : FChildren)
    if (child->GetOwner() == this) child->SetOwner(nullptr);
}

QStringList TqvWsModule::GetLines() { return kiv::SplitFileLines(GetText()); }

QString TqvWsModule::GetText() {
  if (FEditor) return FEditor->GetText();
  return FText;
}

void TqvWsModule::SetLines(const QStringList& lines) { FText = kiv::JoinFileLines(lines, FFormat.lineEnd); }

bool TqvWsModule::TextForFile(const QString&, QString& text, QString&) {
  text = GetText();
  return true;
}

bool TqvWsModule::IsModified() const {
  if (FEditor) return FEditor->GetModified();
  return FModified;
}

void TqvWsModule::SetModified(bool modified) {
  if (FEditor) FEditor->SetModified(modified);
  else FModified = modified;
}

IqvWsModulePtr TqvWsModule::Child(int index) const {
  if (index < 0 || index >= ChildCount()) return nullptr;
  return FChildren[static_cast<size_t>(index)];
}

void TqvWsModule::SetEditor(std::unique_ptr<IqvWsModuleEditor> editor) {
  // Swap first so that a module asked about itself while its editor goes away sees no editor.
  std::unique_ptr<IqvWsModuleEditor> old = std::move(FEditor);
  FEditor = std::move(editor);
  old.reset();
}

void TqvWsModule::SetFilePath(const QString& path) {
  if (path.isEmpty()) return;
  const QFileInfo info(path);
  const QString absolute = info.absoluteFilePath();
  if (absolute == FFilePath) return;
  FFilePath = absolute;
  FName = info.suffix().isEmpty() ? info.fileName() : info.completeBaseName();
  Notify(Notification::PathChanged, this);
}

std::unique_ptr<IqvWsModuleEditor> TqvWsModule::CreateEditor() { return nullptr; }

void TqvWsModule::TakeEditorText() {
  if (FEditor) FText = FEditor->GetText();
}

void TqvWsModule::SetFileType(const QString& filter, const QString& defaultExtension) {
  FFileFilter = filter;
  FDefaultExtension = defaultExtension;
}

void TqvWsModule::Loaded() { Notify(Notification::Loaded, this); }

bool TqvWsModule::Close() {
  // The creator asks every question first; only when all are answered is anything released.
  if (FCreator && !FCreator->Close(this)) return false;
  Discard();
  return true;
}

void TqvWsModule::Discard() {
  // Whatever the editors held was saved or, by the user's choice, is given up.
  for (const IqvWsModulePtr& child : std::vector<IqvWsModulePtr>(FChildren)) child->Discard();
  SetEditor(nullptr);
  FModified = false;
  Notify(Notification::Closed, this);
}

void TqvWsModule::SetMissing(bool missing) {
  if (FMissing == missing) return;
  FMissing = missing;
  Notify(Notification::StateChanged, this);
}

void TqvWsModule::Reload(const QString& text, const kiv::TextFormat& format, const kiv::FileStamp& stamp) {
  FFormat = format;
  FText = text;
  if (FEditor) FEditor->ReloadText(text);
  FModified = false;
  if (FEditor) FEditor->SetModified(false);
  FDiskStamp = stamp;
  FSeenStamp = stamp;
  FMissing = false;
  Notify(Notification::StateChanged, this);
}

bool TqvWsModule::Save() {
  TakeEditorText();
  if (!FCreator || !FCreator->Save(this)) return false;
  Notify(Notification::Saved, this);
  return true;
}

bool TqvWsModule::SaveAs() {
  TakeEditorText();
  if (!FCreator || !FCreator->SaveAs(this)) return false;
  Notify(Notification::Saved, this);
  return true;
}

bool TqvWsModule::OpenEditor(QTabWidget* pages, kiv::PanelStatusBar* statusBar) {
  if (FEditor) {
    FEditor->Show(nullptr);
    return true;
  }
  std::unique_ptr<IqvWsModuleEditor> editor = CreateEditor();
  if (!editor) return false;
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("tab_") + FName);
  pages->addTab(page, FName);
  pages->setVisible(true);
  pages->setCurrentWidget(page);
  editor->SetText(FText, FFormat);
  // The module's own flag carries over: a module made by a wizard stays modified in its editor.
  editor->SetModified(FModified);
  editor->SetStatusBar(statusBar);
  editor->Show(page);
  FEditor = std::move(editor);
  return true;
}

int TqvWsModule::IndexOfChild(const IqvWsModule* child) const {
  for (size_t i = 0; i < FChildren.size(); ++i)
    if (FChildren[i].get() == child) return static_cast<int>(i);
  return -1;
}

void TqvWsModule::swapChildren(int a, int b) {
  std::swap(FChildren[static_cast<size_t>(a)], FChildren[static_cast<size_t>(b)]);
}

void TqvWsModule::MoveChildFirst(IqvWsModule* child) {
  const int index = IndexOfChild(child);
  if (index > 0) swapChildren(index, 0);
  SetModified(true);
}

void TqvWsModule::MoveChildLast(IqvWsModule* child) {
  const int index = IndexOfChild(child);
  if (index >= 0 && index < ChildCount() - 1) swapChildren(index, ChildCount() - 1);
  SetModified(true);
}

void TqvWsModule::MoveChildUp(IqvWsModule* child) {
  const int index = IndexOfChild(child);
  if (index > 0) swapChildren(index, index - 1);
  SetModified(true);
}

void TqvWsModule::MoveChildDown(IqvWsModule* child) {
  const int index = IndexOfChild(child);
  if (index >= 0 && index < ChildCount() - 1) swapChildren(index, index + 1);
  SetModified(true);
}

int TqvWsModule::AddChild(const IqvWsModulePtr& child) {
  if (!child) return -1;
  if (FindChild(child->GetName())) return -2;
  if (IndexOfChild(child.get()) >= 0) return -1;
  FChildren.push_back(child);
  child->SetOwner(this);
  Notify(Notification::ChildAdded, child.get());
  SetModified(true);
  return ChildCount() - 1;
}

bool TqvWsModule::RemoveChild(IqvWsModule* child) {
  const int index = IndexOfChild(child);
  if (index < 0) return false;
  // Keep the child alive while observers hear about it.
  const IqvWsModulePtr removed = FChildren[static_cast<size_t>(index)];
  FChildren.erase(FChildren.begin() + index);
  if (removed->GetOwner() == this) removed->SetOwner(nullptr);
  Notify(Notification::ChildRemoved, removed.get());
  SetModified(true);
  return true;
}

IqvWsModulePtr TqvWsModule::FindChild(const QString& name) const {
  for (const IqvWsModulePtr& child : FChildren)
    if (child->GetName() == name) return child;
  return nullptr;
}

void TqvWsModule::AddObserver(IqvWsModuleObserver* observer) {
  if (observer && std::find(FObservers.begin(), FObservers.end(), observer) == FObservers.end())
    FObservers.push_back(observer);
}

void TqvWsModule::RemoveObserver(IqvWsModuleObserver* observer) {
  FObservers.erase(std::remove(FObservers.begin(), FObservers.end(), observer), FObservers.end());
}

void TqvWsModule::Notify(Notification what, IqvWsModule* module) {
  // Observers may add or remove observers while being notified: work on a snapshot, and skip
  // any that were removed meanwhile.
  const std::vector<IqvWsModuleObserver*> snapshot = FObservers;
  for (IqvWsModuleObserver* observer : snapshot) {
    if (std::find(FObservers.begin(), FObservers.end(), observer) == FObservers.end()) continue;
    switch (what) {
      case Notification::Loaded: observer->ModuleLoaded(module); break;
      case Notification::Closed: observer->ModuleClosed(module); break;
      case Notification::Saved: observer->ModuleSaved(module); break;
      case Notification::PathChanged: observer->ModulePathChanged(module); break;
      case Notification::ChildAdded: observer->ChildAdded(module); break;
      case Notification::ChildRemoved: observer->ChildRemoved(module); break;
      case Notification::StateChanged: observer->ModuleStateChanged(module); break;
    }
  }
}
