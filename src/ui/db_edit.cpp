#include "ui/db_edit.h"

#include <QApplication>

#include "data/field.h"
#include "ui/qt_text.h"

namespace mero::ui {

TDBEdit::TDBEdit(QWidget* parent) : QLineEdit(parent) {
  link_.OnDataChange = [this] {
    if (!writing_) ShowField();
  };
  connect(this, &QLineEdit::textEdited, this, &TDBEdit::Write);
  ShowField();
}

void TDBEdit::SetAlwaysReadOnly(bool value) {
  alwaysReadOnly_ = value;
  ShowField();
}

void TDBEdit::ShowField() {
  setReadOnly(alwaysReadOnly_ || !link_.CanModify());
  const data::TField* field = link_.Field();
  setMaxLength(field != nullptr && field->Size() > 0 && data::IsTextType(field->DataType()) ? field->Size() : 32767);
  const QString text = ToQString(link_.Text());
  if (text != this->text()) setText(text);
  setModified(false);
}

void TDBEdit::Write(const QString& text) {
  // Written as typed, so a post from anywhere in the window takes it; the box
  // keeps its cursor meanwhile.
  writing_ = true;
  link_.WriteText(FromQString(text));
  writing_ = false;
  if (!link_.Editing()) {
    QApplication::beep();
    ShowField();
  }
}

}  // namespace mero::ui
