#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/date_time.h"
#include "printers/cell_colours.h"

namespace mero::data {
class TKZLINK;
}

namespace mero::ui {
class RowValues;
struct CellStyle;
}  // namespace mero::ui

namespace mero::data {
class TField;
}

namespace mero::printers {

// Opens the requisition editor on a requisition (0: a new one, under the
// contract given) and returns the ID it was opened with once it closes. The
// register is handed one by whoever opens it.
using RequisitionEditorOpener = std::function<int(int id, const std::string& contract)>;

// A date-range box: 0/0 is cleared; the special starts of a period ask for
// a missing or a present date.
struct DateRange {
  base::TDateTime from = 0;
  base::TDateTime to = 0;
};

// What the register's search panel holds.
struct RegisterSearch {
  std::string orderer;  // dp.orderPID, text
  DateRange entered;    // dp.DTIN
  DateRange finalised;  // dp.DTFIN
  DateRange sent;       // dp.DTSENT
  DateRange received;   // dp.DTRECEIVED
  DateRange closed;     // dp.DTCLOSED
  std::string stage;    // dp.STATE, integer
  std::string unit;     // dp.ORGID, text
};

// The search of the register: every box that holds something usable adds
// its condition, in the panel's order. A range never lets a row without a
// date through.
std::string RegisterSearchSQL(const RegisterSearch& boxes);

// The STATE cell's colour: 0 fuchsia, 1 grey, 2 yellow, 4 lime, 6 and 8
// aqua, 9 green; other stages keep the window colour.
CellColour StageColour(int state);

// The register of requisition headers: searched, opened in the editor, new
// ones started, drafts and void ones deleted. The list is for viewing only.
class RequisitionRegister {
 public:
  static constexpr const char* kSumFields = "QTYTOT;QTYDELIV;VALTOT;VALDELIV";
  static const std::vector<std::string>& Columns();

  explicit RequisitionRegister(RequisitionEditorOpener opener);
  ~RequisitionRegister();
  RequisitionRegister(const RequisitionRegister&) = delete;
  RequisitionRegister& operator=(const RequisitionRegister&) = delete;

  // Where the search reads the panel from (the window's boxes).
  std::function<RegisterSearch()> ReadBoxes;
  // After each search, with whether rows came back.
  std::function<void(bool hasRows)> OnSearched;

  // The panel as the window opens: the orderer is the current user, every
  // date range cleared.
  static RegisterSearch OpeningBoxes();
  // Only a super-user searches other orderers' requisitions.
  static bool OrdererEditable();

  // Reopens the list with the panel's conditions; a positive ID puts the
  // list on that row when it is there. True when rows came back.
  bool Search(int positionId);
  const std::string& LastSQL() const { return lastSQL_; }
  int RowCount();

  // The editor on a new requisition under the contract open now; both new
  // buttons do this. Then the list is searched again (not positioned: the
  // editor returns 0 for a new one).
  void NewRequisition();
  // The editor on the current row, which takes its contract from the
  // header; then the list again, on the ID the editor returned. Nothing
  // without a row.
  void ChangeRequisition();
  // Deletes the current requisition, lines and header in one block, when it
  // is a draft or void and the user confirms; any other stage is refused.
  void DeleteRequisition();

  data::TKZLINK& List() { return *list_; }
  int CurrentId();
  static void DrawCell(const ui::RowValues& row, const data::TField& field, ui::CellStyle& style);

 private:
  RequisitionEditorOpener opener_;
  std::unique_ptr<data::TKZLINK> list_;
  std::string lastSQL_;
};

}  // namespace mero::printers
