#include "ui/footer_sums.h"

#include "base/number_format.h"
#include "base/text_routines.h"
#include "data/memory_dataset.h"
#include "data/remote/query_utils.h"

namespace mero::ui {

void FooterSums::SetSumFields(std::string text) {
  text_ = std::move(text);
  std::vector<std::string> parts;
  base::SplitToList(text_, ";", parts, false);
  names_.clear();
  for (const std::string& part : parts) {
    const std::string_view name = base::StrTrimView(part);
    if (name.empty()) continue;
    if (names_.size() == kMaxSumFields) break;
    names_.emplace_back(name);
  }
  texts_.clear();
  computed_ = false;
}

bool FooterSums::Update(data::TLinkCustomDataset* ds) {
  if (running_ || names_.empty() || ds == nullptr || !ds->Active()) return false;
  running_ = true;
  struct Guard {
    bool& flag;
    ~Guard() { flag = false; }
  } guard{running_};
  data::TLinkDataSet copy;
  copy.CopyShownRows(*ds);
  data::ColumnSums sums{};
  data::SumColumns(copy, base::JoinList(names_, "|", "", ""), sums);
  texts_.clear();
  for (std::size_t i = 0; i < names_.size(); ++i) {
    const double sum = sums[i + 1];
    const data::TField* field = ds->FindField(names_[i]);
    const bool formatted = field != nullptr && data::IsNumericType(field->DataType()) && !field->DisplayFormat().empty();
    texts_.push_back(formatted ? base::FormatFloat(field->DisplayFormat(), sum) : base::FloatToStr(sum));
  }
  computed_ = true;
  return true;
}

std::string FooterSums::TextOf(std::string_view fieldName) const {
  const std::string wanted = base::UpperStr(fieldName);
  for (std::size_t i = 0; i < names_.size() && i < texts_.size(); ++i) {
    if (base::UpperStr(names_[i]) == wanted) return texts_[i];
  }
  return {};
}

}  // namespace mero::ui
