// qvWsModule.h
// TqvWsModule: the document model shared by projects and grammar files. It holds the text
// while no editor is open, its child modules in order, and the observers it notifies.
#pragma once

#include <vector>

#include "workbench/qvTextFile.h"
#include "workbench/qvWsModuleIntf.h"

class TqvWsModule : public IqvWsModule {
public:
  explicit TqvWsModule(QString name = QString(), quint16 kind = kiv::kModuleKindBase);
  ~TqvWsModule() override;
  TqvWsModule(const TqvWsModule&) = delete;
  TqvWsModule& operator=(const TqvWsModule&) = delete;

  IqvWsModule* GetOwner() const override { return FOwner; }
  quint16 GetKind() const override { return FKind; }
  IqvWsModuleEditor* GetEditor() const override { return FEditor.get(); }
  QString GetName() const override { return FName; }
  QString GetFilePath() const override { return FFilePath; }
  QStringList GetLines() override;
  bool IsModified() const override;
  int ChildCount() const override { return static_cast<int>(FChildren.size()); }
  IqvWsModulePtr Child(int index) const override;
  IqvWsModuleWizard* GetCreator() const override { return FCreator; }
  void SetOwner(IqvWsModule* owner) override { FOwner = owner; }
  void SetEditor(std::unique_ptr<IqvWsModuleEditor> editor) override;
  void SetFilePath(const QString& path) override;
  void SetModified(bool modified) override;
  void SetCreator(IqvWsModuleWizard* creator) override { FCreator = creator; }
  bool HasFilePath() const override { return !FFilePath.isEmpty(); }
  void Loaded() override;
  bool Close() override;
  bool Save() override;
  bool SaveAs() override;
  bool OpenEditor(QTabWidget* pages, kiv::PanelStatusBar* statusBar) override;
  void MoveChildFirst(IqvWsModule* child) override;
  void MoveChildLast(IqvWsModule* child) override;
  void MoveChildUp(IqvWsModule* child) override;
  void MoveChildDown(IqvWsModule* child) override;
  int AddChild(const IqvWsModulePtr& child) override;
  bool RemoveChild(IqvWsModule* child) override;
  IqvWsModulePtr FindChild(const QString& name) const override;
  void AddObserver(IqvWsModuleObserver* observer) override;
  void RemoveObserver(IqvWsModuleObserver* observer) override;

  void SetLines(const QStringList& lines) override { FLines = lines; }
  kiv::TextFormat& Format() override { return FFormat; }
  bool LinesForFile(const QString& filePath, QStringList& lines, QString& error) override;
  QString GetFileFilter() const override { return FFileFilter; }
  QString GetDefaultExtension() const override { return FDefaultExtension; }

  void SetName(const QString& name) { FName = name; }
  int IndexOfChild(const IqvWsModule* child) const;

protected:
  // Makes the editor for this kind of module; the base module has none.
  virtual std::unique_ptr<IqvWsModuleEditor> CreateEditor();
  // Copies the open editor's text into the module's own lines.
  void TakeEditorLines();
  void SetFileType(const QString& filter, const QString& defaultExtension);
  bool OwnModified() const { return FModified; }
  // The module's own lines, whether or not an editor is open.
  const QStringList& OwnLines() const { return FLines; }

  enum class Notification { Loaded, Closed, Saved, PathChanged, ChildAdded, ChildRemoved };
  void Notify(Notification what, IqvWsModule* module);

private:
  void swapChildren(int a, int b);

  IqvWsModule* FOwner = nullptr;
  std::unique_ptr<IqvWsModuleEditor> FEditor;
  IqvWsModuleWizard* FCreator = nullptr;
  quint16 FKind;
  QString FName;
  QString FFilePath;
  bool FModified = false;
  QStringList FLines;
  kiv::TextFormat FFormat;
  QString FFileFilter;
  QString FDefaultExtension;
  std::vector<IqvWsModulePtr> FChildren;
  std::vector<IqvWsModuleObserver*> FObservers;
};
