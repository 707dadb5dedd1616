#pragma once

#include <string>

#include "printers/printers_list.h"
#include "ui/base_window.h"

class QLineEdit;
class QToolButton;

namespace mero::ui {
class TKZDBCBox1;
class TKZDBGrid;
}  // namespace mero::ui

namespace mero::printers {

// The printers window: a user's printers (or, opened with no names, those
// of the unit chosen in the unit box) and below them the consumables the
// current printer requires.
class TPrinters1F : public ui::TF102Form {
  Q_OBJECT

 public:
  TPrinters1F(const std::string& user, const std::string& orderer, QWidget* parent = nullptr);
  ~TPrinters1F() override;

  PrintersList& Logic() { return logic_; }
  // The printers again, for the unit box's unit (F7 and the search button).
  void Find() override;
  void RunQuery() override;

  ui::TKZDBCBox1* UnitBox = nullptr;
  QLineEdit* UserBox = nullptr;
  QLineEdit* OrdererBox = nullptr;
  QLineEdit* CountBox = nullptr;
  QToolButton* FindButton = nullptr;
  ui::TKZDBGrid* PrinterGrid = nullptr;
  ui::TKZDBGrid* RequirementGrid = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildWindow();

  PrintersList logic_;
  bool shown_ = false;
  bool filling_ = false;
};

// Shows the printers window modally: the user's printers, those he orders
// for, or (both names empty) those of the units he is toner responsible of.
void OpenPrintersWindow(const std::string& user, const std::string& orderer);

}  // namespace mero::printers
