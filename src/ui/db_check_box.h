#pragma once

#include <QCheckBox>
#include <string>

#include "ui/field_link.h"

namespace mero::data {
class TDataSet;
}

namespace mero::ui {

// The data-aware check box over a text field: checked when the field holds
// the checked value; a click writes the checked or the unchecked value. Any
// other value shows unchecked. Disabled while the field cannot be changed.
class TDBCheckBox : public QCheckBox {
  Q_OBJECT

 public:
  explicit TDBCheckBox(const QString& caption, QWidget* parent = nullptr);

  void SetDataSet(data::TDataSet* dataSet) { link_.SetDataSet(dataSet); }
  void SetDataField(std::string fieldName) { link_.SetFieldName(std::move(fieldName)); }
  void SetValues(std::string checked, std::string unchecked);
  FieldLink& Link() { return link_; }
  void ShowField();

 private:
  void Write(bool checked);

  FieldLink link_;
  std::string checked_ = "1";
  std::string unchecked_ = "0";
  bool writing_ = false;
};

}  // namespace mero::ui
