#include "link/codec/param_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

#include "base/date_time.h"
#include "base/encoding.h"
#include "base/format_settings.h"
#include "base/message_seam.h"
#include "link/codec/link_errors.h"
#include "link/codec/wire_int.h"
#include "support/scripted_presenter.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

using base::Variant;
using link::TLinkParamItem;
using link::TLinkParamList;
using link::TLinkRenderSettings;

// The process formats as the start-up leaves them: dd/mm/yyyy dates.
class ParamListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = base::ProcessFormats();
    base::ProcessFormats() = base::FormatSettings::Greek();
    base::ProcessFormats().shortDateFormat = "dd/mm/yyyy";
  }
  void TearDown() override { base::ProcessFormats() = saved_; }

  static base::TDateTime May10() { return base::EncodeDate(2005, 5, 10); }
  static base::TDateTime May10At1403() { return base::EncodeDate(2005, 5, 10) + base::EncodeTime(14, 3, 0, 0); }

  // The settings the datasets of this system pass.
  static TLinkRenderSettings SystemSettings() {
    TLinkRenderSettings s;
    s.dateMask = "dd/mm/yyyy";
    s.dateTimeMask = "dd/mm/yyyy hh:nn:ss";
    return s;
  }

 private:
  base::FormatSettings saved_;
};

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

// ---------------------------------------------------------------------------
// Wire form

TEST_F(ParamListTest, FastAddRecordIsEighteenBytesAfterItsLength) {
  TLinkParamList list;
  list.AddValue(Variant::Integer(5));
  const std::string expected = Bytes({18, 0, 0, 0}) + "FastAdd0" + Bytes({6}) + "3" + Bytes({6}) + "1" + Bytes({6}) +
                               "0" + Bytes({6}) + "1" + Bytes({6}) + "5";
  EXPECT_EQ(list.ToText(), expected);
  EXPECT_EQ(expected.size(), 4u + 18u);

  EXPECT_EQ(TLinkParamList().ToText(), "");
  EXPECT_EQ(TLinkParamList::FromText("").Count(), 0);
}

TEST_F(ParamListTest, EveryValueEncodingSurvivesTheWire) {
  const std::string awkward = std::string("a\x06", 2) + std::string(1, '\0') + Bytes({6, 6, 0xFF}) + "z";
  TLinkParamList list;
  list.AddTyped("I", link::ftUnknown, link::ptInput).SetInteger(-2147483647 - 1);
  list.AddTyped("S", link::ftUnknown, link::ptInput).SetSmallint(-32768);
  list.AddTyped("L", link::ftUnknown, link::ptInput).SetLargeint(9000000000123LL);
  list.AddTyped("F", link::ftUnknown, link::ptInput).SetFloat(-0.1);
  list.AddTyped("D", link::ftUnknown, link::ptInput).SetDate(May10());
  list.AddTyped("T", link::ftUnknown, link::ptOutput).SetTime(base::EncodeTime(23, 59, 59, 999));
  list.AddTyped("DT", link::ftUnknown, link::ptInputOutput).SetDateTime(May10At1403());
  list.AddTyped("B", link::ftUnknown, link::ptResult).SetBoolean(true);
  list.AddTyped("STR", link::ftUnknown, link::ptInput).SetString("κείμενο"_gr + awkward);
  list.AddTyped("M", link::ftUnknown, link::ptInput).SetMemo(awkward);
  list.AddTyped("BL", link::ftUnknown, link::ptInput).SetBlob(awkward);
  list.AddTyped("G", link::ftUnknown, link::ptInput).SetGuid("{0A1B2C3D-4E5F-6a7b-8c9d-0e1f2a3b4c5d}");
  list.AddTyped("N", link::ftInteger, link::ptInput).SetIsNull(true);
  TLinkParamItem& odd = list.AddTyped("ODD", static_cast<link::TFieldType>(200), static_cast<link::TLinkParamType>(9));
  odd.SetRawValue(awkward);
  list.AddTyped("", link::ftString, link::ptInput);

  const TLinkParamList back = TLinkParamList::FromText(list.ToText());
  ASSERT_EQ(back.Count(), list.Count());
  for (int i = 0; i < list.Count(); ++i) {
    const TLinkParamItem& a = list.ItemAt(i);
    const TLinkParamItem& b = back.ItemAt(i);
    EXPECT_EQ(b.Name(), a.Name());
    EXPECT_EQ(b.DataType(), a.DataType()) << a.Name();
    EXPECT_EQ(b.ParamType(), a.ParamType()) << a.Name();
    EXPECT_EQ(b.IsNull(), a.IsNull()) << a.Name();
    EXPECT_EQ(b.RawValue(), a.RawValue()) << a.Name();
    EXPECT_EQ(b.Value(), a.Value()) << a.Name();
  }
  EXPECT_EQ(back.GetByName("L").Value(), Variant::Int64(9000000000123LL));
  EXPECT_EQ(back.GetByName("T").Value(), Variant::Date(base::EncodeTime(23, 59, 59, 999)));
  EXPECT_EQ(back.GetByName("BL").Value(), Variant::Bytes(awkward));
}

