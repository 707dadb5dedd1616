#pragma once

#include <functional>
#include <string>

namespace mero::printers {

// What the menu's buttons open; the menu window gives the real windows.
struct PrinterMenuTargets {
  std::function<void()> openRegister;
  std::function<void(const std::string& user, const std::string& orderer)> openPrinters;
};

// The printer-management menu: ordering, the user's printers and the
// printers he manages; the registers of the catalogue are not here yet.
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
  // The four registers of the catalogue say they are not available yet.
  static void NotYetAvailable();

 private:
  PrinterMenuTargets targets_;
};

}  // namespace mero::printers
