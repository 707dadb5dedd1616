#pragma once

// Helpers that drive the dialogs offscreen.

// Drives a modal dialog from inside its own event loop: the steps run on the
// dialog once it is the active modal window. Steps that leave it open fail
// the test and close it, so a broken test never hangs. The timer lives with
// the object, so steps never reach a later test, and a call that opens no
// window never runs them.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <functional>

#include "ui/qt_presenter.h"

namespace mero::test {

template <typename Dialog>
class ModalSteps {
 public:
  explicit ModalSteps(std::function<void(Dialog&)> steps) : steps_(std::move(steps)) {
    timer_.setSingleShot(true);
    timer_.setInterval(0);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Run(); });
    timer_.start();
  }
  bool Ran() const { return ran_; }

 private:
  void Run() {
    auto* dialog = dynamic_cast<Dialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      ADD_FAILURE() << "the expected dialog is not open";
      return;
    }
    ran_ = true;
    steps_(*dialog);
    if (dialog->isVisible()) {
      ADD_FAILURE() << "the steps left the dialog open";
      dialog->done(QDialog::Rejected);
    }
  }

  std::function<void(Dialog&)> steps_;
  QTimer timer_;
  bool ran_ = false;
};

// A double click of the left button as the window system delivers it: a
// click, then the double-click press and its release.
inline void DoubleClick(QWidget* widget, QPoint at) {
  QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
  const QPointF local(at);
  const QPointF global(widget->mapToGlobal(at));
  QMouseEvent press(QEvent::MouseButtonDblClick, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &release);
}

// Types text of any script into the widget, one key event per character
// (QTest's own typing knows ASCII only).
inline void TypeText(QWidget* widget, const QString& text) {
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &release);
  }
}

// The real windows behind the message seam for the life of a scope.
class QtPresenterScope {
 public:
  QtPresenterScope() : previous_(base::CurrentMessagePresenter()) { base::SetMessagePresenter(&presenter_); }
  ~QtPresenterScope() { base::SetMessagePresenter(previous_); }
  QtPresenterScope(const QtPresenterScope&) = delete;
  QtPresenterScope& operator=(const QtPresenterScope&) = delete;

 private:
  ui::QtPresenter presenter_;
  base::MessagePresenter* previous_;
};

}  // namespace mero::test
