#include "ui/value_map.h"

#include "base/encoding.h"

namespace mero::ui {

using namespace base::literals;

ValueItem NoFilterItem() { return {"**Χωρίς Φίλτρο**"_gr, kNoFilterValue}; }

bool IsFilterTag(int tag) { return tag >= 3000 && tag <= 3099; }

std::vector<ValueItem> ParseValueItems(const std::vector<std::string>& items) {
  std::vector<ValueItem> out;
  out.reserve(items.size());
  for (const std::string& item : items) {
    const std::size_t tab = item.find('\t');
    if (tab == std::string::npos) {
      out.push_back({item, item});
    } else {
      out.push_back({item.substr(0, tab), item.substr(tab + 1)});
    }
  }
  return out;
}

std::vector<ValueItem> ComboItems(const std::vector<ValueItem>& items, int tag, bool checkMode) {
  std::vector<ValueItem> out;
  out.reserve(items.size() + 1);
  const ValueItem noFilter = NoFilterItem();
  if (IsFilterTag(tag) && !checkMode) out.push_back(noFilter);
  for (const ValueItem& item : items) {
    if (!(item == noFilter)) out.push_back(item);
  }
  return out;
}

int IndexOfValue(const std::vector<ValueItem>& items, const std::string& value) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i].value == value) return static_cast<int>(i);
  }
  return -1;
}

std::vector<std::string> CheckItems(const std::vector<ValueItem>& items) {
  std::vector<std::string> out;
  out.reserve(items.size());
  for (const ValueItem& item : items) out.push_back(item.value + ";" + item.display);
  return out;
}

std::string CheckHint(const std::string& title, const std::string& chosen, const std::vector<ValueItem>& items) {
  std::string hint = title + ":";
  const std::string marked = ";" + chosen + (chosen.empty() || chosen.back() != ';' ? ";" : "");
  for (const ValueItem& item : items) {
    if (marked.find(";" + item.value + ";") != std::string::npos) hint += "\n" + item.display;
  }
  return hint;
}

}  // namespace mero::ui
