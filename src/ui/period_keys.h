#pragma once

#include <Qt>
#include <string>

#include "base/date_time.h"

namespace mero::ui {

// The period of a period box: NoDatePeriod (−131, 0) is "the record has no
// date", AnyDatePeriod (−132, 0) "any date, with or without".
struct Period {
  base::TDateTime from = 0;
  base::TDateTime to = 0;
  bool operator==(const Period&) const = default;
};

constexpr base::TDateTime kNoDatePeriod = -131;
constexpr base::TDateTime kAnyDatePeriod = -132;

// Whole days, the earlier date first; the special starts are kept as they
// are, and a period open at its end (to = 0) stays open.
Period NormalizePeriod(Period period);

// "--", "+", or the range of days (of months when useMonths).
std::string PeriodText(const Period& period, bool useMonths);

// What a key does to a period box.
struct PeriodKeyAction {
  enum Kind { Ignore, SetPeriod, AskRange };
  Kind kind = Ignore;
  Period period;         // SetPeriod: the new period
  std::string firstKey;  // AskRange: the digit typed, or empty
};

// The key decision of a period box: the key, its modifiers (the keypad flag
// does not count), the text it types, the current period and today.
PeriodKeyAction PeriodKey(int key, Qt::KeyboardModifiers modifiers, const std::string& text, const Period& period,
                          base::TDateTime today);

}  // namespace mero::ui
