#pragma once

#include <string>
#include <string_view>

#include "base/date_time.h"
#include "base/format_settings.h"

namespace mero::base {

// Formats a date-time number with a pattern of case-insensitive tokens:
// d dd ddd dddd (day, short and long day name), m mm mmm mmmm (month, short
// and long month name; minutes right after an hour token), yy yyyy, h hh,
// n nn (minutes), s ss, z zzz, '/' and ':' for the date and time separators,
// and text in quotes kept as it is.
std::string FormatDateTime(std::string_view pattern, TDateTime value, const FormatSettings& fs = ProcessFormats());

// Readers of the process's formats: day, month and year in the order of the
// short date format, separated by the date separator (a two-digit year takes
// the century of the pivot 50); times as h:m[:s[.zzz]]; date-times as a date,
// blanks, a time. False, and nothing changed, for anything else.
bool TryStrToDate(std::string_view text, TDateTime& out, const FormatSettings& fs = ProcessFormats());
bool TryStrToTime(std::string_view text, TDateTime& out, const FormatSettings& fs = ProcessFormats());
bool TryStrToDateTime(std::string_view text, TDateTime& out, const FormatSettings& fs = ProcessFormats());

}  // namespace mero::base
