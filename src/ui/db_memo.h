#pragma once

#include <QPlainTextEdit>
#include <string>

#include "ui/field_link.h"

namespace mero::data {
class TDataSet;
}

namespace mero::ui {

// The data-aware memo: a text field of several lines, written into the field
// as it is typed. Read-only while the field cannot be changed.
class TDBMemo : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit TDBMemo(QWidget* parent = nullptr);

  void SetDataSet(data::TDataSet* dataSet) { link_.SetDataSet(dataSet); }
  void SetDataField(std::string fieldName) { link_.SetFieldName(std::move(fieldName)); }
  FieldLink& Link() { return link_; }
  void ShowField();

 private:
  void Write();

  FieldLink link_;
  bool showing_ = false;
  bool writing_ = false;
};

}  // namespace mero::ui
