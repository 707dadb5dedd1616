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
  painter->save();
  painter->setFont(opt.font);
  painter->setPen(opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
  painter->drawText(area, static_cast<int>(opt.displayAlignment) | Qt::TextSingleLine,
                    opt.fontMetrics.elidedText(text, opt.textElideMode, area.width()));
  painter->restore();
}

}  // namespace mero::ui
