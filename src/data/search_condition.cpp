#include "data/search_condition.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "base/date_format.h"
#include "base/date_routines.h"
#include "base/encoding.h"
#include "base/format_settings.h"
#include "base/number_format.h"
#include "base/text_routines.h"
#include "data/field.h"
#include "link/codec/field_type.h"

namespace mero::data {

using namespace mero::base::literals;

namespace {

std::string Cat(std::string_view a, std::string_view b, std::string_view c) {
  std::string s;
  s.reserve(a.size() + b.size() + c.size());
  s.append(a).append(b).append(c);
  return s;
}

// The SQL literal of a term of the integer kind: the term as typed when it is
// a whole number, else empty.
std::string IntegerLiteral(std::string_view term) {
  std::int64_t value = 0;
  return base::TryStrToInt64(term, value) ? std::string(term) : std::string();
}

// The SQL literal of a term of the number kind. The user types the screen's
// decimal comma; SQL needs a decimal point, so the one separator the reader
// accepted is swapped and the rest stays as typed.
std::string NumberLiteral(std::string_view term) {
  const base::FormatSettings& fs = base::ProcessFormats();
  double value = 0;
  if (!base::TryStrToFloat(term, value, fs)) return std::string();
  std::string literal(term);
  for (char& c : literal) {
    if (c == fs.decimalSeparator) c = '.';
  }
  return literal;
}

std::string DateTermLiteral(std::string_view term) {
  base::TDateTime date = 0;
  return base::StrToDateEx(term, true, date) ? DateLiteral(date) : std::string();
}

// The literal of one bound or value by kind; empty when the text does not
// read as the kind asks.
std::string ValueLiteral(std::string_view value, int kind) {
  switch (kind) {
    case skText:
      return base::QuotedStr(value);
    case skInteger:
      return IntegerLiteral(value);
    case skNumber:
      return NumberLiteral(value);
    case skDate:
      return DateTermLiteral(value);
    default:
      return std::string();
  }
}

// At least four digits, as TO_CHAR(…,'YYYY') writes a year.
std::string FourDigitYear(std::int32_t year) {
  const std::int64_t magnitude = std::llabs(static_cast<std::int64_t>(year));
  std::string digits = std::to_string(magnitude);
  if (digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');
  return year < 0 ? "-" + digits : digits;
}

std::string YearCondition(std::string_view term, std::string_view column) {
  std::int32_t year = 0;
  if (!base::TryStrToInt(term, year) || year == 0) return std::string();
  if (year == -1) return Cat("(", column, " IS NULL) ");
  return Cat(" (TO_CHAR(", column, ",'YYYY')=") + base::QuotedStr(FourDigitYear(year)) + ") ";
}

std::string RangeCondition(std::string_view term, std::string_view column, int kind) {
  if (kind == skYear) return std::string();
  const std::size_t tilde = term.find('~');
  const std::string_view low = term.substr(0, tilde);
  const std::string_view high = term.substr(tilde + 1);
  if (low.empty() && high.empty()) return std::string();
  std::string lowLiteral;
  std::string highLiteral;
  if (!low.empty()) {
    lowLiteral = ValueLiteral(low, kind);
    if (lowLiteral.empty()) return std::string();
  }
  if (!high.empty()) {
    highLiteral = ValueLiteral(high, kind);
    if (highLiteral.empty()) return std::string();
  }
  if (low.empty()) return Cat("(", column, "<=") + highLiteral + ")";
  if (high.empty()) return Cat("(", column, ">=") + lowLiteral + ")";
  return Cat("( (", column, ">=") + lowLiteral + Cat(") AND (", column, "<=") + highLiteral + ") )";
}

std::string SingleValueCondition(std::string_view term, std::string_view column, int kind, bool forceLike) {
  if (kind == skText) {
    const char last = term.back();
    if (forceLike || last == '%' || last == '/' || last == '=' || last == '\\') {
      return Cat("(", column, " LIKE ") + base::QuotedStr(LikePattern(term)) + ")";
    }
    return Cat("(", column, " = ") + base::QuotedStr(term) + ")";
  }
  if (kind == skYear) return YearCondition(term, column);
  const std::string literal = ValueLiteral(term, kind);
  if (literal.empty()) return std::string();
  return Cat("(", column, "=") + literal + ")";
}

// The condition of a term before the leading blank is settled; "--" in front
// negates the condition of the rest as it stands.
std::string BareTermCondition(std::string_view term, std::string_view column, int kind, bool forceLike) {
  if (term.empty()) return std::string();
  if (term == "--") return Cat("(", column, " IS NuLL)");
  if (term == "+") return Cat("(", column, " IS NOT NuLL)");
  if (term.starts_with("--")) {
    const std::string rest = BareTermCondition(term.substr(2), column, kind, forceLike);
    return rest.empty() ? std::string() : "NOT" + rest;
  }
  if (term.find('~') != std::string_view::npos) return RangeCondition(term, column, kind);
  return SingleValueCondition(term, column, kind, forceLike);
}

}  // namespace

std::string AndCondition(std::string_view where, std::string_view condition) {
  // An empty condition must not wipe out the WHERE text: callers AND the
  // result of a search box into their statement whether or not anything was
  // typed.
  if (condition.empty()) return std::string(where);
  if (where.empty()) return std::string(condition);
  return Cat(where, " AND ", condition);
}

std::string TermCondition(std::string_view term, std::string_view column, int kind, bool forceLike) {
  std::string condition = BareTermCondition(term, column, kind, forceLike);
  if (term == "--" || term == "+") return condition;
  if (!condition.empty() && condition.front() != ' ') condition.insert(0, 1, ' ');
  return condition;
}

std::string SearchCondition(std::string_view text, std::string_view column, int kind, bool forceLike) {
  if (text.empty()) return std::string();
  std::string_view separator;
  std::string_view connector;
  if (text.find('^') != std::string_view::npos) {
    separator = "^";
    connector = " OR";
  } else if (text.find('&') != std::string_view::npos) {
    separator = "&";
    connector = " AND";
  } else {
    return TermCondition(text, column, kind, forceLike);
  }
  // An empty term inside the list comes back as one blank; an empty last
  // term is not returned at all.
  std::vector<std::string> terms;
  base::SplitToList(text, separator, terms, kind != skText);
  std::string joined;
  for (const std::string& term : terms) {
    const std::string condition = TermCondition(term, column, kind, forceLike);
    if (condition.empty()) continue;
    if (!joined.empty()) joined += connector;
    joined += condition;
  }
  if (joined.empty()) return std::string();
  return " (" + joined + ") ";
}

std::string LikePattern(std::string_view term) {
  std::string pattern = base::StrTrim(term);
  if (pattern.empty()) return "%";
  for (char& c : pattern) {
    if (c == '*') c = '_';
  }
  const char last = pattern.back();
  if (last == '=' || last == '/' || last == '\\') pattern.pop_back();
  if (last == '/') return "%" + pattern + "%";
  if (last == '\\') return "%" + pattern;
  return pattern + "%";
}

std::string DateRangeCondition(std::string_view column, base::TDateTime from, base::TDateTime to, bool allowNull) {
  if (from == 0 && to == 0) return std::string();
  // The period dialog puts its special value in the from-date and leaves the
  // to-date 0, other callers pass it as the to-date: either place counts, or
  // "no date" would become an equality on a day of 1899.
  if (to == kNoDatePeriod || from == kNoDatePeriod) return Cat(" (", column, " IS NULL) ");
  if (to == kAnyDatePeriod || from == kAnyDatePeriod) return Cat(" (", column, " IS NOT NULL) ");
  if (from == 0 || to == 0 || from == to) {
    return Cat("(", column, "=") + DateLiteral(from != 0 ? from : to) + ")";
  }
  const base::TDateTime smaller = from < to ? from : to;
  const base::TDateTime larger = from < to ? to : from;
  std::string condition = "( ";
  if (allowNull) condition += Cat("(", column, " IS NULL) or ");
  condition +=
      Cat("(", column, ">=") + DateLiteral(smaller) + Cat(") AND (", column, "<=") + DateLiteral(larger) + ") )";
  return condition;
}

std::string DateLiteral(base::TDateTime date) {
  if (date == 0) return "''";
  // The separators are quoted so that the literal stays dd/mm/yyyy whatever
  // date separator the process formats carry.
  return base::QuotedStr(base::FormatDateTime("dd\"/\"mm\"/\"yyyy", date));
}

std::string FieldTypeLetter(int typeCode) {
  if (typeCode < 0 || typeCode > 255) return "X";
  const auto type = static_cast<link::TFieldType>(typeCode);
  if (IsNumericType(type)) return "N";
  if (IsDateType(type)) return "D";
  switch (type) {
    case link::ftString:
    case link::ftMemo:
    case link::ftFmtMemo:
    case link::ftFixedChar:
    case link::ftWideString:
      return "C";
    default:
      return "X";
  }
}

std::string DefaultLabel(std::string_view name) {
  const std::string key = base::UpperStr(base::StrTrim(name));
  if (key == "ID") return "Κωδικός"_gr;
  if (key == "DSC") return "Περιγραφή"_gr;
  if (key == "NAME") return "Όνομα"_gr;
  return std::string();
}

}  // namespace mero::data
