#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/format_settings.h"

namespace mero::base {

// Decimal digits of a double: value = 0.digits × 10^(exponent + 1), at most 15
// significant digits (what a double holds reliably), no trailing zeros.
// Zero gives empty digits.
struct DecimalDigits {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};
DecimalDigits ToDecimalDigits(double value);

// Formats with a pattern of '0' and '#' digit places, '.' for the decimal
// point and ',' for thousands grouping ("#,##0.00",
// "###############.###############"); sections positive;negative;zero; text in
// quotes and other characters around the digits are kept. Halves round away
// from zero on the 15-digit decimal value.
std::string FormatFloat(std::string_view pattern, double value, const FormatSettings& fs = ProcessFormats());

// General number text: shortest form with up to 15 significant digits, fixed
// notation unless the exponent is below -5 or above 14 ("1,5E-7").
std::string FloatToStr(double value, const FormatSettings& fs = ProcessFormats());

// Strict readers that never throw: optional blanks around, an optional sign,
// digits; floats take the decimal separator of fs (no thousands separators)
// and an optional exponent.
bool TryStrToInt(std::string_view text, std::int32_t& out);
bool TryStrToInt64(std::string_view text, std::int64_t& out);
bool TryStrToFloat(std::string_view text, double& out, const FormatSettings& fs = ProcessFormats());
bool TryStrToFloat(std::string_view text, double& out, char decimalSeparator);

}  // namespace mero::base
