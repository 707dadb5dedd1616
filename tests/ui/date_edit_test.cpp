// The date box: its leaving rule as a table, and the widget offscreen.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <memory>

#include "base/clock.h"
#include "base/date_time.h"
#include "base/encoding.h"
#include "support/screenshot.h"
#include "host_window.h"
#include "support/scripted_presenter.h"
#include "ui/date_box_rules.h"
#include "ui/date_edit.h"
#include "ui/qt_text.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

const base::TDateTime kToday = base::EncodeDate(2005, 3, 14);

base::ScopedClock FixedToday() { return base::ScopedClock(std::make_shared<base::FixedClock>(kToday + 0.4)); }

TEST(DateBoxRules, LeavingStoresAValidTextAndRefusesAnInvalidOne) {
  base::ScopedClock clock(std::make_shared<base::FixedClock>(kToday + 0.4));
  struct Case {
    const char* text;
    bool accept0;
    bool accepted;
    base::TDateTime date;
    const char* shown;
  };
  const Case cases[] = {
      {"5/3", true, true, base::EncodeDate(2005, 3, 5), "05/03/2005"},
      {"05.03.05", false, true, base::EncodeDate(2005, 3, 5), "05/03/2005"},
      {"010699", true, true, base::EncodeDate(1999, 6, 1), "01/06/1999"},
      {"/", true, true, kToday, "14/03/2005"},
      {"", true, true, 0, ""},
      {"  ", true, true, 0, ""},
      {"", false, false, 0, ""},
      {"31/2/2005", true, false, 0, ""},
      {"5a", true, false, 0, ""},
  };
  for (const Case& c : cases) {
    const ui::DateBoxLeave leave = ui::LeaveDateBox(c.text, c.accept0);
    EXPECT_EQ(leave.accepted, c.accepted) << c.text << " accept0=" << c.accept0;
    EXPECT_EQ(leave.date, c.date) << c.text;
    EXPECT_EQ(leave.text, c.shown) << c.text;
  }
}

TEST(DateBoxRules, TwoDigitYearsUntilStartUpHasFinished) {
  const base::TDateTime date = base::EncodeDate(2005, 3, 5);
  ui::SetStartupFinished(false);
  EXPECT_EQ(ui::DateBoxText(date), "05/03/05");
  ui::SetStartupFinished(true);
  EXPECT_EQ(ui::DateBoxText(date), "05/03/2005");
  EXPECT_EQ(ui::DateBoxText(0), "");
  EXPECT_EQ(ui::DateBoxText(ui::TKZDTEdit::kNotSet), "");
}

// A date box between two plain boxes in a small window that has the focus.
struct DateBoxWindow {
  QLineEdit* before = new QLineEdit;
  ui::TKZDTEdit* box = new ui::TKZDTEdit;
  QLineEdit* after = new QLineEdit;
  test::HostWindow window{"TKZDTEdit", {before, box, after}};

  DateBoxWindow() { box->setFocus(); }
  std::string Text() const { return ui::FromQString(box->text()); }
};

TEST(DateEdit, StartsUnsetBlueAndSixtyFivePixelsWideWithItsTitleAsHint) {
  DateBoxWindow w;
  w.box->SetDTTitle(std::string(60, 'x'));
  EXPECT_FALSE(w.box->IsSet());
  EXPECT_EQ(w.box->Date(), -1);
  EXPECT_EQ(w.box->width(), 65);
  EXPECT_EQ(w.box->palette().color(QPalette::Text), QColor(Qt::blue));
  EXPECT_EQ(w.box->DTTitle().size(), 50u);
  EXPECT_EQ(w.box->toolTip().size(), 50);
  EXPECT_TRUE(w.box->Accept0());
}

TEST(DateEdit, TypingAndLeavingStoresTheDateInTheStandardForm) {
  auto clock = FixedToday();
  test::ScriptedPresenter presenter;
  DateBoxWindow w;
  QTest::keyClicks(w.box, "5/3");
  QTest::keyClick(w.box, Qt::Key_Tab);
  EXPECT_TRUE(w.after->hasFocus());
  EXPECT_EQ(w.box->Date(), base::EncodeDate(2005, 3, 5));
  EXPECT_EQ(w.Text(), "05/03/2005");
  w.box->setFocus();
  test::Screenshot(&w.window, "date_edit");
  EXPECT_TRUE(presenter.AllShown().empty());
}

TEST(DateEdit, AnInvalidDateShowsTheSystemBoxAndKeepsTheFocus) {
  auto clock = FixedToday();
  test::ScriptedPresenter presenter;
  DateBoxWindow w;
  w.box->SetDate(base::EncodeDate(2005, 1, 2));
  w.box->selectAll();
  QTest::keyClicks(w.box, "31/2/2005");
  QTest::keyClick(w.box, Qt::Key_Tab);
  EXPECT_TRUE(w.box->hasFocus());
  ASSERT_EQ(presenter.Texts(), std::vector<std::string>{"ΣΦΑΛΜΑ!: Άκυρη Ημερομηνία"_gr});
  EXPECT_EQ(presenter.AllShown()[0].ask, test::ScriptedPresenter::Ask::System);
  EXPECT_EQ(w.box->Date(), base::EncodeDate(2005, 1, 2));
  EXPECT_EQ(w.Text(), "31/2/2005");
}

TEST(DateEdit, AnEmptyBoxIsRefusedOnlyWhenADateIsRequired) {
  test::ScriptedPresenter presenter;
  DateBoxWindow w;
  w.box->SetAccept0(false);
  QTest::keyClick(w.box, Qt::Key_Tab);
  EXPECT_TRUE(w.box->hasFocus());
  EXPECT_EQ(presenter.AllShown().size(), 1u);
  w.box->SetAccept0(true);
  QTest::keyClick(w.box, Qt::Key_Tab);
  EXPECT_TRUE(w.after->hasFocus());
  EXPECT_EQ(w.box->Date(), 0);
  EXPECT_TRUE(w.box->IsSet());
}

TEST(DateEdit, F2AndDoubleClickAskTheCalendarWithTheTypedDate) {
  auto clock = FixedToday();
  test::ScriptedPresenter presenter;
  DateBoxWindow w;
  presenter.AnswerDate(base::EncodeDate(2005, 4, 20));
  QTest::keyClicks(w.box, "7");
  QTest::keyClick(w.box, Qt::Key_F2);
  EXPECT_EQ(w.box->Date(), base::EncodeDate(2005, 4, 20));
  EXPECT_EQ(w.Text(), "20/04/2005");
  EXPECT_TRUE(w.box->hasFocus());

  presenter.CancelDate();
  QTest::mouseDClick(w.box, Qt::LeftButton);
  EXPECT_EQ(w.box->Date(), base::EncodeDate(2005, 4, 20));
  EXPECT_EQ(presenter.AllShown().size(), 2u);
}

TEST(DateEdit, EscWhileModifiedShowsTheStoredDateAgain) {
  DateBoxWindow w;
  w.box->SetDate(base::EncodeDate(2005, 1, 2));
  QTest::keyClicks(w.box, "99");
  ASSERT_TRUE(w.box->isModified());
  QTest::keyClick(w.box, Qt::Key_Escape);
  EXPECT_EQ(w.Text(), "02/01/2005");
  EXPECT_FALSE(w.box->isModified());
}

}  // namespace
