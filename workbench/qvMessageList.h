// qvMessageList.h
// The message list of the main window: a model of captioned items with an image index (error,
// warning, build line or none), the rules that read a module name and a line number out of a
// diagnostic line, the clipboard text of selected items, and the one-column view.
#pragma once

#include <QAbstractListModel>
#include <QIcon>
#include <QHash>
#include <QTreeView>
#include <vector>

namespace kiv {

// Image indices of message items.
enum class MessageImageKind : int { None = -1, Error = 0, Warning = 1, Build = 2 };

class MessageListModel : public QAbstractListModel {
  Q_OBJECT
public:
  enum Role {
    ImageIndexRole = Qt::UserRole + 1,
    ModuleRole,  // the module name before the caption's first "("
    LineRole,    // the caption's line number, 0 when it has none
  };

  explicit MessageListModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  // Appends an item; answers its row.
  int AddItem(const QString& caption, MessageImageKind image);
  bool Contains(const QString& caption) const { return FCaptionCounts.value(caption) > 0; }
  void SetCaption(int row, const QString& caption);
  void RemoveItem(int row);
  void Clear();

  int Count() const { return static_cast<int>(FItems.size()); }
  QString Caption(int row) const;
  MessageImageKind Image(int row) const;

  // The items of `rows`, in list order, each as label, blank, caption and CR LF; the label is
  // "[Error  ]", "[Warning]" or "[Info   ]".
  QString CopyText(QList<int> rows) const;

  // The decimal number between the first "(" and the first ")"; 0 when a bracket is missing or
  // the part is not a number.
  static int LineNumberOf(const QString& text);
  // The text before the first "(", empty when there is none.
  static QString ModuleNameOf(const QString& text);

private:
  struct Item {
    QString caption;
    MessageImageKind image;
  };
  std::vector<Item> FItems;
  // How many items carry each caption, so that a diagnostic already listed is found at once.
  QHash<QString, int> FCaptionCounts;
  std::vector<QIcon> FIcons;

  void forgetCaption(const QString& caption);
};

// The report-style list: one column without header, always 4 pixels narrower than the list,
// rows selected whole, several at a time, read-only.
class MessageListView : public QTreeView {
  Q_OBJECT
public:
  explicit MessageListView(QWidget* parent = nullptr);
  // Rows of the selected items in list order.
  QList<int> SelectedRows() const;

protected:
  void resizeEvent(QResizeEvent* event) override;
};

}  // namespace kiv
