#pragma once

#include <string>
#include <vector>

namespace mero::ui {

// An item of the multi-choice list, "value;display"; an item without ";"
// is its own value and display.
struct ChoiceItem {
  std::string value;
  std::string display;
};
ChoiceItem SplitChoiceItem(const std::string& item);

// The check marks the list opens with: an item is checked when
// ";" + value + ";" occurs in the current text read with a ";" at both ends.
std::vector<bool> CheckedChoices(const std::string& current, const std::vector<std::string>& items);
// The value text of the checked items, each followed by ";", in list order.
std::string ChosenValues(const std::vector<std::string>& items, const std::vector<bool>& checked);

// Clicking a check mark with Shift checks the items from the first to the
// one clicked and no other, with Ctrl the one clicked and every one after
// it; with both, the Ctrl rule wins. Without either the marks stay as the
// click left them.
std::vector<bool> RangeChecked(std::vector<bool> checked, int clicked, bool shift, bool ctrl);

}  // namespace mero::ui
