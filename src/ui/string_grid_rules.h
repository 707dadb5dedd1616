#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace mero::ui {

// The flags a string grid keeps per column; columns past the last read as
// all clear.
struct ColumnFlags {
  bool al = false;     // right-aligned
  bool isNum = false;  // numeric: only number characters typed
  bool sum = false;    // summed when printed
  std::string dispFmt;  // number format of the shown text, or empty
};

class ColumnFlagTable {
 public:
  static constexpr int kColumns = 370;
  const ColumnFlags& At(int column) const;
  // Columns past the last are not kept; false then.
  bool Set(int column, ColumnFlags flags);

 private:
  std::array<ColumnFlags, kColumns> flags_{};
};

// The text a cell shows: in a numeric column with a format, a cell outside
// the fixed rows shows its number formatted.
std::string CellDisplayText(const std::string& text, const ColumnFlags& flags, bool fixedRow);
// Cells of numeric and right-aligned columns are drawn right-aligned.
bool RightAligned(const ColumnFlags& flags);
// What a numeric column lets the user type: digits, "+", "," and "-".
bool NumericCharAllowed(char c);

// What a grid hands to the print engine.
struct StringGridPrintJob {
  std::vector<std::vector<std::string>> rows;  // every row, the cells as text
  int fixedRows = 0;
  std::vector<int> columns;     // all columns
  std::vector<int> sumColumns;  // the sum-flagged ones
  std::string title;            // zRPTTitle
};
using StringGridPrinter = std::function<void(const StringGridPrintJob&)>;

// Replaces the printer of the string grids; an empty function restores the
// default, which writes the cells tab-separated in windows-1253 to
// "ascii.txt" in the export folder and says where it wrote.
void SetStringGridPrinter(StringGridPrinter printer);
void PrintStringGrid(const StringGridPrintJob& job);
// The default printer's file; returns its path.
std::string WriteGridTextFile(const StringGridPrintJob& job);

}  // namespace mero::ui
