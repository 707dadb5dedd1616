#include "ui/date_box_rules.h"

#include <atomic>

#include "base/date_routines.h"

namespace mero::ui {

namespace {
std::atomic<bool> startupFinished{true};
}

void SetStartupFinished(bool finished) { startupFinished = finished; }
bool StartupFinished() { return startupFinished; }

std::string DateBoxText(base::TDateTime date) {
  return StartupFinished() ? base::DateToStrSep(date, "/") : base::DateToShortStr(date);
}

DateBoxLeave LeaveDateBox(std::string_view text, bool accept0) {
  DateBoxLeave out;
  out.accepted = base::StrToDateEx(text, !accept0, out.date);
  if (out.accepted) out.text = DateBoxText(out.date);
  return out;
}

bool IsDateBoxChar(char c) {
  return (c >= '0' && c <= '9') || c == ',' || c == '-' || c == '.' || c == '/';
}

std::string NormalizeDateText(std::string_view text) {
  base::TDateTime date = 0;
  if (base::StrToDateEx(text, false, date) && date > 0) return base::DateToStrSep(date, "/");
  return std::string(text);
}

}  // namespace mero::ui
