#pragma once

#include <memory>
#include <vector>

#include "printers/reference_list.h"
#include "ui/base_window.h"

class QCheckBox;
class QLineEdit;
class QShowEvent;
class QToolButton;

namespace mero::ui {
class TKZDBGrid;
}

namespace mero::printers {

// The window of a read-only list: a panel with the search button, the
// list's boxes and check box and the count, over a grid that shows the
// list's query and never edits it. What the list is comes from its logic.
class TReferenceListF : public ui::TF102Form {
  Q_OBJECT

 public:
  explicit TReferenceListF(std::unique_ptr<ReferenceList> logic, QWidget* parent = nullptr);
  ~TReferenceListF() override;

  // The select for what stands in the boxes now, and the count.
  void RunQuery() override;

  ReferenceList& Logic() const { return *logic_; }
  // What stands in the boxes and the check box now.
  ListInput Input() const;
  QLineEdit* Box(std::size_t index) const { return boxes_.at(index); }
  QCheckBox* CheckBox() const { return check_; }
  QToolButton* SearchButton() const { return searchButton_; }
  QLineEdit* CountBox() const { return countBox_; }
  ui::TKZDBGrid* Grid() const { return grid_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildWindow();

  std::unique_ptr<ReferenceList> logic_;
  bool shown_ = false;
  std::vector<QLineEdit*> boxes_;
  QCheckBox* check_ = nullptr;
  QToolButton* searchButton_ = nullptr;
  QLineEdit* countBox_ = nullptr;
  ui::TKZDBGrid* grid_ = nullptr;
};

}  // namespace mero::printers
