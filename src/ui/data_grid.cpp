#include "ui/data_grid.h"

#include <QFont>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>

#include "base/encoding.h"
#include "base/message_seam.h"
#include "data/database_error.h"
#include "data/memory_dataset.h"
#include "ui/grid_cell_delegate.h"
#include "ui/qt_text.h"
#include "ui/visible_fields_dialog.h"

namespace mero::ui {

namespace {

// What an action of the grid raises ends there: an abort silently, any other
// error shown once; nothing crosses Qt's event dispatch.
template <typename Action>
void Guarded(Action action) {
  try {
    action();
  } catch (const data::EAbort&) {
  } catch (const std::exception& e) {
    try {
      base::ShowMess(e.what());
    } catch (...) {
    }
  }
}

Qt::KeyboardModifiers KeyModifiers(Qt::KeyboardModifiers m) {
  return m & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
}

}  // namespace

QString CutHintToHeight(const QString& text, int lineHeight, int maxHeight) {
  if (lineHeight <= 0) return text;
  const int lines = std::max(1, maxHeight / lineHeight);
  QStringList parts = text.split(QLatin1Char('\n'));
  if (parts.size() <= lines) return text;
  parts = parts.mid(0, lines);
  return parts.join(QLatin1Char('\n'));
}

// The table view inside the grid: the grid's keys, double clicks and hints.
class GridTableView final : public QTableView {
 public:
  explicit GridTableView(TKZDBGrid& grid) : QTableView(&grid), grid_(grid) {}

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    const Qt::KeyboardModifiers mods = KeyModifiers(e->modifiers());
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if (e->key() == Qt::Key_F12 && mods == Qt::AltModifier) {
      grid_.Print();
    } else if (e->key() == Qt::Key_Delete && mods == Qt::ControlModifier) {
      grid_.DeleteCurrentRow();
    } else if (enter && (mods == Qt::NoModifier || mods == Qt::KeypadModifier) && state() != EditingState) {
      grid_.NextCell();
    } else {
      QTableView::keyPressEvent(e);
    }
  }

  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override {
    QTableView::closeEditor(editor, hint);
    // Enter in the editor: the value is in, the next cell follows.
    if (hint == QAbstractItemDelegate::SubmitModelCache) grid_.NextCell();
  }

  void mouseDoubleClickEvent(QMouseEvent* e) override {
    const Qt::KeyboardModifiers mods = KeyModifiers(e->modifiers());
    if (mods & Qt::ControlModifier) {
      grid_.Print();
    } else if (mods & Qt::ShiftModifier) {
      grid_.EditVisibleFields();
    } else if (grid_.OnDblClick) {
      Guarded([this] { grid_.OnDblClick(); });
    } else {
      QTableView::mouseDoubleClickEvent(e);
    }
  }

  bool viewportEvent(QEvent* e) override {
    if (e->type() != QEvent::ToolTip) return QTableView::viewportEvent(e);
    auto* help = static_cast<QHelpEvent*>(e);
    const QModelIndex index = indexAt(help->pos());
    const QString text = index.isValid() ? index.data(Qt::DisplayRole).toString() : QString();
    const QRect cell = visualRect(index);
    const QFontMetrics metrics(font());
    if (!text.isEmpty() && metrics.horizontalAdvance(text) + 8 > cell.width()) {
      QToolTip::showText(help->globalPos(), CutHintToHeight(text, metrics.lineSpacing()), viewport(), cell);
    } else {
      QToolTip::hideText();
    }
    return true;
  }

  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override {
    QTableView::currentChanged(current, previous);
    if (current.isValid() && current.row() != previous.row()) grid_.ViewRowChanged(current.row());
  }

 private:
  TKZDBGrid& grid_;
};

// The footer under the rows: one cell per column at the column's place on
// screen, so it follows the widths and the horizontal scroll.
class GridFooterStrip final : public QWidget {
 public:
  GridFooterStrip(TKZDBGrid& grid, QTableView& view) : QWidget(&grid), grid_(grid), view_(view) {
    setFixedHeight(fontMetrics().height() + 8);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const QHeaderView* header = view_.horizontalHeader();
    const int left = view_.viewport()->mapTo(&grid_, QPoint(0, 0)).x() - x();
    p.setClipRect(left, 0, view_.viewport()->width(), height());
    const std::vector<GridColumn>& columns = grid_.Model()->Columns();
    for (int c = 0; c < header->count() && c < static_cast<int>(columns.size()); ++c) {
      if (header->isSectionHidden(c)) continue;
      const QRect cell(left + header->sectionViewportPosition(c), 0, header->sectionSize(c), height());
      p.setPen(palette().mid().color());
      p.drawRect(cell.adjusted(0, 0, -1, -1));
      const QString text = grid_.FooterText(c);
      if (text.isEmpty()) continue;
      p.setPen(palette().windowText().color());
      const bool number = data::IsNumericType(columns[static_cast<std::size_t>(c)].field->DataType());
      p.drawText(cell.adjusted(3, 0, -3, 0), Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft), text);
    }
  }

 private:
  TKZDBGrid& grid_;
  QTableView& view_;
};

