#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/date_time.h"
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

const std::vector<std::string> kFields = {"ID,3,0", "NAME,1,20", "UNIT,1,5"};

// Five rows: ids 10..50; units A, B, A, NULL, b.
void Fill(test::MemDataSet& ds) {
  ds.OpenWith(kFields, {{I(10), T("one"), T("A")},
                        {I(20), T("two"), T("B")},
                        {I(30), T("three"), T("A")},
                        {I(40), T("four"), N()},
                        {I(50), T("five"), T("b")}});
}

TEST(Navigation, FirstNextPriorLastWithBofAndEof) {
  test::MemDataSet ds;
  Fill(ds);
  EXPECT_TRUE(ds.Bof());
  EXPECT_FALSE(ds.Eof());
  EXPECT_EQ(ds.RecNo(), 1);
  ds.Prior();
  EXPECT_TRUE(ds.Bof());
  EXPECT_EQ(ds.RecNo(), 1);
  ds.Last();
  EXPECT_TRUE(ds.Eof());
  EXPECT_EQ(ds.FieldByName("ID").AsInteger(), 50);
  ds.Next();
  EXPECT_TRUE(ds.Eof());
  EXPECT_EQ(ds.RecNo(), 5);
  EXPECT_EQ(ds.MoveBy(-3), -3);
  EXPECT_EQ(ds.FieldByName("ID").AsInteger(), 20);
  EXPECT_EQ(ds.MoveBy(10), 3);
  EXPECT_TRUE(ds.Eof());
  ds.SetRecNo(3);
  EXPECT_EQ(ds.FieldByName("NAME").AsString(), "three");
  ds.SetRecNo(9);  // out of range: stays
  EXPECT_EQ(ds.RecNo(), 3);

  test::MemDataSet empty;
  empty.OpenWith(kFields, {});
  EXPECT_TRUE(empty.Bof());
  EXPECT_TRUE(empty.Eof());
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_EQ(empty.RecNo(), 0);
  EXPECT_TRUE(empty.FieldByName("ID").IsNull());
}

TEST(Navigation, TheRecordFilterSkipsRowsButNotTheRecordCount) {
  test::MemDataSet ds;
  Fill(ds);
  ds.SetFilter("UNIT = 'A'");
  EXPECT_EQ(test::Column(ds, "ID"), (Names{"10", "20", "30", "40", "50"}));  // not yet filtered
  ds.SetFiltered(true);
  EXPECT_EQ(test::Column(ds, "ID"), (Names{"10", "30"}));
  EXPECT_EQ(ds.RecordCount(), 5);
  ds.Last();
  EXPECT_EQ(ds.RecNo(), 3);
  ds.Prior();
  EXPECT_EQ(ds.RecNo(), 1);
  ds.SetRecNo(2);  // row 2 fails: the cursor moves on to the next that passes
  EXPECT_EQ(ds.RecNo(), 3);

  ds.SetFilterOptions(data::foCaseInsensitive);
  EXPECT_EQ(test::Column(ds, "ID"), (Names{"10", "30"}));
  ds.SetFilter("UNIT = 'b'");
  EXPECT_EQ(test::Column(ds, "ID"), (Names{"20", "50"}));

  // The event runs after the expression, on the row under test.
  std::vector<int> seen;
  ds.OnFilterRecord = [&](bool& accept) {
    seen.push_back(ds.FieldByName("ID").AsInteger());
    EXPECT_EQ(ds.State(), data::dsFilter);
    accept = ds.FieldByName("ID").AsInteger() > 20;
  };
  ds.Refresh();
  EXPECT_EQ(test::Column(ds, "ID"), (Names{"50"}));
  EXPECT_EQ(ds.State(), data::dsBrowse);
  for (int id : seen) EXPECT_TRUE(id == 20 || id == 50) << id;

  ds.SetFilter("");
  EXPECT_EQ(test::Column(ds, "ID"), (Names{"30", "40", "50"}));
  ds.OnFilterRecord = nullptr;
  ds.SetFilter("ID > 100");
  EXPECT_TRUE(ds.IsEmpty());
  EXPECT_TRUE(ds.Bof() && ds.Eof());
  ds.SetFiltered(false);
  EXPECT_FALSE(ds.IsEmpty());
}

