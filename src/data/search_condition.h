#pragma once

#include <string>
#include <string_view>

#include "base/date_time.h"

namespace mero::data {

// What a search box holds; the value decides how a typed term is read and
// written into SQL.
enum SearchKind : int {
  skText = 1,
  skInteger = 2,
  skNumber = 3,
  skDate = 4,
  skYear = 9,
};

// Special starts of a period: the record has no date, or it has any date.
inline constexpr base::TDateTime kNoDatePeriod = -131;
inline constexpr base::TDateTime kAnyDatePeriod = -132;

// where + " AND " + condition; an empty side leaves the other one as it is.
std::string AndCondition(std::string_view where, std::string_view condition);

// Turns what a user typed into a search box into a WHERE condition on
// column: terms separated by "^" (OR) or "&" (AND), "--" for no value, "+"
// for any value, "--" in front for NOT, "~" for a range, and for text a last
// character % / = \ for a LIKE search. Empty when nothing usable was typed.
std::string SearchCondition(std::string_view text, std::string_view column, int kind, bool forceLike);

// The condition of one term of a search text.
std::string TermCondition(std::string_view term, std::string_view column, int kind, bool forceLike);

// The LIKE pattern of a text term: "*" matches one character; a last "="
// means starts with, "/" contains, "\" ends with; any other last character
// stays and the pattern matches what starts with the term.
std::string LikePattern(std::string_view term);

// The condition of a period on a date column: 0 is an unset date;
// kNoDatePeriod and kAnyDatePeriod ask for a missing or a present date;
// allowNull lets rows without a date through a range.
std::string DateRangeCondition(std::string_view column, base::TDateTime from, base::TDateTime to, bool allowNull);

// 'dd/mm/yyyy' of the date; '' for 0.
std::string DateLiteral(base::TDateTime date);

// "C" text, "N" number, "D" date, "X" anything else, for a field type code.
std::string FieldTypeLetter(int typeCode);

// The caption a field gets when no one gave it one: ID, DSC and NAME have
// theirs, any other name none.
std::string DefaultLabel(std::string_view name);

}  // namespace mero::data
