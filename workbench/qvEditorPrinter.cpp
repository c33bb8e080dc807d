// qvEditorPrinter.cpp
// Header and footer drawing and a measuring pass that counts pages.
#include "workbench/qvEditorPrinter.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <Qsci/qsciscintillabase.h>

namespace kiv {

EditorPrinter::EditorPrinter(PrinterMode mode) : QsciPrinter(mode) {}

void EditorPrinter::SetHeader(const QString& text, const QFont& font) {
  FHeader = text;
  FHeaderFont = font;
}

void EditorPrinter::SetFooter(const QString& text, const QFont& font) {
  FFooter = text;
  FFooterFont = font;
}

void EditorPrinter::formatPage(QPainter& painter, bool drawing, QRect& area, int) {
  // Both lines are left-aligned; the text area shrinks by a line and a half for each.
  if (!FHeader.isEmpty()) {
    const QFontMetrics metrics(FHeaderFont, painter.device());
    if (drawing) {
      painter.save();
      painter.setFont(FHeaderFont);
      painter.setPen(Qt::black);
      painter.drawText(area.left(), area.top() + metrics.ascent(), FHeader);
      painter.restore();
    }
    area.setTop(area.top() + metrics.height() * 3 / 2);
  }
  if (!FFooter.isEmpty()) {
    const QFontMetrics metrics(FFooterFont, painter.device());
    if (drawing) {
      painter.save();
      painter.setFont(FFooterFont);
      painter.setPen(Qt::black);
      painter.drawText(area.left(), area.bottom() - metrics.descent(), FFooter);
      painter.restore();
    }
    area.setBottom(area.bottom() - metrics.height() * 3 / 2);
  }
}

int EditorPrinter::CountPages(QsciScintillaBase* edit) {
  // A measuring pass: the painter works on a one-pixel image with the printer's resolution,
  // and Scintilla lays out the text page by page without drawing.
  const int dpi = resolution();
  QImage probe(1, 1, QImage::Format_RGB32);
  probe.setDotsPerMeterX(qRound(dpi / 0.0254));
  probe.setDotsPerMeterY(qRound(dpi / 0.0254));
  QPainter painter(&probe);
  QRect page = pageLayout().paintRectPixels(dpi);
  page.moveTo(0, 0);

  edit->SendScintilla(QsciScintillaBase::SCI_SETPRINTMAGNIFICATION, magnification());
  edit->SendScintilla(QsciScintillaBase::SCI_SETPRINTWRAPMODE, static_cast<unsigned long>(wrapMode()));
  const long end = edit->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
  long position = 0;
  int pages = 0;
  while (position < end) {
    QRect area = page;
    formatPage(painter, false, area, pages + 1);
    const long next = edit->SendScintilla(QsciScintillaBase::SCI_FORMATRANGE, false, &painter, area,
                                          position, end);
    ++pages;
    if (next <= position) break;
    position = next;
  }
  return pages > 0 ? pages : 1;
}

}  // namespace kiv
