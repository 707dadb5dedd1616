#include <gtest/gtest.h>

#include <string>
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

// Rows in bookmark order 0..6; TAG tells them apart.
void Fill(test::MemDataSet& ds) {
  ds.OpenWith({"TAG,1,3", "NAME,1,10", "QTY,3,0", "W,4,0", "OK,5,0", "PRICE,6,0", "BIG,25,0"},
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
  for (const Case& c : cases) {
    SCOPED_TRACE(c.names.empty() ? std::string("none") : c.names[0]);
    test::MemDataSet ds;
    Fill(ds);
    ds.SortOnFields(c.names, c.descending);
    EXPECT_EQ(test::Column(ds, "TAG"), c.tags);
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
  EXPECT_EQ(test::ErrorOf<Error>([&] { ds.SortOnFields({"QTY", "NAME"}, {false}); }),
            "FieldNames and Descending Values must both be equal in count!");
  EXPECT_EQ(test::ErrorOf<Error>([&] { ds.SortOnFields({"QTY", "COLOUR"}, {false, false}); }),
            "COLOUR not found.");
  EXPECT_EQ(test::Column(ds, "TAG"), before);

  test::MemDataSet empty;
  empty.OpenWith({"A,3,0"}, {});
  empty.SortOnFields({"B", "C"}, {false});  // an empty dataset is left alone
  EXPECT_TRUE(empty.IsEmpty());
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
