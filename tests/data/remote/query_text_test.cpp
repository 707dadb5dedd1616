#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/date_time.h"
#include "base/encoding.h"
#include "base/exception.h"
#include "base/format_settings.h"
#include "base/runtime.h"
#include "data/dataset_fixture.h"
#include "data/dataset_utils.h"
#include "data/field.h"
#include "data/remote/query_utils.h"
#include "data/remote/record_object.h"
#include "support/temp_dir.h"

using namespace mero;
using namespace mero::base::literals;
using namespace std::string_literals;

namespace {

using test::F;
using test::I;
using test::N;
using test::T;

base::Variant D(int y, int m, int d) { return base::Variant::Date(base::EncodeDate(y, m, d)); }
base::Variant B(bool v) { return base::Variant::Boolean(v); }

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A price list as a window would export it: a text with a quote and Greek
// letters, a whole and a fractional price, a date, a flag, a memo (which has
// no text form) and a hidden column.
class PriceList : public ::testing::Test {
 protected:
  void SetUp() override {
    ds.OpenWith({"ID,3,0", "NAME,1,20", "PRICE,6,0", "DT,9,0", "OK,5,0", "NOTE,16,0", "SECRET,1,10"},
                {{I(1), T("Ο'ΚΑΛΟ αβ"_gr), F(12.5), D(2024, 3, 5), B(true), base::Variant::Bytes("memo"), T("x")},
                 {I(-7), N(), F(3.0), N(), B(false), N(), T("y")},
                 {I(30), T("abc"), F(0.1), D(1999, 12, 31), N(), N(), N()}});
    ds.FieldByName("SECRET").SetVisible(false);
  }

