#pragma once

#include <string>
#include <string_view>

#include "base/date_time.h"

namespace mero::base {

// Lenient date parser of every date box: "5" is the 5th of this month, "5/3"
// the 5th of March this year, "05.03.05" 5 March 2005, six or eight digits
// spell day, month and year, a lone "/" is today; two-digit years pivot at 50.
// The date is 0 whenever the result is false.
bool StrToDateEx(std::string_view s, bool required, TDateTime& date);

std::string DateToStrSep(TDateTime x, std::string_view sep);
std::string DateToShortStr(TDateTime x);
std::string DateToStrMode(TDateTime x, int mode);
// The pattern of date literals in SQL text for DateFmtMode.
std::string DateFmtStr();
int Year4To2(int year);
std::string DateRangeToStr(TDateTime from, TDateTime to);
std::string MonthRangeToStr(TDateTime from, TDateTime to);
void MonthBounds(TDateTime x, TDateTime& first, TDateTime& last);
void YearBounds(int year, TDateTime& first, TDateTime& last);
// The Sunday on or before x, and the Sunday seven days later.
void WeekBounds(TDateTime x, TDateTime& first, TDateTime& next);
TDateTime ShiftYearsToMonthStart(TDateTime x, int years);
// hh:mm:ss.zzz of now.
std::string TimeStampStr();
// yyyymmddhhnnsszzz of now.
std::string DateTimeStamp();
// ss.cc of now: seconds and hundredths.
std::string SecondsStr();
// Recomputes the today record of the run-time state.
void RefreshToday();

}  // namespace mero::base
