#pragma once

#include <string>

#include "printers/reference_list.h"

namespace mero::printers {

// The requirement rows of printers with the quantities the server counts
// against them under the contract of UP_CURRENT_SYMBID, for the unit, the
// printer and the consumable it was opened with (an empty one does not
// limit the list).
class RequirementView final : public ReferenceList {
 public:
  enum Box : std::size_t { kUnit, kPrinter, kConsumable };

  RequirementView(const std::string& unit, const std::string& printer, const std::string& consumable);
  std::string SearchSQL(const ListInput& input) const override;
  // CLC_Q3 aqua when something counts against the row, else grey; CLC_YPOL
  // lime when nothing remains, fuchsia when more than required.
  CellColour Colour(const ui::RowValues& row, const std::string& field) const override;
};

}  // namespace mero::printers