TEST(Navigation, ABadFilterIsRefusedWhenSetAndTheOldOneStays) {
  test::MemDataSet ds;
  Fill(ds);
  ds.SetFilter("ID >= 30");
  ds.SetFiltered(true);
  EXPECT_EQ(test::ErrorOf<Error>([&] { ds.SetFilter("ID >= "); }),
            "Filter expression error: unexpected end of expression at position 7");
  EXPECT_EQ(test::ErrorOf<Error>([&] { ds.SetFilter("PRICE > 1"); }), "M:Field 'PRICE' not found");
  EXPECT_EQ(ds.Filter(), "ID >= 30");
  EXPECT_EQ(test::Column(ds, "ID"), (Names{"30", "40", "50"}));
}

TEST(Navigation, AnEditedRowThatNoLongerPassesTheFilterIsLeft) {
  test::MemDataSet ds;
  Fill(ds);
  ds.SetFilter("UNIT = 'A'");
  ds.SetFiltered(true);
  ds.First();
  ds.Edit();
  ds.FieldByName("UNIT").SetAsString("C");
  ds.Post();
  EXPECT_EQ(ds.FieldByName("ID").AsInteger(), 30);
  EXPECT_EQ(test::Column(ds, "ID"), (Names{"30"}));
}

TEST(Navigation, InsertGoesBeforeTheCurrentRowAppendAtTheEnd) {
  test::MemDataSet ds;
  Fill(ds);
  ds.SetRecNo(2);
  ds.Insert();
  EXPECT_EQ(ds.State(), data::dsInsert);
  EXPECT_TRUE(ds.FieldByName("ID").IsNull());
  ds.FieldByName("ID").SetAsInteger(15);
  ds.Post();
  EXPECT_EQ(ds.RecNo(), 2);
  ds.Append();
  ds.FieldByName("ID").SetAsInteger(99);
  ds.Post();
  EXPECT_EQ(ds.RecNo(), 7);
  EXPECT_EQ(test::Column(ds, "ID"), (Names{"10", "15", "20", "30", "40", "50", "99"}));
  // An insert left without a change is dropped when the cursor moves on.
  ds.First();
  ds.Insert();
  ds.Next();
  EXPECT_EQ(ds.RecordCount(), 7);
  EXPECT_EQ(ds.State(), data::dsBrowse);
}

TEST(Navigation, DeleteKeepsThePositionOrMovesToTheNewLastRow) {
  test::MemDataSet ds;
  Fill(ds);
  ds.SetRecNo(2);
  ds.Delete();
  EXPECT_EQ(ds.RecNo(), 2);
  EXPECT_EQ(ds.FieldByName("ID").AsInteger(), 30);
  ds.Last();
  ds.Delete();
  EXPECT_EQ(ds.RecNo(), 3);
  EXPECT_EQ(ds.FieldByName("ID").AsInteger(), 40);
  EXPECT_EQ(test::Column(ds, "ID"), (Names{"10", "30", "40"}));
  while (!ds.IsEmpty()) ds.Delete();
  EXPECT_EQ(test::ErrorOf<Error>([&] { ds.Delete(); }), "Cannot perform this operation on an empty dataset");
}

TEST(Navigation, EditingAnEmptyDatasetInserts) {
  test::MemDataSet ds;
  ds.OpenWith(kFields, {});
  ds.Edit();
  EXPECT_EQ(ds.State(), data::dsInsert);
  ds.FieldByName("ID").SetAsInteger(1);
  ds.Post();
  EXPECT_EQ(ds.RecordCount(), 1);
  ds.SetReadOnly(true);
  EXPECT_EQ(test::ErrorOf<Error>([&] { ds.Edit(); }), "Cannot modify a read-only dataset");
  EXPECT_EQ(test::ErrorOf<Error>([&] { ds.Append(); }), "Cannot modify a read-only dataset");
  EXPECT_EQ(test::ErrorOf<Error>([&] { ds.Delete(); }), "Cannot modify a read-only dataset");
}

