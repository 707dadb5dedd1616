#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "printers/cell_colours.h"

namespace mero::data {
class TKZLINK;
class TField;
}  // namespace mero::data

namespace mero::ui {
class RowValues;
struct CellStyle;
}  // namespace mero::ui

namespace mero::printers {

// A text box above a list.
struct ListBox {
  std::string name;   // the control's object name
  std::string label;  // the caption in front of it; empty for none
  std::string hint;   // the tooltip; empty for none
  std::string text;   // what it holds when the window opens
  bool readOnly = false;
  int widthChars = 14;
};

// A check box above a list whose state is part of the search.
struct ListCheck {
  std::string name;
  std::string caption;
  bool checkedAtStart = false;
};

// What stands in the boxes when the user asks for the list.
struct ListInput {
  std::vector<std::string> texts;  // one per box, in the boxes' order
  bool checked = false;

  // The text of box i as typed; empty for a box not given and for one that
  // holds only blanks, which limits nothing either.
  const std::string& Text(std::size_t i) const;
};

// "FIELD" TAB width TAB title: one column of a grid.
std::string LayoutColumn(const std::string& field, int width, const std::string& title);

// A read-only list over one select built from the boxes above it: the logic
// of every register window. It owns its query; the query refuses edits and
// its fields are read-only after every open, so neither the dataset nor the
// grid over it can start one.
class ReferenceList {
 public:
  ReferenceList(std::string queryName, std::string caption);
  virtual ~ReferenceList();
  ReferenceList(const ReferenceList&) = delete;
  ReferenceList& operator=(const ReferenceList&) = delete;

  const std::string& Caption() const { return caption_; }
  const std::vector<ListBox>& Boxes() const { return boxes_; }
  const std::optional<ListCheck>& Check() const { return check_; }
  const std::vector<std::string>& Layout() const { return layout_; }
  // The boxes and the check box as the window opens.
  ListInput InitialInput() const;

  // The select for what stands in the boxes.
  virtual std::string SearchSQL(const ListInput& input) const = 0;
  // The background of a cell; nothing keeps the window colour.
  virtual CellColour Colour(const ui::RowValues& row, const std::string& field) const;
  // The grid's draw hook: the colour of the cell, black text on it.
  void PaintCell(const ui::RowValues& row, const data::TField& field, ui::CellStyle& style) const;

  // Opens the select for the input; the row count.
  int RunQuery(const ListInput& input);
  // The rows the last select gave (0 before the first).
  int Count() const { return count_; }
  const std::string& LastSQL() const { return lastSQL_; }
  data::TKZLINK& Query() const { return *query_; }

 protected:
  void AddBox(ListBox box) { boxes_.push_back(std::move(box)); }
  void SetCheck(ListCheck check) { check_ = std::move(check); }
  void SetLayout(std::vector<std::string> layout) { layout_ = std::move(layout); }
  // The display format of a numeric field, set again at every open.
  void SetFormat(std::string field, std::string pattern) { formats_[std::move(field)] = std::move(pattern); }

 private:
  void AfterOpen();

  std::string caption_;
  std::vector<ListBox> boxes_;
  std::optional<ListCheck> check_;
  std::vector<std::string> layout_;
  std::map<std::string, std::string> formats_;
  std::string lastSQL_;
  int count_ = 0;
  std::unique_ptr<data::TKZLINK> query_;
};

}  // namespace mero::printers
