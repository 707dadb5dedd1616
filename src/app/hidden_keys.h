#pragma once

namespace mero::app {

// The two hidden keyboard functions of the whole application, decided from
// a key press and the keys held at that moment.
struct KeyPress {
  int key = 0;             // the Qt::Key pressed
  bool autoRepeat = false;  // a repeat of a key held down
  bool ctrl = false;
  bool shift = false;
  bool f1 = false;  // F1 is held
  bool f8 = false;  // F8 is held (or is the key pressed)
};

enum class HiddenAction { None, DebugPrompt, PrintActiveWindow };

// Ctrl+Shift with F1 held and F9 pressed asks for the debug level; Ctrl with
// F8 prints the active window, once while the two stay held.
class HiddenKeys {
 public:
  HiddenAction KeyDown(const KeyPress& press);
  // A key let go: letting go of Ctrl or F8 allows the next print.
  void KeyUp(int key);

 private:
  bool printed_ = false;
};

}  // namespace mero::app
