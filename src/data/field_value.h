#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/date_time.h"
#include "base/variant.h"
#include "link/codec/field_type.h"

namespace mero::data {

// Conversions between values and what a field of a type holds; shared by
// field writes, the filter and Locate.

// The value as the field's kind (see TField::Value): Empty, Null and, for
// every type but the text, bytes and long types, an empty text give Null. A
// value that does not convert raises EDatabaseError naming it.
base::Variant ToFieldValue(const base::Variant& value, link::TFieldType type, const std::string& fieldName);

// A date-time number as a field of the type keeps it: ftDate the whole day,
// ftTime the time of day and ftDateTime the date and time, both to the
// millisecond.
base::TDateTime NormalizeDate(base::TDateTime value, link::TFieldType type);
// Milliseconds since midnight of a date-time number, rounded.
std::int32_t TimeMSecs(base::TDateTime value);

// Text of a value of any kind: ',' decimals, dates in the short date format
// (with the long time format when a date-time has a time), a time alone in
// the long time format, booleans "True"/"False"; empty for Null.
std::string ValueText(const base::Variant& value, link::TFieldType type);

// Reads a number in the process format (',' decimal) or with '.'.
bool ReadNumber(std::string_view text, double& out);
// "True"/"False"/"T"/"F"/"1"/"0", any case.
bool ReadBoolean(std::string_view text, bool& out);
// A date, time or date-time in the process formats, by what the type wants first.
bool ReadDate(std::string_view text, link::TFieldType type, base::TDateTime& out);

}  // namespace mero::data
