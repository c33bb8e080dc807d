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

// The image of an item kind (drawn, 16 by 16); null for None.
QIcon MessageImage(MessageImageKind kind);

class MessageListModel : public QAbstractListModel {
  Q_OBJECT
public:
  enum Role {
    ImageIndexRole = Qt::UserRole + 1,
    ModuleRole,  // the module the item belongs to (see ModuleOf)
    LineRole,    // the caption's line number, 0 when it has none
    ColumnRole,  // the column the generator gave (1-based), 0 when it gave none
  };

  explicit MessageListModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  // Appends an item; answers its row. `module` names the module the item belongs to (the one
  // being built); without it the module is read from the caption.
  int AddItem(const QString& caption, MessageImageKind image, const QString& module = QString());
  bool Contains(const QString& caption) const { return FCaptionCounts.value(caption) > 0; }
  void SetCaption(int row, const QString& caption);
  // The column of the item's position (1-based; 0 when unknown), which the caption does not show.
  void SetColumn(int row, int column);
  int Column(int row) const;
  // Lines that belong to the item without being items themselves (the lookahead lines of a
  // nondeterminism report); its tool tip shows them below the caption.
  void AddDetail(int row, const QString& line);
  QStringList Details(int row) const;
  void RemoveItem(int row);
  void Clear();

  int Count() const { return static_cast<int>(FItems.size()); }
  QString Caption(int row) const;
  MessageImageKind Image(int row) const;
  // The module of the item: the one it was added for, or else the one its caption names.
  QString ModuleOf(int row) const;

  // The items of `rows`, in list order, each as label, blank, caption and CR LF; the label is
  // "[Error  ]", "[Warning]" or "[Info   ]".
  QString CopyText(QList<int> rows) const;

  // A diagnostic line is name "(" line "):" text. The name may hold brackets of its own (a
  // grammar file "lex (1).g"), so the line is read from the right: at the first "):" that closes
  // a bracket holding a whole number. The number may be negative.
  struct Position {
    QString module;  // empty when the text has no position
    int line = 0;
    bool positioned = false;
  };
  static Position PositionOf(const QString& text);
  // The line of the text's position; 0 when it has none.
  static int LineNumberOf(const QString& text);
  // The name before the text's position; empty when it has none.
  static QString ModuleNameOf(const QString& text);

private:
  struct Item {
    QString caption;
    MessageImageKind image;
    QString module;
    int column = 0;
    QStringList details;
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

signals:
  // Enter or Return on the current item: the same as a double click.
  void ItemEntered(const QModelIndex& index);

protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace kiv
