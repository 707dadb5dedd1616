#include "data/field_value.h"

#include <cmath>
#include <limits>

#include "base/date_format.h"
#include "base/format_settings.h"
#include "base/number_format.h"
#include "base/number_routines.h"
#include "base/text_routines.h"
#include "data/database_error.h"
#include "data/field.h"

namespace mero::data {
namespace {

using base::Variant;
using Kind = base::Variant::Kind;

[[noreturn]] void NotValid(const std::string& text, const char* what) {
  throw EDatabaseError("'" + text + "' is not a valid " + what);
}

[[noreturn]] void OutOfRange(const std::string& text, const std::string& fieldName, std::int64_t low,
                             std::int64_t high) {
  throw EDatabaseError(text + " is not a valid value for field '" + fieldName + "'. The allowed range is " +
                       std::to_string(low) + " to " + std::to_string(high));
}

std::string PlainText(const Variant& v) {
  switch (v.kind()) {
    case Kind::Integer:
    case Kind::Int64:
      return std::to_string(v.AsInt64());
    case Kind::Double:
      return base::FloatToStr(v.AsDouble());
    case Kind::Date:
      return ValueText(v, link::ftDateTime);
    case Kind::Boolean:
      return v.AsBoolean() ? "True" : "False";
    case Kind::Text:
    case Kind::Bytes:
      return v.AsText();
    default:
      return std::string();
  }
}

std::int64_t ToInteger(const Variant& v, const char* what) {
  switch (v.kind()) {
    case Kind::Integer:
    case Kind::Int64:
      return v.AsInt64();
    case Kind::Boolean:
      return v.AsBoolean() ? 1 : 0;
    case Kind::Double:
    case Kind::Date: {
      const double d = v.AsDouble();
      if (!std::isfinite(d) || std::fabs(d) > 9.2e18) NotValid(PlainText(v), what);
      return static_cast<std::int64_t>(std::nearbyint(d));  // halves to even
    }
    case Kind::Text: {
      std::int64_t out = 0;
      if (!base::TryStrToInt64(v.AsText(), out)) NotValid(v.AsText(), what);
      return out;
    }
    default:
      NotValid(PlainText(v), what);
  }
}

double ToDouble(const Variant& v) {
  switch (v.kind()) {
    case Kind::Integer:
    case Kind::Int64:
      return static_cast<double>(v.AsInt64());
    case Kind::Boolean:
      return v.AsBoolean() ? 1 : 0;
    case Kind::Double:
    case Kind::Date:
      return v.AsDouble();
    case Kind::Text: {
      double out = 0;
      if (!ReadNumber(v.AsText(), out)) NotValid(v.AsText(), "floating point value");
      return out;
    }
    default:
      NotValid(PlainText(v), "floating point value");
  }
}

}  // namespace

bool ReadNumber(std::string_view text, double& out) {
  double d = 0;
  if (base::TryStrToFloat(text, d) || base::TryStrToFloat(text, d, '.')) {
    if (!std::isfinite(d)) return false;
    out = d;
    return true;
  }
  return false;
}

bool ReadBoolean(std::string_view text, bool& out) {
  const std::string t = base::UpperStr(base::StrTrim(text));
  if (t == "TRUE" || t == "T" || t == "1") {
    out = true;
    return true;
  }
  if (t == "FALSE" || t == "F" || t == "0") {
    out = false;
    return true;
  }
  return false;
}

bool ReadDate(std::string_view text, link::TFieldType type, base::TDateTime& out) {
  if (type == link::ftTime) return base::TryStrToTime(text, out) || base::TryStrToDateTime(text, out);
  return base::TryStrToDateTime(text, out) || base::TryStrToDate(text, out) || base::TryStrToTime(text, out);
}

namespace {

// llround without the library call, for the bounded values a date holds
// (|x| < 2^53, so the fraction below is exact): rows of dates arrive by the
// hundred thousand.
std::int64_t RoundMSecs(double x) {
  std::int64_t t = static_cast<std::int64_t>(x);
  const double fraction = x - static_cast<double>(t);
  if (fraction >= 0.5) {
    ++t;
  } else if (fraction <= -0.5) {
    --t;
  }
  return t;
}

}  // namespace

std::int32_t TimeMSecs(base::TDateTime value) {
  if (!std::isfinite(value) || std::fabs(value) > 1e7) return 0;
  const std::int64_t ms = RoundMSecs(value * base::kMSecsPerDay);
  return static_cast<std::int32_t>((ms < 0 ? -ms : ms) % base::kMSecsPerDay);
}

base::TDateTime NormalizeDate(base::TDateTime value, link::TFieldType type) {
  // Rounded to the millisecond first, so 23:59:59.9996 belongs to the next day.
  if (!std::isfinite(value) || std::fabs(value) > 1e7) return 0;
  const std::int64_t ms = RoundMSecs(value * base::kMSecsPerDay);
  switch (type) {
    case link::ftDate:
      return static_cast<double>(ms / base::kMSecsPerDay);
    case link::ftTime:
      return static_cast<double>(TimeMSecs(value)) / base::kMSecsPerDay;
    default:
      return static_cast<double>(ms) / base::kMSecsPerDay;
  }
}

std::string ValueText(const base::Variant& value, link::TFieldType type) {
  if (value.kind() != Kind::Date) return PlainText(value);
  const base::FormatSettings& fs = base::ProcessFormats();
  const double x = value.AsDouble();
  if (type == link::ftTime) return base::FormatDateTime(fs.longTimeFormat, x);
  if (type == link::ftDate || base::TimeOfDayMSecs(x) == 0) return base::FormatDateTime(fs.shortDateFormat, x);
  return base::FormatDateTime(fs.shortDateFormat + " " + fs.longTimeFormat, x);
}

base::Variant ToFieldValue(const base::Variant& value, link::TFieldType type, const std::string& fieldName) {
  using namespace link;
  if (value.IsEmpty() || value.IsNull()) return Variant::Null();
  const bool emptyText = (value.kind() == Kind::Text || value.kind() == Kind::Bytes) && value.AsText().empty();
  switch (type) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftGuid:
    case ftMemo:
    case ftFmtMemo:
      return Variant::Text(PlainText(value));
    case ftBytes:
    case ftVarBytes:
    case ftBlob:
    case ftGraphic:
    case ftTypedBinary:
    case ftDataSet:
      return Variant::Bytes(PlainText(value));
    default:
      break;
  }
  if (emptyText) return Variant::Null();
  switch (type) {
    case ftSmallint:
    case ftWord:
    case ftInteger:
    case ftAutoInc: {
      const std::int64_t n = ToInteger(value, "integer value");
      std::int64_t low = std::numeric_limits<std::int32_t>::min();
      std::int64_t high = std::numeric_limits<std::int32_t>::max();
      if (type == ftSmallint) {
        low = -32768;
        high = 32767;
      } else if (type == ftWord) {
        low = 0;
        high = 65535;
      }
      if (n < low || n > high) OutOfRange(std::to_string(n), fieldName, low, high);
      return Variant::Integer(static_cast<std::int32_t>(n));
    }
    case ftLargeint:
      return Variant::Int64(ToInteger(value, "integer value"));
    case ftBoolean:
      switch (value.kind()) {
        case Kind::Boolean:
          return value;
        case Kind::Integer:
        case Kind::Int64:
          return Variant::Boolean(value.AsInt64() != 0);
        case Kind::Double:
          return Variant::Boolean(value.AsDouble() != 0);
        case Kind::Text: {
          bool b = false;
          if (!ReadBoolean(value.AsText(), b)) NotValid(value.AsText(), "boolean value");
          return Variant::Boolean(b);
        }
        default:
          NotValid(PlainText(value), "boolean value");
      }
    case ftFloat:
    case ftCurrency:
    case ftBCD: {
      const double d = ToDouble(value);
      if (!std::isfinite(d)) NotValid(PlainText(value), "floating point value");
      return Variant::Double(d);
    }
    case ftDate:
    case ftTime:
    case ftDateTime: {
      double d = 0;
      if (value.kind() == Kind::Text) {
        if (!ReadDate(value.AsText(), type, d)) {
          NotValid(value.AsText(), type == ftDate ? "date" : type == ftTime ? "time" : "date and time");
        }
      } else if (value.kind() == Kind::Boolean) {
        NotValid(PlainText(value), "date and time");
      } else {
        d = ToDouble(value);
      }
      if (!std::isfinite(d) || std::fabs(d) > 2958466.0) NotValid(PlainText(value), "date and time");
      return Variant::Date(NormalizeDate(d, type));
    }
    default:
      return Variant::Null();
  }
}

}  // namespace mero::data
