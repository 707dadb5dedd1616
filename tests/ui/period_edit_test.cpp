// The period box: the key decision as a table, the shown texts, and the
// widget offscreen asking the date-range window.

#include <gtest/gtest.h>

#include <QTest>
#include <memory>

#include "base/clock.h"
#include "base/date_time.h"
#include "base/encoding.h"
#include "support/screenshot.h"
#include "host_window.h"
#include "support/scripted_presenter.h"
#include "ui/period_edit.h"
#include "ui/period_keys.h"
#include "ui/qt_text.h"

using namespace mero;
using namespace mero::base::literals;
using ui::Period;
using ui::PeriodKeyAction;

namespace {

base::TDateTime D(int y, int m, int d) { return base::EncodeDate(y, m, d); }

TEST(PeriodKeys, EachKeyGivesItsPeriodOrAsksTheRange) {
  const base::TDateTime today = D(2005, 3, 16) + 0.5;  // a Wednesday
  const Period march{D(2005, 3, 15), D(2005, 4, 20)};
  const Period special{ui::kNoDatePeriod, 0};
  struct Case {
    const char* name;
    int key;
    Qt::KeyboardModifiers mods;
    const char* text;
    Period period;
    PeriodKeyAction::Kind kind;
    Period result;
    const char* firstKey;
  };
  const auto Ctrl = Qt::ControlModifier;
  const auto None = Qt::NoModifier;
  const auto Keypad = Qt::KeypadModifier;
  const Case cases[] = {
      {"Delete", Qt::Key_Delete, None, "", march, PeriodKeyAction::SetPeriod, {0, 0}, ""},
      {"minus", Qt::Key_Minus, None, "-", march, PeriodKeyAction::SetPeriod, {-131, 0}, ""},
      {"keypad minus", Qt::Key_Minus, Keypad, "-", march, PeriodKeyAction::SetPeriod, {-131, 0}, ""},
      {"plus (shifted)", Qt::Key_Plus, Qt::ShiftModifier, "+", march, PeriodKeyAction::SetPeriod, {-132, 0}, ""},
      {"keypad plus", Qt::Key_Plus, Keypad, "+", march, PeriodKeyAction::SetPeriod, {-132, 0}, ""},
      {"digit", Qt::Key_5, None, "5", march, PeriodKeyAction::AskRange, {}, "5"},
      {"keypad digit", Qt::Key_0, Keypad, "0", march, PeriodKeyAction::AskRange, {}, "0"},
      {"F2", Qt::Key_F2, None, "", march, PeriodKeyAction::AskRange, {}, ""},
      {"Ctrl+Right", Qt::Key_Right, Ctrl, "", march, PeriodKeyAction::SetPeriod, {D(2006, 3, 1), D(2006, 4, 1)}, ""},
      {"Ctrl+Left", Qt::Key_Left, Ctrl, "", march, PeriodKeyAction::SetPeriod, {D(2004, 3, 1), D(2004, 4, 1)}, ""},
      {"Ctrl+Right, open end", Qt::Key_Right, Ctrl, "", {D(2005, 3, 15), 0}, PeriodKeyAction::SetPeriod,
       {D(2006, 3, 1), 0}, ""},
      {"Ctrl+Right, no date", Qt::Key_Right, Ctrl, "", special, PeriodKeyAction::Ignore, {}, ""},
      {"Ctrl+1 week", Qt::Key_1, Ctrl, "", march, PeriodKeyAction::SetPeriod, {D(2005, 3, 13), D(2005, 3, 20)}, ""},
      {"Ctrl+2 month", Qt::Key_2, Ctrl, "", march, PeriodKeyAction::SetPeriod, {D(2005, 3, 1), D(2005, 3, 31)}, ""},
      {"Ctrl+3 year", Qt::Key_3, Ctrl, "", march, PeriodKeyAction::SetPeriod, {D(2005, 1, 1), D(2005, 12, 31)}, ""},
      {"Ctrl+4 all", Qt::Key_4, Ctrl, "", march, PeriodKeyAction::SetPeriod, {D(1990, 1, 1), D(2040, 12, 31)}, ""},
      {"Ctrl+keypad 2", Qt::Key_2, Ctrl | Keypad, "", march, PeriodKeyAction::SetPeriod,
       {D(2005, 3, 1), D(2005, 3, 31)}, ""},
      {"Ctrl+5", Qt::Key_5, Ctrl, "", march, PeriodKeyAction::Ignore, {}, ""},
      {"Alt+digit", Qt::Key_5, Qt::AltModifier, "5", march, PeriodKeyAction::Ignore, {}, ""},
      {"Shift+Delete", Qt::Key_Delete, Qt::ShiftModifier, "", march, PeriodKeyAction::Ignore, {}, ""},
      {"letter", Qt::Key_A, None, "a", march, PeriodKeyAction::Ignore, {}, ""},
  };
  for (const Case& c : cases) {
    const PeriodKeyAction a = ui::PeriodKey(c.key, c.mods, c.text, c.period, today);
    EXPECT_EQ(a.kind, c.kind) << c.name;
    if (c.kind == PeriodKeyAction::SetPeriod) {
      EXPECT_EQ(a.period.from, c.result.from) << c.name;
      EXPECT_EQ(a.period.to, c.result.to) << c.name;
    }
    EXPECT_EQ(a.firstKey, c.firstKey) << c.name;
  }
}

TEST(PeriodKeys, SettingAPeriodTruncatesToDaysAndSwaps) {
  struct Case {
    Period in;
    Period out;
  };
  const Case cases[] = {
      {{D(2005, 4, 20) + 0.75, D(2005, 3, 15) + 0.2}, {D(2005, 3, 15), D(2005, 4, 20)}},
      {{D(2005, 3, 15) + 0.9, D(2005, 3, 15) + 0.1}, {D(2005, 3, 15), D(2005, 3, 15)}},
      {{D(2005, 3, 15), 0}, {D(2005, 3, 15), 0}},
      {{ui::kNoDatePeriod, 0}, {ui::kNoDatePeriod, 0}},
      {{ui::kAnyDatePeriod, 0}, {ui::kAnyDatePeriod, 0}},
      {{0, 0}, {0, 0}},
  };
  for (const Case& c : cases) {
    const Period p = ui::NormalizePeriod(c.in);
    EXPECT_EQ(p.from, c.out.from) << c.in.from << " " << c.in.to;
    EXPECT_EQ(p.to, c.out.to) << c.in.from << " " << c.in.to;
  }
}

TEST(PeriodKeys, TextsOfPeriods) {
  const Period q1{D(2005, 1, 1), D(2005, 3, 31)};
  EXPECT_EQ(ui::PeriodText(q1, false), "01/01/2005-31/03/2005");
  EXPECT_EQ(ui::PeriodText(q1, true), "Ιαν 2005-Μάρ 2005"_gr);
  EXPECT_EQ(ui::PeriodText({ui::kNoDatePeriod, 0}, true), "--");
  EXPECT_EQ(ui::PeriodText({ui::kAnyDatePeriod, 0}, false), "+");
  EXPECT_EQ(ui::PeriodText({0, 0}, false), "");
}

struct PeriodBoxWindow {
  ui::TKZDTPREdit* box = new ui::TKZDTPREdit;
  test::HostWindow window{"TKZDTPREdit", {box}};

