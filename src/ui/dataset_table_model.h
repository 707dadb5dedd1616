#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/variant.h"
#include "data/dataset_observer.h"
#include "ui/column_layout.h"

namespace mero::data {
class TLinkCustomDataset;
}

namespace mero::ui {

// The values of one row as the colour hook sees them: read in place for a
// stored row, through the fields for the row being edited or inserted. The
// cursor never moves.
class RowValues {
 public:
  RowValues(data::TLinkCustomDataset& ds, std::optional<std::size_t> rowPos, bool current)
      : ds_(ds), rowPos_(rowPos), current_(current) {}
  // Null for a field the dataset lacks.
  base::Variant Value(std::string_view fieldName) const;
  std::string Text(std::string_view fieldName) const;

 private:
  const data::TField* Find(std::string_view fieldName) const;

  data::TLinkCustomDataset& ds_;
  std::optional<std::size_t> rowPos_;
  bool current_;
};

// What the colour hook may change before a cell is drawn; an invalid colour
// keeps the default. Colours as 0xRRGGBB.
struct CellStyle {
  std::optional<unsigned> background;
  std::optional<unsigned> foreground;
  bool bold = false;
};
using DrawDataCellHook = std::function<void(const RowValues& row, const data::TField& field, CellStyle& style)>;

// The rows of a dataset as a Qt table: the rows it shows (record filter
// applied, a new row where it stands), the columns the grid's layout gives.
// Stored rows are read in place; the row being edited or inserted through
// its fields. The cursor never moves for reading.
class DataSetTableModel final : public QAbstractTableModel, public data::DataSetObserver {
  Q_OBJECT

 public:
  explicit DataSetTableModel(QObject* parent = nullptr);
  ~DataSetTableModel() override;

  void SetDataSet(data::TLinkCustomDataset* ds);
  data::TLinkCustomDataset* DataSet() const { return ds_; }
  // The layout the columns come from (not owned); read again at each reset.
  void SetLayout(const ColumnLayout* layout);
  const std::vector<GridColumn>& Columns() const { return columns_; }
  void SetDrawDataCell(DrawDataCellHook hook) { drawDataCell_ = std::move(hook); }

  // Puts the cursor on the row shown at visiblePos, posting a pending edit
  // first. False, with the cursor where it was, when the post failed (the
  // error is shown once) or there is no such row.
  bool MoveToRow(int visiblePos);
  // Reads columns and rows again (the fields' visibility or labels changed).
  void Reread() { ResetAll(); }
  // The dataset's current row as the model shows it (-1: none).
  int CurrentRow() const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // Moves to the row, puts the dataset into edit state and writes the field;
  // an error is shown once and the value is refused.
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  // Sorting goes through the grid's title-click history.
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

  void DataSetChanged(data::TDataSet& dataSet) override;
  void RowInserted(data::TDataSet& dataSet, int visiblePos) override;
  void RowRemoved(data::TDataSet& dataSet, int visiblePos) override;
  void RowChanged(data::TDataSet& dataSet, int visiblePos) override;
  void RecordChanged(data::TDataSet& dataSet, const data::TField* field) override;
  void CursorMoved(data::TDataSet& dataSet) override;
  void StateChanged(data::TDataSet& dataSet) override;
  void DataSetDestroyed(data::TDataSet& dataSet) override;

 signals:
  // The dataset's cursor moved to the row shown at row (-1: none).
  void CurrentRowMoved(int row);
  // A reset found the dataset open after it was closed (or another one).
  void Opened();
  // A reset happened (rows or columns may differ).
  void Reset();
  // A title asks to sort (the view's sort indicator).
  void SortRequested(int column);

 private:
  // The dataset's visible position a model row reads, while a row
  // notification is between Qt's begin and end (the model still shows the
  // rows as they were); -1 for a row no longer there.
  int SourcePos(int row) const;
  // The text of a cell (empty for a row no longer there).
  QString CellText(int row, const GridColumn& column) const;
  bool Editing() const;
  void ResetAll();
  void ShowError(const std::exception& e) const;

  data::TLinkCustomDataset* ds_ = nullptr;
  const ColumnLayout* layout_ = nullptr;
  std::vector<GridColumn> columns_;
  int rows_ = 0;
  bool wasActive_ = false;
  // The last notification was an open or a close, already shown: the
  // dataset's "data changed" that follows it at once needs no second reset.
  bool shownOpenOrClose_ = false;
  // A row notification in progress: rows from shiftAt_ on read the
  // dataset's row shiftBy_ further on.
  int shiftAt_ = -1;
  int shiftBy_ = 0;
  DrawDataCellHook drawDataCell_;
};

}  // namespace mero::ui
