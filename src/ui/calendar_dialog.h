#pragma once

#include "base/date_time.h"

namespace mero::ui {

// The calendar at the screen point; true with the picked date.
bool RunCalendar(base::TDateTime& date, int screenX, int screenY);

}  // namespace mero::ui