  PeriodBoxWindow() {
    box->SetDTPTitle("Περίοδος"_gr);
    box->setFocus();
  }
  std::string Text() const { return ui::FromQString(box->text()); }
};

TEST(PeriodEdit, StartsOnTheDefaultPeriodReadOnlyBlueOnLime) {
  PeriodBoxWindow w;
  EXPECT_EQ(w.Text(), "01/01/1990-01/01/2040");
  EXPECT_TRUE(w.box->isReadOnly());
  EXPECT_GE(w.box->width(), 128);
  EXPECT_EQ(w.box->palette().color(QPalette::Text), QColor(Qt::blue));
  EXPECT_EQ(w.box->palette().color(QPalette::Base), QColor(0, 255, 0));
  EXPECT_EQ(w.box->toolTip(), ui::ToQString("Περίοδος"_gr));
  test::Screenshot(&w.window, "period_edit");
}

TEST(PeriodEdit, KeysSetThePeriodAndItsText) {
  base::ScopedClock clock(std::make_shared<base::FixedClock>(D(2005, 3, 16) + 0.5));
  PeriodBoxWindow w;
  QTest::keyClick(w.box, Qt::Key_Delete);
  EXPECT_EQ(w.box->GetPeriod(), (Period{0, 0}));
  EXPECT_EQ(w.Text(), "");
  QTest::keyClick(w.box, '-');
  EXPECT_EQ(w.Text(), "--");
  EXPECT_EQ(w.box->From(), ui::kNoDatePeriod);
  QTest::keyClick(w.box, '+');
  EXPECT_EQ(w.Text(), "+");
  QTest::keyClick(w.box, Qt::Key_2, Qt::ControlModifier);
  EXPECT_EQ(w.Text(), "01/03/2005-31/03/2005");
  QTest::keyClick(w.box, Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(w.Text(), "01/03/2006-01/03/2006");
  w.box->SetzUseMonths(true);
  EXPECT_EQ(w.Text(), "Μάρ 2006-Μάρ 2006"_gr);
}

TEST(PeriodEdit, ADigitAsksTheRangeWithThatDigitAndTakesTheAnswer) {
  test::ScriptedPresenter presenter;
  PeriodBoxWindow w;
  presenter.AnswerDateRange(D(2005, 5, 10), D(2005, 5, 1) + 0.3);
  QTest::keyClicks(w.box, "5");
  ASSERT_EQ(presenter.FirstKeys(), std::vector<std::string>{"5"});
  EXPECT_EQ(presenter.Texts(), std::vector<std::string>{"Περίοδος"_gr});
  EXPECT_EQ(w.box->GetPeriod(), (Period{D(2005, 5, 1), D(2005, 5, 10)}));

  presenter.CancelDateRange();
  QTest::keyClick(w.box, Qt::Key_F2);
  presenter.AnswerDateRange(ui::kAnyDatePeriod, 0);
  QTest::mouseDClick(w.box, Qt::LeftButton);
  EXPECT_EQ(presenter.FirstKeys(), (std::vector<std::string>{"5", "", ""}));
  EXPECT_EQ(w.Text(), "+");
}

}  // namespace
