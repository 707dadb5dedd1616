// The multi-choice list: the value mapping and the Shift/Ctrl ranges as
// tables, and the window behind ChooseMany offscreen.

#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "base/message_seam.h"
#include "dialog_driving.h"
#include "support/screenshot.h"
#include "ui/multi_choice_dialog.h"
#include "ui/multi_choice_rules.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

const std::vector<std::string> kColours = {"3;Red", "4;Green", "5;Blue"};

TEST(MultiChoiceRules, TheCurrentTextChecksItsValuesTheLastOneToo) {
  struct Case {
    const char* current;
    std::vector<std::string> items;
    std::vector<bool> checked;
  };
  const Case cases[] = {
      {"3;5", kColours, {true, false, true}},
      {";3;5;", kColours, {true, false, true}},
      {"5", kColours, {false, false, true}},
      {"4;", kColours, {false, true, false}},
      {"", kColours, {false, false, false}},
      {"35;", {"3;Three", "35;Thirty-five", "5;Five"}, {false, true, false}},
      {"A;B", {"A;B", "B"}, {true, true}},
  };
  for (const Case& c : cases) EXPECT_EQ(ui::CheckedChoices(c.current, c.items), c.checked) << c.current;
  EXPECT_EQ(ui::ChosenValues(kColours, {true, false, true}), "3;5;");
  EXPECT_EQ(ui::ChosenValues(kColours, {false, false, false}), "");
  const ui::ChoiceItem split = ui::SplitChoiceItem("7;Μαύρο;ματ"_gr);
  EXPECT_EQ(split.value, "7");
  EXPECT_EQ(split.display, "Μαύρο;ματ"_gr);
}

TEST(MultiChoiceRules, ShiftChecksUpToTheItemCtrlFromItOnAndCtrlWins) {
  const std::vector<bool> marks = {false, true, false, false, true};
  struct Case {
    int clicked;
    bool shift;
    bool ctrl;
    std::vector<bool> result;
  };
  const Case cases[] = {
      {2, true, false, {true, true, true, false, false}},
      {2, false, true, {false, false, true, true, true}},
      {2, true, true, {false, false, true, true, true}},
      {0, true, false, {true, false, false, false, false}},
      {4, false, true, {false, false, false, false, true}},
      {2, false, false, marks},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ui::RangeChecked(marks, c.clicked, c.shift, c.ctrl), c.result)
        << "item " << c.clicked << " shift " << c.shift << " ctrl " << c.ctrl;
}

std::vector<bool> Marks(const ui::TxMultiCheckF& d) { return d.Checked(); }

// Where a click toggles the item's check mark.
QPoint CheckMarkOf(QListWidget* list, int row) {
  QStyleOptionViewItem option;
  option.initFrom(list);
  option.rect = list->visualItemRect(list->item(row));
  option.features = QStyleOptionViewItem::HasCheckIndicator;
  return list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list).center();
}

TEST(MultiChoiceDialog, OpensOnTheCurrentValuesAndOkReturnsThemInListOrder) {
  test::QtPresenterScope real;
  test::ModalSteps<ui::TxMultiCheckF> steps([](ui::TxMultiCheckF& d) {
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("Χρώματα"));
    ASSERT_EQ(d.List()->count(), 3);
    EXPECT_EQ(d.List()->item(0)->text(), QStringLiteral("Red"));
    EXPECT_EQ(Marks(d), (std::vector<bool>{true, false, true}));
    test::Screenshot(&d, "multi_choice");
    QTest::mouseClick(d.OkButton(), Qt::LeftButton);
  });
  EXPECT_EQ(base::ChooseMany("Χρώματα"_gr, "3;5", kColours), "3;5;");
  EXPECT_TRUE(steps.Ran());
}

TEST(MultiChoiceDialog, ShiftAndCtrlChecksMakeRangesAndEscKeepsTheCurrentText) {
  test::QtPresenterScope real;
  const std::vector<std::string> items = {"1;A", "2;B", "3;C", "4;D", "5;E"};
  test::ModalSteps<ui::TxMultiCheckF> steps([](ui::TxMultiCheckF& d) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    QListWidget* list = d.List();
    list->setCurrentRow(2);
    QTest::keyClick(list, Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_EQ(Marks(d), (std::vector<bool>{true, true, true, false, false}));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, CheckMarkOf(list, 3));
    EXPECT_EQ(Marks(d), (std::vector<bool>{false, false, false, true, true}));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier,
                      CheckMarkOf(list, 1));
    EXPECT_EQ(Marks(d), (std::vector<bool>{false, true, true, true, true}));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, CheckMarkOf(list, 2));
    EXPECT_EQ(Marks(d), (std::vector<bool>{false, true, false, true, true}));
    QTest::mouseClick(d.UncheckAllButton(), Qt::LeftButton);
    EXPECT_EQ(Marks(d), std::vector<bool>(5, false));
    QTest::mouseClick(d.CheckAllButton(), Qt::LeftButton);
    EXPECT_EQ(Marks(d), std::vector<bool>(5, true));
    EXPECT_EQ(d.Values(), "1;2;3;4;5;");
    QTest::keyClick(list, Qt::Key_Escape);
  });
  EXPECT_EQ(base::ChooseMany("Γράμματα"_gr, "2", items), "2");
  EXPECT_TRUE(steps.Ran());
}

}  // namespace
