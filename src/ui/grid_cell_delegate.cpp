#include "ui/grid_cell_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace mero::ui {

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  if (opt.features & QStyleOptionViewItem::HasCheckIndicator) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  const QString text = opt.text;
  opt.text.clear();
  const QWidget* widget = opt.widget;
  const QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
  // Background, selection and focus as the style draws them; a plain cell
  // has none of them and is left to the view's own background.
  const bool plain = !(opt.state & (QStyle::State_Selected | QStyle::State_HasFocus)) &&
                     opt.backgroundBrush.style() == Qt::NoBrush;
  if (!plain) style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
  if (text.isEmpty()) return;
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
  const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget).adjusted(margin, 0, -margin, 0);
  const bool selected = (opt.state & QStyle::State_Selected) != 0;
  const QPalette::ColorGroup group = (opt.state & QStyle::State_Enabled) != 0 ? QPalette::Normal : QPalette::Disabled;
  // The elided text fits the cell, so it is drawn at its point: no layout of
  // a paragraph and no clip.
  QString shown = text;
  int x = area.left();
  if ((opt.displayAlignment & (Qt::AlignRight | Qt::AlignHCenter)) != 0) {
    // Measured first: a number that fits, the usual case, needs no eliding.
    int width = opt.fontMetrics.horizontalAdvance(shown);
    if (width > area.width()) {
      shown = opt.fontMetrics.elidedText(text, opt.textElideMode, area.width());
      width = opt.fontMetrics.horizontalAdvance(shown);
    }
    const int room = area.width() - width;
    x += (opt.displayAlignment & Qt::AlignRight) != 0 ? room : room / 2;
  } else {
    shown = opt.fontMetrics.elidedText(text, opt.textElideMode, area.width());
  }
  const int y = area.top() + (area.height() - opt.fontMetrics.height()) / 2 + opt.fontMetrics.ascent();
  painter->save();
  painter->setFont(opt.font);
  painter->setPen(opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
  painter->drawText(QPoint(x, y), shown);
  painter->restore();
}

}  // namespace mero::ui