TEST_F(ParamListTest, OnlyInputWritesInputAndInputOutputItems) {
  TLinkParamList list;
  list.AddTyped("A", link::ftString, link::ptInput);
  list.AddTyped("B", link::ftString, link::ptOutput);
  list.AddTyped("C", link::ftString, link::ptInputOutput);
  list.AddTyped("D", link::ftString, link::ptResult);
  list.AddTyped("E", link::ftString, link::ptUnknown);
  const TLinkParamList back = TLinkParamList::FromText(list.ToText(true));
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(back.ItemAt(0).Name(), "A");
  EXPECT_EQ(back.ItemAt(1).Name(), "C");
  EXPECT_EQ(TLinkParamList::FromText(list.ToText()).Count(), 5);
}

TEST_F(ParamListTest, DamagedListTextIsRefusedWithItsOffset) {
  const std::string good = [] {
    TLinkParamList l;
    l.AddValue(Variant::Integer(5));
    return l.ToText();
  }();  // 22 bytes
  auto record = [](const std::string& body) {
    std::string out;
    link::AppendInt32(out, static_cast<std::int32_t>(body.size()));
    return out + body;
  };
  const std::string sep = Bytes({6});
  struct Case {
    const char* name;
    std::string text;
    const char* error;
  };
  const Case cases[] = {
      {"three bytes", Bytes({1, 0, 0}), "Parameter list damaged at byte 0: only 3 bytes left for a record length."},
      {"tail after a record", good + Bytes({0, 0}),
       "Parameter list damaged at byte 22: only 2 bytes left for a record length."},
      {"negative length", good + Bytes({0xFF, 0xFF, 0xFF, 0xFF}),
       "Parameter list damaged at byte 22: negative record length -1."},
      {"length past the end", Bytes({19, 0, 0, 0}) + good.substr(4),
       "Parameter list damaged at byte 0: record of 19 bytes runs past the end (18 bytes left)."},
      {"huge length", Bytes({0xFF, 0xFF, 0xFF, 0x7F}) + "x",
       "Parameter list damaged at byte 0: record of 2147483647 bytes runs past the end (1 bytes left)."},
      {"four separators", record("A" + sep + "3" + sep + "1" + sep + "0" + sep + "1"),
       "Parameter list damaged at byte 0: record has fewer than five separators."},
      {"empty body", record(""), "Parameter list damaged at byte 0: record has fewer than five separators."},
      {"value length not a number", record("A" + sep + "3" + sep + "1" + sep + "0" + sep + "x" + sep + "5"),
       "Parameter list damaged at byte 0: value length is not a number."},
      {"value length empty", record("A" + sep + "3" + sep + "1" + sep + "0" + sep + sep + "5"),
       "Parameter list damaged at byte 0: value length is not a number."},
      {"negative value length", record("A" + sep + "3" + sep + "1" + sep + "0" + sep + "-1" + sep + "5"),
       "Parameter list damaged at byte 0: negative value length -1."},
      {"value length too large", good + record("A" + sep + "3" + sep + "1" + sep + "0" + sep + "4" + sep + "567"),
       "Parameter list damaged at byte 22: value length 4 exceeds the 3 value bytes of the record."},
      {"value length reaching into the fields",
       record("A" + sep + "3" + sep + "1" + sep + "0" + sep + "12" + sep + "5"),
       "Parameter list damaged at byte 0: value length 12 exceeds the 1 value bytes of the record."},
      {"type code too large", record("A" + sep + "300" + sep + "1" + sep + "0" + sep + "1" + sep + "5"),
       "Parameter list damaged at byte 0: type code 300 out of range."},
      {"direction negative", record("A" + sep + "3" + sep + "-1" + sep + "0" + sep + "1" + sep + "5"),
       "Parameter list damaged at byte 0: parameter direction -1 out of range."},
  };
  for (const Case& c : cases) {
    try {
      TLinkParamList::FromText(c.text);
      ADD_FAILURE() << c.name << ": accepted";
    } catch (const link::ELinkParamException& e) {
      EXPECT_STREQ(e.what(), c.error) << c.name;
    }
  }

  // Numbers that are not numbers read as 0, as they always have.
  const TLinkParamList lenient =
      TLinkParamList::FromText(record("A" + sep + "x" + sep + "" + sep + "?" + sep + "1" + sep + "5"));
  ASSERT_EQ(lenient.Count(), 1);
  EXPECT_EQ(lenient.ItemAt(0).DataType(), link::ftUnknown);
  EXPECT_EQ(lenient.ItemAt(0).ParamType(), link::ptUnknown);
  EXPECT_FALSE(lenient.ItemAt(0).IsNull());
  EXPECT_EQ(lenient.ItemAt(0).RawValue(), "5");
}

// ---------------------------------------------------------------------------
// Names and look-ups

