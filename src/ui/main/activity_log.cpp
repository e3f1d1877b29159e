#include "ui/main/activity_log.h"

#include <QPainter>
#include <QStyledItemDelegate>

#include "core/log/log_stamp.h"

namespace zepa2::ui {
namespace {

constexpr int kColorRole = Qt::UserRole;

// Item data never set (an invalid variant) means black.
LogColor ColorOf(const QVariant& value) {
  return value.isValid() ? static_cast<LogColor>(value.toUInt()) : log_color::kBlack;
}

QColor ToQColor(LogColor color) {
  return QColor(LogColorRed(color), LogColorGreen(color), LogColorBlue(color));
}

// Draws a line as plain text in its colour on white; selection and focus never show, and a line
// wider than the list is simply cut at the right edge.
class LogLineDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    painter->save();
    painter->fillRect(option.rect, Qt::white);
    painter->setFont(option.font);
    painter->setPen(ToQColor(ColorOf(index.data(kColorRole))));
    painter->setClipRect(option.rect);
    QRect textRect = option.rect.adjusted(2, 0, 0, 0);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
  }
};

}  // namespace

ActivityLog::ActivityLog(QWidget* parent) : QListWidget(parent) {
  setItemDelegate(new LogLineDelegate(this));
  setSelectionMode(QAbstractItemView::NoSelection);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setTextElideMode(Qt::ElideNone);
  setWordWrap(false);
  setUniformItemSizes(true);
  // Keep the view from growing its contents width, which would bring horizontal scrolling back.
  setResizeMode(QListView::Fixed);
}

void ActivityLog::AddLine(const QString& line, LogColor color) {
  auto* item = new QListWidgetItem(line);
  item->setToolTip(line);  // a line wider than the list is read whole on hover
  item->setData(kColorRole, static_cast<uint>(color));
  addItem(item);
  for (int drop = LogLinesToDrop(count()); drop > 0; --drop) delete takeItem(0);
  scrollToBottom();
  // The caller usually pauses or blocks on the network next; paint now so the line is seen.
  viewport()->repaint();
}

LogColor ActivityLog::LineColor(const QListWidgetItem* item) {
  return item ? ColorOf(item->data(kColorRole)) : log_color::kBlack;
}

}  // namespace zepa2::ui
