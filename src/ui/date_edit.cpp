#include "ui/date_edit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>

#include "base/date_routines.h"
#include "base/encoding.h"
#include "base/message_seam.h"
#include "ui/date_box_rules.h"
#include "ui/qt_text.h"

namespace mero::ui {

using namespace base::literals;

TKZDTEdit::TKZDTEdit(QWidget* parent) : QLineEdit(parent) {
  setFixedWidth(kWidth);
  QPalette p = palette();
  p.setColor(QPalette::Text, Qt::blue);
  p.setColor(QPalette::Base, p.color(QPalette::Window));
  setPalette(p);
}

void TKZDTEdit::SetDTTitle(const std::string& title) {
  title_ = title.substr(0, kTitleMax);
  setToolTip(ToQString(title_));
}

void TKZDTEdit::SetDate(base::TDateTime date) {
  date_ = date;
  ShowDate();
}

void TKZDTEdit::ShowDate() {
  setText(ToQString(DateBoxText(date_)));
  setModified(false);
}

bool TKZDTEdit::CheckDate() {
  const DateBoxLeave leave = LeaveDateBox(FromQString(text()), accept0_);
  if (leave.accepted) {
    SetDate(leave.date);
    return true;
  }
  // The system box takes the focus while it is open; coming back must not
  // check the same text a second time.
  checking_ = true;
  base::SystemMessage("ΣΦΑΛΜΑ!"_gr, "Άκυρη Ημερομηνία"_gr);
  setFocus(Qt::OtherFocusReason);
  checking_ = false;
  return false;
}

void TKZDTEdit::PickDateFromCalendar() {
  base::TDateTime date = 0;
  if (!base::StrToDateEx(FromQString(text()), false, date)) date = 0;
  const QPoint corner = mapToGlobal(QPoint(0, 0));
  // The calendar takes the focus while it is open; the typed text is
  // replaced by the pick, or checked when the user leaves afterwards.
  checking_ = true;
  const bool picked = base::PickDate(date, corner.x(), corner.y());
  checking_ = false;
  if (picked) SetDate(date);
}

void TKZDTEdit::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
  if (event->key() == Qt::Key_F2 && mods == Qt::NoModifier) {
    PickDateFromCalendar();
    return;
  }
  if (event->key() == Qt::Key_Escape && mods == Qt::NoModifier && isModified()) {
    ShowDate();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void TKZDTEdit::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    PickDateFromCalendar();
    return;
  }
  QLineEdit::mouseDoubleClickEvent(event);
}

void TKZDTEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // A pop-up (the calendar, a context menu) takes the focus for a moment
  // without the user leaving the box.
  // Switching to another program does not leave the box either.
  if (checking_ || event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason) return;
  CheckDate();
}

}  // namespace mero::ui
