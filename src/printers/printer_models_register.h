#pragma once

#include "printers/reference_list.h"

namespace mero::printers {

// The printer models with their counts of printers and consumables,
// searched by description, maker and kind (laser or inkjet).
class PrinterModelsRegister final : public ReferenceList {
 public:
  enum Box : std::size_t { kDescription, kMaker, kKind };

  PrinterModelsRegister();
  std::string SearchSQL(const ListInput& input) const override;
};

}  // namespace mero::printers
