#pragma once

#include <QDialog>
#include <QTableWidget>
#include <string>

#include "ui/string_grid_rules.h"

namespace mero::ui {

// The string grid: cells of text with per-column flags (right-aligned,
// numeric, summed, display format). The first FixedRows rows are its
// headings, drawn in the fixed colour. Shift+double click shows the column
// viewer, Ctrl+double click prints the grid.
class TKZSG : public QTableWidget {
  Q_OBJECT

 public:
  explicit TKZSG(QWidget* parent = nullptr);

  int RowCount() const { return rowCount(); }
  void SetRowCount(int rows) { setRowCount(rows); }
  int ColCount() const { return columnCount(); }
  void SetColCount(int columns) { setColumnCount(columns); }
  int FixedRows() const { return fixedRows_; }
  void SetFixedRows(int rows);
  std::string Cell(int column, int row) const;
  void SetCell(int column, int row, const std::string& text);

  const ColumnFlags& Flags(int column) const { return flags_.At(column); }
  void SetFlags(int column, ColumnFlags flags);
  // The column's width in characters.
  int CharWidth(int column) const;

  const std::string& zRPTTitle() const { return title_; }
  void SetzRPTTitle(std::string title) { title_ = std::move(title); }
  const std::string& zCommED() const { return commEd_; }
  void SetzCommED(std::string value) { commEd_ = std::move(value); }

  // Set when the user edits a cell.
  bool Modified() const { return modified_; }
  void SetModified(bool value) { modified_ = value; }

  StringGridPrintJob PrintJob() const;
  // Ctrl+double click: the grid to the print engine (or the default file).
  void PrintGrid();
  // Shift+double click: the column viewer, modal.
  void ShowColumnViewer();

  // A typed character that a numeric column refuses (with a beep).
  bool RefusesKey(int column, const QString& text) const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  friend class StringGridDelegate;
  ColumnFlagTable flags_;
  int fixedRows_ = 1;
  std::string title_;
  std::string commEd_;
  bool modified_ = false;
};

// The column viewer: one row per column of a grid with its number, flags,
// format and width in characters.
class TKZSGVF : public QDialog {
  Q_OBJECT

 public:
  explicit TKZSGVF(const TKZSG& grid, QWidget* parent = nullptr);
  QTableWidget* Table() const { return table_; }

 private:
  QTableWidget* table_;
};

}  // namespace mero::ui
