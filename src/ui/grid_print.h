#pragma once

#include <string>
#include <vector>

namespace mero::data {
class TDataSet;
class TField;
}  // namespace mero::data

namespace mero::ui {

class FooterSums;
struct TMyRpt;

// A column of the grid as it prints: its field and its width on screen.
struct PrintColumn {
  const data::TField* field = nullptr;
  int widthPx = 0;
};

struct PrintTitles {
  std::string title, left, right;  // zRPTTitle, zRPTTitleL, zRPTTitleR
};

inline constexpr const char* kNothingToPrint = "Δεν υπάρχουν στοιχεία για εκτύπωση!";

// Fills the definition from the grid: its columns in display order, the
// titles and, when the footer has computed them, the sums. False when there
// is nothing to print (no columns, no dataset, closed or empty).
bool BuildPrintDefinition(TMyRpt& definition, data::TDataSet* ds, const std::vector<PrintColumn>& columns,
                          const PrintTitles& titles, const FooterSums& sums);

// The grid's print action: the definition built and handed with the dataset
// to the report printer; "Δεν υπάρχουν στοιχεία για εκτύπωση!" when there
// is nothing to print.
void PrintGrid(TMyRpt& definition, data::TDataSet* ds, const std::vector<PrintColumn>& columns,
               const PrintTitles& titles, const FooterSums& sums);

}  // namespace mero::ui