TEST(Bookmarks, GoToCompareAndMissingIds) {
  test::MemDataSet ds;
  Fill(ds);
  ds.SetRecNo(4);
  const data::TBookmark fourth = ds.GetBookmark();
  ASSERT_TRUE(fourth.has_value());
  ds.First();
  const data::TBookmark first = ds.GetBookmark();
  ds.GotoBookmark(fourth);
  EXPECT_EQ(ds.FieldByName("ID").AsInteger(), 40);
  EXPECT_EQ(data::TDataSet::CompareBookmarks(first, fourth), -1);
  EXPECT_EQ(data::TDataSet::CompareBookmarks(fourth, first), 1);
  EXPECT_EQ(data::TDataSet::CompareBookmarks(fourth, fourth), 0);
  EXPECT_EQ(data::TDataSet::CompareBookmarks(std::nullopt, first), -1);
  EXPECT_EQ(data::TDataSet::CompareBookmarks(first, std::nullopt), 1);
  EXPECT_EQ(data::TDataSet::CompareBookmarks(std::nullopt, std::nullopt), 0);

  ds.Delete();
  EXPECT_FALSE(ds.BookmarkValid(fourth));
  EXPECT_EQ(test::ErrorOf<Error>([&] { ds.GotoBookmark(fourth); }), "Bookmark not found");
  EXPECT_EQ(ds.FieldByName("ID").AsInteger(), 50);

  // A new row never takes the id of a deleted one.
  ds.Append();
  ds.FieldByName("ID").SetAsInteger(60);
  ds.Post();
  const data::TBookmark added = ds.GetBookmark();
  EXPECT_NE(added, fourth);
  EXPECT_FALSE(ds.BookmarkValid(fourth));
  EXPECT_EQ(*added, 5);  // ids 0..4 were handed to the five rows of the open
}

TEST(Locate, FindsTheFirstMatchInTheCurrentOrder) {
  test::MemDataSet ds;
  Fill(ds);
  struct Case {
    std::string fields;
    std::vector<base::Variant> values;
    unsigned options;
    int id;  // 0: not found
  };
  const Case cases[] = {
      {"ID", {I(30)}, 0, 30},
      {"ID", {T("30")}, 0, 30},
      {"ID", {T("x")}, 0, 0},
      {"NAME", {T("three")}, 0, 30},
      {"NAME", {T("THREE")}, 0, 0},
      {"NAME", {T("THREE")}, data::loCaseInsensitive, 30},
      {"NAME", {T("f")}, data::loPartialKey, 40},
      {"NAME", {T("FI")}, data::loPartialKey, 0},
      {"NAME", {T("FI")}, data::loPartialKey | data::loCaseInsensitive, 50},
      {"NAME", {T("thre")}, 0, 0},
      {"UNIT;NAME", {T("A"), T("three")}, 0, 30},
      {" unit ; id ", {T("b"), I(50)}, 0, 50},
      {"UNIT", {N()}, 0, 40},
      {"UNIT", {T("a")}, data::loCaseInsensitive, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fields + " " + std::to_string(c.id));
    ds.SetRecNo(2);
    const bool found = ds.Locate(c.fields, c.values, c.options);
    EXPECT_EQ(found, c.id != 0);
    EXPECT_EQ(ds.FieldByName("ID").AsInteger(), c.id != 0 ? c.id : 20);
  }
  EXPECT_EQ(test::ErrorOf<Error>([&] { ds.Locate("PRICE", I(1), 0); }), "M:Field 'PRICE' not found");
  EXPECT_EQ(test::ErrorOf<Error>([&] { ds.Locate("ID;NAME", I(1), 0); }),
            "Locate needs one key value for each key field");
}

