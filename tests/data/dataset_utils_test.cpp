#include "data/dataset_utils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/date_time.h"
#include "base/encoding.h"
#include "base/format_settings.h"
#include "base/runtime.h"
#include "dataset_fixture.h"
#include "support/error_text.h"
#include "support/scripted_presenter.h"

using namespace mero;
using namespace mero::base::literals;
using test::F;
using test::I;
using test::N;
using test::T;

namespace {

using Error = data::EDatabaseError;
using Lines = std::vector<std::string>;

// ID, NAME (10), AMT (float), DT (date), OK (boolean), a field named "1",
// and a NOTE text.
const std::vector<std::string> kFields = {"ID,3,0", "NAME,1,10", "AMT,6,0", "DT,9,0", "OK,5,0", "1,1,5", "NOTE,1,40"};

base::Variant D(int y, int m, int d) { return base::Variant::Date(base::EncodeDate(y, m, d)); }
base::Variant B(bool v) { return base::Variant::Boolean(v); }

void Fill(test::MemDataSet& ds) {
  ds.OpenWith(kFields, {{I(7), T("Alpha"), F(12.5), D(2024, 3, 5), B(true), T("one"), T("x\r\ny\r\n")},
                        {I(8), T("Beta"), N(), N(), N(), N(), N()},
                        {N(), T("12abc"), F(-1.25), D(1999, 12, 31), B(false), T("three"), T("")}});
}

// Sets the debug level for a test and puts it back after.
class DebugLevel {
 public:
  explicit DebugLevel(int level) : was_(base::Rt().debugLevel) { base::Rt().debugLevel = level; }
  ~DebugLevel() { base::Rt().debugLevel = was_; }
  DebugLevel(const DebugLevel&) = delete;
  DebugLevel& operator=(const DebugLevel&) = delete;

