#include "ui/multi_choice_rules.h"

#include <cstddef>

namespace mero::ui {

ChoiceItem SplitChoiceItem(const std::string& item) {
  const std::size_t sep = item.find(';');
  if (sep == std::string::npos) return {item, item};
  return {item.substr(0, sep), item.substr(sep + 1)};
}

std::vector<bool> CheckedChoices(const std::string& current, const std::vector<std::string>& items) {
  std::string text = current;
  if (text.empty() || text.front() != ';') text.insert(text.begin(), ';');
  if (text.back() != ';') text.push_back(';');
  std::vector<bool> checked;
  checked.reserve(items.size());
  for (const std::string& item : items)
    checked.push_back(text.find(';' + SplitChoiceItem(item).value + ';') != std::string::npos);
  return checked;
}

std::string ChosenValues(const std::vector<std::string>& items, const std::vector<bool>& checked) {
  std::string out;
  for (std::size_t i = 0; i < items.size() && i < checked.size(); ++i)
    if (checked[i]) out += SplitChoiceItem(items[i]).value + ';';
  return out;
}

std::vector<bool> RangeChecked(std::vector<bool> checked, int clicked, bool shift, bool ctrl) {
  if (!shift && !ctrl) return checked;
  const int count = static_cast<int>(checked.size());
  for (int i = 0; i < count; ++i)
    checked[static_cast<std::size_t>(i)] = ctrl ? i >= clicked : i <= clicked;
  return checked;
}

}  // namespace mero::ui
