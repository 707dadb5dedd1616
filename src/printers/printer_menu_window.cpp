#include "printers/printer_menu_window.h"

#include <QApplication>
#include <QPushButton>
#include <QVBoxLayout>
#include <functional>
#include <string>

#include "base/encoding.h"
#include "printers/printers_list_window.h"
#include "printers/reference_registers_window.h"
#include "printers/requirement_view_window.h"
#include "printers/requisition_register_window.h"
#include "ui/qt_text.h"

namespace mero::printers {

using namespace base::literals;

TPrintersMF::TPrintersMF(RequisitionEditorOpener opener, QWidget* parent)
    : ui::TF102Form(parent),
      logic_(PrinterMenuTargets{
          [opener = std::move(opener)] { OpenRequisitionRegister(opener); },
          [](const std::string& user, const std::string& orderer) { OpenPrintersWindow(user, orderer); },
          &OpenDeliveryPoints,
          [](const std::string& unit) { OpenRequirementView(unit, std::string(), std::string()); },
          &OpenContractConsumables,
          &OpenPrinterModels,
      }) {
  setObjectName(QStringLiteral("PrintersMF"));
  setWindowTitle(ui::ToQString("Μενού Printers"_gr));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(12, 12, 12, 12);
  layout->setSpacing(6);
  auto add = [this, layout](const char* name, const std::string& caption, std::function<void()> action) {
    auto* b = new QPushButton(ui::ToQString(caption), this);
    b->setObjectName(QString::fromLatin1(name));
    b->setMinimumHeight(32);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [action = std::move(action)] { ui::RunGuarded(action); });
    layout->addWidget(b);
    buttons_.push_back(b);
    return b;
  };
  btnOrder = add("btnOrder", "Παραγγελία Toner+"_gr, [this] { logic_.OrderToner(); });
  btnMyPrinters = add("btnMyPrinters", "Οι Printers μου"_gr, [this] { logic_.MyPrinters(); });
  btnManagedPrinters = add("btnManagedPrinters", "Printers που διαχειρίζομαι"_gr, [this] { logic_.ManagedPrinters(); });
  btnDeliveryPoints = add("btnDeliveryPoints", "Σημεία Παράδοσης Toner"_gr, [this] { logic_.DeliveryPoints(); });
  btnRequested = add("btnRequested", "Αιτηθέντα Αναλώσιμα"_gr, [this] { logic_.RequestedConsumables(); });
  btnContractConsumables =
      add("btnContractConsumables", "Αναλώσιμα Σύμβασης"_gr, [this] { logic_.ContractConsumables(); });
  btnModels = add("btnModels", "Μοντέλα Εκτυπωτών"_gr, [this] { logic_.PrinterModels(); });
  layout->addStretch(1);
  adjustSize();
  resize(300, height());
}

void OpenPrinterMenu(const RequisitionEditorOpener& opener) {
  TPrintersMF window(opener, QApplication::activeWindow());
  window.exec();
}

}  // namespace mero::printers
