#include "ui/lookup_logic.h"

#include "base/encoding.h"
#include "base/text_routines.h"
#include "data/dataset.h"
#include "data/dataset_utils.h"
#include "data/search_condition.h"

namespace mero::ui {

using namespace base::literals;

namespace {

// Display widths of the lookup's columns are cut to this many characters.
constexpr int kMaxLookupWidth = 25;

bool g_keepsFilterCase = false;

}  // namespace

std::vector<LookupField> ParseVisibleFields(std::string_view visibleFields) {
  std::vector<LookupField> fields;
  std::string_view rest = visibleFields;
  for (;;) {
    const std::size_t cut = rest.find(';');
    const std::string_view item = rest.substr(0, cut);
    const std::size_t colon = item.find(':');
    LookupField f{base::UpperStr(base::StrTrim(item.substr(0, colon))), {}};
    if (colon != std::string_view::npos) f.label = base::StrTrim(item.substr(colon + 1));
    if (!f.name.empty()) fields.push_back(std::move(f));
    if (cut == std::string_view::npos) break;
    rest.remove_prefix(cut + 1);
  }
  return fields;
}

std::string LookupLabel(std::string_view fieldName) {
  const std::string name = base::UpperStr(fieldName);
  if (name == "ID") return "ΚΩΔ"_gr;
  if (name == "DSC") return "ΠΕΡΙΓΡΑΦΗ"_gr;
  return std::string(fieldName);
}

LookupSearchMode SearchModeOf(link::TFieldType type) {
  const std::string letter = data::FieldTypeLetter(type);
  if (letter == "C") return LookupSearchMode::Text;
  if (letter == "N") return LookupSearchMode::Integer;
  return LookupSearchMode::None;
}

LookupLogic::LookupLogic(const base::LookupRequest& request)
    : table_(request.table),
      keyFields_(request.keyField.empty() ? std::string("ID") : request.keyField),
      filter_(request.filter),
      caption_(request.caption),
      initialValue_(request.initialValue),
      orderField_(request.orderField),
      visible_(ParseVisibleFields(request.visibleFields)) {
  keyField_ = base::StrTrim(keyFields_.substr(0, keyFields_.find(';')));
}

std::string LookupLogic::ProbeSQL() const { return "select c1.* from " + table_ + " c1 " + " where 1=2"; }

std::string LookupLogic::SearchSQL(std::string_view sortField, link::TFieldType sortType,
                                   std::string_view filterText) const {
  std::string sql = "select c1.* from " + table_ + " c1 ";
  sql += filter_.empty() ? std::string(" where 1=1 ") : " where " + filter_;
  if (sortField.empty()) return sql;
  switch (SearchModeOf(sortType)) {
    case LookupSearchMode::Text:
      sql = data::AndCondition(sql, data::SearchCondition(filterText, sortField, data::skText, false));
      break;
    case LookupSearchMode::Integer:
      sql = data::AndCondition(sql, data::SearchCondition(filterText, sortField, data::skInteger, false));
      break;
    case LookupSearchMode::None:
      break;
  }
  return sql + " order by  " + std::string(sortField);
}

void LookupLogic::ApplyLabels(data::TDataSet& ds) const {
  for (int i = 0; i < ds.FieldCount(); ++i) {
    data::TField& f = ds.Fields(i);
    f.SetDisplayLabel(LookupLabel(f.FieldName()));
    if (visible_.empty()) {
      f.SetVisible(true);
      continue;
    }
    const std::string name = base::UpperStr(f.FieldName());
    bool listed = false;
    for (const LookupField& v : visible_) {
      if (v.name != name) continue;
      listed = true;
      if (!v.label.empty()) f.SetDisplayLabel(v.label);
    }
    f.SetVisible(listed);
  }
  data::SetDefaultWidths(ds, kMaxLookupWidth);
}

std::vector<std::string> LookupLogic::SortLabels(data::TDataSet& ds) const {
  std::vector<std::string> labels;
  for (int i = 0; i < ds.FieldCount(); ++i)
    if (ds.Fields(i).Visible()) labels.push_back(ds.Fields(i).DisplayLabel());
  return labels;
}

std::string LookupLogic::StartLabel(data::TDataSet& ds) const {
  if (!orderField_.empty())
    if (const data::TField* f = ds.FindField(base::StrTrim(orderField_))) return f->DisplayLabel();
  const std::vector<std::string> labels = SortLabels(ds);
  return labels.empty() ? std::string() : labels.front();
}

bool LookupKeepsFilterCase() { return g_keepsFilterCase; }
void SetLookupKeepsFilterCase(bool value) { g_keepsFilterCase = value; }

base::LookupRequest ShowLookupRequest(std::string_view keyField, std::string_view table, std::string_view initial,
                                      std::string_view visibleFields, std::string_view orderField,
                                      std::string_view caption, std::string_view filter) {
  base::LookupRequest r;
  r.keyField = base::UpperStr(keyField);
  r.table = base::UpperStr(table);
  r.initialValue = std::string(initial);
  r.visibleFields = std::string(visibleFields);
  r.orderField = std::string(orderField);
  r.caption = std::string(caption);
  r.filter = LookupKeepsFilterCase() ? std::string(filter) : base::UpperStr(filter);
  return r;
}

std::string ShowLookup(std::string_view keyField, std::string_view table, std::string_view initial,
                       std::string_view visibleFields, std::string_view orderField, std::string_view caption,
                       std::string_view filter) {
  return base::ShowLookup(ShowLookupRequest(keyField, table, initial, visibleFields, orderField, caption, filter));
}

std::string ChooseWithLookup(std::string_view keyField, std::string_view table, std::string_view initial,
                             std::string_view visibleFields, std::string_view orderField, std::string_view caption,
                             std::string_view filter) {
  base::LookupRequest r = ShowLookupRequest(keyField, table, initial, visibleFields, orderField, caption, filter);
  r.readOnly = true;
  return base::ShowLookup(r);
}

}  // namespace mero::ui
