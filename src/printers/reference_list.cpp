#include "printers/reference_list.h"

#include "base/text_routines.h"
#include "data/remote/application_dataset.h"
#include "data/remote/query_utils.h"
#include "ui/dataset_table_model.h"

namespace mero::printers {

const std::string& ListInput::Text(std::size_t i) const {
  static const std::string empty;
  if (i >= texts.size() || texts[i].find_first_not_of(' ') == std::string::npos) return empty;
  return texts[i];
}

std::string LayoutColumn(const std::string& field, int width, const std::string& title) {
  return field + "\t" + std::to_string(width) + "\t" + title;
}

ReferenceList::ReferenceList(std::string queryName, std::string caption)
    : caption_(std::move(caption)), query_(data::NewQuery()) {
  query_->SetName(std::move(queryName));
  query_->SetReadOnly(true);
  query_->AfterOpen = [this] { AfterOpen(); };
}

ReferenceList::~ReferenceList() {
  query_->AfterOpen = nullptr;
  data::FreeQuery(query_);
}

ListInput ReferenceList::InitialInput() const {
  ListInput input;
  for (const ListBox& box : boxes_) input.texts.push_back(box.text);
  input.checked = check_ && check_->checkedAtStart;
  return input;
}

CellColour ReferenceList::Colour(const ui::RowValues&, const std::string&) const { return std::nullopt; }

void ReferenceList::PaintCell(const ui::RowValues& row, const data::TField& field, ui::CellStyle& style) const {
  Paint(style, Colour(row, base::UpperStr(field.FieldName())));
}

int ReferenceList::RunQuery(const ListInput& input) {
  lastSQL_ = SearchSQL(input);
  count_ = 0;
  data::OpenSQL(*query_, lastSQL_);
  count_ = query_->NonEmptyCount();
  return count_;
}

void ReferenceList::AfterOpen() {
  // The fields are made anew at each open: what they must not allow is set
  // on them again.
  query_->SetAllReadOnly("1");
  for (const auto& [name, pattern] : formats_) {
    if (data::TField* f = query_->FindField(name)) f->SetDisplayFormat(pattern);
  }
}

}  // namespace mero::printers
