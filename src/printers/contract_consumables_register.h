#pragma once

#include "printers/reference_list.h"

namespace mero::printers {

// The lines of the contract that UP_CURRENT_SYMBID names, searched by the
// contract's description, maker and kind of consumable.
class ContractConsumablesRegister final : public ReferenceList {
 public:
  enum Box : std::size_t { kDescription, kMaker, kKind };

  ContractConsumablesRegister();
  std::string SearchSQL(const ListInput& input) const override;
  // C_COL by colour letter (black is grey here) and C_CTYPE by kind.
  CellColour Colour(const ui::RowValues& row, const std::string& field) const override;
};

// The colours of this list, apart from the workbench's brushes.
CellColour ContractColourLetter(std::string_view letter);
CellColour ContractConsumableKind(std::string_view ctype);

}  // namespace mero::printers
