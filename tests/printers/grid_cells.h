#pragma once

// What a grid of the printer windows shows in a cell, read through its model
// as the view draws it.

#include <gtest/gtest.h>

#include <QColor>
#include <optional>
#include <string>

#include "ui/data_grid.h"
#include "ui/dataset_table_model.h"

namespace mero::test {

// The model column of a field; -1 (and a failure) when the grid lacks it.
inline int ColumnOf(ui::TKZDBGrid& grid, const std::string& field) {
  const auto& columns = grid.Model()->Columns();
  for (std::size_t c = 0; c < columns.size(); ++c) {
    if (columns[c].field->FieldName() == field) return static_cast<int>(c);
  }
  ADD_FAILURE() << "no column " << field;
  return -1;
}

// The background of a cell as 0xRRGGBB; nothing for the window colour.
inline std::optional<unsigned> CellBackground(ui::TKZDBGrid& grid, int row, const std::string& field) {
  const int column = ColumnOf(grid, field);
  if (column < 0) return std::nullopt;
  const QVariant v = grid.Model()->data(grid.Model()->index(row, column), Qt::BackgroundRole);
  if (!v.isValid()) return std::nullopt;
  return v.value<QColor>().rgb() & 0xFFFFFFu;
}

}  // namespace mero::test
