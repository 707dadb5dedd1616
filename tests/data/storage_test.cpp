#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "base/date_time.h"
#include "base/encoding.h"
#include "data/field_list.h"
#include "data/field_value.h"
#include "dataset_fixture.h"
#include "support/error_text.h"

using namespace mero;
using namespace mero::base::literals;
using test::I;
using test::N;
using test::T;

namespace {

using Error = data::EDatabaseError;

TEST(FieldList, WidthFollowsTheTypeAndOffsetsRunInFieldOrder) {
  struct Case {
    link::TFieldType type;
    int size;
    std::uint32_t width;
    int definitionSize;
  };
  const Case cases[] = {
      {link::ftString, 30, 30, 30},  {link::ftBytes, 16, 16, 16},    {link::ftFixedChar, 3, 3, 3},
      {link::ftWideString, 7, 7, 7}, {link::ftGuid, 38, 38, 38},     {link::ftSmallint, 9, 2, 0},
      {link::ftWord, 0, 2, 0},       {link::ftBoolean, 0, 2, 0},     {link::ftInteger, 4, 4, 0},
      {link::ftTime, 0, 4, 0},       {link::ftVarBytes, 10, 4, 10},  {link::ftAutoInc, 0, 4, 0},
      {link::ftBlob, 0, 4, 0},       {link::ftMemo, 250, 4, 0},      {link::ftGraphic, 0, 4, 0},
      {link::ftFmtMemo, 0, 4, 0},    {link::ftTypedBinary, 0, 4, 0}, {link::ftDataSet, 5, 4, 5},
      {link::ftFloat, 0, 8, 0},      {link::ftCurrency, 0, 8, 0},    {link::ftBCD, 4, 8, 0},
      {link::ftDate, 0, 8, 0},       {link::ftDateTime, 0, 8, 0},    {link::ftLargeint, 0, 8, 0},
      {link::ftUnknown, 5, 0, 0},    {link::ftADT, 0, 0, 0},         {link::ftCursor, 0, 0, 0},
  };
  data::TLinkFieldList list;
  std::uint32_t offset = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.type));
    EXPECT_EQ(data::TLinkFieldList::StorageWidth(c.type, c.size), c.width);
    EXPECT_EQ(data::TLinkFieldList::DefinitionSize(c.type, c.size), c.definitionSize);
    list.Add("F" + std::to_string(list.Count() + 1), c.type, c.size);
    EXPECT_EQ(list[list.Count() - 1].offset, offset);
    EXPECT_EQ(list[list.Count() - 1].fieldNo, static_cast<int>(list.Count()));
    offset += c.width;
  }
  EXPECT_EQ(list.DataSize(), offset);
  EXPECT_EQ(list.IndexOf("f3"), 2);
  EXPECT_EQ(list.IndexOf("none"), -1);
  EXPECT_EQ(data::TLinkFieldList::TypeOfCode(36), link::ftUnknown);
  EXPECT_EQ(data::TLinkFieldList::TypeOfCode(-1), link::ftUnknown);
}

TEST(FieldList, ARowLargerThanTheLimitIsRefusedAndTheDatasetStaysUsable) {
  test::MemDataSet ds;
  ds.SetFastFields({"ID,3,0", "A,1,40000000", "B,1,40000000"});
  EXPECT_EQ(test::ErrorOf<Error>([&] { ds.Open(); }), "The fields need more than 67108864 bytes a row");
  EXPECT_FALSE(ds.Active());
  EXPECT_TRUE(ds.FieldList().Empty());
  ds.SetFastFields({"ID,3,0"});
  ds.Open();
  ds.Append();
  ds.FieldByName("ID").SetAsInteger(1);
  ds.Post();
  EXPECT_EQ(ds.RecordCount(), 1);
}

