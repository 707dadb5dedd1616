// The start-up of the windows, the Debug window, the SQL window and the
// screen routines, on the offscreen platform.

#include "ui/ui_startup.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "base/message_seam.h"
#include "base/runtime.h"
#include "base/trace.h"
#include "data/dataset_utils.h"
#include "support/debug_log_lines.h"
#include "support/login_helper.h"
#include "support/screenshot.h"
#include "support/scripted_presenter.h"
#include "support/temp_dir.h"
#include "ui/debug_window.h"
#include "ui/qt_presenter.h"
#include "ui/qt_text.h"
#include "ui/screen_routines.h"
#include "ui/sql_window.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

using test::LogTexts;

// Starts and ends with the client's state reset and the windows' start-up
// undone.
class WindowsStartUp : public test::ClientTest {
 protected:
  void TearDown() override {
    ui::ShutdownUI();
    ClientTest::TearDown();
  }
};

TEST_F(WindowsStartUp, InitUILogsItsStepsAndInstallsTheWindowsOnce) {
  test::TempDir dir;
  base::Runtime& rt = base::Rt();
  rt.paramNames = {"MYDEBUG"};
  rt.paramValues = {"1"};
  rt.paramListsExist = true;
  rt.debugLogFileName = dir.File("dbg.txt");

  ui::InitUI(0);
  ui::InitUI(0);  // done already: nothing more
  const std::vector<std::string> expected = {"START InitUI", "InitUI P01", "InitUI P02", "InitUI P03", "InitUI P04",
                                             "InitUI P05",   "InitUI P06", "InitUI P07", "InitUI P08", "END InitUI"};
  EXPECT_EQ(LogTexts(rt.debugLogFileName), expected);

  EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipBase), QColor(0, 255, 255));
  EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 1000);
  EXPECT_NE(dynamic_cast<ui::QtPresenter*>(base::CurrentMessagePresenter()), nullptr);
  ASSERT_TRUE(ui::DebugWindowExists());
  EXPECT_FALSE(ui::DebugWindow().isVisible());
  ASSERT_NE(ui::SQLWindow(), nullptr);
  EXPECT_FALSE(ui::SQLWindow()->isVisible());

  // The query utilities show their statements in the SQL window, at once.
  data::ShowSQL("select * from DEPT");
  EXPECT_TRUE(ui::SQLWindow()->isVisible());
  EXPECT_EQ(ui::SQLWindow()->Text(), "select * from DEPT");

  ui::ShutdownUI();
  EXPECT_NE(dynamic_cast<base::CancellingPresenter*>(base::CurrentMessagePresenter()), nullptr);
  EXPECT_EQ(ui::SQLWindow(), nullptr);
  EXPECT_FALSE(ui::DebugWindowExists());
  // Without the window the statement goes to the message seam again.
  test::ScriptedPresenter presenter;
  data::ShowSQL("select 1 from DUAL");
  EXPECT_EQ(presenter.Texts(), std::vector<std::string>{"select 1 from DUAL"});
}

TEST_F(WindowsStartUp, ShutdownLeavesAPresenterInstalledAfterItAlone) {
  ui::InitUI(0);
  test::ScriptedPresenter presenter;
  ui::ShutdownUI();
  EXPECT_EQ(base::CurrentMessagePresenter(), &presenter);
}

TEST_F(WindowsStartUp, AskDebugLevelStoresTheAnswerOnOKOnly) {
  ui::InitUI(0);
  struct Case {
    const char* answer;
    bool ok;
    int level;  // from 3
    bool shown;
  };
  const Case cases[] = {{"5", true, 5, true}, {"0", true, 0, true}, {"x", true, 0, true}, {"9", false, 3, false}};
  for (const Case& c : cases) {
    base::Rt().debugLevel = 3;
    ui::DebugWindow().hide();
    test::ScriptedPresenter presenter;
    presenter.AnswerInput(c.answer, c.ok);
    ui::AskDebugLevel();
    EXPECT_EQ(base::Rt().debugLevel, c.level) << c.answer << " " << c.ok;
    EXPECT_EQ(ui::DebugWindow().isVisible(), c.shown) << c.answer << " " << c.ok;
    ASSERT_EQ(presenter.AllShown().size(), 1u);
    EXPECT_EQ(presenter.AllShown()[0].text, "DEBUG=");
    EXPECT_EQ(presenter.AllShown()[0].fontIndex, 3);  // the maximum length
  }
}

TEST_F(WindowsStartUp, TheDebugWindowShowsTheTraceAndClearsIt) {
  ui::InitUI(0);
  base::Rt().debugLevel = 1;
  base::ShowDebugWindow();
  ui::TDebugF& window = ui::DebugWindow();
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Debug"));
  EXPECT_EQ(base::DebugTrace("first"), 1);
  EXPECT_EQ(base::DebugTrace("δεύτερη"_gr), 2);
  // The shown window takes the new lines by itself.
  QTRY_COMPARE(window.Memo()->toPlainText(), QStringLiteral("first\n") + QString::fromUtf8("δεύτερη"));
  test::Screenshot(&window, "debug_window");

  auto* clear = window.findChild<QPushButton*>(QStringLiteral("ClearBtn"));
  ASSERT_NE(clear, nullptr);
  QTest::mouseClick(clear, Qt::LeftButton);
  EXPECT_TRUE(window.Memo()->toPlainText().isEmpty());
  EXPECT_EQ(base::DebugTrace("third"), 1);
  window.SyncLines();
  EXPECT_EQ(window.Memo()->toPlainText(), QStringLiteral("third"));

  // At level 0 nothing is traced.
  base::Rt().debugLevel = 0;
  EXPECT_EQ(base::DebugTrace("unseen"), 0);
  window.SyncLines();
  EXPECT_EQ(window.Memo()->toPlainText(), QStringLiteral("third"));
  for (const char* name : {"IMCsBtn", "ReLoadBtn"}) {
    EXPECT_NE(window.findChild<QPushButton*>(QString::fromLatin1(name)), nullptr) << name;
  }
}

