#include "app/message_hook.h"

#include <QApplication>
#include <QKeyEvent>

#include "app/main_window_logic.h"
#include "app/window_print.h"
#include "ui/event_guard.h"
#include "ui/screen_routines.h"

namespace mero::app {

AppMessageHook::AppMessageHook(QObject* parent) : QObject(parent) { qApp->installEventFilter(this); }

AppMessageHook::~AppMessageHook() {
  if (qApp != nullptr) qApp->removeEventFilter(this);
}

bool AppMessageHook::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyRelease) {
    keys_.KeyUp(static_cast<QKeyEvent*>(event)->key());
  } else if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->timestamp() == lastTimestamp_ && key->key() == lastKey_) return QObject::eventFilter(watched, event);
    lastTimestamp_ = key->timestamp();
    lastKey_ = key->key();
    KeyPress press;
    press.key = key->key();
    press.autoRepeat = key->isAutoRepeat();
    press.ctrl = (key->modifiers() & Qt::ControlModifier) != 0;
    press.shift = (key->modifiers() & Qt::ShiftModifier) != 0;
    press.f1 = ui::IsKeyDown(Qt::Key_F1);
    press.f8 = key->key() == Qt::Key_F8 || ui::IsKeyDown(Qt::Key_F8);
    switch (keys_.KeyDown(press)) {
      case HiddenAction::DebugPrompt:
        ui::Guarded([] { MeroMainLogic::RunDebugPrompt(); });
        break;
      case HiddenAction::PrintActiveWindow:
        ui::Guarded([] { PrintWindowImage(QApplication::activeWindow()); });
        break;
      case HiddenAction::None:
        break;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace mero::app
