#include "ui/db_check_box.h"

#include <QSignalBlocker>


namespace mero::ui {

TDBCheckBox::TDBCheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {
  link_.OnDataChange = [this] {
    if (!writing_) ShowField();
  };
  connect(this, &QCheckBox::clicked, this, &TDBCheckBox::Write);
  ShowField();
}

void TDBCheckBox::SetValues(std::string checked, std::string unchecked) {
  checked_ = std::move(checked);
  unchecked_ = std::move(unchecked);
  ShowField();
}

void TDBCheckBox::ShowField() {
  const QSignalBlocker quiet(this);
  setEnabled(link_.CanModify());
  setChecked(link_.Field() != nullptr && link_.Text() == checked_);
}

void TDBCheckBox::Write(bool checked) {
  writing_ = true;
  link_.WriteText(checked ? checked_ : unchecked_);
  writing_ = false;
  ShowField();
}

}  // namespace mero::ui