TKZDBGrid::TKZDBGrid(QWidget* parent) : QWidget(parent) {
  model_ = new DataSetTableModel(this);
  model_->SetLayout(&layout_);
  view_ = new GridTableView(*this);
  view_->setModel(model_);
  view_->setItemDelegate(new GridCellDelegate(view_));
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setSelectionBehavior(QAbstractItemView::SelectItems);
  view_->setTextElideMode(Qt::ElideRight);
  view_->setWordWrap(false);
  // Greek and Latin cells need no shaping rules (ligatures, kerning): text
  // drawn without them is painted in a fraction of the time.
  QFont cellFont = view_->font();
  cellFont.setStyleStrategy(QFont::PreferNoShaping);
  view_->setFont(cellFont);
  view_->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed);
  view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  view_->verticalHeader()->hide();
  view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 6);
  QHeaderView* header = view_->horizontalHeader();
  header->setHighlightSections(false);
  header->setSectionsClickable(titleButtons_);
  header->setSectionResizeMode(QHeaderView::Interactive);

  strip_ = new GridFooterStrip(*this, *view_);
  strip_->hide();
  scroll_ = new QScrollBar(Qt::Horizontal, this);
  scroll_->hide();
  auto* box = new QVBoxLayout(this);
  box->setContentsMargins(0, 0, 0, 0);
  box->setSpacing(0);
  box->addWidget(view_);
  box->addWidget(strip_);
  box->addWidget(scroll_);

  // The view's own horizontal scroll bar would sit between the rows and the
  // footer: this one, under the footer, stands in for it.
  QScrollBar* own = view_->horizontalScrollBar();
  connect(own, &QScrollBar::rangeChanged, this, [this, own](int min, int max) {
    scroll_->setRange(min, max);
    scroll_->setPageStep(own->pageStep());
    scroll_->setSingleStep(own->singleStep());
    scroll_->setVisible(max > min);
  });
  connect(own, &QScrollBar::valueChanged, scroll_, &QScrollBar::setValue);
  connect(scroll_, &QScrollBar::valueChanged, own, &QScrollBar::setValue);
  connect(own, &QScrollBar::valueChanged, strip_, [this] { strip_->update(); });
  connect(header, &QHeaderView::sectionResized, strip_, [this] { strip_->update(); });
  connect(header, &QHeaderView::sectionMoved, strip_, [this] { strip_->update(); });
  connect(header, &QHeaderView::sectionClicked, this, [this](int column) { TitleClick(column); });

  connect(model_, &DataSetTableModel::Reset, this, [this] { ModelReset(); });
  connect(model_, &DataSetTableModel::CurrentRowMoved, this, [this](int row) { FollowCursor(row); });
  connect(model_, &QAbstractItemModel::rowsInserted, this, [this] { ScheduleFooter(); });
  connect(model_, &QAbstractItemModel::rowsRemoved, this, [this] { ScheduleFooter(); });
  connect(model_, &QAbstractItemModel::dataChanged, this, [this] { ScheduleFooter(); });
}

TKZDBGrid::~TKZDBGrid() { model_->SetDataSet(nullptr); }

void TKZDBGrid::SetDataSet(data::TLinkCustomDataset* ds) {
  history_.Clear();
  sizedColumns_.clear();
  model_->SetDataSet(ds);
}

data::TLinkCustomDataset* TKZDBGrid::DataSet() const { return model_->DataSet(); }

QTableView* TKZDBGrid::View() const { return view_; }

QWidget* TKZDBGrid::Footer() const { return strip_; }

void TKZDBGrid::SetSelected(std::vector<std::string> lines) {
  layout_.SetSelected(std::move(lines));
  sizedColumns_.clear();
  model_->SetLayout(&layout_);
}

void TKZDBGrid::SetzSumFields(std::string text) {
  footer_.SetSumFields(std::move(text));
  strip_->setVisible(footer_.Shown());
  ScheduleFooter();
}

void TKZDBGrid::SetTitleButtons(bool value) {
  titleButtons_ = value;
  view_->horizontalHeader()->setSectionsClickable(value);
}

void TKZDBGrid::SetOnDrawDataCell(DrawDataCellHook hook) { model_->SetDrawDataCell(std::move(hook)); }

