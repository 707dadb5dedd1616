#pragma once

namespace mero::data {

class TDataSet;
class TField;

// How a view (a grid's table model, a detail dataset, an edit control) learns
// what happened to a dataset. Notifications arrive after the change, on the
// user-interface thread. While the dataset's controls are disabled only
// ControlsDisabled/ControlsEnabled arrive; enabling the controls again is
// followed by one DataSetChanged.
//
// Rows are named by their visible position: the place among the rows the
// dataset shows (TDataSet::VisibleRowCount), which are the rows that pass
// the record filter plus, while an Insert or Append is in progress, the new
// row at the place it will take.
//
// Order: a notification that changes which rows are shown (a row comes or
// goes, or the new row becomes a stored one) arrives first, so that whatever
// a view asks of the dataset in any later notification matches what it has
// been told; then StateChanged; then CursorMoved; then the RowChanged of a
// row whose edit was posted or dropped.
class DataSetObserver {
 public:
  virtual ~DataSetObserver() = default;

  // The rows changed in number, order or content in a way no row
  // notification describes (open, close, sort, filter, refresh, rows
  // fetched, changes reverted): a view re-reads everything.
  virtual void DataSetChanged(TDataSet& dataSet) = 0;
  // A row appeared at visiblePos; the rows from there on move down by one.
  // Insert and Append put the new row in view before it is posted.
  // A view that does not follow single rows re-reads everything.
  virtual void RowInserted(TDataSet& dataSet, int visiblePos) {
    (void)visiblePos;
    DataSetChanged(dataSet);
  }
  // The row at visiblePos left the view: deleted, its insert cancelled, or
  // posted with values that the record filter refuses.
  virtual void RowRemoved(TDataSet& dataSet, int visiblePos) {
    (void)visiblePos;
    DataSetChanged(dataSet);
  }
  // The row at visiblePos is to be read again: its edit was posted or
  // cancelled, or the new row there was posted.
  virtual void RowChanged(TDataSet& dataSet, int visiblePos) {
    (void)visiblePos;
    DataSetChanged(dataSet);
  }
  // The current row's values changed (field: the one that changed; nullptr
  // for the whole row).
  virtual void RecordChanged(TDataSet& dataSet, const TField* field) = 0;
  // The cursor moved to another row (TDataSet::CurrentVisiblePos).
  virtual void CursorMoved(TDataSet& dataSet) = 0;
  // The dataset's state changed (browse, edit, insert, inactive, …).
  virtual void StateChanged(TDataSet& dataSet) = 0;
  virtual void ControlsDisabled(TDataSet& dataSet) { (void)dataSet; }
  virtual void ControlsEnabled(TDataSet& dataSet) { (void)dataSet; }
  // The dataset is being destroyed: the observer must forget it.
  virtual void DataSetDestroyed(TDataSet& dataSet) { (void)dataSet; }
};

}  // namespace mero::data
