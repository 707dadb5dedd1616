#pragma once

#include <string>
#include <vector>

namespace mero::ui {

// One item of a combo box with a value map: what the list shows and the
// value it stands for.
struct ValueItem {
  std::string display;
  std::string value;
  bool operator==(const ValueItem&) const = default;
};

// The value of the no-filter item of a filter box.
inline constexpr const char* kNoFilterValue = "-1";
ValueItem NoFilterItem();
// Filter boxes are the boxes tagged 3000..3099.
bool IsFilterTag(int tag);

// Items written "display TAB value"; an item without a TAB stands for itself.
std::vector<ValueItem> ParseValueItems(const std::vector<std::string>& items);
// The items a box lists: a filter box not in check mode starts with the
// no-filter item, also when it is filled again.
std::vector<ValueItem> ComboItems(const std::vector<ValueItem>& items, int tag, bool checkMode);
// The position of the item of a value; -1 when none has it.
int IndexOfValue(const std::vector<ValueItem>& items, const std::string& value);

// Check mode: the items of the multi-choice list ("value;display").
std::vector<std::string> CheckItems(const std::vector<ValueItem>& items);
// The hint of a box in check mode: the title and ":", then the display texts
// of the chosen values (a value text like "3;5;"), one a line.
std::string CheckHint(const std::string& title, const std::string& chosen, const std::vector<ValueItem>& items);

}  // namespace mero::ui
