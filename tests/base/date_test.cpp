#include <gtest/gtest.h>

#include <limits>

#include "base/clock.h"
#include "base/date_format.h"
#include "base/date_routines.h"
#include "base/date_time.h"
#include "base/encoding.h"
#include "base/runtime.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

base::TDateTime D(int y, int m, int d) { return base::EncodeDate(y, m, d); }

// Every date test stands on Thursday 10 December 2026, 14:03:07.250.
class DateTest : public ::testing::Test {
 protected:
  base::ScopedClock clock_{
      std::make_shared<base::FixedClock>(base::CombineDateTime(D(2026, 12, 10), base::EncodeTime(14, 3, 7, 250)))};
};

TEST_F(DateTest, DateNumbersCountDaysFrom30December1899) {
  EXPECT_EQ(D(1899, 12, 30), 0);
  EXPECT_EQ(D(1900, 1, 1), 2);
  EXPECT_EQ(D(2005, 3, 14), 38425);
  EXPECT_EQ(D(1899, 12, 29), -1);
  const base::DateParts p = base::DecodeDate(38425.75);
  EXPECT_EQ(p.year, 2005);
  EXPECT_EQ(p.month, 3);
  EXPECT_EQ(p.day, 14);
  const base::TimeParts t = base::DecodeTime(38425.75);
  EXPECT_EQ(t.hour, 18);
  EXPECT_EQ(t.minute, 0);
  // Before the epoch the fraction still counts forward from midnight.
  EXPECT_EQ(base::DecodeDate(-1.25).day, 29);
  EXPECT_EQ(base::DecodeTime(-1.25).hour, 6);
  EXPECT_EQ(base::DayOfWeek(D(2026, 12, 13)), 1);  // a Sunday
  EXPECT_EQ(base::DayOfWeek(0), 7);                // 30 Dec 1899 was a Saturday
  base::TDateTime out = 0;
  EXPECT_FALSE(base::TryEncodeDate(2005, 2, 29, out));
  EXPECT_TRUE(base::TryEncodeDate(2004, 2, 29, out));
  EXPECT_FALSE(base::TryEncodeTime(24, 0, 0, 0, out));
}

