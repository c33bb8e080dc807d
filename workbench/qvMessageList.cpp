// qvMessageList.cpp
// Message items, their icons, diagnostic-line parsing, the copy text and the list view.
#include "workbench/qvMessageList.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>

namespace kiv {

namespace {

// The three item images, drawn rather than loaded so that the list needs no resources.
QIcon drawImage(MessageImageKind kind) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  QPen white(Qt::white, 2);
  switch (kind) {
    case MessageImageKind::Error:
      painter.setPen(QColor(140, 20, 20));
      painter.setBrush(QColor(210, 40, 40));
      painter.drawEllipse(QRectF(1.5, 1.5, 13, 13));
      painter.setPen(white);
      painter.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
      painter.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
      break;
    case MessageImageKind::Warning: {
      QPainterPath triangle;
      triangle.moveTo(8, 1.5);
      triangle.lineTo(15, 14.5);
      triangle.lineTo(1, 14.5);
      triangle.closeSubpath();
      painter.setPen(QColor(150, 110, 0));
      painter.setBrush(QColor(245, 195, 40));
      painter.drawPath(triangle);
      painter.setPen(QPen(Qt::black, 1.6));
      painter.drawLine(QPointF(8, 5.5), QPointF(8, 10));
      painter.drawPoint(QPointF(8, 12.3));
      break;
    }
    case MessageImageKind::Build: {
      QPainterPath arrow;
      arrow.moveTo(4, 2);
      arrow.lineTo(13, 8);
      arrow.lineTo(4, 14);
      arrow.closeSubpath();
      painter.setPen(QColor(20, 70, 150));
      painter.setBrush(QColor(50, 120, 210));
      painter.drawPath(arrow);
      break;
    }
    case MessageImageKind::None: break;
  }
  return QIcon(pixmap);
}

}  // namespace

QIcon MessageImage(MessageImageKind kind) {
  if (kind == MessageImageKind::None) return {};
  return drawImage(kind);
}

MessageListModel::MessageListModel(QObject* parent) : QAbstractListModel(parent) {
  for (MessageImageKind kind : {MessageImageKind::Error, MessageImageKind::Warning, MessageImageKind::Build})
    FIcons.push_back(drawImage(kind));
}

int MessageListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : Count();
}

QVariant MessageListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= Count()) return {};
  const Item& item = FItems[static_cast<size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole: return item.caption;
    case Qt::ToolTipRole:
      return item.details.isEmpty() ? item.caption
                                    : item.caption + QLatin1Char('\n') + item.details.join(QLatin1Char('\n'));
    case Qt::DecorationRole: {
      const int image = static_cast<int>(item.image);
      if (image < 0 || image >= static_cast<int>(FIcons.size())) return {};
      return FIcons[static_cast<size_t>(image)];
    }
    case ImageIndexRole: return static_cast<int>(item.image);
    case ModuleRole: return ModuleOf(index.row());
    case LineRole: return LineNumberOf(item.caption);
    case ColumnRole: return item.column;
    default: return {};
  }
}

int MessageListModel::AddItem(const QString& caption, MessageImageKind image, const QString& module) {
  const int row = Count();
  beginInsertRows(QModelIndex(), row, row);
  FItems.push_back({caption, image, module, 0, {}});
  ++FCaptionCounts[caption];
  endInsertRows();
  return row;
}

void MessageListModel::SetColumn(int row, int column) {
  if (row >= 0 && row < Count()) FItems[static_cast<size_t>(row)].column = std::max(0, column);
}

int MessageListModel::Column(int row) const {
  return row >= 0 && row < Count() ? FItems[static_cast<size_t>(row)].column : 0;
}

void MessageListModel::AddDetail(int row, const QString& line) {
  if (row < 0 || row >= Count()) return;
  FItems[static_cast<size_t>(row)].details << line;
  const QModelIndex changed = index(row);
  emit dataChanged(changed, changed, {Qt::ToolTipRole});
}

QStringList MessageListModel::Details(int row) const {
  return row >= 0 && row < Count() ? FItems[static_cast<size_t>(row)].details : QStringList();
}

