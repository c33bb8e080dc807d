// qvStatusPanels.h
// A status bar made of fixed-width text panels, addressed by index, which editors write their
// caret position, modified, insert and read-only states into.
#pragma once

#include <QStatusBar>
#include <vector>

class QLabel;
class QTimer;

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

  // A passing note after the panels ("Search wrapped to the top", "... not found"); it goes
  // after `timeoutMs` (0 keeps it until the next note).
  void ShowNote(const QString& text, int timeoutMs = 10000);
  QString Note() const;

private:
  std::vector<QLabel*> FPanels;
  QLabel* FNote = nullptr;
  QTimer* FNoteTimer = nullptr;
};

}  // namespace kiv
