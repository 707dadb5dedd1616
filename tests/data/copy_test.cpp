#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "base/date_time.h"
#include "base/encoding.h"
#include "dataset_fixture.h"
#include "support/error_text.h"
#include "support/temp_dir.h"

using namespace mero;
using namespace mero::base::literals;
using test::I;
using test::N;
using test::T;

namespace {

using Error = data::EDatabaseError;
using Names = std::vector<std::string>;
using Values = std::vector<base::Variant>;

const double kDay = base::EncodeDate(2024, 5, 17);

// One field of every kind a row holds.
const std::vector<std::string> kEveryType = {
    "S,2,0",   "W,4,0", "B,5,0",   "I,3,0",   "A,14,0",  "L,25,0",  "F,6,0",  "C,7,0",
    "BCD,8,0", "D,9,0", "TM,10,0", "DT,11,0", "BY,12,3", "TXT,1,8", "M,16,0", "BL,15,0",
};

Values EveryTypeRow(int n) {
  return {I(-n),
          I(60000 + n),
          base::Variant::Boolean(n % 2 == 0),
          I(n * 1000),
          I(n),
          base::Variant::Int64((std::int64_t{1} << 40) + n),
          test::F(n + 0.25),
          test::F(-n - 0.5),
          test::F(n * 1e6),
          base::Variant::Date(kDay + n),
          base::Variant::Date(base::EncodeTime(static_cast<std::uint16_t>(n % 24), 15, 30, 125)),
          base::Variant::Date(kDay + n + 0.75),
          base::Variant::Bytes(std::string("\0x", 2) + static_cast<char>(n)),
          T("Όνομα"_gr + std::to_string(n)),
          base::Variant::Bytes(std::string(200 + static_cast<std::size_t>(n), 'm')),
          base::Variant::Bytes(std::string("\0\1\2", 3) + std::to_string(n))};
}

// Every row's values and bookmark, in list order.
struct Snapshot {
  std::vector<Values> rows;
  std::vector<std::int32_t> bookmarks;
  friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

Snapshot Take(data::TDataSet& ds) {
  Snapshot s;
  for (ds.First(); !ds.Eof(); ds.Next()) {
    Values row;
    for (int i = 0; i < ds.FieldCount(); ++i) row.push_back(ds.Fields(i).Value());
    s.rows.push_back(std::move(row));
    s.bookmarks.push_back(*ds.GetBookmark());
  }
  return s;
}

// Rows of every type, one with every field NULL, one deleted (a gap in the
// bookmarks) and one inserted in the middle.
void FillEveryType(test::MemDataSet& ds) {
  ds.OpenWith(kEveryType, {EveryTypeRow(1), EveryTypeRow(2), Values(kEveryType.size(), N()), EveryTypeRow(4)});
  ds.SetRecNo(2);
  ds.Delete();
  ds.Insert();
  const Values row = EveryTypeRow(5);
  for (int i = 0; i < ds.FieldCount(); ++i) ds.Fields(i).SetValue(row[static_cast<std::size_t>(i)]);
  ds.Post();
}

TEST(LoadFromDataSet, CopiesTheSourcesFieldsAndVisibleRows) {
  test::MemDataSet source("SRC");
  source.OpenWith({"ID,3,0", "NAME,1,12", "AMT,8,0", "D,9,0", "COMM,16,0", "OK,5,0"},
                  {{I(1), T("ένα"_gr), test::F(1.25), base::Variant::Date(kDay), base::Variant::Bytes("memo one"), N()},
                   {I(2), N(), N(), N(), N(), base::Variant::Boolean(true)},
                   {I(3), T("three"), test::F(-3), base::Variant::Date(kDay + 1), N(), base::Variant::Boolean(false)}});
  source.SetFilter("ID <> 2");
  source.SetFiltered(true);
  source.Last();

  test::AuditDataSet copy("DST");
  copy.AddField("OLD", link::ftInteger);
  copy.LoadFromDataSet(source);
  EXPECT_EQ(copy.FastFields(), (Names{"ID,3,0", "NAME,1,12", "AMT,6,0", "D,9,0", "COMM,16,0", "OK,5,0"}));
  EXPECT_EQ(copy.FindField("OLD"), nullptr);
  EXPECT_EQ(copy.FieldByName("AMT").DataType(), link::ftFloat);
  EXPECT_EQ(copy.FieldByName("NAME").Size(), 12);
  EXPECT_TRUE(copy.Active());
  EXPECT_EQ(copy.RecNo(), 1);
  EXPECT_EQ(copy.RecordCount(), 2);  // the filtered row is not visited
  source.SetFiltered(false);
  source.SetRecNo(3);
  copy.Last();
  for (int i = 0; i < source.FieldCount(); ++i) {
    EXPECT_EQ(copy.Fields(i).Value(), source.Fields(i).Value()) << source.Fields(i).FieldName();
  }
  EXPECT_EQ(copy.Blobs().Count(), 1u);
  EXPECT_EQ(copy.ChangeCount(), 0);  // a copy is not a change
  copy.First();
  copy.Edit();
  copy.FieldByName("NAME").SetAsString("one");
  copy.Post();
  EXPECT_EQ(copy.ChangeCount(), 1);
}

TEST(LoadFromDataSet, TakesTheSourcesFieldsNotItsDefinitionAndKeepsItsCursor) {
  test::MemDataSet source("SRC");
  source.AddField("NAME", link::ftString, 20);
  source.AddField("ID", link::ftInteger);
  source.OpenWith({"ID,3,0", "CODE,1,4", "NAME,1,20"}, {{I(1), T("a"), T("one")}, {I(2), T("b"), T("two")}});
  source.Last();
  const data::TBookmark mark = source.GetBookmark();
  test::RecordingObserver view;
  source.AddObserver(&view);

  test::MemDataSet copy;
  copy.LoadFromDataSet(source);
  EXPECT_EQ(copy.FastFields(), (Names{"NAME,1,20", "ID,3,0"}));
  EXPECT_EQ(test::Column(copy, "NAME"), (Names{"one", "two"}));
  EXPECT_EQ(source.GetBookmark(), mark);
  // The source's views saw one refresh, not every move.
  EXPECT_EQ(view.events, (Names{"disabled", "enabled", "changed"}));
  source.RemoveObserver(&view);

  source.Close();
  copy.LoadFromDataSet(source);
  EXPECT_TRUE(copy.Active());
  EXPECT_TRUE(copy.IsEmpty());
  EXPECT_EQ(copy.FieldCount(), 2);

  copy.LoadFromDataSet(copy);  // a dataset copied onto itself stays as it is
  EXPECT_EQ(copy.FieldCount(), 2);
}

TEST(SaveAndLoad, ARoundTripKeepsDefinitionValuesNullsAndBookmarks) {
  test::MemDataSet ds;
  FillEveryType(ds);
  const Snapshot before = Take(ds);
  ASSERT_EQ(before.bookmarks, (std::vector<std::int32_t>{0, 4, 2, 3}));

  std::stringstream stream;
  ds.SaveToStream(stream);
  test::MemDataSet loaded;
  loaded.OpenWith({"X,3,0"}, {{I(1)}});
  loaded.LoadFromStream(stream);
  EXPECT_TRUE(loaded.Active());
  EXPECT_EQ(loaded.FastFields(), kEveryType);
  EXPECT_EQ(Take(loaded), before);
  EXPECT_EQ(loaded.Blobs().Count(), ds.Blobs().Count());
  // The loaded dataset hands out ids after every id it holds or held.
  loaded.Append();
  loaded.FieldByName("I").SetAsInteger(6);
  loaded.Post();
  EXPECT_EQ(*loaded.GetBookmark(), 5);
}

TEST(SaveAndLoad, TheChangeLogTravelsWithTheRows) {
  test::TempDir dir;
  const std::string file = dir.File("changes.mds");
  test::AuditDataSet ds;
  ds.OpenWith({"ID,3,0", "NAME,1,10"}, {{I(1), T("one")}, {I(2), T("two")}, {I(3), T("three")}});
  const Snapshot original = Take(ds);
  ds.First();
  ds.Edit();
  ds.FieldByName("NAME").SetAsString("uno");
  ds.Post();
  ds.Next();
  ds.Delete();
  ds.Append();
  ds.FieldByName("ID").SetAsInteger(4);
  ds.Post();
  ds.SaveToFile(file);

  test::AuditDataSet loaded;
  loaded.LoadFromFile(file);
  ASSERT_EQ(loaded.ChangeCount(), 3);
  for (int e = 0; e < 3; ++e) {
    EXPECT_EQ(loaded.EntryDelta(e), ds.EntryDelta(e));
    EXPECT_EQ(loaded.EntryBookmark(e), ds.EntryBookmark(e));
    EXPECT_EQ(loaded.LoggedValue(e, loaded.FieldByName("NAME")), ds.LoggedValue(e, ds.FieldByName("NAME")));
  }
  loaded.RevertAll();
  EXPECT_EQ(Take(loaded), original);

  // A dataset without a log reads the rows and leaves the log aside.
  test::MemDataSet plain;
  plain.LoadFromFile(file);
  EXPECT_EQ(test::Column(plain, "ID"), (Names{"1", "3", "4"}));
}

// A stream of one date field, built by hand: the day number fills the
// field's eight bytes, as every fixed-width value fills its width.
std::string SavedDates(const std::vector<std::int64_t>& days) {
  std::string out = "MERODS01";
  auto int32 = [&](std::int32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF));
  };
  int32(1);
  int32(1);
  out += "D";
  int32(link::ftDate);
  int32(0);
  int32(static_cast<std::int32_t>(days.size()));
  int32(static_cast<std::int32_t>(days.size()));
  for (std::size_t r = 0; r < days.size(); ++r) {
    int32(static_cast<std::int32_t>(r));
    out.push_back(0);
    for (int i = 0; i < 8; ++i)
      out.push_back(static_cast<char>((static_cast<std::uint64_t>(days[r]) >> (8 * i)) & 0xFF));
  }
  int32(0);
  return out;
}

