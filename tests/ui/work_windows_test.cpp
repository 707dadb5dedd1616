// The two windows start-up creates: the work window off the screen and the
// progress window.

#include <gtest/gtest.h>

#include <QProgressBar>

#include "support/screenshot.h"
#include "ui/work_windows.h"

using namespace mero;

namespace {

TEST(WorkWindows, TheWorkWindowStaysOffTheScreenAndTheGaugeHoldsABar) {
  ui::TOOVF work;
  work.ShowOffScreen();
  EXPECT_TRUE(work.isVisible());
  EXPECT_EQ(work.x(), -1000);
  test::Screenshot(&work, "work_window");
  ui::TGaugeF gauge;
  ASSERT_NE(gauge.Gauge(), nullptr);
  EXPECT_EQ(gauge.Gauge()->value(), 0);
  EXPECT_FALSE(gauge.isVisible());
  gauge.show();
  test::Screenshot(&gauge, "gauge_window");
}

}  // namespace