TEST_F(ParamListTest, NewItemsAreNamedAfterTheCountSkippingTakenNames) {
  TLinkParamList list;
  TLinkParamItem& first = list.AddItem();
  EXPECT_EQ(first.Name(), "Param0");
  EXPECT_EQ(first.ParamType(), link::ptInput);
  EXPECT_EQ(first.DataType(), link::ftUnknown);
  EXPECT_FALSE(first.IsNull());
  EXPECT_EQ(first.Size(), 0);
  EXPECT_EQ(first.RawValue(), "");

  list.AddItem().SetName(" PARAM2 ");  // taken, trimmed and without regard to case
  list.AddItem().SetName("param3");
  EXPECT_EQ(list.AddItem().Name(), "Param4");  // the count is 3, but param3 is taken

  TLinkParamList two;
  two.AddItem();
  two.AddItem();
  EXPECT_EQ(two.AddValue(Variant::Text("x")).Name(), "FastAdd2");
  EXPECT_EQ(TLinkParamList().AddValue(Variant::Null()).Name(), "FastAdd0");

  // References handed out stay valid while the list grows.
  for (int i = 0; i < 1000; ++i) list.AddItem();
  EXPECT_EQ(first.Name(), "Param0");
  EXPECT_EQ(&list.ItemAt(0), &first);
}

TEST_F(ParamListTest, FindByNameTrimsItemNamesAndIgnoresCase) {
  TLinkParamList list;
  list.AddTyped("  κωδ "_gr, link::ftInteger, link::ptInput).SetInteger(1);
  list.AddTyped("KWD", link::ftInteger, link::ptInput).SetInteger(2);
  list.AddTyped("kwd", link::ftInteger, link::ptInput).SetInteger(3);
  ASSERT_NE(list.FindByName("ΚΩΔ"_gr), nullptr);
  EXPECT_EQ(list.FindByName("ΚΩΔ"_gr)->ValueInt(), 1);
  EXPECT_EQ(list.FindByName("kWd")->ValueInt(), 2);  // the first of two
  EXPECT_EQ(list.FindByName("missing"), nullptr);
  EXPECT_EQ(&list.GetByName("Kwd"), list.FindByName("kwd"));

  try {
    list.GetByName("ID");
    FAIL() << "missing name found";
  } catch (const link::ELinkParamException& e) {
    EXPECT_STREQ(e.what(), "Parameter Not Found: ID");
  }
  for (int bad : {-1, 3}) {
    try {
      list.ItemAt(bad);
      FAIL() << bad;
    } catch (const link::ELinkParamException& e) {
      EXPECT_EQ(std::string(e.what()), "Index " + std::to_string(bad) + " Out of bounds");
    }
  }
}

TEST_F(ParamListTest, SetNamedValueUpdatesOrAppends) {
  TLinkParamList list;
  list.AddTyped("MYVERSION", link::ftString, link::ptOutput);
  list.SetNamedValue("myversion", Variant::Text("1,31"));
  list.SetNamedValue("USER", Variant::Integer(7));
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.ItemAt(0).ValueText(), "1,31");
  EXPECT_EQ(list.ItemAt(0).ParamType(), link::ptOutput);
  EXPECT_EQ(list.ItemAt(1).Name(), "USER");
  EXPECT_EQ(list.ItemAt(1).ParamType(), link::ptInput);
  EXPECT_EQ(list.ItemAt(1).Value(), Variant::Integer(7));
}

TEST_F(ParamListTest, CopyToAndCloneCopyItemsAndSettings) {
  TLinkParamList source;
  TLinkRenderSettings settings = SystemSettings();
  settings.hashDates = true;
  settings.doubleQuote = true;
  settings.quoteDates = false;
  source.SetRenderSettings(settings);
  TLinkParamItem& s = source.AddTyped("S", link::ftString, link::ptOutput);
  s.SetString("abc");
  s.SetSize(20);
  source.AddTyped("N", link::ftDate, link::ptInput).SetIsNull(true);

  TLinkParamList target;
  target.AddItem().SetName("KEEP");
  source.CopyTo(target, false);
  ASSERT_EQ(target.Count(), 3);
  EXPECT_EQ(target.ItemAt(0).Name(), "KEEP");
  EXPECT_EQ(target.ItemAt(1).Size(), 20);
  EXPECT_EQ(target.ItemAt(1).ParamType(), link::ptOutput);
  EXPECT_TRUE(target.ItemAt(2).IsNull());
  EXPECT_EQ(target.RenderSettings().dateTimeMask, "dd/mm/yyyy hh:nn:ss");
  EXPECT_TRUE(target.RenderSettings().hashDates);
  EXPECT_FALSE(target.RenderSettings().quoteDates);

  source.CopyTo(target, true);
  EXPECT_EQ(target.Count(), 2);

  TLinkParamList clone = source.Clone();
  clone.GetByName("S").SetString("changed");
  EXPECT_EQ(source.GetByName("S").RawValue(), "abc");
  EXPECT_EQ(clone.ToText(), TLinkParamList::FromText(clone.ToText()).ToText());
  EXPECT_TRUE(clone.RenderSettings().doubleQuote);
}

