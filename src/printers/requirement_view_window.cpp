#include "printers/requirement_view_window.h"

#include <QApplication>

#include "printers/requirement_view.h"

namespace mero::printers {

TxConsReqF::TxConsReqF(const std::string& unit, const std::string& printer, const std::string& consumable,
                       QWidget* parent)
    : TReferenceListF(std::make_unique<RequirementView>(unit, printer, consumable), parent) {
  setObjectName("xConsReqF");
}

void OpenRequirementView(const std::string& unit, const std::string& printer, const std::string& consumable) {
  TxConsReqF window(unit, printer, consumable, QApplication::activeWindow());
  window.exec();
}

}  // namespace mero::printers
