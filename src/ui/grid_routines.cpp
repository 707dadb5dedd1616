#include "ui/grid_routines.h"

#include <QListWidget>
#include <algorithm>

#include "base/text_routines.h"
#include "ui/string_grid.h"

namespace mero::ui {

void ListToGrid(const std::vector<std::string>& lines, TKZSG& grid, const std::string& sep) {
  const int first = grid.FixedRows();
  int columns = grid.ColCount();
  std::vector<std::vector<std::string>> cells;
  cells.reserve(lines.size());
  for (const std::string& line : lines) {
    columns = std::max(columns, base::FieldCount(line, sep));
    std::vector<std::string> fields;
    base::SplitToList(line, sep, fields, true);
    cells.push_back(std::move(fields));
  }
  grid.SetColCount(columns);
  grid.SetRowCount(std::max(first + static_cast<int>(lines.size()), first + 1));
  for (std::size_t r = 0; r < cells.size(); ++r) {
    for (int c = 0; c < columns; ++c) {
      const std::size_t i = static_cast<std::size_t>(c);
      grid.SetCell(c, first + static_cast<int>(r), i < cells[r].size() ? base::StrTrim(cells[r][i]) : std::string());
    }
  }
}

void ClearGridRows(TKZSG& grid, int from) {
  const int rows = std::max(from + 1, grid.FixedRows() + 1);
  grid.SetRowCount(rows);
  for (int r = std::max(from, 0); r < rows; ++r) {
    for (int c = 0; c < grid.ColCount(); ++c) grid.SetCell(c, r, {});
  }
}

void DeleteEmptyRows(TKZSG& grid) {
  for (int r = grid.RowCount() - 1; r >= grid.FixedRows() && grid.RowCount() > grid.FixedRows() + 1; --r) {
    bool blank = true;
    for (int c = 0; c < grid.ColCount() && blank; ++c) blank = base::StrTrim(grid.Cell(c, r)).empty();
    if (blank) grid.removeRow(r);
  }
}

void CheckAll(QListWidget& list, bool checked) {
  for (int i = 0; i < list.count(); ++i) list.item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

}  // namespace mero::ui
