#include "printers/reference_registers_window.h"

#include <QApplication>

#include "printers/contract_consumables_register.h"
#include "printers/delivery_points_register.h"
#include "printers/printer_models_register.h"
#include "printers/units_register.h"

namespace mero::printers {

namespace {

template <typename Window>
void RunModal() {
  Window window(QApplication::activeWindow());
  window.exec();
}

}  // namespace

TUDelPF::TUDelPF(QWidget* parent) : TReferenceListF(std::make_unique<DeliveryPointsRegister>(), parent) {
  setObjectName("UDelPF");
}

TUOrg1F::TUOrg1F(QWidget* parent) : TReferenceListF(std::make_unique<UnitsRegister>(), parent) {
  setObjectName("UOrg1F");
}

TxPrModelsF::TxPrModelsF(QWidget* parent) : TReferenceListF(std::make_unique<PrinterModelsRegister>(), parent) {
  setObjectName("xPrModelsF");
}

TxFSymbDF::TxFSymbDF(QWidget* parent) : TReferenceListF(std::make_unique<ContractConsumablesRegister>(), parent) {
  setObjectName("xFSymbDF");
}

void OpenDeliveryPoints() { RunModal<TUDelPF>(); }
void OpenUnits() { RunModal<TUOrg1F>(); }
void OpenPrinterModels() { RunModal<TxPrModelsF>(); }
void OpenContractConsumables() { RunModal<TxFSymbDF>(); }

}  // namespace mero::printers
