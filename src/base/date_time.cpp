#include "base/date_time.h"

#include <algorithm>
#include <cmath>

namespace mero::base {
namespace {

// Day number 0 of the civil calendar below is 1970-01-01; 1899-12-30 is 25569
// days before it.
constexpr std::int64_t kUnixEpochOffset = 25569;

std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

DateParts CivilFromDays(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

// The calendar runs from 1 January 1 (day -693593) to 31 December 9999 (day
// 2958465). A number outside it, such as a damaged value from the link,
// decodes as the nearest end, and one that is not a number as day 0, so that
// no conversion below overflows.
TDateTime InCalendar(TDateTime value) {
  if (std::isnan(value)) return 0;
  return std::clamp(value, -693593.0, 2958465.0);
}

std::int64_t DayNumber(TDateTime value) { return static_cast<std::int64_t>(std::trunc(InCalendar(value))); }

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& out) {
  if (!IsValidDate(year, month, day)) return false;
  out = EncodeDate(year, month, day);
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  return static_cast<TDateTime>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
                                kUnixEpochOffset);
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& out) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 || msec > 999) {
    return false;
  }
  out = EncodeTime(hour, minute, second, msec);
  return true;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
  const std::int64_t ms = ((static_cast<std::int64_t>(hour) * 60 + minute) * 60 + second) * 1000 + msec;
  return static_cast<double>(ms) / kMSecsPerDay;
}

TDateTime CombineDateTime(TDateTime date, TDateTime time) { return date >= 0 ? date + time : date - time; }

DateParts DecodeDate(TDateTime value) {
  value = InCalendar(value);
  // Rounding the time to the millisecond may carry into the next day.
  std::int64_t days = DayNumber(value);
  if (std::llround(std::fabs(value - std::trunc(value)) * kMSecsPerDay) >= kMSecsPerDay) days += value >= 0 ? 1 : -1;
  return CivilFromDays(days - kUnixEpochOffset);
}

TimeParts DecodeTime(TDateTime value) {
  std::int64_t ms = TimeOfDayMSecs(value);
  TimeParts t;
  t.msec = static_cast<int>(ms % 1000);
  ms /= 1000;
  t.second = static_cast<int>(ms % 60);
  ms /= 60;
  t.minute = static_cast<int>(ms % 60);
  t.hour = static_cast<int>(ms / 60);
  return t;
}

int DayOfWeek(TDateTime value) {
  // 1899-12-30 was a Saturday (7).
  const std::int64_t days = DayNumber(value);
  std::int64_t r = (days + 6) % 7;
  if (r < 0) r += 7;
  return static_cast<int>(r) + 1;
}

TDateTime DateOf(TDateTime value) { return std::trunc(value); }

TDateTime TimeOf(TDateTime value) { return std::fabs(value - std::trunc(value)); }

std::int32_t TimeOfDayMSecs(TDateTime value) {
  value = InCalendar(value);
  const std::int64_t ms = std::llround(std::fabs(value - std::trunc(value)) * kMSecsPerDay);
  return static_cast<std::int32_t>(ms >= kMSecsPerDay ? 0 : ms);
}

}  // namespace mero::base
