#include "printers/cell_colours.h"

#include "base/variant_routines.h"
#include "ui/dataset_table_model.h"

namespace mero::printers {

CellColour ModelColourBrush(int col) {
  if (col == 0) return kSilver;
  if (col == 3 || col == 4) return kAqua;
  return std::nullopt;
}

CellColour TonerColourBrush(std::string_view letter) {
  if (letter == "M") return kFuchsia;
  if (letter == "C") return kAqua;
  if (letter == "Y") return kYellow;
  if (letter == "K") return kSilver;
  return std::nullopt;
}

CellColour ConsumableKindBrush(std::string_view ctype) {
  if (ctype == "Ink") return kAqua;
  if (ctype == "Toner") return kYellow;
  return std::nullopt;
}

CellColour PrinterKindBrush(std::string_view il) {
  if (il == "I") return kAqua;
  if (il == "L") return kGrey;
  return std::nullopt;
}

CellColour CostPerPageBrush(double x) {
  if (x <= 0) return std::nullopt;
  if (x < 10) return kLime;
  if (x < 30) return kAqua;
  if (x < 60) return kSilver;
  return kFuchsia;
}

CellColour RequirementBrush(std::string_view field, const base::Variant& value) {
  if (field == "CLC_Q3") return base::VarToFloatZ(value) > 0 ? kAqua : kGrey;
  if (field == "CLC_YPOL" && base::VarHasValue(value)) {
    const double left = base::VarToFloatZ(value);
    if (left == 0) return kLime;
    if (left < 0) return kFuchsia;
  }
  return std::nullopt;
}

void Paint(ui::CellStyle& style, CellColour colour) {
  if (!colour) return;
  style.background = *colour;
  style.foreground = kBlack;
}

}  // namespace mero::printers
