#pragma once

#include <QLineEdit>
#include <string>

#include "ui/field_link.h"

namespace mero::data {
class TDataSet;
}

namespace mero::ui {

// The data-aware text box: shows a field and writes what the user types into
// it as it is typed (the dataset goes into edit state at the first key).
// Read-only while the field cannot be changed, or always when asked.
class TDBEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit TDBEdit(QWidget* parent = nullptr);

  void SetDataSet(data::TDataSet* dataSet) { link_.SetDataSet(dataSet); }
  void SetDataField(std::string fieldName) { link_.SetFieldName(std::move(fieldName)); }
  FieldLink& Link() { return link_; }
  // A box that only shows its field, whatever the field allows.
  void SetAlwaysReadOnly(bool value);
  // Shows the field again (its value and whether it can be changed).
  void ShowField();

 private:
  void Write(const QString& text);

  FieldLink link_;
  bool alwaysReadOnly_ = false;
  bool writing_ = false;
};

}  // namespace mero::ui
