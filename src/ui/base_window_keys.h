#pragma once

#include <string>
#include <string_view>

namespace mero::ui {

// What the base window does with a key it sees before its controls do.
enum class FormKey {
  None,             // the key goes on to the control
  Find,
  NextControl,      // the focus moves on as with Tab
  CancelOrClose,
  AcceptOrClose,
  F8Key,
  F12Key,
  PriorRecord,      // of the main dataset
  NextRecord,
  LastRecord,
  FirstRecord,
};

// The focused control as the Enter rule sees it.
struct FocusedControl {
  std::string name;         // its object name
  int tag = 0;
  // A plain one-line edit box (not a date, period or lookup box, which
  // carry a meaning of their own when empty).
  bool plainEdit = false;
  bool hasText = false;
  // A grid or a memo keeps Enter for itself.
  bool gridOrMemo = false;
};

// The tag that leaves Enter to the control.
inline constexpr int kTagKeepsEnter = 3990;

// The name is one of the ";"-separated names, compared upper-case.
bool InSearchControls(std::string_view searchControls, std::string_view name);

// Enter on the focused control.
FormKey EnterKey(std::string_view searchControls, const FocusedControl& control);

// Modifier bits as the key table takes them; the keypad is not a modifier.
enum KeyModifier : unsigned { kShift = 1, kCtrl = 2, kAlt = 4, kMeta = 8 };

// The keys of the window other than Enter (key: a Qt::Key value). Every key
// of the table needs exactly its modifiers: Ctrl+Shift+PgDn is not Ctrl+PgDn.
FormKey WindowKey(int key, unsigned modifiers);

}  // namespace mero::ui
