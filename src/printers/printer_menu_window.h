#pragma once

#include <vector>

#include "printers/printer_menu.h"
#include "printers/requisition_register.h"
#include "ui/base_window.h"

class QPushButton;

namespace mero::printers {

// The printer-management menu: seven buttons, top to bottom.
class TPrintersMF : public ui::TF102Form {
  Q_OBJECT

 public:
  // opener: the requisition editor the register opens.
  explicit TPrintersMF(RequisitionEditorOpener opener, QWidget* parent = nullptr);

  PrinterMenu& Logic() { return logic_; }
  // In their order on screen.
  const std::vector<QPushButton*>& Buttons() const { return buttons_; }

  QPushButton* btnOrder = nullptr;
  QPushButton* btnMyPrinters = nullptr;
  QPushButton* btnManagedPrinters = nullptr;
  QPushButton* btnDeliveryPoints = nullptr;
  QPushButton* btnRequested = nullptr;
  QPushButton* btnContractConsumables = nullptr;
  QPushButton* btnModels = nullptr;

 private:
  PrinterMenu logic_;
  std::vector<QPushButton*> buttons_;
};

// Shows the menu modally; the register it opens opens the editor through
// opener.
void OpenPrinterMenu(const RequisitionEditorOpener& opener);

}  // namespace mero::printers
