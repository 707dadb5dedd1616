#include "ui/column_layout.h"

#include "base/number_format.h"
#include "base/screen_rules.h"
#include "base/text_routines.h"
#include "data/dataset.h"

namespace mero::ui {

std::optional<ColumnSpec> ParseColumnLayout(std::string_view line) {
  std::vector<std::string> parts;
  base::SplitToList(line, "\t", parts, false);
  for (std::string& part : parts) part = std::string(base::StrTrimView(part));
  if (parts.empty() || parts[0].empty()) return std::nullopt;
  ColumnSpec spec;
  spec.fieldName = parts[0];
  std::int32_t width = 0;
  if (parts.size() > 1 && base::TryStrToInt(parts[1], width) && width >= 0) spec.widthChars = width;
  if (parts.size() > 2) spec.title = parts[2];
  spec.readOnly = parts.size() > 3 && (parts[3] == "T" || parts[3] == "t");
  return spec;
}

bool ShowsAsCheckBox(const data::TField& field) { return field.DataType() == link::ftBoolean; }

void ColumnLayout::SetSelected(std::vector<std::string> lines) {
  selected_ = std::move(lines);
  specs_.clear();
  for (const std::string& line : selected_) {
    if (std::optional<ColumnSpec> spec = ParseColumnLayout(line)) specs_.push_back(std::move(*spec));
  }
}

const ColumnSpec* ColumnLayout::SpecOf(const data::TField& field) const {
  for (const ColumnSpec& spec : specs_) {
    if (base::UpperStr(spec.fieldName) == base::UpperStr(field.FieldName())) return &spec;
  }
  return nullptr;
}

void ColumnLayout::ApplyToFields(data::TDataSet& ds) const {
  if (specs_.empty()) return;
  for (int i = 0; i < ds.FieldCount(); ++i) {
    data::TField& field = ds.Fields(i);
    const ColumnSpec* spec = SpecOf(field);
    field.SetVisible(spec != nullptr);
    if (spec == nullptr) continue;
    if (!spec->title.empty()) field.SetDisplayLabel(spec->title);
    if (spec->widthChars >= 0) field.SetDisplayWidth(spec->widthChars);
  }
}

void ColumnLayout::SetCheckColumn(CheckColumn column) {
  for (CheckColumn& c : checkColumns_) {
    if (base::UpperStr(c.fieldName) == base::UpperStr(column.fieldName)) {
      c = std::move(column);
      return;
    }
  }
  checkColumns_.push_back(std::move(column));
}

std::vector<GridColumn> ColumnLayout::Columns(data::TDataSet& ds) const {
  std::vector<GridColumn> columns;
  auto add = [this, &columns](data::TField& field, bool readOnly) {
    GridColumn& c = columns.emplace_back();
    c.field = &field;
    c.widthPx = base::CharsToPixels(field.DisplayWidth());
    c.readOnly = readOnly || field.ReadOnly();
    c.checkBox = ShowsAsCheckBox(field);
    for (const CheckColumn& check : checkColumns_) {
      if (base::UpperStr(check.fieldName) != base::UpperStr(field.FieldName())) continue;
      c.checkBox = true;
      c.checkedText = check.checkedText;
      c.uncheckedText = check.uncheckedText;
    }
  };
  std::vector<bool> taken(static_cast<std::size_t>(ds.FieldCount()), false);
  for (const ColumnSpec& spec : specs_) {
    data::TField* field = ds.FindField(spec.fieldName);
    if (field == nullptr || !field->Visible() || taken[static_cast<std::size_t>(field->Index())]) continue;
    taken[static_cast<std::size_t>(field->Index())] = true;
    add(*field, spec.readOnly);
  }
  for (int i = 0; i < ds.FieldCount(); ++i) {
    data::TField& field = ds.Fields(i);
    if (field.Visible() && !taken[static_cast<std::size_t>(i)]) add(field, false);
  }
  return columns;
}

}  // namespace mero::ui
