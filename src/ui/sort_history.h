#pragma once

#include <string>
#include <vector>

namespace mero::data {
class TDataSet;
}

namespace mero::ui {

// The sort of a grid by its column titles: each entry is a field name and
// ";0" (ascending) or ";1" (descending), the most recent first. Clicking the
// title of the most recent field flips it; any other title puts a new
// ascending entry in front. Entries are never removed.
class SortHistory {
 public:
  void Click(const std::string& fieldName);
  const std::vector<std::string>& Entries() const { return entries_; }
  // The fields and their directions, most recent first, as SortOnFields
  // takes them.
  void SortFields(std::vector<std::string>& names, std::vector<bool>& descending) const;
  void Clear() { entries_.clear(); }

 private:
  std::vector<std::string> entries_;
};

// A click on the title of fieldName: the history takes it and the rows are
// sorted on the whole history. Only the in-memory and remote datasets sort;
// for any other dataset nothing happens. Sort errors pass on unchanged.
void SortByTitleClick(data::TDataSet& ds, SortHistory& history, const std::string& fieldName);

}  // namespace mero::ui
