// The date-range window: its results as a table, and the window behind
// AskDateRange driven by keys offscreen.

#include <gtest/gtest.h>

#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "base/clock.h"
#include "base/date_time.h"
#include "base/encoding.h"
#include "base/message_seam.h"
#include "dialog_driving.h"
#include "support/screenshot.h"
#include "support/scripted_presenter.h"
#include "ui/date_edit.h"
#include "ui/date_range_dialog.h"
#include "ui/date_range_rules.h"
#include "ui/qt_text.h"

using namespace mero;
using namespace mero::base::literals;
using base::EncodeDate;
using ui::PeriodKind;

namespace {

const base::TDateTime kMay10 = EncodeDate(2005, 5, 10);
const base::TDateTime kMay20 = EncodeDate(2005, 5, 20);
constexpr base::TDateTime kNotSet = ui::TKZDTEdit::kNotSet;

TEST(DateRangeRules, OkGivesThePeriodOfTheGroupAndTheBoxes) {
  struct Case {
    PeriodKind kind;
    base::TDateTime fromBox;
    base::TDateTime toBox;
    base::TDateTime from;
    base::TDateTime to;
  };
  const Case cases[] = {
      {PeriodKind::NoDate, kMay10, kMay20, -131, 0},
      {PeriodKind::NoDate, kNotSet, kNotSet, -131, 0},
      {PeriodKind::AnyDate, kNotSet, kMay20, -132, 0},
      {PeriodKind::Range, kMay10, kMay20, kMay10, kMay20},
      {PeriodKind::Range, kMay10, 0, kMay10, kMay10},
      {PeriodKind::Range, kMay10, kNotSet, kMay10, kMay10},
      {PeriodKind::Range, kMay20, kMay10, kMay10, kMay20},
      {PeriodKind::Range, kNotSet, kMay20, 0, kMay20},
      {PeriodKind::Range, 0, kMay20, 0, kMay20},
      {PeriodKind::Range, kNotSet, kNotSet, 0, 0},
      {PeriodKind::Range, kMay10, kMay10, kMay10, kMay10},
  };
  for (const Case& c : cases) {
    const ui::Period p = ui::DateRangeResult(c.kind, c.fromBox, c.toBox);
    EXPECT_EQ(p.from, c.from) << static_cast<int>(c.kind) << " " << c.fromBox << "-" << c.toBox;
    EXPECT_EQ(p.to, c.to) << static_cast<int>(c.kind) << " " << c.fromBox << "-" << c.toBox;
  }
  EXPECT_EQ(ui::DateRangeStartOf(-131, 0).kind, PeriodKind::NoDate);
  EXPECT_EQ(ui::DateRangeStartOf(-132, 0).kind, PeriodKind::AnyDate);
  const ui::DateRangeStart range = ui::DateRangeStartOf(kMay10, kMay20);
  EXPECT_EQ(range.kind, PeriodKind::Range);
  EXPECT_EQ(range.from, kMay10);
  EXPECT_EQ(range.to, kMay20);
}

std::string Text(const ui::TKZDTEdit* box) { return ui::FromQString(box->text()); }

TEST(DateRangeDialog, TheFirstKeyLandsInFromAndAnEmptyEndTakesTheStart) {
  test::QtPresenterScope real;
  base::ScopedClock clock(std::make_shared<base::FixedClock>(EncodeDate(2005, 3, 14)));
  test::ModalSteps<ui::TGetDateFmToF> steps([](ui::TGetDateFmToF& d) {
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("Περίοδος"));
    EXPECT_TRUE(d.RangeButton()->isChecked());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    EXPECT_TRUE(d.FromEdit()->hasFocus());
    EXPECT_EQ(Text(d.FromEdit()), "1");
    QTest::keyClicks(d.FromEdit(), "0/5/2005");
    test::Screenshot(&d, "date_range");
    QTest::keyClick(d.FromEdit(), Qt::Key_Return);
    EXPECT_TRUE(d.ToEdit()->hasFocus()) << "Enter moves on as Tab";
    EXPECT_EQ(Text(d.FromEdit()), "10/05/2005");
    QTest::keyClick(d.ToEdit(), Qt::Key_F10);
  });
  base::TDateTime from = 0, to = 0;
  EXPECT_TRUE(base::AskDateRange("Περίοδος"_gr, "1", from, to));
  EXPECT_TRUE(steps.Ran());
  EXPECT_EQ(from, kMay10);
  EXPECT_EQ(to, kMay10);
}

