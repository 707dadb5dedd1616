#include "ui/db_date_edit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <exception>

#include "base/date_routines.h"
#include "base/message_seam.h"
#include "data/database_error.h"
#include "data/field.h"
#include "ui/date_box_rules.h"
#include "ui/qt_text.h"

namespace mero::ui {

TDBDTEdit::TDBDTEdit(QWidget* parent) : QLineEdit(parent) {
  link_.OnDataChange = [this] {
    if (!startingEdit_) ShowField();
  };
  ShowField();
}

void TDBDTEdit::ShowField() {
  setReadOnly(!link_.CanModify());
  setText(ToQString(link_.Text()));
  setModified(false);
}

template <typename Action>
bool TDBDTEdit::Guarded(Action action) {
  // Nothing may escape into Qt's event dispatch: a failure of the dataset
  // is shown here, once, and a silent abort stays silent.
  try {
    action();
    return true;
  } catch (const data::EAbort&) {
  } catch (const std::exception& e) {
    busy_ = true;
    base::ShowMess(e.what());
    busy_ = false;
  }
  return false;
}

bool TDBDTEdit::StartEdit() {
  // Entering edit state changes nothing the box shows; the text typed so far
  // and its selection stay.
  bool editing = false;
  startingEdit_ = true;
  Guarded([&] { editing = link_.Edit(); });
  startingEdit_ = false;
  if (editing) return true;
  QApplication::beep();
  return false;
}

bool TDBDTEdit::UpdateRecord() {
  if (!isModified()) return true;
  if (Guarded([this] { link_.SetText(NormalizeDateText(FromQString(text()))); })) {
    ShowField();
    return true;
  }
  selectAll();
  setFocus(Qt::OtherFocusReason);
  return false;
}

void TDBDTEdit::PickDateIntoField() {
  if (!link_.CanModify()) {
    QApplication::beep();
    return;
  }
  base::TDateTime date = 0;
  if (!base::StrToDateEx(FromQString(text()), false, date)) date = 0;
  const QPoint corner = mapToGlobal(QPoint(0, 0));
  busy_ = true;
  const bool picked = base::PickDate(date, corner.x(), corner.y());
  busy_ = false;
  if (!picked) return;
  setText(ToQString(base::DateToStrSep(date, "/")));
  setModified(true);
  UpdateRecord();
}

void TDBDTEdit::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
  const int key = event->key();
  if (key == Qt::Key_F2 && mods == Qt::NoModifier) {
    PickDateIntoField();
    return;
  }
  if (key == Qt::Key_Escape && mods == Qt::NoModifier) {
    ShowField();
    selectAll();
    return;
  }
  if (key == Qt::Key_Delete || (key == Qt::Key_Insert && mods == Qt::ShiftModifier)) {
    if (!StartEdit()) return;
    QLineEdit::keyPressEvent(event);
    return;
  }
  const std::string typed = FromQString(event->text());
  const bool typesText = typed.size() == 1 && static_cast<unsigned char>(typed[0]) >= ' ' &&
                         (mods & (Qt::ControlModifier | Qt::AltModifier)) == 0;
  if (typesText && !IsDateBoxChar(typed[0])) {
    QApplication::beep();
    return;
  }
  if ((typesText || key == Qt::Key_Backspace) && !StartEdit()) return;
  QLineEdit::keyPressEvent(event);
}

void TDBDTEdit::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    PickDateIntoField();
    return;
  }
  QLineEdit::mouseDoubleClickEvent(event);
}

void TDBDTEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (busy_ || event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason) return;
  UpdateRecord();
}

}  // namespace mero::ui
