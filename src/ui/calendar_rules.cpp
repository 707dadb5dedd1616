#include "ui/calendar_rules.h"

#include <algorithm>

#include "base/clock.h"
#include "base/date_routines.h"
#include "base/format_settings.h"

namespace mero::ui {

base::TDateTime CalendarStartDate(base::TDateTime date) {
  return date == 0 ? base::Today() : base::DateOf(date);
}

base::TDateTime ShiftCalendarMonths(base::TDateTime date, int months) {
  const base::DateParts d = base::DecodeDate(date);
  const int index = d.year * 12 + (d.month - 1) + months;
  const int year = index / 12;
  const int month = index % 12 + 1;
  base::TDateTime out = date;
  base::TryEncodeDate(year, month, std::min(d.day, base::DaysInMonth(year, month)), out);
  return out;
}

CalendarDayLabel DayLabelOf(base::TDateTime date) {
  const int dow = base::DayOfWeek(date);
  return {base::ProcessFormats().longDayNames[static_cast<std::size_t>(dow - 1)] + ", " +
              base::DateToStrSep(date, "/"),
          dow == 1 || dow == 7};
}

}  // namespace mero::ui