void TKZDBGrid::ModelReset() {
  const std::vector<GridColumn>& columns = model_->Columns();
  std::vector<const data::TField*> fields;
  for (const GridColumn& c : columns) fields.push_back(c.field);
  // The widths come from the layout when the columns change; a width the
  // user dragged stays across a sort or a refresh.
  if (fields != sizedColumns_) {
    // A column laid out for a whole date shows it whole, whatever the
    // screen font's digits measure: widths in characters assume narrower ones.
    const int dateWidth = view_->fontMetrics().horizontalAdvance(QStringLiteral("00/00/0000")) + 10;
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
      const GridColumn& column = columns[static_cast<std::size_t>(c)];
      int width = column.widthPx;
      if (data::IsDateType(column.field->DataType()) && column.field->DisplayWidth() >= 8) {
        width = std::max(width, dateWidth);
      }
      view_->setColumnWidth(c, width);
    }
    sizedColumns_ = std::move(fields);
  }
  ScheduleFooter();
}

void TKZDBGrid::FollowCursor(int row) {
  if (following_) return;
  following_ = true;
  const QModelIndex current = view_->currentIndex();
  if (row < 0) {
    view_->selectionModel()->clearCurrentIndex();
  } else if (current.row() != row) {
    const int column = current.isValid() ? current.column() : 0;
    view_->setCurrentIndex(model_->index(row, column));
  }
  following_ = false;
}

void TKZDBGrid::ViewRowChanged(int row) {
  if (following_) return;
  following_ = true;
  const bool moved = model_->MoveToRow(row);
  following_ = false;
  // A failed post keeps the row: the view goes back to it once the view's
  // own change has run its course.
  if (!moved) QTimer::singleShot(0, this, [this] { FollowCursor(model_->CurrentRow()); });
}

void TKZDBGrid::ScheduleFooter() {
  if (!footer_.Shown() || footerPending_) return;
  footerPending_ = true;
  QTimer::singleShot(0, this, [this] {
    footerPending_ = false;
    UpdateFooter();
  });
}

void TKZDBGrid::UpdateFooter() {
  Guarded([this] { footer_.Update(DataSet()); });
  strip_->update();
}

QString TKZDBGrid::FooterText(int column) const {
  const std::vector<GridColumn>& columns = model_->Columns();
  if (column < 0 || column >= static_cast<int>(columns.size()) || !footer_.Computed()) return {};
  return ToQString(footer_.TextOf(columns[static_cast<std::size_t>(column)].field->FieldName()));
}

void TKZDBGrid::TitleClick(int column) {
  const std::vector<GridColumn>& columns = model_->Columns();
  if (!titleButtons_ || DataSet() == nullptr || column < 0 || column >= static_cast<int>(columns.size())) return;
  const std::string name = columns[static_cast<std::size_t>(column)].field->FieldName();
  Guarded([&] { SortByTitleClick(*DataSet(), history_, name); });
}

std::vector<PrintColumn> TKZDBGrid::PrintColumns() const {
  std::vector<PrintColumn> out;
  const std::vector<GridColumn>& columns = model_->Columns();
  const QHeaderView* header = view_->horizontalHeader();
  for (int v = 0; v < header->count(); ++v) {
    const int logical = header->logicalIndex(v);
    if (logical < 0 || logical >= static_cast<int>(columns.size()) || header->isSectionHidden(logical)) continue;
    out.push_back({columns[static_cast<std::size_t>(logical)].field, view_->columnWidth(logical)});
  }
  return out;
}

void TKZDBGrid::Print() {
  Guarded([this] { PrintGrid(report_, DataSet(), PrintColumns(), titles_, footer_); });
}

void TKZDBGrid::DeleteCurrentRow() {
  data::TLinkCustomDataset* ds = DataSet();
  // A list that can not be changed is not asked about a delete it would
  // refuse.
  if (ds == nullptr || !ds->Active() || ds->IsEmpty() || ds->ReadOnly()) return;
  Guarded([ds] {
    if (base::AskOK(base::Utf8ToWin1253(kDeleteRowQuestion))) ds->Delete();
  });
}

void TKZDBGrid::EditVisibleFields() {
  data::TLinkCustomDataset* ds = DataSet();
  if (ds == nullptr) return;
  bool applied = false;
  Guarded([&] { applied = ui::EditVisibleFields(*ds, this); });
  if (applied) model_->Reread();
}

void TKZDBGrid::NextCell() {
  const QModelIndex current = view_->currentIndex();
  if (!current.isValid()) return;
  int row = current.row();
  int column = current.column() + 1;
  if (column >= model_->columnCount()) {
    if (row + 1 >= model_->rowCount()) return;
    ++row;
    column = 0;
  }
  view_->setCurrentIndex(model_->index(row, column));
}

}  // namespace mero::ui
