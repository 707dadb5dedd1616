#pragma once

#include <string>

#include "base/variant.h"

namespace mero::app {

// How the connection module writes a field's value into the SQL that the
// datasets generate. Returns false when the rule leaves the value to the
// dataset's own way of writing it.
//   - an empty value: NULL;
//   - a floating-point or currency field with a fractional part: the number
//     with '.' and up to 8 decimals, trailing zeros removed;
//   - a date, time or date-time field: 'dd/mm/yyyy' for midnight, else
//     TO_DATE('dd/mm/yyyy hh:nn:ss','DD/MM/YYYY HH24:MI:SS');
//   - anything else (whole floating values too): not handled.
// fieldType is the field's type code, value its value and text the value as
// display text (empty for NULL).
bool SqlValueRule(int fieldType, const base::Variant& value, const std::string& text, std::string& result);

}  // namespace mero::app
