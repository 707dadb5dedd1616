#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mero::server {

// Oracle's conversions between text, dates and numbers, as the dialect
// functions and the translator use them. Dates are date-time numbers (days
// since 30 December 1899, the time of day as the fraction). Failures raise
// SqlError with Oracle's texts.

// The format of a text that meets a DATE column without TO_DATE: the client
// writes 'dd/mm/yyyy' and 'dd/mm/yyyy hh:nn:ss'.
inline constexpr std::string_view kDefaultDateInput = "DD/MM/YYYY HH24:MI:SS";
// The format of a date turned into text without a format.
inline constexpr std::string_view kDefaultDateOutput = "DD/MM/YYYY";

// TO_DATE: format elements YYYY RRRR YY RR MM DD HH24 HH12 HH MI SS AM PM,
// punctuation and "quoted text"; case does not matter. Missing time elements
// at the end of the text read as 0. Errors: ORA-01858 (a non-digit where a
// number belongs), ORA-01843 (month), ORA-01847 (day 0 or above 31), ORA-01839
// (day beyond the month), ORA-01850/01849/01851/01852 (hour, minute, second),
// ORA-01841 (year 0), ORA-01840 (text too short), ORA-01830 (text left over),
// ORA-01861 (quoted text differs), ORA-01821 (format not recognised).
double OracleToDate(std::string_view text, std::string_view format = kDefaultDateInput);

// Raises ORA-01841 for a number that is no date of the years 1 to 9999 (a
// NaN, an infinity, or any number beyond them): no date function reads one.
void CheckOracleDate(double value);

// TO_CHAR of a date: the same elements (FM drops leading zeros). ORA-01821
// for an element it does not know, ORA-01841 for a number that is no date.
std::string OracleDateToChar(double value, std::string_view format = kDefaultDateOutput);

// TO_CHAR of a number without a format: integers as digits, fractions with
// '.' and without a leading zero (0.5 → ".5"), up to 15 significant digits.
std::string OracleNumberToChar(double value);
// With a model of 9, 0, '.', 'D', ',', 'G' and an optional FM prefix; a value
// too wide for the model gives '#'s. ORA-01481 for any other model.
std::string OracleNumberToChar(double value, std::string_view model);

// A number in Oracle's literal form (blanks around, sign, digits, '.',
// exponent). isInteger: written without '.' or exponent and within 64 bits.
struct OracleNumber {
  double value = 0;
  std::int64_t integer = 0;
  bool isInteger = false;
};
bool ParseOracleNumber(std::string_view text, OracleNumber& out);

// Whether a format holds date elements (and so TO_CHAR formats a date).
bool IsDateFormat(std::string_view format);

}  // namespace mero::server