// ---------------------------------------------------------------------------
// Item values

TEST_F(ParamListTest, WritingAValueKeepsTheDeclaredTypeAndTheKindsEncoding) {
  struct Case {
    const char* name;
    link::TFieldType declared;
    Variant value;
    link::TFieldType type;
    std::string raw;
    bool isNull;
  };
  const Case cases[] = {
      {"double into integer", link::ftInteger, Variant::Double(2.5), link::ftInteger, link::EncodeFloat9(2.5), false},
      {"integer into unknown", link::ftUnknown, Variant::Integer(-42), link::ftInteger, "-42", false},
      {"int64 into unknown", link::ftUnknown, Variant::Int64(9000000000LL), link::ftLargeint, "9000000000", false},
      {"text into date", link::ftDate, Variant::Text("10/05/2005"), link::ftDate, "10/05/2005", false},
      {"date into unknown", link::ftUnknown, Variant::Date(May10()), link::ftDateTime, link::EncodeFloat9(May10()),
       false},
      {"boolean into string", link::ftString, Variant::Boolean(false), link::ftString, "False", false},
      {"bytes into unknown", link::ftUnknown, Variant::Bytes(Bytes({0, 6, 255})), link::ftBlob, Bytes({0, 6, 255}),
       false},
      {"null into float", link::ftFloat, Variant::Null(), link::ftFloat, "old", true},
      {"empty into unknown", link::ftUnknown, Variant(), link::ftUnknown, "old", true},
      {"empty into string", link::ftString, Variant(), link::ftString, "old", true},
  };
  for (const Case& c : cases) {
    TLinkParamItem item;
    item.SetDataType(c.declared);
    item.SetRawValue("old");
    item.SetValue(c.value);
    EXPECT_EQ(item.DataType(), c.type) << c.name;
    EXPECT_EQ(item.RawValue(), c.raw) << c.name;
    EXPECT_EQ(item.IsNull(), c.isNull) << c.name;
  }

  TLinkParamItem nowSet;
  nowSet.SetIsNull(true);
  nowSet.SetValue(Variant::Text("x"));
  EXPECT_FALSE(nowSet.IsNull());
}

TEST_F(ParamListTest, ReadingAValueFollowsTheDataType) {
  struct Case {
    const char* name;
    link::TFieldType type;
    std::string raw;
    Variant expected;
  };
  const Case cases[] = {
      {"string", link::ftString, "abc", Variant::Text("abc")},
      {"smallint", link::ftSmallint, "-7", Variant::Integer(-7)},
      {"word", link::ftWord, "65535", Variant::Integer(65535)},
      {"integer not a number", link::ftInteger, "12a", Variant::Integer(0)},
      {"integer holding a float", link::ftInteger, link::EncodeFloat9(2.5), Variant::Integer(0)},
      {"autoinc", link::ftAutoInc, "17", Variant::Integer(17)},
      {"boolean", link::ftBoolean, "tRUE", Variant::Boolean(true)},
      {"boolean other", link::ftBoolean, "yes", Variant::Boolean(false)},
      {"float", link::ftFloat, link::EncodeFloat9(2.5), Variant::Double(2.5)},
      {"currency bare double", link::ftCurrency, link::EncodeFloat9(1.25).substr(1), Variant::Double(1.25)},
      {"bcd wrong length", link::ftBCD, "1234567", Variant::Double(0)},
      {"date", link::ftDate, link::EncodeFloat9(May10()), Variant::Date(May10())},
      {"datetime", link::ftDateTime, link::EncodeFloat9(May10At1403()), Variant::Date(May10At1403())},
      {"bytes", link::ftBytes, "abc", Variant::Null()},
      {"blob", link::ftBlob, Bytes({0, 6}), Variant::Bytes(Bytes({0, 6}))},
      {"memo", link::ftMemo, "line", Variant::Text("line")},
      {"largeint beyond 32 bits", link::ftLargeint, "-9000000000", Variant::Int64(-9000000000LL)},
      {"largeint not a number", link::ftLargeint, "x", Variant::Int64(0)},
      {"guid", link::ftGuid, "{00000000-0000-0000-0000-00000000000A}",
       Variant::Text("{00000000-0000-0000-0000-00000000000A}")},
      {"unknown", link::ftUnknown, "abc", Variant::Null()},
      {"graphic", link::ftGraphic, "abc", Variant::Null()},
  };
  for (const Case& c : cases) {
    TLinkParamItem item;
    item.SetDataType(c.type);
    item.SetRawValue(c.raw);
    EXPECT_EQ(item.Value(), c.expected) << c.name;
    item.SetIsNull(true);
    EXPECT_TRUE(item.Value().IsNull()) << c.name;
  }
}

