#pragma once

#include <string>
#include <string_view>

#include "base/date_time.h"

namespace mero::ui {

// The date boxes show dd/mm/yy until the shell reports that start-up has
// finished, dd/mm/yyyy from then on. A window built outside the shell (a
// tool, a test) sees a finished start-up.
void SetStartupFinished(bool finished);
bool StartupFinished();

// The text a date box shows for a date; empty for no date (0) or not set (-1).
std::string DateBoxText(base::TDateTime date);

// What leaving a date box decides: the text parses (an empty text only when
// empty dates are accepted), the date stored and the text shown again.
struct DateBoxLeave {
  bool accepted = false;
  base::TDateTime date = 0;
  std::string text;
};
DateBoxLeave LeaveDateBox(std::string_view text, bool accept0);

// A character the data-aware date box lets the user type.
bool IsDateBoxChar(char c);
// The text a data-aware date box hands to its field: dd/mm/yyyy when it
// parses, else the text as typed (the field's own conversion reports it).
std::string NormalizeDateText(std::string_view text);

}  // namespace mero::ui
