// The calendar: its month and year steps and day label as tables, and the
// window behind PickDate driven by keys and buttons offscreen.

#include <gtest/gtest.h>

#include <QCalendarWidget>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "base/clock.h"
#include "base/date_time.h"
#include "base/encoding.h"
#include "base/message_seam.h"
#include "dialog_driving.h"
#include "support/screenshot.h"
#include "ui/calendar_dialog.h"
#include "ui/calendar_rules.h"
#include "ui/qt_text.h"

using namespace mero;
using namespace mero::base::literals;
using base::EncodeDate;

namespace {

const base::TDateTime kToday = EncodeDate(2005, 3, 14);

TEST(CalendarRules, MonthAndYearStepsKeepTheDayWhereTheMonthHasIt) {
  struct Case {
    base::TDateTime from;
    int months;
    base::TDateTime to;
  };
  const Case cases[] = {
      {EncodeDate(2005, 3, 15), 1, EncodeDate(2005, 4, 15)},
      {EncodeDate(2005, 3, 15), -1, EncodeDate(2005, 2, 15)},
      {EncodeDate(2005, 1, 15), -1, EncodeDate(2004, 12, 15)},
      {EncodeDate(2004, 12, 15), 1, EncodeDate(2005, 1, 15)},
      {EncodeDate(2005, 1, 31), 1, EncodeDate(2005, 2, 28)},
      {EncodeDate(2004, 3, 31), -1, EncodeDate(2004, 2, 29)},
      {EncodeDate(2004, 2, 29), 12, EncodeDate(2005, 2, 28)},
      {EncodeDate(2005, 3, 15), -12, EncodeDate(2004, 3, 15)},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ui::ShiftCalendarMonths(c.from, c.months), c.to) << c.from << " by " << c.months;
}

TEST(CalendarRules, StartsOnTheDateOrTodayAndNamesTheDay) {
  base::ScopedClock clock(std::make_shared<base::FixedClock>(kToday + 0.6));
  EXPECT_EQ(ui::CalendarStartDate(0), kToday);
  EXPECT_EQ(ui::CalendarStartDate(EncodeDate(2004, 7, 1) + 0.5), EncodeDate(2004, 7, 1));
  struct Case {
    base::TDateTime date;
    std::string text;
    bool weekend;
  };
  const Case cases[] = {
      {EncodeDate(2005, 3, 12), "Σάββατο, 12/03/2005"_gr, true},
      {EncodeDate(2005, 3, 13), "Κυριακή, 13/03/2005"_gr, true},
      {EncodeDate(2005, 3, 14), "Δευτέρα, 14/03/2005"_gr, false},
      {EncodeDate(2005, 3, 18), "Παρασκευή, 18/03/2005"_gr, false},
  };
  for (const Case& c : cases) {
    const ui::CalendarDayLabel label = ui::DayLabelOf(c.date);
    EXPECT_EQ(label.text, c.text);
    EXPECT_EQ(label.weekend, c.weekend) << label.text;
  }
}

QColor LabelColour(const ui::TgDateuF& d) { return d.DayLabel()->palette().color(QPalette::WindowText); }

TEST(CalendarDialog, PageKeysAndButtonsStepMonthsAndYearsAndOkPicks) {
  test::QtPresenterScope real;
  base::ScopedClock clock(std::make_shared<base::FixedClock>(kToday + 0.6));
  test::ModalSteps<ui::TgDateuF> steps([](ui::TgDateuF& d) {
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("Επιλογή Ημερομηνίας"));
    EXPECT_EQ(d.Date(), kToday);
    EXPECT_EQ(d.DayLabel()->text(), QString::fromUtf8("Δευτέρα, 14/03/2005"));
    EXPECT_EQ(LabelColour(d), QColor(Qt::blue));
    test::Screenshot(&d, "calendar");
    QWidget* keys = d.focusWidget();
    ASSERT_NE(keys, nullptr);
    QTest::keyClick(keys, Qt::Key_PageDown);
    EXPECT_EQ(d.Date(), EncodeDate(2005, 4, 14));
    QTest::keyClick(keys, Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(d.Date(), EncodeDate(2004, 4, 14));
    QTest::keyClick(keys, Qt::Key_PageDown, Qt::ControlModifier);
    QTest::keyClick(keys, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(d.Date(), EncodeDate(2006, 4, 14));
    QTest::keyClick(keys, Qt::Key_PageUp);
    EXPECT_EQ(d.Date(), EncodeDate(2006, 3, 14));
    EXPECT_EQ(d.Calendar()->selectedDate(), QDate(2006, 3, 14));
    const auto buttons = d.findChildren<QToolButton*>();
    const auto press = [&](const char* text) {
      for (QToolButton* b : buttons)
        if (b->text() == QString::fromLatin1(text)) QTest::mouseClick(b, Qt::LeftButton);
    };
    press("<<");
    EXPECT_EQ(d.Date(), EncodeDate(2005, 3, 14));
    press(">");
    press(">");
    EXPECT_EQ(d.Date(), EncodeDate(2005, 5, 14));
    press("<");
    press(">>");
    EXPECT_EQ(d.Date(), EncodeDate(2006, 4, 14));
    QTest::keyClick(keys, Qt::Key_Right);
    QTest::keyClick(keys, Qt::Key_Right);
    EXPECT_EQ(d.Date(), EncodeDate(2006, 4, 16));
    EXPECT_EQ(d.DayLabel()->text(), QString::fromUtf8("Κυριακή, 16/04/2006"));
    EXPECT_EQ(LabelColour(d), QColor(Qt::red));
    QTest::mouseClick(d.OkButton(), Qt::LeftButton);
  });
  base::TDateTime date = 0;
  EXPECT_TRUE(base::PickDate(date, 10, 10));
  EXPECT_TRUE(steps.Ran());
  EXPECT_EQ(date, EncodeDate(2006, 4, 16));
}

TEST(CalendarDialog, CancelKeepsTheDateAndTheWindowStaysOnTheScreen) {
  test::QtPresenterScope real;
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  const base::TDateTime start = EncodeDate(2005, 3, 19);
  test::ModalSteps<ui::TgDateuF> steps([&](ui::TgDateuF& d) {
    EXPECT_EQ(d.Date(), start);
    EXPECT_EQ(LabelColour(d), QColor(Qt::red));
    // Near the bottom-right corner: left of the right edge, above the point.
    EXPECT_EQ(d.x(), screen.right() + 1 - d.width() - 2);
    EXPECT_EQ(d.y(), screen.bottom() + 1 - 20 - d.height() - 2);
    QTest::keyClick(d.focusWidget(), Qt::Key_PageDown);
    QTest::mouseClick(d.CancelButton(), Qt::LeftButton);
  });
  base::TDateTime date = start;
  EXPECT_FALSE(base::PickDate(date, screen.right() + 1 - 30, screen.bottom() + 1 - 20));
  EXPECT_TRUE(steps.Ran());
  EXPECT_EQ(date, start);
}

TEST(CalendarDialog, ADoubleClickOrEnterOnADayPicksIt) {
  test::QtPresenterScope real;
  {
    test::ModalSteps<ui::TgDateuF> steps([](ui::TgDateuF& d) {
      ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
      auto* view = d.Calendar()->findChild<QTableView*>();
      ASSERT_NE(view, nullptr);
      // The 26th of the month shown: in the last rows, where no day of the
      // month before stands.
      QModelIndex day26;
      for (int row = view->model()->rowCount() - 1; row >= 3 && !day26.isValid(); --row)
        for (int col = 0; col < view->model()->columnCount(); ++col) {
          const QModelIndex at = view->model()->index(row, col);
          if (view->model()->data(at).toInt() == 26) day26 = at;
        }
      ASSERT_TRUE(day26.isValid());
      test::DoubleClick(view->viewport(), view->visualRect(day26).center());
    });
    base::TDateTime date = EncodeDate(2005, 3, 19);
    EXPECT_TRUE(base::PickDate(date, 10, 10));
    EXPECT_TRUE(steps.Ran());
    EXPECT_EQ(date, EncodeDate(2005, 3, 26));
  }
  {
    test::ModalSteps<ui::TgDateuF> steps([](ui::TgDateuF& d) {
      QTest::keyClick(d.focusWidget(), Qt::Key_Down);
      EXPECT_EQ(d.Date(), EncodeDate(2005, 3, 26));
      QTest::keyClick(d.focusWidget(), Qt::Key_Return);
    });
    base::TDateTime date = EncodeDate(2005, 3, 19);
    EXPECT_TRUE(base::PickDate(date, 10, 10));
    EXPECT_TRUE(steps.Ran());
    EXPECT_EQ(date, EncodeDate(2005, 3, 26));
  }
}

}  // namespace
