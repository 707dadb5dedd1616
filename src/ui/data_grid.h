#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/column_layout.h"
#include "ui/dataset_table_model.h"
#include "ui/footer_sums.h"
#include "ui/grid_print.h"
#include "ui/report_definition.h"
#include "ui/sort_history.h"

class QScrollBar;
class QTableView;

namespace mero::data {
class TLinkCustomDataset;
}

namespace mero::ui {

class GridFooterStrip;
class GridTableView;

// The confirmation Ctrl+Del asks before it deletes the current row.
inline constexpr const char* kDeleteRowQuestion = "Να διαγραφεί η τρέχουσα εγγραφή;";
// A cell's hint is never taller than this.
inline constexpr int kMaxHintHeight = 600;

// The hint text of a cell cut to the lines that fit in maxHeight pixels.
QString CutHintToHeight(const QString& text, int lineHeight, int maxHeight = kMaxHintHeight);

// The grid every list shows its rows in: a table view over a dataset's rows,
// columns from the layout strings, a footer strip of column sums under the
// rows that follows the column widths and the horizontal scroll, sorting by
// a click on a title, and the print action.
//
// Keys: Alt+F12 prints; Ctrl+Del deletes the current row after a
// confirmation; Enter moves to the next cell (after the last column, to the
// first of the next row). Double click: with Ctrl prints, with Shift opens
// the field visibility window, else the window's own handler.
class TKZDBGrid : public QWidget {
  Q_OBJECT

 public:
  explicit TKZDBGrid(QWidget* parent = nullptr);
  ~TKZDBGrid() override;

  void SetDataSet(data::TLinkCustomDataset* ds);
  data::TLinkCustomDataset* DataSet() const;

  // The column layout, one layout string per column.
  void SetSelected(std::vector<std::string> lines);
  const std::vector<std::string>& Selected() const { return layout_.Selected(); }
  // A text field shown as a check box with the texts of its two states;
  // given before the dataset opens.
  void SetCheckColumn(CheckColumn column) { layout_.SetCheckColumn(std::move(column)); }
  // ";"-separated fields summed in the footer; empty: no footer.
  void SetzSumFields(std::string text);
  const std::string& zSumFields() const { return footer_.SumFields(); }
  void SetzRPTTitle(std::string text) { titles_.title = std::move(text); }
  void SetzRPTTitleL(std::string text) { titles_.left = std::move(text); }
  void SetzRPTTitleR(std::string text) { titles_.right = std::move(text); }
  const std::string& zRPTTitle() const { return titles_.title; }
  const std::string& zRPTTitleL() const { return titles_.left; }
  const std::string& zRPTTitleR() const { return titles_.right; }
  // Column titles sort the rows (on by default; the lookup turns it off).
  void SetTitleButtons(bool value);
  bool TitleButtons() const { return titleButtons_; }

  // Runs before a data cell is drawn, with that row's values.
  void SetOnDrawDataCell(DrawDataCellHook hook);
  // A double click without Ctrl or Shift.
  std::function<void()> OnDblClick;

  QTableView* View() const;
  DataSetTableModel* Model() const { return model_; }
  QWidget* Footer() const;
  const FooterSums& Sums() const { return footer_; }
  const SortHistory& History() const { return history_; }
  const TMyRpt& Report() const { return report_; }

  // Computes and shows the footer sums now.
  void UpdateFooter();
  // The footer text under a column (by model column); empty when none.
  QString FooterText(int column) const;
  // The title click on a model column: the sort of the history.
  void TitleClick(int column);
  // The print action.
  void Print();
  // Ctrl+Del: deletes the current row when the user confirms; nothing on a
  // read-only dataset.
  void DeleteCurrentRow();
  // The field visibility window over the grid's dataset.
  void EditVisibleFields();
  // The columns in display order with their widths on screen.
  std::vector<PrintColumn> PrintColumns() const;

 private:
  friend class GridTableView;
  friend class GridFooterStrip;

  void ModelReset();
  void FollowCursor(int row);
  void ViewRowChanged(int row);
  void ScheduleFooter();
  // Moves to the next cell (Enter).
  void NextCell();

  ColumnLayout layout_;
  FooterSums footer_;
  SortHistory history_;
  TMyRpt report_;
  PrintTitles titles_;
  bool titleButtons_ = true;
  bool following_ = false;
  bool footerPending_ = false;
  std::vector<const data::TField*> sizedColumns_;
  DataSetTableModel* model_ = nullptr;
  GridTableView* view_ = nullptr;
  GridFooterStrip* strip_ = nullptr;
  QScrollBar* scroll_ = nullptr;
};

}  // namespace mero::ui
