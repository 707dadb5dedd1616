#include "app/hidden_keys.h"

#include <Qt>

namespace mero::app {

HiddenAction HiddenKeys::KeyDown(const KeyPress& press) {
  if (press.ctrl && press.shift && press.f1 && press.key == Qt::Key_F9 && !press.autoRepeat) {
    return HiddenAction::DebugPrompt;
  }
  if (press.ctrl && press.f8) {
    if (printed_) return HiddenAction::None;
    printed_ = true;
    return HiddenAction::PrintActiveWindow;
  }
  return HiddenAction::None;
}

void HiddenKeys::KeyUp(int key) {
  if (key == Qt::Key_Control || key == Qt::Key_F8) printed_ = false;
}

}  // namespace mero::app
