#include "ui/base_window_keys.h"

#include <Qt>

#include <vector>

#include "base/text_routines.h"

namespace mero::ui {

bool InSearchControls(std::string_view searchControls, std::string_view name) {
  if (name.empty()) return false;
  const std::string wanted = base::UpperStr(name);
  std::vector<std::string> names;
  base::SplitToList(searchControls, ";", names, true);
  for (const std::string& item : names)
    if (base::UpperStr(item) == wanted) return true;
  return false;
}

FormKey EnterKey(std::string_view searchControls, const FocusedControl& control) {
  if (control.tag == kTagKeepsEnter) return FormKey::None;
  if (InSearchControls(searchControls, control.name) && (!control.plainEdit || control.hasText)) return FormKey::Find;
  if (control.gridOrMemo) return FormKey::None;
  return FormKey::NextControl;
}

FormKey WindowKey(int key, unsigned modifiers) {
  if (modifiers == 0) {
    switch (key) {
      case Qt::Key_Escape: return FormKey::CancelOrClose;
      case Qt::Key_F7: return FormKey::Find;
      case Qt::Key_F8: return FormKey::F8Key;
      case Qt::Key_F10: return FormKey::AcceptOrClose;
      case Qt::Key_F12: return FormKey::F12Key;
      default: return FormKey::None;
    }
  }
  if (modifiers == kCtrl) {
    switch (key) {
      case Qt::Key_PageUp: return FormKey::PriorRecord;
      case Qt::Key_PageDown: return FormKey::NextRecord;
      case Qt::Key_End: return FormKey::LastRecord;
      case Qt::Key_Home: return FormKey::FirstRecord;
      default: return FormKey::None;
    }
  }
  return FormKey::None;
}

}  // namespace mero::ui
