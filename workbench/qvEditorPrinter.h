// qvEditorPrinter.h
// A QsciPrinter that puts a one-line header and footer text on every page and can count the
// pages a document will take before anything is printed.
#pragma once

#include <QFont>
#include <Qsci/qsciprinter.h>

class QsciScintillaBase;

namespace kiv {

class EditorPrinter : public QsciPrinter {
public:
  explicit EditorPrinter(PrinterMode mode = ScreenResolution);

  void SetHeader(const QString& text, const QFont& font);
  void SetFooter(const QString& text, const QFont& font);
  const QString& Header() const { return FHeader; }
  const QString& Footer() const { return FFooter; }

  // Pages the whole text of `edit` takes on this printer's paper (at least 1).
  int CountPages(QsciScintillaBase* edit);

  void formatPage(QPainter& painter, bool drawing, QRect& area, int pageNumber) override;

private:
  QString FHeader;
  QString FFooter;
  QFont FHeaderFont;
  QFont FFooterFont;
};

}  // namespace kiv
