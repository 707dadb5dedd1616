#pragma once

#include <string>
#include <vector>

namespace mero::ui {

// The multi-choice list; the value text confirmed, or current.
std::string RunMultiChoice(const std::string& caption, const std::string& current,
                           const std::vector<std::string>& items);

}  // namespace mero::ui
