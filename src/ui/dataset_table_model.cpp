#include "ui/dataset_table_model.h"

#include <QColor>
#include <QFont>

#include "base/message_seam.h"
#include "data/database_error.h"
#include "data/memory_dataset.h"
#include "ui/qt_text.h"

namespace mero::ui {

// Row values

const data::TField* RowValues::Find(std::string_view fieldName) const { return ds_.FindField(fieldName); }

base::Variant RowValues::Value(std::string_view fieldName) const {
  const data::TField* field = Find(fieldName);
  if (field == nullptr) return base::Variant::Null();
  if (current_) return field->Value();
  if (!rowPos_) return base::Variant::Null();
  return ds_.ValueAt(*rowPos_, *field);
}

std::string RowValues::Text(std::string_view fieldName) const {
  const data::TField* field = Find(fieldName);
  if (field == nullptr) return {};
  if (current_) return field->DisplayText();
  if (!rowPos_) return {};
  return field->DisplayTextOf(ds_.ValueAt(*rowPos_, *field));
}

// The model

DataSetTableModel::DataSetTableModel(QObject* parent) : QAbstractTableModel(parent) {}

DataSetTableModel::~DataSetTableModel() {
  if (ds_ != nullptr) ds_->RemoveObserver(this);
}

void DataSetTableModel::SetDataSet(data::TLinkCustomDataset* ds) {
  if (ds == ds_) return;
  if (ds_ != nullptr) ds_->RemoveObserver(this);
  ds_ = ds;
  wasActive_ = false;
  if (ds_ != nullptr) ds_->AddObserver(this);
  ResetAll();
}

void DataSetTableModel::SetLayout(const ColumnLayout* layout) {
  layout_ = layout;
  wasActive_ = false;
  ResetAll();
}

bool DataSetTableModel::Editing() const {
  return ds_ != nullptr && (ds_->State() == data::dsEdit || ds_->State() == data::dsInsert);
}

int DataSetTableModel::CurrentRow() const {
  if (ds_ == nullptr || !ds_->Active() || columns_.empty()) return -1;
  return ds_->CurrentVisiblePos();
}

void DataSetTableModel::ShowError(const std::exception& e) const { base::ShowMess(e.what()); }

bool DataSetTableModel::MoveToRow(int visiblePos) {
  if (ds_ == nullptr || !ds_->Active()) return false;
  if (visiblePos == ds_->CurrentVisiblePos()) return true;
  if (visiblePos < 0 || visiblePos >= ds_->VisibleRowCount()) return false;
  const std::optional<std::size_t> pos = ds_->VisibleRow(visiblePos);
  if (!pos) return false;
  const data::TBookmark target = ds_->BookmarkAt(*pos);
  try {
    ds_->CheckBrowseMode();
    ds_->GotoBookmark(target);
    return true;
  } catch (const data::EAbort&) {
  } catch (const std::exception& e) {
    ShowError(e);
  }
  emit CurrentRowMoved(CurrentRow());
  return false;
}

int DataSetTableModel::SourcePos(int row) const {
  if (shiftAt_ < 0 || row < shiftAt_) return row;
  if (shiftBy_ > 0) return row + 1;
  return row == shiftAt_ ? -1 : row - 1;
}

QString DataSetTableModel::CellText(int row, const GridColumn& column) const {
  const int source = SourcePos(row);
  if (source < 0) return {};
  const data::TField& field = *column.field;
  if (Editing() && source == ds_->CurrentVisiblePos()) return ToQString(field.DisplayText());
  const std::optional<std::size_t> pos = ds_->VisibleRow(source);
  if (!pos) return {};
  if (data::IsTextType(field.DataType())) return ToQString(ds_->StoredTextAt(*pos, field));
  return ToQString(field.DisplayTextOf(ds_->ValueAt(*pos, field)));
}

int DataSetTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int DataSetTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant DataSetTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_ || index.column() >= static_cast<int>(columns_.size())) return {};
  const GridColumn& column = columns_[static_cast<std::size_t>(index.column())];
  try {
    switch (role) {
      case Qt::DisplayRole:
      case Qt::EditRole:
        if (column.checkBox) return {};
        return CellText(index.row(), column);
      case Qt::CheckStateRole: {
        if (!column.checkBox) return {};
        const QString text = CellText(index.row(), column);
        const bool textStates = !column.checkedText.empty() || !column.uncheckedText.empty();
        const QString checked = textStates ? ToQString(column.checkedText) : QStringLiteral("True");
        return text == checked ? Qt::Checked : Qt::Unchecked;
      }
      case Qt::TextAlignmentRole:
        if (data::IsNumericType(column.field->DataType())) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
      case Qt::BackgroundRole:
      case Qt::ForegroundRole:
      case Qt::FontRole: {
        if (!drawDataCell_) return {};
        const int source = SourcePos(index.row());
        if (source < 0) return {};
        const bool current = Editing() && source == ds_->CurrentVisiblePos();
        const RowValues values(*ds_, current ? std::nullopt : ds_->VisibleRow(source), current);
        CellStyle style;
        drawDataCell_(values, *column.field, style);
        if (role == Qt::BackgroundRole && style.background) return QColor::fromRgb(*style.background);
        if (role == Qt::ForegroundRole && style.foreground) return QColor::fromRgb(*style.foreground);
        if (role == Qt::FontRole && style.bold) {
          QFont font;
          font.setBold(true);
          return font;
        }
        return {};
      }
      default:
        return {};
    }
  } catch (const std::exception&) {
    // A value the field cannot show draws as an empty cell; painting must
    // not ask the user anything.
    return {};
  }
}