// A date-time number from the link can be anything: it decodes and formats
// within the calendar instead of overflowing the day count.
TEST_F(DateTest, NumbersOutsideTheCalendarDecodeAtItsEnds) {
  struct Case {
    double value;
    int year, month, day;
  };
  const Case cases[] = {
      {-1.50437e+82, 1, 1, 1},
      {-std::numeric_limits<double>::infinity(), 1, 1, 1},
      {-693594.5, 1, 1, 1},
      {1e300, 9999, 12, 31},
      {std::numeric_limits<double>::infinity(), 9999, 12, 31},
      {2958466.0, 9999, 12, 31},
      {std::numeric_limits<double>::quiet_NaN(), 1899, 12, 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    const base::DateParts p = base::DecodeDate(c.value);
    EXPECT_EQ(p.year, c.year);
    EXPECT_EQ(p.month, c.month);
    EXPECT_EQ(p.day, c.day);
    EXPECT_EQ(base::TimeOfDayMSecs(c.value), 0);
    EXPECT_GE(base::DayOfWeek(c.value), 1);
    EXPECT_LE(base::DayOfWeek(c.value), 7);
    EXPECT_EQ(base::FormatDateTime("dd/mm/yyyy hh:nn", c.value).size(), 16U);
  }
}

TEST_F(DateTest, FormatsWithGreekNames) {
  const base::TDateTime x = base::CombineDateTime(D(2005, 3, 14), base::EncodeTime(9, 30, 12, 345));
  EXPECT_EQ(base::FormatDateTime("dd/mm/yyyy hh:nn:ss", x), "14/03/2005 09:30:12");
  EXPECT_EQ(base::FormatDateTime("hh:mm", x), "09:30");  // minutes after an hour
  EXPECT_EQ(base::FormatDateTime("dddd, MMMM d yyyy", x), "Δευτέρα, Μάρτιος 14 2005"_gr);
  EXPECT_EQ(base::FormatDateTime("ddd d mmm yy", x), "Δευ 14 Μαρ 05"_gr);
  EXPECT_EQ(base::FormatDateTime("yyyymmddhhnnsszzz", x), "20050314093012345");
  EXPECT_EQ(base::FormatDateTime("DD-MM-YYYY 'at' h:n", x), "14-03-2005 at 9:30");
}

TEST_F(DateTest, ReadsProcessFormats) {
  base::TDateTime x = 0;
  EXPECT_TRUE(base::TryStrToDate("10/05/2005", x));
  EXPECT_EQ(x, D(2005, 5, 10));
  EXPECT_TRUE(base::TryStrToDate("10/05/49", x));
  EXPECT_EQ(x, D(2049, 5, 10));
  EXPECT_TRUE(base::TryStrToDateTime("10/05/2005 14:03:00", x));
  EXPECT_EQ(base::FormatDateTime("dd/mm/yyyy hh:nn:ss", x), "10/05/2005 14:03:00");
  EXPECT_TRUE(base::TryStrToTime("7:05:09.5", x));
  EXPECT_EQ(base::TimeOfDayMSecs(x), ((7 * 60 + 5) * 60 + 9) * 1000 + 500);
  for (const char* bad : {"31/02/2005", "10-05-2005", "10/05", "", "aa/bb/cccc", "10/05/2005 25:00"}) {
    EXPECT_FALSE(base::TryStrToDateTime(bad, x)) << bad;
  }
}

TEST_F(DateTest, LenientParserTable) {
  struct Case {
    const char* text;
    bool required;
    bool ok;
    base::TDateTime date;
  };
  const Case cases[] = {
      {"5", true, true, D(2026, 12, 5)},
      {"5/3", true, true, D(2026, 3, 5)},
      {"05.03.05", true, true, D(2005, 3, 5)},
      {"5-3-1950", true, true, D(1950, 3, 5)},
      {"050305", true, true, D(2005, 3, 5)},
      {"05031999", true, true, D(1999, 3, 5)},
      {"050349", true, true, D(2049, 3, 5)},
      {"050350", true, true, D(1950, 3, 5)},
      {"/", true, true, D(2026, 12, 10)},
      {"5/", true, true, D(2026, 12, 5)},
      {"5/3/", true, true, D(2026, 3, 5)},
      {"  7 ", true, true, D(2026, 12, 7)},
      {"", false, true, 0},
      {"", true, false, 0},
      {"31/2/2005", true, false, 0},
      {"5a", true, false, 0},
      {"32", true, false, 0},
      {"1/13", true, false, 0},
  };
  for (const Case& c : cases) {
    base::TDateTime x = -1;
    EXPECT_EQ(base::StrToDateEx(c.text, c.required, x), c.ok) << c.text;
    EXPECT_EQ(x, c.date) << c.text;
  }
}

TEST_F(DateTest, DateTextsAndRanges) {
  EXPECT_EQ(base::DateToStrSep(D(2005, 3, 4), "/"), "04/03/2005");
  EXPECT_EQ(base::DateToStrSep(D(2005, 3, 4), "-"), "04-03-2005");
  EXPECT_EQ(base::DateToStrSep(0, "/"), "");
  EXPECT_EQ(base::DateToShortStr(D(1949, 1, 2)), "02/01/??");
  EXPECT_EQ(base::DateToShortStr(D(1950, 1, 2)), "02/01/50");
  EXPECT_EQ(base::DateToShortStr(D(2049, 1, 2)), "02/01/49");
  EXPECT_EQ(base::DateToShortStr(D(2050, 1, 2)), "02/01/??");
  EXPECT_EQ(base::DateToStrMode(D(2005, 3, 4), 2), "03/04/05");
  EXPECT_EQ(base::DateToStrMode(D(2005, 3, 4), 3), "03/04/2005");
  EXPECT_EQ(base::DateToStrMode(D(2005, 3, 4), 4), "04/03/2005");
  EXPECT_EQ(base::DateToStrMode(D(2005, 3, 4), 9), "04/03/05");
  EXPECT_EQ(base::Year4To2(1969), 1969);
  EXPECT_EQ(base::Year4To2(1970), 70);
  EXPECT_EQ(base::Year4To2(2005), 5);
  EXPECT_EQ(base::DateRangeToStr(D(2005, 1, 1), 0), "01/01/2005-");
  EXPECT_EQ(base::DateRangeToStr(0, 0), "");
  EXPECT_EQ(base::MonthRangeToStr(D(2005, 1, 1), D(2005, 3, 31)), "Ιαν 2005-Μάρ 2005"_gr);
  EXPECT_EQ(base::MonthRangeToStr(0, 0), "");
  base::TDateTime a = 0, b = 0;
  base::MonthBounds(D(2004, 2, 10), a, b);
  EXPECT_EQ(a, D(2004, 2, 1));
  EXPECT_EQ(b, D(2004, 2, 29));
  base::YearBounds(2005, a, b);
  EXPECT_EQ(b, D(2005, 12, 31));
  base::WeekBounds(D(2026, 12, 10), a, b);
  EXPECT_EQ(a, D(2026, 12, 6));
  EXPECT_EQ(b, D(2026, 12, 13));
  EXPECT_EQ(base::ShiftYearsToMonthStart(D(2005, 3, 14), 2), D(2007, 3, 1));
  EXPECT_EQ(base::ShiftYearsToMonthStart(D(2005, 3, 14), 0), D(2005, 3, 14));
}

TEST_F(DateTest, StampsComeFromTheClock) {
  EXPECT_EQ(base::TimeStampStr(), "14:03:07.250");
  EXPECT_EQ(base::DateTimeStamp(), "20261210140307250");
  EXPECT_EQ(base::SecondsStr(), "07.25");
  base::RefreshToday();
  EXPECT_EQ(base::Rt().today.date, D(2026, 12, 10));
  EXPECT_EQ(base::Rt().today.dayOfWeek, 5);
  base::Rt().dateFmtMode = 3;
  EXPECT_EQ(base::DateFmtStr(), "dd/mm/yyyy");
  base::Rt().dateFmtMode = 0;
  EXPECT_EQ(base::DateFmtStr(), "mm/dd/yy");
}

}  // namespace
