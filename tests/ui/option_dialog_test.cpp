// The option list: where it starts and what a digit chooses, and the window
// behind ChooseOption driven by keys offscreen.

#include <gtest/gtest.h>

#include <QListWidget>
#include <QTest>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "base/message_seam.h"
#include "dialog_driving.h"
#include "support/screenshot.h"
#include "ui/option_choice.h"
#include "ui/option_dialog.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

TEST(OptionChoice, StartRowFollowsThePreselectionWithinTheList) {
  struct Case {
    int count;
    int preselect;
    int row;
  };
  const Case cases[] = {{5, 1, 0}, {5, 3, 2}, {5, 5, 4}, {5, 6, 0}, {5, 0, 0}, {5, -2, 0}, {1, 1, 0}};
  for (const Case& c : cases)
    EXPECT_EQ(ui::OptionStartRow(c.count, c.preselect), c.row) << c.count << " options, preselect " << c.preselect;
}

TEST(OptionChoice, ADigitChoosesOnlyAnOptionThatExists) {
  struct Case {
    int count;
    int digit;
    int chosen;
  };
  const Case cases[] = {{5, 1, 1}, {5, 4, 4}, {5, 5, 5}, {5, 6, 0}, {5, 7, 0}, {5, 9, 0},
                        {5, 0, 0}, {12, 9, 9}, {1, 2, 0}};
  for (const Case& c : cases)
    EXPECT_EQ(ui::OptionForDigit(c.count, c.digit), c.chosen) << c.count << " options, digit " << c.digit;
}

const std::vector<std::string> kFive = {"Πρώτη"_gr, "Δεύτερη"_gr, "Τρίτη"_gr, "Τέταρτη"_gr, "Πέμπτη"_gr};

TEST(OptionDialog, DigitsChooseDirectlyAndADigitPastTheListIsIgnored) {
  test::QtPresenterScope real;
  struct Case {
    Qt::KeyboardModifiers modifiers;
    int expected;
  };
  for (const Case& c : {Case{Qt::NoModifier, 4}, Case{Qt::KeypadModifier, 4}}) {
    test::ModalSteps<ui::TGetOptF> steps([&](ui::TGetOptF& d) {
      EXPECT_EQ(d.windowTitle(), QString::fromUtf8("Επιλογή"));
      EXPECT_EQ(d.List()->count(), 5);
      EXPECT_EQ(d.List()->currentRow(), 1);
      test::Screenshot(&d, "option_dialog");
      QTest::keyClick(d.List(), Qt::Key_7, c.modifiers);
      EXPECT_TRUE(d.isVisible()) << "7 of five options";
      QTest::keyClick(d.List(), Qt::Key_4, c.modifiers);
    });
    EXPECT_EQ(base::ChooseOption(kFive, "Επιλογή"_gr, 2), c.expected);
    EXPECT_TRUE(steps.Ran());
  }
}

TEST(OptionDialog, EscChoosesNoneEnterTheSelectedAndClosingIsRefused) {
  test::QtPresenterScope real;
  {
    test::ModalSteps<ui::TGetOptF> steps([](ui::TGetOptF& d) { QTest::keyClick(d.List(), Qt::Key_Escape); });
    EXPECT_EQ(base::ChooseOption(kFive, "Επιλογή"_gr, 1), -1);
    EXPECT_TRUE(steps.Ran());
  }
  {
    test::ModalSteps<ui::TGetOptF> steps([](ui::TGetOptF& d) {
      EXPECT_EQ(d.List()->currentRow(), 0) << "a preselection of 0 starts on the first option";
      QTest::keyClick(d.List(), Qt::Key_F4, Qt::AltModifier);
      EXPECT_FALSE(d.close());
      EXPECT_TRUE(d.isVisible());
      QTest::keyClick(d.List(), Qt::Key_Down);
      QTest::keyClick(d.List(), Qt::Key_Down);
      QTest::keyClick(d.List(), Qt::Key_Return);
    });
    EXPECT_EQ(base::ChooseOption(kFive, "Επιλογή"_gr, 0), 3);
    EXPECT_TRUE(steps.Ran());
  }
  {
    test::ModalSteps<ui::TGetOptF> steps([](ui::TGetOptF& d) {
      QListWidget* list = d.List();
      EXPECT_TRUE(QTest::qWaitForWindowExposed(&d));
      const QRect fifth = list->visualItemRect(list->item(4));
      test::DoubleClick(list->viewport(), fifth.center());
    });
    EXPECT_EQ(base::ChooseOption(kFive, "Επιλογή"_gr, 9), 5);
    EXPECT_TRUE(steps.Ran());
  }
}

}  // namespace