void MessageListModel::forgetCaption(const QString& caption) {
  const auto found = FCaptionCounts.find(caption);
  if (found == FCaptionCounts.end()) return;
  if (--found.value() <= 0) FCaptionCounts.erase(found);
}

void MessageListModel::SetCaption(int row, const QString& caption) {
  if (row < 0 || row >= Count()) return;
  Item& item = FItems[static_cast<size_t>(row)];
  forgetCaption(item.caption);
  item.caption = caption;
  ++FCaptionCounts[caption];
  const QModelIndex changed = index(row);
  emit dataChanged(changed, changed);
}

void MessageListModel::RemoveItem(int row) {
  if (row < 0 || row >= Count()) return;
  beginRemoveRows(QModelIndex(), row, row);
  forgetCaption(FItems[static_cast<size_t>(row)].caption);
  FItems.erase(FItems.begin() + row);
  endRemoveRows();
}

void MessageListModel::Clear() {
  beginResetModel();
  FItems.clear();
  FCaptionCounts.clear();
  endResetModel();
}

QString MessageListModel::Caption(int row) const {
  return row >= 0 && row < Count() ? FItems[static_cast<size_t>(row)].caption : QString();
}

MessageImageKind MessageListModel::Image(int row) const {
  return row >= 0 && row < Count() ? FItems[static_cast<size_t>(row)].image : MessageImageKind::None;
}

QString MessageListModel::ModuleOf(int row) const {
  if (row < 0 || row >= Count()) return {};
  const Item& item = FItems[static_cast<size_t>(row)];
  return item.module.isEmpty() ? ModuleNameOf(item.caption) : item.module;
}

QString MessageListModel::CopyText(QList<int> rows) const {
  std::sort(rows.begin(), rows.end());
  QString text;
  for (int row : rows) {
    if (row < 0 || row >= Count()) continue;
    switch (Image(row)) {
      case MessageImageKind::Error: text += QStringLiteral("[Error  ]"); break;
      case MessageImageKind::Warning: text += QStringLiteral("[Warning]"); break;
      default: text += QStringLiteral("[Info   ]"); break;
    }
    text += QLatin1Char(' ') + Caption(row) + QStringLiteral("\r\n");
  }
  return text;
}

MessageListModel::Position MessageListModel::PositionOf(const QString& text) {
  for (qsizetype close = text.indexOf(QStringLiteral("):")); close >= 0;
       close = text.indexOf(QStringLiteral("):"), close + 1)) {
    const qsizetype open = text.lastIndexOf(QLatin1Char('('), close);
    if (open < 0) continue;
    const QStringView number = QStringView(text).mid(open + 1, close - open - 1);
    const QStringView digits = number.startsWith(u'-') ? number.mid(1) : number;
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
      continue;
    bool ok = false;
    const int line = number.toInt(&ok, 10);
    if (!ok) continue;
    return {text.left(open), line, true};
  }
  return {};
}

int MessageListModel::LineNumberOf(const QString& text) { return PositionOf(text).line; }

QString MessageListModel::ModuleNameOf(const QString& text) { return PositionOf(text).module; }

MessageListView::MessageListView(QWidget* parent) : QTreeView(parent) {
  setObjectName(QStringLiteral("lvMessages"));
  setHeaderHidden(true);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setTextElideMode(Qt::ElideRight);
  header()->setStretchLastSection(false);
}

QList<int> MessageListView::SelectedRows() const {
  QList<int> rows;
  if (!selectionModel()) return rows;
  for (const QModelIndex& index : selectionModel()->selectedRows()) rows << index.row();
  std::sort(rows.begin(), rows.end());
  return rows;
}

void MessageListView::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid()) {
    emit ItemEntered(currentIndex());
    event->accept();
    return;
  }
  QTreeView::keyPressEvent(event);
}

void MessageListView::resizeEvent(QResizeEvent* event) {
  QTreeView::resizeEvent(event);
  setColumnWidth(0, std::max(0, width() - 4));
}

}  // namespace kiv
