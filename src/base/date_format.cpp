#include "base/date_format.h"

#include <cctype>
#include <cstdio>
#include <vector>

#include "base/number_format.h"
#include "base/text_routines.h"

namespace mero::base {
namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

std::size_t RunLength(std::string_view p, std::size_t i) {
  const char c = Lower(p[i]);
  std::size_t n = 1;
  while (i + n < p.size() && Lower(p[i + n]) == c) ++n;
  return n;
}

void AppendNumber(std::string& out, int value, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*d", width, value);
  out += buf;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Splits on any non-digit; returns false on an empty piece.
bool SplitNumbers(std::string_view s, char sep, std::vector<int>& parts, std::vector<int>& widths) {
  parts.clear();
  widths.clear();
  std::size_t i = 0;
  while (true) {
    std::size_t start = i;
    while (i < s.size() && IsDigit(s[i])) ++i;
    if (i == start || i - start > 9) return false;
    std::int32_t v = 0;
    if (!TryStrToInt(s.substr(start, i - start), v)) return false;
    parts.push_back(v);
    widths.push_back(static_cast<int>(i - start));
    if (i == s.size()) return true;
    if (s[i] != sep) return false;
    ++i;
  }
}

}  // namespace

std::string FormatDateTime(std::string_view p, TDateTime value, const FormatSettings& fs) {
  const DateParts date = DecodeDate(value);
  const TimeParts time = DecodeTime(value);
  const int dow = DayOfWeek(value);
  std::string out;
  bool afterHour = false;
  for (std::size_t i = 0; i < p.size();) {
    const char c = Lower(p[i]);
    if (p[i] == '"' || p[i] == '\'') {
      const std::size_t end = p.find(p[i], i + 1);
      const std::size_t stop = end == std::string_view::npos ? p.size() : end;
      out.append(p.substr(i + 1, stop - i - 1));
      i = stop + 1;
      continue;
    }
    const std::size_t n = RunLength(p, i);
    switch (c) {
      case 'd':
        if (n == 1) AppendNumber(out, date.day, 1);
        else if (n == 2) AppendNumber(out, date.day, 2);
        else if (n == 3) out += fs.shortDayNames[static_cast<std::size_t>(dow - 1)];
        else out += fs.longDayNames[static_cast<std::size_t>(dow - 1)];
        afterHour = false;
        break;
      case 'm':
        if (afterHour && n <= 2) {
          AppendNumber(out, time.minute, static_cast<int>(n));
        } else if (n <= 2) {
          AppendNumber(out, date.month, static_cast<int>(n));
        } else if (n == 3) {
          out += fs.shortMonthNames[static_cast<std::size_t>(date.month - 1)];
        } else {
          out += fs.longMonthNames[static_cast<std::size_t>(date.month - 1)];
        }
        afterHour = false;
        break;
      case 'y':
        if (n <= 2) AppendNumber(out, date.year % 100, 2);
        else AppendNumber(out, date.year, 4);
        afterHour = false;
        break;
      case 'h':
        AppendNumber(out, time.hour, n >= 2 ? 2 : 1);
        afterHour = true;
        i += n;
        continue;
      case 'n':
        AppendNumber(out, time.minute, n >= 2 ? 2 : 1);
        afterHour = false;
        break;
      case 's':
        AppendNumber(out, time.second, n >= 2 ? 2 : 1);
        afterHour = false;
        break;
      case 'z':
        AppendNumber(out, time.msec, n >= 3 ? 3 : 1);
        afterHour = false;
        break;
      case '/':
        out.append(n, fs.dateSeparator);
        break;
      case ':':
        out.append(n, fs.timeSeparator);
        break;
      default:
        out.append(p.substr(i, n));
        break;
    }
    i += n;
  }
  return out;
}

bool TryStrToDate(std::string_view text, TDateTime& out, const FormatSettings& fs) {
  const std::string_view s = StrTrimView(text);
  std::vector<int> parts;
  std::vector<int> widths;
  if (!SplitNumbers(s, fs.dateSeparator, parts, widths) || parts.size() != 3) return false;
  // Order of day, month and year as the short date format writes them.
  int dayAt = 0;
  int monthAt = 1;
  int yearAt = 2;
  int index = 0;
  char last = 0;
  for (char ch : fs.shortDateFormat) {
    const char l = Lower(ch);
    if ((l == 'd' || l == 'm' || l == 'y') && l != last) {
      if (l == 'd') dayAt = index;
      if (l == 'm') monthAt = index;
      if (l == 'y') yearAt = index;
      ++index;
    }
    last = (l == 'd' || l == 'm' || l == 'y') ? l : 0;
  }
  if (index != 3) {
    dayAt = 0;
    monthAt = 1;
    yearAt = 2;
  }
  int year = parts[static_cast<std::size_t>(yearAt)];
  if (widths[static_cast<std::size_t>(yearAt)] <= 2) year += year >= 50 ? 1900 : 2000;
  return TryEncodeDate(year, parts[static_cast<std::size_t>(monthAt)], parts[static_cast<std::size_t>(dayAt)], out);
}

bool TryStrToTime(std::string_view text, TDateTime& out, const FormatSettings& fs) {
  std::string_view s = StrTrimView(text);
  int msec = 0;
  const std::size_t dot = s.find('.');
  if (dot != std::string_view::npos) {
    const std::string_view ms = s.substr(dot + 1);
    if (ms.empty() || ms.size() > 3) return false;
    for (char ch : ms) {
      if (!IsDigit(ch)) return false;
    }
    std::int32_t v = 0;
    TryStrToInt(ms, v);
    msec = v * (ms.size() == 1 ? 100 : ms.size() == 2 ? 10 : 1);
    s = s.substr(0, dot);
  }
  std::vector<int> parts;
  std::vector<int> widths;
  if (!SplitNumbers(s, fs.timeSeparator, parts, widths) || parts.size() < 2 || parts.size() > 3) return false;
  return TryEncodeTime(parts[0], parts[1], parts.size() == 3 ? parts[2] : 0, msec, out);
}

bool TryStrToDateTime(std::string_view text, TDateTime& out, const FormatSettings& fs) {
  const std::string_view s = StrTrimView(text);
  const std::size_t space = s.find(' ');
  if (space == std::string_view::npos) return TryStrToDate(s, out, fs);
  TDateTime date = 0;
  TDateTime time = 0;
  if (!TryStrToDate(s.substr(0, space), date, fs) || !TryStrToTime(s.substr(space + 1), time, fs)) return false;
  out = CombineDateTime(date, time);
  return true;
}

}  // namespace mero::base