TEST(FieldList, WideRowsKeepTheirValuesAcrossChunks) {
  // 300,000 bytes a row: a chunk holds two rows.
  test::MemDataSet ds;
  ds.OpenWith({"ID,3,0", "WIDE,1,300000"}, {});
  for (int i = 0; i < 7; ++i) {
    ds.Append();
    ds.FieldByName("ID").SetAsInteger(i);
    ds.FieldByName("WIDE").SetAsString(std::string(300000, static_cast<char>('a' + i)));
    ds.Post();
  }
  ds.SetRecNo(3);
  ds.Delete();
  ds.Insert();
  ds.FieldByName("ID").SetAsInteger(9);
  ds.FieldByName("WIDE").SetAsString(std::string(299999, 'z'));
  ds.Post();
  std::vector<std::string> seen;
  for (ds.First(); !ds.Eof(); ds.Next()) {
    const std::string wide = ds.FieldByName("WIDE").AsString();
    seen.push_back(std::to_string(ds.FieldByName("ID").AsInteger()) + ":" + wide.substr(0, 1) + ":" +
                   std::to_string(wide.size()));
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"0:a:300000", "1:b:300000", "9:z:299999", "3:d:300000", "4:e:300000",
                                            "5:f:300000", "6:g:300000"}));
}

TEST(FieldStorage, TextIsCutToTheSizeEmptyTextIsNullABlankIsKept) {
  struct Case {
    std::string assigned;
    bool isNull;
    std::string stored;
  };
  const Case cases[] = {
      {"abcdefgh", false, "abcde"},        {"abcde", false, "abcde"}, {"", true, ""}, {" ", false, " "},
      {"Αθήνα και"_gr, false, "Αθήνα"_gr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.assigned);
    test::MemDataSet ds;
    ds.OpenWith({"ID,3,0", "NAME,1,5"}, {});
    ds.Append();
    ds.FieldByName("ID").SetAsInteger(1);
    ds.FieldByName("NAME").SetAsString(c.assigned);
    ds.Post();
    ds.First();
    EXPECT_EQ(ds.FieldByName("NAME").IsNull(), c.isNull);
    EXPECT_EQ(ds.FieldByName("NAME").AsString(), c.stored);
  }
}

TEST(FieldStorage, EveryTypeKeepsWhatItHolds) {
  const double day = base::EncodeDate(2024, 3, 15);
  const double time = base::EncodeTime(10, 30, 15, 250);
  struct Case {
    std::string entry;
    base::Variant assigned;
    base::Variant read;
  };
  const std::string memo(3000, 'm');
  const Case cases[] = {
      {"S,2,0", I(-5), I(-5)},
      {"W,4,0", I(65535), I(65535)},
      {"B,5,0", base::Variant::Boolean(true), base::Variant::Boolean(true)},
      {"I,3,0", I(-2000000000), I(-2000000000)},
      {"A,14,0", I(77), I(77)},
      {"L,25,0", base::Variant::Int64(std::int64_t{1} << 40), base::Variant::Int64(std::int64_t{1} << 40)},
      {"F,6,0", test::F(2.5), test::F(2.5)},
      {"C,7,0", test::F(-0.125), test::F(-0.125)},
      {"BCD,8,0", test::F(1e10), test::F(1e10)},
      {"D,9,0", base::Variant::Date(day + time), base::Variant::Date(day)},
      {"TM,10,0", base::Variant::Date(day + time), base::Variant::Date(time)},
      {"DT,11,0", base::Variant::Date(day + time + 0.4 / base::kMSecsPerDay), base::Variant::Date(day + time)},
      {"BY,12,4", base::Variant::Bytes(std::string("ab\0cdef", 7)), base::Variant::Bytes(std::string("ab\0c", 4))},
      {"BY,12,4", base::Variant::Bytes("ab"), base::Variant::Bytes(std::string("ab\0\0", 4))},
      {"M,16,0", T(memo), T(memo)},
      {"BL,15,0", base::Variant::Bytes(std::string("\0\1\2", 3)), base::Variant::Bytes(std::string("\0\1\2", 3))},
      {"G,35,38", T(""), T("")},
      {"I,3,0", T("42"), I(42)},
      {"F,6,0", T("1,5"), test::F(1.5)},
      {"D,9,0", T("15/03/2024"), base::Variant::Date(day)},
      {"B,5,0", T("false"), base::Variant::Boolean(false)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    test::MemDataSet ds;
    ds.OpenWith({c.entry}, {});
    ds.Append();
    ds.Fields(0).SetValue(c.assigned);
    ds.Post();
    ds.First();
    EXPECT_EQ(ds.Fields(0).Value(), c.read);
  }
}

TEST(FieldStorage, DatesAndTimesRoundToTheMillisecond) {
  const double ms = 1.0 / base::kMSecsPerDay;
  struct Case {
    link::TFieldType type;
    double value;
    double kept;
  };
  const Case cases[] = {
      {link::ftDateTime, 100 + 0.4 * ms, 100},
      {link::ftDateTime, 100 + 0.5 * ms, 100 + ms},  // halves round away from zero
      {link::ftDateTime, -100 - 0.5 * ms, -100 - ms},
      {link::ftDateTime, -100 - 0.4 * ms, -100},
      {link::ftDate, 45000 + 0.75, 45000},
      {link::ftDate, 45001 - 0.4 * ms, 45001},  // 23:59:59.9996 is the next day
      {link::ftTime, 45000.25, 0.25},
      {link::ftTime, 45000 + 0.5 * ms, ms},
      {link::ftTime, 45001 - 0.4 * ms, 0},
      {link::ftDateTime, 2e7, 0},  // beyond any calendar
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.type) + " " + std::to_string(c.value));
    EXPECT_EQ(data::NormalizeDate(c.value, c.type), c.kept);
  }
}

