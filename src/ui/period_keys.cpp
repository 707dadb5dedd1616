#include "ui/period_keys.h"

#include <cmath>
#include <utility>

#include "base/date_routines.h"

namespace mero::ui {

Period NormalizePeriod(Period period) {
  if (period.from == kNoDatePeriod || period.from == kAnyDatePeriod) return period;
  period.from = std::trunc(period.from);
  period.to = std::trunc(period.to);
  if (period.to > 0 && period.from > period.to) std::swap(period.from, period.to);
  return period;
}

std::string PeriodText(const Period& period, bool useMonths) {
  if (period.from == kNoDatePeriod) return "--";
  if (period.from == kAnyDatePeriod) return "+";
  return useMonths ? base::MonthRangeToStr(period.from, period.to) : base::DateRangeToStr(period.from, period.to);
}

namespace {

PeriodKeyAction Set(base::TDateTime from, base::TDateTime to) {
  return {PeriodKeyAction::SetPeriod, NormalizePeriod({from, to}), {}};
}

PeriodKeyAction CtrlKey(int key, const Period& period, base::TDateTime today) {
  base::TDateTime first = 0;
  base::TDateTime last = 0;
  switch (key) {
    case Qt::Key_Right:
    case Qt::Key_Left: {
      // A special or empty period has no dates to move.
      if (period.from <= 0 && period.to <= 0) return {};
      const int years = key == Qt::Key_Right ? 1 : -1;
      return Set(base::ShiftYearsToMonthStart(period.from, years), base::ShiftYearsToMonthStart(period.to, years));
    }
    case Qt::Key_1:
      base::WeekBounds(today, first, last);
      return Set(first, last);
    case Qt::Key_2:
      base::MonthBounds(today, first, last);
      return Set(first, last);
    case Qt::Key_3:
      base::YearBounds(base::DecodeDate(today).year, first, last);
      return Set(first, last);
    case Qt::Key_4:
      return Set(base::EncodeDate(1990, 1, 1), base::EncodeDate(2040, 12, 31));
    default:
      return {};
  }
}

}  // namespace

PeriodKeyAction PeriodKey(int key, Qt::KeyboardModifiers modifiers, const std::string& text, const Period& period,
                          base::TDateTime today) {
  const Qt::KeyboardModifiers mods = modifiers & ~Qt::KeypadModifier;
  if (mods == Qt::ControlModifier) return CtrlKey(key, period, today);
  if (key == Qt::Key_Delete || key == Qt::Key_F2) {
    if (mods != Qt::NoModifier) return {};
    if (key == Qt::Key_F2) return {PeriodKeyAction::AskRange, {}, {}};
    return Set(0, 0);
  }
  // Typed characters: Shift may be what makes the "+" on the main keys.
  if (mods != Qt::NoModifier && mods != Qt::ShiftModifier) return {};
  if (text == "-") return {PeriodKeyAction::SetPeriod, {kNoDatePeriod, 0}, {}};
  if (text == "+") return {PeriodKeyAction::SetPeriod, {kAnyDatePeriod, 0}, {}};
  if (text.size() == 1 && text[0] >= '0' && text[0] <= '9') return {PeriodKeyAction::AskRange, {}, text};
  return {};
}

}  // namespace mero::ui
