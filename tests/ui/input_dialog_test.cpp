// The one-line input behind InputStr.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <string>

#include "base/encoding.h"
#include "base/message_seam.h"
#include "dialog_driving.h"
#include "support/screenshot.h"
#include "ui/input_dialog.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

TEST(InputDialog, OkGivesTheEditedTextAndACancelStillGivesTheBoxText) {
  test::QtPresenterScope real;
  struct Case {
    int maxLength;
    const char* typed;
    bool ok;
    const char* result;
  };
  const Case cases[] = {
      {3, "2345", true, "234"},
      {3, "9", false, "9"},
      {0, "", true, "1"},
  };
  for (const Case& c : cases) {
    test::ModalSteps<ui::TGetInpStrF> steps([&](ui::TGetInpStrF& d) {
      EXPECT_EQ(d.windowTitle(), QStringLiteral("DEBUG="));
      EXPECT_EQ(d.Edit()->text(), QStringLiteral("1"));
      EXPECT_EQ(d.Edit()->maxLength(), c.maxLength > 0 ? c.maxLength : 255);
      EXPECT_EQ(d.OkButton()->text(), QString::fromUtf8("ΟΚ"));
      QTest::keyClicks(d.Edit(), c.typed);
      test::Screenshot(&d, "input_dialog");
      if (c.ok) {
        QTest::keyClick(d.Edit(), Qt::Key_Return);
      } else {
        QTest::keyClick(d.Edit(), Qt::Key_Escape);
      }
    });
    bool accepted = !c.ok;
    EXPECT_EQ(base::InputStr(c.maxLength, "DEBUG=", "1", &accepted), c.result) << c.typed;
    EXPECT_EQ(accepted, c.ok) << c.typed;
    EXPECT_TRUE(steps.Ran());
  }
}

}  // namespace
