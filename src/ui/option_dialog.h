#pragma once

#include <string>
#include <vector>

namespace mero::ui {

// The option list; the 1-based number chosen, -1 on Esc.
int RunOptionDialog(const std::vector<std::string>& options, const std::string& caption, int preselect);

}  // namespace mero::ui
