// The edge between the actions and Qt's event dispatch: the test program
// runs in the guarded application, so what an event handler or a slot
// raises arrives here as it does in the program.

#include "ui/event_guard.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "base/exception.h"
#include "data/database_error.h"
#include "support/scripted_presenter.h"

using namespace mero;
using namespace mero::base::literals;

namespace {

const QEvent::Type kRaise = static_cast<QEvent::Type>(QEvent::registerEventType());

// Raises what it was given when it receives kRaise; may pass the event on
// to another object first.
class Raiser : public QObject {
 public:
  std::function<void()> raise;
  QObject* passTo = nullptr;
  bool after = false;  // reached the end of its handler

  bool event(QEvent* e) override {
    if (e->type() != kRaise) return QObject::event(e);
    if (passTo != nullptr) {
      QEvent inner(kRaise);
      QCoreApplication::sendEvent(passTo, &inner);
    }
    if (raise) raise();
    after = true;
    return true;
  }
};

struct Raised {
  const char* name;
  std::function<void()> raise;
  std::vector<std::string> shown;  // the messages the user sees
};

std::vector<Raised> Cases() {
  return {
      {"silent abort", [] { throw data::EAbort(); }, {}},
      {"the system's error", [] { throw base::Exception("Λάθος στοιχεία"_gr); }, {"Λάθος στοιχεία"_gr}},
      {"a library's error", [] { throw std::runtime_error("ORA-00942: table or view does not exist"); },
       {"ORA-00942: table or view does not exist"}},
      {"not an exception", [] { throw 42; }, {"Συνέβη Σφάλμα!"_gr}},
      {"nothing", [] {}, {}},
  };
}

TEST(EventGuard, AnEventHandlerThatRaisesIsShownOnceOrAbortsSilently) {
  ASSERT_NE(dynamic_cast<ui::GuardedApplication*>(QCoreApplication::instance()), nullptr);
  for (const Raised& c : Cases()) {
    test::ScriptedPresenter presenter;
    Raiser target;
    target.raise = c.raise;
    QEvent sent(kRaise);
    QCoreApplication::sendEvent(&target, &sent);
    // A posted event reaches the edge from the event loop itself.
    QCoreApplication::postEvent(&target, new QEvent(kRaise));
    QCoreApplication::sendPostedEvents(&target, kRaise);
    std::vector<std::string> twice = c.shown;
    twice.insert(twice.end(), c.shown.begin(), c.shown.end());
    EXPECT_EQ(presenter.Texts(), twice) << c.name;
  }
}

TEST(EventGuard, AFailureInANestedDeliveryIsShownByTheInnerEdgeOnly) {
  test::ScriptedPresenter presenter;
  Raiser inner;
  inner.raise = [] { throw base::Exception("inner"); };
  Raiser outer;
  outer.passTo = &inner;
  QEvent e(kRaise);
  QCoreApplication::sendEvent(&outer, &e);
  EXPECT_EQ(presenter.Texts(), std::vector<std::string>{"inner"});
  // The outer handler went on after the inner one failed.
  EXPECT_TRUE(outer.after);
  EXPECT_FALSE(inner.after);
}

// A slot runs inside Qt's own frames (the button's release handler, the
// signal), which are not unwound cleanly, so the windows' slots run their
// action under Guarded; the application's edge is the backstop.
TEST(EventGuard, ASlotThatRaisesOnAClick) {
  for (const Raised& c : Cases()) {
    test::ScriptedPresenter presenter;
    QPushButton button(QStringLiteral("Go"));
    button.show();
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
      ++clicks;
      ui::Guarded(c.raise);
    });
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);
    // The button works again after a failed click.
    EXPECT_EQ(clicks, 2) << c.name;
    std::vector<std::string> twice = c.shown;
    twice.insert(twice.end(), c.shown.begin(), c.shown.end());
    EXPECT_EQ(presenter.Texts(), twice) << c.name;
    EXPECT_FALSE(button.isDown()) << c.name;
  }
}

TEST(EventGuard, GuardedRunsAnActionOutsideTheDispatch) {
  for (const Raised& c : Cases()) {
    test::ScriptedPresenter presenter;
    const bool completed = ui::Guarded(c.raise);
    EXPECT_EQ(completed, std::string(c.name) == "nothing") << c.name;
    EXPECT_EQ(presenter.Texts(), c.shown) << c.name;
  }
}

// A presenter that fails to show: the edge still lets nothing through.
class FailingPresenter : public test::ScriptedPresenter {
 public:
  base::ModalResult MessDlg(const std::string&, int, int, int) override { throw std::runtime_error("no window"); }
};

TEST(EventGuard, NothingLeavesTheEdgeWhenShowingFailsToo) {
  FailingPresenter presenter;
  EXPECT_FALSE(ui::Guarded([] { throw base::Exception("x"); }));
  Raiser target;
  target.raise = [] { throw base::Exception("y"); };
  QEvent e(kRaise);
  EXPECT_NO_THROW(QCoreApplication::sendEvent(&target, &e));
}

}  // namespace