TEST(FieldStorage, AValueThatDoesNotConvertIsRefusedAndTheOldValueStays) {
  struct Case {
    std::string entry;
    base::Variant assigned;
    std::string error;
  };
  const Case cases[] = {
      {"I,3,0", T("abc"), "'abc' is not a valid integer value"},
      {"I,3,0", T("1,5"), "'1,5' is not a valid integer value"},
      {"S,2,0", I(40000), "40000 is not a valid value for field 'S'. The allowed range is -32768 to 32767"},
      {"W,4,0", I(-1), "-1 is not a valid value for field 'W'. The allowed range is 0 to 65535"},
      {"I,3,0", base::Variant::Int64(std::int64_t{1} << 33),
       "8589934592 is not a valid value for field 'I'. The allowed range is -2147483648 to 2147483647"},
      {"F,6,0", T("x1"), "'x1' is not a valid floating point value"},
      {"D,9,0", T("32/01/2024"), "'32/01/2024' is not a valid date"},
      {"TM,10,0", T("25:00"), "'25:00' is not a valid time"},
      {"DT,11,0", T("soon"), "'soon' is not a valid date and time"},
      {"B,5,0", T("maybe"), "'maybe' is not a valid boolean value"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    test::MemDataSet ds;
    ds.OpenWith({c.entry}, {{N()}});
    ds.Edit();
    EXPECT_EQ(test::ErrorOf<Error>([&] { ds.Fields(0).SetValue(c.assigned); }), c.error);
    EXPECT_TRUE(ds.Fields(0).IsNull());
    EXPECT_FALSE(ds.Modified());
  }
}

TEST(FieldStorage, NullRules) {
  test::MemDataSet ds;
  ds.OpenWith({"I,3,0", "NAME,1,10", "G,35,38", "M,16,0"}, {{I(5), T("x"), T("g"), base::Variant::Bytes("memo")}});
  data::TField& i = ds.FieldByName("I");
  data::TField& name = ds.FieldByName("NAME");
  data::TField& guid = ds.FieldByName("G");
  data::TField& memo = ds.FieldByName("M");
  ds.Edit();
  i.SetAsString("");
  name.SetValue(base::Variant());
  guid.SetAsString("");
  memo.SetAsString("");
  ds.Post();
  EXPECT_TRUE(i.IsNull());
  EXPECT_EQ(i.AsInteger(), 0);
  EXPECT_EQ(i.AsFloat(), 0);
  EXPECT_EQ(i.AsString(), "");
  EXPECT_TRUE(name.IsNull());
  EXPECT_FALSE(guid.IsNull());  // only the string types take "" as NULL
  EXPECT_TRUE(memo.IsNull());
  ds.Edit();
  i.SetAsInteger(0);
  i.Clear();
  EXPECT_TRUE(i.IsNull());
  i.SetAsInteger(0);
  EXPECT_FALSE(i.IsNull());
}

TEST(FieldStorage, WritesOutsideAnEditStateAreRefused) {
  test::MemDataSet ds;
  ds.OpenWith({"ID,3,0"}, {{I(1)}});
  EXPECT_EQ(test::ErrorOf<Error>([&] { ds.Fields(0).SetAsInteger(2); }), "DataSet Not in Edit or Insert Mode");
  EXPECT_EQ(ds.Fields(0).AsInteger(), 1);
  ds.Close();
  EXPECT_EQ(test::ErrorOf<Error>([&] { ds.Fields(0).SetAsInteger(2); }), "DataSet Not in Edit or Insert Mode");
  EXPECT_TRUE(ds.Fields(0).IsNull());  // a closed dataset holds no rows
}

TEST(FieldStorage, AFailedConstraintOrValidationRestoresTheFieldAndItsNullFlag) {
  test::MemDataSet ds;
  ds.OpenWith({"ID,3,0", "QTY,6,0"}, {{I(1), N()}});
  data::TField& qty = ds.FieldByName("QTY");
  qty.SetCustomConstraint("QTY > 0 AND QTY < 100");
  qty.SetConstraintErrorMessage("Η ποσότητα πρέπει να είναι θετική"_gr);
  ds.Edit();
  EXPECT_EQ(test::ErrorOf<Error>([&] { qty.SetAsFloat(-1); }), "Η ποσότητα πρέπει να είναι θετική"_gr);
  EXPECT_TRUE(qty.IsNull());
  qty.SetAsFloat(5);
  EXPECT_EQ(test::ErrorOf<Error>([&] { qty.SetAsFloat(500); }), "Η ποσότητα πρέπει να είναι θετική"_gr);
  EXPECT_EQ(qty.AsFloat(), 5);
  qty.SetConstraintErrorMessage("");
  EXPECT_EQ(test::ErrorOf<Error>([&] { qty.SetAsFloat(0); }), "Field 'QTY' fails its constraint");
  EXPECT_EQ(test::ErrorOf<Error>([&] { qty.SetCustomConstraint("QTY >"); }),
            "Filter expression error: unexpected end of expression at position 6");

  qty.SetCustomConstraint("");
  qty.OnValidate = [](data::TField& f) {
    if (f.AsFloat() > 10) throw Error("too many");
  };
  EXPECT_EQ(test::ErrorOf<Error>([&] { qty.SetAsFloat(11); }), "too many");
  EXPECT_EQ(qty.AsFloat(), 5);
  int changes = 0;
  qty.OnChange = [&](data::TField&) { ++changes; };
  qty.SetAsFloat(7);
  EXPECT_EQ(changes, 1);
}

TEST(FieldStorage, RequiredAndReadOnlyFields) {
  test::MemDataSet ds;
  ds.OpenWith({"ID,3,0", "NAME,1,10"}, {});
  ds.FieldByName("NAME").SetRequired(true);
  ds.FieldByName("NAME").SetDisplayLabel("Όνομα"_gr);
  ds.Append();
  ds.FieldByName("ID").SetAsInteger(1);
  EXPECT_EQ(test::ErrorOf<Error>([&] { ds.Post(); }), "Field '" + "Όνομα"_gr + "' must have a value");
  EXPECT_EQ(ds.State(), data::dsInsert);
  ds.FieldByName("NAME").SetAsString("a");
  ds.Post();
  EXPECT_EQ(ds.RecordCount(), 1);
  ds.FieldByName("ID").SetReadOnly(true);
  ds.Edit();
  EXPECT_EQ(test::ErrorOf<Error>([&] { ds.FieldByName("ID").SetAsInteger(2); }), "Field 'ID' cannot be modified");
}

TEST(FieldBinding, APersistentFieldNeedsADefinitionOfTheSameNameAndType) {
  test::MemDataSet ds("Q1");
  ds.AddField("ID", link::ftInteger);
  ds.SetFastFields({"id,6,0", "NAME,1,20"});
  EXPECT_EQ(test::ErrorOf<Error>([&] { ds.Open(); }), "Q1:Field 'ID' not found");
  EXPECT_FALSE(ds.Active());

  ds.SetFastFields({"NAME,1,20", "id,3,0"});
  ds.Open();
  ASSERT_EQ(ds.FieldCount(), 1);  // only the persistent field is seen
  EXPECT_EQ(ds.Fields(0).FieldNo(), 2);
  EXPECT_EQ(test::ErrorOf<Error>([&] { ds.FieldByName("NAME"); }), "Q1:Field 'NAME' not found");
}

TEST(FieldBinding, DefaultFieldsSurviveACloseWhileTheDefinitionsStay) {
  test::MemDataSet ds;
  ds.OpenWith({"ID,3,0", "NAME,1,20"}, {{I(1), T("a")}});
  ds.FieldByName("NAME").SetDisplayLabel("Περιγραφή"_gr);
  ds.Close();
  ds.Open();
  EXPECT_EQ(ds.FieldByName("NAME").DisplayLabel(), "Περιγραφή"_gr);
  ds.SetFastFields({"ID,3,0", "NAME,1,30"});
  ds.Open();
  EXPECT_EQ(ds.FieldByName("NAME").DisplayLabel(), "NAME");
  EXPECT_EQ(ds.FieldByName("NAME").Size(), 30);
}

TEST(FieldStorage, AFieldOfAnotherDataSetIsAFieldOffsetError) {
  test::MemDataSet a;
  test::MemDataSet b;
  a.OpenWith({"ID,3,0"}, {{I(1)}});
  b.OpenWith({"X,1,2", "ID,3,0"}, {{T("x"), I(2)}});
  EXPECT_EQ(test::ErrorOf<Error>([&] { a.ValueAt(0, b.FieldByName("ID")); }), "Field Offset Error ID");
  EXPECT_EQ(a.ValueAt(0, a.FieldByName("ID")), I(1));
}

TEST(RowsFromTheServer, DecodedRowsLandInTheirFieldsWithNulls) {
  const double day = base::EncodeDate(2023, 12, 31);
  test::MemDataSet ds;
  ds.OpenWith({"ID,3,0", "NAME,1,4", "PRICE,6,0", "DTIN,9,0", "STAMP,11,0", "COMM,16,0", "BIG,25,0"},
              {
                  {I(1), T("abcdef"), test::F(2.5), base::Variant::Date(day), base::Variant::Date(day + 0.5),
                   base::Variant::Bytes("note"), base::Variant::Int64(-(std::int64_t{1} << 40))},
                  {I(2), N(), N(), N(), N(), N(), N()},
                  {I(3), T(""), test::F(0), test::F(0), test::F(0), base::Variant::Bytes(""), I(0)},
              });
  EXPECT_EQ(ds.RecordCount(), 3);
  EXPECT_EQ(ds.FieldByName("NAME").AsString(), "abcd");
  EXPECT_EQ(ds.FieldByName("DTIN").AsDateTime(), day);
  EXPECT_EQ(ds.FieldByName("STAMP").AsDateTime(), day + 0.5);
  EXPECT_EQ(ds.FieldByName("COMM").AsString(), "note");
  EXPECT_EQ(ds.FieldByName("BIG").AsLargeInt(), -(std::int64_t{1} << 40));
  ds.Next();
  for (int i = 1; i < ds.FieldCount(); ++i) EXPECT_TRUE(ds.Fields(i).IsNull()) << i;
  ds.Next();
  EXPECT_FALSE(ds.FieldByName("NAME").IsNull());  // an empty text from the server is a text
  EXPECT_TRUE(ds.FieldByName("COMM").IsNull());   // an empty long value is NULL
  EXPECT_FALSE(ds.FieldByName("DTIN").IsNull());
  EXPECT_EQ(ds.FieldByName("DTIN").AsDateTime(), 0);
  EXPECT_EQ(ds.Blobs().Count(), 1u);
  EXPECT_EQ(test::ErrorOf<Error>([&] { ds.AppendRows(test::DecodedRows({"ID,3,0"}, {{I(1)}})); }),
            "The rows do not match the field list");
}

TEST(LongValues, AnEditKeepsTheRowsBlobUntilPostAndADeleteFreesIt) {
  test::MemDataSet ds;
  ds.OpenWith({"ID,3,0", "COMM,16,0"}, {{I(1), base::Variant::Bytes("old")}, {I(2), N()}});
  EXPECT_EQ(ds.Blobs().Count(), 1u);
  ds.Edit();
  ds.FieldByName("COMM").SetAsString("new");
  ds.FieldByName("COMM").SetAsString("newer");
  EXPECT_EQ(ds.Blobs().Count(), 2u);
  ds.Cancel();
  EXPECT_EQ(ds.Blobs().Count(), 1u);
  EXPECT_EQ(ds.FieldByName("COMM").AsString(), "old");
  ds.Edit();
  ds.FieldByName("COMM").SetAsString("new");
  ds.Post();
  EXPECT_EQ(ds.Blobs().Count(), 1u);
  EXPECT_EQ(ds.FieldByName("COMM").AsString(), "new");
  ds.Append();
  ds.FieldByName("COMM").SetAsString("third");
  ds.Cancel();
  EXPECT_EQ(ds.Blobs().Count(), 1u);
  ds.First();
  ds.Delete();
  EXPECT_EQ(ds.Blobs().Count(), 0u);
}

}  // namespace
