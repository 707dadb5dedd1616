#include "data/search_condition.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/clock.h"
#include "base/date_time.h"
#include "base/encoding.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

// A search box on screen is read on 14 March 2005, so that "5" is a known day.
class SearchConditionTest : public ::testing::Test {
 protected:
  base::ScopedClock clock_{std::make_shared<base::FixedClock>(base::EncodeDate(2005, 3, 14) + 0.5)};
};

struct SearchCase {
  const char* text;
  int kind;
  bool forceLike;
  const char* expected;
};

TEST_F(SearchConditionTest, WhatIsTypedBecomesTheConditionOnTheColumn) {
  constexpr int T = data::skText;
  constexpr int I = data::skInteger;
  constexpr int N = data::skNumber;
  constexpr int D = data::skDate;
  constexpr int Y = data::skYear;
  const SearchCase cases[] = {
      // Text: equality, LIKE by the last character, lists, NOT, ranges.
      {"", T, false, ""},
      {"abc", T, false, " (dp.ORGID = 'abc')"},
      {"abc=", T, false, " (dp.ORGID LIKE 'abc%')"},
      {"abc/", T, false, " (dp.ORGID LIKE '%abc%')"},
      {"abc\\", T, false, " (dp.ORGID LIKE '%abc')"},
      {"abc%", T, false, " (dp.ORGID LIKE 'abc%%')"},
      {"a*c=", T, false, " (dp.ORGID LIKE 'a_c%')"},
      {"abc", T, true, " (dp.ORGID LIKE 'abc%')"},
      {" ab* ", T, true, " (dp.ORGID LIKE 'ab_%')"},
      {"a^b", T, false, " ( (dp.ORGID = 'a') OR (dp.ORGID = 'b')) "},
      {"a&b", T, false, " ( (dp.ORGID = 'a') AND (dp.ORGID = 'b')) "},
      {"a&b^c", T, false, " ( (dp.ORGID = 'a&b') OR (dp.ORGID = 'c')) "},
      {" a ^ b", T, false, " ( (dp.ORGID = ' a ') OR (dp.ORGID = ' b')) "},
      {"a^^b", T, false, " ( (dp.ORGID = 'a') OR (dp.ORGID = ' ') OR (dp.ORGID = 'b')) "},
      {"a^", T, false, " ( (dp.ORGID = 'a')) "},
      {"--abc", T, false, " NOT(dp.ORGID = 'abc')"},
      {"--", T, false, "(dp.ORGID IS NuLL)"},
      {"+", T, false, "(dp.ORGID IS NOT NuLL)"},
      {"----", T, false, " NOT(dp.ORGID IS NuLL)"},
      {"--^+", T, false, " ((dp.ORGID IS NuLL) OR(dp.ORGID IS NOT NuLL)) "},
      {"A~C", T, false, " ( (dp.ORGID>='A') AND (dp.ORGID<='C') )"},
      {"A~", T, false, " (dp.ORGID>='A')"},
      {"~C", T, false, " (dp.ORGID<='C')"},
      {"~", T, false, ""},
      {" abc ", T, false, " (dp.ORGID = ' abc ')"},
      {"O'Brien", T, false, " (dp.ORGID = 'O''Brien')"},
      {"x' OR '1'='1", T, false, " (dp.ORGID = 'x'' OR ''1''=''1')"},
      {"O'B=", T, false, " (dp.ORGID LIKE 'O''B%')"},
      {"O'A~O'C", T, false, " ( (dp.ORGID>='O''A') AND (dp.ORGID<='O''C') )"},
      // Integer: whole numbers only; a term that is none gives nothing and
      // leaves no connector behind.
      {"12", I, false, " (dp.ORGID=12)"},
      {"-7", I, false, " (dp.ORGID=-7)"},
      {"1&2", I, false, " ( (dp.ORGID=1) AND (dp.ORGID=2)) "},
      {"1&x", I, false, " ( (dp.ORGID=1)) "},
      {"x&1", I, false, " ( (dp.ORGID=1)) "},
      {"x^y", I, false, ""},
      {" 1 ^ 2 ", I, false, " ( (dp.ORGID=1) OR (dp.ORGID=2)) "},
      {"1^ ^2", I, false, " ( (dp.ORGID=1) OR (dp.ORGID=2)) "},
      {"1,5", I, false, ""},
      {"1;delete from UP_DELT", I, false, ""},
      {"1~5", I, false, " ( (dp.ORGID>=1) AND (dp.ORGID<=5) )"},
      {"3~", I, false, " (dp.ORGID>=3)"},
      {"~5", I, false, " (dp.ORGID<=5)"},
      {"1~x", I, false, ""},
      {"x~5", I, false, ""},
      {"1~2~3", I, false, ""},
      {"--7", I, false, " NOT(dp.ORGID=7)"},
      {"--x", I, false, ""},
      {"--", I, false, "(dp.ORGID IS NuLL)"},
      {"+", I, false, "(dp.ORGID IS NOT NuLL)"},
      // Number: typed with the screen's decimal comma, written with a point.
      {"2,5", N, false, " (dp.ORGID=2.5)"},
      {"-3", N, false, " (dp.ORGID=-3)"},
      {"2.5", N, false, ""},
      {"abc", N, false, ""},
      {"1,5~2,5", N, false, " ( (dp.ORGID>=1.5) AND (dp.ORGID<=2.5) )"},
      {"1,5^x^4", N, false, " ( (dp.ORGID=1.5) OR (dp.ORGID=4)) "},
      // Date: the lenient date reading, written dd/mm/yyyy.
      {"05/03/2005", D, false, " (dp.ORGID='05/03/2005')"},
      {"5", D, false, " (dp.ORGID='05/03/2005')"},
      {"5.3.05", D, false, " (dp.ORGID='05/03/2005')"},
      {"31/2/2005", D, false, ""},
      {"yesterday", D, false, ""},
      {"1/1/05~31/1/05", D, false, " ( (dp.ORGID>='01/01/2005') AND (dp.ORGID<='31/01/2005') )"},
      {"~31/1/05", D, false, " (dp.ORGID<='31/01/2005')"},
      {"1/1/05~x", D, false, ""},
      {"1/1/05 ^ 2/1/05", D, false, " ( (dp.ORGID='01/01/2005') OR (dp.ORGID='02/01/2005')) "},
      {"1/1/05^^2/1/05", D, false, " ( (dp.ORGID='01/01/2005') OR (dp.ORGID='02/01/2005')) "},
      // Year: four digits through TO_CHAR, -1 for no date, no ranges.
      {"2005", Y, false, " (TO_CHAR(dp.ORGID,'YYYY')='2005') "},
      {"5", Y, false, " (TO_CHAR(dp.ORGID,'YYYY')='0005') "},
      {"-1", Y, false, " (dp.ORGID IS NULL) "},
      {"0", Y, false, ""},
      {"x", Y, false, ""},
      {"2000~2005", Y, false, ""},
      {"2004^2005", Y, false, " ( (TO_CHAR(dp.ORGID,'YYYY')='2004')  OR (TO_CHAR(dp.ORGID,'YYYY')='2005') ) "},
      {"--2005", Y, false, " NOT (TO_CHAR(dp.ORGID,'YYYY')='2005') "},
      // A kind the grammar does not know reads no values.
      {"abc", 5, false, ""},
      {"--", 5, false, "(dp.ORGID IS NuLL)"},
  };
  for (const SearchCase& c : cases) {
    SCOPED_TRACE(std::string("text [") + c.text + "] kind " + std::to_string(c.kind));
    EXPECT_EQ(data::SearchCondition(c.text, "dp.ORGID", c.kind, c.forceLike), c.expected);
  }
}

