#include "base/number_routines.h"

#include <gtest/gtest.h>

#include <cmath>

#include "base/number_format.h"
#include "base/variant_routines.h"

using namespace mero;

namespace {

TEST(NumberRoutines, IntegerParsersAndTheValueForNoNumber) {
  EXPECT_EQ(base::StrToIntNull("-"), base::NullInt);
  EXPECT_EQ(base::StrToIntNull(""), base::NullInt);
  EXPECT_EQ(base::StrToIntNull("  "), base::NullInt);
  EXPECT_EQ(base::StrToIntNull("x"), base::NullInt);
  EXPECT_EQ(base::StrToIntNull("12a"), base::NullInt);
  EXPECT_EQ(base::StrToIntNull(" 1.234 "), 1234);
  EXPECT_EQ(base::StrToIntNull("7"), 7);
  EXPECT_EQ(base::StrToIntZ("1.234"), 1234);
  EXPECT_EQ(base::StrToIntZ("abc"), 0);
  EXPECT_EQ(base::StrToIntZ("99999999999"), 0);  // does not fit
  EXPECT_EQ(base::StrToIntD("", 42), 42);
  EXPECT_EQ(base::StrToIntD("-17", 42), -17);
}

TEST(NumberRoutines, FloatParserReadsCommaDecimalsAfterDroppingDots) {
  EXPECT_DOUBLE_EQ(base::StrToFloatZ("1.234,56"), 1234.56);
  EXPECT_DOUBLE_EQ(base::StrToFloatZ("1.234,5"), 1234.5);
  EXPECT_DOUBLE_EQ(base::StrToFloatZ("12.5"), 125);
  EXPECT_DOUBLE_EQ(base::StrToFloatZ("-0,5"), -0.5);
  EXPECT_DOUBLE_EQ(base::StrToFloatZ(""), 0);
  EXPECT_DOUBLE_EQ(base::StrToFloatZ("1,2,3"), 0);
}

TEST(NumberRoutines, FormattersTable) {
  EXPECT_EQ(base::IntToStrZ(1234, 3), "***");
  EXPECT_EQ(base::IntToStrZ(7, 2), "07");
  EXPECT_EQ(base::IntToStrZ(0, 3), "000");
  EXPECT_EQ(base::FloatToStrDot(2.5, 3), "2.5");
  EXPECT_EQ(base::FloatToStrDot(2, 3), "2.0");
  EXPECT_EQ(base::FloatToStrDot(2, 0), "2");
  EXPECT_EQ(base::FloatToStrDot(12.5, 4), "12.5");
  EXPECT_EQ(base::FloatToStrDot(3, 2), "3.0");
  EXPECT_EQ(base::FloatToStrDot(-0.125, 2), "-0.13");
  EXPECT_EQ(base::FloatToStrDot(1234567.891, 2), "1234567.89");
  EXPECT_EQ(base::NumFormatStr(0), "#,##0");
  EXPECT_EQ(base::NumFormatStr(2), "#,##0.00");
  EXPECT_EQ(base::FormatNum(1234.5, 2), "1.234,50");
  EXPECT_EQ(base::FormatNum(-1234567.005, 2), "-1.234.567,01");
  EXPECT_EQ(base::FormatNum(1234.5, 0), "1.235");
  EXPECT_EQ(base::FormatInt(base::NullInt), "");
  EXPECT_EQ(base::FormatInt(0), "0");
  EXPECT_EQ(base::FormatInt(999), "999");
  EXPECT_EQ(base::FormatInt(1000), "1.000");
}

TEST(NumberRoutines, RoundingHalvesToEven) {
  EXPECT_EQ(base::RoundInt(2.5), 2);
  EXPECT_EQ(base::RoundInt(3.5), 4);
  EXPECT_EQ(base::RoundInt(-2.5), -2);
  EXPECT_EQ(base::RoundInt(2.51), 3);
  EXPECT_EQ(base::RoundInt(1e20), 2147483647);
  EXPECT_EQ(base::RoundInt(NAN), 0);
}

TEST(NumberRoutines, ListSums) {
  EXPECT_DOUBLE_EQ(base::SumList({}), base::NullInt);
  EXPECT_DOUBLE_EQ(base::SumList({"1.000,5", "2", "x"}), 1002.5);
  std::vector<std::string> list;
  base::AddToListItem(list, 2, 1.5);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[2], "1,500000");
  base::AddToListItem(list, 2, 1000);
  EXPECT_EQ(list[2], "1.001,500000");
}

