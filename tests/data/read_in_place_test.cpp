// Reading rows where they are stored: a text field's text in place, and a
// copy of the rows a dataset shows that leaves its cursor, events and views
// alone.

#include <gtest/gtest.h>

#include "data/dataset_fixture.h"

using namespace mero;
using test::F;
using test::I;
using test::MemDataSet;
using test::N;
using test::T;

namespace {

const std::vector<std::string> kFields = {"ID,3,0", "NAME,1,6", "AMOUNT,6,0"};

TEST(ReadInPlace, StoredTextAtReadsTheRowsTextOnlyForTextFields) {
  MemDataSet ds;
  ds.OpenWith(kFields, {{I(1), T("alpha"), F(1.5)}, {I(2), N(), F(2)}, {I(3), T("toolong"), N()}});
  const data::TField& name = ds.FieldByName("NAME");
  struct Case {
    std::size_t pos;
    const data::TField* field;
    std::string_view text;
  } cases[] = {
      {0, &name, "alpha"},
      {1, &name, ""},                          // NULL
      {2, &name, "toolon"},                    // cut to the size
      {3, &name, ""},                          // past the end
      {0, &ds.FieldByName("AMOUNT"), ""},      // not a text field
  };
  for (const Case& c : cases) EXPECT_EQ(ds.StoredTextAt(c.pos, *c.field), c.text) << c.pos;
  EXPECT_EQ(ds.RecNo(), 1);
}

TEST(ReadInPlace, CopyShownRowsTakesTheFilteredRowsAndLeavesTheSourceAlone) {
  MemDataSet ds;
  ds.OpenWith(kFields, {{I(1), T("a"), F(1)}, {I(2), T("b"), F(2)}, {I(3), T("c"), F(4)}, {I(4), T("d"), F(8)}});
  ds.SetFilter("AMOUNT > 1");
  ds.SetFiltered(true);
  ds.Last();
  int scrolls = 0;
  ds.AfterScroll = [&scrolls] { ++scrolls; };
  test::RecordingObserver views;
  ds.AddObserver(&views);

  data::TLinkDataSet copy;
  copy.CopyShownRows(ds);

  EXPECT_EQ(test::Column(copy, "NAME"), (std::vector<std::string>{"b", "c", "d"}));
  EXPECT_EQ(test::Column(copy, "AMOUNT"), (std::vector<std::string>{"2", "4", "8"}));
  EXPECT_EQ(ds.FieldByName("ID").AsInteger(), 4);
  EXPECT_EQ(scrolls, 0);
  EXPECT_TRUE(views.events.empty());
  ds.RemoveObserver(&views);
}

TEST(ReadInPlace, CopyShownRowsLeavesAnInsertInProgressOut) {
  MemDataSet ds;
  ds.OpenWith(kFields, {{I(1), T("a"), F(1)}, {I(2), T("b"), F(2)}});
  ds.Append();
  ds.FieldByName("NAME").SetAsString("new");
  data::TLinkDataSet copy;
  copy.CopyShownRows(ds);
  EXPECT_EQ(test::Column(copy, "NAME"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(ds.State(), data::dsInsert);
  EXPECT_EQ(ds.FieldByName("NAME").AsString(), "new");
}

}  // namespace
