#pragma once

#include <QComboBox>
#include <string>
#include <vector>

#include "ui/value_map.h"

namespace mero::ui {

// The combo box with a value map. A filter box (tag 3000..3099) offers
// "**Χωρίς Φίλτρο**" (value -1) first; in check mode (zIsCheck = 1) the
// drop-down asks the multi-choice list and the box holds the chosen values
// ("3;5;").
class TKZDBCBox1 : public QComboBox {
  Q_OBJECT

 public:
  explicit TKZDBCBox1(QWidget* parent = nullptr);

  // Items "display TAB value"; a filter box selects its no-filter item.
  void SetItems(const std::vector<std::string>& items);
  const std::vector<ValueItem>& Items() const { return items_; }

  int Tag() const { return tag_; }
  void SetTag(int tag);
  int zIsCheck() const { return isCheck_; }
  void SetzIsCheck(int value);
  const std::string& zTitle() const { return title_; }
  void SetzTitle(std::string title);
  // Takes the master's value map, items, item index and style, as a box
  // naming another one does when its window is loaded.
  void SetzMastCB(const TKZDBCBox1* master);
  const TKZDBCBox1* zMastCB() const { return master_; }

  // The value of the selected item ("" when none); in check mode the chosen
  // values.
  std::string Value() const;
  // Selects the item of the value (none when no item has it); in check mode
  // the chosen values.
  void SetValue(const std::string& value);

  // The drop-down: in check mode the multi-choice list instead.
  void showPopup() override;

 private:
  void Fill(const std::vector<ValueItem>& items);
  void SetCheckText(const std::string& text);

  std::vector<ValueItem> source_;  // as given, without the no-filter item
  std::vector<ValueItem> items_;   // as listed
  int tag_ = 0;
  int isCheck_ = 0;
  std::string title_;
  std::string checkText_;
  const TKZDBCBox1* master_ = nullptr;
};

}  // namespace mero::ui
