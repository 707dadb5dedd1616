#include "server/oracle_formats.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/clock.h"
#include "base/date_time.h"
#include "server/database.h"
#include "support/error_text.h"

using namespace mero;

namespace {

base::TDateTime At(int y, int m, int d, int h = 0, int n = 0, int s = 0) {
  return base::CombineDateTime(base::EncodeDate(y, m, d), base::EncodeTime(h, n, s, 0));
}

std::string ToDateError(std::string_view text, std::string_view format = server::kDefaultDateInput) {
  return test::ErrorOf<server::SqlError>([&] { server::OracleToDate(text, format); });
}

TEST(OracleFormats, ReadsDatesInTheClientsFormsAndOthers) {
  base::ScopedClock clock(std::make_shared<base::FixedClock>(At(2024, 7, 15, 9, 30)));
  const struct {
    const char* text;
    const char* format;
    base::TDateTime value;
  } cases[] = {
      {"05/03/2024", "DD/MM/YYYY HH24:MI:SS", At(2024, 3, 5)},
      {"05/03/2024 10:11:12", "DD/MM/YYYY HH24:MI:SS", At(2024, 3, 5, 10, 11, 12)},
      {"05/03/2024 10:11", "DD/MM/YYYY HH24:MI:SS", At(2024, 3, 5, 10, 11)},
      {"5/3/2024", "DD/MM/YYYY", At(2024, 3, 5)},
      {" 05-03-2024 ", "dd/mm/yyyy", At(2024, 3, 5)},
      {"05032024", "DDMMYYYY", At(2024, 3, 5)},
      {"2024-03-05", "YYYY-MM-DD", At(2024, 3, 5)},
      {"29/02/2024", "DD/MM/YYYY", At(2024, 2, 29)},
      {"05/03/24", "DD/MM/RR", At(2024, 3, 5)},
      {"05/03/99", "DD/MM/RR", At(1999, 3, 5)},
      {"05/03/24", "DD/MM/YY", At(2024, 3, 5)},
      {"10:30", "HH24:MI", At(2024, 7, 1, 10, 30)},  // Oracle: the first of the current month
      {"12:05 AM", "HH:MI AM", At(2024, 7, 1, 0, 5)},
      {"01:05 PM", "HH12:MI PM", At(2024, 7, 1, 13, 5)},
      {"on 05/03/2024", "\"on\" DD/MM/YYYY", At(2024, 3, 5)},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(server::OracleToDate(c.text, c.format), c.value) << c.text << " " << c.format;
  }
}

TEST(OracleFormats, RefusesBadDatesWithOracleTexts) {
  const struct {
    const char* text;
    const char* format;
    const char* error;
  } cases[] = {
      {"32/01/2024", "DD/MM/YYYY", "ORA-01847: day of month must be between 1 and last day of month"},
      {"00/01/2024", "DD/MM/YYYY", "ORA-01847: day of month must be between 1 and last day of month"},
      {"31/04/2024", "DD/MM/YYYY", "ORA-01839: date not valid for month specified"},
      {"29/02/2023", "DD/MM/YYYY", "ORA-01839: date not valid for month specified"},
      {"01/13/2024", "DD/MM/YYYY", "ORA-01843: not a valid month"},
      {"01/00/2024", "DD/MM/YYYY", "ORA-01843: not a valid month"},
      {"ab/01/2024", "DD/MM/YYYY", "ORA-01858: a non-numeric character was found where a numeric was expected"},
      {"01/01/0000", "DD/MM/YYYY", "ORA-01841: (full) year must be between -4713 and +9999, and not be 0"},
      {"01/01", "DD/MM/YYYY", "ORA-01840: input value not long enough for date format"},
      {"01/01/2024 x", "DD/MM/YYYY", "ORA-01830: date format picture ends before converting entire input string"},
      {"01/01/2024 24:00", "DD/MM/YYYY HH24:MI", "ORA-01850: hour must be between 0 and 23"},
      {"01/01/2024 13:00", "DD/MM/YYYY HH:MI", "ORA-01849: hour must be between 1 and 12"},
      {"01/01/2024 10:60", "DD/MM/YYYY HH24:MI", "ORA-01851: minutes must be between 0 and 59"},
      {"01/01/2024 10:00:60", "DD/MM/YYYY HH24:MI:SS", "ORA-01852: seconds must be between 0 and 59"},
      {"at 01/01/2024", "\"on\" DD/MM/YYYY", "ORA-01861: literal does not match format string"},
      {"01/01/2024", "DD/MON/YYYY", "ORA-01821: date format not recognized"},
  };
  for (const auto& c : cases) EXPECT_EQ(ToDateError(c.text, c.format), c.error) << c.text << " " << c.format;
}

TEST(OracleFormats, WritesDatesWithTheFormatElements) {
  const base::TDateTime d = At(2024, 3, 5, 14, 7, 9);
  const struct {
    const char* format;
    const char* text;
  } cases[] = {
      {"DD/MM/YYYY", "05/03/2024"},
      {"dd/mm/yyyy hh24:mi:ss", "05/03/2024 14:07:09"},
      {"YYYY", "2024"},
      {"YYYYMMDD", "20240305"},
      {"DD-MM-YY", "05-03-24"},
      {"HH:MI AM", "02:07 PM"},
      {"FMDD/MM/YYYY", "5/3/2024"},
      {"\"day\" DD", "day 05"},
  };
  for (const auto& c : cases) EXPECT_EQ(server::OracleDateToChar(d, c.format), c.text) << c.format;
  // A time a hair before midnight belongs to the next day once rounded to seconds.
  EXPECT_EQ(server::OracleDateToChar(At(2024, 3, 5) + 0.9999999, "DD/MM/YYYY HH24:MI:SS"), "06/03/2024 00:00:00");
  EXPECT_EQ(test::ErrorOf<server::SqlError>([&] { server::OracleDateToChar(d, "DAY"); }),
            "ORA-01821: date format not recognized");
}

TEST(OracleFormats, WritesNumbersAsOracleDoes) {
  const struct {
    double value;
    const char* text;
  } plain[] = {{0, "0"},         {5, "5"},
               {-5, "-5"},       {2.5, "2.5"},
               {0.5, ".5"},      {-0.25, "-.25"},
               {0.1, ".1"},      {1e20, "100000000000000000000"},
               {1e-5, ".00001"}, {123.456, "123.456"}};
  for (const auto& c : plain) EXPECT_EQ(server::OracleNumberToChar(c.value), c.text) << c.value;

  const struct {
    double value;
    const char* model;
    const char* text;
  } models[] = {
      {1234.5, "9999.99", " 1234.50"}, {1234.5, "9,999.99", " 1,234.50"},
      {5, "9,999", "     5"},          {-3.456, "99.9", " -3.5"},
      {0.5, "999.99", "    .50"},      {0.5, "990.99", "   0.50"},
      {42, "0000", " 0042"},           {1.5, "FM9.99", "1.5"},
      {12345, "999", "####"},          {-7, "FM999", "-7"},
  };
  for (const auto& c : models) EXPECT_EQ(server::OracleNumberToChar(c.value, c.model), c.text) << c.model;
  EXPECT_EQ(test::ErrorOf<server::SqlError>([] { server::OracleNumberToChar(1, "9X9"); }),
            "ORA-01481: invalid number format model");
}

TEST(OracleFormats, ReadsNumberLiterals) {
  server::OracleNumber n;
  ASSERT_TRUE(server::ParseOracleNumber(" 42 ", n));
  EXPECT_TRUE(n.isInteger);
  EXPECT_EQ(n.integer, 42);
  ASSERT_TRUE(server::ParseOracleNumber("-2.5E1", n));
  EXPECT_FALSE(n.isInteger);
  EXPECT_DOUBLE_EQ(n.value, -25);
  ASSERT_TRUE(server::ParseOracleNumber("+.5", n));
  EXPECT_DOUBLE_EQ(n.value, 0.5);
  for (const char* bad : {"", " ", "abc", "1,5", "1e", "--1", "1 2", "."}) {
    EXPECT_FALSE(server::ParseOracleNumber(bad, n)) << bad;
  }
  EXPECT_TRUE(server::IsDateFormat("yyyy"));
  EXPECT_TRUE(server::IsDateFormat("DD/MM"));
  EXPECT_FALSE(server::IsDateFormat("999.99"));
  EXPECT_FALSE(server::IsDateFormat("FM9,999"));
}

}  // namespace