TEST(SaveAndLoad, ADateFillsItsEightBytesSoThatLocateFindsWhatWasLoaded) {
  // 1 March 1898 lies before day 0: its day number is negative.
  const std::int64_t before1900 = static_cast<std::int64_t>(base::EncodeDate(1898, 3, 1));
  const std::int64_t later = static_cast<std::int64_t>(kDay);
  const std::string bytes = SavedDates({later, before1900});

  auto days = [](data::TDataSet& ds) {
    std::vector<std::int64_t> out;
    for (ds.First(); !ds.Eof(); ds.Next()) out.push_back(static_cast<std::int64_t>(ds.FieldByName("D").AsDateTime()));
    return out;
  };
  test::MemDataSet loaded;
  std::istringstream in(bytes);
  loaded.LoadFromStream(in);
  EXPECT_EQ(days(loaded), (std::vector<std::int64_t>{later, before1900}));
  EXPECT_TRUE(loaded.Locate("D", base::Variant::Date(static_cast<double>(before1900)), 0));
  EXPECT_EQ(loaded.RecNo(), 2);
  loaded.SortOnFields({"D"}, {false});
  EXPECT_EQ(days(loaded), (std::vector<std::int64_t>{before1900, later}));

  // The same dates written through the fields are saved as the same bytes.
  test::MemDataSet written;
  written.OpenWith({"D,9,0"}, {});
  for (const std::int64_t day : {later, before1900}) {
    written.Append();
    written.FieldByName("D").SetAsDateTime(static_cast<double>(day));
    written.Post();
  }
  std::ostringstream out;
  written.SaveToStream(out);
  EXPECT_EQ(out.str(), bytes);
}

