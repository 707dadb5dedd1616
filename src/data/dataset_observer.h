#pragma once

namespace mero::data {

class TDataSet;
class TField;

// How a view (a grid's table model, a detail dataset, an edit control) learns
// what happened to a dataset. Notifications arrive after the change, on the
// user-interface thread. While the dataset's controls are disabled only
// ControlsDisabled/ControlsEnabled arrive; enabling the controls again is
// followed by one DataSetChanged.
class DataSetObserver {
 public:
  virtual ~DataSetObserver() = default;

  // The rows changed in number, order or content, or the dataset opened or
  // closed: a view re-reads everything.
  virtual void DataSetChanged(TDataSet& dataSet) = 0;
  // The current row's values changed (field: the one that changed; nullptr
  // for the whole row).
  virtual void RecordChanged(TDataSet& dataSet, const TField* field) = 0;
  // The cursor moved to another row.
  virtual void CursorMoved(TDataSet& dataSet) = 0;
  // The dataset's state changed (browse, edit, insert, inactive, …).
  virtual void StateChanged(TDataSet& dataSet) = 0;
  virtual void ControlsDisabled(TDataSet& dataSet) { (void)dataSet; }
  virtual void ControlsEnabled(TDataSet& dataSet) { (void)dataSet; }
  // The dataset is being destroyed: the observer must forget it.
  virtual void DataSetDestroyed(TDataSet& dataSet) { (void)dataSet; }
};

}  // namespace mero::data
