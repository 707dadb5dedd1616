#pragma once

#include <array>
#include <string>

namespace mero::base {

// The process's number and date formats. MERO fixes them explicitly (never
// through the C locale) so that results do not depend on the machine.
struct FormatSettings {
  char thousandSeparator = '.';
  char decimalSeparator = ',';
  char dateSeparator = '/';
  char timeSeparator = ':';
  std::string shortDateFormat = "dd/mm/yy";
  std::string longDateFormat = "dddd, MMMM d yyyy";
  std::string shortTimeFormat = "hh:mm";
  std::string longTimeFormat = "hh:mm:ss";
  std::array<std::string, 12> shortMonthNames;
  std::array<std::string, 12> longMonthNames;
  std::array<std::string, 7> shortDayNames;  // Sunday first
  std::array<std::string, 7> longDayNames;   // Sunday first

  // The Greek settings the start-up fixes for the whole process.
  static FormatSettings Greek();
};

// The settings of the process; they start as FormatSettings::Greek().
FormatSettings& ProcessFormats();

}  // namespace mero::base