TEST(DateRangeDialog, ATypedRangeIsSwappedAndEscKeepsThePeriod) {
  test::QtPresenterScope real;
  {
    test::ModalSteps<ui::TGetDateFmToF> steps([](ui::TGetDateFmToF& d) {
      EXPECT_EQ(Text(d.FromEdit()), "10/05/2005");
      EXPECT_EQ(Text(d.ToEdit()), "20/05/2005");
      QTest::keyClicks(d.FromEdit(), "25/5/2005");
      QTest::mouseClick(d.OkButton(), Qt::LeftButton);
    });
    base::TDateTime from = kMay10, to = kMay20;
    EXPECT_TRUE(base::AskDateRange("Περίοδος"_gr, "", from, to));
    EXPECT_TRUE(steps.Ran());
    EXPECT_EQ(from, kMay20);
    EXPECT_EQ(to, EncodeDate(2005, 5, 25));
  }
  {
    test::ModalSteps<ui::TGetDateFmToF> steps([](ui::TGetDateFmToF& d) {
      QTest::keyClicks(d.FromEdit(), "1/1/2001");
      QTest::keyClick(d.FromEdit(), Qt::Key_Escape);
    });
    base::TDateTime from = kMay10, to = kMay20;
    EXPECT_FALSE(base::AskDateRange("Περίοδος"_gr, "", from, to));
    EXPECT_TRUE(steps.Ran());
    EXPECT_EQ(from, kMay10);
    EXPECT_EQ(to, kMay20);
  }
}

TEST(DateRangeDialog, TheSpecialPeriodsAndABoxNeverSet) {
  test::QtPresenterScope real;
  struct Case {
    base::TDateTime start;
    bool switchToRange;
    base::TDateTime from;
    base::TDateTime to;
  };
  // From "no date" or "any date" the boxes were never set: a start typed
  // alone is a one-day period, not a range from the end of 1899.
  const Case cases[] = {
      {-131, false, -131, 0},
      {-132, false, -132, 0},
      {-131, true, kMay10, kMay10},
      {-132, true, kMay10, kMay10},
  };
  for (const Case& c : cases) {
    test::ModalSteps<ui::TGetDateFmToF> steps([&](ui::TGetDateFmToF& d) {
      EXPECT_EQ(d.NoDateButton()->isChecked(), c.start == -131);
      EXPECT_EQ(d.AnyDateButton()->isChecked(), c.start == -132);
      EXPECT_EQ(Text(d.FromEdit()), "");
      EXPECT_EQ(Text(d.ToEdit()), "");
      if (c.switchToRange) {
        QTest::keyClicks(d.FromEdit(), "10/05/2005");
        QTest::mouseClick(d.RangeButton(), Qt::LeftButton);
      }
      QTest::mouseClick(d.OkButton(), Qt::LeftButton);
    });
    base::TDateTime from = c.start, to = 0;
    EXPECT_TRUE(base::AskDateRange("Περίοδος"_gr, "", from, to));
    EXPECT_TRUE(steps.Ran());
    EXPECT_EQ(from, c.from) << c.start << " " << c.switchToRange;
    EXPECT_EQ(to, c.to) << c.start << " " << c.switchToRange;
  }
}

TEST(DateRangeDialog, TheDotButtonsAskTheCalendarAndAnUnreadableDateKeepsTheWindowOpen) {
  test::ScriptedPresenter presenter;
  presenter.AnswerDate(kMay20);
  test::ModalSteps<ui::TGetDateFmToF> steps([&](ui::TGetDateFmToF& d) {
    EXPECT_EQ(d.ToPickButton()->text(), QStringLiteral("..."));
    EXPECT_EQ(d.ToPickButton()->toolTip(), QString::fromUtf8("Αλλαγή Ημερομηνίας"));
    QTest::mouseClick(d.ToPickButton(), Qt::LeftButton);
    EXPECT_EQ(Text(d.ToEdit()), "20/05/2005");
    QTest::keyClicks(d.FromEdit(), "31/2/2005");
    QTest::keyClick(d.FromEdit(), Qt::Key_F10);
    EXPECT_TRUE(d.isVisible());
    ASSERT_FALSE(presenter.AllShown().empty());
    EXPECT_EQ(presenter.AllShown().back().text, "ΣΦΑΛΜΑ!: Άκυρη Ημερομηνία"_gr);
    d.FromEdit()->selectAll();
    QTest::keyClicks(d.FromEdit(), "10/5/2005");
    QTest::keyClick(d.FromEdit(), Qt::Key_F10);
  });
  base::TDateTime from = 0, to = 0;
  EXPECT_TRUE(ui::RunDateRangeDialog("Περίοδος"_gr, "", from, to));
  EXPECT_TRUE(steps.Ran());
  EXPECT_EQ(from, kMay10);
  EXPECT_EQ(to, kMay20);
}

}  // namespace