TEST(Locate, KeysOfEveryKindMatchTheStoredValue) {
  const double day = base::EncodeDate(2024, 2, 29);
  const double noon = 0.5;
  test::MemDataSet ds;
  ds.OpenWith(
      {"TAG,1,2", "S,2,0", "W,4,0", "B,5,0", "L,25,0", "F,6,0", "D,9,0", "TM,10,0", "DT,11,0", "BY,12,3", "M,16,0"},
      {{T("a"), I(-1), I(1), base::Variant::Boolean(true), I(1), test::F(0), base::Variant::Date(day),
        base::Variant::Date(noon), base::Variant::Date(day + noon), base::Variant::Bytes("ab"),
        base::Variant::Bytes("memo a")},
       {T("b"), I(1), I(65535), base::Variant::Boolean(false), base::Variant::Int64(std::int64_t{1} << 40),
        test::F(1.5), base::Variant::Date(day + 1), base::Variant::Date(0.25), base::Variant::Date(day + 1 + noon),
        base::Variant::Bytes("abc"), base::Variant::Bytes("memo b")},
       {T("c"), N(), N(), N(), N(), N(), N(), N(), N(), N(), N()}});
  struct Case {
    std::string field;
    base::Variant value;
    std::string tag;  // "": not found
  };
  const Case cases[] = {
      {"S", I(1), "b"},
      {"S", I(-1), "a"},
      {"S", N(), "c"},
      {"W", I(65535), "b"},
      {"B", base::Variant::Boolean(false), "b"},
      {"B", T("True"), "a"},
      {"L", base::Variant::Int64(std::int64_t{1} << 40), "b"},
      {"L", I(1 << 10), ""},
      {"F", test::F(-0.0), "a"},
      {"F", T("1,5"), "b"},
      {"F", test::F(1.25), ""},
      {"D", base::Variant::Date(day + 1 + noon), "b"},  // a date field keeps the day only
      {"TM", base::Variant::Date(day + 0.25), "b"},     // a time field keeps the time only
      {"DT", base::Variant::Date(day + noon), "a"},
      {"DT", base::Variant::Date(day), ""},
      {"BY", base::Variant::Bytes("abc"), "b"},
      {"BY", base::Variant::Bytes("ab"), "a"},
      {"M", T("memo b"), "b"},
      {"M", T("memo"), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field + " " + c.tag);
    ds.Last();
    EXPECT_EQ(ds.Locate(c.field, c.value, 0), !c.tag.empty());
    EXPECT_EQ(ds.FieldByName("TAG").AsString(), c.tag.empty() ? "c" : c.tag);
  }
}

TEST(Locate, SkipsFilteredRowsAndLeavesAnEditFirst) {
  test::MemDataSet ds;
  Fill(ds);
  ds.SetFilter("ID > 10");
  ds.SetFiltered(true);
  EXPECT_TRUE(ds.Locate("UNIT", T("A"), 0));
  EXPECT_EQ(ds.FieldByName("ID").AsInteger(), 30);  // row 10 fails the filter
  ds.Edit();
  ds.FieldByName("NAME").SetAsString("τρία"_gr);
  EXPECT_TRUE(ds.Locate("NAME", T("ΤΡΊΑ"_gr), data::loCaseInsensitive));
  EXPECT_EQ(ds.State(), data::dsBrowse);
  EXPECT_EQ(ds.FieldByName("ID").AsInteger(), 30);
}

TEST(Observers, ViewsLearnWhatChangedAndNothingWhileDisabled) {
  test::MemDataSet ds;
  Fill(ds);
  test::RecordingObserver view;
  ds.AddObserver(&view);
  ds.Next();
  ds.Edit();
  ds.FieldByName("NAME").SetAsString("x");
  ds.Post();
  EXPECT_EQ(view.events, (Names{"moved:2", "state:2", "record", "record:NAME", "state:1", "changed"}));

  view.events.clear();
  ds.DisableControls();
  ds.DisableControls();
  ds.Last();
  ds.Locate("ID", I(10), 0);
  ds.EnableControls();
  EXPECT_EQ(view.events, (Names{"disabled"}));
  ds.EnableControls();
  EXPECT_EQ(view.events, (Names{"disabled", "enabled", "changed"}));
  EXPECT_FALSE(ds.ControlsDisabled());

  view.events.clear();
  ds.Locate("ID", I(30), 0);  // the scan is one refresh at the end
  EXPECT_EQ(view.events, (Names{"disabled", "enabled", "changed"}));
  ds.RemoveObserver(&view);
  ds.Close();
  EXPECT_EQ(view.events.size(), 3u);
}

