#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mero::data {
class TDataSet;
class TField;
}  // namespace mero::data

namespace mero::ui {

// One layout string of a grid: "FIELD" TAB width TAB title [TAB "T"|"F"].
struct ColumnSpec {
  std::string fieldName;
  // Characters; -1 when the width is missing or not a number, and the
  // field's own display width stays.
  int widthChars = -1;
  // Empty when the string has none: the field's label stays.
  std::string title;
  bool readOnly = false;
};

// nullopt for a string that names no field.
std::optional<ColumnSpec> ParseColumnLayout(std::string_view line);

// A column as the grid shows it.
struct GridColumn {
  data::TField* field = nullptr;
  int widthPx = 0;
  bool readOnly = false;
  bool checkBox = false;
  // A text field shown as a check box: the texts of its two states (both
  // empty for a boolean field).
  std::string checkedText;
  std::string uncheckedText;
};

// A text field the grid shows as a check box, with the texts of its states.
struct CheckColumn {
  std::string fieldName;
  std::string checkedText;
  std::string uncheckedText;
};

// Boolean fields are edited and shown as a check box.
bool ShowsAsCheckBox(const data::TField& field);

// The column layout of a grid (its Selected property). With layout strings,
// the grid shows their fields in their order; without, every visible field.
class ColumnLayout {
 public:
  void SetSelected(std::vector<std::string> lines);
  const std::vector<std::string>& Selected() const { return selected_; }
  const std::vector<ColumnSpec>& Specs() const { return specs_; }
  // Shows a text field as a check box ("1" checked, "0" not, say); read at
  // the next open of the dataset.
  void SetCheckColumn(CheckColumn column);
  bool Empty() const { return specs_.empty(); }

  // Makes the dataset's fields what the grid shows, so that reports and
  // exports show it too: each layout string's title becomes its field's
  // display label and its width the field's display width; the fields
  // without a layout string are hidden. Nothing without layout strings.
  void ApplyToFields(data::TDataSet& ds) const;

  // The columns over the dataset's visible fields: the layout's fields in
  // layout order (names the dataset lacks are skipped), then any other
  // visible field; widths by the field's display width (n·6 + 7 px).
  std::vector<GridColumn> Columns(data::TDataSet& ds) const;

 private:
  const ColumnSpec* SpecOf(const data::TField& field) const;

  std::vector<std::string> selected_;
  std::vector<ColumnSpec> specs_;
  std::vector<CheckColumn> checkColumns_;
};

}  // namespace mero::ui
