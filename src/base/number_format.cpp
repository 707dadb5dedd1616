#include "base/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

#include "base/text_routines.h"

namespace mero::base {
namespace {

constexpr int kSignificant = 15;

// Rounds the digit string to `keep` digits (half away from zero) and strips
// trailing zeros; a carry out of the first digit raises the exponent.
void RoundDigits(DecimalDigits& d, int keep) {
  if (keep >= static_cast<int>(d.digits.size())) return;
  if (keep < 0) {
    d.digits.clear();
    return;
  }
  const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
  d.digits.resize(static_cast<std::size_t>(keep));
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9') {
      d.digits[static_cast<std::size_t>(i)] = '0';
      --i;
    }
    if (i >= 0) {
      ++d.digits[static_cast<std::size_t>(i)];
    } else {
      d.digits.insert(d.digits.begin(), '1');
      ++d.exponent;
    }
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
}

struct Section {
  std::string prefix;
  std::string suffix;
  int minInt = 0;
  int minFrac = 0;
  int maxFrac = 0;
  bool grouping = false;
  bool hasDigits = false;
};

Section ParseSection(std::string_view p) {
  Section s;
  bool inFraction = false;
  bool seenDigit = false;
  std::string literal;
  for (std::size_t i = 0; i < p.size(); ++i) {
    const char c = p[i];
    if (c == '"' || c == '\'') {
      const std::size_t end = p.find(c, i + 1);
      const std::size_t stop = end == std::string_view::npos ? p.size() : end;
      literal.append(p.substr(i + 1, stop - i - 1));
      i = stop;
      continue;
    }
    if (c == '0' || c == '#') {
      if (!seenDigit) {
        s.prefix = literal;
        literal.clear();
      }
      seenDigit = true;
      s.hasDigits = true;
      if (inFraction) {
        ++s.maxFrac;
        if (c == '0') s.minFrac = s.maxFrac;
      } else if (c == '0') {
        ++s.minInt;
      }
      continue;
    }
    if (c == '.' && !inFraction) {
      if (!seenDigit) {
        s.prefix = literal;
        literal.clear();
        seenDigit = true;
      }
      inFraction = true;
      continue;
    }
    if (c == ',' && seenDigit && !inFraction) {
      s.grouping = true;
      continue;
    }
    literal.push_back(c);
  }
  if (seenDigit) {
    s.suffix = literal;
  } else {
    s.prefix = literal;
  }
  return s;
}

std::vector<std::string_view> SplitSections(std::string_view pattern) {
  std::vector<std::string_view> out;
  std::size_t start = 0;
  char quote = 0;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == ';') {
      out.push_back(pattern.substr(start, i - start));
      start = i + 1;
    }
  }
  out.push_back(pattern.substr(start));
  return out;
}

std::string FormatWithSection(const Section& s, DecimalDigits d, bool withSign, const FormatSettings& fs) {
  if (!s.hasDigits) return s.prefix;
  RoundDigits(d, d.exponent + 1 + s.maxFrac);
  std::string intPart;
  std::string fracPart;
  const int intDigits = d.exponent + 1;
  for (int i = 0; i < intDigits; ++i) {
    intPart.push_back(i < static_cast<int>(d.digits.size()) ? d.digits[static_cast<std::size_t>(i)] : '0');
  }
  if (d.digits.empty()) intPart.clear();
  for (int i = 0; i < s.maxFrac; ++i) {
    const int pos = intDigits + i;
    fracPart.push_back(pos >= 0 && pos < static_cast<int>(d.digits.size()) ? d.digits[static_cast<std::size_t>(pos)]
                                                                           : '0');
  }
  while (static_cast<int>(fracPart.size()) > s.minFrac && fracPart.back() == '0') fracPart.pop_back();
  while (static_cast<int>(intPart.size()) < s.minInt) intPart.insert(intPart.begin(), '0');
  if (s.grouping && intPart.size() > 3) {
    std::string grouped;
    const std::size_t lead = intPart.size() % 3;
    for (std::size_t i = 0; i < intPart.size(); ++i) {
      if (i != 0 && (i - lead) % 3 == 0) grouped.push_back(fs.thousandSeparator);
      grouped.push_back(intPart[i]);
    }
    intPart = std::move(grouped);
  }
  std::string out = s.prefix;
  const bool zero = d.digits.empty();
  if (withSign && d.negative && !zero) out.push_back('-');
  out += intPart;
  if (!fracPart.empty()) {
    out.push_back(fs.decimalSeparator);
    out += fracPart;
  }
  out += s.suffix;
  return out;
}

