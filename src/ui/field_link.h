#pragma once

#include <functional>
#include <string>

#include "data/dataset_observer.h"

namespace mero::data {
class TDataSet;
class TField;
}  // namespace mero::data

namespace mero::ui {

// Binds one field of a dataset to an edit control: tells the control when to
// show the field again and writes the control's text into the field, putting
// the dataset into edit state first. Holds no widget; the control owns it.
class FieldLink final : public data::DataSetObserver {
 public:
  FieldLink() = default;
  ~FieldLink() override;
  FieldLink(const FieldLink&) = delete;
  FieldLink& operator=(const FieldLink&) = delete;

  void SetDataSet(data::TDataSet* dataSet);
  data::TDataSet* DataSet() const { return dataSet_; }
  void SetFieldName(std::string name);
  const std::string& FieldName() const { return fieldName_; }
  // Edits start on their own when the user types (the data source's
  // automatic edit); off, the dataset must be put into edit state first.
  void SetAutoEdit(bool value) { autoEdit_ = value; }
  bool AutoEdit() const { return autoEdit_; }

  // The bound field of the open dataset, or nullptr.
  data::TField* Field() const;
  bool Editing() const;
  // The field can take a value now or after an automatic Edit.
  bool CanModify() const;
  // Puts the dataset into edit state when it browses; false when the field
  // cannot be changed.
  bool Edit();
  // The field's text, empty without a field.
  std::string Text() const;
  // Edit, then the text into the field (through the field's own conversion,
  // which raises on a bad value).
  void SetText(const std::string& text);
  // SetText for a control's handler: a failure is shown once through the
  // message window (a silent abort stays silent) and nothing is raised.
  void WriteText(const std::string& text);

  // The row or the field's value changed, or the dataset opened or closed:
  // the control shows Text() again.
  std::function<void()> OnDataChange;
  // The dataset's state changed (browse, edit, insert, inactive).
  std::function<void()> OnStateChange;

  void DataSetChanged(data::TDataSet& dataSet) override;
  void RowChanged(data::TDataSet& dataSet, int visiblePos) override;
  void RecordChanged(data::TDataSet& dataSet, const data::TField* field) override;
  void CursorMoved(data::TDataSet& dataSet) override;
  void StateChanged(data::TDataSet& dataSet) override;
  void ControlsEnabled(data::TDataSet& dataSet) override;
  void DataSetDestroyed(data::TDataSet& dataSet) override;

 private:
  void Changed() const;

  data::TDataSet* dataSet_ = nullptr;
  std::string fieldName_;
  bool autoEdit_ = true;
};

}  // namespace mero::ui
