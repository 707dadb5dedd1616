#pragma once

#include <QObject>

#include "app/hidden_keys.h"

namespace mero::app {

// The application-wide hook on the key presses: Ctrl+Shift with F1 held and
// F9 asks "DEBUG=" and shows the debug window; Ctrl+F8 prints the active
// window. It never consumes an event.
class AppMessageHook : public QObject {
 public:
  explicit AppMessageHook(QObject* parent = nullptr);
  ~AppMessageHook() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  HiddenKeys keys_;
  // A key press travels up from the focus widget to its parents; the hook
  // acts on it once.
  unsigned long lastTimestamp_ = 0;
  int lastKey_ = 0;
};

}  // namespace mero::app
