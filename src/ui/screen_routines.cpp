#include "ui/screen_routines.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QWidget>
#include <memory>
#include <set>

namespace mero::ui {
namespace {

class KeyStateFilter final : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::KeyPress:
        down_.insert(static_cast<QKeyEvent*>(event)->key());
        break;
      case QEvent::KeyRelease:
        if (!static_cast<QKeyEvent*>(event)->isAutoRepeat()) down_.erase(static_cast<QKeyEvent*>(event)->key());
        break;
      case QEvent::ApplicationDeactivate:
        // Keys released while another program has the keyboard are never seen.
        down_.clear();
        break;
      default:
        break;
    }
    return QObject::eventFilter(watched, event);
  }

  bool IsDown(int key) const { return down_.count(key) != 0; }

 private:
  std::set<int> down_;
};

std::unique_ptr<KeyStateFilter>& Filter() {
  static std::unique_ptr<KeyStateFilter> filter;
  return filter;
}

}  // namespace

void InstallKeyStateFilter() {
  if (Filter() || QCoreApplication::instance() == nullptr) return;
  Filter() = std::make_unique<KeyStateFilter>();
  QCoreApplication::instance()->installEventFilter(Filter().get());
}

void RemoveKeyStateFilter() {
  if (!Filter()) return;
  if (QCoreApplication::instance() != nullptr) QCoreApplication::instance()->removeEventFilter(Filter().get());
  Filter().reset();
}

bool IsKeyDown(int key) {
  const bool followed = Filter() && Filter()->IsDown(key);
  Qt::KeyboardModifier modifier = Qt::NoModifier;
  switch (key) {
    case Qt::Key_Control:
      modifier = Qt::ControlModifier;
      break;
    case Qt::Key_Shift:
      modifier = Qt::ShiftModifier;
      break;
    case Qt::Key_Alt:
      modifier = Qt::AltModifier;
      break;
    case Qt::Key_Meta:
      modifier = Qt::MetaModifier;
      break;
    default:
      return followed;
  }
  // A platform that cannot tell the modifiers answers from the events it
  // delivered; the followed presses cover the events sent inside the program.
  return followed || QGuiApplication::queryKeyboardModifiers().testFlag(modifier);
}

bool CtrlShiftDown() { return IsKeyDown(Qt::Key_Control) && IsKeyDown(Qt::Key_Shift); }

void SetCanvasColors(QPainter& painter, const QColor& fontColor, const QColor& brushColor) {
  painter.setPen(fontColor);
  painter.setBrush(brushColor);
}

void PopupAt(QWidget* widget, int x, int y, QMenu* menu) {
  if (widget == nullptr || menu == nullptr) return;
  menu->popup(widget->mapToGlobal(QPoint(x, y)));
}

}  // namespace mero::ui
