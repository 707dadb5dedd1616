#pragma once

#include <QApplication>
#include <exception>
#include <utility>

namespace mero::ui {

// The one edge where what an action raised meets the user: a silent abort
// (data::EAbort) stays silent, any other failure is shown once through the
// message window.
void ShowCaughtException(std::exception_ptr error);

// Runs an action that is not delivered through the application's event
// dispatch (a modal loop's callback, a slot invoked directly) under the edge;
// false when it raised.
template <typename Action>
bool Guarded(Action&& action) {
  try {
    std::forward<Action>(action)();
    return true;
  } catch (...) {
    ShowCaughtException(std::current_exception());
    return false;
  }
}

// The application of the program: every event is delivered under the edge,
// so no exception crosses Qt's event dispatch.
class GuardedApplication : public QApplication {
  Q_OBJECT

 public:
  GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace mero::ui
