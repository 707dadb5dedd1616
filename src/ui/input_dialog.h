#pragma once

#include <string>

namespace mero::ui {

// The one-line input window; true for OK, text holds the edit box either way.
bool RunInputDialog(int maxLength, const std::string& prompt, std::string& text);

}  // namespace mero::ui
