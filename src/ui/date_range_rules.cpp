#include "ui/date_range_rules.h"

#include <utility>

namespace mero::ui {

DateRangeStart DateRangeStartOf(base::TDateTime from, base::TDateTime to) {
  if (from == kNoDatePeriod) return {PeriodKind::NoDate};
  if (from == kAnyDatePeriod) return {PeriodKind::AnyDate};
  return {PeriodKind::Range, from, to};
}

Period DateRangeResult(PeriodKind kind, base::TDateTime fromBox, base::TDateTime toBox) {
  if (kind == PeriodKind::NoDate) return {kNoDatePeriod, 0};
  if (kind == PeriodKind::AnyDate) return {kAnyDatePeriod, 0};
  Period p{fromBox > 0 ? fromBox : 0, toBox > 0 ? toBox : 0};
  if (p.from > 0 && p.to == 0) p.to = p.from;
  if (p.from > 0 && p.to > 0 && p.from > p.to) std::swap(p.from, p.to);
  return p;
}

}  // namespace mero::ui
