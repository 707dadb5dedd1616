#pragma once

namespace mero::app {

// The working windows the main window opens, each modally. The program fills
// them in (the shell does not know the domain's windows); a window not built
// yet says so with message 24.
class DomainWindows {
 public:
  virtual ~DomainWindows() = default;
  virtual void OpenPrinterMenu();            // "Printers/Toner"
  virtual void OpenWorkbench();              // "P"
  virtual void OpenUnits();                  // "Μονάδες"
  virtual void OpenDeliveryPoints();         // "Σημεία Παράδοσης Toner"
  virtual void OpenContractConsumables();    // "Αναλώσιμα Σύμβασης"
  virtual void OpenPrinterModels();          // "Μοντέλα Εκτυπωτών"
};

}  // namespace mero::app
