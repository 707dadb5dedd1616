#pragma once

#include <string>

#include "base/message_seam.h"

namespace mero::ui {

// The message window, shown modally; the answer of the user.
base::ModalResult RunMessageWindow(const std::string& text, int kind, int autoCloseMs, int fontIndex);

}  // namespace mero::ui