TEST_F(SearchConditionTest, ATermAloneGivesWhatTheWholeTextGives) {
  for (const char* term : {"abc", "abc/", "--abc", "--", "+", "A~C", "~"}) {
    SCOPED_TRACE(term);
    EXPECT_EQ(data::TermCondition(term, "F", data::skText, false),
              data::SearchCondition(term, "F", data::skText, false));
  }
  // A list separator inside one term is plain text.
  EXPECT_EQ(data::TermCondition("a^b", "F", data::skText, false), " (F = 'a^b')");
}

TEST(LikePattern, TheLastCharacterChoosesWhereTheTermMayStand) {
  const struct {
    const char* term;
    const char* pattern;
  } cases[] = {
      {"", "%"},         {"   ", "%"},    {"abc", "abc%"}, {"abc=", "abc%"},  {"abc/", "%abc%"},
      {"abc\\", "%abc"}, {"a*c", "a_c%"}, {"**=", "__%"},  {" ab= ", "ab%"},  {"abc%", "abc%%"},
      {"=", "%"},        {"/", "%%"},     {"\\", "%"},     {"a b/", "%a b%"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.term);
    EXPECT_EQ(data::LikePattern(c.term), c.pattern);
  }
}

TEST(DateRangeCondition, APeriodBecomesANullTestAnEqualityOrARange) {
  const base::TDateTime d5 = base::EncodeDate(2005, 3, 5);
  const base::TDateTime d20 = base::EncodeDate(2005, 3, 20);
  const struct {
    base::TDateTime from;
    base::TDateTime to;
    bool allowNull;
    const char* expected;
  } cases[] = {
      {0, 0, false, ""},
      {0, 0, true, ""},
      {0, data::kNoDatePeriod, false, " (d.DT IS NULL) "},
      {0, data::kAnyDatePeriod, false, " (d.DT IS NOT NULL) "},
      {d5, data::kNoDatePeriod, true, " (d.DT IS NULL) "},
      // The period dialog gives its special values as the from-date.
      {data::kNoDatePeriod, 0, false, " (d.DT IS NULL) "},
      {data::kAnyDatePeriod, 0, false, " (d.DT IS NOT NULL) "},
      {d5, 0, false, "(d.DT='05/03/2005')"},
      {0, d5, false, "(d.DT='05/03/2005')"},
      {d5, 0, true, "(d.DT='05/03/2005')"},
      {d5, d5, true, "(d.DT='05/03/2005')"},
      {d5, d20, false, "( (d.DT>='05/03/2005') AND (d.DT<='20/03/2005') )"},
      {d20, d5, false, "( (d.DT>='05/03/2005') AND (d.DT<='20/03/2005') )"},
      {d20, d5, true, "( (d.DT IS NULL) or (d.DT>='05/03/2005') AND (d.DT<='20/03/2005') )"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.from) + " " + std::to_string(c.to) + (c.allowNull ? " null" : ""));
    EXPECT_EQ(data::DateRangeCondition("d.DT", c.from, c.to, c.allowNull), c.expected);
  }
}

