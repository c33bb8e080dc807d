// qvStatusPanels.cpp
// Fixed-width label panels on a QStatusBar.
#include "workbench/qvStatusPanels.h"

#include <QLabel>
#include <QTimer>

namespace kiv {

PanelStatusBar::PanelStatusBar(QWidget* parent) : QStatusBar(parent) {
  setObjectName(QStringLiteral("StatusBar"));
  setSizeGripEnabled(false);
  FNote = new QLabel(this);
  FNote->setObjectName(QStringLiteral("StatusNote"));
  FNote->setTextFormat(Qt::PlainText);
  // The panels come first; the note takes the rest of the bar.
  addPermanentWidget(FNote, 1);
  FNoteTimer = new QTimer(this);
  FNoteTimer->setSingleShot(true);
  connect(FNoteTimer, &QTimer::timeout, FNote, &QLabel::clear);
}

void PanelStatusBar::ShowNote(const QString& text, int timeoutMs) {
  FNote->setText(text);
  FNoteTimer->stop();
  if (timeoutMs > 0 && !text.isEmpty()) FNoteTimer->start(timeoutMs);
}

QString PanelStatusBar::Note() const { return FNote->text(); }

int PanelStatusBar::AddPanel(int width, Qt::Alignment alignment) {
  auto* panel = new QLabel(this);
  panel->setObjectName(QStringLiteral("StatusPanel%1").arg(FPanels.size()));
  panel->setFixedWidth(width);
  panel->setAlignment(alignment);
  panel->setFrameShape(QFrame::Panel);
  panel->setFrameShadow(QFrame::Sunken);
  addWidget(panel);
  FPanels.push_back(panel);
  return static_cast<int>(FPanels.size()) - 1;
}

void PanelStatusBar::SetPanelText(int index, const QString& text) {
  if (index >= 0 && index < PanelCount()) FPanels[static_cast<size_t>(index)]->setText(text);
}

QString PanelStatusBar::PanelText(int index) const {
  if (index < 0 || index >= PanelCount()) return {};
  return FPanels[static_cast<size_t>(index)]->text();
}

}  // namespace kiv
