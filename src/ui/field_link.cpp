#include "ui/field_link.h"

#include <exception>

#include "base/message_seam.h"
#include "data/database_error.h"
#include "data/dataset.h"
#include "data/field.h"

namespace mero::ui {

FieldLink::~FieldLink() { SetDataSet(nullptr); }

void FieldLink::SetDataSet(data::TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  if (dataSet_ != nullptr) dataSet_->RemoveObserver(this);
  dataSet_ = dataSet;
  if (dataSet_ != nullptr) dataSet_->AddObserver(this);
  Changed();
}

void FieldLink::SetFieldName(std::string name) {
  fieldName_ = std::move(name);
  Changed();
}

data::TField* FieldLink::Field() const {
  if (dataSet_ == nullptr || !dataSet_->Active() || fieldName_.empty()) return nullptr;
  return dataSet_->FindField(fieldName_);
}

bool FieldLink::Editing() const {
  return dataSet_ != nullptr && (dataSet_->State() == data::dsEdit || dataSet_->State() == data::dsInsert);
}

bool FieldLink::CanModify() const {
  const data::TField* field = Field();
  if (field == nullptr || field->ReadOnly() || dataSet_->ReadOnly()) return false;
  return Editing() || autoEdit_;
}

bool FieldLink::Edit() {
  if (!CanModify()) return false;
  if (!Editing()) dataSet_->Edit();
  return Editing();
}

std::string FieldLink::Text() const {
  const data::TField* field = Field();
  return field != nullptr ? field->AsString() : std::string();
}

void FieldLink::SetText(const std::string& text) {
  if (!Edit()) return;
  Field()->SetAsString(text);
}

void FieldLink::WriteText(const std::string& text) {
  try {
    SetText(text);
  } catch (const data::EAbort&) {
  } catch (const std::exception& e) {
    base::ShowMess(e.what());
  }
}

void FieldLink::Changed() const {
  if (OnDataChange) OnDataChange();
}

void FieldLink::DataSetChanged(data::TDataSet&) { Changed(); }
void FieldLink::RowChanged(data::TDataSet&, int) { Changed(); }

void FieldLink::RecordChanged(data::TDataSet&, const data::TField* field) {
  if (field == nullptr || field->FieldName() == fieldName_) Changed();
}

void FieldLink::CursorMoved(data::TDataSet&) { Changed(); }

void FieldLink::StateChanged(data::TDataSet&) {
  if (OnStateChange) OnStateChange();
  Changed();
}

void FieldLink::ControlsEnabled(data::TDataSet&) { Changed(); }

void FieldLink::DataSetDestroyed(data::TDataSet&) {
  dataSet_ = nullptr;
  Changed();
}

}  // namespace mero::ui
