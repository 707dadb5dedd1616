#pragma once

#include <QStyledItemDelegate>

namespace mero::ui {

// Paints a grid's text cells with one elided line of text instead of the
// style's general text layout, which wraps and lays out every cell as a
// paragraph and costs most of the time of showing a list. Check-box cells
// and editors stay with the standard delegate.
class GridCellDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace mero::ui