TEST_F(ParamListTest, ScalarReadersAndValueText) {
  TLinkParamItem f;
  f.SetFloat(-1234.5);
  EXPECT_EQ(f.ValueText(), "-1234,5");
  EXPECT_EQ(f.ValueFloat(), -1234.5);
  EXPECT_EQ(f.ValueInt(), 0);

  TLinkParamItem d;
  d.SetDate(May10());
  EXPECT_EQ(d.ValueText(), "10/05/2005");
  d.SetTime(base::EncodeTime(14, 3, 9, 0));
  EXPECT_EQ(d.ValueText(), "14:03:09");
  d.SetDateTime(May10At1403());
  EXPECT_EQ(d.ValueText(), "10/05/2005 14:03:00");

  TLinkParamItem i;
  i.SetInteger(2147483647);
  EXPECT_EQ(i.ValueInt(), 2147483647);
  EXPECT_EQ(i.ValueText(), "2147483647");
  i.SetLargeint(2147483648LL);
  EXPECT_EQ(i.ValueInt(), 0);

  TLinkParamItem b;
  b.SetBoolean(true);
  EXPECT_TRUE(b.ValueBool());
  EXPECT_EQ(b.ValueStream(), "True");
  b.SetIsNull(true);
  EXPECT_FALSE(b.ValueBool());
  EXPECT_EQ(b.ValueText(), "");
  EXPECT_EQ(b.ValueInt(), 0);

  TLinkParamItem g;
  g.SetGuid("{0A1B2C3D-4E5F-6A7B-8C9D-0E1F2A3B4C5D}");
  EXPECT_EQ(g.ValueText(), "{0A1B2C3D-4E5F-6A7B-8C9D-0E1F2A3B4C5D}");
  g.SetIsNull(true);
  EXPECT_EQ(g.ValueText(), "{00000000-0000-0000-0000-000000000000}");

  TLinkParamItem blob;
  blob.SetBlob(Bytes({0, 6, 255}));
  EXPECT_EQ(blob.ValueStream(), Bytes({0, 6, 255}));
}

