#include "ui/period_edit.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>

#include "base/clock.h"
#include "base/message_seam.h"
#include "base/runtime.h"
#include "ui/qt_text.h"

namespace mero::ui {

namespace {
// The default period of the run-time services, before they are started too.
Period DefaultPeriod() {
  const base::Runtime& rt = base::Rt();
  if (rt.defaultPeriodFrom != 0 || rt.defaultPeriodTo != 0) return {rt.defaultPeriodFrom, rt.defaultPeriodTo};
  return {base::EncodeDate(1990, 1, 1), base::EncodeDate(2040, 1, 1)};
}
}  // namespace

TKZDTPREdit::TKZDTPREdit(QWidget* parent) : QLineEdit(parent) {
  setReadOnly(true);
  setMinimumWidth(kMinWidth);
  QPalette p = palette();
  p.setColor(QPalette::Text, Qt::blue);
  p.setColor(QPalette::Base, QColor(0, 255, 0));
  setPalette(p);
  SetPeriod(DefaultPeriod());
}

void TKZDTPREdit::SetDTPTitle(const std::string& title) {
  title_ = title;
  setToolTip(ToQString(title_));
}

void TKZDTPREdit::SetzUseMonths(bool value) {
  useMonths_ = value;
  setText(ToQString(PeriodText(period_, useMonths_)));
}

void TKZDTPREdit::SetPeriod(Period period) {
  period_ = NormalizePeriod(period);
  setText(ToQString(PeriodText(period_, useMonths_)));
  emit PeriodChanged();
}

void TKZDTPREdit::AskRange(const std::string& firstKey) {
  Period p = period_;
  if (base::AskDateRange(title_, firstKey, p.from, p.to)) SetPeriod(p);
}

void TKZDTPREdit::keyPressEvent(QKeyEvent* event) {
  const PeriodKeyAction action =
      PeriodKey(event->key(), event->modifiers(), FromQString(event->text()), period_, base::Today());
  switch (action.kind) {
    case PeriodKeyAction::SetPeriod:
      SetPeriod(action.period);
      return;
    case PeriodKeyAction::AskRange:
      AskRange(action.firstKey);
      return;
    case PeriodKeyAction::Ignore:
      QLineEdit::keyPressEvent(event);
      return;
  }
}

void TKZDTPREdit::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    AskRange();
    return;
  }
  QLineEdit::mouseDoubleClickEvent(event);
}

}  // namespace mero::ui
