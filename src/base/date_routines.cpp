#include "base/date_routines.h"

#include <cstdio>

#include "base/clock.h"
#include "base/date_format.h"
#include "base/encoding.h"
#include "base/number_format.h"
#include "base/runtime.h"
#include "base/text_routines.h"

namespace mero::base {
namespace {

using namespace literals;

std::string TwoDigits(int v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", ((v % 100) + 100) % 100);
  return buf;
}

int PivotYear(int y) { return y < 100 ? (y >= 50 ? 1900 + y : 2000 + y) : y; }

int ToInt(std::string_view s) {
  std::int32_t v = 0;
  return TryStrToInt(s, v) ? v : -1;
}

}  // namespace

bool StrToDateEx(std::string_view s, bool required, TDateTime& date) {
  date = 0;
  std::string t = StrTrim(s);
  if (t.empty()) return !required;
  for (char& c : t) {
    if (c == ',' || c == '-' || c == '.') c = '/';
    else if ((c < '0' || c > '9') && c != '/') return false;
  }
  const TodayRecord today = TodayRecordOf(Today());
  int day = today.day;
  int month = today.month;
  int year = today.year;
  if (t[0] == '/') {
    date = today.date;
    return true;
  }
  const std::size_t first = t.find('/');
  if (first != std::string::npos) {
    day = ToInt(t.substr(0, first));
    const std::string after = t.substr(first + 1);
    if (!after.empty()) {
      const std::size_t second = after.find('/');
      if (second != std::string::npos) {
        month = ToInt(after.substr(0, second));
        const std::string yearText = after.substr(second + 1);
        if (!yearText.empty()) {
          year = ToInt(yearText);
          if (year >= 0) year = PivotYear(year);
        }
      } else {
        month = ToInt(after);
      }
    }
  } else if (t.size() > 2) {
    day = ToInt(t.substr(0, 2));
    if (t.size() > 2) month = ToInt(t.substr(2, 2));
    if (t.size() > 4) {
      year = ToInt(t.substr(4, 4));
      if (year >= 0) year = PivotYear(year);
    }
  } else {
    day = ToInt(t);
  }
  TDateTime result = 0;
  if (!TryEncodeDate(year, month, day, result)) return false;
  date = result;
  return true;
}

std::string DateToStrSep(TDateTime x, std::string_view sep) {
  if (x <= 0) return std::string();
  const std::string s(sep);
  return FormatDateTime("dd\"" + s + "\"mm\"" + s + "\"yyyy", x);
}

std::string DateToShortStr(TDateTime x) {
  if (x <= 0) return std::string();
  const DateParts d = DecodeDate(x);
  std::string yy = "??";
  if (d.year >= 1950 && d.year <= 1999) yy = TwoDigits(d.year - 1900);
  else if (d.year >= 2000 && d.year <= 2049) yy = TwoDigits(d.year - 2000);
  return TwoDigits(d.day) + "/" + TwoDigits(d.month) + "/" + yy;
}

std::string DateToStrMode(TDateTime x, int mode) {
  if (x == 0) return std::string();
  const DateParts d = DecodeDate(x);
  const std::string dd = TwoDigits(d.day);
  const std::string mm = TwoDigits(d.month);
  const std::string yy = TwoDigits(Year4To2(d.year));
  char yyyy[8];
  std::snprintf(yyyy, sizeof yyyy, "%04d", d.year);
  switch (mode) {
    case 2:
      return mm + "/" + dd + "/" + yy;
    case 3:
      return mm + "/" + dd + "/" + yyyy;
    case 4:
      return dd + "/" + mm + "/" + yyyy;
    default:
      return dd + "/" + mm + "/" + yy;
  }
}

std::string DateFmtStr() {
  switch (Rt().dateFmtMode) {
    case 1:
      return "yy/mm/dd";
    case 2:
      return "yy-mm-dd";
    case 3:
      return "dd/mm/yyyy";
    case 4:
      return "mm/dd/yyyy";
    default:
      return "mm/dd/yy";
  }
}

int Year4To2(int year) {
  if (year < 1970) return year;
  return year < 2000 ? year - 1900 : year - 2000;
}

std::string DateRangeToStr(TDateTime from, TDateTime to) {
  if (from <= 0 && to <= 0) return std::string();
  return DateToStrSep(from, "/") + "-" + DateToStrSep(to, "/");
}

std::string MonthRangeToStr(TDateTime from, TDateTime to) {
  if (from <= 0 && to <= 0) return std::string();
  // Stored padded to four characters with a leading space, trimmed on use.
  static const std::string kMonths[12] = {" Ιαν"_gr, " Φεβ"_gr, " Μάρ"_gr, " Απρ"_gr, " Μάι"_gr, "Ιούν"_gr,
                                          "Ιούλ"_gr, " Αύγ"_gr, " Σεπ"_gr, " Οκτ"_gr, " Νοέ"_gr, " Δεκ"_gr};
  auto one = [](TDateTime x) {
    const DateParts d = DecodeDate(x);
    return StrTrim(kMonths[d.month - 1]) + " " + std::to_string(d.year);
  };
  return one(from) + "-" + one(to);
}

void MonthBounds(TDateTime x, TDateTime& first, TDateTime& last) {
  const DateParts d = DecodeDate(x);
  first = EncodeDate(d.year, d.month, 1);
  last = EncodeDate(d.year, d.month, DaysInMonth(d.year, d.month));
}

void YearBounds(int year, TDateTime& first, TDateTime& last) {
  first = EncodeDate(year, 1, 1);
  last = EncodeDate(year, 12, 31);
}

void WeekBounds(TDateTime x, TDateTime& first, TDateTime& next) {
  first = DateOf(x) - (DayOfWeek(x) - 1);
  next = first + 7;
}

TDateTime ShiftYearsToMonthStart(TDateTime x, int years) {
  if (x == 0 || years == 0) return x;
  const DateParts d = DecodeDate(x);
  TDateTime out = x;
  TryEncodeDate(d.year + years, d.month, 1, out);
  return out;
}

std::string TimeStampStr() { return FormatDateTime("hh\":\"nn\":\"ss\".\"zzz", Now()); }

std::string DateTimeStamp() { return FormatDateTime("yyyymmddhhnnsszzz", Now()); }

std::string SecondsStr() {
  const TimeParts t = DecodeTime(Now());
  return TwoDigits(t.second) + "." + TwoDigits(t.msec / 10);
}

void RefreshToday() { Rt().today = TodayRecordOf(Today()); }

}  // namespace mero::base
