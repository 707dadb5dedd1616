#pragma once

#include <QLineEdit>
#include <string>

#include "ui/field_link.h"

namespace mero::data {
class TDataSet;
}

namespace mero::ui {

// The data-aware date box: shows a date field and hands it what the user
// typed, normalised to dd/mm/yyyy when it reads as a date. Read-only unless
// the field can be changed.
class TDBDTEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit TDBDTEdit(QWidget* parent = nullptr);

  void SetDataSet(data::TDataSet* dataSet) { link_.SetDataSet(dataSet); }
  void SetDataField(std::string fieldName) { link_.SetFieldName(std::move(fieldName)); }
  FieldLink& Link() { return link_; }

  // Hands a modified text to the field. A failure selects the text, keeps
  // the focus and is shown once (a silent abort stays silent); false then.
  bool UpdateRecord();
  // F2: the calendar, the picked date into the field; a beep when the field
  // cannot be changed.
  void PickDateIntoField();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void ShowField();
  // Puts the dataset into edit state for typing; beeps when it cannot.
  bool StartEdit();
  template <typename Action>
  bool Guarded(Action action);

  FieldLink link_;
  bool busy_ = false;
  bool startingEdit_ = false;
};

}  // namespace mero::ui