  test::MemDataSet ds;
};

TEST_F(PriceList, FieldToTextWritesEachKindAsALiteral) {
  const data::TField& name = ds.FieldByName("NAME");
  const data::TField& price = ds.FieldByName("PRICE");
  const data::TField& dt = ds.FieldByName("DT");
  ds.First();
  EXPECT_EQ(data::FieldTextKindOf(name), data::fkText);
  EXPECT_EQ(data::FieldTextKindOf(ds.FieldByName("ID")), data::fkInteger);
  EXPECT_EQ(data::FieldTextKindOf(price), data::fkNumber);
  EXPECT_EQ(data::FieldTextKindOf(dt), data::fkDate);
  EXPECT_EQ(data::FieldTextKindOf(ds.FieldByName("OK")), data::fkBoolean);
  EXPECT_EQ(data::FieldTextKindOf(ds.FieldByName("NOTE")), data::fkNone);

  EXPECT_EQ(data::FieldToText(name, data::fkText, 4, true), "'Ο''ΚΑΛΟ αβ'"_gr);
  EXPECT_EQ(data::FieldToText(price, data::fkNumber, 4, true), "12,5");
  EXPECT_EQ(data::FieldToText(price, data::fkNumber, 4, false), "12,500000");
  EXPECT_EQ(data::FieldToText(dt, data::fkDate, 4, true), "'05/03/2024'");
  EXPECT_EQ(data::FieldToText(dt, data::fkDate, 1, true), "'05/03/24'");
  EXPECT_EQ(data::FieldToText(dt, data::fkDate, 3, true), "'03/05/2024'");
  EXPECT_EQ(data::FieldToText(ds.FieldByName("OK"), data::fkBoolean, 4, true), "1");
  ds.Next();
  EXPECT_EQ(data::FieldToText(name, data::fkText, 4, true), "");  // NULL
  EXPECT_EQ(data::FieldToText(dt, data::fkDate, 4, true), "");
  EXPECT_EQ(data::FieldToText(price, data::fkNumber, 4, false), "3");  // whole numbers as integers
  EXPECT_EQ(data::FieldToText(ds.FieldByName("ID"), data::fkInteger, 4, true), "-7");
  EXPECT_EQ(data::FieldToText(ds.FieldByName("OK"), data::fkBoolean, 4, true), "0");
  ds.Next();
  EXPECT_EQ(data::FieldToText(price, data::fkNumber, 4, true), "0,1");
  EXPECT_EQ(data::FieldToText(price, data::fkNumber, 4, false), "0,100000");
}

TEST_F(PriceList, RecordToTextFollowsTheListedFieldsAndSkipsThoseWithoutAForm) {
  ds.First();
  const std::vector<const data::TField*> fields = {&ds.FieldByName("NOTE"), &ds.FieldByName("PRICE"),
                                                   &ds.FieldByName("NAME"), &ds.FieldByName("DT")};
  EXPECT_EQ(data::RecordToText(ds, ";", false, fields, 0, 4), "12,5;'Ο''ΚΑΛΟ αβ';'05/03/2024';"_gr);
  // Unquoted, a text is written as stored: its quote is one quote.
  EXPECT_EQ(data::RecordToText(ds, "\t", false, fields, 1, 4), "12,5\tΟ'ΚΑΛΟ αβ\t05/03/2024\t"_gr);
  EXPECT_EQ(data::RecordToText(ds, "|", true, fields, 1, 4), "12,5|\x8E'\x89\x80\x8A\x8E \x98\x99|05/03/2024|");
}

TEST_F(PriceList, ExportWritesEveryRecordOverTheVisibleFieldsInBothCodePages) {
  test::TempDir dir;
  base::Runtime& rt = base::Rt();
  const std::string savedDir = rt.appDir;
  rt.appDir = dir.Path().string();
  ds.First();
  ds.Next();  // the cursor comes back here

  EXPECT_EQ(data::ExportToTextFile("prices.txt", ds, ";", 0, 4, false), 3);
  const std::string file = dir.File("ExpImp/prices.txt");
  EXPECT_EQ(ReadBytes(file),
            "1;'\xCF''\xCA\xC1\xCB\xCF \xE1\xE2';12,5;'05/03/2024';1;\r\n"
            "-7;;3;;0;\r\n"
            "30;'abc';0,1;'31/12/1999';;\r\n"s);
  EXPECT_EQ(ds.FieldByName("ID").AsInteger(), -7);

  // Rewritten, not appended; the OEM code page on request.
  ds.SetFilter("ID = 1");
  ds.SetFiltered(true);
  EXPECT_EQ(data::ExportToTextFile("prices.txt", ds, ",", 1, 1, true), 1);
  EXPECT_EQ(ReadBytes(file), "1,\x8E'\x89\x80\x8A\x8E \x98\x99,12,5,05/03/24,1,\r\n"s);

  // A name with a folder is written where it says.
  const std::string elsewhere = dir.File("out.csv");
  EXPECT_EQ(data::ExportToTextFile(elsewhere, ds, ";", 0, 4, false), 1);
  EXPECT_EQ(ReadBytes(elsewhere).substr(0, 2), "1;");

  EXPECT_THROW(data::ExportToTextFile(dir.File("missing/out.csv"), ds, ";", 0, 4, false), base::Exception);
  rt.appDir = savedDir;
}

TEST(SumColumns, SumsTheFirstFortyNamesIntoPlacesOneToForty) {
  std::vector<std::string> fastFields;
  std::string names;
  test::Row first, second;
  for (int i = 1; i <= 41; ++i) {
    fastFields.push_back("F" + std::to_string(i) + ",6,0");
    names += (i > 1 ? "|" : "") + "F"s + std::to_string(i);
    first.push_back(F(i));
    second.push_back(i == 3 ? N() : F(i * 0.5));
  }
  test::MemDataSet ds;
  ds.OpenWith(fastFields, {first, second});
  ds.Last();
  data::ColumnSums sums;
  sums.fill(99);
  EXPECT_EQ(data::SumColumns(ds, names, sums), 40);
  EXPECT_EQ(sums[0], 0);
  EXPECT_EQ(sums[1], 1.5);
  EXPECT_EQ(sums[3], 3);  // NULL adds nothing
  EXPECT_EQ(sums[40], 60);
  EXPECT_EQ(data::QueryGlobals().recordCount, 2);
  EXPECT_EQ(ds.RecNo(), 2);

  // Names keep their places; an empty last name is not one.
  EXPECT_EQ(data::SumColumns(ds, "f2| F1 |", sums), 2);
  EXPECT_EQ(sums[1], 3);
  EXPECT_EQ(sums[2], 1.5);
  EXPECT_EQ(sums[3], 0);

  EXPECT_THROW(data::SumColumns(ds, "F1|NOPE", sums), std::exception);
  ds.Close();
  EXPECT_EQ(data::SumColumns(ds, "F1", sums), 0);
  EXPECT_EQ(sums[1], 0);
}

// CopyFieldValue and CopyRecord between two in-memory datasets.
class CopyValues : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::vector<std::string> fields = {"CODE,1,10", "N,3,0",  "BIG,25,0", "OK,5,0",
                                             "P,6,0",     "DT,9,0", "NOTE,16,0"};
    src.OpenWith(fields, {{T("ABCDEFGHIJ"), I(42), base::Variant::Int64(5000000000LL), B(true), F(2.25), D(2020, 2, 29),
                           base::Variant::Bytes("line 1\r\nline 2")},
                          {N(), N(), N(), N(), N(), base::Variant::Date(0), N()}});
    dst.OpenWith(
        {"CODE,1,4", "N,3,0", "BIG,25,0", "OK,5,0", "P,6,0", "DT,9,0", "NOTE,16,0"},
        {{T("old"), I(1), base::Variant::Int64(1), B(false), F(1), D(2000, 1, 1), base::Variant::Bytes("old")}});
    dst.Edit();
  }

  test::MemDataSet src{"SRC"};
  test::MemDataSet dst{"DST"};
};

