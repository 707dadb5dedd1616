#pragma once

namespace mero::ui {

// The row (0-based) the option list starts on for a 1-based preselection:
// the first row when the preselection is 0 or less or past the last option.
int OptionStartRow(int count, int preselect);
// The 1-based option a digit key (1..9) chooses; 0 when there is no such
// option, and the key is ignored.
int OptionForDigit(int count, int digit);

}  // namespace mero::ui
