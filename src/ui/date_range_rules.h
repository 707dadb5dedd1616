#pragma once

#include "base/date_time.h"
#include "ui/period_keys.h"

namespace mero::ui {

// The choice of the date-range window's group.
enum class PeriodKind { Range, NoDate, AnyDate };

// How the window opens on a period: the group, and for a range the dates of
// the two boxes.
struct DateRangeStart {
  PeriodKind kind = PeriodKind::Range;
  base::TDateTime from = 0;
  base::TDateTime to = 0;
};
DateRangeStart DateRangeStartOf(base::TDateTime from, base::TDateTime to);

// The period OK gives for the group and the boxes' dates. A box never set
// (negative) counts as empty; an end left empty takes the start; a start
// after the end is swapped with it.
Period DateRangeResult(PeriodKind kind, base::TDateTime fromBox, base::TDateTime toBox);

}  // namespace mero::ui
