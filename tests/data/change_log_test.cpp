#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dataset_fixture.h"
#include "support/error_text.h"

using namespace mero;
using test::I;
using test::N;
using test::T;

namespace {

using Names = std::vector<std::string>;
using data::TUpdateStatus;

const std::vector<std::string> kFields = {"ID,3,0", "NAME,1,10", "QTY,6,0", "BIG,25,0"};

// Three rows with bookmarks 0, 1, 2.
void Fill(test::AuditDataSet& ds) {
  ds.OpenWith(
      kFields,
      {{I(1), T("one"), test::F(1.5), I(10)}, {I(2), T("two"), N(), I(20)}, {I(3), T("three"), test::F(3), N()}});
}

// Each entry as "<delta> #<bookmark> <logged values joined by |>".
Names LogOf(const test::AuditDataSet& ds) {
  Names out;
  for (int e = 0; e < ds.ChangeCount(); ++e) {
    const std::optional<std::int32_t> id = ds.EntryBookmark(e);
    std::string line = std::to_string(ds.EntryDelta(e)) + " #" + (id ? std::to_string(*id) : "-") + " ";
    for (int i = 0; i < ds.FieldCount(); ++i) {
      const data::TField& f = ds.Fields(i);
      if (i > 0) line += "|";
      line += ds.LoggedValue(e, f).IsNull() ? "<null>" : ds.LoggedText(e, f);
    }
    out.push_back(line);
  }
  return out;
}

void Set(test::AuditDataSet& ds, const std::string& field, const std::string& text) {
  ds.FieldByName(field).SetAsString(text);
}

TEST(ChangeLog, UpkeepRules) {
  struct Case {
    std::string what;
    std::function<void(test::AuditDataSet&)> script;
    Names log;
  };
  const Case cases[] = {
      {"an edit logs the values before the first edit only",
       [](test::AuditDataSet& ds) {
         ds.SetRecNo(2);
         ds.Edit();
         Set(ds, "NAME", "zwei");
         ds.Post();
         ds.Edit();
         Set(ds, "NAME", "deux");
         Set(ds, "QTY", "2,5");
         ds.Post();
       },
       {"0 #1 2|two|<null>|20"}},
      {"a field set back to its value in the same edit leaves no entry",
       [](test::AuditDataSet& ds) {
         ds.Edit();
         Set(ds, "NAME", "uno");
         Set(ds, "NAME", "one");
         ds.Post();
       },
       {}},
      {"a later edit that restores every value removes the entry",
       [](test::AuditDataSet& ds) {
         ds.Edit();
         Set(ds, "NAME", "uno");
         Set(ds, "BIG", "11");
         ds.Post();
         ds.Edit();
         Set(ds, "NAME", "one");
         Set(ds, "BIG", "10");
         ds.Post();
       },
       {}},
      {"a post without a change leaves no entry",
       [](test::AuditDataSet& ds) {
         ds.Edit();
         ds.Post();
       },
       {}},
      {"NULL against a value is a change; a value back to NULL is none",
       [](test::AuditDataSet& ds) {
         ds.SetRecNo(2);
         ds.Edit();
         Set(ds, "QTY", "0");
         ds.Post();
         ASSERT_EQ(ds.ChangeCount(), 1);
         ds.Edit();
         ds.FieldByName("QTY").Clear();
         ds.Post();
       },
       {}},
      {"texts compare case-sensitively",
       [](test::AuditDataSet& ds) {
         ds.Edit();
         Set(ds, "NAME", "ONE");
         ds.Post();
       },
       {"0 #0 1|one|1,5|10"}},
      {"a cancel removes the entry its edit made",
       [](test::AuditDataSet& ds) {
         ds.Edit();
         Set(ds, "NAME", "uno");
         ASSERT_EQ(ds.ChangeCount(), 1);
         ds.Cancel();
       },
       {}},
      {"a cancel keeps the entry of an earlier edit",
       [](test::AuditDataSet& ds) {
         ds.Edit();
         Set(ds, "NAME", "uno");
         ds.Post();
         ds.Edit();
         Set(ds, "NAME", "eins");
         ds.Cancel();
       },
       {"0 #0 1|one|1,5|10"}},
      {"an insert logs the posted row and its new bookmark",
       [](test::AuditDataSet& ds) {
         ds.SetRecNo(2);
         ds.Insert();
         ASSERT_EQ(LogOf(ds), (Names{"2 #- <null>|<null>|<null>|<null>"}));
         Set(ds, "ID", "4");
         Set(ds, "NAME", "four");
         ds.Post();
       },
       {"2 #3 4|four|<null>|<null>"}},
      {"a cancelled insert leaves no entry",
       [](test::AuditDataSet& ds) {
         ds.Append();
         Set(ds, "ID", "9");
         ds.Cancel();
       },
       {}},
      {"an inserted row deleted before it was sent leaves no entry",
       [](test::AuditDataSet& ds) {
         ds.Append();
         Set(ds, "ID", "4");
         ds.Post();
         ds.Delete();
       },
       {}},
      {"an inserted row edited later is still an insert, with its new values",
       [](test::AuditDataSet& ds) {
         ds.Append();
         Set(ds, "ID", "4");
         ds.Post();
         ds.Edit();
         Set(ds, "NAME", "vier");
         ds.Post();
         ds.Edit();
         ds.Post();
       },
       {"2 #3 4|vier|<null>|<null>"}},
      {"a delete logs the row as it was",
       [](test::AuditDataSet& ds) {
         ds.Last();
         ds.Delete();
       },
       {"1 #2 3|three|3|<null>"}},
      {"a delete of a modified row keeps the values before the edit",
       [](test::AuditDataSet& ds) {
         ds.Edit();
         Set(ds, "NAME", "uno");
         ds.Post();
         ds.Delete();
       },
       {"1 #0 1|one|1,5|10"}},
      {"a delete in the middle of an edit drops the edit first",
       [](test::AuditDataSet& ds) {
         ds.Edit();
         Set(ds, "NAME", "uno");
         ds.Delete();
       },
       {"1 #0 1|one|1,5|10"}},
      {"entries stay in the order of the changes",
       [](test::AuditDataSet& ds) {
         ds.Last();
         ds.Edit();
         Set(ds, "QTY", "4");
         ds.Post();
         ds.First();
         ds.Delete();
         ds.Append();
         Set(ds, "ID", "5");
         ds.Post();
       },
       {"0 #2 3|three|3|<null>", "1 #0 1|one|1,5|10", "2 #3 5|<null>|<null>|<null>"}},
      {"umManual keeps no log",
       [](test::AuditDataSet& ds) {
         ds.SetUpdateMethod(data::umManual);
         ds.Edit();
         Set(ds, "NAME", "uno");
         ds.Post();
         ds.Append();
         Set(ds, "ID", "4");
         ds.Post();
         ds.First();
         ds.Delete();
         EXPECT_EQ(test::Column(ds, "NAME"), (Names{"two", "three", "<null>"}));
       },
       {}},
      {"switching to umManual drops the log",
       [](test::AuditDataSet& ds) {
         ds.Edit();
         Set(ds, "NAME", "uno");
         ds.Post();
         ds.SetUpdateMethod(data::umManual);
         ds.SetUpdateMethod(data::umAfterPost);
       },
       {}},
      {"the rows' own filling is not logged",
       [](test::AuditDataSet& ds) {
         ds.AppendRows(test::DecodedRows(kFields, {{I(7), T("seven"), N(), N()}}));
         EXPECT_EQ(ds.RecordCount(), 4);
       },
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::AuditDataSet ds;
    EXPECT_EQ(ds.UpdateMethod(), data::umCached);
    Fill(ds);
    c.script(ds);
    EXPECT_EQ(LogOf(ds), c.log);
  }
}

TEST(ChangeLog, LoggedValuesKeepTheirKindsForStatements) {
  test::AuditDataSet ds;
  Fill(ds);
  ds.Edit();
  ds.FieldByName("BIG").SetAsLargeInt(std::int64_t{1} << 40);
  ds.FieldByName("QTY").SetAsFloat(7.25);
  ds.Post();
  ASSERT_EQ(ds.ChangeCount(), 1);
  const base::Variant big = ds.LoggedValue(0, ds.FieldByName("BIG"));
  EXPECT_EQ(big.kind(), base::Variant::Kind::Int64);
  EXPECT_EQ(big.AsInt64(), 10);
  EXPECT_EQ(ds.LoggedValue(0, ds.FieldByName("QTY")).AsDouble(), 1.5);
  EXPECT_TRUE(ds.FieldChanged(0, ds.FieldByName("BIG")));
  EXPECT_TRUE(ds.FieldChanged(0, ds.FieldByName("QTY")));
  EXPECT_FALSE(ds.FieldChanged(0, ds.FieldByName("NAME")));
  // The log is a dataset of its own: the fields, then BookMark and Delta.
  const data::TLinkFieldList& logFields = ds.ChangeLog().FieldList();
  ASSERT_EQ(logFields.Count(), 6u);
  EXPECT_EQ(logFields[4].name, "BookMark");
  EXPECT_EQ(logFields[5].name, "Delta");
  EXPECT_EQ(logFields[3].type, link::ftLargeint);

  EXPECT_EQ(test::ErrorOf<data::EDatabaseError>([&] { ds.EntryDelta(1); }), "Change log entry 1 does not exist");
  EXPECT_EQ(test::ErrorOf<data::EDatabaseError>([&] { ds.LoggedValue(-1, ds.FieldByName("ID")); }),
            "Change log entry -1 does not exist");
  ds.ClearChangeLog();
  EXPECT_EQ(ds.ChangeCount(), 0);
  ds.Close();
  EXPECT_EQ(ds.ChangeCount(), 0);
  EXPECT_EQ(test::ErrorOf<data::EDatabaseError>([&] { ds.EntryBookmark(0); }), "Change log entry 0 does not exist");

  test::AuditDataSet never;  // never opened: an empty log, no entries
  EXPECT_EQ(never.ChangeCount(), 0);
  EXPECT_FALSE(never.ChangeLog().Active());
  EXPECT_EQ(never.UpdateStatus(), data::usUnmodified);
}

TEST(ChangeLog, UpdateStatusOfTheCurrentRow) {
  test::AuditDataSet ds;
  Fill(ds);
  struct Step {
    std::string what;
    std::function<void()> action;
    TUpdateStatus status;
  };
  const Step steps[] = {
      {"an untouched row", [] {}, data::usUnmodified},
      {"an edit with no change yet", [&] { ds.Edit(); }, data::usUnmodified},
      {"an edit with a change", [&] { Set(ds, "NAME", "uno"); }, data::usModified},
      {"the change taken back", [&] { Set(ds, "NAME", "one"); }, data::usUnmodified},
      {"changed and posted",
       [&] {
         Set(ds, "NAME", "uno");
         ds.Post();
       },
       data::usModified},
      {"a new edit of a modified row", [&] { ds.Edit(); }, data::usModified},
      {"every value back in that edit", [&] { Set(ds, "NAME", "one"); }, data::usUnmodified},
      {"posted so", [&] { ds.Post(); }, data::usUnmodified},
      {"an insert", [&] { ds.Insert(); }, data::usInserted},
      {"the insert posted",
       [&] {
         Set(ds, "ID", "0");
         ds.Post();
       },
       data::usInserted},
      {"an edit of the inserted row",
       [&] {
         ds.Edit();
         Set(ds, "NAME", "zero");
       },
       data::usInserted},
      {"the next row after a deleted one",
       [&] {
         ds.Post();
         ds.Last();
         ds.Delete();
       },
       data::usUnmodified},
      {"an edit without a log",
       [&] {
         ds.SetUpdateMethod(data::umManual);
         ds.First();
         ds.Edit();
         Set(ds, "NAME", "nada");
       },
       data::usUnmodified},
  };
  for (const Step& s : steps) {
    s.action();
    EXPECT_EQ(ds.UpdateStatus(), s.status) << s.what;
  }
  ds.Close();
  EXPECT_EQ(ds.UpdateStatus(), data::usUnmodified);
}

// Bookmarks 0..4 for ids 1..5.
void FillFive(test::AuditDataSet& ds) {
  ds.OpenWith(kFields, {{I(1), T("one"), test::F(1), I(10)},
                        {I(2), T("two"), test::F(2), I(20)},
                        {I(3), T("three"), N(), I(30)},
                        {I(4), T("four"), test::F(4), N()},
                        {I(5), T("five"), test::F(5), I(50)}});
}

// Every change kind, with the rows of ids 2..4 touched more than once.
void ChangeEverything(test::AuditDataSet& ds) {
  ds.SetRecNo(2);
  ds.Edit();
  Set(ds, "NAME", "zwei");
  ds.Post();
  ds.Edit();
  Set(ds, "QTY", "22");
  ds.Post();
  ds.SetRecNo(3);
  ds.Edit();
  Set(ds, "QTY", "33");
  ds.Post();
  ds.Delete();  // id 3, modified first
  ds.First();
  ds.Delete();  // id 1
  ds.SetRecNo(2);
  ds.Insert();  // before id 4
  Set(ds, "ID", "6");
  ds.Post();
  ds.Append();
  Set(ds, "ID", "7");
  ds.Post();
  ds.Edit();
  Set(ds, "NAME", "seven");
  ds.Post();
}

const Names kOriginal = {"1 one 1 10", "2 two 2 20", "3 three <null> 30", "4 four 4 <null>", "5 five 5 50"};

Names RowsOf(test::AuditDataSet& ds) {
  Names out;
  ds.First();
  while (!ds.Eof()) {
    std::string line;
    for (int i = 0; i < ds.FieldCount(); ++i) {
      const data::TField& f = ds.Fields(i);
      line += (i > 0 ? " " : "") + (f.IsNull() ? std::string("<null>") : f.AsString());
    }
    out.push_back(line);
    ds.Next();
  }
  return out;
}

TEST(ChangeLog, RevertAllRestoresRowsOrderAndBookmarks) {
  test::AuditDataSet ds;
  FillFive(ds);
  ChangeEverything(ds);
  EXPECT_EQ(RowsOf(ds), (Names{"2 zwei 22 20", "6 <null> <null> <null>", "4 four 4 <null>", "5 five 5 50",
                               "7 seven <null> <null>"}));
  ASSERT_EQ(ds.ChangeCount(), 5);
  ds.SetRecNo(4);  // id 5
  test::RecordingObserver view;
  ds.AddObserver(&view);
  ds.RevertAll();
  EXPECT_EQ(view.events, (Names{"changed"}));
  EXPECT_EQ(ds.FieldByName("ID").AsInteger(), 5);
  EXPECT_EQ(ds.ChangeCount(), 0);
  EXPECT_EQ(RowsOf(ds), kOriginal);
  std::vector<std::int32_t> ids;
  for (ds.First(); !ds.Eof(); ds.Next()) ids.push_back(*ds.GetBookmark());
  EXPECT_EQ(ids, (std::vector<std::int32_t>{0, 1, 2, 3, 4}));
  // New rows still never take an id handed out before.
  ds.Append();
  Set(ds, "ID", "8");
  ds.Post();
  EXPECT_EQ(*ds.GetBookmark(), 7);
  ds.RemoveObserver(&view);
}

TEST(ChangeLog, RevertAllDropsAPendingEditAndSeesFilteredRows) {
  test::AuditDataSet ds;
  FillFive(ds);
  ChangeEverything(ds);
  ds.SetFilter("ID >= 5");
  ds.SetFiltered(true);
  EXPECT_EQ(RowsOf(ds).size(), 3u);
  ds.First();
  ds.Edit();
  Set(ds, "NAME", "fuenf");
  ds.RevertAll();
  EXPECT_EQ(ds.State(), data::dsBrowse);
  EXPECT_EQ(ds.ChangeCount(), 0);
  EXPECT_TRUE(ds.Filtered());
  EXPECT_EQ(RowsOf(ds), (Names{"5 five 5 50"}));
  ds.SetFiltered(false);
  EXPECT_EQ(RowsOf(ds), kOriginal);
}

TEST(ChangeLog, RevertAllPutsADeletedRowBeforeTheFirstLargerBookmark) {
  test::AuditDataSet ds;
  FillFive(ds);
  ds.SortOnFields({"ID"}, {true});  // bookmarks 4 3 2 1 0
  ds.SetRecNo(3);                   // id 3, bookmark 2
  ds.Delete();
  EXPECT_EQ(ds.FieldByName("ID").AsInteger(), 2);
  ds.RevertAll();
  // The first row with a larger bookmark is the very first one.
  EXPECT_EQ(test::Column(ds, "ID"), (Names{"3", "5", "4", "2", "1"}));
}

TEST(ChangeLog, TheCursorStaysOnItsRowOrItsPositionWhenTheRowWent) {
  test::AuditDataSet ds;
  FillFive(ds);
  ChangeEverything(ds);
  ds.SetRecNo(2);  // the inserted id 6, which the revert removes
  ds.RevertAll();
  EXPECT_EQ(ds.RecNo(), 2);
  EXPECT_EQ(ds.FieldByName("ID").AsInteger(), 2);

  ChangeEverything(ds);
  ds.Last();  // the appended id 7
  ds.RevertAll();
  EXPECT_EQ(ds.FieldByName("ID").AsInteger(), 5);
  EXPECT_EQ(ds.RecNo(), 5);
}

TEST(ChangeLog, RevertRecordUndoesTheCurrentRowOnly) {
  test::AuditDataSet ds;
  FillFive(ds);
  ChangeEverything(ds);
  const Names before = LogOf(ds);
  ASSERT_EQ(before.size(), 5u);  // modified 2, deleted 3 and 1, inserted 6 and 7

  ds.First();  // id 2: modified twice
  ds.RevertRecord();
  EXPECT_EQ(ds.FieldByName("NAME").AsString(), "two");
  EXPECT_EQ(ds.FieldByName("QTY").AsFloat(), 2);
  EXPECT_EQ(LogOf(ds), (Names{before[1], before[2], before[3], before[4]}));

  ds.SetRecNo(3);  // id 4: not logged
  ds.RevertRecord();
  EXPECT_EQ(ds.ChangeCount(), 4);

  ds.Last();  // id 7: inserted
  ds.RevertRecord();
  EXPECT_EQ(test::Column(ds, "ID"), (Names{"2", "6", "4", "5"}));
  EXPECT_EQ(LogOf(ds), (Names{before[1], before[2], before[3]}));

  ds.SetRecNo(2);  // id 6, with a change in progress
  ds.Edit();
  Set(ds, "NAME", "sechs");
  ds.RevertRecord();
  EXPECT_EQ(ds.State(), data::dsBrowse);
  EXPECT_EQ(test::Column(ds, "ID"), (Names{"2", "4", "5"}));
  EXPECT_EQ(LogOf(ds), (Names{before[1], before[2]}));  // the two deletes stay
}

}  // namespace
