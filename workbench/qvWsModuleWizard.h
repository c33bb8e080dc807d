// qvWsModuleWizard.h
// TqvWsModuleWizard: makes modules of one file type and performs their disk operations: open,
// save, save as and close (asking "Save changes to ...?" for modified modules).
#pragma once

#include <QPointer>
#include <QWidget>
#include <set>
#include <vector>

#include "workbench/qvWsModuleIntf.h"

class TqvWsModuleWizard : public IqvWsModuleWizard {
public:
  struct Identity {
    QString name;
    QString displayName;
    QString description;
    QString iconResource;
    QString fileTypeName;  // used in the dialog titles: "Open " + it + "..."
    QString filter;
    QString defaultExtension;
  };

  TqvWsModuleWizard(Identity identity, QWidget* mainWindow = nullptr);

  QString GetName() const override { return FIdentity.name; }
  QString GetDisplayName() const override { return FIdentity.displayName; }
  QString GetDescription() const override { return FIdentity.description; }
  QString GetIconResource() const override { return FIdentity.iconResource; }
  QString GetCategory() const override { return FCategory; }
  void SetCategory(const QString& category) override { FCategory = category; }
  quint16 GetFlags() const override { return 0; }

  IqvWsModulePtr New() override;
  void ResetCount() override { FCount = 0; }
  IqvWsModulePtr Open(const QString& fileName) override;
  bool Save(IqvWsModule* module) override;
  bool SaveAs(IqvWsModule* module) override;
  bool Close(IqvWsModule* module) override;

  void SetName(const QString& name) { FIdentity.name = name; }
  const Identity& GetIdentity() const { return FIdentity; }
  QString GetInitialDirectory() const { return FInitialDirectory; }
  void SetInitialDirectory(const QString& directory) { FInitialDirectory = directory; }
  int GetCount() const { return FCount; }
  IqvWsModulePtr GetCurrentModule() const { return FCurrent; }
  QWidget* GetMainWindow() const { return FMainWindow; }
  void SetMainWindow(QWidget* mainWindow) { FMainWindow = mainWindow; }

protected:
  // Makes an empty module of the wizard's type; `name` may be empty.
  virtual IqvWsModulePtr MakeModule(const QString& name);
  // The name of the next new module; the count has already been raised.
  virtual QString NewModuleName() const { return QString(); }
  void SetCurrentModule(const IqvWsModulePtr& module) { FCurrent = module; }
  int RaiseCount() { return ++FCount; }

private:
  bool saveChildren(IqvWsModule* module);
  bool writeModule(IqvWsModule* module, const QString& path);
  // Asks about `module`'s tree, children first; collects the modules to save and those whose
  // changes are given up. False on Cancel.
  bool askToClose(IqvWsModule* module, std::vector<IqvWsModule*>& toSave, std::set<IqvWsModule*>& givenUp);

  Identity FIdentity;
  QPointer<QWidget> FMainWindow;
  IqvWsModulePtr FCurrent;
  int FCount = 0;
  QString FInitialDirectory = QStringLiteral(".");
  QString FCategory;
  // While a close saves: the modules answered No, which their owner's save leaves alone.
  std::set<IqvWsModule*> FGivenUp;
};
