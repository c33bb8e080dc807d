// qvWsModule.h
// TqvWsModule: the document model shared by projects and grammar files. It holds the text
// while no editor is open, what the disk held when the text was read or written, its child
// modules in order, and the observers it notifies.
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

  QString GetText() override;
  void SetText(const QString& text) override { FText = text; }
  void SetLines(const QStringList& lines) override;
  kiv::TextFormat& Format() override { return FFormat; }
  bool TextForFile(const QString& filePath, QString& text, QString& error) override;
  QString GetFileFilter() const override { return FFileFilter; }
  QString GetDefaultExtension() const override { return FDefaultExtension; }
  bool HasOwnChanges() const override { return TqvWsModule::IsModified(); }
  void Discard() override;
  const kiv::FileStamp& DiskStamp() const override { return FDiskStamp; }
  void SetDiskStamp(const kiv::FileStamp& stamp) override { FDiskStamp = stamp; }
  const kiv::FileStamp& SeenStamp() const override { return FSeenStamp; }
  void SetSeenStamp(const kiv::FileStamp& stamp) override { FSeenStamp = stamp; }
  bool IsMissing() const override { return FMissing; }
  void SetMissing(bool missing) override;
  void Reload(const QString& text, const kiv::TextFormat& format, const kiv::FileStamp& stamp) override;

  void SetName(const QString& name) { FName = name; }
  int IndexOfChild(const IqvWsModule* child) const;

protected:
  // Makes the editor for this kind of module; the base module has none.
  virtual std::unique_ptr<IqvWsModuleEditor> CreateEditor();
  // Copies the open editor's text into the module's own text.
  void TakeEditorText();
  void SetFileType(const QString& filter, const QString& defaultExtension);
  bool OwnModified() const { return FModified; }
  // The module's own text, whether or not an editor is open.
  const QString& OwnText() const { return FText; }

  enum class Notification { Loaded, Closed, Saved, PathChanged, ChildAdded, ChildRemoved, StateChanged };
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
  bool FMissing = false;
  QString FText;
  kiv::TextFormat FFormat;
  kiv::FileStamp FDiskStamp;
  kiv::FileStamp FSeenStamp;
  QString FFileFilter;
  QString FDefaultExtension;
  std::vector<IqvWsModulePtr> FChildren;
  std::vector<IqvWsModuleObserver*> FObservers;
};
