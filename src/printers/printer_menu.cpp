#include "printers/printer_menu.h"

#include <utility>

#include "base/message_seam.h"
#include "base/text_routines.h"
#include "data/remote/query_utils.h"
#include "printers/printer_context.h"

namespace mero::printers {

PrinterMenu::PrinterMenu(PrinterMenuTargets targets) : targets_(std::move(targets)) {}

std::string PrinterMenu::OrderRefusal() {
  return data::SelectStr("select F_UP_ALLOW_Deltio (" + base::QuotedStr(CurrentUser()) + ") from DUAL ");
}

void PrinterMenu::OrderToner() {
  const std::string refusal = OrderRefusal();
  if (!refusal.empty()) {
    base::ShowMess(refusal);
    return;
  }
  if (targets_.openRegister) targets_.openRegister();
}

void PrinterMenu::MyPrinters() {
  if (targets_.openPrinters) targets_.openPrinters(CurrentUser(), std::string());
}

void PrinterMenu::ManagedPrinters() {
  if (targets_.openPrinters) targets_.openPrinters(std::string(), std::string());
}

void PrinterMenu::RequestedConsumables() {
  const std::string unit = ChooseUnit();
  if (!unit.empty() && targets_.openRequirements) targets_.openRequirements(unit);
}

void PrinterMenu::DeliveryPoints() {
  if (targets_.openDeliveryPoints) targets_.openDeliveryPoints();
}

void PrinterMenu::ContractConsumables() {
  if (targets_.openContractConsumables) targets_.openContractConsumables();
}

void PrinterMenu::PrinterModels() {
  if (targets_.openPrinterModels) targets_.openPrinterModels();
}

}  // namespace mero::printers
