#pragma once

#include <memory>
#include <string>

#include "base/message_seam.h"
#include "ui/base_window.h"
#include "ui/field_link.h"
#include "ui/lookup_logic.h"

class QComboBox;
class QFrame;
class QLineEdit;
class QTableWidget;
class QToolButton;

namespace mero::ui {
class TKZDBGrid;
}

namespace mero::data {
class TKZLINK;
}

namespace mero::ui {

// The lookup dialog over the request; the chosen key or the initial value.
std::string RunLookup(const base::LookupRequest& request);

// The lookup dialog: a table's rows in a grid over a query of its own,
// searched by the sort box's field with the filter box's text, edited in
// place (each change written to the table and committed), and one row's key
// chosen.
class TCustomLUF : public TF102Form {
  Q_OBJECT

 public:
  // The navigator's buttons.
  enum class Nav { Insert, Delete, Edit, Post, Cancel };

  explicit TCustomLUF(const base::LookupRequest& request, QWidget* parent = nullptr);
  ~TCustomLUF() override;

  // The steps of showing: the columns learnt, labels and the sort box set,
  // the first search run. A failure is shown; the dialog stays, empty.
  void Prepare();
  // The chosen row's key; the initial value when nothing was chosen.
  const std::string& Result() const { return result_; }

  data::TKZLINK& Query() { return *query_; }
  const LookupLogic& Logic() const { return logic_; }
  QFrame* Panel() const { return panel_; }
  QComboBox* SortBox() const { return sortBox_; }
  QLineEdit* FilterBox() const { return filterBox_; }
  TKZDBGrid* Grid() const { return grid_; }
  QTableWidget* FieldList() const { return fieldList_; }
  QToolButton* RefreshButton() const { return refreshButton_; }
  QToolButton* SearchButton() const { return searchButton_; }
  QToolButton* NavButton(Nav which) const;

  void Find() override;
  // Esc: drops the edit in progress, else closes with the initial value.
  void CancelOrClose() override;
  // F10: chooses.
  void AcceptOrClose() override;
  // The current row's key, and the dialog closes with OK. A pending edit is
  // posted first (a failed post keeps the dialog open); without a row
  // nothing is chosen and the initial value stays.
  void Choose();
  // Reads the rows again on the same row, unless an edit is pending.
  void RefreshRows();
  // F5: the current cell's text in a viewer, under the field's label.
  void ShowCurrentCell();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildWindow();
  // Labels, visibility and widths of the columns, and the sort box refilled
  // with the visible labels, keeping its place.
  void ApplyLabels();
  void FillFieldList();
  void ShowState();
  void Navigate(Nav which);

  LookupLogic logic_;
  std::unique_ptr<data::TKZLINK> query_;
  // Follows the query's state for the panel's colour and the navigator.
  FieldLink stateLink_;
  std::string result_;
  bool fillingSortBox_ = false;

  QFrame* panel_ = nullptr;
  QToolButton* refreshButton_ = nullptr;
  QToolButton* searchButton_ = nullptr;
  QToolButton* navButtons_[5] = {};
  QComboBox* sortBox_ = nullptr;
  QLineEdit* filterBox_ = nullptr;
  TKZDBGrid* grid_ = nullptr;
  QTableWidget* fieldList_ = nullptr;
};

}  // namespace mero::ui
