// The grid's rules as plain classes: layout strings, the title-click sort
// history, the footer sums, the report definition and the print widths.

#include <gtest/gtest.h>

#include <QString>

#include "base/encoding.h"
#include "base/number_format.h"
#include "base/runtime.h"
#include "data/dataset_fixture.h"
#include "ui/column_layout.h"
#include "ui/footer_sums.h"
#include "ui/qt_text.h"
#include "ui/report_definition.h"
#include "ui/sort_history.h"

using namespace mero;
using namespace mero::base::literals;
using test::F;
using test::I;
using test::MemDataSet;
using test::T;

namespace {

const std::vector<std::string> kFields = {"ID,3,0", "NAME,1,20", "AMOUNT,6,0", "QTY,3,0", "PAID,5,0"};

std::vector<test::Row> Rows() {
  return {{I(1), T("b"), F(1.25), I(3), base::Variant::Boolean(true)},
          {I(2), T("a"), F(2.5), I(1), base::Variant::Boolean(false)},
          {I(3), T("b"), F(10), I(2), base::Variant::Boolean(false)}};
}

TEST(ColumnLayout, LayoutStringsParse) {
  struct Case {
    std::string line;
    bool parsed;
    std::string field;
    int width;
    std::string title;
    bool readOnly;
  } cases[] = {
      {"DTFIN\t10\t" + "Οριστικό"_gr, true, "DTFIN", 10, "Οριστικό"_gr, false},
      {"NAME\tx\tName", true, "NAME", -1, "Name", false},  // a bad width keeps the field's own
      {"NAME\t-3\tName", true, "NAME", -1, "Name", false},
      {"NAME\t8\tName\tT", true, "NAME", 8, "Name", true},
      {"NAME\t8\tName\tF", true, "NAME", 8, "Name", false},
      {"NAME\t8", true, "NAME", 8, "", false},
      {"", false, "", 0, "", false},
      {"\t8\tNo field", false, "", 0, "", false},
  };
  for (const Case& c : cases) {
    const std::optional<ui::ColumnSpec> spec = ui::ParseColumnLayout(c.line);
    ASSERT_EQ(spec.has_value(), c.parsed) << c.line;
    if (!spec) continue;
    EXPECT_EQ(spec->fieldName, c.field) << c.line;
    EXPECT_EQ(spec->widthChars, c.width) << c.line;
    EXPECT_EQ(spec->title, c.title) << c.line;
    EXPECT_EQ(spec->readOnly, c.readOnly) << c.line;
  }
}

TEST(ColumnLayout, FieldsTakeTitleWidthAndVisibilityAndUnknownNamesAreSkipped) {
  MemDataSet ds;
  ds.OpenWith(kFields, Rows());
  ui::ColumnLayout layout;
  layout.SetSelected({"AMOUNT\t12\t"_gr + "Ποσό"_gr + "\tT", "GHOST\t5\tNone", "name\tx\tName"});
  layout.ApplyToFields(ds);
  const std::vector<ui::GridColumn> columns = layout.Columns(ds);
  ASSERT_EQ(columns.size(), 2u);
  EXPECT_EQ(columns[0].field->FieldName(), "AMOUNT");
  EXPECT_EQ(columns[0].widthPx, 12 * 6 + 7);
  EXPECT_TRUE(columns[0].readOnly);
  EXPECT_EQ(columns[0].field->DisplayLabel(), "Ποσό"_gr);
  EXPECT_EQ(columns[1].field->FieldName(), "NAME");
  EXPECT_EQ(columns[1].widthPx, 20 * 6 + 7);  // the field's own width
  EXPECT_FALSE(columns[1].readOnly);
  EXPECT_FALSE(ds.FieldByName("ID").Visible());
  EXPECT_FALSE(ds.FieldByName("QTY").Visible());
}

TEST(ColumnLayout, WithoutLayoutStringsEveryVisibleFieldShowsAndBooleansAreCheckBoxes) {
  MemDataSet ds;
  ds.OpenWith(kFields, Rows());
  ds.FieldByName("QTY").SetVisible(false);
  ds.FieldByName("ID").SetDisplayWidth(4);
  ui::ColumnLayout layout;
  layout.ApplyToFields(ds);
  const std::vector<ui::GridColumn> columns = layout.Columns(ds);
  std::vector<std::string> names;
  for (const ui::GridColumn& c : columns) names.push_back(c.field->FieldName() + (c.checkBox ? "[x]" : ""));
  EXPECT_EQ(names, (std::vector<std::string>{"ID", "NAME", "AMOUNT", "PAID[x]"}));
  EXPECT_EQ(columns[0].widthPx, 31);
}

TEST(SortHistory, TitleClicksBuildTheHistoryAndSortOnIt) {
  MemDataSet ds;
  ds.OpenWith(kFields, Rows());
  ui::SortHistory history;
  struct Step {
    std::string click;
    std::vector<std::string> entries;
    std::vector<std::string> ids;
  } steps[] = {
      {"NAME", {"NAME;0"}, {"2", "1", "3"}},
      {"AMOUNT", {"AMOUNT;0", "NAME;0"}, {"1", "2", "3"}},
      {"NAME", {"NAME;0", "AMOUNT;0", "NAME;0"}, {"2", "1", "3"}},
      {"NAME", {"NAME;1", "AMOUNT;0", "NAME;0"}, {"1", "3", "2"}},
  };
  for (const Step& s : steps) {
    ui::SortByTitleClick(ds, history, s.click);
    EXPECT_EQ(history.Entries(), s.entries) << s.click;
    EXPECT_EQ(test::Column(ds, "ID"), s.ids) << s.click;
  }
}

TEST(SortHistory, AFieldTheDatasetLacksRaisesTheSortError) {
  MemDataSet ds;
  ds.OpenWith(kFields, Rows());
  ui::SortHistory history;
  EXPECT_THROW(ui::SortByTitleClick(ds, history, "GHOST"), std::exception);
}

TEST(FooterSums, TextsByDisplayFormatOrGeneralFormat) {
  MemDataSet ds;
  ds.OpenWith(kFields, Rows());
  ds.FieldByName("AMOUNT").SetDisplayFormat("#0.00");
  ds.FieldByName("NAME").SetDisplayFormat("#0.00");  // not numeric: general format
  ui::FooterSums footer;
  footer.SetSumFields(" AMOUNT ; QTY;;ID ");
  ASSERT_TRUE(footer.Update(&ds));
  EXPECT_EQ(footer.Names(), (std::vector<std::string>{"AMOUNT", "QTY", "ID"}));
  EXPECT_EQ(footer.Texts(), (std::vector<std::string>{base::FormatFloat("#0.00", 13.75), "6", "6"}));
  EXPECT_EQ(footer.TextOf("qty"), "6");
  EXPECT_EQ(footer.TextOf("NAME"), "");
}

TEST(FooterSums, OnlyTheFirstFortyNamesCountAndNothingRunsWithoutRows) {
  ui::FooterSums footer;
  std::string text;
  for (int i = 1; i <= 41; ++i) text += (i == 41 ? "QTY" : "AMOUNT") + std::string(";");
  footer.SetSumFields(text);
  EXPECT_EQ(footer.Names().size(), 40u);
  EXPECT_EQ(footer.Names().back(), "AMOUNT");

  EXPECT_FALSE(footer.Update(nullptr));
  MemDataSet closed;
  EXPECT_FALSE(footer.Update(&closed));
  ui::FooterSums empty;
  MemDataSet ds;
  ds.OpenWith(kFields, Rows());
  EXPECT_FALSE(empty.Update(&ds));
  EXPECT_TRUE(footer.Update(&ds));
  EXPECT_EQ(footer.TextOf("QTY"), "");
}

TEST(FooterSums, SummingLeavesTheCursorAndAfterScrollAlone) {
  MemDataSet ds;
  ds.OpenWith(kFields, Rows());
  ds.Next();
  int scrolls = 0;
  ds.AfterScroll = [&scrolls] { ++scrolls; };
  ui::FooterSums footer;
  footer.SetSumFields("QTY");
  ASSERT_TRUE(footer.Update(&ds));
  EXPECT_EQ(ds.RecNo(), 2);
  EXPECT_EQ(scrolls, 0);
}

TEST(ReportDefinition, PrintWidths) {
  struct Case {
    int pixels;
    int width;
  } cases[] = {{100, 17}, {7, 2}, {337, 61}, {13, 2}, {19, 3}};
  for (const Case& c : cases) EXPECT_EQ(ui::PrintWidth(c.pixels), c.width) << c.pixels;
}

TEST(ReportDefinition, KindLetters) {
  EXPECT_EQ(ui::FieldKindLetter(link::ftInteger), 'N');
  EXPECT_EQ(ui::FieldKindLetter(link::ftFloat), 'N');
  EXPECT_EQ(ui::FieldKindLetter(link::ftDateTime), 'D');
  EXPECT_EQ(ui::FieldKindLetter(link::ftDate), 'D');
  EXPECT_EQ(ui::FieldKindLetter(link::ftString), 'C');
  EXPECT_EQ(ui::FieldKindLetter(link::ftBoolean), 'C');
}

TEST(ReportDefinition, SetTitlesKeepsClearsAndSplits) {
  ui::TMyRpt rpt;
  EXPECT_EQ(rpt.titleLines, (std::vector<std::string>{"------"}));
  EXPECT_EQ(rpt.leftLines, (std::vector<std::string>{"!!509", "!!502", "!!503"}));
  EXPECT_EQ(rpt.rightLines, (std::vector<std::string>{base::Rt().reportDateLabel}));
  rpt.SetTitles("Λίστα; Β γραμμή"_gr, "-", "");
  EXPECT_EQ(rpt.titleLines, (std::vector<std::string>{"Λίστα"_gr, "Β γραμμή"_gr}));
  EXPECT_TRUE(rpt.leftLines.empty());
  EXPECT_EQ(rpt.rightLines, (std::vector<std::string>{base::Rt().reportDateLabel}));
  rpt.SetTitles("", "", "-");
  EXPECT_EQ(rpt.titleLines.size(), 2u);
  EXPECT_TRUE(rpt.rightLines.empty());
  EXPECT_EQ(rpt.TitleRows(), 3);
}

TEST(ReportDefinition, ColumnStartsAndReportWidth) {
  ui::TMyRpt rpt;
  EXPECT_EQ(rpt.ReportWidth(), 0);
  EXPECT_EQ(rpt.ColumnStart(1), 0);
  rpt.rowNumberWidth = 4;
  for (int w : {10, 8, 12}) rpt.selected.push_back({"F", "F", 'C', w, 1});
  EXPECT_EQ(rpt.ColumnStart(1), 6);
  EXPECT_EQ(rpt.ColumnStart(2), 17);
  EXPECT_EQ(rpt.ColumnStart(3), 26);
  EXPECT_EQ(rpt.ReportWidth(), 37);
}

TEST(QtText, EveryByteConvertsAsTheEncodingDoes) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(ui::ToQString(all), QString::fromStdString(base::Win1253ToUtf8(all)));
  const std::string greek = "Μεταβολή Εμφάνισης"_gr;
  EXPECT_EQ(ui::FromQString(ui::ToQString(greek)), greek);
}

}  // namespace
