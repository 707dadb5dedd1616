#pragma once

#include "printers/reference_list_window.h"

namespace mero::printers {

// The four registers of reference data ordering uses: each is the read-only
// list window over its own logic.

// "Σημεία Παράδοσης" (DeliveryPointsRegister).
class TUDelPF final : public TReferenceListF {
  Q_OBJECT

 public:
  explicit TUDelPF(QWidget* parent = nullptr);
};

// "Μονάδες" (UnitsRegister), opening with "Μόνο Toner" checked.
class TUOrg1F final : public TReferenceListF {
  Q_OBJECT

 public:
  explicit TUOrg1F(QWidget* parent = nullptr);
};

// "Μοντέλα Εκτυπωτών" (PrinterModelsRegister).
class TxPrModelsF final : public TReferenceListF {
  Q_OBJECT

 public:
  explicit TxPrModelsF(QWidget* parent = nullptr);
};

// "Αναλώσιμα Σύμβασης" (ContractConsumablesRegister).
class TxFSymbDF final : public TReferenceListF {
  Q_OBJECT

 public:
  explicit TxFSymbDF(QWidget* parent = nullptr);
};

// Each creates its window, shows it modally and destroys it.
void OpenDeliveryPoints();
void OpenUnits();
void OpenPrinterModels();
void OpenContractConsumables();

}  // namespace mero::printers
