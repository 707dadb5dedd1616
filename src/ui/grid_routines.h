#pragma once

#include <string>
#include <vector>

class QListWidget;

namespace mero::ui {

class TKZSG;

// One row per line from the first non-fixed row, the cells by the trimmed
// fields of the line; the grid gets at least as many columns as the line
// with the most fields.
void ListToGrid(const std::vector<std::string>& lines, TKZSG& grid, const std::string& sep);
// Empties the rows from `from` on; the grid keeps from + 1 rows (at least
// one row past the fixed ones).
void ClearGridRows(TKZSG& grid, int from);
// Deletes, from the bottom up, the non-fixed rows whose cells are all blank;
// one row past the fixed ones always stays.
void DeleteEmptyRows(TKZSG& grid);
void CheckAll(QListWidget& list, bool checked);

}  // namespace mero::ui
