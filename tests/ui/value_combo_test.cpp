// The combo box with a value map: the map and the no-filter item as tables,
// the box offscreen, and check mode asking the multi-choice list.

#include <gtest/gtest.h>

#include <QTest>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "host_window.h"
#include "support/screenshot.h"
#include "support/scripted_presenter.h"
#include "ui/qt_text.h"
#include "ui/value_combo.h"
#include "ui/value_map.h"

using namespace mero;
using namespace mero::base::literals;
using ui::ValueItem;

namespace {

const std::vector<std::string> kColours = {"Red\t3", "Green\t4", "Blue\t5"};

TEST(ValueMap, ItemsSplitAtTheTabAndFilterBoxesStartWithTheNoFilterItem) {
  const std::vector<ValueItem> parsed = ui::ParseValueItems({"Red\t3", "Dark\tgreen\t4", "Plain", "\t"});
  EXPECT_EQ(parsed, (std::vector<ValueItem>{{"Red", "3"}, {"Dark", "green\t4"}, {"Plain", "Plain"}, {"", ""}}));

  const std::vector<ValueItem> colours = ui::ParseValueItems(kColours);
  const ValueItem noFilter{"**Χωρίς Φίλτρο**"_gr, "-1"};
  struct Case {
    int tag;
    bool check;
    bool noFilterFirst;
  };
  const Case cases[] = {{0, false, false},    {2999, false, false}, {3000, false, true}, {3010, false, true},
                        {3099, false, true},  {3100, false, false}, {3010, true, false}};
  for (const Case& c : cases) {
    const std::vector<ValueItem> items = ui::ComboItems(colours, c.tag, c.check);
    ASSERT_EQ(items.size(), colours.size() + (c.noFilterFirst ? 1 : 0)) << c.tag << " " << c.check;
    EXPECT_EQ(items.front() == noFilter, c.noFilterFirst) << c.tag << " " << c.check;
    EXPECT_EQ(items.back(), colours.back());
    // Filling a filter box again with what it lists keeps one no-filter item.
    EXPECT_EQ(ui::ComboItems(items, c.tag, c.check), items) << c.tag;
  }
}

TEST(ValueMap, ValuesAndTheCheckModeTexts) {
  const std::vector<ValueItem> colours = ui::ParseValueItems(kColours);
  EXPECT_EQ(ui::IndexOfValue(colours, "4"), 1);
  EXPECT_EQ(ui::IndexOfValue(colours, "Green"), -1);
  EXPECT_EQ(ui::CheckItems(colours), (std::vector<std::string>{"3;Red", "4;Green", "5;Blue"}));
  struct Case {
    const char* chosen;
    const char* hint;
  };
  const Case cases[] = {
      {"3;5;", "Χρώμα:\nRed\nBlue"},
      {"3;5", "Χρώμα:\nRed\nBlue"},
      {";4;", "Χρώμα:\nGreen"},
      {"", "Χρώμα:"},
      {"35;", "Χρώμα:"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ui::CheckHint("Χρώμα"_gr, c.chosen, colours), base::Utf8ToWin1253(c.hint)) << c.chosen;
  }
}

TEST(ValueCombo, AFilterBoxShowsTheNoFilterItemFirstAlsoWhenRefilled) {
  auto* box = new ui::TKZDBCBox1;
  test::HostWindow window("TKZDBCBox1", {box});
  box->SetTag(3010);
  box->SetItems(kColours);
  ASSERT_EQ(box->count(), 4);
  EXPECT_EQ(box->currentIndex(), 0);
  EXPECT_EQ(ui::FromQString(box->currentText()), "**Χωρίς Φίλτρο**"_gr);
  EXPECT_EQ(box->Value(), "-1");
  test::Screenshot(&window, "value_combo_filter");

  box->SetValue("5");
  EXPECT_EQ(ui::FromQString(box->currentText()), "Blue");
  EXPECT_EQ(box->Value(), "5");
  box->SetValue("9");
  EXPECT_EQ(box->Value(), "");

  box->SetItems({"One\t1", "Two\t2"});
  ASSERT_EQ(box->count(), 3);
  EXPECT_EQ(box->Value(), "-1");
  EXPECT_EQ(ui::FromQString(box->itemText(1)), "One");

  box->SetTag(0);
  EXPECT_EQ(box->count(), 2);
  EXPECT_EQ(box->currentIndex(), -1);
}

TEST(ValueCombo, ABoxTakesItsMastersMapItemsAndIndex) {
  auto* master = new ui::TKZDBCBox1;
  auto* copy = new ui::TKZDBCBox1;
  test::HostWindow window("TKZDBCBox1", {master, copy});
  master->SetTag(3000);
  master->SetItems(kColours);
  master->SetValue("4");
  copy->SetzMastCB(master);
  EXPECT_EQ(copy->zMastCB(), master);
  EXPECT_EQ(copy->count(), 4);
  EXPECT_EQ(copy->Value(), "4");
  copy->SetValue("-1");
  EXPECT_EQ(copy->currentIndex(), 0);
  EXPECT_EQ(master->Value(), "4");
}

TEST(ValueCombo, CheckModeAsksTheMultiChoiceListAndShowsTheChoiceInItsHint) {
  test::ScriptedPresenter presenter;
  auto* box = new ui::TKZDBCBox1;
  test::HostWindow window("TKZDBCBox1", {box});
  box->SetTag(3010);
  box->SetzIsCheck(1);
  box->SetzTitle("Χρώμα"_gr);
  box->SetItems(kColours);
  EXPECT_EQ(box->count(), 3);
  box->SetValue("3;");

  presenter.AnswerMany("3;5;");
  box->setFocus();
  QTest::keyClick(box, Qt::Key_F4);
  EXPECT_EQ(presenter.Texts(), std::vector<std::string>{"Χρώμα"_gr});
  EXPECT_EQ(box->Value(), "3;5;");
  EXPECT_EQ(ui::FromQString(box->currentText()), "3;5;");
  EXPECT_EQ(ui::FromQString(box->toolTip()), base::Utf8ToWin1253("Χρώμα:\nRed\nBlue"));
  test::Screenshot(&window, "value_combo_check");

  box->SetItems(kColours);
  EXPECT_EQ(box->Value(), "3;5;");
}

}  // namespace
