#include "base/variant_routines.h"

#include <cmath>
#include <limits>

#include "base/date_format.h"
#include "base/format_settings.h"
#include "base/number_format.h"
#include "base/number_routines.h"

namespace mero::base {
namespace {

bool ToInt(const Variant& v, std::int32_t& out) {
  switch (v.kind()) {
    case Variant::Kind::Integer:
      out = v.AsInteger();
      return true;
    case Variant::Kind::Int64:
      if (v.AsInt64() < std::numeric_limits<std::int32_t>::min() ||
          v.AsInt64() > std::numeric_limits<std::int32_t>::max()) {
        return false;
      }
      out = static_cast<std::int32_t>(v.AsInt64());
      return true;
    case Variant::Kind::Double:
    case Variant::Kind::Date:
      if (!std::isfinite(v.AsDouble()) || std::fabs(v.AsDouble()) > 2147483647.0) return false;
      out = RoundInt(v.AsDouble());
      return true;
    case Variant::Kind::Boolean:
      out = v.AsBoolean() ? 1 : 0;
      return true;
    case Variant::Kind::Text: {
      if (TryStrToInt(v.AsText(), out)) return true;
      double d = 0;
      if (!TryStrToFloat(v.AsText(), d) || std::fabs(d) > 2147483647.0) return false;
      out = RoundInt(d);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

bool VarHasValue(const Variant& v) { return !v.IsEmpty() && !v.IsNull(); }

std::string VarToStrZ(const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::Integer:
    case Variant::Kind::Int64:
      return std::to_string(v.AsInt64());
    case Variant::Kind::Double:
      return FloatToStr(v.AsDouble());
    case Variant::Kind::Date: {
      const FormatSettings& fs = ProcessFormats();
      const TDateTime x = v.AsDouble();
      if (TimeOfDayMSecs(x) == 0) return FormatDateTime(fs.shortDateFormat, x);
      return FormatDateTime(fs.shortDateFormat + " " + fs.longTimeFormat, x);
    }
    case Variant::Kind::Boolean:
      return v.AsBoolean() ? "True" : "False";
    case Variant::Kind::Text:
    case Variant::Kind::Bytes:
      return v.AsText();
    default:
      return std::string();
  }
}

std::int32_t VarToIntNull(const Variant& v) {
  std::int32_t out = 0;
  return ToInt(v, out) ? out : NullInt;
}

std::int32_t VarToIntZ(const Variant& v) {
  std::int32_t out = 0;
  return ToInt(v, out) ? out : 0;
}

double VarToFloatZ(const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::Integer:
    case Variant::Kind::Int64:
      return static_cast<double>(v.AsInt64());
    case Variant::Kind::Double:
    case Variant::Kind::Date:
      return v.AsDouble();
    case Variant::Kind::Boolean:
      return v.AsBoolean() ? 1 : 0;
    case Variant::Kind::Text: {
      double d = 0;
      return TryStrToFloat(v.AsText(), d) ? d : 0;
    }
    default:
      return 0;
  }
}

std::string GetListItem(const std::vector<std::string>* list, int i) {
  if (list == nullptr || i < 0 || i >= static_cast<int>(list->size())) return std::string();
  return (*list)[static_cast<std::size_t>(i)];
}

int SetListItem(std::vector<std::string>* list, int i, const std::string& s) {
  if (list == nullptr || i < 0) return -1;
  if (i >= static_cast<int>(list->size())) list->resize(static_cast<std::size_t>(i) + 1);
  (*list)[static_cast<std::size_t>(i)] = s;
  return i;
}

void DeleteCommentLines(std::vector<std::string>& list, const std::string& prefix) {
  const std::string p = prefix.empty() ? ";" : prefix;
  std::erase_if(list, [&](const std::string& item) { return item.compare(0, p.size(), p) == 0; });
}

}  // namespace mero::base
