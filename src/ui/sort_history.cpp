#include "ui/sort_history.h"

#include "data/memory_dataset.h"

namespace mero::ui {

void SortHistory::Click(const std::string& fieldName) {
  if (!entries_.empty()) {
    std::string& last = entries_.front();
    const std::size_t cut = last.rfind(';');
    if (last.substr(0, cut) == fieldName) {
      last.back() = last.back() == '0' ? '1' : '0';
      return;
    }
  }
  entries_.insert(entries_.begin(), fieldName + ";0");
}

void SortHistory::SortFields(std::vector<std::string>& names, std::vector<bool>& descending) const {
  names.clear();
  descending.clear();
  for (const std::string& entry : entries_) {
    const std::size_t cut = entry.rfind(';');
    names.push_back(entry.substr(0, cut));
    descending.push_back(entry.back() == '1');
  }
}

void SortByTitleClick(data::TDataSet& ds, SortHistory& history, const std::string& fieldName) {
  auto* rows = dynamic_cast<data::TLinkCustomDataset*>(&ds);
  if (rows == nullptr) return;
  history.Click(fieldName);
  std::vector<std::string> names;
  std::vector<bool> descending;
  history.SortFields(names, descending);
  rows->SortOnFields(names, descending);
}

}  // namespace mero::ui