TEST(Observers, ALocateWhoseScrollIsRefusedEnablesTheControlsAgain) {
  test::MemDataSet ds;
  Fill(ds);
  test::RecordingObserver view;
  ds.AddObserver(&view);
  ds.BeforeScroll = [] { throw Error("not now"); };
  EXPECT_EQ(test::ErrorOf<Error>([&] { ds.Locate("ID", I(30), 0); }), "not now");
  EXPECT_FALSE(ds.ControlsDisabled());
  EXPECT_EQ(view.events, (Names{"disabled", "enabled", "changed"}));
  EXPECT_EQ(ds.FieldByName("ID").AsInteger(), 10);
  ds.RemoveObserver(&view);
}

// A view that raises when it is told to re-read everything.
class RefusingView : public test::RecordingObserver {
 public:
  void DataSetChanged(data::TDataSet& ds) override {
    RecordingObserver::DataSetChanged(ds);
    throw Error("the view failed");
  }
};

TEST(Observers, TheDisabledControlsGuardEnablesOnEveryWayOut) {
  struct Case {
    std::string what;
    bool scopeFails;
    bool viewFails;
    std::string error;  // what the caller hears
  };
  const Case cases[] = {
      {"a scope that ends", false, false, "<no error>"},
      {"a scope that fails", true, false, "the scope failed"},
      {"a view that fails on the re-read", false, true, "the view failed"},
      {"both: the scope's error wins", true, true, "the scope failed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::MemDataSet ds;
    Fill(ds);
    test::RecordingObserver quiet;
    RefusingView refusing;
    test::RecordingObserver& view = c.viewFails ? refusing : quiet;
    ds.AddObserver(&view);
    const std::string error = test::ErrorOf<Error>([&] {
      data::DisabledControls outer(ds);
      {
        data::DisabledControls inner(ds);
        ds.Last();
      }
      EXPECT_TRUE(ds.ControlsDisabled());  // counted: the outer guard still holds
      if (c.scopeFails) throw Error("the scope failed");
    });
    EXPECT_EQ(error, c.error);
    EXPECT_FALSE(ds.ControlsDisabled());
    EXPECT_EQ(view.events, (Names{"disabled", "enabled", "changed"}));
    ds.RemoveObserver(&view);
  }
}

TEST(Events, RunInTheirOrder) {
  test::MemDataSet ds;
  std::vector<std::string> log;
  ds.BeforeOpen = [&] { log.push_back("BeforeOpen"); };
  ds.AfterOpen = [&] { log.push_back("AfterOpen"); };
  ds.BeforeScroll = [&] { log.push_back("BeforeScroll"); };
  ds.AfterScroll = [&] { log.push_back("AfterScroll"); };
  ds.BeforeInsert = [&] { log.push_back("BeforeInsert"); };
  ds.OnNewRecord = [&] {
    log.push_back("OnNewRecord");
    ds.FieldByName("UNIT").SetAsString("Z");
  };
  ds.AfterInsert = [&] { log.push_back("AfterInsert"); };
  ds.BeforePost = [&] { log.push_back("BeforePost"); };
  ds.AfterPost = [&] { log.push_back("AfterPost"); };
  ds.BeforeDelete = [&] { log.push_back("BeforeDelete"); };
  ds.AfterDelete = [&] { log.push_back("AfterDelete"); };
  ds.BeforeClose = [&] { log.push_back("BeforeClose"); };
  ds.AfterClose = [&] { log.push_back("AfterClose"); };
  Fill(ds);
  ds.Append();
  EXPECT_EQ(ds.FieldByName("UNIT").AsString(), "Z");
  ds.Post();
  ds.Delete();
  ds.Close();
  EXPECT_EQ(log, (Names{"BeforeOpen", "AfterOpen", "AfterScroll", "BeforeInsert", "BeforeScroll", "OnNewRecord",
                        "AfterInsert", "AfterScroll", "BeforePost", "AfterPost", "BeforeDelete", "BeforeScroll",
                        "AfterDelete", "AfterScroll", "BeforeClose", "AfterClose"}));
}

TEST(Events, PostErrorHandlerDecides) {
  test::MemDataSet ds;
  Fill(ds);
  ds.FieldByName("NAME").SetRequired(true);
  int calls = 0;
  data::TDataAction answer = data::TDataAction::daAbort;
  ds.OnPostError = [&](const Error& e, data::TDataAction& action) {
    ++calls;
    EXPECT_EQ(std::string(e.what()), "Field 'NAME' must have a value");
    action = answer;
    if (answer == data::TDataAction::daRetry) {
      ds.FieldByName("NAME").SetAsString("fixed");
    }
  };
  ds.Append();
  EXPECT_THROW(ds.Post(), data::EAbort);
  EXPECT_EQ(ds.State(), data::dsInsert);
  answer = data::TDataAction::daRetry;
  ds.Post();
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(ds.FieldByName("NAME").AsString(), "fixed");
  EXPECT_EQ(ds.RecordCount(), 6);
}

TEST(MasterLink, TheDetailShowsTheRowsOfTheMastersCurrentRow) {
  test::MemDataSet units("UNITS");
  units.OpenWith({"CODE,1,5", "DSC,1,20"}, {{T("a"), T("Unit A")}, {T("B"), T("Unit B")}, {T("C"), T("Unit C")}});
  test::MemDataSet detail("LINES");
  Fill(detail);
  detail.SetMasterFields("CODE");
  detail.SetDetailFilter("UNIT");
  detail.SetMasterSource(&units);
  EXPECT_EQ(test::Column(detail, "ID"), (Names{"10", "30"}));  // texts compared ignoring case
  units.Next();
  EXPECT_EQ(test::Column(detail, "ID"), (Names{"20", "50"}));
  EXPECT_EQ(detail.RecordCount(), 5);
  units.Next();
  EXPECT_TRUE(detail.IsEmpty());
  detail.Append();
  EXPECT_EQ(detail.FieldByName("UNIT").AsString(), "C");
  detail.FieldByName("ID").SetAsInteger(60);
  detail.Post();
  EXPECT_EQ(test::Column(detail, "ID"), (Names{"60"}));

  test::MemDataSet third("THIRD");
  third.SetMasterSource(&detail);
  EXPECT_EQ(test::ErrorOf<Error>([&] { units.SetMasterSource(&third); }), "Circular Reference to DataSource");
  EXPECT_EQ(test::ErrorOf<Error>([&] { detail.SetMasterSource(&detail); }), "Circular Reference to DataSource");
  EXPECT_EQ(detail.MasterSource(), &units);
}

TEST(MasterLink, TheDetailFollowsTheMasterOntoANewRowAndBack) {
  test::MemDataSet units("UNITS");
  units.OpenWith({"CODE,1,5"}, {{T("A")}, {T("B")}, {T("C")}});
  test::MemDataSet detail("LINES");
  Fill(detail);
  detail.SetMasterFields("CODE");
  detail.SetDetailFilter("UNIT");
  detail.SetMasterSource(&units);
  units.Next();
  EXPECT_EQ(test::Column(detail, "ID"), (Names{"20", "50"}));
  units.Insert();  // a unit of no code yet: the line without a unit
  EXPECT_EQ(test::Column(detail, "ID"), (Names{"40"}));
  units.Cancel();
  EXPECT_EQ(test::Column(detail, "ID"), (Names{"20", "50"}));
  units.Edit();
  units.FieldByName("CODE").SetAsString("a");
  units.Post();
  EXPECT_EQ(test::Column(detail, "ID"), (Names{"10", "30"}));
  units.Delete();  // the cursor moves on to C, which has no lines
  EXPECT_TRUE(detail.IsEmpty());
}

TEST(MasterLink, ADestroyedMasterIsForgotten) {
  test::MemDataSet detail("LINES");
  Fill(detail);
  {
    test::MemDataSet units("UNITS");
    units.OpenWith({"CODE,1,5"}, {{T("B")}});
    detail.SetMasterFields("CODE");
    detail.SetDetailFilter("UNIT");
    detail.SetMasterSource(&units);
    EXPECT_EQ(test::Column(detail, "ID"), (Names{"20", "50"}));
  }
  EXPECT_EQ(detail.MasterSource(), nullptr);
  EXPECT_EQ(test::Column(detail, "ID").size(), 5u);
}

}  // namespace
