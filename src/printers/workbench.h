#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "printers/cell_colours.h"

namespace mero::data {
class TField;
class TKZLINK;
}  // namespace mero::data

namespace mero::ui {
class RowValues;
struct CellStyle;
}  // namespace mero::ui

namespace mero::printers {

// The search boxes of each tab, left to right.
struct PrinterSearch {
  std::string fname;  // UPPER(vp.FULLNAME), upper-cased
  std::string sn;     // UPPER(vp.SN), upper-cased
  std::string cp18;   // vp.CP18ID, integer
  std::string model;  // vp.MODELID
  std::string manf;   // UPPER(vp.MANSNAME), upper-cased
  std::string ord;    // vp.ORDERPID
  std::string bid;    // vp.BuildingID
};

struct ModelSearch {
  std::string fname;  // UPPER(pm.Fullname), upper-cased
  std::string cp;     // pm.IsCP, integer
  std::string manid;  // UPPER(pm.ManID), upper-cased
  std::string col;    // pm.COL, integer
  std::string ord;    // a printer of the model: UPPER(orderpid)
  std::string bid;    // a printer of the model: UPPER(BuildingID)
};

struct ConsumableSearch {
  std::string code;    // c.Code, as typed
  std::string col;     // c.COL
  std::string type;    // c.cType
  std::string manid;   // UPPER(c.ManID), upper-cased
  std::string pgcnt;   // c.PAGECNT, integer
  std::string up;      // c.UP, integer
  std::string costpp;  // c.COSTPP, integer
  // c.ReplID; "--" (the box's opening text) asks for no replacement.
  std::string repl = "--";
};

// The searches, conditions in this order: a box the condition builder cannot
// read adds none.
std::string PrinterSearchSQL(const PrinterSearch& boxes);
std::string ModelSearchSQL(const ModelSearch& boxes);
std::string ConsumableSearchSQL(const ConsumableSearch& boxes);

// The detail selects of a current row.
std::string PrinterRequirementsSQL(const std::string& printerId);
std::string ModelConsumablesSQL(const std::string& modelId);
std::string ModelPrintersSQL(const std::string& modelId);
// A consumable's ID goes in as a number: a new row's is 0 and finds nothing.
std::string ConsumablePrintersSQL(int consumableId);
std::string ConsumableModelsSQL(int consumableId);
std::string ConsumableRequirementsSQL(int consumableId);

enum class WorkbenchTab { Printers = 0, Models = 1, Consumables = 2 };

// The tables of a tab, shown in the box at the top.
std::string TopText(WorkbenchTab tab);

// The printer catalogue of the super-user: printers with their requirements,
// models with their consumables and printers, consumables with the printers,
// models and requirement rows that use them. The three main lists and a
// model's consumables are edited in place: each row posted at once (after
// post, key ID) and committed; every column the update table lacks is
// read-only. The details follow their main list's current row.
//
// A list is never closed with an edit in it: before a main list is searched
// again, or its current row leaves for another, the pending edits of its
// details (and, for a search, its own) are posted; when a post fails the
// search or the move does not happen.
class Workbench {
 public:
  // The lists, by tab: the main list first, then its details.
  enum List {
    kPrinters,
    kPrinterRequirements,
    kModels,
    kModelConsumables,
    kModelPrinters,
    kConsumables,
    kConsumableModels,
    kConsumablePrinters,
    kConsumableRequirements,
    kListCount
  };

  // The grid layout of each list.
  static const std::vector<std::string>& Columns(List list);
  // The update table of an editable list; empty for a view-only one.
  static std::string UpdateTable(List list);
  // The columns of that table: the only fields a user may type into.
  static const std::vector<std::string>& TableColumns(List list);

  Workbench();
  ~Workbench();
  Workbench(const Workbench&) = delete;
  Workbench& operator=(const Workbench&) = delete;

  // Where each search reads its boxes from (the window's); the defaults are
  // empty boxes ("--" in "REpl").
  std::function<PrinterSearch()> ReadPrinterBoxes;
  std::function<ModelSearch()> ReadModelBoxes;
  std::function<ConsumableSearch()> ReadConsumableBoxes;
  // A consumable was inserted without an ID: the list is to be read again
  // once the action that posted it is over (the window queues
  // RereadInserted). Without a handler the caller calls it.
  std::function<void()> OnRereadWanted;

  data::TKZLINK& Query(List list) { return *lists_[list]; }
  static List MainList(WorkbenchTab tab);
  static std::vector<List> Details(List main);

  // The three searches, as the window shows.
  void OpenAll();
  // The search of one tab (F7): the tab's pending edits are posted first.
  void Search(WorkbenchTab tab);
  const std::string& LastSQL(WorkbenchTab tab) const { return lastSQL_[static_cast<int>(tab)]; }
  // The rows of the tab's main list.
  int Count(WorkbenchTab tab);

  // Posts a pending edit of the list; a failure passes on (the row is then
  // the server's again, or, for an error the dataset raised itself, still
  // in edit).
  void PostPending(List list);

  // Reads again each list in which a consumable was inserted without an ID,
  // so that the row carries the ID the database gave it; the cursor stays
  // on its row (the new one, for the row without an ID). A list still in
  // edit waits until its edit ends.
  void RereadInserted();
  bool RereadPending() const;

  // Cell colours: the consumables list colours COL, COSTPP and CTYPE, the
  // models lists IL and COL. An empty value keeps the window colour.
  static void DrawConsumableCell(const ui::RowValues& row, const data::TField& field, ui::CellStyle& style);
  static void DrawModelCell(const ui::RowValues& row, const data::TField& field, ui::CellStyle& style);

 private:
  void MakeList(List list, const char* name);
  void OpenDetails(List main);
  void Reread(List list);
  void EditEnded(List list);

  std::array<std::unique_ptr<data::TKZLINK>, kListCount> lists_;
  std::array<std::string, kListCount> listSQL_;
  std::array<bool, kListCount> rereadPending_{};
  std::array<std::string, 3> lastSQL_;
};

}  // namespace mero::printers
