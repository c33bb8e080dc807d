// qvStatusPanels.h
// A status bar made of fixed-width text panels, addressed by index, which editors write their
// caret position, modified, insert and read-only states into.
#pragma once

#include <QStatusBar>
#include <vector>

class QLabel;

namespace kiv {

class PanelStatusBar : public QStatusBar {
  Q_OBJECT
public:
  explicit PanelStatusBar(QWidget* parent = nullptr);

  // Appends a panel `width` pixels wide; returns its index.
  int AddPanel(int width, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
  int PanelCount() const { return static_cast<int>(FPanels.size()); }
  // Writing a panel that does not exist does nothing; reading one gives an empty text.
  void SetPanelText(int index, const QString& text);
  QString PanelText(int index) const;

private:
  std::vector<QLabel*> FPanels;
};

}  // namespace kiv
