#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "base/text_routines.h"
#include "dataset_fixture.h"

using namespace mero;
using test::I;
using test::N;
using test::T;

namespace {

using Names = std::vector<std::string>;

const std::vector<std::string> kFields = {"ID,3,0", "NAME,1,20", "UNIT,1,5"};

std::string ShownRows(const std::vector<data::TBookmark>& rows) {
  std::string out;
  for (const data::TBookmark& b : rows) out += (b ? std::to_string(*b) : std::string("new")) + " ";
  return out;
}

// A view that follows the dataset the way a table model does: it keeps its
// own list of the rows it shows (by bookmark, the new row of an insert as
// none), their NAME, and the current row, and changes them only as the
// notifications say. After every notification its rows must be the rows the
// dataset says it shows; once an operation is over, the names and the
// current row must agree as well.
class MirrorView : public data::DataSetObserver {
 public:
  explicit MirrorView(data::TLinkCustomDataset& ds) : ds_(ds) {
    ReadAll();
    ds_.AddObserver(this);
  }
  ~MirrorView() override { ds_.RemoveObserver(this); }
  MirrorView(const MirrorView&) = delete;
  MirrorView& operator=(const MirrorView&) = delete;

  void DataSetChanged(data::TDataSet&) override {
    events.push_back("changed");
    ReadAll();
    Check();
  }
  void RowInserted(data::TDataSet&, int pos) override {
    events.push_back("inserted:" + std::to_string(pos));
    if (pos < 0 || pos > static_cast<int>(rows_.size())) {
      problems.push_back("inserted at " + std::to_string(pos) + " of " + std::to_string(rows_.size()));
      return;
    }
    rows_.insert(rows_.begin() + pos, RowAt(pos));
    names_.insert(names_.begin() + pos, NameAt(pos));
    if (current_ >= pos) ++current_;
    Check();
  }
  void RowRemoved(data::TDataSet&, int pos) override {
    events.push_back("removed:" + std::to_string(pos));
    if (pos < 0 || pos >= static_cast<int>(rows_.size())) {
      problems.push_back("removed " + std::to_string(pos) + " of " + std::to_string(rows_.size()));
      return;
    }
    rows_.erase(rows_.begin() + pos);
    names_.erase(names_.begin() + pos);
    if (current_ == pos) {
      current_ = kUnknown;  // until the cursor says where it went
    } else if (current_ > pos) {
      --current_;
    }
    Check();
  }
  void RowChanged(data::TDataSet&, int pos) override {
    events.push_back("row:" + std::to_string(pos));
    if (pos < 0 || pos >= static_cast<int>(rows_.size())) {
      problems.push_back("changed " + std::to_string(pos) + " of " + std::to_string(rows_.size()));
      return;
    }
    rows_[static_cast<std::size_t>(pos)] = RowAt(pos);
    names_[static_cast<std::size_t>(pos)] = NameAt(pos);
    Check();
  }
  void RecordChanged(data::TDataSet&, const data::TField* field) override {
    events.push_back(field != nullptr ? "record:" + field->FieldName() : "record");
    Check();
  }
  void CursorMoved(data::TDataSet&) override {
    current_ = ds_.CurrentVisiblePos();
    events.push_back("moved:" + std::to_string(current_));
    Check();
  }
  void StateChanged(data::TDataSet&) override {
    events.push_back("state:" + std::to_string(ds_.State()));
    Check();
  }
  void ControlsDisabled(data::TDataSet&) override { events.push_back("disabled"); }
  void ControlsEnabled(data::TDataSet&) override { events.push_back("enabled"); }

  // Once an operation is over.
  void CheckSettled(const std::string& step) {
    if (rows_ != DataSetRows()) {
      problems.push_back(step + ": shows " + ShownRows(rows_) + "but the dataset " + ShownRows(DataSetRows()));
    }
    std::vector<std::string> names;
    for (int p = 0; p < ds_.VisibleRowCount(); ++p) {
      names.push_back(NameAt(p));
      const std::optional<std::size_t> row = ds_.VisibleRow(p);
      const int back = row ? ds_.VisiblePosOf(*row) : ds_.InsertedRowPos();
      if (back != p) problems.push_back(step + ": row " + std::to_string(p) + " maps back to " + std::to_string(back));
    }
    if (names_ != names) problems.push_back(step + ": the names shown are not the rows' names");
    if (current_ != ds_.CurrentVisiblePos()) {
      problems.push_back(step + ": the current row shown is " + std::to_string(current_) + ", the dataset's " +
                         std::to_string(ds_.CurrentVisiblePos()));
    }
  }