TEST_F(CopyValues, EachTypeIsCopiedAndTextsAreCutToTheTargetSize) {
  src.First();
  data::CopyRecord(src, dst, "", ";");
  dst.Post();
  EXPECT_EQ(dst.FieldByName("CODE").AsString(), "ABCD");
  EXPECT_EQ(dst.FieldByName("N").AsInteger(), 42);
  EXPECT_EQ(dst.FieldByName("BIG").AsLargeInt(), 5000000000LL);
  EXPECT_TRUE(dst.FieldByName("OK").AsBoolean());
  EXPECT_EQ(dst.FieldByName("P").AsFloat(), 2.25);
  EXPECT_EQ(dst.FieldByName("DT").AsDateTime(), base::EncodeDate(2020, 2, 29));
  EXPECT_EQ(dst.FieldByName("NOTE").AsString(), "line 1\r\nline 2\r\n");
}

TEST_F(CopyValues, EmptyValuesClearTheTargetAndAZeroDateLeavesItAlone) {
  src.Last();
  data::CopyRecord(src, dst, " note ;n", ";");
  dst.Post();
  EXPECT_TRUE(dst.FieldByName("CODE").IsNull());
  EXPECT_TRUE(dst.FieldByName("P").IsNull());
  EXPECT_EQ(dst.FieldByName("N").AsInteger(), 1);  // excepted
  EXPECT_EQ(dst.FieldByName("NOTE").AsString(), "old");
  EXPECT_EQ(dst.FieldByName("DT").AsDateTime(), base::EncodeDate(2000, 1, 1));
}

TEST(InfoObject, RowValuesByColumnNameInAnyCase) {
  // Dates as the program writes them after start-up.
  const base::FormatSettings saved = base::ProcessFormats();
  base::ProcessFormats().shortDateFormat = "dd/mm/yyyy";
  test::MemDataSet ds;
  ds.OpenWith({"ID,3,0", "Name,1,20", "PRICE,6,0", "DT,11,0"},
              {{I(7), T("Άλφα"_gr), F(1234.5), base::Variant::Date(base::EncodeDate(2024, 3, 5) + 0.5)}});
  data::TKZInfoOb info("staff", true, " id ");
  EXPECT_EQ(info.TableName(), "STAFF");
  EXPECT_EQ(info.KeyField(), "ID");
  EXPECT_EQ(info.LoadRow(nullptr), 0);
  EXPECT_EQ(info.LoadRow(&ds), 1);
  EXPECT_EQ(info.Values(),
            (std::vector<std::string>{"ID=7", "NAME=Άλφα"_gr, "PRICE=1234,5", "DT=05/03/2024 12:00:00"}));
  EXPECT_EQ(info.KeyValue(), "7");
  EXPECT_EQ(info.Value("  name "), "Άλφα"_gr);
  EXPECT_EQ(info.Value("missing"), "");
  EXPECT_EQ(info.ValueInt("id"), 7);
  EXPECT_EQ(info.ValueFloat("Price"), 1234.5);
  EXPECT_EQ(info.ValueDate("dt"), base::EncodeDate(2024, 3, 5));

  EXPECT_THROW(info.ValueInt("name"), base::Exception);
  EXPECT_EQ(info.ValueIntDef("name"), 0);
  EXPECT_EQ(info.ValueIntDef("missing"), 0);

  // A later line of the same name does not replace the first.
  info.SetValue("Id", "8");
  EXPECT_EQ(info.ValueInt("ID"), 7);
  info.SetFloat("rate", 1234.5678);
  EXPECT_EQ(info.Value("RATE"), "1.234,5678000000");
  EXPECT_EQ(info.ValueFloat("rate"), 1234.5678);

  // A dataset without a row gives empty values, the key's too.
  ds.Close();
  ds.OpenWith({"ID,3,0", "NAME,1,20"}, {});
  EXPECT_EQ(info.LoadRow(&ds), 1);
  EXPECT_EQ(info.Values(), (std::vector<std::string>{"ID=", "NAME="}));
  EXPECT_EQ(info.KeyValue(), "");

  info.Reset("name");
  EXPECT_EQ(info.KeyField(), "NAME");
  EXPECT_TRUE(info.Values().empty());
  base::ProcessFormats() = saved;
}

}  // namespace