// A date's eight bytes come from the server and may hold any double: the
// text shows the nearest end of the calendar instead of overflowing it.
TEST_F(ParamListTest, DatesBeyondTheCalendarShowItsEnds) {
  struct Case {
    link::TFieldType type;
    double value;
    const char* text;
  };
  const Case cases[] = {
      {link::ftDate, 1e300, "31/12/9999"},
      {link::ftDate, -1.50437e+82, "01/01/0001"},
      {link::ftDateTime, std::numeric_limits<double>::infinity(), "31/12/9999 00:00:00"},
      {link::ftDate, std::numeric_limits<double>::quiet_NaN(), "30/12/1899"},
      {link::ftTime, -std::numeric_limits<double>::infinity(), "00:00:00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TLinkParamItem item;
    item.SetDataType(c.type);
    item.SetRawValue(link::EncodeFloat9(c.value));
    EXPECT_EQ(item.ValueText(), c.text);
  }
}

TEST_F(ParamListTest, GuidTextMustBeTheBracedForm) {
  const std::pair<std::string, bool> cases[] = {
      {"{0A1B2C3D-4E5F-6a7b-8c9d-0e1f2a3b4c5d}", true},   {"0A1B2C3D-4E5F-6A7B-8C9D-0E1F2A3B4C5D", false},  // no braces
      {"{0A1B2C3D-4E5F-6A7B-8C9D-0E1F2A3B4C5D} ", false},  // 39 characters
      {"{0A1B2C3D-4E5F-6A7B-8C9D-0E1F2A3B4C5G}", false},   // not hex
      {"{0A1B2C3D4-E5F-6A7B-8C9D-0E1F2A3B4C5D}", false},   // hyphen misplaced
      {"(0A1B2C3D-4E5F-6A7B-8C9D-0E1F2A3B4C5D)", false},  {"", false},
  };
  for (const auto& [text, valid] : cases) {
    TLinkParamItem item;
    item.SetRawValue("old");
    item.SetGuid(text);
    EXPECT_EQ(item.DataType(), link::ftGuid) << text;
    EXPECT_EQ(item.IsNull(), !valid) << text;
    EXPECT_EQ(item.RawValue(), valid ? text : "") << text;
  }
}

TEST_F(ParamListTest, SizeChangesOnlyForSizedTypesAndNeverNegative) {
  for (link::TFieldType t :
       {link::ftString, link::ftBytes, link::ftBlob, link::ftMemo, link::ftGraphic, link::ftGuid}) {
    TLinkParamItem item;
    item.SetDataType(t);
    item.SetSize(30);
    item.SetSize(-1);
    EXPECT_EQ(item.Size(), 30) << static_cast<int>(t);
  }
  for (link::TFieldType t : {link::ftUnknown, link::ftInteger, link::ftFloat, link::ftDate, link::ftFmtMemo}) {
    TLinkParamItem item;
    item.SetDataType(t);
    item.SetSize(30);
    EXPECT_EQ(item.Size(), 0) << static_cast<int>(t);
  }
}

TEST_F(ParamListTest, SetTextReadsByTheDeclaredType) {
  struct Case {
    const char* name;
    link::TFieldType declared;
    std::string text;
    link::TFieldType type;
    Variant value;
  };
  const Case cases[] = {
      {"unknown becomes string", link::ftUnknown, "abc", link::ftString, Variant::Text("abc")},
      {"smallint becomes integer", link::ftSmallint, " 12 ", link::ftInteger, Variant::Integer(12)},
      {"autoinc becomes integer", link::ftAutoInc, "-5", link::ftInteger, Variant::Integer(-5)},
      {"integer not a number", link::ftInteger, "12,5", link::ftInteger, Variant::Integer(0)},
      {"largeint keeps 64 bits", link::ftLargeint, "9000000000", link::ftLargeint, Variant::Int64(9000000000LL)},
      {"boolean", link::ftBoolean, " true ", link::ftBoolean, Variant::Boolean(true)},
      {"boolean other", link::ftBoolean, "1", link::ftBoolean, Variant::Boolean(false)},
      {"float in process format", link::ftFloat, "-2,5", link::ftFloat, Variant::Double(-2.5)},
      {"currency becomes float", link::ftCurrency, "3", link::ftFloat, Variant::Double(3)},
      {"bcd becomes float", link::ftBCD, "0,25", link::ftFloat, Variant::Double(0.25)},
      {"empty float", link::ftFloat, "", link::ftFloat, Variant::Double(0)},
      {"date", link::ftDate, "10/05/2005", link::ftDate, Variant::Date(May10())},
      {"time", link::ftTime, "14:03", link::ftTime, Variant::Date(base::EncodeTime(14, 3, 0, 0))},
      {"date-time", link::ftDateTime, "10/05/2005 14:03:00", link::ftDateTime, Variant::Date(May10At1403())},
      {"date-time without time", link::ftDateTime, "10/05/2005", link::ftDateTime, Variant::Date(May10())},
      {"blob", link::ftBlob, "raw", link::ftBlob, Variant::Bytes("raw")},
      {"memo", link::ftMemo, "long", link::ftMemo, Variant::Text("long")},
      {"guid", link::ftGuid, "{0A1B2C3D-4E5F-6A7B-8C9D-0E1F2A3B4C5D}", link::ftGuid,
       Variant::Text("{0A1B2C3D-4E5F-6A7B-8C9D-0E1F2A3B4C5D}")},
  };
  for (const Case& c : cases) {
    TLinkParamItem item;
    item.SetDataType(c.declared);
    item.SetIsNull(true);
    item.SetText(c.text);
    EXPECT_EQ(item.DataType(), c.type) << c.name;
    EXPECT_FALSE(item.IsNull()) << c.name;
    EXPECT_EQ(item.Value(), c.value) << c.name;
  }

  // Types without a text form, and an empty date, keep their value but are
  // no longer null.
  for (link::TFieldType t : {link::ftBytes, link::ftDate, link::ftGraphic}) {
    TLinkParamItem item;
    item.SetDataType(t);
    item.SetRawValue("kept");
    item.SetIsNull(true);
    item.SetText(t == link::ftDate ? "" : "new");
    EXPECT_EQ(item.RawValue(), "kept") << static_cast<int>(t);
    EXPECT_FALSE(item.IsNull()) << static_cast<int>(t);
  }
}

TEST_F(ParamListTest, SetTextRefusesTextTheTypeCannotRead) {
  const std::pair<link::TFieldType, const char*> cases[] = {
      {link::ftFloat, "2.5"},  // the process reads ',' as the decimal point
      {link::ftCurrency, "abc"},      {link::ftDate, "31/02/2005"},
      {link::ftTime, "25:00"},        {link::ftDateTime, "10/05/2005 x"},
      {link::ftGuid, "{not-a-guid}"},
  };
  for (const auto& [type, text] : cases) {
    TLinkParamItem item;
    item.SetName("P1");
    item.SetDataType(type);
    item.SetRawValue("kept");
    try {
      item.SetText(text);
      ADD_FAILURE() << text << ": accepted";
    } catch (const link::ELinkParamException& e) {
      EXPECT_STREQ(e.what(), "Unable to call SetAsText for P1") << text;
    }
    EXPECT_EQ(item.RawValue(), "kept") << text;
  }
}

// ---------------------------------------------------------------------------
// RenderSQL

TEST_F(ParamListTest, NullComparedForEqualityBecomesIsNull) {
  TLinkParamList list;
  list.AddTyped("ID", link::ftInteger, link::ptInput).SetIsNull(true);
  EXPECT_EQ(list.RenderSQL({"select * from T where ID = :ID"}, SystemSettings()),
            "select * from T where ID   IS NULL  ");
  EXPECT_EQ(list.RenderSQL({"where ID=:ID"}, SystemSettings()), "where ID IS NULL  ");
  // Each occurrence loses its own "=", and no other "=" of the line is touched.
  EXPECT_EQ(list.RenderSQL({"where A=1 and (B = :ID or C = :ID)"}, SystemSettings()),
            "where A=1 and (B   IS NULL  or C   IS NULL ) ");
  // Where no equality precedes, the placeholder becomes a plain NULL.
  EXPECT_EQ(list.RenderSQL({"where A=1 and B in (:ID)"}, SystemSettings()), "where A=1 and B in ( NULL ) ");
  EXPECT_EQ(list.RenderSQL({"where B >= :ID"}, SystemSettings()), "where B >=  NULL  ");
  EXPECT_EQ(list.RenderSQL({"begin X := :ID; end;"}, SystemSettings()), "begin X :=  NULL ; end; ");
}

TEST_F(ParamListTest, LiteralsUnderTheSystemSettings) {
  TLinkParamList list;
  list.SetNamedValue("NAME", Variant::Text("O'Brien"));
  // DT before D: placeholders match by prefix in list order.
  list.AddTyped("DT", link::ftDateTime, link::ptInput).SetDateTime(May10At1403());
  list.AddTyped("D", link::ftDate, link::ptInput).SetDate(May10() + 0.5);
  list.AddTyped("T", link::ftTime, link::ptInput).SetTime(base::EncodeTime(14, 3, 0, 0));
  list.SetNamedValue("N", Variant::Integer(-3));
  list.SetNamedValue("F", Variant::Double(2.5));
  list.SetNamedValue("B", Variant::Boolean(true));
  list.AddTyped("M", link::ftMemo, link::ptInput).SetMemo("it's");
  list.AddTyped("G", link::ftGuid, link::ptInput).SetIsNull(true);
  list.AddTyped("EMPTY", link::ftString, link::ptInput);
  const std::string sql = list.RenderSQL(
      {"insert into T values (:NAME,:D,:DT,:T,:N,:F,:B,:M)", "where G = :G and E = :EMPTY"}, SystemSettings());
  EXPECT_EQ(sql,
            "insert into T values ( 'O''Brien' , '10/05/2005' , '10/05/2005 14:03:00' , '14:03:00' , -3 , 2.5 , True "
            ", 'it''s' ) where G   IS NULL  and E =  ''  ");
}

TEST_F(ParamListTest, RenderingFlagsShapeStringAndDateLiterals) {
  TLinkParamList list;
  list.SetNamedValue("S", Variant::Text("a'b\"c"));
  list.AddTyped("DT", link::ftDateTime, link::ptInput).SetDateTime(May10At1403());
  list.AddTyped("D", link::ftDate, link::ptInput).SetDate(May10());
  const std::vector<std::string> sql = {":S :D :DT"};

  TLinkRenderSettings none;
  EXPECT_EQ(list.RenderSQL(sql, none), " 'a''b\"c'   '10/05/2005'   '10/05/2005 14:03:00'  ");

  TLinkRenderSettings hash = SystemSettings();
  hash.hashDates = true;
  EXPECT_EQ(list.RenderSQL(sql, hash), " 'a''b\"c'   #10/05/2005#   #10/05/2005 14:03:00#  ");

  TLinkRenderSettings bare = SystemSettings();
  bare.quoteDates = false;
  bare.doubleQuote = true;
  EXPECT_EQ(list.RenderSQL(sql, bare), " \"a'b\"\"c\"   10/05/2005   10/05/2005 14:03:00  ");

  TLinkRenderSettings us;
  us.usDates = true;
  EXPECT_EQ(list.RenderSQL(sql, us), " 'a''b\"c'   '05/10/2005'   '05/10/2005 14:03:00'  ");
  EXPECT_FALSE(list.RenderSettings().usDates);
  EXPECT_TRUE(list.RenderSettings().quoteDates);

  TLinkRenderSettings usWithMask = SystemSettings();
  usWithMask.usDates = true;
  EXPECT_EQ(list.RenderSQL(sql, usWithMask), " 'a''b\"c'   '10/05/2005'   '10/05/2005 14:03:00'  ");
}

TEST_F(ParamListTest, PlaceholdersMatchByPrefixInListOrder) {
  TLinkParamList list;
  list.SetNamedValue("ID", Variant::Integer(1));
  list.SetNamedValue("IDX", Variant::Integer(2));
  // ID comes first, so it also takes the start of :IDX.
  EXPECT_EQ(list.RenderSQL({"a=:ID and b=:IDX and c=:id"}, SystemSettings()), "a= 1  and b= 1 X and c=:id ");

  TLinkParamList longFirst;
  longFirst.SetNamedValue("IDX", Variant::Integer(2));
  longFirst.SetNamedValue("ID", Variant::Integer(1));
  EXPECT_EQ(longFirst.RenderSQL({"a=:ID and b=:IDX", "c=:ID"}, SystemSettings()), "a= 1  and b= 2  c= 1  ");
}

TEST_F(ParamListTest, InsertedValuesAreNotSearchedAgain) {
  TLinkParamList list;
  list.SetNamedValue("A", Variant::Text("see :B"));
  list.SetNamedValue("B", Variant::Integer(5));
  EXPECT_EQ(list.RenderSQL({"x=:A and y=:B"}, SystemSettings()), "x= 'see :B'  and y= 5  ");

  TLinkParamList unnamed;
  unnamed.AddTyped("", link::ftString, link::ptInput).SetString("v");
  EXPECT_EQ(unnamed.RenderSQL({"to_date(x, 'HH24:MI')"}, SystemSettings()), "to_date(x, 'HH24:MI') ");
}

TEST_F(ParamListTest, CustomSyntaxHookOverridesLiterals) {
  TLinkParamList list;
  list.SetNamedValue("A", Variant::Integer(1));
  list.AddTyped("N", link::ftInteger, link::ptInput).SetIsNull(true);
  list.SetNamedValue("S", Variant::Text("x"));
  std::vector<std::string> asked;
  const link::TCustomParamSyntax hook = [&asked](const TLinkParamItem& item) -> std::optional<std::string> {
    asked.push_back(item.Name());
    if (item.Name() == "A") return "CUSTOM(1)";
    return std::nullopt;
  };
  // Handled: one blank and the hook's text; not handled: the usual literal,
  // and a null item is then not turned into IS NULL.
  EXPECT_EQ(list.RenderSQL({"a = :A and n = :N and s = :S"}, SystemSettings(), hook),
            "a =  CUSTOM(1) and n =    and s =  'x'  ");
  EXPECT_EQ(asked, (std::vector<std::string>{"A", "N", "S"}));
}

// ---------------------------------------------------------------------------
// ParamsFromSQL

std::vector<std::string> Names(const TLinkParamList& list) {
  std::vector<std::string> names;
  for (int i = 0; i < list.Count(); ++i) names.push_back(list.ItemAt(i).Name());
  return names;
}

TEST_F(ParamListTest, PlaceholdersAreFoundOnceOutsideQuotes) {
  test::ScriptedPresenter presenter;
  TLinkParamList list;
  list.AddItem().SetName("OLD");
  list.ParamsFromSQL({"select * from T where a = :a and s = ':b' ", "and (c = :a or d=:Dd)", "and e in (:e1,:E1)"});
  EXPECT_EQ(Names(list), (std::vector<std::string>{"a", "Dd", "e1"}));
  for (int i = 0; i < list.Count(); ++i) {
    const TLinkParamItem& item = list.ItemAt(i);
    EXPECT_EQ(item.ParamType(), link::ptInput);
    EXPECT_EQ(item.DataType(), link::ftUnknown);
    EXPECT_FALSE(item.IsNull());
    EXPECT_EQ(item.RawValue(), "");
  }
  // A statement ending in a quoted text is not an open quote.
  list.ParamsFromSQL({"where a = :a and b = 'x'"});
  EXPECT_EQ(Names(list), (std::vector<std::string>{"a"}));
  EXPECT_TRUE(presenter.AllShown().empty());

  list.ParamsFromSQL({"select 1 from dual"});
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(ParamListTest, PlaceholderNamesEndAtTheirTerminators) {
  test::ScriptedPresenter presenter;
  TLinkParamList list;
  // ")" ";" a quote and a line feed are left out of a name but do not end it.
  list.ParamsFromSQL({"a=:p1*:p2+:p3,:p4-:p5 :p6", ":p7);x", "(:p8)", ":p9'z :p10\nq"});
  EXPECT_EQ(Names(list), (std::vector<std::string>{"p1", "p2", "p3", "p4", "p5", "p6", "p7x", "p8", "p9z", "p10q"}));
  EXPECT_TRUE(presenter.AllShown().empty());
  list.ParamsFromSQL({"x = :last"});
  EXPECT_EQ(Names(list), (std::vector<std::string>{"last"}));
}

TEST_F(ParamListTest, DoubleColonIsRefusedAndLeavesTheListAlone) {
  TLinkParamList list;
  list.AddItem().SetName("KEEP");
  for (const char* sql : {"where a = :a:b", "where a = ::a"}) {
    try {
      list.ParamsFromSQL({sql});
      ADD_FAILURE() << sql << ": accepted";
    } catch (const link::ELinkParamException& e) {
      EXPECT_STREQ(e.what(), "Please check Syntax :param:param must be :param:param") << sql;
    }
    EXPECT_EQ(Names(list), (std::vector<std::string>{"KEEP"}));
  }
}

TEST_F(ParamListTest, OpenQuoteIsReportedAndParsingGoesOn) {
  test::ScriptedPresenter presenter;
  TLinkParamList list;
  list.ParamsFromSQL({"where a = :a and b = 'x", "and c = :c"});
  ASSERT_EQ(presenter.AllShown().size(), 1u);
  EXPECT_EQ(presenter.AllShown()[0].text, "There is an open quote in your SQL String");
  EXPECT_EQ(presenter.AllShown()[0].kind, base::mkMessage);
  EXPECT_EQ(Names(list), (std::vector<std::string>{"a"}));
}

}  // namespace
