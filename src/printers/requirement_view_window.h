#pragma once

#include <string>

#include "printers/reference_list_window.h"

namespace mero::printers {

// "Αναλώσιμα": the requirement rows of the unit, printer and consumable it
// was opened with (RequirementView), shown read-only in the boxes above.
class TxConsReqF final : public TReferenceListF {
  Q_OBJECT

 public:
  TxConsReqF(const std::string& unit, const std::string& printer, const std::string& consumable,
             QWidget* parent = nullptr);
};

// Creates the window with the three values, shows it modally, destroys it.
void OpenRequirementView(const std::string& unit, const std::string& printer, const std::string& consumable);

}  // namespace mero::printers