template <typename Int>
bool TryStrToInteger(std::string_view text, Int& out) {
  std::string_view s = StrTrimView(text);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return false;
  const char* first = s.data();
  const char* last = s.data() + s.size();
  // from_chars takes '-' but not '+'; neither may be followed by a blank.
  if (s.front() == '-' && (s.size() == 1 || s[1] < '0' || s[1] > '9')) return false;
  Int value{};
  const auto r = std::from_chars(first, last, value);
  if (r.ec != std::errc() || r.ptr != last) return false;
  out = value;
  return true;
}

}  // namespace

DecimalDigits ToDecimalDigits(double value) {
  DecimalDigits d;
  if (!std::isfinite(value) || value == 0) return d;
  d.negative = value < 0;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.*e", kSignificant - 1, std::fabs(value));
  // buf: d.dddddddddddddde±XX
  std::string_view s(buf);
  const std::size_t e = s.find('e');
  d.digits.push_back(s[0]);
  d.digits.append(s.substr(2, e - 2));
  std::from_chars(s.data() + e + (s[e + 1] == '+' ? 2 : 1), s.data() + s.size(), d.exponent);
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

std::string FormatFloat(std::string_view pattern, double value, const FormatSettings& fs) {
  const auto sections = SplitSections(pattern);
  DecimalDigits d = ToDecimalDigits(value);
  const Section positive = ParseSection(sections[0]);
  if (sections.size() >= 3 && !sections[2].empty()) {
    DecimalDigits rounded = d;
    RoundDigits(rounded, rounded.exponent + 1 + positive.maxFrac);
    if (rounded.digits.empty()) return FormatWithSection(ParseSection(sections[2]), d, false, fs);
  }
  if (d.negative && sections.size() >= 2 && !sections[1].empty()) {
    return FormatWithSection(ParseSection(sections[1]), d, false, fs);
  }
  return FormatWithSection(positive, d, true, fs);
}

std::string FloatToStr(double value, const FormatSettings& fs) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  const DecimalDigits d = ToDecimalDigits(value);
  if (d.digits.empty()) return "0";
  std::string out;
  if (d.negative) out.push_back('-');
  const int n = static_cast<int>(d.digits.size());
  if (d.exponent < -5 || d.exponent >= kSignificant) {
    out.push_back(d.digits[0]);
    if (n > 1) {
      out.push_back(fs.decimalSeparator);
      out.append(d.digits, 1);
    }
    out.push_back('E');
    out += std::to_string(d.exponent);
    return out;
  }
  if (d.exponent < 0) {
    out.push_back('0');
    out.push_back(fs.decimalSeparator);
    out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
    out += d.digits;
    return out;
  }
  const int intDigits = d.exponent + 1;
  for (int i = 0; i < intDigits; ++i) out.push_back(i < n ? d.digits[static_cast<std::size_t>(i)] : '0');
  if (n > intDigits) {
    out.push_back(fs.decimalSeparator);
    out.append(d.digits, static_cast<std::size_t>(intDigits));
  }
  return out;
}

bool TryStrToInt(std::string_view text, std::int32_t& out) { return TryStrToInteger(text, out); }

bool TryStrToInt64(std::string_view text, std::int64_t& out) { return TryStrToInteger(text, out); }

bool TryStrToFloat(std::string_view text, double& out, const FormatSettings& fs) {
  return TryStrToFloat(text, out, fs.decimalSeparator);
}

bool TryStrToFloat(std::string_view text, double& out, char decimalSeparator) {
  std::string_view s = StrTrimView(text);
  if (s.empty() || s.size() > 400) return false;
  char buf[401];
  std::size_t n = 0;
  std::size_t i = 0;
  if (s[i] == '+' || s[i] == '-') buf[n++] = s[i++];
  std::size_t digits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') buf[n++] = s[i++], ++digits;
  if (i < s.size() && s[i] == decimalSeparator) {
    buf[n++] = '.';
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') buf[n++] = s[i++], ++digits;
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    buf[n++] = 'e';
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) buf[n++] = s[i++];
    std::size_t expDigits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') buf[n++] = s[i++], ++expDigits;
    if (expDigits == 0) return false;
  }
  if (i != s.size()) return false;
  const char* first = buf[0] == '+' ? buf + 1 : buf;
  double value = 0;
  const auto r = std::from_chars(first, buf + n, value);
  if (r.ec != std::errc() || r.ptr != buf + n || !std::isfinite(value)) return false;
  out = value;
  return true;
}

}  // namespace mero::base