QVariant DataSetTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= static_cast<int>(columns_.size())) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  if (role == Qt::DisplayRole) return ToQString(columns_[static_cast<std::size_t>(section)].field->DisplayLabel());
  return {};
}

Qt::ItemFlags DataSetTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid() || index.column() >= static_cast<int>(columns_.size())) return Qt::NoItemFlags;
  const GridColumn& column = columns_[static_cast<std::size_t>(index.column())];
  Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
  // The field's own flag is read now: a window may make a field read-only
  // after the columns were built (when its query opened).
  const bool writable = !column.readOnly && !column.field->ReadOnly() && ds_ != nullptr && !ds_->ReadOnly();
  if (writable) f |= column.checkBox ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable;
  return f;
}

bool DataSetTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.column() >= static_cast<int>(columns_.size())) return false;
  const GridColumn& column = columns_[static_cast<std::size_t>(index.column())];
  if (column.checkBox ? role != Qt::CheckStateRole : role != Qt::EditRole) return false;
  if (!(flags(index) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable))) return false;
  data::TField& field = *column.field;
  try {
    if (!MoveToRow(index.row())) return false;
    if (!Editing()) ds_->Edit();
    const bool checked = value.toInt() == Qt::Checked;
    if (column.checkBox && (!column.checkedText.empty() || !column.uncheckedText.empty())) {
      field.SetAsString(checked ? column.checkedText : column.uncheckedText);
    } else if (column.checkBox) {
      field.SetAsBoolean(checked);
    } else {
      field.SetAsString(FromQString(value.toString()));
    }
    return true;
  } catch (const data::EAbort&) {
  } catch (const std::exception& e) {
    ShowError(e);
  }
  return false;
}

void DataSetTableModel::sort(int column, Qt::SortOrder) { emit SortRequested(column); }

void DataSetTableModel::ResetAll() {
  shownOpenOrClose_ = false;
  beginResetModel();
  const bool active = ds_ != nullptr && ds_->Active();
  const bool opened = active && !wasActive_;
  columns_.clear();
  rows_ = 0;
  if (active) {
    if (opened && layout_ != nullptr) layout_->ApplyToFields(*ds_);
    columns_ = layout_ != nullptr ? layout_->Columns(*ds_) : ColumnLayout().Columns(*ds_);
    rows_ = ds_->VisibleRowCount();
  }
  wasActive_ = active;
  endResetModel();
  emit Reset();
  if (opened) emit Opened();
  emit CurrentRowMoved(CurrentRow());
}

void DataSetTableModel::DataSetChanged(data::TDataSet&) {
  const bool active = ds_ != nullptr && ds_->Active();
  if (shownOpenOrClose_ && active == wasActive_ && (!active || rows_ == ds_->VisibleRowCount())) {
    shownOpenOrClose_ = false;
    return;
  }
  ResetAll();
}

void DataSetTableModel::RowInserted(data::TDataSet&, int visiblePos) {
  shownOpenOrClose_ = false;
  if (columns_.empty() || visiblePos < 0 || visiblePos > rows_) return ResetAll();
  shiftAt_ = visiblePos;
  shiftBy_ = 1;
  beginInsertRows(QModelIndex(), visiblePos, visiblePos);
  shiftAt_ = -1;
  ++rows_;
  endInsertRows();
}

void DataSetTableModel::RowRemoved(data::TDataSet&, int visiblePos) {
  shownOpenOrClose_ = false;
  if (columns_.empty() || visiblePos < 0 || visiblePos >= rows_) return ResetAll();
  shiftAt_ = visiblePos;
  shiftBy_ = -1;
  beginRemoveRows(QModelIndex(), visiblePos, visiblePos);
  shiftAt_ = -1;
  --rows_;
  endRemoveRows();
}

void DataSetTableModel::RowChanged(data::TDataSet&, int visiblePos) {
  shownOpenOrClose_ = false;
  if (columns_.empty() || visiblePos < 0 || visiblePos >= rows_) return;
  emit dataChanged(index(visiblePos, 0), index(visiblePos, static_cast<int>(columns_.size()) - 1));
}

void DataSetTableModel::RecordChanged(data::TDataSet& dataSet, const data::TField*) {
  RowChanged(dataSet, CurrentRow());
}

void DataSetTableModel::CursorMoved(data::TDataSet&) {
  shownOpenOrClose_ = false;
  emit CurrentRowMoved(CurrentRow());
}

void DataSetTableModel::StateChanged(data::TDataSet& dataSet) {
  if ((ds_ != nullptr && ds_->Active()) != wasActive_) {
    ResetAll();
    shownOpenOrClose_ = true;
    return;
  }
  RowChanged(dataSet, CurrentRow());
}

void DataSetTableModel::DataSetDestroyed(data::TDataSet&) {
  ds_ = nullptr;
  wasActive_ = false;
  ResetAll();
}

}  // namespace mero::ui
