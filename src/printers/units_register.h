#pragma once

#include "printers/reference_list.h"

namespace mero::printers {

// The organisational units, searched by code; "Μόνο Toner" keeps the units
// that have a toner responsible.
class UnitsRegister final : public ReferenceList {
 public:
  enum Box : std::size_t { kFilter };

  UnitsRegister();
  std::string SearchSQL(const ListInput& input) const override;
};

}  // namespace mero::printers
