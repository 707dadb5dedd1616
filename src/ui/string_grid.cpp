#include "ui/string_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <exception>

#include "base/message_seam.h"
#include "base/screen_rules.h"
#include "data/database_error.h"
#include "ui/qt_text.h"

namespace mero::ui {

// Draws the cells by the column flags and keeps a numeric column's editor to
// number characters.
class StringGridDelegate : public QStyledItemDelegate {
 public:
  explicit StringGridDelegate(TKZSG* grid) : QStyledItemDelegate(grid), grid_(grid) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const ColumnFlags& flags = grid_->Flags(index.column());
    const bool fixed = index.row() < grid_->FixedRows();
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    const QPalette& pal = option.palette;
    QColor back = fixed ? pal.color(QPalette::Button) : pal.color(QPalette::Base);
    const QVariant given = index.data(Qt::BackgroundRole);
    if (!fixed && given.canConvert<QBrush>()) back = given.value<QBrush>().color();
    if (selected && !fixed) back = pal.color(QPalette::Highlight);
    painter->fillRect(option.rect, back);
    painter->setPen(selected && !fixed ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text));
    const std::string text = CellDisplayText(FromQString(index.data().toString()), flags, fixed);
    const Qt::Alignment align = (RightAligned(flags) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    painter->drawText(option.rect.adjusted(2, 0, -2, 0), static_cast<int>(align), ToQString(text));
  }

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    // The view makes the delegate the editor's event filter.
    editor->setProperty("gridColumn", index.column());
    return editor;
  }

  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
    // Every cell holds text, also one that held nothing before.
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (line == nullptr) {
      QStyledItemDelegate::setModelData(editor, model, index);
      return;
    }
    if (line->text() == index.data().toString()) return;
    model->setData(index, line->text());
    grid_->modified_ = true;
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      if (grid_->RefusesKey(watched->property("gridColumn").toInt(), key->text())) {
        QApplication::beep();
        return true;
      }
    }
    return QStyledItemDelegate::eventFilter(watched, event);
  }

 private:
  TKZSG* grid_;
};

TKZSG::TKZSG(QWidget* parent) : QTableWidget(parent) {
  horizontalHeader()->hide();
  verticalHeader()->hide();
  setItemDelegate(new StringGridDelegate(this));
  setRowCount(2);
  setColumnCount(5);
}

void TKZSG::SetFixedRows(int rows) {
  fixedRows_ = rows;
  viewport()->update();
}

std::string TKZSG::Cell(int column, int row) const {
  const QTableWidgetItem* it = item(row, column);
  return it != nullptr ? FromQString(it->text()) : std::string();
}

void TKZSG::SetCell(int column, int row, const std::string& text) {
  QTableWidgetItem* it = item(row, column);
  if (it == nullptr) {
    it = new QTableWidgetItem;
    setItem(row, column, it);
  }
  it->setText(ToQString(text));
  if (row < fixedRows_) it->setFlags(it->flags() & ~Qt::ItemIsEditable);
}

void TKZSG::SetFlags(int column, ColumnFlags flags) {
  flags_.Set(column, std::move(flags));
  viewport()->update();
}

int TKZSG::CharWidth(int column) const { return base::PixelsToChars(columnWidth(column)); }

StringGridPrintJob TKZSG::PrintJob() const {
  StringGridPrintJob job;
  job.fixedRows = fixedRows_;
  job.title = title_;
  for (int c = 0; c < columnCount(); ++c) {
    job.columns.push_back(c);
    if (Flags(c).sum) job.sumColumns.push_back(c);
  }
  for (int r = 0; r < rowCount(); ++r) {
    std::vector<std::string> row;
    for (int c = 0; c < columnCount(); ++c) row.push_back(Cell(c, r));
    job.rows.push_back(std::move(row));
  }
  return job;
}

void TKZSG::PrintGrid() {
  // The print runs from a mouse event: nothing may escape into Qt.
  try {
    PrintStringGrid(PrintJob());
  } catch (const data::EAbort&) {
  } catch (const std::exception& e) {
    base::ShowMess(e.what());
  }
}

void TKZSG::ShowColumnViewer() {
  TKZSGVF viewer(*this, this);
  viewer.exec();
}

bool TKZSG::RefusesKey(int column, const QString& text) const {
  if (!Flags(column).isNum || text.size() != 1 || !text[0].isPrint()) return false;
  const std::string typed = FromQString(text);
  return typed.size() != 1 || !NumericCharAllowed(typed[0]);
}

void TKZSG::keyPressEvent(QKeyEvent* event) {
  if ((event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0 &&
      RefusesKey(currentColumn(), event->text())) {
    QApplication::beep();
    return;
  }
  QTableWidget::keyPressEvent(event);
}

void TKZSG::mouseDoubleClickEvent(QMouseEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers();
  if (event->button() == Qt::LeftButton && mods == Qt::ControlModifier) {
    PrintGrid();
    return;
  }
  if (event->button() == Qt::LeftButton && mods == Qt::ShiftModifier) {
    ShowColumnViewer();
    return;
  }
  QTableWidget::mouseDoubleClickEvent(event);
}

TKZSGVF::TKZSGVF(const TKZSG& grid, QWidget* parent) : QDialog(parent), table_(new QTableWidget(this)) {
  setWindowTitle("TKZSGVF");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_);
  table_->setColumnCount(5);
  table_->setHorizontalHeaderLabels({"AA", "AL", "IsNum", "DispFmt", "CWid"});
  table_->verticalHeader()->hide();
  table_->setRowCount(grid.ColCount());
  for (int c = 0; c < grid.ColCount(); ++c) {
    const ColumnFlags& f = grid.Flags(c);
    const QString cells[] = {QString::number(c), f.al ? "1" : "0", f.isNum ? "1" : "0", ToQString(f.dispFmt),
                             QString::number(grid.CharWidth(c))};
    for (int i = 0; i < 5; ++i) table_->setItem(c, i, new QTableWidgetItem(cells[i]));
  }
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  resize(420, 300);
}

}  // namespace mero::ui