 private:
  int was_;
};

// Getters

TEST(DataSetUtils, GettersConvertAndGiveZeroForNullOrBadValues) {
  test::MemDataSet ds;
  Fill(ds);
  EXPECT_EQ(data::FieldStr(ds, " name "), "Alpha");
  EXPECT_EQ(data::FieldStr(ds, "NAME", 8), "Alpha   ");
  EXPECT_EQ(data::FieldStr(ds, "NAME", 3), "Alp");
  EXPECT_EQ(data::FieldStr(ds, "AMT"), "12,5");
  EXPECT_EQ(data::FieldInt(ds, "ID"), 7);
  EXPECT_DOUBLE_EQ(data::FieldFloat(ds, "AMT"), 12.5);
  EXPECT_EQ(data::FieldDate(ds, "DT"), base::EncodeDate(2024, 3, 5));
  EXPECT_TRUE(data::FieldBool(ds, "OK"));
  Lines lines;
  data::FieldLines(ds, "NOTE", lines);
  EXPECT_EQ(lines, (Lines{"x", "y"}));

  ds.Next();  // every field but the key NULL
  EXPECT_EQ(data::FieldStr(ds, "AMT", 4), "    ");
  EXPECT_EQ(data::FieldFloat(ds, "AMT"), 0);
  EXPECT_EQ(data::FieldDate(ds, "DT"), 0);
  EXPECT_FALSE(data::FieldBool(ds, "OK"));
  lines = {"left over"};
  data::FieldLines(ds, "NOTE", lines);
  EXPECT_TRUE(lines.empty());

  ds.Next();  // a text that is not a number, a NULL integer
  EXPECT_EQ(data::FieldInt(ds, "NAME"), 0);
  EXPECT_EQ(data::FieldFloat(ds, "NAME"), 0);
  EXPECT_EQ(data::FieldDate(ds, "NAME"), 0);
  EXPECT_EQ(data::FieldInt(ds, "ID"), 0);

  EXPECT_EQ(test::ErrorOf<Error>([&] { data::FieldStr(ds, "NOPE"); }), "M:Field 'NOPE' not found");

  ds.Close();
  EXPECT_EQ(data::FieldStr(ds, "NAME", 3), "   ");
  EXPECT_EQ(data::FieldInt(ds, "ID"), 0);
  EXPECT_TRUE(data::FieldValue(ds, "NAME").IsEmpty());
}

TEST(DataSetUtils, FieldValueTakesANameFirstThenAZeroBasedIndex) {
  test::MemDataSet ds;
  Fill(ds);
  EXPECT_EQ(data::FieldValue(ds, "NAME"), T("Alpha"));
  EXPECT_EQ(data::FieldValue(ds, "0"), I(7));
  EXPECT_EQ(data::FieldValue(ds, " 2 "), F(12.5));
  // A field named "1" wins over the field at index 1.
  EXPECT_EQ(data::FieldValue(ds, "1"), T("one"));
  ds.Next();
  EXPECT_TRUE(data::FieldValue(ds, "2").IsNull());

  EXPECT_EQ(test::ErrorOf<Error>([&] { data::FieldValue(ds, "7"); }), "Field index 7 out of range");
  EXPECT_EQ(test::ErrorOf<Error>([&] { data::FieldValue(ds, "-1"); }), "Field index -1 out of range");
  EXPECT_EQ(test::ErrorOf<Error>([&] { data::FieldValue(ds, "X"); }), "M:Field 'X' not found");
}

// Setters

TEST(DataSetUtils, SetFieldStrWritesOutsideBrowseAndReportsARefusal) {
  test::ScriptedPresenter presenter;
  test::MemDataSet ds;
  Fill(ds);

  // Browse: nothing written, nothing shown.
  EXPECT_FALSE(data::SetFieldStr(ds, "NAME", "Gamma"));
  EXPECT_EQ(data::FieldStr(ds, "NAME"), "Alpha");

  ds.Edit();
  EXPECT_TRUE(data::SetFieldStr(ds, "NAME", "Gamma"));
  EXPECT_TRUE(data::SetFieldStr(ds, "AMT", "3,75"));
  EXPECT_TRUE(data::SetFieldStr(ds, "NOTE", ""));
  EXPECT_TRUE(ds.FieldByName("NOTE").IsNull());
  // A text the field cannot take: refused and shown, debugging or not.
  EXPECT_FALSE(data::SetFieldStr(ds, " ID ", "abc"));
  EXPECT_FALSE(data::SetFieldStr(ds, "NOPE", "x"));
  ds.Post();
  EXPECT_EQ(data::FieldStr(ds, "NAME"), "Gamma");
  EXPECT_DOUBLE_EQ(data::FieldFloat(ds, "AMT"), 3.75);
  EXPECT_EQ(data::FieldInt(ds, "ID"), 7);
  EXPECT_EQ(presenter.Texts(), (Lines{"Σφάλμα κατα την μεταβολή τιμής. Πεδίο : ID"_gr,
                                      "Σφάλμα κατα την μεταβολή τιμής. Πεδίο : NOPE"_gr}));
}

TEST(DataSetUtils, OtherSettersShowTheMessageOnlyWhenDebugging) {
  test::ScriptedPresenter presenter;
  test::MemDataSet ds;
  Fill(ds);
  ds.Edit();

  // Not debugging: refusals are silent; SetFieldInt and SetFieldFloat raise.
  EXPECT_FALSE(data::SetFieldBool(ds, "NOPE", true));
  EXPECT_FALSE(data::SetFieldDate(ds, "NOPE", 45000));
  EXPECT_FALSE(data::SetFieldLines(ds, "NOPE", {"a"}));
  EXPECT_EQ(test::ErrorOf<Error>([&] { data::SetFieldInt(ds, "NOPE", 1); }), "M:Field 'NOPE' not found");
  EXPECT_EQ(test::ErrorOf<Error>([&] { data::SetFieldFloat(ds, "NOPE", 1); }), "M:Field 'NOPE' not found");
  EXPECT_TRUE(presenter.Texts().empty());

  {
    DebugLevel debug(1);
    EXPECT_FALSE(data::SetFieldBool(ds, "NOPE", true));
    EXPECT_EQ(test::ErrorOf<Error>([&] { data::SetFieldInt(ds, "NOPE", 1); }), "M:Field 'NOPE' not found");
    EXPECT_EQ(test::ErrorOf<Error>([&] { data::SetFieldFloat(ds, "NOPE", 1); }), "M:Field 'NOPE' not found");
  }
  const std::string message = "Σφάλμα κατα την μεταβολή τιμής. Πεδίο : NOPE"_gr;
  EXPECT_EQ(presenter.Texts(), (Lines{message, message}));

  // What they write.
  data::SetFieldInt(ds, "ID", 70);
  data::SetFieldFloat(ds, "AMT", 0.5);
  EXPECT_TRUE(data::SetFieldBool(ds, "OK", false));
  EXPECT_TRUE(data::SetFieldDate(ds, "DT", base::EncodeDate(2025, 1, 2)));
  EXPECT_FALSE(data::SetFieldDate(ds, "DT", 0));  // a zero date leaves the field alone
  EXPECT_TRUE(data::SetFieldLines(ds, "NOTE", {"first", "", "third"}));
  ds.Post();
  EXPECT_EQ(data::FieldInt(ds, "ID"), 70);
  EXPECT_DOUBLE_EQ(data::FieldFloat(ds, "AMT"), 0.5);
  EXPECT_FALSE(data::FieldBool(ds, "OK"));
  EXPECT_EQ(data::FieldDate(ds, "DT"), base::EncodeDate(2025, 1, 2));
  EXPECT_EQ(data::FieldStr(ds, "NOTE"), "first\r\n\r\nthird\r\n");
  Lines lines;
  data::FieldLines(ds, "NOTE", lines);
  EXPECT_EQ(lines, (Lines{"first", "", "third"}));

  // In browse state SetFieldDate writes nothing; the other setters try and fail.
  EXPECT_FALSE(data::SetFieldDate(ds, "DT", base::EncodeDate(2030, 1, 1)));
  EXPECT_FALSE(data::SetFieldBool(ds, "OK", true));
  EXPECT_EQ(test::ErrorOf<Error>([&] { data::SetFieldInt(ds, "ID", 1); }), "DataSet Not in Edit or Insert Mode");
  EXPECT_EQ(data::FieldDate(ds, "DT"), base::EncodeDate(2025, 1, 2));
  EXPECT_EQ(presenter.Texts().size(), 2U);
}

TEST(DataSetUtils, EmptinessAndEditing) {
  test::ScriptedPresenter presenter;
  DebugLevel debug(1);
  test::MemDataSet ds;
  EXPECT_TRUE(data::DataSetIsEmpty(ds));  // closed
  Fill(ds);
  EXPECT_FALSE(data::DataSetIsEmpty(ds));
  EXPECT_FALSE(data::IsEditing(ds));
  ds.Edit();
  EXPECT_TRUE(data::IsEditing(ds));
  ds.Cancel();
  ds.Append();
  EXPECT_TRUE(data::IsEditing(ds));
  ds.Cancel();

  // Filtered down to nothing, and a single row walked to its end: the
  // begin-and-end test agrees with the emptiness test, so nothing is shown.
  ds.SetFilter("ID = 99");
  ds.SetFiltered(true);
  EXPECT_TRUE(data::DataSetIsEmpty(ds));
  ds.SetFilter("ID = 8");
  EXPECT_FALSE(data::DataSetIsEmpty(ds));
  ds.Last();
  ds.Next();
  EXPECT_FALSE(data::DataSetIsEmpty(ds));
  EXPECT_TRUE(presenter.Texts().empty());
}

// Lists of values and fields

TEST(DataSetUtils, ColumnValuesWalksEveryRowAndReturnsTheCursor) {
  test::MemDataSet ds;
  Fill(ds);
  ds.Next();
  test::RecordingObserver views;
  ds.AddObserver(&views);
  Lines list = {"old"};
  EXPECT_EQ(data::ColumnValues(ds, "NAME", list), 3);
  EXPECT_EQ(list, (Lines{"Alpha", "Beta", "12abc"}));
  EXPECT_EQ(ds.RecNo(), 2);
  // No row moves reach the views; they refresh once at the end.
  EXPECT_EQ(views.events, (Lines{"disabled", "enabled", "changed"}));

  EXPECT_EQ(data::ColumnValues(ds, "@", list), 3);
  EXPECT_EQ(list[1], "8|Beta|||||");
  EXPECT_EQ(data::ColumnValues(ds, "*", list), 3);
  EXPECT_EQ(list[0], "7|Alpha|12,5|05/03/24|True|one|x\r\ny\r\n");
  ds.RemoveObserver(&views);

  EXPECT_EQ(test::ErrorOf<Error>([&] { data::ColumnValues(ds, "NOPE", list); }), "M:Field 'NOPE' not found");
  EXPECT_EQ(ds.RecNo(), 2);
  ds.Close();
  EXPECT_EQ(data::ColumnValues(ds, "NAME", list), 0);
  EXPECT_TRUE(list.empty());
}

TEST(DataSetUtils, FieldListsAndLabels) {
  test::MemDataSet ds;
  ds.OpenWith({"ID,3,0", "DSC,1,30", "X,1,5"}, {});
  ds.FieldByName("DSC").SetDisplayLabel("Long name, \"quoted\"");
  ds.FieldByName("ID").SetDisplayLabel("Code");
  ds.FieldByName("ID").SetDisplayWidth(4);
  ds.FieldByName("X").SetVisible(false);

  EXPECT_EQ(data::FieldListText(ds, 1, false), "ID,DSC,X");
  EXPECT_EQ(data::FieldListText(ds, 1, true), "ID,DSC");
  EXPECT_EQ(data::FieldListText(ds, 2, true), "Code,\"Long name, \"\"quoted\"\"\"");
  EXPECT_EQ(data::FieldListText(ds, 3, false), "4,30,5");
  EXPECT_EQ(data::FieldListText(ds, 4, false), "");

  EXPECT_EQ(data::FieldNameOfLabel(ds, " code "), "ID");
  EXPECT_EQ(data::FieldNameOfLabel(ds, "x"), "X");  // the label defaults to the name
  EXPECT_EQ(data::FieldNameOfLabel(ds, "none"), "");
  EXPECT_EQ(data::LabelOfField(ds, "id"), "Code");
  EXPECT_EQ(data::LabelOfField(ds, "nope"), "");
}

TEST(DataSetUtils, DefaultWidthsByType) {
  base::FormatSettings& formats = base::ProcessFormats();
  const std::string shortDate = formats.shortDateFormat;
  struct Case {
    link::TFieldType type;
    int displayWidth;
    int expected;
  };
  formats.shortDateFormat = "dd/mm/yyyy";
  for (const Case& c :
       std::vector<Case>{{link::ftUnknown, 40, 2}, {link::ftString, 60, 60},    {link::ftString, 61, 30},
                         {link::ftBytes, 12, 12},  {link::ftVarBytes, 100, 30}, {link::ftSmallint, 6, 5},
                         {link::ftWord, 6, 5},     {link::ftBoolean, 6, 5},     {link::ftInteger, 11, 10},
                         {link::ftFloat, 8, 15},   {link::ftCurrency, 8, 15},   {link::ftBCD, 8, 15},
                         {link::ftDate, 8, 10},    {link::ftTime, 8, 10},       {link::ftDateTime, 19, 10},
                         {link::ftAutoInc, 11, 0}, {link::ftMemo, 10, 10},      {link::ftGraphic, 10, 10},
                         {link::ftFmtMemo, 10, 0}, {link::ftLargeint, 20, 0},   {link::ftGuid, 38, 0}}) {
    EXPECT_EQ(data::DefaultDisplayWidth(c.type, c.displayWidth), c.expected) << "type " << int(c.type);
  }
  // Two-digit years: the date is two characters narrower.
  formats.shortDateFormat = "dd/mm/yy";
  EXPECT_EQ(data::DefaultDisplayWidth(link::ftDate, 10), 8);

  test::MemDataSet ds;
  ds.OpenWith({"ID,3,0", "NAME,1,80", "AMT,6,0", "CNT,2,0"}, {});
  ds.FieldByName("CNT").SetDisplayFormat("0");
  data::SetDefaultWidths(ds, 0);
  EXPECT_EQ(data::FieldListText(ds, 3, false), "10,30,15,5");
  EXPECT_EQ(ds.FieldByName("AMT").DisplayFormat(), "#,###.00");
  EXPECT_EQ(ds.FieldByName("CNT").DisplayFormat(), "0");
  data::SetDefaultWidths(ds, 12);
  EXPECT_EQ(data::FieldListText(ds, 3, false), "10,12,12,5");
  formats.shortDateFormat = shortDate;
}

TEST(DataSetUtils, StateColours) {
  EXPECT_EQ(data::StateColour(data::dsEdit), 0xFF0000U);
  EXPECT_EQ(data::StateColour(data::dsInsert), 0xFF00FFU);
  for (int state : std::vector<int>{data::dsInactive, data::dsBrowse, data::dsSetKey, data::dsCalcFields, 99}) {
    EXPECT_EQ(data::StateColour(state), 0x00FFFFU) << state;
  }
}

// Start of the utilities

TEST(DataSetUtils, InitRunsOnceAndShowsTheSQLDisplayWhenDebugging) {
  data::ResetDataSetUtils();
  std::vector<std::string> shown;
  data::SetSQLDisplay([&](const std::string& sql) { shown.push_back("[" + sql + "]"); });
  {
    DebugLevel debug(1);
    data::InitDataSetUtils();
    data::InitDataSetUtils();
  }
  EXPECT_EQ(shown, Lines{"[]"});
  data::ShowSQL("select 1 from DUAL");
  EXPECT_EQ(shown.back(), "[select 1 from DUAL]");

  // Without an SQL window a text reaches the message window; an empty one
  // shows nothing.
  data::SetSQLDisplay(nullptr);
  {
    test::ScriptedPresenter presenter;
    data::ShowSQL("select 2 from DUAL");
    data::ShowSQL("");
    ASSERT_EQ(presenter.AllShown().size(), 1U);
    EXPECT_EQ(presenter.AllShown()[0].text, "select 2 from DUAL");
    EXPECT_EQ(presenter.AllShown()[0].kind, base::mkInformation);
  }

  // The dictionary holds no table: every question finds nothing.
  data::TMyDictInfo& dict = data::DictInfo();
  EXPECT_FALSE(dict.HasTable("UP_DELT"));
  EXPECT_EQ(dict.Label("UP_DELT", "ID"), "");
  EXPECT_TRUE(dict.FieldNames("UP_DELT").empty());
  data::LookupFieldNames().push_back("ID");

  data::ResetDataSetUtils();
  data::InitDataSetUtils();
  EXPECT_EQ(shown.size(), 2U);  // the display went back to the debug log
  EXPECT_TRUE(data::LookupFieldNames().empty());
  data::ResetDataSetUtils();
}

TEST(DataSetUtils, DictionaryAnswersForARegisteredTable) {
  data::TMyDictInfo dict;
  dict.AddTable("up_delt", "1;0", {"id", " dsc "}, {"Code:N:5", "Text"});
  EXPECT_TRUE(dict.HasTable("UP_DELT"));
  EXPECT_EQ(dict.Flags("Up_Delt"), "1;0");
  EXPECT_EQ(dict.FieldNames("UP_DELT"), (Lines{"ID", "DSC"}));
  EXPECT_EQ(dict.Descriptor("UP_DELT", "id"), "Code:N:5");
  EXPECT_EQ(dict.Label("UP_DELT", "ID"), "Code");
  EXPECT_EQ(dict.Label("UP_DELT", "DSC"), "Text");
  EXPECT_EQ(dict.Label("UP_DELT", "NAME"), "");
}

}  // namespace