  std::vector<std::string> events;
  std::vector<std::string> problems;

 private:
  static constexpr int kUnknown = -2;

  data::TBookmark RowAt(int pos) {
    const std::optional<std::size_t> row = ds_.VisibleRow(pos);
    return row ? ds_.BookmarkAt(*row) : std::nullopt;
  }
  std::string NameAt(int pos) {
    const std::optional<std::size_t> row = ds_.VisibleRow(pos);
    return row ? ds_.ValueAt(*row, ds_.FieldByName("NAME")).AsText() : "<new>";
  }
  std::vector<data::TBookmark> DataSetRows() {
    std::vector<data::TBookmark> rows;
    for (int p = 0; p < ds_.VisibleRowCount(); ++p) rows.push_back(RowAt(p));
    return rows;
  }
  void ReadAll() {
    rows_ = DataSetRows();
    names_.clear();
    for (int p = 0; p < static_cast<int>(rows_.size()); ++p) names_.push_back(NameAt(p));
    current_ = ds_.CurrentVisiblePos();
  }
  void Check() {
    if (rows_ != DataSetRows()) {
      problems.push_back("after " + events.back() + ": shows " + ShownRows(rows_) + "but the dataset " +
                         ShownRows(DataSetRows()));
    }
  }

  data::TLinkCustomDataset& ds_;
  std::vector<data::TBookmark> rows_;
  std::vector<std::string> names_;
  int current_ = -1;
};

// Five rows, ids 10..50; with the filter on, id 20 is hidden, so that every
// row after it stands one place higher than its list position.
void Fill(test::MemDataSet& ds, bool filtered) {
  ds.OpenWith(kFields, {{I(10), T("one"), T("A")},
                        {I(20), T("two"), T("B")},
                        {I(30), T("three"), T("A")},
                        {I(40), T("four"), N()},
                        {I(50), T("five"), T("b")}});
  if (filtered) {
    ds.SetFilter("ID <> 20");
    ds.SetFiltered(true);
  }
}

void Set(data::TDataSet& ds, const std::string& field, const base::Variant& value) {
  ds.FieldByName(field).SetValue(value);
}

TEST(RowNotifications, EachOperationTellsTheViewsWhichRowsChangedAndWhere) {
  using Op = std::function<void(test::MemDataSet&)>;
  struct Case {
    std::string what;
    bool filtered;
    Op op;
    Names events;
  };
  // The cursor starts on id 30: shown at 2, or at 1 with the filter on.
  const Op editPosted = [](test::MemDataSet& ds) {
    ds.Edit();
    Set(ds, "NAME", T("drei"));
    ds.Post();
  };
  const Op editHidden = [](test::MemDataSet& ds) {
    ds.Edit();
    Set(ds, "ID", I(20));
    ds.Post();
  };
  const Op editCancelled = [](test::MemDataSet& ds) {
    ds.Edit();
    Set(ds, "NAME", T("x"));
    ds.Cancel();
  };
  const Op insertPosted = [](test::MemDataSet& ds) {
    ds.Insert();
    Set(ds, "ID", I(35));
    ds.Post();
  };
  const Op insertHidden = [](test::MemDataSet& ds) {
    ds.Insert();
    Set(ds, "ID", I(20));
    ds.Post();
  };
  const Op insertCancelled = [](test::MemDataSet& ds) {
    ds.Insert();
    ds.Cancel();
  };
  const Op insertPostedByAMove = [](test::MemDataSet& ds) {
    ds.Insert();
    Set(ds, "ID", I(35));
    ds.Next();
  };
  const Op appendPosted = [](test::MemDataSet& ds) {
    ds.Append();
    Set(ds, "ID", I(60));
    ds.Post();
  };
  const Op deleted = [](test::MemDataSet& ds) { ds.Delete(); };
  const Op deletedWhileEditing = [](test::MemDataSet& ds) {
    ds.Edit();
    Set(ds, "NAME", T("x"));
    ds.Delete();
  };
  const Op lastDeleted = [](test::MemDataSet& ds) {
    ds.Last();
    ds.Delete();
  };
  const Op sorted = [](test::MemDataSet& ds) { ds.SortOnFields({"NAME"}, {false}); };
  const Op refreshed = [](test::MemDataSet& ds) { ds.Refresh(); };
  const Op postedWhileDisabled = [insertPosted](test::MemDataSet& ds) {
    data::DisabledControls quiet(ds);
    insertPosted(ds);
  };
  const Case cases[] = {
      {"an edit posted", false, editPosted, {"state:2", "record", "record:NAME", "state:1", "row:2"}},
      {"an edit posted", true, editPosted, {"state:2", "record", "record:NAME", "state:1", "row:1"}},
      {"an edit the filter refuses", false, editHidden, {"state:2", "record", "record:ID", "state:1", "row:2"}},
      {"an edit the filter refuses",
       true,
       editHidden,
       {"state:2", "record", "record:ID", "removed:1", "state:1", "moved:1"}},
      {"an edit cancelled", false, editCancelled, {"state:2", "record", "record:NAME", "state:1", "row:2"}},
      {"an edit cancelled", true, editCancelled, {"state:2", "record", "record:NAME", "state:1", "row:1"}},
      // The new row is shown before the current row until it is posted.
      {"an insert posted",
       false,
       insertPosted,
       {"inserted:2", "state:3", "moved:2", "record", "record:ID", "row:2", "state:1"}},
      {"an insert posted",
       true,
       insertPosted,
       {"inserted:1", "state:3", "moved:1", "record", "record:ID", "row:1", "state:1"}},
      {"an insert the filter refuses",
       false,
       insertHidden,
       {"inserted:2", "state:3", "moved:2", "record", "record:ID", "row:2", "state:1"}},
      {"an insert the filter refuses",
       true,
       insertHidden,
       {"inserted:1", "state:3", "moved:1", "record", "record:ID", "removed:1", "state:1", "moved:1"}},
      {"an insert cancelled",
       false,
       insertCancelled,
       {"inserted:2", "state:3", "moved:2", "record", "removed:2", "state:1", "moved:2"}},
      {"an insert cancelled",
       true,
       insertCancelled,
       {"inserted:1", "state:3", "moved:1", "record", "removed:1", "state:1", "moved:1"}},
      {"an insert posted by moving on",
       false,
       insertPostedByAMove,
       {"inserted:2", "state:3", "moved:2", "record", "record:ID", "row:2", "state:1", "moved:3"}},
      {"an insert posted by moving on",
       true,
       insertPostedByAMove,
       {"inserted:1", "state:3", "moved:1", "record", "record:ID", "row:1", "state:1", "moved:2"}},
      {"an append posted",
       false,
       appendPosted,
       {"inserted:5", "state:3", "moved:5", "record", "record:ID", "row:5", "state:1"}},
      {"an append posted",
       true,
       appendPosted,
       {"inserted:4", "state:3", "moved:4", "record", "record:ID", "row:4", "state:1"}},
      {"a delete", false, deleted, {"removed:2", "moved:2"}},
      {"a delete", true, deleted, {"removed:1", "moved:1"}},
      {"a delete while editing",
       false,
       deletedWhileEditing,
       {"state:2", "record", "record:NAME", "state:1", "row:2", "removed:2", "moved:2"}},
      {"a delete while editing",
       true,
       deletedWhileEditing,
       {"state:2", "record", "record:NAME", "state:1", "row:1", "removed:1", "moved:1"}},
      {"a delete of the last row", false, lastDeleted, {"moved:4", "removed:4", "moved:3"}},
      {"a delete of the last row", true, lastDeleted, {"moved:3", "removed:3", "moved:2"}},
      {"a sort", false, sorted, {"changed"}},
      {"a sort", true, sorted, {"changed"}},
      {"a refresh", true, refreshed, {"changed"}},
      {"rows changed while the controls are disabled", true, postedWhileDisabled, {"disabled", "enabled", "changed"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what + (c.filtered ? ", filter on" : ", filter off"));
    test::MemDataSet ds;
    Fill(ds, c.filtered);
    ASSERT_TRUE(ds.Locate("ID", I(30), 0));
    MirrorView view(ds);
    c.op(ds);
    EXPECT_EQ(view.events, c.events);
    view.CheckSettled(c.what);
    EXPECT_EQ(view.problems, Names{});
  }
}

TEST(VisibleRows, TheViewsRowsAreTheFilteredRowsAndTheNewRowWhereItWillStand) {
  test::MemDataSet ds;
  Fill(ds, true);
  auto rows = [&] {
    std::vector<std::string> out;
    for (int p = 0; p < ds.VisibleRowCount(); ++p) {
      const std::optional<std::size_t> row = ds.VisibleRow(p);
      out.push_back(row ? std::to_string(ds.ValueAt(*row, ds.FieldByName("ID")).AsInteger()) : "new");
    }
    return out;
  };
  EXPECT_EQ(rows(), (Names{"10", "30", "40", "50"}));
  EXPECT_EQ(ds.VisiblePosOf(1), -1);  // id 20, hidden
  EXPECT_EQ(ds.VisiblePosOf(3), 2);
  EXPECT_EQ(ds.VisiblePosOf(5), -1);  // no such row
  EXPECT_EQ(ds.VisibleRow(4), std::nullopt);
  EXPECT_EQ(ds.InsertedRowPos(), -1);
  EXPECT_EQ(ds.BookmarkAt(9), std::nullopt);

  ds.SetRecNo(4);  // id 40
  EXPECT_EQ(ds.BookmarkAt(3), ds.GetBookmark());
  ds.Insert();
  EXPECT_EQ(rows(), (Names{"10", "30", "new", "40", "50"}));
  EXPECT_EQ(ds.InsertedRowPos(), 2);
  EXPECT_EQ(ds.CurrentVisiblePos(), 2);
  EXPECT_EQ(ds.VisiblePosOf(3), 3);
  ds.Cancel();
  EXPECT_EQ(ds.CurrentVisiblePos(), 2);
  ds.Append();
  EXPECT_EQ(rows(), (Names{"10", "30", "40", "50", "new"}));
  ds.Cancel();

  // A filter that hides every row: the new row is all a view shows.
  ds.SetFilter("ID > 100");
  EXPECT_EQ(ds.VisibleRowCount(), 0);
  EXPECT_EQ(ds.CurrentVisiblePos(), -1);
  ds.Insert();
  EXPECT_EQ(rows(), (Names{"new"}));
  ds.Cancel();
  ds.SetFiltered(false);
  EXPECT_EQ(rows(), (Names{"10", "20", "30", "40", "50"}));
  ds.Close();
  EXPECT_EQ(ds.VisibleRowCount(), 0);
  EXPECT_EQ(ds.VisibleRow(0), std::nullopt);
  EXPECT_EQ(ds.CurrentVisiblePos(), -1);
}

// A long run of random operations, with the view checked after every
// notification and the dataset's rows against a filter worked out here.
struct WalkCase {
  std::string what;
  std::function<void(data::TLinkCustomDataset&)> setUp;
  // Whether a row passes, from its stored ID and UNIT.
  std::function<bool(const base::Variant& id, const base::Variant& unit)> passes;
};

template <typename DataSet>
void RandomWalk(const WalkCase& v, bool withLog) {
  SCOPED_TRACE(v.what + (withLog ? ", with a change log" : ""));
  DataSet ds;
  std::vector<test::Row> rows;
  const char* units[] = {"A", "B", "a"};
  for (int i = 0; i < 8; ++i) rows.push_back({I(10 * (i + 1)), T("n" + std::to_string(i)), T(units[i % 3])});
  ds.OpenWith(kFields, rows);
  test::MemDataSet master("UNITS");
  master.OpenWith({"CODE,1,5"}, {{T("A")}, {T("B")}});
  if (v.setUp) v.setUp(ds);
  if (v.what == "a master link") {
    ds.SetMasterFields("CODE");
    ds.SetDetailFilter("UNIT");
    ds.SetMasterSource(&master);
  }

  MirrorView view(ds);
  std::mt19937 rng(withLog ? 7 : 3);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  auto setSomething = [&] {
    switch (pick(3)) {
      case 0:
        Set(ds, "ID", I(1 + pick(99)));
        break;
      case 1:
        Set(ds, "NAME", T("r" + std::to_string(pick(1000))));
        break;
      default:
        if (pick(4) == 0) {
          ds.FieldByName("UNIT").Clear();
        } else {
          Set(ds, "UNIT", T(units[pick(3)]));
        }
        break;
    }
  };
  auto newRow = [&] {
    Set(ds, "ID", I(1 + pick(99)));
    if (pick(2) == 0) Set(ds, "UNIT", T(units[pick(3)]));
    Set(ds, "NAME", T("new" + std::to_string(pick(1000))));
  };
  const int kinds = withLog ? 17 : 15;
  for (int step = 0; step < 600; ++step) {
    const int kind = pick(kinds);
    const std::string name = "step " + std::to_string(step) + " kind " + std::to_string(kind);
    switch (kind) {
      case 0:
        ds.Next();
        break;
      case 1:
        ds.Prior();
        break;
      case 2:
        pick(2) == 0 ? ds.First() : ds.Last();
        break;
      case 3:
        ds.SetRecNo(1 + pick(std::max(1, ds.RecordCount())));
        break;
      case 4:
        ds.Edit();
        setSomething();
        ds.Post();
        break;
      case 5:
        ds.Edit();
        setSomething();
        ds.Cancel();
        break;
      case 6:
      case 7:
        kind == 6 ? ds.Insert() : ds.Append();
        newRow();
        view.CheckSettled(name + " (inserting)");
        ds.Post();
        break;
      case 8:
        ds.Insert();
        ds.Cancel();
        break;
      case 9:
        if (!ds.IsEmpty()) ds.Delete();
        break;
      case 10:
        if (!ds.IsEmpty()) {
          ds.Edit();
          setSomething();
          ds.Delete();
        }
        break;
      case 11:
        ds.Insert();
        newRow();
        pick(2) == 0 ? ds.Next() : ds.Prior();
        break;
      case 12:
        pick(2) == 0 ? ds.Refresh() : ds.SortOnFields({pick(2) == 0 ? "NAME" : "ID"}, {pick(2) == 0});
        break;
      case 13: {
        data::DisabledControls quiet(ds);
        ds.Append();
        newRow();
        ds.Post();
        if (!ds.IsEmpty()) ds.Delete();
        break;
      }
      case 14:
        ds.Edit();  // on an empty view this inserts
        setSomething();
        ds.CheckBrowseMode();
        break;
      default:
        if constexpr (std::is_base_of_v<data::TLink2CustomAuditDataSet, DataSet>) {
          kind == 15 ? ds.RevertRecord() : ds.RevertAll();
        }
        break;
    }
    view.CheckSettled(name);
    std::vector<data::TBookmark> expected;
    for (std::size_t pos = 0; pos < static_cast<std::size_t>(ds.RecordCount()); ++pos) {
      if (v.passes(ds.ValueAt(pos, ds.FieldByName("ID")), ds.ValueAt(pos, ds.FieldByName("UNIT")))) {
        expected.push_back(ds.BookmarkAt(pos));
      }
    }
    std::vector<data::TBookmark> shown;
    for (int p = 0; p < ds.VisibleRowCount(); ++p) shown.push_back(ds.BookmarkAt(*ds.VisibleRow(p)));
    if (shown != expected) view.problems.push_back(name + ": the dataset shows " + ShownRows(shown));
    if (!view.problems.empty()) break;
  }
  EXPECT_EQ(view.problems, Names{});
  EXPECT_GT(ds.RecordCount(), 0);
}

TEST(RowNotifications, AViewThatFollowsRowByRowStaysInStepThroughAnyRunOfOperations) {
  auto always = [](const base::Variant&, const base::Variant&) { return true; };
  auto filterText = [](const base::Variant& id, const base::Variant& unit) {
    // "ID > 30 AND UNIT <> 'B'": a comparison with NULL is false.
    return id.AsInteger() > 30 && !unit.IsNull() && unit.AsText() != "B";
  };
  auto byHandler = [](const base::Variant& id, const base::Variant&) { return id.AsInteger() % 3 != 0; };
  auto ofUnitA = [](const base::Variant&, const base::Variant& unit) {
    return !unit.IsNull() && base::UpperStr(unit.AsText()) == "A";
  };
  const WalkCase variants[] = {
      {"no filter", nullptr, always},
      {"a filter expression",
       [](data::TLinkCustomDataset& ds) {
         ds.SetFilter("ID > 30 AND UNIT <> 'B'");
         ds.SetFiltered(true);
       },
       filterText},
      {"an OnFilterRecord handler",
       [](data::TLinkCustomDataset& ds) {
         ds.OnFilterRecord = [&ds](bool& accept) { accept = ds.FieldByName("ID").AsInteger() % 3 != 0; };
         ds.SetFiltered(true);
       },
       byHandler},
      {"a master link", nullptr, ofUnitA},
  };
  for (const WalkCase& v : variants) {
    RandomWalk<test::MemDataSet>(v, false);
    RandomWalk<test::AuditDataSet>(v, true);
  }
}

}  // namespace
