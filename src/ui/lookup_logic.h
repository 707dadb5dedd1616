#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/message_seam.h"
#include "link/codec/field_type.h"

namespace mero::data {
class TDataSet;
}

namespace mero::ui {

// One entry of a visible-field list: the name upper-cased, the label given
// after ":" (empty when none was).
struct LookupField {
  std::string name;
  std::string label;
};

// "NAME[:label];..." as the lookup reads it; empty items are skipped.
std::vector<LookupField> ParseVisibleFields(std::string_view visibleFields);

// The label of a field nobody labelled: ID "ΚΩΔ", DSC "ΠΕΡΙΓΡΑΦΗ", any other
// field its name.
std::string LookupLabel(std::string_view fieldName);

// How the filter box's text is searched on the sort field: as text, as an
// integer, or not at all (dates and the other kinds).
enum class LookupSearchMode { None, Text, Integer };
LookupSearchMode SearchModeOf(link::TFieldType type);

// The rules of one lookup: its inputs, the statements it sends and the
// labels and visibility of its fields. Holds no widget and no query.
class LookupLogic {
 public:
  explicit LookupLogic(const base::LookupRequest& request);

  const std::string& Table() const { return table_; }
  // The key fields as given ("ID" when none were).
  const std::string& KeyFields() const { return keyFields_; }
  // The first key field: its value is what the lookup returns.
  const std::string& KeyField() const { return keyField_; }
  const std::string& Filter() const { return filter_; }
  const std::string& Caption() const { return caption_; }
  const std::string& InitialValue() const { return initialValue_; }
  const std::string& OrderField() const { return orderField_; }
  const std::vector<LookupField>& VisibleFields() const { return visible_; }

  // The statement that learns the columns without reading a row.
  std::string ProbeSQL() const;
  // The search: the filter (or every row), the filter box's text on the sort
  // field by its mode, then the order; sortField empty adds neither.
  std::string SearchSQL(std::string_view sortField, link::TFieldType sortType, std::string_view filterText) const;

  // Labels, visibility, widths (at most 25 characters) and the number format
  // of floats, on the fields of the open query.
  void ApplyLabels(data::TDataSet& ds) const;
  // The labels of the visible fields, in field order: the sort box's entries.
  std::vector<std::string> SortLabels(data::TDataSet& ds) const;
  // The entry the sort box starts on: the order field's label when there is
  // an order field the query has, else the first entry (empty without any).
  std::string StartLabel(data::TDataSet& ds) const;

 private:
  std::string table_;
  std::string keyFields_;
  std::string keyField_;
  std::string filter_;
  std::string caption_;
  std::string initialValue_;
  std::string orderField_;
  std::vector<LookupField> visible_;
};

// Whether ShowLookup keeps the filter's case (off at start; the after-login
// steps turn it on).
bool LookupKeepsFilterCase();
void SetLookupKeepsFilterCase(bool value);

// The request ShowLookup hands to the dialog: table and key field upper-cased,
// the filter too unless LookupKeepsFilterCase.
base::LookupRequest ShowLookupRequest(std::string_view keyField, std::string_view table, std::string_view initial,
                                      std::string_view visibleFields, std::string_view orderField,
                                      std::string_view caption, std::string_view filter);
// Shows the lookup through the message seam; the chosen key, or the initial
// value when nothing was chosen.
std::string ShowLookup(std::string_view keyField, std::string_view table, std::string_view initial,
                       std::string_view visibleFields, std::string_view orderField, std::string_view caption,
                       std::string_view filter);
// ShowLookup opened only to choose: its rows can not be changed.
std::string ChooseWithLookup(std::string_view keyField, std::string_view table, std::string_view initial,
                             std::string_view visibleFields, std::string_view orderField, std::string_view caption,
                             std::string_view filter);

}  // namespace mero::ui
