#include "app/sql_value_rule.h"

#include <cmath>

#include "base/date_format.h"
#include "base/number_routines.h"
#include "base/text_routines.h"
#include "base/variant_routines.h"
#include "link/codec/field_type.h"

namespace mero::app {

bool SqlValueRule(int fieldType, const base::Variant& value, const std::string& text, std::string& result) {
  if (text.empty()) {
    result = "NULL";
    return true;
  }
  if (fieldType == link::ftFloat || fieldType == link::ftCurrency) {
    const double x = base::VarToFloatZ(value);
    if (x - std::nearbyint(x) == 0) return false;
    result = base::FloatToStrDot(x, 8);
    return true;
  }
  if (fieldType == link::ftDate || fieldType == link::ftTime || fieldType == link::ftDateTime) {
    const base::TDateTime x = base::VarToFloatZ(value);
    std::string s = base::FormatDateTime("dd\"/\"mm\"/\"yyyy hh\":\"nn\":\"ss", x);
    if (base::StrTrim(s.substr(10)) == "00:00:00") {
      result = base::QuotedStr(s.substr(0, 10));
    } else {
      result = "TO_DATE(" + base::QuotedStr(s) + "," + base::QuotedStr("DD/MM/YYYY HH24:MI:SS") + ")";
    }
    return true;
  }
  return false;
}

}  // namespace mero::app