TEST(DateLiteral, DayMonthAndFourDigitYearInQuotesAndNothingForNoDate) {
  EXPECT_EQ(data::DateLiteral(0), "''");
  EXPECT_EQ(data::DateLiteral(base::EncodeDate(2005, 3, 5) + 0.75), "'05/03/2005'");
  EXPECT_EQ(data::DateLiteral(base::EncodeDate(1949, 12, 31)), "'31/12/1949'");
}

TEST(AndCondition, JoinsOnlyWhatIsThere) {
  EXPECT_EQ(data::AndCondition("", ""), "");
  EXPECT_EQ(data::AndCondition("", " (F=1)"), " (F=1)");
  EXPECT_EQ(data::AndCondition("where 1=1 ", " (F=1)"), "where 1=1  AND  (F=1)");
  // Nothing typed in a search box keeps the statement's own condition.
  EXPECT_EQ(data::AndCondition("where 1=1 ", ""), "where 1=1 ");
}

TEST(FieldTypeLetter, TextNumberDateOrOther) {
  std::string letters;
  for (int code = 0; code <= 35; ++code) letters += data::FieldTypeLetter(code);
  EXPECT_EQ(letters, "XCNNNXNNNDDDXXNXCXCXXXXCCNXXXXXXXXXX");
  EXPECT_EQ(data::FieldTypeLetter(-1), "X");
  EXPECT_EQ(data::FieldTypeLetter(255), "X");
}

TEST(DefaultLabel, KnownNamesInAnyCase) {
  EXPECT_EQ(data::DefaultLabel("ID"), "Κωδικός"_gr);
  EXPECT_EQ(data::DefaultLabel(" dsc "), "Περιγραφή"_gr);
  EXPECT_EQ(data::DefaultLabel("Name"), "Όνομα"_gr);
  EXPECT_EQ(data::DefaultLabel("IDX"), "");
  EXPECT_EQ(data::DefaultLabel(""), "");
}

}  // namespace
