#pragma once

#include <optional>
#include <string_view>

#include "base/variant.h"

namespace mero::ui {
struct CellStyle;
}

namespace mero::printers {

// The named colours of the printer windows, as 0xRRGGBB.
inline constexpr unsigned kFuchsia = 0xFF00FF;
inline constexpr unsigned kGrey = 0x808080;
inline constexpr unsigned kYellow = 0xFFFF00;
inline constexpr unsigned kLime = 0x00FF00;
inline constexpr unsigned kAqua = 0x00FFFF;
inline constexpr unsigned kGreen = 0x008000;
inline constexpr unsigned kSilver = 0xC0C0C0;
inline constexpr unsigned kNavy = 0x000080;
inline constexpr unsigned kBlack = 0x000000;

// A cell's background by an attribute; nothing (the window colour) for a
// value not listed. Comparisons are exact and case-sensitive.
using CellColour = std::optional<unsigned>;
CellColour ModelColourBrush(int col);                 // COL of a model
CellColour TonerColourBrush(std::string_view letter);  // COL of a consumable
CellColour ConsumableKindBrush(std::string_view ctype);
CellColour PrinterKindBrush(std::string_view il);
CellColour CostPerPageBrush(double costPerPage);
// The requirement quantities of a printer: CLC_Q3 (what is counted against
// the requirement) aqua above 0, else grey; CLC_YPOL (what remains) lime at
// 0, fuchsia below; an empty value and any other field keep the window colour.
CellColour RequirementBrush(std::string_view field, const base::Variant& value);

// Colours a cell: black text on the colour; nothing changes without one.
void Paint(ui::CellStyle& style, CellColour colour);

}  // namespace mero::printers
