#include "base/number_routines.h"

#include <cmath>
#include <limits>

#include "base/format_settings.h"
#include "base/number_format.h"
#include "base/text_routines.h"
#include "base/variant_routines.h"

namespace mero::base {

std::string IntToStrZ(std::int64_t n, int width) {
  std::string text = std::to_string(n);
  if (width < 1) width = 1;
  if (static_cast<int>(text.size()) > width) return std::string(static_cast<std::size_t>(width), '*');
  return std::string(static_cast<std::size_t>(width) - text.size(), '0') + text;
}

std::int32_t StrToIntD(std::string_view s, std::int32_t defaultValue) {
  if (s.empty()) return defaultValue;
  std::int32_t v = 0;
  return TryStrToInt(RemoveThousandSep(s), v) ? v : defaultValue;
}

std::int32_t StrToIntZ(std::string_view s) { return StrToIntD(s, 0); }

std::int32_t StrToIntNull(std::string_view s) {
  const std::string t = StrTrim(s);
  if (t.empty()) return NullInt;
  if (t.size() == 1 && (t[0] < '0' || t[0] > '9')) return NullInt;
  std::int32_t v = 0;
  return TryStrToInt(RemoveThousandSep(t), v) ? v : NullInt;
}

double StrToFloatZ(std::string_view s) {
  if (s.empty()) return 0;
  double v = 0;
  return TryStrToFloat(RemoveThousandSep(s), v, ',') ? v : 0;
}

std::string FloatToStrDot(double x, int decimals) {
  FormatSettings dot;
  dot.decimalSeparator = '.';
  const int d = decimals > 0 ? decimals : 0;
  std::string pattern = "0";
  if (d > 0) pattern += "." + std::string(static_cast<std::size_t>(d), '0');
  std::string text = StrTrim(FormatFloat(pattern, x, dot));
  if (d > 0) {
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.push_back('0');
  }
  return text;
}

std::string NumFormatStr(int decimals) {
  if (decimals <= 0) return "#,##0";
  return "#,##0." + std::string(static_cast<std::size_t>(decimals), '0');
}

std::string FormatNum(double x, int decimals) {
  if (decimals <= 0) return FormatInt(x);
  return FormatFloat(NumFormatStr(decimals), x);
}

std::string FormatInt(double x) {
  if (x == NullInt) return std::string();
  return FormatFloat("#,##0", x);
}

std::int32_t RoundInt(double x) {
  if (!std::isfinite(x)) return 0;
  const double r = std::nearbyint(x);  // the default rounding mode sends halves to even
  if (r >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
    return std::numeric_limits<std::int32_t>::max();
  if (r <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(r);
}

double SumList(const std::vector<std::string>& list) {
  if (list.empty()) return NullInt;
  double sum = 0;
  for (const std::string& item : list) sum += StrToFloatZ(item);
  return sum;
}

void AddToListItem(std::vector<std::string>& list, int i, double x) {
  SetListItem(&list, i, FormatNum(StrToFloatZ(GetListItem(&list, i)) + x, 6));
}

}  // namespace mero::base