// A saved dataset of one integer field: magic (8), field count (4), name
// length (4), "ID", type (4), size (4), next id (4), row count (4), then per
// row its id (4), a null byte and the value (4).
constexpr std::size_t kFirstRow = 34;
constexpr std::size_t kRowBytes = 9;

std::string SavedIds() {
  test::MemDataSet ds;
  ds.OpenWith({"ID,3,0"}, {{I(10)}, {I(20)}, {I(30)}});
  std::ostringstream out;
  ds.SaveToStream(out);
  return out.str();
}

void WriteFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

TEST(SaveAndLoad, AMissingOrDamagedFileIsUnableToLoadAndChangesNothing) {
  test::TempDir dir;
  const std::string good = SavedIds();
  ASSERT_EQ(good.size(), kFirstRow + 3 * kRowBytes + 4);
  {
    test::MemDataSet check;
    std::istringstream in(good);
    check.LoadFromStream(in);
    ASSERT_EQ(test::Column(check, "ID"), (Names{"10", "20", "30"}));
  }

  struct Case {
    std::string what;
    std::string bytes;
  };
  std::vector<Case> cases;
  std::string badMagic = good;
  badMagic[5] = 'X';
  cases.push_back({"another magic", badMagic});
  std::string badFlag = good;
  badFlag[kFirstRow + 4] = 7;
  cases.push_back({"a null flag that is neither 0 nor 1", badFlag});
  std::string sameId = good;
  sameId.replace(kFirstRow + kRowBytes, 4, good.substr(kFirstRow, 4));
  cases.push_back({"two rows with one bookmark", sameId});
  std::string badType = good;
  badType[8 + 4 + 4 + 2] = 99;
  cases.push_back({"an unknown type code", badType});
  std::string hugeName = good;
  hugeName.replace(12, 4, std::string("\xff\xff\xff\x7f", 4));
  cases.push_back({"a name longer than the file", hugeName});
  std::string badLog = good;
  badLog[badLog.size() - 4] = 2;
  cases.push_back({"a change-log flag that is neither 0 nor 1", badLog});
  cases.push_back({"an empty file", ""});
  for (std::size_t n = 1; n < good.size(); ++n) cases.push_back({"cut at " + std::to_string(n), good.substr(0, n)});

  test::MemDataSet ds;
  ds.OpenWith({"NAME,1,5"}, {{T("kept")}});
  const std::string file = dir.File("rows.mds");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile(file, c.bytes);
    EXPECT_EQ(test::ErrorOf<Error>([&] { ds.LoadFromFile(file); }), "Unable to load from " + file);
    std::istringstream in(c.bytes);
    EXPECT_EQ(test::ErrorOf<Error>([&] { ds.LoadFromStream(in); }), "Invalid dataset stream");
    EXPECT_TRUE(ds.Active());
    EXPECT_EQ(test::Column(ds, "NAME"), (Names{"kept"}));
  }

  const std::string missing = dir.File("none.mds");
  EXPECT_EQ(test::ErrorOf<Error>([&] { ds.LoadFromFile(missing); }), "Unable to load from " + missing);
  const std::string unwritable = dir.File("no/such/dir.mds");
  EXPECT_EQ(test::ErrorOf<Error>([&] { ds.SaveToFile(unwritable); }), "Unable to save to " + unwritable);
  EXPECT_EQ(test::Column(ds, "NAME"), (Names{"kept"}));
}

}  // namespace
