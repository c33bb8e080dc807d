// qvStatusPanels.cpp
// Fixed-width label panels on a QStatusBar.
#include "workbench/qvStatusPanels.h"

#include <QLabel>

namespace kiv {

PanelStatusBar::PanelStatusBar(QWidget* parent) : QStatusBar(parent) {
  setObjectName(QStringLiteral("StatusBar"));
  setSizeGripEnabled(false);
}

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
