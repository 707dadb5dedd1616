#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "base/encoding.h"
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

// Rows in bookmark order 0..6; TAG tells them apart. A NAME of 600 bytes
// makes the sort compare rows in place instead of through kept keys.
void Fill(test::MemDataSet& ds, int nameSize = 10) {
  ds.OpenWith({"TAG,1,3", "NAME,1," + std::to_string(nameSize), "QTY,3,0", "W,4,0", "OK,5,0", "PRICE,6,0", "BIG,25,0"},
              {{T("r0"), T("beta"), I(2), I(65535), base::Variant::Boolean(true), test::F(1.5), I(5)},
               {T("r1"), T("Alpha"), I(-1), I(1), base::Variant::Boolean(false), test::F(-2), I(-5)},
               {T("r2"), N(), I(2), N(), N(), N(), N()},
               {T("r3"), T("alpha"), N(), I(0), base::Variant::Boolean(true), test::F(1.5),
                base::Variant::Int64(std::int64_t{1} << 40)},
               {T("r4"), T("BETA"), I(7), I(300), base::Variant::Boolean(false), test::F(0), I(0)},
               {T("r5"), N(), I(-1), I(1), base::Variant::Boolean(true), test::F(-2), I(-5)},
               {T("r6"), T("_x"), I(0), I(2), base::Variant::Boolean(false), test::F(100), I(1)}});
}

TEST(SortOnFields, OrdersByTypeWithNullsFirstAndTiesInBookmarkOrder) {
  struct Case {
    std::vector<std::string> names;
    std::vector<bool> descending;
    Names tags;
  };
  const Case cases[] = {
      // ASCII letters fold to capitals, so "_x" sorts after the letters.
      {{"NAME"}, {false}, {"r2", "r5", "r1", "r3", "r0", "r4", "r6"}},
      {{"NAME"}, {true}, {"r6", "r0", "r4", "r1", "r3", "r2", "r5"}},
      {{"QTY"}, {false}, {"r3", "r1", "r5", "r6", "r0", "r2", "r4"}},
      {{"QTY"}, {true}, {"r4", "r0", "r2", "r6", "r1", "r5", "r3"}},
      {{"W"}, {false}, {"r2", "r3", "r1", "r5", "r6", "r4", "r0"}},  // unsigned
      {{"OK"}, {false}, {"r2", "r1", "r4", "r6", "r0", "r3", "r5"}},
      {{"PRICE"}, {false}, {"r2", "r1", "r5", "r4", "r0", "r3", "r6"}},
      {{"BIG"}, {true}, {"r3", "r0", "r6", "r4", "r1", "r5", "r2"}},
      {{"QTY", "NAME"}, {false, true}, {"r3", "r1", "r5", "r6", "r0", "r2", "r4"}},
      {{"OK", "price"}, {true, false}, {"r5", "r0", "r3", "r1", "r4", "r6", "r2"}},
      {{}, {}, {"r0", "r1", "r2", "r3", "r4", "r5", "r6"}},
  };
  for (const int nameSize : {10, 600}) {
    for (const Case& c : cases) {
      SCOPED_TRACE((c.names.empty() ? std::string("none") : c.names[0]) + " " + std::to_string(nameSize));
      test::MemDataSet ds;
      Fill(ds, nameSize);
      ds.SortOnFields(c.names, c.descending);
      EXPECT_EQ(test::Column(ds, "TAG"), c.tags);
    }
  }
}

// Field writes and rows from the server hold no NaN or infinity, but a saved
// file may: the values are put in by patching a saved stream.
TEST(SortOnFields, FloatsOrderTotallyWithMinusZeroAsZeroAndNaNAboveAll) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<std::pair<std::string, double>> rows = {{"a", nan},  {"b", 0.0},  {"c", inf}, {"d", -0.0},
                                                            {"e", -inf}, {"f", -nan}, {"g", 0.0}, {"h", -1e-300}};
  for (const int nameSize : {10, 600}) {
    SCOPED_TRACE(nameSize);
    test::MemDataSet source;
    source.OpenWith({"TAG,1,2", "F,6,0", "NAME,1," + std::to_string(nameSize)}, {});
    for (std::size_t i = 0; i < rows.size(); ++i) {
      source.Append();
      source.FieldByName("TAG").SetAsString(rows[i].first);
      if (rows[i].first != "g") source.FieldByName("F").SetAsFloat(1000.0 + static_cast<double>(i));
      source.Post();
    }
    std::ostringstream out;
    source.SaveToStream(out);
    std::string bytes = out.str();
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const double marker = 1000.0 + static_cast<double>(i);
      const std::string from(reinterpret_cast<const char*>(&marker), sizeof marker);
      const std::string to(reinterpret_cast<const char*>(&rows[i].second), sizeof(double));
      const std::size_t at = bytes.find(from);
      if (at != std::string::npos) bytes.replace(at, from.size(), to);
    }
    test::MemDataSet ds;
    std::istringstream in(bytes);
    ds.LoadFromStream(in);
    ds.SortOnFields({"F", "NAME"}, {false, false});
    EXPECT_EQ(test::Column(ds, "TAG"), (Names{"g", "e", "h", "b", "d", "c", "a", "f"}));
    ds.SortOnFields({"F", "NAME"}, {true, false});
    EXPECT_EQ(test::Column(ds, "TAG"), (Names{"a", "f", "c", "b", "d", "h", "e", "g"}));
  }
}