TEST(NumberFormat, PatternsOfTheSystem) {
  struct Case {
    const char* pattern;
    double value;
    const char* expected;
  };
  const Case cases[] = {
      {"###############.###############", 0, ""},
      {"###############.###############", 0.5, ",5"},
      {"###############.###############", 12, "12"},
      {"###############.###############", -3.25, "-3,25"},
      {"###############.###############", 1234567.1, "1234567,1"},
      {"###############.###############", 0.1 + 0.2, ",3"},
      {"#,##0.00", 0, "0,00"},
      {"#,##0.00", 0.125, "0,13"},
      {"#,##0.00", 1e6, "1.000.000,00"},
      {"0.00;(0.00);zero", -2, "(2,00)"},
      {"0.00;(0.00);zero", 0.001, "zero"},
      {"\"EUR \"0.0", 3.14159, "EUR 3,1"},
      {"000", 7, "007"},
  };
  for (const Case& c : cases) EXPECT_EQ(base::FormatFloat(c.pattern, c.value), c.expected) << c.pattern;
}

TEST(NumberFormat, GeneralTextAndStrictReaders) {
  EXPECT_EQ(base::FloatToStr(2.5), "2,5");
  EXPECT_EQ(base::FloatToStr(0), "0");
  EXPECT_EQ(base::FloatToStr(-0.001), "-0,001");
  EXPECT_EQ(base::FloatToStr(1.5e-7), "1,5E-7");
  EXPECT_EQ(base::FloatToStr(1e20), "1E20");
  EXPECT_EQ(base::FloatToStr(123456789012345.0), "123456789012345");
  double d = 0;
  EXPECT_TRUE(base::TryStrToFloat(" -2,5 ", d));
  EXPECT_DOUBLE_EQ(d, -2.5);
  EXPECT_TRUE(base::TryStrToFloat("1,5E3", d));
  EXPECT_DOUBLE_EQ(d, 1500);
  for (const char* bad : {"2.5", "", "-", ",", "1e", "1,2,3", "abc", "1 2"}) {
    EXPECT_FALSE(base::TryStrToFloat(bad, d)) << bad;
  }
  std::int32_t i = 0;
  EXPECT_TRUE(base::TryStrToInt("+42", i));
  EXPECT_EQ(i, 42);
  for (const char* bad : {"", "+", "-", "- 1", "1.5", "2147483648", "0x10"}) {
    EXPECT_FALSE(base::TryStrToInt(bad, i)) << bad;
  }
  std::int64_t big = 0;
  EXPECT_TRUE(base::TryStrToInt64("-9223372036854775808", big));
  EXPECT_EQ(big, INT64_MIN);
}

TEST(VariantRoutines, ConversionsNeverThrow) {
  using base::Variant;
  EXPECT_FALSE(base::VarHasValue(Variant()));
  EXPECT_FALSE(base::VarHasValue(Variant::Null()));
  EXPECT_TRUE(base::VarHasValue(Variant::Integer(0)));
  EXPECT_EQ(base::VarToStrZ(Variant::Null()), "");
  EXPECT_EQ(base::VarToStrZ(Variant::Double(2.5)), "2,5");
  EXPECT_EQ(base::VarToStrZ(Variant::Boolean(true)), "True");
  EXPECT_EQ(base::VarToIntNull(Variant::Null()), base::NullInt);
  EXPECT_EQ(base::VarToIntNull(Variant::Text("x")), base::NullInt);
  EXPECT_EQ(base::VarToIntNull(Variant::Int64(1LL << 40)), base::NullInt);
  EXPECT_EQ(base::VarToIntZ(Variant::Text("12")), 12);
  EXPECT_EQ(base::VarToIntZ(Variant::Double(2.5)), 2);
  EXPECT_EQ(base::VarToIntZ(Variant()), 0);
  EXPECT_DOUBLE_EQ(base::VarToFloatZ(Variant::Text("1,25")), 1.25);
  EXPECT_DOUBLE_EQ(base::VarToFloatZ(Variant::Text("bad")), 0);
}

TEST(ListRoutines, ItemsGrowAndComment) {
  std::vector<std::string> list{"a"};
  EXPECT_EQ(base::GetListItem(nullptr, 0), "");
  EXPECT_EQ(base::GetListItem(&list, 5), "");
  EXPECT_EQ(base::SetListItem(nullptr, 0, "x"), -1);
  EXPECT_EQ(base::SetListItem(&list, 3, "d"), 3);
  EXPECT_EQ(list, (std::vector<std::string>{"a", "", "", "d"}));
  std::vector<std::string> lines{";c", "k=v", "#x", ";"};
  base::DeleteCommentLines(lines, "");
  EXPECT_EQ(lines, (std::vector<std::string>{"k=v", "#x"}));
  base::DeleteCommentLines(lines, "#");
  EXPECT_EQ(lines, std::vector<std::string>{"k=v"});
}

}  // namespace
