#include "app/domain_windows.h"

#include "base/messages.h"

namespace mero::app {

void DomainWindows::OpenPrinterMenu() { base::ShowMessNo(24); }
void DomainWindows::OpenWorkbench() { base::ShowMessNo(24); }
void DomainWindows::OpenUnits() { base::ShowMessNo(24); }
void DomainWindows::OpenDeliveryPoints() { base::ShowMessNo(24); }
void DomainWindows::OpenContractConsumables() { base::ShowMessNo(24); }
void DomainWindows::OpenPrinterModels() { base::ShowMessNo(24); }

}  // namespace mero::app
