#pragma once

#include <functional>
#include <string>

namespace mero::printers {

// What the menu's buttons open; the menu window gives the real windows.
struct PrinterMenuTargets {
  std::function<void()> openRegister;
  std::function<void(const std::string& user, const std::string& orderer)> openPrinters;
  std::function<void()> openDeliveryPoints;
  std::function<void(const std::string& unit)> openRequirements;
  std::function<void()> openContractConsumables;
  std::function<void()> openPrinterModels;
};

// The printer-management menu: ordering, the user's printers and the
// printers he manages, the requested consumables and the registers.
class PrinterMenu {
 public:
  explicit PrinterMenu(PrinterMenuTargets targets);

  // Why the current user may not order (the server's text); empty when he may.
  static std::string OrderRefusal();

  // "Παραγγελία Toner+": the refusal is shown and nothing opens; else the
  // requisition register.
  void OrderToner();
  // "Οι Printers μου": the printers whose user is the current user.
  void MyPrinters();
  // "Printers που διαχειρίζομαι": by unit, over the units he is responsible of.
  void ManagedPrinters();
  // "Αιτηθέντα Αναλώσιμα": the requirement view of the unit the user
  // chooses; nothing when he cancels.
  void RequestedConsumables();
  void DeliveryPoints();
  void ContractConsumables();
  void PrinterModels();

 private:
  PrinterMenuTargets targets_;
};

}  // namespace mero::printers
