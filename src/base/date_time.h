#pragma once

#include <cstdint>

namespace mero::base {

// A date-time number: days since 30 December 1899, time of day as the
// fraction. 0 means no date. Before 1899-12-30 the whole part is negative and
// the fraction still counts forward from midnight (-1.25 is 29 Dec 1899 06:00).
using TDateTime = double;

constexpr int kMSecsPerDay = 24 * 60 * 60 * 1000;

struct DateParts {
  int year = 0;
  int month = 0;
  int day = 0;
};

struct TimeParts {
  int hour = 0;
  int minute = 0;
  int second = 0;
  int msec = 0;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
bool IsValidDate(int year, int month, int day);

// Years 1..9999 as the calendar allows; false for an impossible date.
bool TryEncodeDate(int year, int month, int day, TDateTime& out);
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& out);
// The whole number of days of a valid date (callers check validity first).
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
// Joins a date and a time of day the way date-time numbers count.
TDateTime CombineDateTime(TDateTime date, TDateTime time);

// A number outside the years 1 to 9999 decodes as the nearest end of them,
// one that is not a number as day 0.
DateParts DecodeDate(TDateTime value);
TimeParts DecodeTime(TDateTime value);
// 1 = Sunday … 7 = Saturday.
int DayOfWeek(TDateTime value);

TDateTime DateOf(TDateTime value);
TDateTime TimeOf(TDateTime value);
// Milliseconds since midnight of the time of day.
std::int32_t TimeOfDayMSecs(TDateTime value);

}  // namespace mero::base
