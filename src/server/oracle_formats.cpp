#include "server/oracle_formats.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

#include "base/clock.h"
#include "base/date_time.h"
#include "base/number_format.h"
#include "server/database.h"

namespace mero::server {
namespace {

enum class El : std::uint8_t {
  Year4,
  Year2,
  RYear2,
  Month,
  Day,
  Hour24,
  Hour12,
  Minute,
  Second,
  Meridian,
  FillMode,
  Punct,
  Literal
};

struct Element {
  El kind;
  std::string text;  // Punct: the character; Literal: the quoted text
};

char Up(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

bool StartsWithCi(std::string_view s, std::size_t pos, std::string_view word) {
  if (pos + word.size() > s.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (Up(s[pos + i]) != word[i]) return false;
  }
  return true;
}

bool IsPunct(char c) { return c == '-' || c == '/' || c == ',' || c == '.' || c == ';' || c == ':' || c == ' '; }

std::vector<Element> ParseFormat(std::string_view f) {
  static const struct {
    std::string_view word;
    El kind;
  } kWords[] = {{"HH24", El::Hour24},   {"HH12", El::Hour12},   {"YYYY", El::Year4},  {"RRRR", El::Year4},
                {"A.M.", El::Meridian}, {"P.M.", El::Meridian}, {"HH", El::Hour12},   {"YY", El::Year2},
                {"RR", El::RYear2},     {"MM", El::Month},      {"DD", El::Day},      {"MI", El::Minute},
                {"SS", El::Second},     {"AM", El::Meridian},   {"PM", El::Meridian}, {"FM", El::FillMode}};
  std::vector<Element> out;
  std::size_t i = 0;
  while (i < f.size()) {
    bool matched = false;
    for (const auto& w : kWords) {
      if (StartsWithCi(f, i, w.word)) {
        out.push_back({w.kind, {}});
        i += w.word.size();
        matched = true;
        break;
      }
    }
    if (matched) continue;
    const char c = f[i];
    if (IsPunct(c)) {
      out.push_back({El::Punct, std::string(1, c)});
      ++i;
      continue;
    }
    if (c == '"') {
      const std::size_t close = f.find('"', i + 1);
      if (close == std::string_view::npos) throw SqlError("ORA-01821: date format not recognized");
      out.push_back({El::Literal, std::string(f.substr(i + 1, close - i - 1))});
      i = close + 1;
      continue;
    }
    throw SqlError("ORA-01821: date format not recognized");
  }
  return out;
}

bool IsTimeElement(El k) {
  return k == El::Hour24 || k == El::Hour12 || k == El::Minute || k == El::Second || k == El::Meridian ||
         k == El::Punct || k == El::FillMode;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Pad(long v, int width, bool fill) {
  std::string s = std::to_string(v < 0 ? -v : v);
  if (!fill) {
    while (static_cast<int>(s.size()) < width) s.insert(s.begin(), '0');
  }
  return v < 0 ? "-" + s : s;
}

}  // namespace

bool IsDateFormat(std::string_view format) {
  for (std::string_view w : {"YY", "RR", "MM", "DD", "HH", "MI", "SS"}) {
    for (std::size_t i = 0; i + 1 < format.size(); ++i) {
      if (StartsWithCi(format, i, w)) return true;
    }
  }
  return false;
}

double OracleToDate(std::string_view text, std::string_view format) {
  const std::vector<Element> elements = ParseFormat(format);
  const base::DateParts today = base::DecodeDate(base::Now());
  int year = today.year;
  int month = today.month;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int meridian = 0;  // 0 none, 1 AM, 2 PM
  bool hour12 = false;
  std::size_t p = 0;
  auto skipBlanks = [&] {
    while (p < text.size() && text[p] == ' ') ++p;
  };
  for (std::size_t e = 0; e < elements.size(); ++e) {
    const Element& el = elements[e];
    if (el.kind == El::FillMode) continue;
    if (el.kind == El::Punct) {
      if (p < text.size() && IsPunct(text[p])) ++p;
      continue;
    }
    skipBlanks();
    if (p >= text.size()) {
      // Oracle fills a missing time of day with midnight.
      for (std::size_t k = e; k < elements.size(); ++k) {
        if (!IsTimeElement(elements[k].kind)) throw SqlError("ORA-01840: input value not long enough for date format");
      }
      break;
    }
    if (el.kind == El::Literal) {
      std::string upper;
      for (char c : el.text) upper.push_back(Up(c));
      if (!StartsWithCi(text, p, upper)) {
        throw SqlError("ORA-01861: literal does not match format string");
      }
      p += el.text.size();
      continue;
    }
    if (el.kind == El::Meridian) {
      const char c = Up(text[p]);
      if ((c != 'A' && c != 'P') || p + 1 >= text.size() || Up(text[p + 1]) != 'M') {
        throw SqlError("ORA-01855: AM/A.M. or PM/P.M. required");
      }
      meridian = c == 'A' ? 1 : 2;
      p += 2;
      continue;
    }
    const int width = el.kind == El::Year4 ? 4 : 2;
    if (!IsDigit(text[p])) {
      throw SqlError("ORA-01858: a non-numeric character was found where a numeric was expected");
    }
    int v = 0;
    int digits = 0;
    while (p < text.size() && IsDigit(text[p]) && digits < width) {
      v = v * 10 + (text[p] - '0');
      ++p;
      ++digits;
    }
    switch (el.kind) {
      case El::Year4:
        if (v == 0) throw SqlError("ORA-01841: (full) year must be between -4713 and +9999, and not be 0");
        year = v;
        break;
      case El::Year2:
        year = today.year / 100 * 100 + v;
        break;
      case El::RYear2:
        year = (v < 50 ? 2000 : 1900) + v;
        break;
      case El::Month:
        if (v < 1 || v > 12) throw SqlError("ORA-01843: not a valid month");
        month = v;
        break;
      case El::Day:
        if (v < 1 || v > 31) throw SqlError("ORA-01847: day of month must be between 1 and last day of month");
        day = v;
        break;
      case El::Hour24:
        if (v > 23) throw SqlError("ORA-01850: hour must be between 0 and 23");
        hour = v;
        break;
      case El::Hour12:
        if (v < 1 || v > 12) throw SqlError("ORA-01849: hour must be between 1 and 12");
        hour = v;
        hour12 = true;
        break;
      case El::Minute:
        if (v > 59) throw SqlError("ORA-01851: minutes must be between 0 and 59");
        minute = v;
        break;
      case El::Second:
        if (v > 59) throw SqlError("ORA-01852: seconds must be between 0 and 59");
        second = v;
        break;
      default:
        break;
    }
  }
  skipBlanks();
  if (p < text.size()) throw SqlError("ORA-01830: date format picture ends before converting entire input string");
  if (hour12) {
    if (meridian == 2 && hour < 12) hour += 12;
    if (meridian != 2 && hour == 12) hour = 0;
  }
  if (day > base::DaysInMonth(year, month)) throw SqlError("ORA-01839: date not valid for month specified");
  base::TDateTime date = 0;
  if (!base::TryEncodeDate(year, month, day, date)) {
    throw SqlError("ORA-01841: (full) year must be between -4713 and +9999, and not be 0");
  }
  return base::CombineDateTime(date, base::EncodeTime(hour, minute, second, 0));
}

void CheckOracleDate(double value) {
  // 1 January 1 and the last second of 31 December 9999 as date-time numbers.
  if (!(value >= -693593.0 && value < 2958466.0)) {
    throw SqlError("ORA-01841: (full) year must be between -4713 and +9999, and not be 0");
  }
}

std::string OracleDateToChar(double value, std::string_view format) {
  const std::vector<Element> elements = ParseFormat(format);
  CheckOracleDate(value);
  // Rounded to the second first, so that 23:59:59.9996 belongs to the next day.
  const double seconds = std::round(value * 86400.0);
  const double whole = std::floor(seconds / 86400.0);
  const auto secOfDay = static_cast<long>(seconds - whole * 86400.0);
  const base::DateParts d = base::DecodeDate(whole);
  const long hour = secOfDay / 3600;
  const long minute = secOfDay / 60 % 60;
  const long second = secOfDay % 60;
  std::string out;
  bool fill = false;
  for (const Element& el : elements) {
    switch (el.kind) {
      case El::FillMode:
        fill = !fill;
        break;
      case El::Punct:
        out += el.text;
        break;
      case El::Literal:
        out += el.text;
        break;
      case El::Year4:
        out += Pad(d.year, 4, fill);
        break;
      case El::Year2:
      case El::RYear2:
        out += Pad(d.year % 100, 2, fill);
        break;
      case El::Month:
        out += Pad(d.month, 2, fill);
        break;
      case El::Day:
        out += Pad(d.day, 2, fill);
        break;
      case El::Hour24:
        out += Pad(hour, 2, fill);
        break;
      case El::Hour12:
        out += Pad(hour % 12 == 0 ? 12 : hour % 12, 2, fill);
        break;
      case El::Minute:
        out += Pad(minute, 2, fill);
        break;
      case El::Second:
        out += Pad(second, 2, fill);
        break;
      case El::Meridian:
        out += hour < 12 ? "AM" : "PM";
        break;
    }
  }
  return out;
}

std::string OracleNumberToChar(double value) {
  if (!std::isfinite(value)) return value > 0 ? "~" : "-~";
  const base::DecimalDigits dd = base::ToDecimalDigits(value);
  if (dd.digits.empty()) return "0";
  // value = 0.digits × 10^(exponent + 1): digits before the point = exponent + 1.
  const int before = dd.exponent + 1;
  std::string out = dd.negative ? "-" : "";
  const auto n = static_cast<int>(dd.digits.size());
  if (before <= 0) {
    out += '.';
    out.append(static_cast<std::size_t>(-before), '0');
    out += dd.digits;
  } else if (before >= n) {
    out += dd.digits;
    out.append(static_cast<std::size_t>(before - n), '0');
  } else {
    out.append(dd.digits, 0, static_cast<std::size_t>(before));
    out += '.';
    out.append(dd.digits, static_cast<std::size_t>(before));
  }
  return out;
}

std::string OracleNumberToChar(double value, std::string_view model) {
  std::string f;
  for (char c : model) f.push_back(Up(c));
  bool fill = false;
  if (f.rfind("FM", 0) == 0) {
    fill = true;
    f.erase(0, 2);
  }
  int intPlaces = 0;
  int decPlaces = 0;
  int firstZero = -1;  // index among the integer places of the first '0'
  bool point = false;
  for (char c : f) {
    if (c == '9' || c == '0') {
      if (point) {
        ++decPlaces;
      } else {
        if (c == '0' && firstZero < 0) firstZero = intPlaces;
        ++intPlaces;
      }
    } else if (c == '.' || c == 'D') {
      if (point) throw SqlError("ORA-01481: invalid number format model");
      point = true;
    } else if (c == ',' || c == 'G') {
      if (point) throw SqlError("ORA-01481: invalid number format model");
    } else {
      throw SqlError("ORA-01481: invalid number format model");
    }
  }
  if (intPlaces + decPlaces == 0) throw SqlError("ORA-01481: invalid number format model");
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", decPlaces, std::fabs(value));
  std::string digits = buf;
  const bool negative = value < 0 && digits.find_first_not_of("0.") != std::string::npos;
  const std::size_t dot = digits.find('.');
  std::string intDigits = dot == std::string::npos ? digits : digits.substr(0, dot);
  const std::string decDigits = dot == std::string::npos ? std::string() : digits.substr(dot + 1);
  if (intDigits == "0") intDigits.clear();
  if (static_cast<int>(intDigits.size()) > intPlaces) return std::string(f.size() + 1, '#');
  // The integer part, right to left over the model's places.
  std::string intPart;
  int place = intPlaces;
  auto digit = intDigits.rbegin();
  for (std::size_t k = f.find_first_of(".D") == std::string::npos ? f.size() : f.find_first_of(".D"); k-- > 0;) {
    const char c = f[k];
    if (c == ',' || c == 'G') {
      intPart.insert(intPart.begin(), ' ');
      continue;
    }
    --place;
    char out = ' ';
    if (digit != intDigits.rend()) {
      out = *digit++;
    } else if (firstZero >= 0 && place >= firstZero) {
      out = '0';
    }
    intPart.insert(intPart.begin(), out);
  }
  // Digits fill from the right, so a blank with a digit on its left is a
  // group separator between digits; the others are padding.
  for (std::size_t k = 1; k < intPart.size(); ++k) {
    if (intPart[k] == ' ' && intPart[k - 1] != ' ') intPart[k] = ',';
  }
  std::string decPart;
  if (point) {
    decPart = "." + decDigits;
    if (fill) {
      std::size_t keep = decPart.size();
      int k = static_cast<int>(f.size()) - 1;
      while (keep > 1 && decPart[keep - 1] == '0' && k >= 0 && f[static_cast<std::size_t>(k)] == '9') {
        --keep;
        --k;
      }
      decPart.resize(keep);
    }
  }
  std::string out = intPart;
  const std::size_t firstNonBlank = out.find_first_not_of(' ');
  const std::string sign = negative ? "-" : " ";
  if (firstNonBlank == std::string::npos) {
    out += sign;  // no integer digits: the sign stands right before the point
  } else {
    out.insert(firstNonBlank, sign);
  }
  out = " " + out + decPart;
  if (fill) {
    const std::size_t s = out.find_first_not_of(' ');
    out = s == std::string::npos ? std::string() : out.substr(s);
  } else {
    out.erase(0, 1);
  }
  return out;
}

bool ParseOracleNumber(std::string_view text, OracleNumber& out) {
  std::size_t b = 0;
  std::size_t e = text.size();
  while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
  const std::string_view t = text.substr(b, e - b);
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  std::size_t digits = 0;
  bool integral = true;
  while (i < t.size() && IsDigit(t[i])) {
    ++i;
    ++digits;
  }
  if (i < t.size() && t[i] == '.') {
    integral = false;
    ++i;
    while (i < t.size() && IsDigit(t[i])) {
      ++i;
      ++digits;
    }
  }
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    integral = false;
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t expDigits = 0;
    while (i < t.size() && IsDigit(t[i])) {
      ++i;
      ++expDigits;
    }
    if (expDigits == 0) return false;
  }
  if (i != t.size()) return false;
  std::string s(t);
  if (s[0] == '+') s.erase(0, 1);
  out = OracleNumber{};
  out.value = std::strtod(s.c_str(), nullptr);
  if (integral) {
    std::int64_t v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec == std::errc() && r.ptr == s.data() + s.size()) {
      out.integer = v;
      out.isInteger = true;
    }
  }
  return true;
}

}  // namespace mero::server
