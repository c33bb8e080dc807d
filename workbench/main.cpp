// main.cpp
// kiv-workbench: with "/Assoc" or "/Disassoc" registers or removes the file associations and
// exits; otherwise opens the main window (on the project file given, if any) and runs until it
// closes.
#include <QApplication>
#include <QTextStream>

#include "workbench/platform/qvFileAssociations.h"
#include "workbench/qvKivMain.h"

namespace {

int runAssociationSwitch(bool registering) {
  QString error;
  QStringList notes;
  const bool done = registering
                        ? kiv::RegisterFileAssociations(QCoreApplication::applicationFilePath(), error, notes)
                        : kiv::RemoveFileAssociations(error, notes);
  QTextStream err(stderr);
  for (const QString& note : notes) err << "kiv-workbench: " << note << Qt::endl;
  if (!done) {
    err << "kiv-workbench: " << error << Qt::endl;
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc > 1) {
    const QString first = QString::fromLocal8Bit(argv[1]);
    const bool assoc = first.compare(QStringLiteral("/Assoc"), Qt::CaseInsensitive) == 0;
    const bool disassoc = first.compare(QStringLiteral("/Disassoc"), Qt::CaseInsensitive) == 0;
    if (assoc || disassoc) {
      QCoreApplication app(argc, argv);
      return runAssociationSwitch(assoc);
    }
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(TfrmKivMain::kTitle));
  QGuiApplication::setDesktopFileName(QStringLiteral("kiv-workbench"));
  // QApplication has taken its own options out of argv; the rest are the workbench's.
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  TfrmKivMain window(arguments);
  window.show();
  return app.exec();
}
