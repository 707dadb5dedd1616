#pragma once

#include <string>

#include "base/date_time.h"

namespace mero::ui {

// The date-range window; true with the period confirmed.
bool RunDateRangeDialog(const std::string& caption, const std::string& firstKey, base::TDateTime& from,
                        base::TDateTime& to);

}  // namespace mero::ui