TEST(SortOnFields, EqualKeysKeepTheirInsertionOrderAcrossSorts) {
  test::MemDataSet ds;
  Fill(ds);
  ds.SortOnFields({"PRICE"}, {true});
  ds.SortOnFields({"OK"}, {false});
  // Ties fall back to the bookmark, not to the order the previous sort left.
  EXPECT_EQ(test::Column(ds, "TAG"), (Names{"r2", "r1", "r4", "r6", "r0", "r3", "r5"}));
}

TEST(SortOnFields, GreekLettersCompareByTheirCodeOnly) {
  test::MemDataSet ds;
  ds.OpenWith({"NAME,1,10"}, {{T("β"_gr)}, {T("Α"_gr)}, {T("α"_gr)}, {T("b")}, {T("B")}, {T("a")}});
  ds.SortOnFields({"NAME"}, {false});
  EXPECT_EQ(test::Column(ds, "NAME"), (Names{"a", "b", "B", "Α"_gr, "α"_gr, "β"_gr}));
}

TEST(SortOnFields, TheCursorKeepsItsRowAndErrorsLeaveTheOrder) {
  test::MemDataSet ds;
  Fill(ds);
  ds.SetRecNo(5);  // r4
  ds.SortOnFields({"QTY"}, {true});
  EXPECT_EQ(ds.FieldByName("TAG").AsString(), "r4");
  EXPECT_EQ(ds.RecNo(), 1);

  const Names before = test::Column(ds, "TAG");
  EXPECT_EQ(test::ErrorOf<Error>([&] {
              ds.SortOnFields({"QTY", "NAME"}, {false});
            }),
            "FieldNames and Descending Values must both be equal in count!");
  EXPECT_EQ(test::ErrorOf<Error>([&] { ds.SortOnFields({"QTY", "COLOUR"}, {false, false}); }), "COLOUR not found.");
  EXPECT_EQ(test::Column(ds, "TAG"), before);

  test::MemDataSet empty;
  empty.OpenWith({"A,3,0"}, {});
  empty.SortOnFields({"B", "C"}, {false});  // an empty dataset is left alone
  EXPECT_TRUE(empty.IsEmpty());
}

TEST(SortOnFields, TextsThatShareTheirFirstBytesAndSignedSmallIntegers) {
  test::MemDataSet ds;
  ds.OpenWith({"TAG,1,2", "NAME,1,20", "S,2,0"}, {{T("a"), T("printer model 10"), I(-2)},
                                                  {T("b"), T("PRINTER MODEL 1"), I(300)},
                                                  {T("c"), T("printer model 2"), I(-300)},
                                                  {T("d"), T("printer"), I(0)},
                                                  {T("e"), T("Printer Model 10"), I(-2)},
                                                  {T("f"), T("printer\x01"), N()}});
  ds.SortOnFields({"NAME"}, {false});
  EXPECT_EQ(test::Column(ds, "TAG"), (Names{"d", "f", "b", "a", "e", "c"}));
  ds.SortOnFields({"NAME"}, {true});
  EXPECT_EQ(test::Column(ds, "TAG"), (Names{"c", "a", "e", "b", "f", "d"}));
  ds.SortOnFields({"S", "TAG"}, {false, true});
  EXPECT_EQ(test::Column(ds, "TAG"), (Names{"f", "c", "e", "a", "d", "b"}));
  ds.SortOnFields({"S"}, {true});
  EXPECT_EQ(test::Column(ds, "TAG"), (Names{"b", "d", "a", "e", "c", "f"}));
}

TEST(SortOnFields, DatesAndTimesCompareAsNumbers) {
  test::MemDataSet ds;
  ds.OpenWith({"TAG,1,2", "D,9,0", "T,10,0", "DT,11,0"},
              {{T("a"), base::Variant::Date(45000), base::Variant::Date(0.75), base::Variant::Date(45000.5)},
               {T("b"), base::Variant::Date(40000), base::Variant::Date(0.25), base::Variant::Date(45000.25)},
               {T("c"), base::Variant::Date(-10), base::Variant::Date(0.5), base::Variant::Date(-3.5)}});
  ds.SortOnFields({"D"}, {false});
  EXPECT_EQ(test::Column(ds, "TAG"), (Names{"c", "b", "a"}));
  ds.SortOnFields({"T"}, {false});
  EXPECT_EQ(test::Column(ds, "TAG"), (Names{"b", "c", "a"}));
  ds.SortOnFields({"DT"}, {true});
  EXPECT_EQ(test::Column(ds, "TAG"), (Names{"a", "b", "c"}));
}

}  // namespace