// Runs the modal SQL window and acts on it once it is open.
void WithOpenSQLWindow(const std::function<void(ui::TSQLShowF&)>& act) {
  QTimer::singleShot(0, [act] {
    auto* window = qobject_cast<ui::TSQLShowF*>(QApplication::activeModalWidget());
    if (window == nullptr) {
      ADD_FAILURE() << "no SQL window open";
      return;
    }
    act(*window);
  });
}

TEST_F(WindowsStartUp, TheSQLWindowOfItsOwnCopiesTheMemoBackOnOK) {
  struct Case {
    const char* name;
    bool ok;
    const char* expected;
  };
  const Case cases[] = {{"OK", true, "select ID from DEPT"}, {"Esc", false, "select * from DEPT"}};
  for (const Case& c : cases) {
    std::string text = "select * from DEPT";
    WithOpenSQLWindow([&](ui::TSQLShowF& w) {
      auto* memo = w.findChild<QPlainTextEdit*>(QStringLiteral("M1"));
      auto* ok = w.findChild<QPushButton*>(QStringLiteral("OKBtn"));
      if (memo == nullptr || ok == nullptr) return w.reject();
      EXPECT_EQ(memo->toPlainText(), QStringLiteral("select * from DEPT"));
      memo->setPlainText(QStringLiteral("select ID from DEPT"));
      if (c.ok) {
        test::Screenshot(&w, "sql_window");
        QTest::mouseClick(ok, Qt::LeftButton);
      } else {
        QTest::keyClick(&w, Qt::Key_Escape);
      }
    });
    ui::ShowSQL(text);
    EXPECT_EQ(text, c.expected) << c.name;
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << c.name;
  }
}

TEST_F(WindowsStartUp, TheProgramsSQLWindowShowsWithoutWaiting) {
  ui::CreateSQLWindow();
  std::string text = "select * from UORG";
  ui::ShowSQL(text);  // returns at once: no modal loop to end
  ASSERT_NE(ui::SQLWindow(), nullptr);
  EXPECT_TRUE(ui::SQLWindow()->isVisible());
  EXPECT_FALSE(ui::SQLWindow()->isModal());
  EXPECT_EQ(ui::SQLWindow()->Text(), text);
  ui::DestroySQLWindow();
}

TEST(ScreenRoutines, KeysHeldAreFollowedFromPressToRelease) {
  QWidget widget;
  widget.show();
  EXPECT_FALSE(ui::IsKeyDown(Qt::Key_F1));
  QTest::keyPress(&widget, Qt::Key_F1);
  EXPECT_FALSE(ui::IsKeyDown(Qt::Key_F1)) << "not followed before the follower is installed";
  QTest::keyRelease(&widget, Qt::Key_F1);

  ui::InstallKeyStateFilter();
  struct Step {
    bool press;
    Qt::Key key;
    bool f1, ctrl, ctrlShift;
  };
  const Step steps[] = {
      {true, Qt::Key_F1, true, false, false},   {true, Qt::Key_Control, true, true, false},
      {true, Qt::Key_Shift, true, true, true},  {false, Qt::Key_Control, true, false, false},
      {false, Qt::Key_F1, false, false, false}, {false, Qt::Key_Shift, false, false, false},
  };
  for (const Step& s : steps) {
    if (s.press) {
      QTest::keyPress(&widget, s.key);
    } else {
      QTest::keyRelease(&widget, s.key);
    }
    const std::string what = std::string(s.press ? "press " : "release ") + std::to_string(s.key);
    EXPECT_EQ(ui::IsKeyDown(Qt::Key_F1), s.f1) << what;
    EXPECT_EQ(ui::IsKeyDown(Qt::Key_Control), s.ctrl) << what;
    EXPECT_EQ(ui::CtrlShiftDown(), s.ctrlShift) << what;
  }
  // A key still held when the program loses the keyboard is let go.
  QTest::keyPress(&widget, Qt::Key_F9);
  EXPECT_TRUE(ui::IsKeyDown(Qt::Key_F9));
  QEvent deactivate(QEvent::ApplicationDeactivate);
  QCoreApplication::sendEvent(qApp, &deactivate);
  EXPECT_FALSE(ui::IsKeyDown(Qt::Key_F9));
  ui::RemoveKeyStateFilter();
}

TEST(ScreenRoutines, CanvasColoursPaintTheTextAndTheCell) {
  QImage image(20, 20, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    ui::SetCanvasColors(painter, Qt::red, Qt::blue);
    painter.drawRect(2, 2, 15, 15);
  }
  EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::red));     // the outline: the font colour
  EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::blue));  // inside: the brush
}

TEST(ScreenRoutines, PopupAtShowsTheMenuAtTheWidgetsPoint) {
  QWidget widget;
  widget.setGeometry(100, 80, 200, 100);
  widget.show();
  QMenu menu;
  menu.addAction(QStringLiteral("Εκτύπωση"));
  ui::PopupAt(&widget, 10, 20, &menu);
  EXPECT_TRUE(menu.isVisible());
  EXPECT_EQ(menu.pos(), widget.mapToGlobal(QPoint(10, 20)));
  menu.close();
}

}  // namespace
