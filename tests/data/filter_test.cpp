#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/date_time.h"
#include "base/encoding.h"
#include "data/filter_expression.h"
#include "dataset_fixture.h"
#include "support/error_text.h"

using namespace mero;
using namespace mero::base::literals;
using test::I;
using test::N;
using test::T;

namespace {

using Error = data::EDatabaseError;
using Names = std::vector<std::string>;

// Six rows over text, integer, float, date, boolean and a name with a blank.
void Fill(test::MemDataSet& ds) {
  const double day = base::EncodeDate(2024, 1, 10);
  ds.OpenWith({"ID,3,0", "NAME,1,20", "PRICE,6,0", "DTIN,9,0", "OK,5,0", "MY FIELD,1,5"},
              {{I(1), T("Toner black"), test::F(10.5), base::Variant::Date(day), base::Variant::Boolean(true), T("x")},
               {I(2), T("toner cyan"), test::F(20), base::Variant::Date(day + 1), base::Variant::Boolean(false), N()},
               {I(3), T("Drum"), N(), N(), N(), T("y")},
               {I(4), T("Τόνερ"_gr), test::F(-1), base::Variant::Date(day + 30), base::Variant::Boolean(true), T("x")},
               {I(5), N(), test::F(0.25), base::Variant::Date(day), base::Variant::Boolean(false), T("O'K")},
               {I(6), T("Ink*"), test::F(7), base::Variant::Date(day - 1), base::Variant::Boolean(true), T("")}});
}

Names Matching(test::MemDataSet& ds, const std::string& filter, unsigned options = 0) {
  ds.SetFilterOptions(options);
  ds.SetFilter(filter);
  ds.SetFiltered(true);
  Names ids = test::Column(ds, "ID");
  ds.SetFiltered(false);
  return ids;
}

TEST(FilterExpression, SelectsTheRowsThatPass) {
  test::MemDataSet ds;
  Fill(ds);
  struct Case {
    std::string filter;
    unsigned options;
    Names ids;
  };
  const Case cases[] = {
      {"ID = 3", 0, {"3"}},
      {"ID <> 3", 0, {"1", "2", "4", "5", "6"}},
      {"ID < 3", 0, {"1", "2"}},
      {"ID <= 3", 0, {"1", "2", "3"}},
      {"ID > 4", 0, {"5", "6"}},
      {"ID >= 4", 0, {"4", "5", "6"}},
      {"id>=4 AND id<6", 0, {"4", "5"}},
      {"PRICE > 10", 0, {"1", "2"}},
      {"PRICE < 0", 0, {"4"}},
      {"PRICE = 0.25", 0, {"5"}},
      {"PRICE = '0,25'", 0, {"5"}},
      {"PRICE > -1.5 AND PRICE < 1", 0, {"4", "5"}},
      {"NAME = 'Drum'", 0, {"3"}},
      {"NAME = 'drum'", 0, {}},
      {"NAME = 'drum'", data::foCaseInsensitive, {"3"}},
      {"NAME > 'T'", 0, {"1", "2", "4"}},  // bytes: 't' and Greek letters after 'T'
      {"NAME = 'Toner*'", 0, {"1"}},
      {"NAME = 'toner*'", data::foCaseInsensitive, {"1", "2"}},
      {"NAME = '*er*'", 0, {"1", "2"}},
      {"NAME <> '*e*'", 0, {"3", "4", "6"}},
      {"NAME = 'Ink*'", data::foNoPartialCompare, {"6"}},
      {"NAME = 'τόνερ'"_gr, data::foCaseInsensitive, {"4"}},
      {"NAME IS NULL", 0, {"5"}},
      {"NAME IS NOT NULL AND PRICE IS NULL", 0, {"3"}},
      {"NOT NAME = 'Drum'", 0, {"1", "2", "4", "5", "6"}},  // NOT of a NULL comparison is true
      {"DTIN = '10/01/2024'", 0, {"1", "5"}},
      {"DTIN > '10/01/24'", 0, {"2", "4"}},
      {"DTIN IS NULL OR DTIN < '10/01/2024'", 0, {"3", "6"}},
      {"OK", 0, {"1", "4", "6"}},
      {"NOT OK", 0, {"2", "3", "5"}},
      {"OK = FALSE", 0, {"2", "5"}},
      {"OK = 'True' AND ID > 1", 0, {"4", "6"}},
      {"[MY FIELD] = 'x'", 0, {"1", "4"}},
      {"[MY FIELD] = 'O''K'", 0, {"5"}},
      {"[MY FIELD] IS NULL", 0, {"2"}},  // an empty text from the server is a text
      {"[MY FIELD] = ''", 0, {"6"}},
      {"ID = 1 OR ID = 2 AND NAME = 'Drum'", 0, {"1"}},
      {"(ID = 1 OR ID = 2) AND NAME = 'toner cyan'", 0, {"2"}},
      {"NOT (ID > 2 OR ID < 2)", 0, {"2"}},
      {"id = 2 or ID = 6", 0, {"2", "6"}},
      {"1 = 1", 0, {"1", "2", "3", "4", "5", "6"}},
      {"TRUE AND ID = 6", 0, {"6"}},
      {"ID = ID AND PRICE >= ID", 0, {"1", "2", "6"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.filter);
    EXPECT_EQ(Matching(ds, c.filter, c.options), c.ids);
  }
}

TEST(FilterExpression, MalformedTextsRaiseWithThePosition) {
  struct Case {
    std::string filter;
    std::string error;
  };
  const Case cases[] = {
      {"ID =", "Filter expression error: unexpected end of expression at position 5"},
      {"ID = 1 AND", "Filter expression error: unexpected end of expression at position 11"},
      {"(ID = 1", "Filter expression error: missing ')' at position 8"},
      {"ID = 1)", "Filter expression error: unexpected ')' at position 7"},
      {"NAME = 'abc", "Filter expression error: unterminated text at position 8"},
      {"[NAME = 1", "Filter expression error: unterminated field name at position 1"},
      {"[ ] = 1", "Filter expression error: empty field name at position 1"},
      {"ID == 1", "Filter expression error: unexpected '=' at position 5"},
      {"ID = 1 # 2", "Filter expression error: invalid character '#' at position 8"},
      {"ID IS 1", "Filter expression error: unexpected '1' at position 7"},
      {"ID = NULL", "Filter expression error: unexpected 'NULL' at position 6"},
      {"'a'", "Filter expression error: unexpected end of expression at position 4"},
      {"ID = 12ab", "Filter expression error: invalid number at position 6"},
      {"AND", "Filter expression error: unexpected 'AND' at position 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.filter);
    EXPECT_EQ(test::ErrorOf<Error>([&] { data::TLinkFilterTreeReader tree(c.filter); }), c.error);
  }
}

// The tree is walked recursively: a text nested or chained beyond what any
// filter needs is refused instead of exhausting the stack.
TEST(FilterExpression, NestingAndOperatorsAreBounded) {
  auto repeat = [](const std::string& piece, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += piece;
    return out;
  };
  struct Case {
    std::string filter;
    std::string error;  // empty: accepted
  };
  const Case cases[] = {
      {repeat("(", 100) + "ID = 1" + repeat(")", 100), ""},
      {repeat("NOT ", 100) + "OK", ""},
      {"ID = 1" + repeat(" OR ID = 1", 1000), ""},
      {repeat("(", 101) + "ID = 1" + repeat(")", 101),
       "Filter expression error: expression nested too deeply at position 101"},
      {repeat("NOT ", 101) + "OK", "Filter expression error: expression nested too deeply at position 401"},
      {repeat("(NOT ", 60) + "OK" + repeat(")", 60),
       "Filter expression error: expression nested too deeply at position 251"},
      {"ID = 1" + repeat(" OR ID = 1", 1001), "Filter expression error: too many operators at position 10008"},
      {repeat("(", 200000), "Filter expression error: expression nested too deeply at position 101"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.filter.substr(0, 40));
    if (c.error.empty()) {
      EXPECT_NO_THROW(data::TLinkFilterTreeReader tree(c.filter));
    } else {
      EXPECT_EQ(test::ErrorOf<Error>([&] { data::TLinkFilterTreeReader tree(c.filter); }), c.error);
    }
  }
}

TEST(FilterExpression, BindingChecksFieldsAndLiterals) {
  test::MemDataSet ds;
  Fill(ds);
  struct Case {
    std::string filter;
    std::string error;
  };
  const Case cases[] = {
      {"COLOUR = 'x'", "M:Field 'COLOUR' not found"},
      {"ID = 'abc'", "Filter expression error: 'abc' is not a valid value for field 'ID'"},
      {"DTIN = '31/02/2024'", "Filter expression error: '31/02/2024' is not a valid value for field 'DTIN'"},
      {"OK = 'perhaps'", "Filter expression error: 'perhaps' is not a valid value for field 'OK'"},
      {"NAME", "Filter expression error: field 'NAME' is not a boolean field at position 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.filter);
    EXPECT_EQ(test::ErrorOf<Error>([&] { ds.SetFilter(c.filter); }), c.error);
    EXPECT_EQ(ds.Filter(), "");
  }
  // Set before the fields exist, a bad name fails the open.
  test::MemDataSet later("LATER");
  later.SetFilter("COLOUR = 'x'");
  later.SetFiltered(true);
  EXPECT_EQ(test::ErrorOf<Error>([&] { later.OpenWith({"ID,3,0"}, {}); }), "LATER:Field 'COLOUR' not found");
  EXPECT_FALSE(later.Active());
}

TEST(FilterExpression, ABoundTreeFollowsANewFieldList) {
  test::MemDataSet ds;
  ds.SetFilter("CODE = 'b'");
  ds.SetFiltered(true);
  ds.OpenWith({"ID,3,0", "CODE,1,3"}, {{I(1), T("a")}, {I(2), T("b")}});
  EXPECT_EQ(test::Column(ds, "ID"), (Names{"2"}));
  ds.OpenWith({"CODE,1,3", "X,3,0", "ID,3,0"}, {{T("b"), I(0), I(7)}, {T("c"), I(0), I(8)}});
  EXPECT_EQ(test::Column(ds, "ID"), (Names{"7"}));
}

}  // namespace
