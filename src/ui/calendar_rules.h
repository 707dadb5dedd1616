#pragma once

#include <string>

#include "base/date_time.h"

namespace mero::ui {

// The day the calendar opens on: the given date's day, today when it is 0.
base::TDateTime CalendarStartDate(base::TDateTime date);
// The calendar's month and year steps: the same day n months on, or the
// month's last day when it is shorter (31/01 + 1 month is 28/02 or 29/02).
base::TDateTime ShiftCalendarMonths(base::TDateTime date, int months);

// The label under the calendar: the long day name, ", " and dd/mm/yyyy
// ("Τρίτη, 15/03/2005"), red on Saturday and Sunday, blue otherwise.
struct CalendarDayLabel {
  std::string text;
  bool weekend = false;
};
CalendarDayLabel DayLabelOf(base::TDateTime date);

}  // namespace mero::ui
